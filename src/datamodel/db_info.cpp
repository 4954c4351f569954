#include <brindle/datamodel/db_info.h>

#include <brindle/foundations/conversions.h>
#include <brindle/foundations/errors.h>

namespace brindle {

void TDBFieldInfo::Assign(const TDBFieldInfo& other)
{
    FieldName = other.FieldName;
    FieldSize = other.FieldSize;
    FieldType = other.FieldType;
}

TDBFieldInfo* TDBFieldList::Add(const QString& name, TFieldType type, int size)
{
    auto info = std::make_unique<TDBFieldInfo>();
    info->FieldName = name;
    info->FieldType = type;
    info->FieldSize = size;
    TDBFieldInfo* raw = info.get();
    Add(std::move(info));
    return raw;
}

TDBFieldInfo* TDBFieldList::FindByName(const QString& name) const
{
    for (const auto& info : *this)
        if (info->FieldName.compare(name, Qt::CaseInsensitive) == 0)
            return info.get();
    return nullptr;
}

void TDBFieldList::SaveToStrings(TStringList& strings) const
{
    strings.Clear();
    strings.Add(QStringLiteral("Count=%1").arg(Count()));
    for (int i = 0; i < Count(); ++i) {
        const TDBFieldInfo* info = GetItem(i);
        const QString prefix = QStringLiteral("F%1").arg(i + 1);
        strings.Add(prefix + QStringLiteral("Name=") + info->FieldName);
        strings.Add(prefix + QStringLiteral("Size=") + QString::number(info->FieldSize));
        strings.Add(prefix + QStringLiteral("Type=") + FldTypeToStr(info->FieldType));
    }
}

void TDBFieldList::LoadFromStrings(const TStringList& strings)
{
    Clear();
    // Every column takes at least a name line, so a count above the number of
    // lines names columns that are not there.
    const int count = qMin(XStrToInt(strings.Values(QStringLiteral("Count"))), strings.Count());
    for (int i = 1; i <= count; ++i) {
        const QString prefix = QStringLiteral("F%1").arg(i);
        const int type = StrToFldType(strings.Values(prefix + QStringLiteral("Type")));
        Add(strings.Values(prefix + QStringLiteral("Name")),
            type < 0 ? ftUnknown : static_cast<TFieldType>(type),
            XStrToInt(strings.Values(prefix + QStringLiteral("Size"))));
    }
}

char* TDBFieldList::GetText() const
{
    TStringList lines;
    SaveToStrings(lines);
    return GetStringsAsAnsiChar(lines);
}

void TDBFieldList::SetText(const char* text)
{
    LoadFromStrings(StringsFromAnsiChar(text));
}

void TDBFieldList::CopyTo(TDBFieldList& other) const
{
    TStringList lines;
    SaveToStrings(lines);
    other.LoadFromStrings(lines);
}

TVxDBInfo::TVxDBInfo(QObject* parent) : QObject(parent) {}

TVxDBInfo::~TVxDBInfo() = default;

void TVxDBInfo::GetDatabaseNames(TStringList& list)
{
    if (OnDBNamesRequest)
        OnDBNamesRequest(this, list);
    else
        AvailableDatabases(list);
}

void TVxDBInfo::GetTableNames(TStringList& list)
{
    if (OnTablesRequest)
        OnTablesRequest(this, list);
    else
        TablesByDatabase(list);
}

void TVxDBInfo::GetLinkList(TStringList& list)
{
    LinksByDatabase(list);
    DoOnLinksRequest(list);
}

TDBFieldList& TVxDBInfo::GetFieldList(const QString& tableName)
{
    if (FCacheValid && tableName == FCurTableName)
        return FFields;
    FCurTableName = tableName;
    FFields.Clear();
    // A failing request leaves the cache void, so the next call asks again.
    FCacheValid = false;
    if (OnFieldsRequest)
        OnFieldsRequest(this, tableName, FFields);
    else
        FieldsByTable(tableName, FFields);
    FCacheValid = true;
    return FFields;
}

void TVxDBInfo::GetFieldNamesByTable(const QString& tableName, TStringList& list)
{
    list.Clear();
    for (const auto& info : GetFieldList(tableName))
        list.Add(info->FieldName);
}

void TVxDBInfo::RunQuery(const QString& sql, TStringList& values, TStringList& items)
{
    if (OnGetSQLValues)
        OnGetSQLValues(this, sql, values, items);
    else
        GetSQLValues(sql, values, items);
}

void TVxDBInfo::Update()
{
    FCurTableName.clear();
    FCacheValid = false;
}

void TVxDBInfo::BeginRetrieval()
{
    FCancelRequested = false;
    FRetrieving = true;
}

void TVxDBInfo::RetrievalStep(int done, int total)
{
    emit retrievalProgress(done, total);
    CheckRetrievalCancelled();
}

void TVxDBInfo::CheckRetrievalCancelled() const
{
    if (FRetrieving && FCancelRequested)
        throw EVxDBInfoError(dieCancelled, QStringLiteral("The retrieval of the data model was cancelled"));
}

QString TVxDBInfo::GetInfoText()
{
    TStringList info;
    SaveInfo(info);
    return info.Text();
}

char* TVxDBInfo::GetDatabaseNamesAsText()
{
    TStringList list;
    GetDatabaseNames(list);
    return GetStringsAsAnsiChar(list);
}

char* TVxDBInfo::GetTableNamesAsText()
{
    TStringList list;
    GetTableNames(list);
    return GetStringsAsAnsiChar(list);
}

char* TVxDBInfo::GetLinksAsText()
{
    TStringList list;
    GetLinkList(list);
    return GetStringsAsAnsiChar(list);
}

char* TVxDBInfo::GetFieldsAsText(const char* tableName)
{
    return GetFieldList(tableName ? FromAnsi(QByteArray(tableName)) : QString()).GetText();
}

void TVxDBInfo::ConnectionChanged() { Update(); }

void TVxDBInfo::DatabaseChanged() {}

QString TVxDBInfo::GetCurrentDbName() { return FCurDbName; }

void TVxDBInfo::SetCurrentDbName(const QString& name)
{
    if (name == FCurDbName)
        return;
    FCurDbName = name;
    DatabaseChanged();
}

void TVxDBInfo::AvailableDatabases(TStringList&) {}

void TVxDBInfo::TablesByDatabase(TStringList&) {}

void TVxDBInfo::LinksByDatabase(TStringList&) {}

void TVxDBInfo::FieldsByTable(const QString&, TDBFieldList&) {}

void TVxDBInfo::GetSQLValues(const QString&, TStringList&, TStringList&) {}

bool TVxDBInfo::GetConnected() { return true; }

void TVxDBInfo::DoOnLinksRequest(TStringList& list)
{
    if (OnLinksRequest)
        OnLinksRequest(this, list);
}

void TVxDBInfo::LoadInfo(TStringList& info) { info.Clear(); }

void TVxDBInfo::SaveInfo(TStringList&) {}

} // namespace brindle
