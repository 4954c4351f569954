// The model text: sections in square brackets with name=value lines. The
// writer emits the current layout (3.6); the reader also takes the older
// layouts, telling them apart by the Version key of [Main].

#include <brindle/foundations/conversions.h>
#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/value_editors.h>
#include <brindle/foundations/line_builder.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/sections.h>
#include <brindle/foundations/text_utils.h>

#include <optional>

namespace brindle {

namespace {

const QString kCurrentVersion = QStringLiteral("3.6");

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

QString commaText(const QStringList& items) { return TStringList(items).CommaText(); }

QString linkTypeText(TDSLinkType type)
{
    switch (type) {
    case ltOuterLeft: return QStringLiteral("Left");
    case ltOuterRight: return QStringLiteral("Right");
    case ltOuterFull: return QStringLiteral("Full");
    case ltInner: break;
    }
    return QStringLiteral("Inner");
}

TDSLinkType linkTypeFromText(const QString& text)
{
    if (text.compare(QStringLiteral("left"), Qt::CaseInsensitive) == 0)
        return ltOuterLeft;
    if (text.compare(QStringLiteral("right"), Qt::CaseInsensitive) == 0)
        return ltOuterRight;
    if (text.compare(QStringLiteral("full"), Qt::CaseInsensitive) == 0)
        return ltOuterFull;
    return ltInner;
}

// Integer conversion that raises the conversion error, for the keys whose
// malformed value is an error rather than a default.
int strictInt(const QString& text) { return StrToInt(text.trimmed()); }

template <typename Enum>
Enum checkedEnum(int value, int count, QStringView text, const char* what)
{
    if (value < 0 || value >= count)
        throw EConvertError(QStringLiteral("'%s' is not a valid %s"), {text.toString(), QLatin1String(what)});
    return static_cast<Enum>(value);
}

TFieldType fieldTypeByName(const QString& text)
{
    const int type = StrToFldType(text.trimmed());
    return checkedEnum<TFieldType>(type, FieldTypeCount, text, "field type");
}

TValueKind valueKindByName(const QString& text)
{
    const int kind = StrToValueKind(text.trimmed());
    return checkedEnum<TValueKind>(kind, vkSubQuery + 1, text, "value kind");
}

// The value of the first line of lines [first, end) whose name is the key,
// as TStringList::Values finds it, without copying the lines. A long
// section is handed to Values itself, which indexes its names.
QString sectionValue(const TStringList& source, int first, int end, QStringView key)
{
    if (end - first >= 32) {
        TStringList lines;
        for (int i = first; i < end; ++i)
            lines.Add(source[i]);
        return lines.Values(key.toString());
    }
    const qsizetype length = key.size();
    for (int i = first; i < end; ++i) {
        const QString& line = source[i];
        if (line.size() > length && line.at(length) == u'='
            && QStringView(line).left(length).compare(key, Qt::CaseInsensitive) == 0)
            return line.mid(length + 1);
    }
    return {};
}

// A link is written under the tables with its table 1's alias that list it.
bool writtenUnder(const TDSLink* link, const TDSTable* table)
{
    return link->Table1() && link->Table2() && link->Table1()->TableAlias() == table->TableAlias();
}

// Lines of a section that carries text rather than keys (an SQL text, the
// database info's settings): the writer's separator lines are not part of it.
void dropTrailingBlankLines(TStringList& lines)
{
    while (!lines.IsEmpty() && lines[lines.Count() - 1].trimmed().isEmpty())
        lines.Delete(lines.Count() - 1);
}

} // namespace

// --- writing

QString TVxCustomDBStructure::SaveAppliedTypes(TAppliedTypes types)
{
    QString text;
    for (const QString& name : FieldTypeNames(types))
        text += name + u',';
    return text;
}

// Writes the sections in the order the reader takes them. Every section
// header but the first is preceded by a line holding one blank, or by an
// empty line where asked.
class TVxCustomDBStructure::TextWriter {
public:
    TextWriter(const TVxCustomDBStructure& model, TStringList& out) : m(model), FOut(out) {}

    void write();

private:
    void separator(bool empty = false)
    {
        if (FOut.Count() > 0)
            FOut.Add(empty ? QString() : QStringLiteral(" "));
    }
    void section(QStringView name, bool emptySeparator = false)
    {
        separator(emptySeparator);
        FOut.Add(FLines.Start(u"[").Append(name).Append(u']').Own());
    }
    // A section named by a prefix and a number, such as "Field:12".
    void section(QStringView prefix, int n)
    {
        separator();
        FOut.Add(FLines.Start(u"[").Append(prefix).Number(n).Append(u']').Own());
    }
    void value(QStringView name, QStringView text) { FOut.Add(FLines.Start(name).Append(u'=').Append(text).Own()); }
    void value(QStringView name, int number) { FOut.Add(FLines.Start(name).Append(u'=').Number(number).Own()); }
    // A line that many sections repeat (a flag, a type, a table's alias, a
    // field's operators) is made once.
    void shared(QStringView name, QStringView text)
    {
        FOut.Add(FLines.Start(name).Append(u'=').Append(text).Shared());
    }
    void shared(QStringView name, int number) { FOut.Add(FLines.Start(name).Append(u'=').Number(number).Shared()); }
    void line(const QString& text) { FOut.Add(text); }

    // The field's operator names: neighbouring fields mostly have the same
    // operators, whose line is then made once.
    const QString& operatorsLine(const TDSField* field);
    // Whether the field's operators are, in order, the catalogue's
    // operators that apply to its type.
    bool hasAppliedOperators(const TDSField* field);

    void writeMain();
    void writeOperators();
    void writeTables();
    void writeLinks(const TDSTable* table, const std::vector<const TDSLink*>& links);
    void writeFields();
    void writeField(int n, const TDSField* field);
    void writeFieldEditor(int n, const TDSField* field);
    void writeGroups();
    void writeConditions();
    void writeDBInfo();

