// A model copied entity by entity into another, giving what writing its
// text and reading that back gives, in a fraction of the time: each value
// takes the way the text would take it (the reader's setters, in the
// reader's order, and the text's conversions where they may change it).
// What the text could read back otherwise than this copy assumes (names
// shared or split by the text, lines that look like section headers) sends
// the model through the text after all.

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/conversions.h>
#include <brindle/foundations/sections.h>
#include <brindle/foundations/text_utils.h>

#include <QSet>

#include <optional>

namespace brindle {

namespace {

// A name the text writes where comma text splits it, or inside a section
// name, and reads back unchanged and alone.
bool plainName(const QString& name, bool dashAllowed)
{
    if (name.isEmpty())
        return false;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u <= u' ' || u == u',' || u == u'"' || u == u'\'' || u == u'[' || u == u']' || u == u'='
            || (!dashAllowed && u == u'-'))
            return false;
    }
    return true;
}

// Whether the writer puts the link under the table: under its first
// table's alias.
bool writtenUnder(const TDSLink* link, const TDSTable* table)
{
    return link->Table1() && link->Table2() && link->Table1()->TableAlias() == table->TableAlias();
}

bool holdsHeader(const TStringList& lines)
{
    for (const QString& line : lines)
        if (IsSectionHeader(line))
            return true;
    return false;
}

void dropTrailingBlankLines(TStringList& lines)
{
    while (!lines.IsEmpty() && lines[lines.Count() - 1].trimmed().isEmpty())
        lines.Delete(lines.Count() - 1);
}

// A type as its name in the text reads back; -1 when it would not read.
int typeReadBack(TFieldType type)
{
    const int back = StrToFldType(FldTypeToStr(type).trimmed());
    return back >= 0 && back < FieldTypeCount ? back : -1;
}

int valueKindReadBack(TValueKind kind)
{
    const int back = StrToValueKind(ValueKindToStr(kind).trimmed());
    return back >= 0 && back <= vkSubQuery ? back : -1;
}

} // namespace

class TVxCustomDBStructure::ContentCopy {
public:
    // settings is the model the copy stands in for: its database info and
    // whether it stores database settings decide as they do for a reader.
    ContentCopy(const TVxCustomDBStructure& from, TVxCustomDBStructure& to, TVxCustomDBStructure& settings)
        : f(from), m(to), s(settings)
    {
    }

    // False when the copy would not be the text's; the target is then to
    // be dropped.
    bool run();

private:
    bool copyOperators();
    bool copyTables();
    bool copyLinks();
    bool copyFields();
    bool copyField(const TDSField* source);
    bool copyEditor(const TDSField* source, TDSField* field);
    // Whether the writer leaves out the field's operators: in conditions
    // with just those its type applies to, in catalogue order.
    bool operatorsImplied(const TDSField* source);
    void copyGroups();
    bool copyConditions();
    bool copyDatabaseSettings();

    const TVxCustomDBStructure& f;
    TVxCustomDBStructure& m;
    TVxCustomDBStructure& s;
    QHash<const TDSOperator*, TDSOperator*> FOperators;
    // The target of the source table met last: fields of a table mostly
    // stand together.
    const TDSTable* FLastSource = nullptr;
    TDSTable* FLastTarget = nullptr;
    std::vector<std::optional<std::vector<const TDSOperator*>>> FApplied;
};

bool TVxCustomDBStructure::ContentCopy::run()
{
    m.FUpdating = true;
    m.clearContent();
    m.FDefaultMainTable = nullptr;
    m.FVersion = currentTextVersion();
    m.FRootFieldsFirst = m.FVersion > 2.62 && f.FRootFieldsFirst;
    m.FCaseInsensitiveLike = f.FCaseInsensitiveLike;
    if (!copyOperators() || !copyTables() || !copyLinks())
        return false;
    m.FDefaultMainTable =
        m.TableByName(tlByName, f.FDefaultMainTable ? f.FDefaultMainTable->TableName() : QString());
    if (!copyFields())
        return false;
    copyGroups();
    if (!copyConditions() || !copyDatabaseSettings())
        return false;
    m.refreshNullFieldOperators();
    m.FStructureLoaded = true;
    m.FUpdating = false;
    return true;
}

