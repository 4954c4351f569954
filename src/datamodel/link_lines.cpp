// The one-line text form of a link, as database info components deliver
// foreign keys: "Table1-Table2:col1=col2,col3<>col4".

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

void TVxCustomDBStructure::AddLinkByExpr(const QString& line)
{
    const qsizetype colon = line.indexOf(u':');
    if (colon < 0)
        return;
    const QString tables = line.left(colon);
    const qsizetype dash = tables.indexOf(u'-');
    if (dash < 0)
        return;
    TDSTable* table1 = TableByName(tlByName, tables.left(dash));
    TDSTable* table2 = TableByName(tlByName, tables.mid(dash + 1));
    if (!table1 || !table2)
        return;

    auto link = std::make_unique<TDSLink>(this);
    link->SetTable1(table1);
    link->SetTable2(table2);
    TStringList pairs;
    // Pairs are separated by commas only: a column name may hold blanks.
    pairs.SetStrictDelimitedText(line.mid(colon + 1), u',');
    // Two-character operators first, so that ">=" is not read as ">".
    static const QString operators[] = {QStringLiteral("!="), QStringLiteral("<>"), QStringLiteral("<="),
                                        QStringLiteral(">="), QStringLiteral("="),  QStringLiteral("<"),
                                        QStringLiteral(">")};
    for (const QString& pair : pairs) {
        for (const QString& op : operators) {
            const qsizetype at = pair.indexOf(op);
            if (at < 0)
                continue;
            const QString left = pair.left(at);
            const QString right = pair.mid(at + op.size());
            link->AddColumnPair(QStringLiteral("fld:") + left, op, QStringLiteral("fld:") + right);
            if (!IsIdentifier(left) || !IsIdentifier(right))
                link->SetQuoteFields(true);
            break;
        }
    }
    AddLinkByRef(std::move(link));
}

void TVxCustomDBStructure::LoadLinksFromStrings(const TStringList& lines)
{
    for (const QString& line : lines)
        AddLinkByExpr(line);
}

void TVxCustomDBStructure::SaveLinksToStrings(TStringList& lines) const
{
    for (const auto& link : FLinks) {
        QString line = QStringLiteral("%1-%2:").arg(link->Table1() ? link->Table1()->TableName() : QString(),
                                                     link->Table2() ? link->Table2()->TableName() : QString());
        QStringList pairs;
        for (int i = 0; i < link->Fields1().Count(); ++i) {
            const QString op = i < link->Operators().Count() ? link->Operators()[i] : QStringLiteral("=");
            const QString right = i < link->Fields2().Count() ? link->Fields2()[i] : QString();
            pairs.append(link->Fields1()[i] + op + right);
        }
        lines.Add(line + pairs.join(u','));
    }
}

} // namespace brindle