    const TVxCustomDBStructure& m;
    TStringList& FOut;
    LineBuilder FLines;
    QString FName;
    struct OperatorsLine {
        std::vector<const TDSOperator*> Operators;
        QString Line;
    };
    std::vector<OperatorsLine> FOperatorsLines;
    // The catalogue's operators that apply to each field type, made when
    // first asked for.
    std::vector<std::optional<std::vector<const TDSOperator*>>> FAppliedOperators;
};

bool TVxCustomDBStructure::TextWriter::hasAppliedOperators(const TDSField* field)
{
    if (FAppliedOperators.empty())
        FAppliedOperators.resize(FieldTypeCount);
    auto& applied = FAppliedOperators[field->FieldType()];
    if (!applied) {
        applied.emplace();
        for (int i = 0; i < m.OperatCount(); ++i)
            if (m.FOperators[i]->AppliedTypes.Contains(field->FieldType()))
                applied->push_back(m.FOperators[i]);
    }
    if (static_cast<std::size_t>(field->OperatCount()) != applied->size())
        return false;
    for (int i = 0; i < field->OperatCount(); ++i)
        if (field->Operators(i) != (*applied)[static_cast<std::size_t>(i)])
            return false;
    return true;
}

const QString& TVxCustomDBStructure::TextWriter::operatorsLine(const TDSField* field)
{
    const auto count = static_cast<std::size_t>(field->OperatCount());
    const auto sameOperators = [&](const OperatorsLine& known) {
        if (known.Operators.size() != count)
            return false;
        for (std::size_t i = 0; i < count; ++i)
            if (field->Operators(static_cast<int>(i)) != known.Operators[i])
                return false;
        return true;
    };
    for (const OperatorsLine& known : FOperatorsLines)
        if (sameOperators(known))
            return known.Line;
    OperatorsLine made;
    for (std::size_t i = 0; i < count; ++i)
        made.Operators.push_back(field->Operators(static_cast<int>(i)));
    made.Line = FLines.Start(u"Operators=").Append(field->GetOperatorNames()).Shared();
    // A few lists serve nearly every field; the oldest gives way.
    if (FOperatorsLines.size() == 16)
        FOperatorsLines.erase(FOperatorsLines.begin());
    FOperatorsLines.push_back(std::move(made));
    return FOperatorsLines.back().Line;
}

void TVxCustomDBStructure::TextWriter::write()
{
    writeMain();
    writeOperators();
    writeTables();
    writeFields();
    writeGroups();
    writeConditions();
    writeDBInfo();
}

void TVxCustomDBStructure::TextWriter::writeMain()
{
    section(QStringLiteral("Main"));
    value(QStringLiteral("Version"), kCurrentVersion);
    value(QStringLiteral("OperatCount"), m.OperatCount());
    value(QStringLiteral("TableCount"), m.TableCount());
    value(QStringLiteral("FieldCount"), m.FieldCount());
    value(QStringLiteral("CondCount"), m.FConditions.Count());
    value(QStringLiteral("FieldGroups"), m.FFieldGroups.Count());
    value(QStringLiteral("DefaultMainTable"), m.FDefaultMainTable ? m.FDefaultMainTable->TableName() : QString());
    value(QStringLiteral("RootFieldsFirst"), flag(m.FRootFieldsFirst));
    // Written only when on, so that older readers see the texts they know.
    if (m.FCaseInsensitiveLike)
        value(QStringLiteral("CaseInsensitiveLike"), flag(true));
}

void TVxCustomDBStructure::TextWriter::writeOperators()
{
    for (int i = 0; i < m.OperatCount(); ++i) {
        const TDSOperator* op = m.FOperators[i];
        section(QStringLiteral("Operator:%1").arg(i + 1));
        value(QStringLiteral("Name"), op->Name());
        value(QStringLiteral("DisplayName"), op->DisplayName());
        value(QStringLiteral("SQLName"), op->SQLExpr());
        value(QStringLiteral("ValFormat"), op->ValFormat());
        value(QStringLiteral("ExprType"),
              op->ExprType() == ftUnknown ? QStringLiteral("SameAsField") : FldTypeToStr(op->ExprType()));
        value(QStringLiteral("AppliedTypes"), SaveAppliedTypes(op->AppliedTypes));
        value(QStringLiteral("ValueKind"), ValueKindToStr(op->ValueKind()));
        value(QStringLiteral("CaseInsens"), BoolToStr(op->CaseInsensative()));
    }
}

void TVxCustomDBStructure::TextWriter::writeTables()
{
    for (int i = 0; i < m.TableCount(); ++i) {
        const TDSTable* table = m.FTables[i];
        std::vector<const TDSLink*> own;
        QStringList linked;
        for (const TDSLink* link : table->FLinks)
            if (writtenUnder(link, table)) {
                own.push_back(link);
                linked.append(link->Table2()->TableAlias());
            }
        section(u"Table:", i + 1);
        shared(u"DBName", table->DatabaseName());
        value(u"Name", table->TableName());
        value(u"DisplayName", table->DisplayName());
        value(u"Alias", table->TableAlias());
        shared(u"Quoted", flag(table->Quoted()));
        shared(u"Hints", table->TableHints());
        shared(u"DsgnPos", table->DesignPositions());
        value(u"Links", commaText(linked));
        writeLinks(table, own);
    }
}

// The link sections follow their table's section, where the reader looks
// for them.
void TVxCustomDBStructure::TextWriter::writeLinks(const TDSTable* table, const std::vector<const TDSLink*>& links)
{
    for (const TDSLink* link : links) {
        FName = QStringLiteral("Link:");
        FName.append(table->TableAlias()).append(u'-').append(link->Table2()->TableAlias());
        section(FName);
        shared(u"FldName1", link->Fields1().CommaText());
        shared(u"FldName2", link->Fields2().CommaText());
        shared(u"Operators", link->Operators().CommaText());
        shared(u"QuoteFields", flag(link->QuoteFields()));
        shared(u"LinkType", linkTypeText(link->LinkType()));
    }
}

void TVxCustomDBStructure::TextWriter::writeFields()
{
    for (int i = 0; i < m.FieldCount(); ++i)
        writeField(i + 1, m.FFields[i]);
}

void TVxCustomDBStructure::TextWriter::writeField(int n, const TDSField* field)
{
    section(u"Field:", n);
    value(u"ID", field->ID());
    shared(u"Kind", FldKindToStr(field->FieldKind()));
    shared(u"FieldExpr", field->FieldExpr());
    value(u"DisplayName", field->DisplayName());
    if (field->FieldKind() == kfkData)
        shared(u"TableAlias", field->Table() ? field->Table()->TableAlias() : QString());
    shared(u"EditType", static_cast<int>(field->EditType()));
    shared(u"FieldType", static_cast<int>(field->FieldType()));
    shared(u"FieldSize", field->FieldSize());
    shared(u"Quoted", flag(field->Quoted()));
    shared(u"UIR", flag(field->UseInResult()));
    shared(u"UIC", flag(field->UseInConditions()));
    shared(u"Aggr", flag(field->IsAggregate()));
    // The reader gives a field in conditions that has no operators yet
    // those its type applies to when it meets UIC=1, so a field that has
    // just those needs no list: most fields of a retrieved model.
    if (!field->UseInConditions() || !hasAppliedOperators(field))
        FOut.Add(operatorsLine(field));
    writeFieldEditor(n, field);
}

// The value editor's keys close the field's section; an SQL list editor's
// text is a section of its own.
void TVxCustomDBStructure::TextWriter::writeFieldEditor(int n, const TDSField* field)
{
    switch (field->EditType()) {
    case etEdit: {
        const auto* e = static_cast<const TDSTextEditor*>(field->ValueEditor());
        shared(u"DefValue", e->DefaultValue);
        shared(u"EditKind", static_cast<int>(e->Kind));
        shared(u"ValType", static_cast<int>(e->ValueType));
        if (!e->EditMask.trimmed().isEmpty()) {
            shared(u"EditMask", e->EditMask);
            shared(u"FmtVal", flag(e->UseFormattedValue));
        }
        shared(u"Options", e->Options());
        break;
    }
    case etList: {
        const auto* e = static_cast<const TDSListEditor*>(field->ValueEditor());
        value(QStringLiteral("Items"), e->Items.CommaText());
        value(QStringLiteral("Values"), e->Values.CommaText());
        break;
    }
    case etCustom:
        value(QStringLiteral("CustomData"), static_cast<const TDSCustomEditor*>(field->ValueEditor())->Data().CommaText());
        break;
    case etSQL:
        FName = QStringLiteral("Field:");
        AppendNumber(FName, n);
        FName.append(u".SQL");
        section(FName, true);
        for (const QString& text : static_cast<const TDSSQLEditor*>(field->ValueEditor())->SQL)
            line(text);
        break;
    case etAuto:
        break;
    }
}

void TVxCustomDBStructure::TextWriter::writeGroups()
{
    auto memberIDs = [](const TDSFieldGroup& group) {
        QStringList ids;
        for (const TDSField* field : group)
            ids.append(field->IDText());
        return commaText(ids);
    };
    for (int i = 0; i < m.FFieldGroups.Count(); ++i) {
        const TDSFieldGroup* group = m.FFieldGroups[i];
        section(QStringLiteral("FieldGroup%1").arg(i + 1));
        value(QStringLiteral("GroupName"), group->GroupName());
        value(QStringLiteral("Fields"), memberIDs(*group));
    }
    section(QStringLiteral("RootGroup"));
    value(QStringLiteral("Fields"), memberIDs(*m.FRootGroup));
}

void TVxCustomDBStructure::TextWriter::writeConditions()
{
    for (int i = 0; i < m.FConditions.Count(); ++i) {
        const TDSCondition* condition = m.FConditions[i];
        section(QStringLiteral("Cond:%1").arg(i + 1));
        value(QStringLiteral("ID"), condition->ID());
        value(QStringLiteral("DF"), condition->DisplayFormat());
        value(QStringLiteral("SQLExpr"), condition->SQLExpr());
        QStringList values;
        for (const auto& item : condition->Values())
            values.append(FldTypeToStr(item->DataType()) + u':' + ValueKindToStr(item->DataKind()));
        value(QStringLiteral("Values"), commaText(values));
    }
}

void TVxCustomDBStructure::TextWriter::writeDBInfo()
{
    if (!m.FDBInfo || !m.FDMOptions->StoreDBInfo())
        return;
    TStringList info;
    m.FDBInfo->SaveInfo(info);
    if (info.IsEmpty())
        return;
    section(QStringLiteral("DBSpecInfo"), true);
    for (const QString& text : info)
        line(text);
}

void TVxCustomDBStructure::SaveToStrings(TStringList& strings) const
{
    strings.Clear();
    // A field takes some fifteen lines, a table or link about ten: room for
    // them all up front keeps a large text from moving its list as it grows.
    strings.Reserve(16 * qsizetype{FieldCount()} + 12 * (qsizetype{TableCount()} + LinkCount())
                    + 8 * (qsizetype{OperatCount()} + FConditions.Count() + FFieldGroups.Count()) + 64);
    TextWriter(*this, strings).write();
}

// --- reading

class TVxCustomDBStructure::TextReader {
public:
    // Kept entities, if given, are read into at their places instead of new
    // ones; each must be the model's own and stand at one place only. The
    // database settings (the database info, whether it is stored) are the
    // settings model's: a scratch model reads for the model it stands in for.
    TextReader(TVxCustomDBStructure& model, const TStringList& source, const ModelTextEntities* kept = nullptr,
               const TVxCustomDBStructure* settings = nullptr)
        : m(model), s(settings ? *settings : model), FSource(source), FSections(source), FKept(kept)
    {
    }

