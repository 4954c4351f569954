#pragma once
// TVxDBInfo: what the data model knows of a database comes through here —
// database names, tables, the columns of a table, links and the rows of
// lookup queries. Each question goes to the host's event first and, only when
// no handler is assigned, to a virtual method that a descendant for a
// particular database access layer overrides; the base knows no database.
// It owns the column cache of the table asked for last.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/field_types.h>
#include <brindle/foundations/object_list.h>
#include <brindle/foundations/string_list.h>

#include <QObject>

#include <atomic>
#include <functional>

namespace brindle {

// The code of EVxDBInfoError when a retrieval stopped at CancelRetrieval, or
// a query run at its Cancel (query_runner.h); the database info over QtSql
// adds its own codes (sql_db_info.h).
inline constexpr int dieCancelled = 4;

// One column of a database table.
class BRINDLE_CORE_EXPORT TDBFieldInfo {
public:
    QString FieldName;
    int FieldSize = 0;
    TFieldType FieldType = ftUnknown;

    void Assign(const TDBFieldInfo& other);
};

// The columns of one table, with a name=value text form:
// Count=n, then F<i>Name=, F<i>Size=, F<i>Type= for i = 1..n.
class BRINDLE_CORE_EXPORT TDBFieldList : public TVxObjectList<TDBFieldInfo> {
public:
    TDBFieldInfo* Add(const QString& name, TFieldType type, int size);
    using TVxObjectList<TDBFieldInfo>::Add;
    // First column with the name, letter case ignored; none when absent.
    TDBFieldInfo* FindByName(const QString& name) const;

    void SaveToStrings(TStringList& strings) const;
    // A count or type that does not read gives no column or ftUnknown; the
    // count is bounded by the lines actually present, so a hostile count
    // cannot make the reader loop for long.
    void LoadFromStrings(const TStringList& strings);
    // The text form as a new zero-terminated cp1252 buffer (free with StrDispose).
    char* GetText() const;
    void SetText(const char* text);
    void CopyTo(TDBFieldList& other) const;
};

class BRINDLE_CORE_EXPORT TVxDBInfo : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString TableNameFormat READ TableNameFormat WRITE SetTableNameFormat)

public:
    using TDBNamesEvent = std::function<void(TVxDBInfo* sender, TStringList& list)>;
    using TFieldsEvent = std::function<void(TVxDBInfo* sender, const QString& tableName, TDBFieldList& fields)>;
    using TSQLValuesEvent = std::function<void(TVxDBInfo* sender, const QString& sql, TStringList& values, TStringList& captions)>;

    explicit TVxDBInfo(QObject* parent = nullptr);
    ~TVxDBInfo() override;

    void GetDatabaseNames(TStringList& list);
    void GetTableNames(TStringList& list);
    // The descendant's links, then the OnLinksRequest handler may change them.
    void GetLinkList(TStringList& list);
    // The columns of a table, cached until another table is asked for or
    // Update is called. The list stays owned here.
    TDBFieldList& GetFieldList(const QString& tableName);
    void GetFieldNamesByTable(const QString& tableName, TStringList& list);
    void RunQuery(const QString& sql, TStringList& values, TStringList& items);
    // Voids the column cache.
    void Update();

    bool Connected() { return GetConnected(); }
    QString CurrentDBName() { return GetCurrentDbName(); }
    const QString& TableNameFormat() const { return FTableNameFormat; }
    void SetTableNameFormat(const QString& format) { FTableNameFormat = format; }
    // The text of the lines SaveInfo yields.
    QString GetInfoText();

    // Text forms for callers outside the library: new zero-terminated cp1252
    // buffers that the caller frees with StrDispose.
    char* GetDatabaseNamesAsText();
    char* GetTableNamesAsText();
    char* GetLinksAsText();
    char* GetFieldsAsText(const char* tableName);

    // Virtual operations a descendant overrides.
    virtual void ConnectionChanged();
    virtual void DatabaseChanged();
    virtual QString GetCurrentDbName();
    virtual void SetCurrentDbName(const QString& name);
    virtual void AvailableDatabases(TStringList& list);
    virtual void TablesByDatabase(TStringList& list);
    virtual void LinksByDatabase(TStringList& list);
    virtual void FieldsByTable(const QString& tableName, TDBFieldList& fields);
    virtual void GetSQLValues(const QString& sql, TStringList& values, TStringList& items);
    virtual bool GetConnected();
    virtual void DoOnLinksRequest(TStringList& list);
    // Connection settings as name=value lines; their names are the descendant's.
    virtual void LoadInfo(TStringList& info);
    virtual void SaveInfo(TStringList& info);

    // The model's retrieval (RetriveDataModelInfo) runs between
    // BeginRetrieval and EndRetrieval. It reports its steps through
    // RetrievalStep, which emits retrievalProgress and then raises
    // EVxDBInfoError (dieCancelled, "The retrieval of the data model was
    // cancelled") when CancelRetrieval was called since the retrieval began.
    // CancelRetrieval may be called from a slot of retrievalProgress or from
    // another thread; outside a retrieval it does nothing.
    void CancelRetrieval() { FCancelRequested = true; }
    void BeginRetrieval();
    void EndRetrieval() { FRetrieving = false; }
    void RetrievalStep(int done, int total);
    // Raises as RetrievalStep does, without a report: for a descendant's long
    // readings in the middle of a step.
    void CheckRetrievalCancelled() const;

    TDBNamesEvent OnDBNamesRequest;
    TDBNamesEvent OnTablesRequest;
    TDBNamesEvent OnLinksRequest;
    TFieldsEvent OnFieldsRequest;
    TSQLValuesEvent OnGetSQLValues;

signals:
    // Of total tables, done are in the model; done is 0 once the table names
    // are known, before the links and columns are read.
    void retrievalProgress(int done, int total);

protected:
    // The current database as set, for descendants that keep it themselves.
    const QString& storedCurrentDbName() const { return FCurDbName; }
    void storeCurrentDbName(const QString& name) { FCurDbName = name; }

private:
    TDBFieldList FFields;
    QString FCurTableName;
    QString FCurDbName;
    QString FTableNameFormat = QStringLiteral("DB.OWNER.TABLE");
    bool FCacheValid = false;
    std::atomic<bool> FRetrieving = false;
    std::atomic<bool> FCancelRequested = false;
};

} // namespace brindle
