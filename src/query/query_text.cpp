// The query text: the titles, [Main], [Description], [UserData], the result
// fields block and one section per row of the condition tree: [Row] for the
// root, [Row1.], [Row2.1.] ... below it, in depth-first order. The writer
// emits the current layout (3.6); the reader also takes the layouts from 1.1
// on, telling them apart by the Version key of [Main].

#include <brindle/query/query.h>
#include <brindle/query/query_text_p.h>
#include <brindle/query/query_titles_p.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/line_builder.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/sections.h>
#include <brindle/foundations/text_utils.h>

#include <QDir>
#include <QHash>

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace brindle {

namespace {

const QString kWrittenVersion = QStringLiteral("3.6");

// The statement options a text stores, with their values.
constexpr std::pair<TSQLOption, int> kStoredOptions[] = {
    {soSelectDistinct, 2}, {soQuoteAliases, 8}, {soBracketJoins, 16}, {soBracketConditions, 32}, {soSortByNames, 64},
};

constexpr TSQLOptions kStoredOptionSet = [] {
    TSQLOptions options;
    for (const auto& stored : kStoredOptions)
        options.Include(stored.first);
    return options;
}();

// The keys of a row section.
enum RowKey {
    rkRowType, rkEnabled, rkRowCount, rkLinkType, rkFieldID, rkFldName, rkCondID, rkOperator, rkParam1, rkParam2,
    rkValue1, rkValue2, rkVFormat1, rkVFormat2, rkCaption1, rkCaption2, rkSubQuery, rkSubQueryOptions, rkKeyCount
};

constexpr QLatin1StringView kRowKeys[rkKeyCount] = {
    QLatin1StringView("RowType"),  QLatin1StringView("Enabled"),  QLatin1StringView("RowCount"),
    QLatin1StringView("LinkType"), QLatin1StringView("FieldID"),  QLatin1StringView("FldName"),
    QLatin1StringView("CondID"),   QLatin1StringView("Operator"), QLatin1StringView("Param1"),
    QLatin1StringView("Param2"),   QLatin1StringView("Value1"),   QLatin1StringView("Value2"),
    QLatin1StringView("VFormat1"), QLatin1StringView("VFormat2"), QLatin1StringView("Caption1"),
    QLatin1StringView("Caption2"), QLatin1StringView("SubQuery"), QLatin1StringView("SubQueryOptions"),
};

// Whether a line's name is the key, letter case ignored as QString::compare
// ignores it; ASCII is compared without the Unicode tables.
bool isKey(QStringView name, QLatin1StringView key)
{
    if (name.size() != key.size())
        return false;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        const char16_t k = static_cast<unsigned char>(key[i].toLatin1());
        if (c == k)
            continue;
        if (c >= 0x80)
            return name.compare(key, Qt::CaseInsensitive) == 0;
        if (!SameAsciiIgnoringCase(c, k))
            return false;
    }
    return true;
}

constexpr qsizetype kLongestRowKey = [] {
    qsizetype longest = 0;
    for (QLatin1StringView key : kRowKeys)
        longest = std::max(longest, key.size());
    return longest;
}();

// The values of one row section, lines [first, end) of the text, found in
// one pass: each key takes its first line, letter case ignored, as Values
// would find it. A value stays in its line until it is asked for as a text.
class RowValues {
public:
    void Read(const TStringList& lines, int first, int end)
    {
        FLines = &lines;
        FLine.fill(-1);
        for (int i = first; i < end; ++i) {
            const QString& line = lines[i];
            // Only a name as long as a key can be one.
            const qsizetype limit = qMin(line.size(), kLongestRowKey + 1);
            qsizetype eq = 0;
            while (eq < limit && line.at(eq) != u'=')
                ++eq;
            if (eq == 0 || eq == limit)
                continue;
            const QStringView name = QStringView(line).left(eq);
            for (int k = 0; k < rkKeyCount; ++k) {
                if (FLine[k] >= 0 || !isKey(name, kRowKeys[k]))
                    continue;
                FLine[k] = i;
                FStart[k] = eq + 1;
                break;
            }
        }
    }
    QStringView View(RowKey key) const
    {
        return FLine[key] < 0 ? QStringView() : QStringView((*FLines)[FLine[key]]).mid(FStart[key]);
    }
    QString Text(RowKey key) const { return FLine[key] < 0 ? QString() : (*FLines)[FLine[key]].mid(FStart[key]); }

private:
    const TStringList* FLines = nullptr;
    std::array<int, rkKeyCount> FLine{};
    std::array<qsizetype, rkKeyCount> FStart{};
};

// The name as FoldCase folds it, ASCII names into the buffer's room.
void foldInto(QStringView text, QString& folded)
{
    folded.resize(text.size());
    QChar* out = folded.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c >= 0x80) {
            folded = FoldCase(text.toString());
            return;
        }
        out[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + 32) : c);
    }
}