bool TVxCustomDBStructure::ContentCopy::copyOperators()
{
    QSet<QString> names;
    for (const auto& source : f.FOperators) {
        // The reader renames "EqualTo", and finds operators by their names
        // letter case ignored.
        if (!plainName(source->Name(), true) || source->Name() == QStringLiteral("EqualTo"))
            return false;
        const QString folded = FoldCase(source->Name());
        if (names.contains(folded))
            return false;
        names.insert(folded);
        auto op = std::make_unique<TDSOperator>();
        TAppliedTypes types;
        m.ReadAppliedTypes(SaveAppliedTypes(source->AppliedTypes), types);
        InitOperator(op.get(), source->Name(), source->DisplayName(), source->SQLExpr(), source->ValFormat(), types);
        if (source->ExprType() == ftUnknown) {
            op->SetExprType(ftUnknown);
        } else {
            const QString text = FldTypeToStr(source->ExprType());
            if (text.isEmpty() || text.compare(QStringLiteral("SameAsField"), Qt::CaseInsensitive) == 0) {
                op->SetExprType(ftUnknown);
            } else {
                const int type = typeReadBack(source->ExprType());
                if (type < 0)
                    return false;
                op->SetExprType(static_cast<TFieldType>(type));
            }
        }
        const int kind = valueKindReadBack(source->ValueKind());
        if (kind < 0)
            return false;
        op->SetValueKind(static_cast<TValueKind>(kind));
        op->SetCaseInsensative(XStrToBool(BoolToStr(source->CaseInsensative())));
        FOperators.insert(source.get(), op.get());
        m.AddOperatorRef(std::move(op));
    }
    return true;
}

bool TVxCustomDBStructure::ContentCopy::copyTables()
{
    for (const auto& source : f.FTables) {
        // Fields and links find their tables by alias, and link sections are
        // named by two aliases joined by a dash.
        if (!plainName(source->TableAlias(), false))
            return false;
        auto table = std::make_unique<TDSTable>(&m);
        TDSTable* raw = table.get();
        QStringList linked;
        for (const TDSLink* link : source->FLinks)
            if (writtenUnder(link, source.get()))
                linked.append(link->Table2()->TableAlias());
        raw->SetDatabaseName(source->DatabaseName());
        raw->SetTableName(source->TableName());
        raw->SetDisplayName(source->DisplayName());
        raw->SetTableAlias(source->TableAlias());
        raw->SetLinksStr(TStringList(linked).CommaText());
        raw->SetQuoted(source->Quoted());
        raw->SetTableHints(source->TableHints());
        raw->DesignLeft = source->DesignLeft;
        raw->DesignTop = source->DesignTop;
        raw->DesignWidth = source->DesignWidth;
        raw->DesignHeight = source->DesignHeight;
        if (raw->DatabaseName().isEmpty() && s.FDBInfo && s.FDBInfo->Connected())
            raw->SetDatabaseName(s.FDBInfo->CurrentDBName());
        m.AddTableRef(std::move(table));
    }
    // Each alias must find its own table.
    for (int i = 0; i < m.FTables.Count(); ++i)
        if (m.TableByName(tlByAlias, f.FTables[i]->TableAlias()) != m.FTables[i])
            return false;
    return true;
}

bool TVxCustomDBStructure::ContentCopy::copyLinks()
{
    for (int t = 0; t < f.FTables.Count(); ++t) {
        const TDSTable* source = f.FTables[t];
        TDSTable* table = m.FTables[t];
        for (const TDSLink* from : source->FLinks) {
            if (!writtenUnder(from, source))
                continue;
            // The link starts at the table it is written under and ends at
            // the table its other alias finds.
            const QString& alias = from->Table2()->TableAlias();
            TDSTable* table2 = plainName(alias, false) ? m.TableByName(tlByAlias, alias) : nullptr;
            if (!table2)
                return false;
            auto link = std::make_unique<TDSLink>(&m);
            link->SetTable1(table);
            link->SetTable2(table2);
            TStringList list;
            list.SetCommaText(from->Fields1().CommaText());
            link->SetFields1(list);
            list.SetCommaText(from->Fields2().CommaText());
            link->SetFields2(list);
            list.SetCommaText(from->Operators().CommaText());
            if (!list.IsEmpty())
                link->SetOperators(list);
            link->SetQuoteFields(from->QuoteFields());
            // A type the text has no name for reads back as an inner join.
            const TDSLinkType type = from->LinkType();
            link->SetLinkType(type == ltOuterLeft || type == ltOuterRight || type == ltOuterFull ? type : ltInner);
            m.AddLinkByRef(std::move(link));
        }
    }
    return true;
}

