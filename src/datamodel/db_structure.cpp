#include <brindle/datamodel/db_structure.h>

#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>

#include <algorithm>

namespace brindle {

namespace {

QString foldKey(const QString& text) { return FoldCase(text); }

// Index entries keep the first entity in model order.
template <typename Index, typename K, typename V>
void keepFirst(Index& index, const K& key, V value)
{
    if (!index.contains(key))
        index.insert(key, value);
}

} // namespace

TVxCustomDBStructure::TVxCustomDBStructure(QObject* parent)
    : QObject(parent),
      FCurPath(std::make_unique<TDSPath>(this)),
      FRootGroup(std::make_unique<TDSFieldGroup>()),
      FSQLFormats(new TSQLFormats(this)),
      FDMOptions(new TDMOptions(this))
{
    FConditions.SetDBStruct(this);
    FRootGroup->SetDbStruct(this);

    FNullField = std::make_unique<TDSField>(this);
    FNullField->SetFieldExprRaw(LoadResString(_SUnrecognizedField));
    FNullField->SetDisplayName(LoadResString(_SUnrecognizedField));
    FNullField->SetFieldType(ftString);
    FNullOperator = std::make_unique<TDSOperator>();
    FNullOperator->SetName(LoadResString(_SUnrecognizedOperator));
    FNullOperator->SetDisplayName(LoadResString(_SUnrecognizedOperator));
    FNullOperator->SetSQLExpr(QStringLiteral("@f @1"));
    FNullCondition = std::make_unique<TDSCondition>(this);
    FNullCondition->SetDisplayFormat(LoadResString(_SUnrecognizedCondition));

    LoadDefsOpertors();
    AddDefOperators(false);
    refreshNullFieldOperators();
}

TVxCustomDBStructure::~TVxCustomDBStructure()
{
    // Listeners drop their references while every entity is still whole.
    notifyDestroying();
    FDestroying = true;
    // The order matters: links before tables (a table frees its links),
    // fields before groups and tables.
    FSpecInfo.Clear();
    FRootGroup.reset();
    FCurPath.reset();
    FConditions.Clear();
    ClearLinks();
    ClearFields();
    FFieldGroups.Clear();
    ClearTables();
    FNullField.reset();
    FOperators.Clear();
}

// --- tables

int TVxCustomDBStructure::AddTable(const QString& tableName, const QString& displayName)
{
    auto table = std::make_unique<TDSTable>(this);
    table->SetTableName(tableName);
    table->SetDisplayName(displayName);
    return AddTableRef(std::move(table));
}

int TVxCustomDBStructure::AddTableRef(std::unique_ptr<TDSTable> table)
{
    TDSTable* raw = table.get();
    raw->SetDBStruct(this);
    const int index = FTables.Add(std::move(table));
    indexAppendedTable(raw);
    Changed();
    return index;
}

void TVxCustomDBStructure::DelTable(int index)
{
    TDSTable* table = Tables(index);
    removing(
        [&](TModelRemoval& r) {
            r.Tables.insert(table);
            collectTables(r);
        },
        [&] {
            table->FInModel = false;
            FTables.Delete(index);
            FTableIndexValid = false;
            Changed();
        });
}

void TVxCustomDBStructure::ClearTables()
{
    removing(
        [&](TModelRemoval& r) {
            for (const auto& table : FTables)
                r.Tables.insert(table.get());
            collectTables(r);
        },
        [&] {
            // From the end, so that the list never moves its entries.
            while (!FTables.IsEmpty())
                DelTable(FTables.Count() - 1);
        });
}

void TVxCustomDBStructure::tableNamesChanged(const TDSTable* table)
{
    ++FRevision;
    if (!table->FInModel)
        return;
    FTableIndexValid = false;
    // A field's full name carries its table's name.
    FFieldIndexValid = false;
}

void TVxCustomDBStructure::indexAppendedTable(TDSTable* table)
{
    table->FInModel = true;
    if (!FTableIndexValid)
        return;
    // An earlier table of the same name stays the answer.
    keepFirst(FTablesByName[0], foldKey(table->TableName()), table);
    keepFirst(FTablesByName[1], foldKey(table->TableAlias()), table);
    keepFirst(FTablesByName[2], foldKey(table->DisplayName()), table);
}

void TVxCustomDBStructure::rebuildTableIndex() const
{
    for (auto& index : FTablesByName)
        index.clear();
    for (const auto& table : FTables) {
        keepFirst(FTablesByName[0], foldKey(table->TableName()), table.get());
        keepFirst(FTablesByName[1], foldKey(table->TableAlias()), table.get());
        keepFirst(FTablesByName[2], foldKey(table->DisplayName()), table.get());
    }
    FTableIndexValid = true;
}

TDSTable* TVxCustomDBStructure::TableByName(TableLookup mode, const QString& text) const
{
    if (mode >= tlByName && mode <= tlByDisplayName) {
        if (!FTableIndexValid)
            rebuildTableIndex();
        return FTablesByName[mode].value(foldKey(text), nullptr);
    }
    for (const auto& table : FTables) {
        QString name;
        switch (mode) {
        case tlByCompoundName: name = table->CompoundName(); break;
        case tlByFromExpr: name = table->FromExpr(); break;
        case tlByFullName: name = table->FullName(); break;
        default: return nullptr;
        }
        if (name.compare(text, Qt::CaseInsensitive) == 0)
            return table.get();
    }
    return nullptr;
}

// --- fields

int TVxCustomDBStructure::AddField(TVxFieldKind kind, const QString& fieldExpr,
                                   const QString& displayName, TDSTable* table)
{
    auto owned = std::make_unique<TDSField>(this);
    TDSField* field = owned.get();
    const int index = FFields.Add(std::move(owned));
    field->SetFieldKind(kind);
    field->SetFieldExprRaw(fieldExpr);
    field->SetDisplayName(displayName);
    field->SetGroup(FRootGroup.get());
    field->SetEditType(etAuto);
    if (kind == kfkVirtual) {
        field->SetFieldType(ftString);
        field->SetFieldSize(100);
        ExcludeTablesBySQLExpr(fieldExpr, field->Tables(), &field->DBFields());
    } else if (table) {
        field->Tables().Add(table);
        field->SetQuoted(fieldExpr.contains(u' '));
    }
    assignFieldID(field);
    indexAppendedField(field);
    ProcessNewField(field);
    if (kind == kfkData && (field->FieldType() == ftVarBytes || field->FieldType() == ftBlob
                            || field->FieldType() == ftTypedBinary))
        field->SetUseInResult(false);
    Changed();
    return index;
}

int TVxCustomDBStructure::AddFieldRef(std::unique_ptr<TDSField> field)
{
    TDSField* raw = field.get();
    const int index = FFields.Add(std::move(field));
    raw->SetDBStruct(this);
    assignFieldID(raw);
    indexAppendedField(raw);
    ProcessNewField(raw);
    return index;
}

int TVxCustomDBStructure::AddFieldAsIs(std::unique_ptr<TDSField> field)
{
    TDSField* raw = field.get();
    const int index = FFields.Add(std::move(field));
    raw->SetDBStruct(this);
    assignFieldID(raw);
    indexAppendedField(raw);
    return index;
}

void TVxCustomDBStructure::ProcessNewField(TDSField* field)
{
    field->SetDBStruct(this);
    assignFieldID(field);
    if (field->FieldKind() != kfkData)
        return;
    CheckDatabaseInfo();
    if (FDBInfo->Connected()) {
        const QString tableName = field->Table() ? field->Table()->TableName() : QString();
        const TDBFieldInfo* info = FDBInfo->GetFieldList(tableName).FindByName(field->FieldName());
        if (!info)
            RaiseDBStructError(10, _SDBSECantFindFieldInTbl, {field->FieldName(), tableName});
        field->SetFieldType(info->FieldType);
        field->SetFieldSize(info->FieldSize);
    } else {
        field->SetFieldType(ftString);
        field->SetFieldSize(30);
    }
}

void TVxCustomDBStructure::assignFieldID(TDSField* field)
{
    if (field->ID() == 0)
        field->SetID(GetLastFieldID() + 1);
}

int TVxCustomDBStructure::GetLastFieldID() const
{
    if (!FMaxFieldIDValid) {
        FMaxFieldID = 0;
        for (const auto& field : FFields)
            FMaxFieldID = qMax(FMaxFieldID, field->ID());
        FMaxFieldIDValid = true;
    }
    return FMaxFieldID;
}

void TVxCustomDBStructure::fieldIdChanged(TDSField* field, int oldId)
{
    ++FRevision;
    if (!field->FInModel)
        return;
    if (FMaxFieldIDValid) {
        if (field->ID() >= FMaxFieldID)
            FMaxFieldID = field->ID();
        else if (oldId == FMaxFieldID)
            FMaxFieldIDValid = false;
    }
    FFieldIDIndexValid = false;
}

bool TVxCustomDBStructure::HasSQLEditorFields() const
{
    if (FSQLEditorFields < 0)
        FSQLEditorFields = static_cast<int>(std::count_if(FFields.begin(), FFields.end(), [](const auto& field) {
            return field->EditType() == etSQL;
        }));
    return FSQLEditorFields > 0;
}

void TVxCustomDBStructure::indexAppendedField(TDSField* field)
{
    FSQLEditorFields = -1;
    field->FInModel = true;
    if (FMaxFieldIDValid)
        FMaxFieldID = qMax(FMaxFieldID, field->ID());
    if (FFieldIDIndexValid)
        keepFirst(FFieldsByID, field->ID(), field);
    if (FFieldIndexValid) {
        keepFirst(FFieldsByExpr, foldKey(field->FieldExpr()), field);
        keepFirst(FFieldsByDisplayName, foldKey(field->DisplayName()), field);
    }
}

void TVxCustomDBStructure::fieldNamesChanged(const TDSField* field)
{
    ++FRevision;
    if (field->FInModel)
        FFieldIndexValid = false;
}

void TVxCustomDBStructure::rebuildFieldIndex() const
{
    FFieldsByExpr.clear();
    FFieldsByDisplayName.clear();
    for (const auto& field : FFields) {
        keepFirst(FFieldsByExpr, foldKey(field->FieldExpr()), field.get());
        keepFirst(FFieldsByDisplayName, foldKey(field->DisplayName()), field.get());
    }
    FFieldIndexValid = true;
}

void TVxCustomDBStructure::DelField(int index)
{
    TDSField* field = Fields(index);
    removing([&](TModelRemoval& r) { r.Fields.insert(field); },
             [&] {
                 const int id = field->ID();
                 field->FInModel = false;
                 FFields.Delete(index);
                 FSQLEditorFields = -1;
                 if (id == FMaxFieldID)
                     FMaxFieldIDValid = false;
                 FFieldIDIndexValid = false;
                 FFieldIndexValid = false;
                 Changed();
             });
}

void TVxCustomDBStructure::ClearFields()
{
    // Emptying the groups first spares every field the search for itself in
    // its group's member list, and deleting from the end keeps the field
    // list from moving its entries: a model of tens of thousands of fields
    // clears in linear time.
    removing(
        [&](TModelRemoval& r) {
            for (const auto& field : FFields)
                r.Fields.insert(field.get());
        },
        [&] {
            FFieldGroups.Clear();
            while (FRootGroup && !FRootGroup->IsEmpty())
                FRootGroup->Delete(FRootGroup->Count() - 1);
            while (!FFields.IsEmpty())
                DelField(FFields.Count() - 1);
        });
}

void TVxCustomDBStructure::deleteFieldsOfTable(const TDSTable* table)
{
    for (int i = FFields.Count() - 1; i >= 0; --i)
        if (FFields[i]->Tables().IndexOf(table) >= 0)
            DelField(i);
}

void TVxCustomDBStructure::forgetTable(const TDSTable* table)
{
    for (const auto& condition : FConditions)
        while (condition->Tables().Remove(table) >= 0) {
        }
    if (FCurPath && FCurPath->Contains(table))
        FCurPath->Clear();
}

TDSField* TVxCustomDBStructure::FieldByID(int id) const
{
    if (!FFieldIDIndexValid) {
        FFieldsByID.clear();
        for (const auto& field : FFields)
            keepFirst(FFieldsByID, field->ID(), field.get());
        FFieldIDIndexValid = true;
    }
    return FFieldsByID.value(id, nullptr);
}

QString TVxCustomDBStructure::SQLExprKey(const QString& expr) const
{
    QString key;
    SQLExprKey(expr, key);
    return key;
}

void TVxCustomDBStructure::SQLExprKey(const QString& expr, QString& key) const
{
    const QChar quote1 = FSQLFormats->QuoteSymbol1();
    const QChar quote2 = FSQLFormats->QuoteSymbol2();
    // ASCII expressions, nearly all of them, in one pass.
    key.resize(expr.size());
    QChar* out = key.data();
    for (const QChar c : expr) {
        const char16_t u = c.unicode();
        if (u >= 0x80) {
            key = expr.toLower();
            key.removeIf([&](QChar k) { return k == quote1 || k == quote2; });
            return;
        }
        if (c != quote1 && c != quote2)
            *out++ = QChar(u >= u'A' && u <= u'Z' ? char16_t(u + 32) : u);
    }
    key.truncate(out - key.constData());
}

TDSField* TVxCustomDBStructure::FieldByName(FieldLookup mode, const QString& text) const
{
    switch (mode) {
    case flByFieldExpr:
    case flByDisplayName:
        if (!FFieldIndexValid)
            rebuildFieldIndex();
        return (mode == flByFieldExpr ? FFieldsByExpr : FFieldsByDisplayName).value(foldKey(text), nullptr);
    case flByFullName:
        for (const auto& field : FFields)
            if (field->FullName().compare(text, Qt::CaseInsensitive) == 0)
                return field.get();
        return nullptr;
    case flBySQLExpr: {
        const QString key = SQLExprKey(text);
        for (const auto& field : FFields)
            if (SQLExprKey(field->SQLExpr()) == key)
                return field.get();
        return nullptr;
    }
    default:
        return nullptr;
    }
}

TDSField* TVxCustomDBStructure::GetFirstResultField() const
{
    if (FRootFieldsFirst)
        if (TDSField* field = FRootGroup->GetFirstResultField())
            return field;
    for (const auto& group : FFieldGroups)
        if (TDSField* field = group->GetFirstResultField())
            return field;
    return FNullField.get();
}

// --- operators

TDSOperator* TVxCustomDBStructure::Operators(int index) const
{
    if (index < 0 || index >= FOperators.Count())
        RaiseDBStructError(3, _SDBSEInvalidOperatorIndex, {index});
    return FOperators[index];
}

int TVxCustomDBStructure::AddOperatorRef(std::unique_ptr<TDSOperator> op)
{
    const int index = FOperators.Add(std::move(op));
    Changed();
    return index;
}

void TVxCustomDBStructure::DelOperator(int index)
{
    TDSOperator* op = Operators(index);
    removing([&](TModelRemoval& r) { r.Operators.insert(op); },
             [&] {
                 for (const auto& field : FFields)
                     field->RemoveOperator(op);
                 FNullField->RemoveOperator(op);
                 FOperators.Delete(index);
                 Changed();
             });
}

void TVxCustomDBStructure::DeleteOperatorByName(const QString& name)
{
    const int index = OperatorIndexByName(name);
    if (index >= 0)
        DelOperator(index);
}

void TVxCustomDBStructure::UpdateOperatorCaption(const QString& name, const QString& caption)
{
    if (TDSOperator* op = OperatorByName(name))
        op->SetDisplayName(caption);
}

void TVxCustomDBStructure::ClearOperators()
{
    removing(
        [&](TModelRemoval& r) {
            for (const auto& op : FOperators)
                r.Operators.insert(op.get());
        },
        [&] {
            FNullField->ClearOperators();
            while (!FOperators.IsEmpty())
                DelOperator(0);
        });
}

int TVxCustomDBStructure::OperatorIndexByName(const QString& name) const
{
    // Models of old versions name the equality operator "EqualTo".
    const QString wanted = name == QStringLiteral("EqualTo") ? QStringLiteral("Equal") : name;
    for (int i = 0; i < FOperators.Count(); ++i)
        if (FOperators[i]->Name().compare(wanted, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

TDSOperator* TVxCustomDBStructure::OperatorByName(const QString& name) const
{
    const int index = OperatorIndexByName(name);
    return index < 0 ? nullptr : FOperators[index];
}

TDSOperator* TVxCustomDBStructure::OperatorByExpr(const QString& text) const
{
    for (const auto& op : FOperators)
        if (CXPos(text, op->SQLExpr(), 1) > 0)
            return op.get();
    return nullptr;
}

void TVxCustomDBStructure::refreshNullFieldOperators()
{
    FNullField->AddAppliedOperators();
}

// --- links

TDSLink* TVxCustomDBStructure::Links(int index) const
{
    if (index < 0 || index >= FLinks.Count())
        RaiseDBStructError(2, _SDBSEInvalidLinkIndex, {index});
    return FLinks[index];
}

int TVxCustomDBStructure::AddLinkByRef(std::unique_ptr<TDSLink> link)
{
    TDSLink* raw = link.get();
    raw->SetDBStruct(this);
    const int index = FLinks.Add(std::move(link));
    if (raw->FTable1)
        raw->FTable1->FLinks.Add(raw);
    if (raw->FTable2 && raw->FTable2 != raw->FTable1)
        raw->FTable2->FLinks.Add(raw);
    if (raw->FOperators.IsEmpty())
        raw->ApplyDefOperator();
    Changed();
    return index;
}

void TVxCustomDBStructure::DelLink(int index)
{
    const TDSLink* link = Links(index);
    removing([&](TModelRemoval& r) { r.Links.insert(link); },
             [&] {
                 FLinks.Delete(index);
                 Changed();
             });
}

void TVxCustomDBStructure::deleteLink(TDSLink* link)
{
    const int index = FLinks.IndexOf(link);
    if (index >= 0) {
        DelLink(index);
        return;
    }
    // Not the model's: only leave the tables' lists.
    if (link->FTable1)
        link->FTable1->FLinks.Remove(link);
    if (link->FTable2)
        link->FTable2->FLinks.Remove(link);
}

void TVxCustomDBStructure::ClearLinks()
{
    removing(
        [&](TModelRemoval& r) {
            for (const auto& link : FLinks)
                r.Links.insert(link.get());
        },
        [&] {
            while (!FLinks.IsEmpty())
                DelLink(FLinks.Count() - 1);
        });
}

// --- conditions

TDSCondition* TVxCustomDBStructure::ConditionByID(int id) const
{
    const int index = FConditions.IndexByID(id);
    return index < 0 ? nullptr : FConditions[index];
}

void TVxCustomDBStructure::ClearStructure()
{
    removing([&](TModelRemoval& r) { collectAll(r); },
             [&] {
                 ClearLinks();
                 ClearFields();
                 ClearTables();
                 FFieldGroups.Clear();
                 FConditions.Clear();
                 ClearOperators();
                 AddDefOperators(false);
                 refreshNullFieldOperators();
             });
}

// --- name lists

void TVxCustomDBStructure::GetTableNames(TStringList& list, int mode) const
{
    list.Clear();
    for (const auto& table : FTables) {
        TDSTable* t = table.get();
        switch (mode) {
        case 0:
            if (list.IndexOf(t->TableName()) < 0)
                list.AddObject(t->TableName(), t);
            break;
        case 1: list.AddObject(t->TableAlias(), t); break;
        case 2: list.AddObject(t->DisplayName(), t); break;
        case 3: list.AddObject(t->CompoundName(), t); break;
        case 4: list.AddObject(t->FromExpr(), t); break;
        default: return;
        }
    }
}

void TVxCustomDBStructure::GetFieldNames(TStringList& list, int mode) const
{
    list.Clear();
    if (mode < 0 || mode > 6)
        return;
    for (const auto& field : FFields) {
        TDSField* f = field.get();
        if (mode >= 4 && f->OperatCount() == 0)
            continue;
        switch (mode) {
        case 0: list.AddObject(f->FieldExpr(), f); break;
        case 1:
        case 4: list.AddObject(f->DisplayName(), f); break;
        case 2:
        case 5: list.AddObject(f->FullName(), f); break;
        default: list.AddObject(f->SQLExpr(), f); break;
        }
    }
}

void TVxCustomDBStructure::GetOperatorNames(TStringList& list) const
{
    list.Clear();
    for (const auto& op : FOperators)
        list.AddObject(op->Name(), op.get());
}

void TVxCustomDBStructure::GetConditionCaptions(TStringList& list) const
{
    list.Clear();
    for (const auto& condition : FConditions)
        list.Add(condition->Caption());
}

// --- notifications and database info

void TVxCustomDBStructure::MoveTable(int from, int to)
{
    FTables.Move(from, to);
    // Lookups answer with the first table in model order.
    FTableIndexValid = false;
    Changed();
}

namespace {

TVxCustomDBStructure::DataModelEditor& installedEditor()
{
    static TVxCustomDBStructure::DataModelEditor editor;
    return editor;
}

} // namespace

TVxCustomDBStructure::DataModelEditor TVxCustomDBStructure::SetDataModelEditor(DataModelEditor editor)
{
    std::swap(installedEditor(), editor);
    return editor;
}

int TVxCustomDBStructure::EditStructure()
{
    // A copy, so that the editor may replace itself while it runs.
    const DataModelEditor editor = installedEditor();
    if (!editor)
        RaiseDBStructError(12, _SDBSENoModelEditor);
    return editor(*this);
}

void TVxCustomDBStructure::Changed()
{
    ++FRevision;
    if (FUpdating || FDestroying)
        return;
    // The host's handler comes last: it may free the model.
    emit changed();
    if (OnChange)
        OnChange(this);
}

void TVxCustomDBStructure::SetDatabaseInfo(TVxDBInfo* info)
{
    if (info == FDBInfo.data())
        return;
    FDBInfo = info;
    if (!FLoading) {
        UpdateDatabaseInfo();
        UpdateSQLFormats();
    }
}

void TVxCustomDBStructure::UpdateDatabaseInfo()
{
    if (FDBInfo) {
        // The settings are the info component's own business: a failure to
        // take them must not keep the model from attaching it.
        try {
            FDBInfo->LoadInfo(FSpecInfo);
        } catch (const std::exception&) {
        }
    }
    FSpecInfo.Clear();
}

void TVxCustomDBStructure::UpdateSQLFormats()
{
    if (FDBInfo && FSQLFormats->FullTableName().isEmpty())
        FSQLFormats->SetFullTableName(FDBInfo->TableNameFormat());
}

void TVxCustomDBStructure::CheckDatabaseInfo() const
{
    if (!FDBInfo)
        RaiseDBStructError(11, _SDBSEDbInfoNotSpecified);
}

QStringList TVxCustomDBStructure::dmeButtonNames() const
{
    QStringList names;
    if (FDMEButtons.Contains(dmbOpenSave))
        names.append(QStringLiteral("dmbOpenSave"));
    if (FDMEButtons.Contains(dmbConnect))
        names.append(QStringLiteral("dmbConnect"));
    return names;
}

void TVxCustomDBStructure::setDMEButtonNames(const QStringList& names)
{
    TDMEButtons buttons;
    for (const QString& name : names) {
        if (name.compare(QStringLiteral("dmbOpenSave"), Qt::CaseInsensitive) == 0)
            buttons.Include(dmbOpenSave);
        else if (name.compare(QStringLiteral("dmbConnect"), Qt::CaseInsensitive) == 0)
            buttons.Include(dmbConnect);
    }
    FDMEButtons = buttons;
}

TVxDBStructure::TVxDBStructure(QObject* parent) : TVxCustomDBStructure(parent) {}

QStringList TVxDBStructure::exOperatorNames() const
{
    QStringList names;
    for (TExOperator op : {xoInList, xoBetween, xoStartsWith, xoContains})
        if (ExOperators().Contains(op))
            names.append(ExOperatorToStr(op));
    return names;
}

void TVxDBStructure::setExOperatorNames(const QStringList& names)
{
    TExOperators ops;
    for (const QString& name : names) {
        const int op = StrToExOperator(name.trimmed());
        if (op >= 0)
            ops.Include(static_cast<TExOperator>(op));
    }
    SetExOperators(ops);
}

} // namespace brindle