TFilterLinkType linkTypeFromText(const QString& text)
{
    const int type = StrToInt(text);
    if (type < fltAll || type > fltNotAll)
        throw EConvertError(QStringLiteral("'%s' is not a valid link type"), {text});
    return static_cast<TFilterLinkType>(type);
}

// The lines of a free-text section without the empty line the writer puts
// after them.
void readTextSection(const SectionIndex& sections, int start, const QString& name, TStringList& dest)
{
    sections.Read(start, name, dest);
    if (!dest.IsEmpty() && dest[dest.Count() - 1].isEmpty())
        dest.Delete(dest.Count() - 1);
}

} // namespace

int SQLOptionsToInt(TSQLOptions options)
{
    int value = 0;
    for (const auto& [option, bit] : kStoredOptions)
        if (options.Contains(option))
            value += bit;
    return value;
}

TSQLOptions IntToSQLOptions(int value)
{
    TSQLOptions options;
    for (const auto& [option, bit] : kStoredOptions)
        if (value & bit)
            options.Include(option);
    return options;
}

void ReadQueries(const QString& folder, TStringList& names, TStringList& fileNames)
{
    const QDir dir(folder);
    const QStringList files = dir.entryList({QStringLiteral("*.qry")}, QDir::Files | QDir::Hidden | QDir::System,
                                            QDir::Name);
    TStringList lines;
    TStringList main;
    for (const QString& file : files) {
        lines.LoadFromFile(dir.filePath(file));
        XReadSLSectionValues(0, lines, QStringLiteral("Main"), main);
        QString name = main.Values(QStringLiteral("QueryName"));
        if (name.isEmpty())
            name = file.left(file.indexOf(u'.'));
        names.Add(name);
        fileNames.Add(file.left(file.size() - 4));
    }
}

// --- writing

TVxQuery::TextWriter::TextWriter(TVxQuery& query)
    : q(query),
      FEnabledLine(byFlag(u"Enabled")),
      FParam1Line(byFlag(u"Param1")),
      FParam2Line(byFlag(u"Param2")),
      FNoSubQuery(shared(u"SubQuery", QStringView()))
{
}

const QString& TVxQuery::TextWriter::shared(QStringView name, QStringView text)
{
    return b.Start(name).Append(u'=').Append(text).Shared();
}

const QString& TVxQuery::TextWriter::sharedNumber(QStringView name, long long number)
{
    return b.Start(name).Append(u'=').Number(number).Shared();
}

std::array<QString, 2> TVxQuery::TextWriter::byFlag(QStringView name)
{
    return {shared(name, u"0"), shared(name, u"1")};
}

QString TVxQuery::TextWriter::valueLine(QStringView start, const QString& value)
{
    // Values and captions are mostly a row's own; only the empty ones repeat.
    b.Start(start).Append(value);
    return value.isEmpty() ? b.Shared() : b.Own();
}

void TVxQuery::SaveToStrings(TStringList& lines)
{
    // Written in place, which reuses the list's room and frees the old lines
    // before the new ones take memory; written aside when the lines are this
    // query's own titles, description or user data, which the text repeats.
    TStringList aside;
    const bool own = &lines == &FTitles->Lines() || &lines == &FDescription || &lines == &FUserData;
    TStringList& out = own ? aside : lines;
    out.Clear();
    FState = stSaving;
    try {
        TextWriter(*this).Write(out);
    } catch (...) {
        out.Clear();
        FState = stIdle;
        throw;
    }
    if (own)
        lines.Assign(out);
    FState = stIdle;
    FModified = false;
}