bool TVxCustomDBStructure::ContentCopy::copyFields()
{
    for (const auto& source : f.FFields)
        if (!copyField(source.get()))
            return false;
    return true;
}

bool TVxCustomDBStructure::ContentCopy::operatorsImplied(const TDSField* source)
{
    if (!source->UseInConditions())
        return false;
    if (FApplied.empty())
        FApplied.resize(FieldTypeCount);
    auto& applied = FApplied[source->FieldType()];
    if (!applied) {
        applied.emplace();
        for (const auto& op : f.FOperators)
            if (op->AppliedTypes.Contains(source->FieldType()))
                applied->push_back(op.get());
    }
    if (static_cast<std::size_t>(source->FOperators.Count()) != applied->size())
        return false;
    std::size_t i = 0;
    for (const TDSOperator* op : source->FOperators)
        if (op != (*applied)[i++])
            return false;
    return true;
}

bool TVxCustomDBStructure::ContentCopy::copyField(const TDSField* source)
{
    const TVxFieldKind kind = source->FieldKind();
    const TFieldType type = source->FieldType();
    if ((kind != kfkData && kind != kfkVirtual) || StrToFldKind(FldKindToStr(kind)) != kind || type < 0
        || type >= FieldTypeCount || source->EditType() < etAuto || source->EditType() > etSQL)
        return false;
    auto owned = std::make_unique<TDSField>(&m);
    TDSField* field = owned.get();
    m.FFields.Add(std::move(owned));
    m.indexAppendedField(field);
    field->SetID(source->ID());
    field->SetFieldKind(kind);
    field->SetFieldExprRaw(source->FieldExpr());
    field->SetDisplayName(source->DisplayName());
    if (kind == kfkData) {
        // A data field keeps its first table, found again by its alias.
        const TDSTable* table = source->Table();
        if (table != FLastSource) {
            FLastSource = table;
            FLastTarget = m.TableByName(tlByAlias, table ? table->TableAlias() : QString());
        }
        if (!FLastTarget)
            return false;
        field->Tables().Add(FLastTarget);
    }
    field->SetEditType(source->EditType());
    field->SetFieldType(type);
    field->SetFieldSize(source->FieldSize());
    if (kind == kfkData)
        field->SetQuoted(source->Quoted());
    field->SetUseInResult(source->UseInResult());
    field->SetUseInConditions(source->UseInConditions());
    field->SetIsAggregate(source->IsAggregate());
    if (!operatorsImplied(source))
        for (const TDSOperator* op : source->FOperators) {
            TDSOperator* mine = FOperators.value(op, nullptr);
            if (!mine)
                return false;
            field->AddOperator(mine);
        }
    if (!copyEditor(source, field))
        return false;
    if (field->OperatCount() == 0)
        field->FUseInConditions = false;
    if (kind == kfkVirtual)
        m.ExcludeTablesBySQLExpr(field->FieldExpr(), field->Tables(), &field->DBFields());
    if (source->EditType() == etSQL) {
        const auto& sql = static_cast<const TDSSQLEditor*>(source->ValueEditor())->SQL;
        if (holdsHeader(sql))
            return false;
        auto* e = static_cast<TDSSQLEditor*>(field->ValueEditor());
        e->SQL.Assign(sql);
        dropTrailingBlankLines(e->SQL);
    }
    return true;
}

