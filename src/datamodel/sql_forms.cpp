// How tables and links are written as SQL, and which tables and columns an
// SQL text mentions.

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/scanner.h>
#include <brindle/foundations/syntax_rules.h>
#include <brindle/foundations/text_utils.h>

namespace brindle {

namespace {

// A table name in a server syntax: a quoted table is one name, otherwise
// each part of a dotted name (schema.table) is delimited when it needs it.
QString serverTableName(TSQLSyntax syntax, const QString& name, bool quoted)
{
    if (quoted || !name.contains(u'.'))
        return NameInSyntax(syntax, name, quoted);
    QStringList parts = name.split(u'.');
    for (QString& part : parts)
        part = NameInSyntax(syntax, part);
    return parts.join(u'.');
}

} // namespace

QString TDSTable::MainSQLExpr(TSQLSyntax syntax) const
{
    if (!FDBStruct)
        return FTableName;
    QString expr = FTableName;
    if (IsServerSyntax(syntax) && !FTableName.isEmpty() && !FTableName.startsWith(u'"')) {
        expr = serverTableName(syntax, FTableName, FQuoted);
    } else if (FQuoted && !FTableName.isEmpty() && !FTableName.startsWith(u'"')) {
        const TSQLFormats* f = FDBStruct->SQLFormats();
        expr = f->QuoteSymbol1() + FTableName + f->QuoteSymbol2();
    }
    const TDMOptions* options = FDBStruct->DMOptions();
    if (options->MultiDB() && !FDatabaseName.isEmpty() && FDatabaseName != options->DefaultDatabase())
        expr = GetFullSQLExpr(expr);
    return expr;
}

QString TDSTable::GetFullSQLExpr(const QString& name) const
{
    if (!FDBStruct)
        return name;
    const QString& pattern = FDBStruct->SQLFormats()->FullTableName();
    if (pattern.isEmpty())
        return name;
    QString expr = ReplaceStr(pattern, QStringLiteral("DB"), FDatabaseName);
    expr = ReplaceStr(expr, QStringLiteral("OWNER"), FDBStruct->DMOptions()->DefaultDBOwner());
    return ReplaceStr(expr, QStringLiteral("TABLE"), name);
}

QString TDSTable::FromExpr(TSQLSyntax syntax) const
{
    QString expr = MainSQLExpr(syntax);
    if (FAlias != FTableName) {
        if (FDBStruct && FDBStruct->SQLFormats()->UseAsInFrom())
            expr += QStringLiteral(" AS");
        expr += u' ' + NameInSyntax(syntax, FAlias);
    }
    if (!FTableHints.isEmpty())
        expr += QStringLiteral(" WITH ") + FTableHints;
    return expr;
}

QString TDSTable::WhereExpr(TSQLSyntax syntax) const
{
    if (!FAlias.isEmpty() && FAlias != FTableName)
        return NameInSyntax(syntax, FAlias);
    return MainSQLExpr(syntax);
}

QString TDSLink::GetSQLExpr(JoinForm form, TSQLSyntax syntax) const
{
    QString q1;
    QString q2;
    const bool server = IsServerSyntax(syntax);
    if (FQuoteFields && FDBStruct && !server) {
        q1 = FDBStruct->SQLFormats()->QuoteSymbol1();
        q2 = FDBStruct->SQLFormats()->QuoteSymbol2();
    }
    const QString outerMark = QStringLiteral(" (+) ");
    const QString leftMark = form == jfOracle && FLinkType == ltOuterRight ? outerMark : QString();
    const QString rightMark = form == jfOracle && FLinkType == ltOuterLeft ? outerMark : QString();

    auto side = [&](const QString& entry, const TDSTable* table, const QString& mark) {
        if (entry.startsWith(QStringLiteral("val:")))
            return entry.mid(4);
        const QString column = entry.startsWith(QStringLiteral("fld:")) ? entry.mid(4) : entry;
        const QString qualifier = table ? table->WhereExpr(syntax) : QString();
        if (server)
            return qualifier + u'.' + NameInSyntax(syntax, column, FQuoteFields) + mark;
        return qualifier + u'.' + q1 + column + q2 + mark;
    };

    QStringList terms;
    for (int i = 0; i < FFields1.Count(); ++i) {
        const QString right = i < FFields2.Count() ? FFields2[i] : QString();
        const QString op = i < FOperators.Count() ? FOperators[i] : QStringLiteral("=");
        terms.append(u'(' + side(FFields1[i], FTable1, leftMark) + op + side(right, FTable2, rightMark) + u')');
    }
    return terms.join(QStringLiteral(" and "));
}

void TVxCustomDBStructure::ExcludeTablesBySQLExpr(const QString& expr, TSimpleDSTableList& tables,
                                                  TStringList* columns) const
{
    TVxScanner scanner;
    scanner.SetSourceStyle(scsSQL);
    TStringList lines;
    lines.SetText(expr);
    scanner.SetSource(lines);
    scanner.FirstToken();

    // The tokens before and after a point are all that matter, so keep the
    // previous one while walking the stream.
    QString prevText;
    int prevType = tkNone;
    bool columnFollows = false;
    QString reference;
    for (; !scanner.EOS(); scanner.NextToken()) {
        const int type = scanner.GetTokType();
        const QString text = scanner.GetRealStr();
        if (columnFollows) {
            columns->Add(reference + u'.' + text);
            columnFollows = false;
        }
        if (type == tkSymbol && text == QStringLiteral(".") && prevType != tkNone && prevType != tkInteger) {
            TDSTable* table = TableByName(tlByAlias, prevText);
            if (!table)
                table = TableByName(tlByName, prevText);
            if (table) {
                tables.Add(table);
                reference = prevText;
                columnFollows = columns != nullptr;
            }
        }
        prevText = text;
        prevType = type;
    }
}

} // namespace brindle