void TVxQuery::TextWriter::Write(TStringList& out)
{
    WriteHead(out);
    ForEachRow([&](TFilterRow* row, QStringView id) {
        out.Add(b.Start(u"[Row").Append(id).Append(u']').Own());
        WriteRow(row, out);
    });
}

void TVxQuery::TextWriter::WriteHead(TStringList& out)
{
    if (q.FSaveTitles) {
        // Titles that end in a blank line (those read from a text do)
        // are set apart by it already.
        const TStringList& titles = q.FTitles->Lines();
        out.AddStrings(titles);
        if (titles.IsEmpty() || !TrimBlanks(titles[titles.Count() - 1]).isEmpty())
            out.Add(QString());
    }
    out.Add(QStringLiteral("[Main]"));
    out.Add(QStringLiteral("QueryName=") + q.FQueryName);
    out.Add(QStringLiteral("Version=") + kWrittenVersion);
    out.Add(QStringLiteral("Options=")
            + (q.FSaveSQLOptions ? QString::number(SQLOptionsToInt(q.FSQLOptions)) : QString()));
    out.Add(QString());
    out.Add(QStringLiteral("[Description]"));
    out.AddStrings(q.FDescription);
    out.Add(QString());
    out.Add(QStringLiteral("[UserData]"));
    out.AddStrings(q.FUserData);
    out.Add(QString());
    q.FQResult->ResultFields().SaveToStrings(out);
}

void TVxQuery::TextWriter::ForEachRow(const std::function<void(TFilterRow*, QStringView)>& visit)
{
    // Depth-first with a stack of its own: the identifiers are the rows'
    // positions, whatever the rows' stored identifiers say. The identifier of
    // the row being written is kept in one buffer, cut back to its bracket's
    // part for each next row, so no row's identifier takes memory of its own.
    struct Open {
        const TFilterBracket* Bracket;
        int Next;
        qsizetype IDLength;
    };
    std::vector<Open> open;
    QString id;
    TFilterRow* row = q.FFilter.get();
    for (;;) {
        visit(row, id);
        if (row->IsBracket())
            open.push_back({static_cast<const TFilterBracket*>(row), 0, id.size()});
        while (!open.empty() && open.back().Next == open.back().Bracket->GetRowCount())
            open.pop_back();
        if (open.empty())
            return;
        Open& parent = open.back();
        row = parent.Bracket->GetRow(parent.Next++);
        id.truncate(parent.IDLength);
        AppendNumber(id, parent.Next);
        id.append(u'.');
    }
}