bool TVxCustomDBStructure::ContentCopy::copyEditor(const TDSField* source, TDSField* field)
{
    switch (source->EditType()) {
    case etEdit: {
        const auto* from = static_cast<const TDSTextEditor*>(source->ValueEditor());
        if (from->Kind < tekSimple || from->Kind > tekTime)
            return false;
        auto* e = static_cast<TDSTextEditor*>(field->ValueEditor());
        e->DefaultValue = from->DefaultValue;
        e->Kind = from->Kind;
        e->ValueType = static_cast<quint8>(qBound(0, int{from->ValueType}, 2));
        // The mask and its flag are written only with a mask.
        if (!from->EditMask.trimmed().isEmpty()) {
            e->EditMask = from->EditMask;
            e->UseFormattedValue = from->UseFormattedValue;
        }
        e->SetOptions(from->Options());
        break;
    }
    case etList: {
        const auto* from = static_cast<const TDSListEditor*>(source->ValueEditor());
        auto* e = static_cast<TDSListEditor*>(field->ValueEditor());
        e->Items.SetCommaText(from->Items.CommaText());
        e->Values.SetCommaText(from->Values.CommaText());
        break;
    }
    case etCustom:
        static_cast<TDSCustomEditor*>(field->ValueEditor())
            ->Data()
            .SetCommaText(static_cast<const TDSCustomEditor*>(source->ValueEditor())->Data().CommaText());
        break;
    case etSQL:
    case etAuto:
        break;
    }
    return true;
}

// The groups take their members as the reader does, by identifier: the
// first field of each.
void TVxCustomDBStructure::ContentCopy::copyGroups()
{
    int placed = 0;
    for (const auto& source : f.FFieldGroups) {
        auto group = std::make_unique<TDSFieldGroup>(source->GroupName());
        TDSFieldGroup* raw = group.get();
        raw->SetDbStruct(&m);
        for (const TDSField* member : *source) {
            TDSField* field = m.FieldByID(member->ID());
            if (field && field->Group() != raw) {
                if (!field->Group())
                    ++placed;
                raw->Add(field);
            }
        }
        m.FFieldGroups.Add(std::move(group));
    }
    TDSFieldGroup* root = m.FRootGroup.get();
    for (const TDSField* member : *f.FRootGroup) {
        TDSField* field = m.FieldByID(member->ID());
        if (field && !field->Group()) {
            root->Add(field);
            ++placed;
        }
    }
    if (placed < m.FieldCount())
        for (const auto& field : m.FFields)
            if (!field->Group())
                root->Add(field.get());
}

bool TVxCustomDBStructure::ContentCopy::copyConditions()
{
    for (const auto& source : f.FConditions) {
        auto condition = std::make_unique<TDSCondition>(&m);
        condition->SetID(source->ID());
        condition->SetDisplayFormat(source->DisplayFormat());
        condition->SetSQLExpr(source->SQLExpr());
        // A value keeps its type and kind; its editor goes.
        const int filled = qMin(source->Values().Count(), condition->Values().Count());
        for (int v = 0; v < filled; ++v) {
            const TDSValue* from = source->Values()[v];
            const int type = typeReadBack(from->DataType());
            const int kind = valueKindReadBack(from->DataKind());
            if (type < 0 || kind < 0)
                return false;
            TDSValue* value = condition->Values()[v];
            value->SetDataType(static_cast<TFieldType>(type));
            value->SetDataKind(static_cast<TValueKind>(kind));
        }
        m.FConditions.Add(std::move(condition));
    }
    return true;
}

bool TVxCustomDBStructure::ContentCopy::copyDatabaseSettings()
{
    if (!s.FDMOptions->StoreDBInfo())
        return true;
    TStringList info;
    if (f.FDBInfo && f.FDMOptions->StoreDBInfo())
        f.FDBInfo->SaveInfo(info);
    if (holdsHeader(info))
        return false;
    dropTrailingBlankLines(info);
    m.FSpecInfo.Assign(info);
    return true;
}

void TVxCustomDBStructure::CopyContentTo(TVxCustomDBStructure& target) const
{
    if (&target == this)
        return;
    TVxCustomDBStructure scratch;
    if (!ContentCopy(*this, scratch, target).run()) {
        TStringList lines;
        SaveToStrings(lines);
        target.LoadFromStrings(lines);
        return;
    }
    target.operation([&] {
        target.takeContent(scratch);
        target.announceUpdate();
    });
}

} // namespace brindle