    void read();

private:
    // The kept entities by their places, out of the model's lists while the
    // rest is cleared.
    struct Pools {
        std::vector<std::unique_ptr<TDSOperator>> Operators;
        std::vector<std::unique_ptr<TDSTable>> Tables;
        std::vector<std::unique_ptr<TDSLink>> Links;
        std::vector<std::unique_ptr<TDSField>> Fields;
        std::vector<std::unique_ptr<TDSCondition>> Conditions;
    };
    // How many entities of each kind were made so far: the place of the next.
    struct Made {
        std::size_t Operators = 0;
        std::size_t Tables = 0;
        std::size_t Links = 0;
        std::size_t Fields = 0;
        std::size_t Conditions = 0;
    };

    void forgetKept(TModelRemoval& removal) const;
    void takeOutKept();
    // A kept entity leaves what it referred to and returns to what a new
    // one holds; the host's own data (OleObject, UserData) stays with it.
    static void renew(TDSLink* link);
    static void renew(TDSTable* table);
    static void renew(TDSField* field);
    static void renew(TDSOperator* op);
    static void renew(TDSCondition* condition);
    // The kept entity at the next place of its kind, or a new one.
    template <typename T, typename... Args>
    static std::unique_ptr<T> make(std::vector<std::unique_ptr<T>>& pool, std::size_t& made, Args... args)
    {
        const std::size_t place = made++;
        if (place < pool.size() && pool[place])
            return std::move(pool[place]);
        return std::make_unique<T>(args...);
    }
    TDSOperator* addOperator(const QString& name, const QString& displayName, const QString& sqlExpr,
                             const QString& valFormat, TAppliedTypes types);

    // Reads a section from the running index and moves the index past it.
    bool section(const QString& name, TStringList& dest)
    {
        const int next = FSections.Read(FIndex, name, dest);
        if (next < 0)
            return false;
        FIndex = next;
        return true;
    }
    // A count that claims more entries than the text has lines cannot be
    // honoured: absent sections would still make entities.
    int count(const TStringList& main, const QString& key, const QString& sectionPrefix) const
    {
        const int n = XStrToInt(main.Values(key));
        if (n > FSource.Count())
            RaiseDBStructError(9, _SDBSECantFindSection, {sectionPrefix + QString::number(FSource.Count() + 1)});
        return qMax(n, 0);
    }

    void readOperators(const TStringList& main);
    void readOldOperators();
    void readTables(const TStringList& main);
    void applyTableLines(TDSTable* table, const TStringList& lines, int first, int end);
    void readLinks();
    void readFields(const TStringList& main);
    void readOldFields();
    TDSField* readField(int n, int first, int end);
    void readOperatorNames(TDSField* field, QStringView names);
    void readEditorKey(TDSField* field, QStringView key, const QString& line, qsizetype eq);
    void finishField(int n, TDSField* field, bool hasAggr);
    void readGroups(const TStringList& main);
    template <typename Add>
    void addGroupEntries(const QString& fieldsText, Add add);
    void readConditions(const TStringList& main);
    // The catalogue does not change while fields are read, so their operator
    // names are looked up in a table made once.
    TDSOperator* operatorByName(const QString& name);