void TVxQuery::TextWriter::WriteRow(TFilterRow* row, TStringList& lines)
{
    // Most of a row's lines repeat from row to row (flags, fields,
    // operators, empty values): those are made once and shared. The lines
    // that follow from a flag, a field, a condition or an operator alone are
    // found by it, which spares composing and hashing their text.
    const auto byEntity = [](auto& known, const auto* entity, auto make) -> const QString& {
        auto line = known.constFind(entity);
        if (line == known.constEnd())
            line = known.insert(entity, make());
        return *line;
    };
    if (row->IsBracket()) {
        const auto* bracket = static_cast<const TFilterBracket*>(row);
        lines.Add(FEnabledLine[bracket->GetEnabled()]);
        lines.Add(QStringLiteral("RowType=1"));
        lines.Add(sharedNumber(u"LinkType", bracket->LinkType()));
        lines.Add(sharedNumber(u"RowCount", bracket->GetRowCount()));
        lines.Add(QString());
        return;
    }
    auto* cond = static_cast<TFilterCond*>(row);
    const bool simple = cond->RowType() == frtSimpleCondition;
    lines.Add(simple ? QStringLiteral("RowType=0") : QStringLiteral("RowType=2"));
    lines.Add(FEnabledLine[cond->GetEnabled()]);
    if (simple) {
        const TDSField* field = static_cast<const TSimpleCond*>(cond)->Field();
        lines.Add(byEntity(FFieldLines, field, [&] { return sharedNumber(u"FieldID", field ? field->ID() : 0); }));
    } else {
        const TDSCondition* condition = static_cast<const TCustomCond*>(cond)->DSCondition();
        lines.Add(byEntity(FConditionLines, condition,
                           [&] { return sharedNumber(u"CondID", condition ? condition->ID() : 0); }));
    }
    lines.Add(FParam1Line[cond->GetValueIsParam(1)]);
    lines.Add(FParam2Line[cond->GetValueIsParam(2)]);
    if (simple) {
        const TDSOperator* op = static_cast<const TSimpleCond*>(cond)->Operator();
        lines.Add(byEntity(FOperatorLines, op, [&] { return shared(u"Operator", op ? op->Name() : QString()); }));
    }
    q.SaveValues(cond, FValue1, FValue2);
    lines.Add(b.Start(u"Value1=").Append(FValue1).Own());
    lines.Add(valueLine(u"Value2=", FValue2));
    for (int index : {1, 2}) {
        if (cond->GetParam(index))
            lines.Add(valueLine(index == 1 ? u"VFormat1=" : u"VFormat2=", q.ParamValueFormat(cond, index)));
        else
            lines.Add(valueLine(index == 1 ? u"Caption1=" : u"Caption2=", cond->GetCaption(index)));
    }
    lines.Add(cond->SubQuery().IsEmpty() ? FNoSubQuery : shared(u"SubQuery", cond->SubQuery().CommaText()));
    lines.Add(sharedNumber(u"SubQueryOptions", SQLOptionsToInt(cond->SubQueryOptions())));
    lines.Add(QString());
}

void TVxQuery::SaveToFile(const QString& fileName)
{
    TStringList lines;
    SaveToStrings(lines);
    lines.SaveToFile(fileName);
}

// --- the readable text

namespace {

// Appends " word" for each shown word of the row, in sentence order.
void appendRowText(QString& text, const TFilterRow* row)
{
    // A link word not made yet has never been shown.
    for (const TQueryWord* word : {row->Label1(), row->Label2(), row->Label3(), row->Label5(), row->Label4(),
                                     row->HasLinkWord() ? row->Label9() : nullptr}) {
        if (!word || !word->Visible() || word->Caption().isEmpty() || word->Caption() == QStringLiteral("_"))
            continue;
        text += u' ';
        text += word->Caption();
    }
}

} // namespace

QString TVxQuery::RowText(const TFilterRow* row) const
{
    QString text;
    appendRowText(text, row);
    return text;
}

void TVxQuery::writeTextRows(const TFilterBracket* bracket, const QString& indent)
{
    // Each line is made in one piece: the text of a large query is written
    // without a string per word.
    auto line = [&](const QString& lead, const TFilterRow* row) {
        QString text;
        text.reserve(lead.size() + 80);
        text += lead;
        appendRowText(text, row);
        FQueryText.Add(text);
    };
    line(indent, bracket);
    const QString inner = indent + QStringLiteral("  ");
    for (int i = 0; i < bracket->GetRowCount(); ++i) {
        const TFilterRow* row = bracket->GetRow(i);
        if (!row->GetEnabled())
            continue;
        if (row->IsBracket())
            writeTextRows(static_cast<const TFilterBracket*>(row), inner);
        else
            line(inner, row);
    }
}

const TStringList& TVxQuery::GetQueryText()
{
    FQueryText.Clear();
    writeTextRows(FFilter.get(), QString());
    // The whole text loses the blanks and line breaks at both of its ends:
    // leading and trailing empty lines, and the blanks that start the first
    // line and end the last.
    auto blankOnly = [](const QString& line) {
        return std::all_of(line.begin(), line.end(), [](QChar c) { return c == u' '; });
    };
    while (!FQueryText.IsEmpty() && blankOnly(FQueryText[0]))
        FQueryText.Delete(0);
    while (!FQueryText.IsEmpty() && blankOnly(FQueryText[FQueryText.Count() - 1]))
        FQueryText.Delete(FQueryText.Count() - 1);
    if (!FQueryText.IsEmpty()) {
        QString first = FQueryText[0];
        qsizetype start = 0;
        while (start < first.size() && first.at(start) == u' ')
            ++start;
        FQueryText.SetString(0, first.mid(start));
        QString last = FQueryText[FQueryText.Count() - 1];
        qsizetype end = last.size();
        while (end > 0 && last.at(end - 1) == u' ')
            --end;
        FQueryText.SetString(FQueryText.Count() - 1, last.left(end));
    }
    return FQueryText;
}

