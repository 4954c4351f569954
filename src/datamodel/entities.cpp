#include <brindle/datamodel/entities.h>

#include <brindle/foundations/conversions.h>
#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/syntax_rules.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>

#include <atomic>

namespace brindle {
namespace {

std::atomic<quint64> operatorListsRevision{0};

void operatorListsChanged()
{
    operatorListsRevision.fetch_add(1, std::memory_order_relaxed);
}

} // namespace

quint64 OperatorListsRevision()
{
    return operatorListsRevision.load(std::memory_order_relaxed);
}

// --- TDSFieldGroup

TDSFieldGroup::TDSFieldGroup(const QString& name) : FGroupName(name) {}

TDSFieldGroup::~TDSFieldGroup()
{
    for (TDSField* field : *this)
        if (field->FGroup == this)
            field->FGroup = nullptr;
}

int TDSFieldGroup::Add(TDSField* field)
{
    // A field stands in one group only: a freed field leaves just its own
    // group, so an entry left behind elsewhere would dangle.
    if (field->FGroup)
        field->FGroup->Detach(field);
    field->FGroupSlot = SlotCount();
    const int index = TDSFieldList::Add(field);
    field->FGroup = this;
    return index;
}

void TDSFieldGroup::Insert(int index, TDSField* field)
{
    if (field->FGroup)
        field->FGroup->Detach(field);
    TDSFieldList::Insert(qBound(0, index, Count()), field);
    field->FGroup = this;
}

void TDSFieldGroup::Delete(int index)
{
    TDSField* field = Items(index);
    if (field->FGroup == this)
        field->FGroup = nullptr;
    TDSFieldList::Delete(index);
}

void TDSFieldGroup::Detach(const TDSField* field)
{
    const auto holds = [this, field] { return field->FGroupSlot < SlotCount() && Slot(field->FGroupSlot) == field; };
    // A slot goes stale when members are inserted, deleted or moved, or the
    // list closes up; numbering them all again costs no more than that did.
    if (!holds()) {
        renumber();
        if (!holds())
            return;
    }
    Vacate(field->FGroupSlot);
}

void TDSFieldGroup::renumber()
{
    std::size_t slot = 0;
    for (TDSField* field : *this) {
        if (field->FGroup == this)
            field->FGroupSlot = slot;
        ++slot;
    }
}

TDSField* TDSFieldGroup::GetFirstResultField() const
{
    for (TDSField* field : *this)
        if (field->UseInResult())
            return field;
    return nullptr;
}

// --- TDSFieldGroupList

TDSFieldGroup* TDSFieldGroupList::AddGroup(const QString& name, TDSField* field)
{
    auto group = std::make_unique<TDSFieldGroup>(name);
    TDSFieldGroup* raw = group.get();
    if (field)
        field->SetGroup(raw);
    TVxObjectList::Add(std::move(group));
    return raw;
}

TDSFieldGroup* TDSFieldGroupList::FindByName(const QString& name) const
{
    for (const auto& group : *this)
        if (group->GroupName().compare(name, Qt::CaseInsensitive) == 0)
            return group.get();
    return nullptr;
}

TDSFieldGroup* TDSFieldGroupList::FindByField(const TDSField* field, int& index) const
{
    for (const auto& group : *this) {
        index = group->IndexOf(field);
        if (index >= 0)
            return group.get();
    }
    index = -1;
    return nullptr;
}

void TDSFieldGroupList::GetGroupNames(TStringList& names) const
{
    names.Clear();
    for (const auto& group : *this)
        names.Add(group->GroupName());
}

// --- TSimpleDSTableList

void TSimpleDSTableList::Erase(int index)
{
    TDSTable* table = Items(index);
    Delete(index);
    if (TVxCustomDBStructure* model = table->DBStruct(); model && model->IndexOfTable(table) >= 0)
        model->DelTable(model->IndexOfTable(table));
    else
        delete table;
}

QString TSimpleDSTableList::CommaText() const
{
    QStringList aliases;
    for (TDSTable* table : *this)
        aliases.append(table->TableAlias());
    return ComposeCommaText(aliases);
}

// --- TDSField

TDSField::TDSField(TVxCustomDBStructure* dbStruct) : FDBStruct(dbStruct) {}

TDSField::~TDSField()
{
    // A new field may take this one's address.
    operatorListsChanged();
    if (FGroup)
        FGroup->Detach(this);
}

const QString& TDSField::IDText() const
{
    if (FIDText.isEmpty())
        AppendNumber(FIDText, FID);
    return FIDText;
}

void TDSField::SetID(int id)
{
    if (id == FID)
        return;
    const int old = FID;
    FID = id;
    FIDText.clear();
    if (FDBStruct)
        FDBStruct->fieldIdChanged(this, old);
}

void TDSField::SetFieldName(const QString& name)
{
    if (FFieldKind == kfkVirtual)
        RaiseDBStructError(7, _SDBSEAssignVirtFldName);
    SetFieldExprRaw(name);
}

void TDSField::SetFieldExprRaw(const QString& expr)
{
    FFieldExpr = expr;
    if (FDBStruct)
        FDBStruct->fieldNamesChanged(this);
}

void TDSField::SetDisplayName(const QString& name)
{
    FDisplayName = name;
    if (FDBStruct)
        FDBStruct->fieldNamesChanged(this);
}

void TDSField::SetSQLExpr(const QString& expr)
{
    if (FFieldKind == kfkData)
        RaiseDBStructError(8, _SDBSEAssignExpr);
    SetFieldExprRaw(expr);
    FTables.Clear();
    FDBFields.Clear();
    if (FDBStruct)
        FDBStruct->ExcludeTablesBySQLExpr(expr, FTables, &FDBFields);
}

QString TDSField::FilterSQLExpr(TSQLSyntax syntax) const
{
    if (FFieldKind == kfkData && IsServerSyntax(syntax))
        return NameInSyntax(syntax, FFieldExpr, FQuoted);
    if (FQuoted && FDBStruct) {
        const TSQLFormats* f = FDBStruct->SQLFormats();
        return f->QuoteSymbol1() + FFieldExpr + f->QuoteSymbol2();
    }
    return FFieldExpr;
}

QString TDSField::SQLExpr(TSQLSyntax syntax) const
{
    if (FFieldKind == kfkVirtual)
        return NamesInSyntax(syntax, FFieldExpr);
    const TDSTable* table = Table();
    if (!table)
        return FilterSQLExpr(syntax);
    // Made for every condition of a statement: one allocation.
    const QString where = table->WhereExpr(syntax);
    const QString name = FilterSQLExpr(syntax);
    QString expr;
    expr.reserve(where.size() + 1 + name.size());
    expr.append(where).append(u'.').append(name);
    return expr;
}

QString TDSField::NormalSQLExpr() const
{
    if (FFieldKind == kfkVirtual)
        return FFieldExpr;
    const QString quoted = u'"' + FFieldExpr + u'"';
    if (const TDSTable* table = Table())
        return table->WhereExpr() + u'.' + quoted;
    return quoted;
}

QString TDSField::FullName() const
{
    if (FFieldKind == kfkVirtual)
        return FFieldExpr;
    const TDSTable* table = Table();
    return (table ? table->TableName() : QString()) + u'.' + FFieldExpr;
}

QString TDSField::GroupByFields() const
{
    if (FFieldKind == kfkVirtual)
        return FDBFields.CommaText();
    return SQLExpr();
}

void TDSField::SetTable(TDSTable* table)
{
    FTables.Clear();
    if (table)
        FTables.Add(table);
}

void TDSField::SetEditType(TDSEditType type)
{
    if (type == FEditType)
        return;
    FEditType = type;
    switch (type) {
    case etAuto:
        FValueEditor.reset();
        break;
    case etEdit:
        FValueEditor = std::make_unique<TDSTextEditor>();
        break;
    case etList:
        FValueEditor = std::make_unique<TDSListEditor>();
        break;
    case etCustom:
        FValueEditor = std::make_unique<TDSCustomEditor>();
        break;
    case etSQL:
        FValueEditor = std::make_unique<TDSSQLEditor>(FDBStruct);
        break;
    }
    if (FDBStruct && FInModel)
        FDBStruct->editTypeChanged();
}

void TDSField::SetGroup(TDSFieldGroup* group)
{
    if (group == FGroup)
        return;
    if (FGroup)
        FGroup->Detach(this);
    FGroup = nullptr;
    if (group)
        group->Add(this);
}

QString TDSField::GroupName() const
{
    return FGroup ? FGroup->GroupName() : QString();
}

QString TDSField::GetCompoundName(const QString& separator) const
{
    const QString group = GroupName();
    return group.isEmpty() ? FDisplayName : group + separator + FDisplayName;
}

void TDSField::SetUseInConditions(bool on)
{
    FUseInConditions = on;
    if (on && FOperators.IsEmpty())
        AddAppliedOperators();
}

void TDSField::SetIsAggregate(bool on)
{
    FIsAggregate = FFieldKind == kfkVirtual && on;
}

TDSOperator* TDSField::Operators(int index) const
{
    if (index < 0 || index >= FOperators.Count())
        RaiseDBStructError(3, _SDBSEInvalidOperatorIndex, {index});
    return FOperators[index];
}

void TDSField::AddAppliedOperators()
{
    operatorListsChanged();
    FOperators.Clear();
    if (!FDBStruct)
        return;
    for (int i = 0; i < FDBStruct->OperatCount(); ++i) {
        TDSOperator* op = FDBStruct->Operators(i);
        if (op->AppliedTypes.Contains(FFieldType))
            FOperators.Add(op);
    }
}

int TDSField::AddOperator(TDSOperator* op)
{
    const int index = FOperators.IndexOf(op);
    if (index >= 0)
        return index;
    operatorListsChanged();
    return FOperators.Add(op);
}

int TDSField::AddOperatorByName(const QString& name)
{
    TDSOperator* op = FDBStruct ? FDBStruct->OperatorByName(name) : nullptr;
    if (!op)
        RaiseDBStructError(6, _SDBSEOperatorNotFound, {name});
    return AddOperator(op);
}

void TDSField::DelOperator(int index)
{
    Operators(index);
    FOperators.Delete(index);
    operatorListsChanged();
}

void TDSField::RemoveOperator(TDSOperator* op)
{
    FOperators.Remove(op);
    operatorListsChanged();
}

void TDSField::ClearOperators()
{
    FOperators.Clear();
    operatorListsChanged();
}

void TDSField::MoveOperat(int from, int to)
{
    Operators(from);
    Operators(to);
    FOperators.Move(from, to);
    operatorListsChanged();
}

int TDSField::IndexOfOperator(const TDSOperator* op) const { return FOperators.IndexOf(op); }

QString TDSField::GetOperatorNames() const
{
    QStringList names;
    for (TDSOperator* op : FOperators)
        names.append(op->Name());
    // Quoted where a name holds a comma or a blank, as the readers split it.
    return TStringList(names).CommaText();
}

QString TDSField::ValueAsString(const QString& value) const
{
    if (FDBStruct && FDBStruct->QuotedTypes().Contains(FFieldType))
        return QuotedString(value, u'\'');
    return value;
}

// --- TDSTable

TDSTable::TDSTable(TVxCustomDBStructure* dbStruct) : FDBStruct(dbStruct) {}

TDSTable::~TDSTable()
{
    if (!FDBStruct) {
        // An unattached table's links are not in any model list.
        while (!FLinks.IsEmpty()) {
            TDSLink* link = FLinks.Last();
            FLinks.Delete(FLinks.Count() - 1);
            if (link->FTable1 == this)
                link->FTable1 = nullptr;
            if (link->FTable2 == this)
                link->FTable2 = nullptr;
        }
        return;
    }
    while (!FLinks.IsEmpty())
        FDBStruct->deleteLink(FLinks.Last());
    FDBStruct->deleteFieldsOfTable(this);
    FDBStruct->forgetTable(this);
    if (FDBStruct->DefaultMainTable() == this)
        FDBStruct->SetDefaultMainTable(nullptr);
}

void TDSTable::SetTableName(const QString& name)
{
    FTableName = name;
    if (FAlias.isEmpty())
        SetTableAlias(name);
    if (FDBStruct)
        FDBStruct->tableNamesChanged(this);
}

void TDSTable::SetDisplayName(const QString& name)
{
    FDisplayName = name;
    if (FDBStruct)
        FDBStruct->tableNamesChanged(this);
}

void TDSTable::SetTableAlias(const QString& alias)
{
    FAlias = alias;
    FAlias.replace(u' ', u'_');
    if (FDBStruct)
        FDBStruct->tableNamesChanged(this);
}

QString TDSTable::DesignPositions() const
{
    return QStringLiteral("%1,%2,%3,%4").arg(DesignLeft).arg(DesignTop).arg(DesignWidth).arg(DesignHeight);
}

void TDSTable::SetDesignPositions(const QString& text)
{
    const QStringList parts = text.split(u',');
    auto part = [&](int i) { return XStrToInt(i < parts.size() ? parts.at(i).trimmed() : QString()); };
    DesignLeft = part(0);
    DesignTop = part(1);
    DesignWidth = part(2);
    DesignHeight = part(3);
}

QString TDSTable::CompoundName() const { return FTableName + QStringLiteral(" - ") + FAlias; }

QString TDSTable::FullName() const
{
    const QString owner = FDBStruct ? FDBStruct->DMOptions()->DefaultDBOwner() : QString();
    return owner.isEmpty() ? FTableName : owner + u'.' + FTableName;
}

TDSLink* TDSTable::Links(int index) const
{
    if (index < 0 || index >= FLinks.Count())
        RaiseDBStructError(2, _SDBSEInvalidLinkIndex, {index});
    return FLinks[index];
}

TDSLink* TDSTable::LinkByTable(const TDSTable* table) const
{
    for (TDSLink* link : FLinks)
        if (link->Table1() == table || link->Table2() == table)
            return link;
    return nullptr;
}

TDSLink* TDSTable::LinkByTableAlias(const QString& alias) const
{
    for (TDSLink* link : FLinks)
        if ((link->Table1() && link->Table1()->TableAlias() == alias)
            || (link->Table2() && link->Table2()->TableAlias() == alias))
            return link;
    return nullptr;
}

// --- TDSPath

TDSTable* TDSPath::Tables(int index) const
{
    if (index < 0 || index >= FTables.Count())
        RaiseDBStructError(1, _SDBSEInvalidTableIndex, {index});
    return FTables[index];
}

void TDSPath::DelTable(int index)
{
    Tables(index);
    FTables.Delete(index);
}

void TDSPath::Assign(const TDSPath& other)
{
    if (&other == this)
        return;
    FDBStruct = other.FDBStruct;
    FTables = other.FTables;
}

// --- TDSLink

TDSLink::TDSLink(TVxCustomDBStructure* dbStruct) : FDBStruct(dbStruct) {}

TDSLink::~TDSLink()
{
    if (FTable1)
        FTable1->FLinks.Remove(this);
    if (FTable2 && FTable2 != FTable1)
        FTable2->FLinks.Remove(this);
}

void TDSLink::SetFields1(const TStringList& fields)
{
    FFields1.Assign(fields);
    ApplyDefOperator();
}

void TDSLink::AddColumnPair(const QString& field1, const QString& op, const QString& field2)
{
    FFields1.Add(field1);
    FFields2.Add(field2);
    FOperators.Add(op);
}

void TDSLink::ApplyDefOperator()
{
    FOperators.Clear();
    for (int i = 0; i < FFields1.Count(); ++i)
        FOperators.Add(QStringLiteral("="));
}

QString TDSLink::DisplayName() const
{
    const QString alias1 = FTable1 ? FTable1->TableAlias() : QString();
    const QString alias2 = FTable2 ? FTable2->TableAlias() : QString();
    return alias1 + u'.' + FFields1.CommaText() + QStringLiteral("->") + alias2 + u'.' + FFields2.CommaText();
}

bool TDSLink::ContainsTableEx(const TDSTable* table, bool& isTable1) const
{
    isTable1 = table == FTable1;
    return table == FTable1 || table == FTable2;
}

// --- TDSOperator

const TAppliedTypes TDSOperator::DefaultAppliedTypes = {
    ftString, ftSmallint, ftInteger, ftWord, ftBoolean, ftFloat, ftCurrency, ftBCD, ftDate,
    ftTime, ftDateTime, ftAutoInc, ftMemo, ftFmtMemo, ftFixedChar, ftWideString, ftLargeint,
    ftTimeStamp};

void TDSOperator::SetName(const QString& name)
{
    FName = name;
    operatorListsChanged();
}

void TDSOperator::SetDisplayName(const QString& name)
{
    FDisplayName = name;
    operatorListsChanged();
}

void TDSOperator::SetSQLExpr(const QString& expr)
{
    FSQLExpr = expr;
    // Counted once here: statements ask for it for every condition.
    int n = 0;
    while (expr.contains(u'@' + QString::number(n + 1)))
        ++n;
    FParamCount = n;
}

// --- TDSValue

void TDSValue::SetDataType(TFieldType type)
{
    if (type == FDataType)
        return;
    FDataType = type;
    FValueEditor.reset();
}

void TDSValue::Assign(const TDSValue& other)
{
    if (&other == this)
        return;
    SetDataType(other.FDataType);
    FDataKind = other.FDataKind;
    FValueEditor = other.FValueEditor;
    FText = other.FText;
}

// --- TDSCondition

void TDSCondition::SetSQLExpr(const QString& expr)
{
    if (expr == FSQLExpr)
        return;
    FSQLExpr = expr;
    FTables.Clear();
    if (FDBStruct)
        FDBStruct->ExcludeTablesBySQLExpr(expr, FTables, nullptr);
}

void TDSCondition::SetDisplayFormat(const QString& format)
{
    if (format == FDisplayFormat)
        return;
    FDisplayFormat = format;
    FValues.Clear();
    qsizetype start = 0;
    for (qsizetype at = format.indexOf(u'@'); at >= 0; at = format.indexOf(u'@', start)) {
        auto value = std::make_unique<TDSValue>();
        value->SetText(format.mid(start, at - start));
        FValues.Add(std::move(value));
        start = at + 1;
    }
}

QString TDSCondition::Caption() const
{
    if (FValues.IsEmpty())
        return FDisplayFormat;
    QStringList texts;
    for (const auto& value : FValues)
        texts.append(value->Text());
    return texts.join(u' ');
}

// --- TDSConditionList

int TDSConditionList::Add(std::unique_ptr<TDSCondition> condition)
{
    if (condition->ID() == 0)
        condition->SetID(++FMaxID);
    else if (condition->ID() > FMaxID)
        FMaxID = condition->ID();
    return TVxObjectList::Add(std::move(condition));
}

int TDSConditionList::IndexByID(int id) const
{
    for (int i = 0; i < Count(); ++i)
        if (GetItem(i)->ID() == id)
            return i;
    return -1;
}

} // namespace brindle