    TVxCustomDBStructure& m;
    const TVxCustomDBStructure& s;
    const TStringList& FSource;
    SectionIndex FSections;
    int FIndex = 0;
    double FVersion = 1.1;
    // Where each table's section ended: its link sections follow it.
    QHash<const TDSTable*, int> FTableSectionEnd;
    // First operator of each name as written and case-folded.
    TextHash<TDSOperator*> FOperatorsByName;
    TextHash<TDSOperator*> FOperatorsByFoldedName;
    bool FOperatorsIndexed = false;
    // The operators of each list of names met so far: most fields share a
    // few lists.
    TextHash<std::vector<TDSOperator*>> FOperatorLists;
    // The name of the section being looked for, made in place.
    QString FName;
    const ModelTextEntities* FKept;
    Pools FPool;
    Made FMade;
};

void TVxCustomDBStructure::TextReader::forgetKept(TModelRemoval& removal) const
{
    for (const TDSOperator* op : FKept->Operators)
        removal.Operators.remove(op);
    for (const TDSTable* table : FKept->Tables)
        removal.Tables.remove(table);
    for (const TDSLink* link : FKept->Links)
        removal.Links.remove(link);
    for (const TDSField* field : FKept->Fields)
        removal.Fields.remove(field);
    for (const TDSCondition* condition : FKept->Conditions)
        removal.Conditions.remove(condition);
}

namespace {

// Takes the entities at places out of the list, each into its place.
template <typename T, typename List>
std::vector<std::unique_ptr<T>> takePlaces(List& list, const std::vector<T*>& places)
{
    QHash<const T*, std::size_t> placeOf;
    for (std::size_t k = 0; k < places.size(); ++k)
        if (places[k])
            placeOf.insert(places[k], k);
    std::vector<std::unique_ptr<T>> pool(places.size());
    for (auto& item : list.ExtractIf([&](const T* entity) { return placeOf.contains(entity); }))
        pool[placeOf.value(item.get())] = std::move(item);
    return pool;
}

} // namespace

void TVxCustomDBStructure::TextReader::takeOutKept()
{
    FPool.Links = takePlaces(m.FLinks, FKept->Links);
    FPool.Tables = takePlaces(m.FTables, FKept->Tables);
    FPool.Fields = takePlaces(m.FFields, FKept->Fields);
    FPool.Operators = takePlaces(m.FOperators, FKept->Operators);
    FPool.Conditions = takePlaces(m.FConditions, FKept->Conditions);
    const auto renewAll = [this](const auto& pool) {
        for (const auto& entity : pool)
            if (entity)
                renew(entity.get());
    };
    // Links first: they leave the lists of tables that may still go.
    renewAll(FPool.Links);
    renewAll(FPool.Tables);
    renewAll(FPool.Fields);
    renewAll(FPool.Operators);
    renewAll(FPool.Conditions);
    m.FTableIndexValid = false;
    m.FFieldIndexValid = false;
    m.FFieldIDIndexValid = false;
    m.FMaxFieldIDValid = false;
    m.FSQLEditorFields = -1;
}

void TVxCustomDBStructure::TextReader::renew(TDSLink* link)
{
    if (link->FTable1)
        link->FTable1->FLinks.Remove(link);
    if (link->FTable2 && link->FTable2 != link->FTable1)
        link->FTable2->FLinks.Remove(link);
    link->FTable1 = nullptr;
    link->FTable2 = nullptr;
    link->FFields1.Clear();
    link->FFields2.Clear();
    link->FOperators.Clear();
    link->FLinkType = ltInner;
    link->FQuoteFields = false;
}

void TVxCustomDBStructure::TextReader::renew(TDSTable* table)
{
    // Links that go still point here until they are freed, and then find
    // nothing to leave.
    table->FLinks.Clear();
    table->FInModel = false;
    table->FDatabaseName.clear();
    table->FTableName.clear();
    table->FDisplayName.clear();
    table->FAlias.clear();
    table->FLinksStr.clear();
    table->FTableHints.clear();
    table->FQuoted = false;
    table->DesignLeft = table->DesignTop = table->DesignWidth = table->DesignHeight = 0;
    table->FSearchMark = 0;
    table->FSearchParent = nullptr;
}

void TVxCustomDBStructure::TextReader::renew(TDSField* field)
{
    field->SetGroup(nullptr);
    field->FInModel = false;
    field->FID = 0;
    field->FIDText.clear();
    field->FFieldExpr.clear();
    field->FDisplayName.clear();
    field->FTables.Clear();
    field->FFieldKind = kfkData;
    field->ClearOperators();
    field->FDBFields.Clear();
    field->FQuoted = false;
    field->FFieldType = ftUnknown;
    field->FFieldSize = 0;
    field->FEditType = etAuto;
    field->FValueEditor.reset();
    field->FUseInConditions = true;
    field->FUseInResult = true;
    field->FIsAggregate = false;
}

void TVxCustomDBStructure::TextReader::renew(TDSOperator* op)
{
    InitOperator(op, QString(), QString(), QString(), QString(), TDSOperator::DefaultAppliedTypes);
    op->SetExprType(ftUnknown);
    op->SetValueKind(vkScalar);
    op->SetCaseInsensative(false);
}

void TVxCustomDBStructure::TextReader::renew(TDSCondition* condition)
{
    condition->SetID(0);
    condition->SetDisplayFormat(QString());
    condition->SetSQLExpr(QString());
    condition->Tables().Clear();
}

TDSOperator* TVxCustomDBStructure::TextReader::addOperator(const QString& name, const QString& displayName,
                                                           const QString& sqlExpr, const QString& valFormat,
                                                           TAppliedTypes types)
{
    auto op = make(FPool.Operators, FMade.Operators);
    InitOperator(op.get(), name, displayName, sqlExpr, valFormat, types);
    TDSOperator* raw = op.get();
    m.AddOperatorRef(std::move(op));
    return raw;
}

TDSOperator* TVxCustomDBStructure::TextReader::operatorByName(const QString& name)
{
    if (!FOperatorsIndexed) {
        for (int i = m.OperatCount() - 1; i >= 0; --i) {
            TDSOperator* op = m.Operators(i);
            FOperatorsByFoldedName.insert(FoldCase(op->Name()), op);
        }
        // A name as written finds what the folded name finds, without folding.
        for (auto it = FOperatorsByFoldedName.cbegin(); it != FOperatorsByFoldedName.cend(); ++it)
            FOperatorsByName.insert(it.value()->Name(), it.value());
        FOperatorsIndexed = true;
    }
    if (name != QStringLiteral("EqualTo"))
        if (TDSOperator* op = FOperatorsByName.value(name, nullptr))
            return op;
    // The name of old texts for the equality operator.
    const QString wanted = name == QStringLiteral("EqualTo") ? QStringLiteral("Equal") : name;
    TDSOperator* op = FOperatorsByFoldedName.value(FoldCase(wanted), nullptr);
    if (!op)
        RaiseDBStructError(6, _SDBSEOperatorNotFound, {name});
    return op;
}

void TVxCustomDBStructure::ReadAppliedTypes(const QString& text, TAppliedTypes& types) const
{
    types = TAppliedTypes();
    for (const QString& raw : text.split(u',')) {
        const QString entry = raw.trimmed();
        if (entry.isEmpty())
            continue;
        if (FVersion >= 2.0) {
            const int type = StrToFldType(entry);
            if (type >= 0)
                types.Include(static_cast<TFieldType>(type));
        } else {
            bool ok = false;
            const int type = entry.toInt(&ok);
            if (ok && type >= 0 && type < FieldTypeCount)
                types.Include(static_cast<TFieldType>(type));
        }
    }
}

void TVxCustomDBStructure::TextReader::read()
{
    m.FUpdating = true;
    m.removing(
        [&](TModelRemoval& r) {
            m.collectAll(r);
            if (FKept)
                forgetKept(r);
        },
        [&] {
            if (FKept)
                takeOutKept();
            m.clearContent();
        });
    m.FDefaultMainTable = nullptr;

    TStringList main;
    section(QStringLiteral("Main"), main);
    const QString versionText = main.Values(QStringLiteral("Version"));
    FVersion = versionText.trimmed().isEmpty() ? 1.1 : XStrToFloat(versionText, 1.1);
    m.FVersion = FVersion;
    m.FRootFieldsFirst = FVersion > 2.62 && XStrToInt(main.Values(QStringLiteral("RootFieldsFirst"))) != 0;
    m.FCaseInsensitiveLike = XStrToInt(main.Values(QStringLiteral("CaseInsensitiveLike"))) != 0;

    if (FVersion > 2.01)
        readOperators(main);
    else
        readOldOperators();
    readTables(main);
    readLinks();
    m.FDefaultMainTable = m.TableByName(tlByName, main.Values(QStringLiteral("DefaultMainTable")));
    if (FVersion >= 2.0)
        readFields(main);
    else
        readOldFields();
    readGroups(main);
    readConditions(main);

    if (s.FDMOptions->StoreDBInfo()) {
        TStringList info;
        section(QStringLiteral("DBSpecInfo"), info);
        dropTrailingBlankLines(info);
        m.FSpecInfo.Assign(info);
        if (&s == &m) {
            m.UpdateDatabaseInfo();
            m.UpdateSQLFormats();
        }
    }

    m.refreshNullFieldOperators();
    m.FStructureLoaded = true;
    m.FUpdating = false;
    m.Changed();
}

void TVxCustomDBStructure::TextReader::readOperators(const TStringList& main)
{
    const int n = count(main, QStringLiteral("OperatCount"), QStringLiteral("Operator:"));
    TStringList s;
    for (int i = 1; i <= n; ++i) {
        section(QStringLiteral("Operator:%1").arg(i), s);
        QString name = s.Values(QStringLiteral("Name"));
        if (name == QStringLiteral("EqualTo"))
            name = QStringLiteral("Equal");
        TAppliedTypes types;
        m.ReadAppliedTypes(s.Values(QStringLiteral("AppliedTypes")), types);
        TDSOperator* op = addOperator(name, s.Values(QStringLiteral("DisplayName")), s.Values(QStringLiteral("SQLName")),
                                      s.Values(QStringLiteral("ValFormat")), types);
        const QString exprType = s.Values(QStringLiteral("ExprType"));
        op->SetExprType(exprType.isEmpty() || exprType.compare(QStringLiteral("SameAsField"), Qt::CaseInsensitive) == 0
                            ? ftUnknown
                            : fieldTypeByName(exprType));
        if (FVersion <= 2.9) {
            const QString text = s.Values(QStringLiteral("ValueIsList"));
            if (!text.isEmpty())
                op->SetValueKind(checkedEnum<TValueKind>(strictInt(text), vkSubQuery + 1, text, "value kind"));
        } else if (FVersion >= 3.5) {
            op->SetValueKind(valueKindByName(s.Values(QStringLiteral("ValueKind"))));
        } else {
            const QString text = s.Values(QStringLiteral("ValueType"));
            if (text.compare(QStringLiteral("vtSubQuery"), Qt::CaseInsensitive) == 0)
                op->SetValueKind(vkSubQuery);
            else if (text.compare(QStringLiteral("vkList"), Qt::CaseInsensitive) == 0)
                op->SetValueKind(vkList);
            else
                op->SetValueKind(vkScalar);
        }
        op->SetCaseInsensative(XStrToBool(s.Values(QStringLiteral("CaseInsens"))));
    }
}

void TVxCustomDBStructure::TextReader::readOldOperators()
{
    TStringList list;
    FSections.Read(0, QStringLiteral("Operations"), list);
    TStringList s;
    for (int i = 0; i < list.Count(); ++i) {
        if (list[i].trimmed().isEmpty())
            continue;
        QString name = list.Names(i);
        if (name == QStringLiteral("EqualTo"))
            name = QStringLiteral("Equal");
        const QString value = list.ValueFromIndex(i);
        if (FVersion <= 1.2) {
            // name=caption,template
            addOperator(name, GetBeforeSep(value, QStringLiteral(",")), GetAfterSep(value, QStringLiteral(",")),
                        QString(), TAppliedTypes());
            continue;
        }
        FSections.Read(0, QStringLiteral("Operation:") + list.Names(i), s);
        TAppliedTypes types;
        m.ReadAppliedTypes(s.Values(QStringLiteral("AppliedTypes")), types);
        TDSOperator* op =
            addOperator(name, value, s.Values(QStringLiteral("SQLName")), s.Values(QStringLiteral("ValFormat")), types);
        const QString isList = s.Values(QStringLiteral("ValueIsList"));
        if (!isList.isEmpty())
            op->SetValueKind(checkedEnum<TValueKind>(strictInt(isList), vkSubQuery + 1, isList, "value kind"));
    }
}

void TVxCustomDBStructure::TextReader::applyTableLines(TDSTable* table, const TStringList& lines, int first,
                                                       int end)
{
    for (int i = first; i < end; ++i) {
        const QString& line = lines[i];
        const qsizetype eq = line.indexOf(u'=');
        const QStringView key = eq < 0 ? QStringView(line) : QStringView(line).left(eq);
        const auto value = [&] { return eq < 0 ? QString() : line.mid(eq + 1); };
        if (key == u"DBName")
            table->SetDatabaseName(value());
        else if (key == u"Name")
            table->SetTableName(value());
        else if (key == u"DisplayName")
            table->SetDisplayName(value());
        else if (key == u"Alias")
            table->SetTableAlias(value());
        else if (key == u"Links")
            table->SetLinksStr(value());
        else if (key == u"Quoted")
            table->SetQuoted(XStrToInt(QStringView(line).mid(eq + 1)) != 0);
        else if (key == u"Hints")
            table->SetTableHints(value());
        else if (key == u"DsgnPos")
            table->SetDesignPositions(value());
    }
    if (table->DatabaseName().isEmpty() && s.FDBInfo && s.FDBInfo->Connected())
        table->SetDatabaseName(s.FDBInfo->CurrentDBName());
}

void TVxCustomDBStructure::TextReader::readTables(const TStringList& main)
{
    TStringList s;
    if (FVersion > 1.4) {
        const int n = count(main, QStringLiteral("TableCount"), QStringLiteral("Table:"));
        for (int i = 1; i <= n; ++i) {
            FName = QStringLiteral("Table:");
            AppendNumber(FName, i);
            int first = 0;
            const int end = FSections.Find(FIndex, FName, first);
            if (end >= 0)
                FIndex = end;
            auto table = make(FPool.Tables, FMade.Tables, &m);
            TDSTable* raw = table.get();
            applyTableLines(raw, FSource, first, qMax(end, first));
            m.AddTableRef(std::move(table));
            FTableSectionEnd.insert(raw, FIndex);
        }
        return;
    }
    TStringList list;
    FSections.Read(0, QStringLiteral("Tables"), list);
    for (int i = 0; i < list.Count(); ++i) {
        if (list[i].trimmed().isEmpty())
            continue;
        auto made = make(FPool.Tables, FMade.Tables, &m);
        made->SetTableName(list.Names(i));
        made->SetDisplayName(list.ValueFromIndex(i));
        TDSTable* table = made.get();
        m.AddTableRef(std::move(made));
        const int end = FSections.Read(0, QStringLiteral("Table:") + list.Names(i), s);
        applyTableLines(table, s, 0, s.Count());
        FTableSectionEnd.insert(table, qMax(end, 0));
    }
}

void TVxCustomDBStructure::TextReader::readLinks()
{
    const bool byName = FVersion <= 1.4;
    TStringList entries;
    for (int t = 0; t < m.TableCount(); ++t) {
        TDSTable* table = m.Tables(t);
        entries.SetCommaText(table->LinksStr());
        // Link sections follow their table's section; parallel links share
        // a section name, so each search goes on from the previous one.
        int index = FTableSectionEnd.value(table, 0);
        for (const QString& entry : entries) {
            FName = QStringLiteral("Link:");
            FName += byName ? table->TableName() : table->TableAlias();
            FName += u'-';
            FName += entry;
            int first = 0;
            const int next = FSections.Find(index, FName, first);
            if (next < 0 || next == first)
                RaiseDBStructError(9, _SDBSECantFindSection, {FName});
            index = next;
            const auto value = [&](QStringView key) { return sectionValue(FSource, first, next, key); };
            TDSTable* table2 = m.TableByName(byName ? tlByName : tlByAlias, entry);
            if (!table2)
                RaiseDBStructError(4, _SDBSENoTable, {entry});
            auto link = make(FPool.Links, FMade.Links, &m);
            link->SetTable1(table);
            link->SetTable2(table2);
            TStringList list;
            list.SetCommaText(value(u"FldName1"));
            link->SetFields1(list);
            list.SetCommaText(value(u"FldName2"));
            link->SetFields2(list);
            list.SetCommaText(value(u"Operators"));
            if (!list.IsEmpty())
                link->SetOperators(list);
            link->SetQuoteFields(XStrToInt(value(u"QuoteFields")) != 0);
            link->SetLinkType(linkTypeFromText(value(u"LinkType")));
            m.AddLinkByRef(std::move(link));
        }
    }
}

// Reads lines [first, end) of the text. Values are parsed where they stand;
// only the texts a field keeps are copied out of their lines.
TDSField* TVxCustomDBStructure::TextReader::readField(int n, int first, int end)
{
    auto owned = make(FPool.Fields, FMade.Fields, &m);
    TDSField* field = owned.get();
    m.FFields.Add(std::move(owned));
    m.indexAppendedField(field);

    bool hasAggr = false;
    for (int i = first; i < end; ++i) {
        const QString& line = FSource[i];
        const qsizetype eq = line.indexOf(u'=');
        const QStringView key = eq < 0 ? QStringView(line) : QStringView(line).left(eq);
        const QStringView value = eq < 0 ? QStringView() : QStringView(line).mid(eq + 1);
        const auto text = [&] { return eq < 0 ? QString() : line.mid(eq + 1); };
        const bool isData = field->FieldKind() == kfkData;
        if (key == u"ID") {
            field->SetID(XStrToInt(value));
        } else if (key == u"Kind") {
            const int kind = value.isEmpty() ? kfkData : StrToFldKind(text());
            field->SetFieldKind(checkedEnum<TVxFieldKind>(kind, kfkVirtual + 1, value, "field kind"));
        } else if (key == u"FieldExpr") {
            field->SetFieldExprRaw(text());
        } else if (key == u"DisplayName") {
            field->SetDisplayName(text());
        } else if (key == u"TableAlias") {
            if (!isData)
                continue;
            TDSTable* table = m.TableByName(tlByAlias, text());
            if (!table)
                throw EVxDBStructError(0, QStringLiteral("Can not find table \"%s\" for field %d"),
                                       {text(), field->ID()});
            field->Tables().Add(table);
        } else if (key == u"Quoted") {
            if (isData)
                field->SetQuoted(XStrToInt(value) != 0);
        } else if (key == u"EditType") {
            const int type = StrToInt(value.trimmed()) + (FVersion < 3.0 ? 1 : 0);
            field->SetEditType(checkedEnum<TDSEditType>(type, etSQL + 1, value, "edit type"));
        } else if (key == u"FieldType") {
            field->SetFieldType(checkedEnum<TFieldType>(StrToInt(value.trimmed()), FieldTypeCount, value, "field type"));
        } else if (key == u"FieldSize") {
            field->SetFieldSize(StrToInt(value.trimmed()));
        } else if (key == u"UIR" || key == u"CondField") {
            // Texts before 3.2 store the opposite flag.
            field->SetUseInResult(FVersion >= 3.2 ? XStrToBool(value) : !XStrToBool(value));
        } else if (key == u"UIC") {
            field->SetUseInConditions(XStrToInt(value) != 0);
        } else if (key == u"Aggr") {
            field->SetIsAggregate(XStrToBool(value));
            hasAggr = true;
        } else if (key == u"Operats" || key == u"Operators") {
            readOperatorNames(field, value);
        } else {
            readEditorKey(field, key, line, eq);
        }
    }
    finishField(n, field, hasAggr);
    return field;
}

void TVxCustomDBStructure::TextReader::readOperatorNames(TDSField* field, QStringView names)
{
    const auto known = FOperatorLists.constFind(BorrowedKey(names));
    if (known != FOperatorLists.constEnd()) {
        for (TDSOperator* op : known.value())
            field->AddOperator(op);
        return;
    }
    // A list met for the first time is looked up name by name; an unknown
    // name stops the read there, as it always has.
    TStringList list;
    list.SetCommaText(names.toString());
    std::vector<TDSOperator*> ops;
    for (const QString& name : list) {
        ops.push_back(operatorByName(name));
        field->AddOperator(ops.back());
    }
    FOperatorLists.insert(names.toString(), std::move(ops));
}

// The keys of the editor the field has when the key is met: the edit type
// comes before them.
void TVxCustomDBStructure::TextReader::readEditorKey(TDSField* field, QStringView key, const QString& line,
                                                     qsizetype eq)
{
    const QStringView value = eq < 0 ? QStringView() : QStringView(line).mid(eq + 1);
    const auto text = [&] { return eq < 0 ? QString() : line.mid(eq + 1); };
    if (field->EditType() == etEdit) {
        auto* e = static_cast<TDSTextEditor*>(field->ValueEditor());
        if (key == u"DefValue")
            e->DefaultValue = text();
        else if (key == u"EditKind")
            e->Kind = checkedEnum<TTextEditorKind>(XStrToInt(value), tekTime + 1, value, "editor kind");
        else if (key == u"EditMask")
            e->EditMask = text();
        else if (key == u"FmtVal")
            e->UseFormattedValue = XStrToInt(value) != 0;
        else if (key == u"ValType")
            e->ValueType = static_cast<quint8>(qBound(0, XStrToInt(value), 2));
        else if (key == u"Options")
            e->SetOptions(XStrToInt(value));
    } else if (field->EditType() == etList) {
        auto* e = static_cast<TDSListEditor*>(field->ValueEditor());
        if (key == u"Items")
            e->Items.SetCommaText(text());
        else if (key == u"Values")
            e->Values.SetCommaText(text());
    } else if (field->EditType() == etCustom && key == u"CustomData") {
        static_cast<TDSCustomEditor*>(field->ValueEditor())->Data().SetCommaText(text());
    }
}

// What follows from the keys once all are read: a virtual field's tables
// come from its expression, and an SQL list editor's text from its section.
void TVxCustomDBStructure::TextReader::finishField(int n, TDSField* field, bool hasAggr)
{
    if (field->OperatCount() == 0)
        field->FUseInConditions = false;
    if (field->FieldKind() == kfkVirtual) {
        field->Tables().Clear();
        field->DBFields().Clear();
        m.ExcludeTablesBySQLExpr(field->FieldExpr(), field->Tables(), &field->DBFields());
    }
    if (field->EditType() == etSQL) {
        auto* e = static_cast<TDSSQLEditor*>(field->ValueEditor());
        section(QStringLiteral("Field:%1.SQL").arg(n), e->SQL);
        dropTrailingBlankLines(e->SQL);
    }
    if (field->FieldKind() == kfkVirtual && !hasAggr)
        field->SetIsAggregate(CheckIfAggregate(field->FieldExpr()));
}

void TVxCustomDBStructure::TextReader::readFields(const TStringList& main)
{
    const int n = count(main, QStringLiteral("FieldCount"), QStringLiteral("Field:"));
    for (int i = 1; i <= n; ++i) {
        FName = QStringLiteral("Field:");
        AppendNumber(FName, i);
        int first = 0;
        const int end = FSections.Find(FIndex, FName, first);
        if (end >= 0)
            FIndex = end;
        readField(i, first, qMax(end, first));
    }
}

void TVxCustomDBStructure::TextReader::readOldFields()
{
    TStringList list;
    FSections.Read(0, QStringLiteral("Fields"), list);
    TStringList s;
    for (int i = 0; i < list.Count(); ++i) {
        if (list[i].trimmed().isEmpty())
            continue;
        const QString name = FVersion <= 1.21 ? list.Names(i) : list[i];
        FSections.Read(0, QStringLiteral("Field:") + name, s);
        const QString column = FVersion > 1.21 ? s.Values(QStringLiteral("FieldName")) : name;
        const QString displayName = FVersion > 1.21 ? s.Values(QStringLiteral("DisplayName")) : name;
        TDSTable* table = FVersion > 1.4 ? m.TableByName(tlByAlias, s.Values(QStringLiteral("TableAlias")))
                                         : m.TableByName(tlByName, s.Values(QStringLiteral("TableName")));
        if (!table)
            throw EVxDBStructError(0, QStringLiteral("Can not find table \"%s\" for field %d"),
                                   {FVersion > 1.4 ? s.Values(QStringLiteral("TableAlias"))
                                                   : s.Values(QStringLiteral("TableName")),
                                    m.GetLastFieldID() + 1});

        // Appended as AddField appends a data field; type and size come from
        // the text, so no database info is asked.
        auto owned = make(FPool.Fields, FMade.Fields, &m);
        TDSField* field = owned.get();
        m.FFields.Add(std::move(owned));
        field->SetFieldExprRaw(column);
        field->SetDisplayName(displayName);
        field->SetGroup(m.FRootGroup.get());
        field->Tables().Add(table);
        m.assignFieldID(field);
        m.indexAppendedField(field);
        field->SetQuoted(XStrToInt(s.Values(QStringLiteral("Quoted"))) != 0 || column.contains(u' '));
        const QString editType = s.Values(QStringLiteral("EditType"));
        if (!editType.isEmpty())
            field->SetEditType(checkedEnum<TDSEditType>(strictInt(editType) + 1, etSQL + 1, editType, "edit type"));
        const QString fieldType = s.Values(QStringLiteral("FieldType"));
        field->SetFieldType(fieldType.isEmpty()
                                ? ftString
                                : checkedEnum<TFieldType>(strictInt(fieldType), FieldTypeCount, fieldType, "field type"));
        const QString size = s.Values(QStringLiteral("FieldSize"));
        field->SetFieldSize(size.isEmpty() ? 0 : strictInt(size));
        if (field->EditType() == etList) {
            auto* e = static_cast<TDSListEditor*>(field->ValueEditor());
            e->Items.SetCommaText(s.Values(QStringLiteral("Items")));
            e->Values.SetCommaText(s.Values(QStringLiteral("Values")));
        } else if (field->EditType() == etEdit && FVersion > 1.6) {
            auto* e = static_cast<TDSTextEditor*>(field->ValueEditor());
            e->DefaultValue = s.Values(QStringLiteral("DefaultValue"));
            e->EditMask = s.Values(QStringLiteral("EditMask"));
        } else if (field->EditType() == etSQL && FVersion > 1.6) {
            auto* e = static_cast<TDSSQLEditor*>(field->ValueEditor());
            FSections.Read(0, QStringLiteral("Field:%1.SQL").arg(name), e->SQL);
            dropTrailingBlankLines(e->SQL);
        }
        TStringList names;
        names.SetCommaText(s.Values(QStringLiteral("Operats")));
        for (const QString& op : names)
            field->AddOperator(operatorByName(op));
        field->SetUseInResult(true);
        field->SetUseInConditions(true);
    }
}

template <typename Add>
void TVxCustomDBStructure::TextReader::addGroupEntries(const QString& fieldsText, Add add)
{
    const auto addEntry = [&](QStringView raw) {
        const QStringView entry = raw.trimmed();
        if (entry.isEmpty())
            return;
        TDSField* field =
            FVersion > 2.92 ? m.FieldByID(XStrToInt(entry)) : m.FieldByName(flBySQLExpr, entry.toString());
        if (field)
            add(field);
    };
    if (fieldsText.contains(u'"')) {
        TStringList entries;
        entries.SetCommaText(fieldsText);
        for (const QString& raw : entries)
            addEntry(raw);
        return;
    }
    // Without quotes the comma text's items that are not empty are the runs
    // between blanks and commas, read here where they stand; a character
    // #0 ends the text.
    const qsizetype zero = fieldsText.indexOf(QChar(0));
    const QStringView text = QStringView(fieldsText).left(zero < 0 ? fieldsText.size() : zero);
    qsizetype p = 0;
    while (p < text.size()) {
        while (p < text.size() && (text[p].unicode() <= u' ' || text[p] == u','))
            ++p;
        const qsizetype start = p;
        while (p < text.size() && text[p].unicode() > u' ' && text[p] != u',')
            ++p;
        if (p > start)
            addEntry(text.mid(start, p - start));
    }
}

void TVxCustomDBStructure::TextReader::readGroups(const TStringList& main)
{
    const int n = count(main, QStringLiteral("FieldGroups"), QStringLiteral("FieldGroup"));
    // The fields wait in the root group while they are read; it is emptied
    // before the groups take them, so that no field has to be searched for
    // and removed from a list of all the fields.
    TDSFieldGroup* root = m.FRootGroup.get();
    while (!root->IsEmpty())
        root->Delete(root->Count() - 1);
    int placed = 0;
    for (int i = 1; i <= n; ++i) {
        FName = QStringLiteral("FieldGroup");
        AppendNumber(FName, i);
        int first = 0;
        int end = FSections.Find(FIndex, FName, first);
        if (end >= 0)
            FIndex = end;
        else
            end = first;
        auto group = std::make_unique<TDSFieldGroup>(sectionValue(FSource, first, end, u"GroupName"));
        TDSFieldGroup* raw = group.get();
        raw->SetDbStruct(&m);
        addGroupEntries(sectionValue(FSource, first, end, u"Fields"), [&](TDSField* field) {
            if (field->Group() != raw) {
                // A field that moves on from another group was counted there.
                if (!field->Group())
                    ++placed;
                raw->Add(field);
            }
        });
        m.FFieldGroups.Add(std::move(group));
    }

    int first = 0;
    const int end = FVersion > 2.61 ? FSections.Find(FIndex, u"RootGroup", first) : -1;
    if (end >= 0) {
        FIndex = end;
        addGroupEntries(sectionValue(FSource, first, end, u"Fields"), [&](TDSField* field) {
            if (!field->Group()) {
                root->Add(field);
                ++placed;
            }
        });
    }
    if (FVersion <= 2.61 || placed < m.FieldCount())
        for (const auto& field : m.FFields)
            if (!field->Group())
                root->Add(field.get());
}

void TVxCustomDBStructure::TextReader::readConditions(const TStringList& main)
{
    const int n = count(main, QStringLiteral("CondCount"), QStringLiteral("Cond:"));
    TStringList s;
    TStringList values;
    for (int i = 1; i <= n; ++i) {
        section(QStringLiteral("Cond:%1").arg(i), s);
        auto condition = make(FPool.Conditions, FMade.Conditions, &m);
        condition->SetID(XStrToInt(s.Values(QStringLiteral("ID"))));
        condition->SetDisplayFormat(s.Values(QStringLiteral("DF")));
        condition->SetSQLExpr(s.Values(QStringLiteral("SQLExpr")));
        values.SetCommaText(s.Values(QStringLiteral("Values")));
        const int filled = qMin(values.Count(), condition->Values().Count());
        for (int v = 0; v < filled; ++v) {
            TDSValue* value = condition->Values()[v];
            value->SetDataType(fieldTypeByName(GetBeforeSep(values[v], QStringLiteral(":"))));
            value->SetDataKind(valueKindByName(GetAfterSep(values[v], QStringLiteral(":"))));
        }
        m.FConditions.Add(std::move(condition));
    }
}

void TVxCustomDBStructure::LoadFromStrings(const TStringList& strings)
{
    // The lines may be this model's own output held elsewhere; read a copy so
    // that nothing the reader changes can touch them. A scratch model reads
    // them, so a text that fails leaves this model as it was, and what it
    // read moves in: the text is read once.
    const TStringList source(strings);
    TVxCustomDBStructure scratch;
    TextReader(scratch, source, nullptr, this).read();
    operation([&] {
        takeContent(scratch);
        // What follows the model shows what came, as after an update.
        announceUpdate();
    });
}

void TVxCustomDBStructure::clearContent()
{
    FFieldGroups.Clear();
    ClearFields();
    // Links first: a table that still has links finds each of them in the
    // model's whole list to delete it.
    ClearLinks();
    ClearTables();
    ClearOperators();
    FConditions.Clear();
}

void TVxCustomDBStructure::takeContent(TVxCustomDBStructure& from)
{
    FUpdating = true;
    removing([&](TModelRemoval& r) { collectAll(r); },
             [&] { clearContent(); });
    FOperators = std::move(from.FOperators);
    FTables = std::move(from.FTables);
    FLinks = std::move(from.FLinks);
    FFields = std::move(from.FFields);
    FFieldGroups = std::move(from.FFieldGroups);
    std::swap(FRootGroup, from.FRootGroup);
    FRootGroup->SetDbStruct(this);
    from.FRootGroup->SetDbStruct(&from);
    for (auto& condition : from.FConditions.ExtractIf([](const TDSCondition*) { return true; }))
        FConditions.Add(std::move(condition));
    for (const auto& table : FTables)
        table->SetDBStruct(this);
    for (const auto& link : FLinks)
        link->SetDBStruct(this);
    // Lookup lists run through the database info of the model they are in.
    const auto adopt = [this](TDSValueEditor* editor) {
        if (auto* lookup = dynamic_cast<TDSSQLEditor*>(editor))
            lookup->SetDBStruct(this);
    };
    for (const auto& field : FFields) {
        field->SetDBStruct(this);
        adopt(field->ValueEditor());
    }
    for (const auto& group : FFieldGroups)
        group->SetDbStruct(this);
    for (const auto& condition : FConditions) {
        condition->SetDBStruct(this);
        for (int v = 0; v < condition->Values().Count(); ++v)
            adopt(condition->Values()[v]->ValueEditor());
    }
    FDefaultMainTable = from.FDefaultMainTable;
    FVersion = from.FVersion;
    FRootFieldsFirst = from.FRootFieldsFirst;
    FCaseInsensitiveLike = from.FCaseInsensitiveLike;
    FMaxFieldIDValid = FFieldIDIndexValid = FFieldIndexValid = FTableIndexValid = false;
    FSQLEditorFields = -1;
    if (FDMOptions->StoreDBInfo()) {
        FSpecInfo.Assign(from.FSpecInfo);
        UpdateDatabaseInfo();
        UpdateSQLFormats();
    }
    refreshNullFieldOperators();
    FStructureLoaded = true;
    FUpdating = false;
    Changed();
}

ModelTextEntities TVxCustomDBStructure::TextEntities() const
{
    ModelTextEntities entities;
    for (const auto& op : FOperators)
        entities.Operators.push_back(op.get());
    for (const auto& table : FTables) {
        entities.Tables.push_back(table.get());
        for (TDSLink* link : table->FLinks)
            if (writtenUnder(link, table.get()))
                entities.Links.push_back(link);
    }
    for (const auto& field : FFields)
        entities.Fields.push_back(field.get());
    for (const auto& condition : FConditions)
        entities.Conditions.push_back(condition.get());
    return entities;
}

namespace {

// The entities of kept that get a place among the count the text makes:
// the list's own, each at its first place only.
template <typename T, typename List>
std::vector<T*> placesIn(const std::vector<T*>& kept, int count, const List& list)
{
    QSet<const T*> own;
    for (const auto& entity : list)
        own.insert(entity.get());
    std::vector<T*> places(std::min(kept.size(), static_cast<std::size_t>(count)), nullptr);
    for (std::size_t k = 0; k < places.size(); ++k)
        if (own.remove(kept[k]))
            places[k] = kept[k];
    return places;
}

} // namespace

void TVxCustomDBStructure::UpdateFromStrings(const TStringList& strings, const ModelTextEntities& kept)
{
    const TStringList source(strings);
    // A model of its own reads the text first: a text that fails leaves
    // this one untouched, and the counts tell which places the text has.
    // Reading is the same for both but for the database settings, which
    // the scratch model leaves alone.
    TVxCustomDBStructure scratch;
    scratch.FDMOptions->SetStoreDBInfo(false);
    TextReader(scratch, source).read();
    ModelTextEntities places;
    places.Operators = placesIn(kept.Operators, scratch.OperatCount(), FOperators);
    places.Tables = placesIn(kept.Tables, scratch.TableCount(), FTables);
    places.Links = placesIn(kept.Links, scratch.LinkCount(), FLinks);
    places.Fields = placesIn(kept.Fields, scratch.FieldCount(), FFields);
    places.Conditions = placesIn(kept.Conditions, scratch.FConditions.Count(), FConditions);
    operation([&] {
        TextReader(*this, source, &places).read();
        announceUpdate();
    });
}

void TVxCustomDBStructure::SaveToFile(const QString& fileName) const
{
    TStringList lines;
    SaveToStrings(lines);
    lines.SaveToFile(fileName);
}

void TVxCustomDBStructure::LoadFromFile(const QString& fileName)
{
    TStringList lines;
    lines.LoadFromFile(fileName);
    LoadFromStrings(lines);
}

QString TVxCustomDBStructure::StructString() const
{
    TStringList lines;
    SaveToStrings(lines);
    return lines.Text();
}

void TVxCustomDBStructure::SetStructString(const QString& text)
{
    TStringList lines;
    if (text.contains(u'\n'))
        lines.SetText(text);
    else
        lines.SetCommaText(text);
    LoadFromStrings(lines);
}

char* TVxCustomDBStructure::GetStructureAsText() const
{
    TStringList lines;
    SaveToStrings(lines);
    return GetStringsAsAnsiChar(lines);
}

void TVxCustomDBStructure::SetStructureAsText(const char* text)
{
    LoadFromStrings(StringsFromAnsiChar(text));
}

double TVxCustomDBStructure::currentTextVersion() { return XStrToFloat(kCurrentVersion, 1.1); }

void TVxCustomDBStructure::Assign(const TVxCustomDBStructure& other)
{
    if (&other != this)
        other.CopyContentTo(*this);
}

} // namespace brindle