// --- reading

// Reads one text into the query: sections are looked up through an index
// made once, and the row sections in the written order with a running
// position, so a large query is read in time proportional to its text.
class TVxQuery::TextReader {
public:
    // removals: the model's removal count when loading began.
    TextReader(TVxQuery& query, const TStringList& lines, quint64 removals)
        : q(query), FLines(lines), FSections(lines), FRemovals(removals)
    {
    }
    void Read();

private:
    // A bracket whose rows are being read.
    struct OpenBracket {
        TFilterBracket* Bracket = nullptr;
        QString Name;
        const std::vector<int>* Children = nullptr;
        std::size_t NextChild = 0;
        int RowCount = 0;
        QString LinkType;
    };

    void readRows(int start);
    // Reads the row section into the parent (none for the root). True when
    // it was a bracket, whose rows are then still to be read.
    bool readRow(const QString& name, TFilterBracket* parent, OpenBracket& opened);
    void readValues(TFilterCond* cond);
    void indexChildSections();

    TVxQuery& q;
    const TStringList& FLines;
    const SectionIndex FSections;
    const quint64 FRemovals;
    int FNext = 0;
    RowValues FValues;
    // The row numbers whose sections exist, by the case-folded name of the
    // section they belong to: a bracket tries only those, so a hostile
    // RowCount costs nothing.
    TextHash<std::vector<int>> FChildren;
};

void TVxQuery::TextReader::Read()
{
    if (q.FSaveTitles) {
        if (q.FVersion < 2.2) {
            TStringList titles;
            FSections.Read(0, QStringLiteral("Titles"), titles);
            if (!titles.IsEmpty())
                q.LoadOldTitlesFromStrings(titles);
        } else {
            TStringList source(FLines);
            q.FTitles->MergeStored(source);
        }
    }

    TStringList main;
    const int afterMain = FSections.Read(0, QStringLiteral("Main"), main);
    q.SetQueryName(main.Values(QStringLiteral("QueryName")));
    q.FVersion = XStrToFloat(main.Values(QStringLiteral("Version")), 1.1);
    if (q.FSaveSQLOptions) {
        const QString options = main.Values(QStringLiteral("Options"));
        // The options a text does not store stay as the query has them.
        if (!options.isEmpty())
            q.SetSQLOptions(q.FSQLOptions - kStoredOptionSet + IntToSQLOptions(StrToInt(options)));
    }
    readTextSection(FSections, afterMain, QStringLiteral("Description"), q.FDescription);
    readTextSection(FSections, afterMain, QStringLiteral("UserData"), q.FUserData);

    q.FQResult->ResultFields().LoadFromSections(FSections);
    readRows(qMax(afterMain, 0));
}

void TVxQuery::TextReader::indexChildSections()
{
    QString name;
    QString lastPrefix;
    std::vector<int>* siblings = nullptr;
    for (int ordinal = 0; ordinal < FSections.SectionCount(); ++ordinal) {
        const QStringView written = FSections.Name(ordinal);
        if (!written.endsWith(u'.'))
            continue;
        foldInto(written, name);
        const qsizetype dot = name.size() - 1;
        qsizetype start = dot;
        while (start > 0 && name.at(start - 1).unicode() >= u'0' && name.at(start - 1).unicode() <= u'9')
            --start;
        // Only the numbers a bracket asks for: no sign, no leading zero.
        const qsizetype digits = dot - start;
        if (digits == 0 || digits > 10 || name.at(start) == u'0')
            continue;
        const qint64 number = QStringView(name).mid(start, digits).toLongLong();
        if (number > std::numeric_limits<int>::max())
            continue;
        // Sibling sections mostly follow one another: their bracket's list
        // is kept at hand, valid until the next bracket is added.
        const QStringView prefix = QStringView(name).left(start);
        if (!siblings || prefix != lastPrefix) {
            auto found = FChildren.find(BorrowedKey(prefix));
            if (found == FChildren.end())
                found = FChildren.insert(prefix.toString(), {});
            siblings = &found.value();
            lastPrefix = prefix.toString();
        }
        siblings->push_back(static_cast<int>(number));
    }
    // A section written twice names its row once.
    for (std::vector<int>& numbers : FChildren) {
        std::sort(numbers.begin(), numbers.end());
        numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    }
}

void TVxQuery::TextReader::readRows(int start)
{
    FNext = start;
    indexChildSections();
    // Brackets nest without bound: the open ones are kept on a stack of our
    // own rather than the call stack.
    std::vector<OpenBracket> open(1);
    if (!readRow(QStringLiteral("Row"), nullptr, open.back()))
        return;
    // A row's section name is composed in one buffer, which keeps its room
    // from row to row.
    QString name;
    while (!open.empty()) {
        OpenBracket& top = open.back();
        if (top.Children && top.NextChild < top.Children->size() && (*top.Children)[top.NextChild] <= top.RowCount) {
            name.truncate(0);
            name.append(top.Name);
            AppendNumber(name, (*top.Children)[top.NextChild++]);
            name.append(u'.');
            TFilterBracket* parent = top.Bracket;
            OpenBracket child;
            if (readRow(name, parent, child))
                open.push_back(std::move(child));
            continue;
        }
        TFilterBracket* bracket = top.Bracket;
        const QString linkType = top.LinkType;
        open.pop_back();
        bracket->SetLinkType(linkTypeFromText(linkType));
    }
}

bool TVxQuery::TextReader::readRow(const QString& name, TFilterBracket* parent, OpenBracket& opened)
{
    // Host handlers run while rows are made and may change the model.
    q.requireModelSince(FRemovals, "the query was being loaded");
    int first = 0;
    const int end = FSections.Find(FNext, name, first);
    if (end < 0)
        return false;
    FNext = end;
    FValues.Read(FLines, first, end);
    const int rowType = StrToInt(FValues.View(rkRowType));
    if (rowType == frtBracket) {
        TFilterBracket* bracket = parent ? parent->AddNewBracket() : q.FFilter.get();
        if (!FValues.View(rkEnabled).isEmpty())
            bracket->SetEnabled(StrToInt(FValues.View(rkEnabled)) != 0);
        opened.Bracket = bracket;
        opened.Name = name;
        opened.RowCount = StrToInt(FValues.View(rkRowCount));
        const auto children = FChildren.constFind(FoldCase(name));
        opened.Children = children == FChildren.constEnd() ? nullptr : &children.value();
        opened.LinkType = FValues.Text(rkLinkType);
        return true;
    }
    // Conditions live in brackets; the root section must be one.
    if (!parent)
        return false;
    TVxCustomDBStructure* model = q.FDbStruct.data();
    TFilterCond* cond = nullptr;
    if (rowType == frtSimpleCondition) {
        TDSField* field = q.FVersion >= 2.0
                              ? model->FieldByID(StrToInt(FValues.View(rkFieldID)))
                              : model->FieldByName(q.FVersion >= 1.4 ? flBySQLExpr : flByFullName, FValues.Text(rkFldName));
        auto* simple = static_cast<TSimpleCond*>(parent->AddCond(field ? field : model->NullField()));
        q.requireModelSince(FRemovals, "the query was being loaded");
        // No name is a condition without an operator, as the writer puts it.
        const QString name = FValues.Text(rkOperator);
        TDSOperator* op = name.isEmpty() ? nullptr : model->OperatorByName(name);
        simple->SetOperator(op || name.isEmpty() ? op : model->NullOperator());
        cond = simple;
    } else {
        TDSCondition* condition = model->ConditionByID(StrToInt(FValues.View(rkCondID)));
        cond = parent->AddCustomCond(condition ? condition : model->NullCondition());
    }
    if (!FValues.View(rkEnabled).isEmpty())
        cond->SetEnabled(StrToInt(FValues.View(rkEnabled)) != 0);
    readValues(cond);
    return false;
}

void TVxQuery::TextReader::readValues(TFilterCond* cond)
{
    if (q.FVersion < 1.2) {
        cond->SetValue(1, FValues.Text(rkValue1));
        cond->SetValue(2, FValues.Text(rkValue2));
        return;
    }
    cond->SetValueIsParam(1, XStrToBool(FValues.View(rkParam1)));
    cond->SetValueIsParam(2, XStrToBool(FValues.View(rkParam2)));
    q.LoadValues(FValues.Text(rkValue1), FValues.Text(rkValue2), cond);
    if (TSQLParam* param = cond->GetParam(1))
        param->SetValueFormat(FValues.Text(rkVFormat1));
    if (TSQLParam* param = cond->GetParam(2))
        param->SetValueFormat(FValues.Text(rkVFormat2));
    cond->SubQuery().SetCommaText(FValues.Text(rkSubQuery));
    if (!cond->SubQuery().IsEmpty()) {
        // The value keeps the sub-query's SQL on one line, its line breaks
        // stored as double blanks.
        const QString value = cond->GetValue(1);
        if (TQueryWord* word = cond->ValueWord(1)) {
            switch (q.FSubQueryHint) {
            case sqhNone: word->SetHint(QString()); break;
            case sqhText: word->SetHint(q.GetSubQueryText(cond->SubQuery())); break;
            case sqhSQL: word->SetHint(QString(value).replace(QStringLiteral("  "), QStringLiteral("\n"))); break;
            }
        }
        cond->SetValue(1, QString(value).replace(QStringLiteral("  "), QStringLiteral(" ")));
    }
    cond->SetSubQueryOptions(IntToSQLOptions(XStrToInt(FValues.View(rkSubQueryOptions))));
    if (q.FVersion >= 2.1) {
        if (!cond->GetValueIsParam(1))
            cond->SetCaption(1, FValues.Text(rkCaption1));
        if (!cond->GetValueIsParam(2))
            cond->SetCaption(2, FValues.Text(rkCaption2));
    }
}

void TVxQuery::LoadFromStrings(const TStringList& lines)
{
    if (!FDbStruct)
        throw EVxQueryPanelError(3, LoadResString(_SQPENoDBStruct));
    // A copy: the lines may be this query's own description or titles.
    const TStringList source(lines);
    const bool wasActive = FActive;
    const ChangeScope change(*this);
    // The host's handlers run from here on and may change the model.
    const quint64 removals = ModelRemovals();
    beginReset();
    FState = stLoading;
    auto finish = [&] {
        FState = stIdle;
        endReset();
        // A model freed meanwhile leaves the query inactive.
        SetActive(wasActive && FDbStruct);
        FModified = false;
    };
    try {
        SetActive(false);
        ClearAll();
        if (!source.IsEmpty())
            TextReader(*this, source, removals).Read();
    } catch (...) {
        finish();
        throw;
    }
    finish();
    QueryChanged();
    ParametersListChanged();
}

void TVxQuery::LoadFromFile(const QString& fileName)
{
    TStringList lines;
    lines.LoadFromFile(fileName);
    LoadFromStrings(lines);
}

void TVxQuery::ClearAll()
{
    {
        // The host hears once the rows, parameters and columns are all gone.
        const ChangeScope change(*this);
        beginReset();
        const auto end = qScopeGuard([this] { endReset(); });
        FFilter->ClearRows();
        FQResult->ClearParams();
        FQResult->ResultFields().Clear();
    }
    FModified = false;
}

void TVxQuery::SetQueryName(const QString& name)
{
    if (name == FQueryName)
        return;
    FQueryName = name;
    QueryChanged();
}

QString TVxQuery::GetSubQueryText(const TStringList& subQuery)
{
    TVxQuery hidden;
    hidden.SetDbStruct(FDbStruct.data());
    hidden.SetSQLOptions(FSQLOptions);
    hidden.SetSQLSyntax(FSQLSyntax);
    hidden.LoadFromStrings(subQuery);
    return hidden.GetQueryText().Text();
}

} // namespace brindle
