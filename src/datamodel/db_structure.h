#pragma once
// TVxCustomDBStructure: the data model component. It owns every table,
// field, link, operator, predefined condition and field group for its whole
// life, keeps the operator catalogue, numbers new fields, answers lookups by
// name, identifier and expression, lists names for the user interface and
// notifies its listeners of changes. It does not talk to a database: the
// attached TVxDBInfo (not owned) does. TVxDBStructure publishes the rest of
// its properties.
//
// Lookups documented as "first in model order" keep that answer; the name and
// identifier indexes below only make them fast. They are rebuilt lazily after
// a removal or a rename and extended in place when entities are appended.
//
// Before it frees entities the model tells its listeners (model_listener.h),
// once per operation: a query that uses them drops them first.

#include <brindle/brindle_core_export.h>
#include <brindle/datamodel/entities.h>
#include <brindle/datamodel/db_info.h>
#include <brindle/foundations/form_stream.h>
#include <brindle/datamodel/model_listener.h>
#include <brindle/datamodel/sql_formats.h>

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QScopeGuard>

#include <functional>
#include <vector>

namespace brindle {

// The name of a table that TableByName compares, letter case ignored; the
// numbers are the documented modes.
enum TableLookup : int {
    tlByName = 0,
    tlByAlias = 1,
    tlByDisplayName = 2,
    tlByCompoundName = 3,
    tlByFromExpr = 4,
    tlByFullName = 5,
};

// What of a field FieldByName compares; the numbers are the documented
// modes. The first three ignore letter case; the SQL expression is compared
// in lower case without the model's quote symbols.
enum FieldLookup : int { flByFieldExpr = 0, flByDisplayName = 1, flByFullName = 2, flBySQLExpr = 3 };

// Field type sets of the operator catalogue.
BRINDLE_CORE_EXPORT extern const TFieldTypes BrCommonTypes;
BRINDLE_CORE_EXPORT extern const TFieldTypes BrComparableTypes;
BRINDLE_CORE_EXPORT extern const TFieldTypes BrNullableTypes;
BRINDLE_CORE_EXPORT extern const TFieldTypes BrStringTypes;
BRINDLE_CORE_EXPORT extern const TFieldTypes BrDateTimeTypes;
BRINDLE_CORE_EXPORT extern const TFieldTypes BrFloatTypes;
BRINDLE_CORE_EXPORT extern const TFieldTypes BrUsedTypes;

// Host data kept with a model; the library never reads it.
struct TDMCustomInfo {
    QVariant Data;
};

// True when the lower-cased expression holds "sum(", "count(", "max(",
// "min(", "avg(" or "list(".
BRINDLE_CORE_EXPORT bool CheckIfAggregate(const QString& expr);

// A model's entities as its text lists them, each kind in the text's order
// (links under the table they start from): the k-th of a kind is the k-th
// that reading the text makes.
struct ModelTextEntities {
    std::vector<TDSOperator*> Operators;
    std::vector<TDSTable*> Tables;
    std::vector<TDSLink*> Links;
    std::vector<TDSField*> Fields;
    std::vector<TDSCondition*> Conditions;
};

class BRINDLE_CORE_EXPORT TVxCustomDBStructure : public QObject, public IFormComponent {
    Q_OBJECT
    Q_PROPERTY(QStringList DMEButtons READ dmeButtonNames WRITE setDMEButtonNames)
    Q_PROPERTY(brindle::TDMOptions* DMOptions READ DMOptions)

public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    using TInOutModelEvent = std::function<void(QObject* sender, TStringList& dataModelStrings, bool& processed)>;

    explicit TVxCustomDBStructure(QObject* parent = nullptr);
    ~TVxCustomDBStructure() override;

    // --- tables
    int TableCount() const { return FTables.Count(); }
    // Raises EListError for an index outside the list.
    TDSTable* Tables(int index) const { return FTables.GetItem(index); }
    int IndexOfTable(const TDSTable* table) const { return FTables.IndexOf(table); }
    int AddTable(const QString& tableName, const QString& displayName);
    int AddTableRef(std::unique_ptr<TDSTable> table);
    void DelTable(int index);
    // Moves a table to another place in the model's order (an index outside
    // the list raises EListError).
    void MoveTable(int from, int to);
    void ClearTables();

    // --- fields
    int FieldCount() const { return FFields.Count(); }
    TDSField* Fields(int index) const { return FFields.GetItem(index); }
    int IndexOfField(const TDSField* field) const { return FFields.IndexOf(field); }
    int AddField(TVxFieldKind kind, const QString& fieldExpr, const QString& displayName, TDSTable* table);
    int AddFieldRef(std::unique_ptr<TDSField> field);
    // Appends a field as it stands: unlike AddFieldRef it does not ask the
    // database info for a data field's type and size, for readers of stored
    // models that carry them and for the model built from the database.
    int AddFieldAsIs(std::unique_ptr<TDSField> field);
    void DelField(int index);
    void ClearFields();
    // Owner, identifier and, for data fields, type and size from the database info.
    void ProcessNewField(TDSField* field);
    // The largest identifier of the model's fields; 0 without fields.
    int GetLastFieldID() const;

    // --- operators
    int OperatCount() const { return FOperators.Count(); }
    // Raises code 3 for an index outside the catalogue.
    TDSOperator* Operators(int index) const;
    int IndexOfOperator(const TDSOperator* op) const { return FOperators.IndexOf(op); }
    int AddOperator(const QString& name, const QString& displayName, const QString& sqlExpr,
                    const QString& valFormat, TAppliedTypes appliedTypes);
    int AddOperatorRef(std::unique_ptr<TDSOperator> op);
    int AddUpdateOperator(bool onlyIfAbsent, const QString& name, const QString& displayName,
                          const QString& sqlExpr, const QString& valFormat, TAppliedTypes appliedTypes);
    static void InitOperator(TDSOperator* op, const QString& name, const QString& displayName,
                             const QString& sqlExpr, const QString& valFormat, TAppliedTypes appliedTypes);
    void DelOperator(int index);
    void DeleteOperatorByName(const QString& name);
    void UpdateOperatorCaption(const QString& name, const QString& caption);
    void ClearOperators();
    // Builds the default catalogue: seven operators and the enabled families.
    void AddDefOperators(bool onlyIfAbsent);

    // --- links
    int LinkCount() const { return FLinks.Count(); }
    // Raises code 2 for an index outside the list.
    TDSLink* Links(int index) const;
    int IndexOfLink(const TDSLink* link) const { return FLinks.IndexOf(link); }
    int AddLinkByRef(std::unique_ptr<TDSLink> link);
    void DelLink(int index);
    void ClearLinks();

    // --- conditions and groups
    TDSConditionList& Conditions() { return FConditions; }
    const TDSConditionList& Conditions() const { return FConditions; }
    TDSFieldGroupList& FieldGroups() { return FFieldGroups; }
    const TDSFieldGroupList& FieldGroups() const { return FFieldGroups; }
    TDSFieldGroup* RootGroup() const { return FRootGroup.get(); }
    TDSCondition* ConditionByID(int id) const;

    // Deletes links, fields and tables, empties groups and conditions, and
    // rebuilds the default catalogue.
    void ClearStructure();

    // --- the data model editor
    // Shows the data model editor for this model and returns its modal
    // result (QDialog::Accepted or QDialog::Rejected). The core draws
    // nothing: it runs the editor that the widgets library installs
    // (brindle::InstallDataModelEditor()); without one it raises code 12
    // ("No data model editor is installed ...").
    int EditStructure();
    using DataModelEditor = std::function<int(TVxCustomDBStructure& model)>;
    // Installs the process-wide editor and returns the previous one; an
    // empty editor uninstalls it.
    static DataModelEditor SetDataModelEditor(DataModelEditor editor);

    // --- lookups (none or -1 when nothing matches; they never raise)
    TDSTable* TableByName(TableLookup mode, const QString& text) const;
    TDSField* FieldByID(int id) const;
    TDSField* FieldByName(FieldLookup mode, const QString& text) const;
    // What flBySQLExpr compares: the expression in lower case without the
    // model's quote symbols. A caller looking up many expressions may index
    // the fields by it.
    QString SQLExprKey(const QString& expr) const;
    // The same written into key, reusing its room: for look-ups in a loop.
    void SQLExprKey(const QString& expr, QString& key) const;
    int OperatorIndexByName(const QString& name) const;
    TDSOperator* OperatorByName(const QString& name) const;
    TDSOperator* OperatorByExpr(const QString& text) const;
    TDSField* GetFirstResultField() const;
    // At most one field.
    bool Empty() const { return FFields.Count() <= 1; }

    // --- name lists for the user interface
    void GetTableNames(TStringList& list, int mode) const;
    void GetFieldNames(TStringList& list, int mode) const;
    void GetOperatorNames(TStringList& list) const;
    void GetConditionCaptions(TStringList& list) const;

    // --- operator families and captions
    TExOperators ExOperators() const { return FExOperators; }
    void SetExOperators(TExOperators ops);
    void UpdateExOperators();
    const TStringList& DefOperators() const { return FDefOperators; }
    void SetDefOperators(const TStringList& captions);
    QString GetDefOperator(const QString& name) const { return FDefOperators.Values(name); }
    void LoadDefsOpertors();
    void MergeDefOperators();
    void UpdateDefOperators();

    // --- notifications
    void BeginUpdate() { FUpdating = true; }
    void EndUpdate() { FUpdating = false; }
    bool Updating() const { return FUpdating; }
    virtual void Changed();
    // Grows with every change of the model, its names and identifiers
    // included, so that a user may tell whether what it derived is current.
    quint64 Revision() const { return FRevision; }
    // Whether a field of the model takes its values from a lookup query
    // (etSQL): values that such a query depends on are rare, and most
    // models have none. Counted once after each change of the fields.
    bool HasSQLEditorFields() const;

    // --- listeners of removals (model_removal.cpp); not owned
    void AddModelListener(IModelListener* listener);
    void RemoveModelListener(IModelListener* listener);

    // --- database info
    TVxDBInfo* DatabaseInfo() const { return FDBInfo.data(); }
    void SetDatabaseInfo(TVxDBInfo* info);
    void UpdateDatabaseInfo();
    void UpdateSQLFormats();
    // Raises code 11 when no database info component is attached.
    void CheckDatabaseInfo() const;
    // Replaces the structure by the database's: a table per table name of
    // the info, its links, and a group of data fields per table. The new
    // structure is built aside and replaces the old one only when complete:
    // an error, or a cancel through the info (TVxDBInfo::CancelRetrieval),
    // leaves the model as it was. The info reports the progress
    // (TVxDBInfo::retrievalProgress).
    void RetriveDataModelInfo();
    // What RetriveDataModelInfo makes of one table: a group named after it
    // holding a data field per column the database info lists for the
    // table's name, numbered on from id, which is left at the last number
    // given. Code 11 without a database info component.
    void AddTableDataFields(TDSTable* table, int& id);
    TStringList& SpecInfo() { return FSpecInfo; }

    // --- the wizard library (wizard_library.h, wizard_library.cpp)
    // Loads "Dalwick" and runs it on this model and its database info
    // through the callback table; returns the wizard's result. While another
    // run is under way, nested or on another thread, it raises the general
    // Exception "The wizard library is already running": the callbacks reach
    // the model through one process-wide reference, which is empty again
    // once this returns.
    bool RunDalwick();
    // Receives what a guarded callback caught: the caption is the error's
    // class name followed by " exception", the text its message.
    using WizardErrorHandler = std::function<void(const QString& caption, const QString& text)>;
    // Installs the process-wide handler and returns the previous one; an
    // empty handler restores the default, which writes "caption: text" to
    // standard error. Whatever the handler throws is dropped.
    static WizardErrorHandler SetWizardErrorHandler(WizardErrorHandler handler);

    // --- settings
    TSQLFormats* SQLFormats() const { return FSQLFormats; }
    TDMOptions* DMOptions() const { return FDMOptions; }
    TQuotedTypes QuotedTypes() const { return FSQLFormats->QuotedTypes(); }
    void SetQuotedTypes(TQuotedTypes types) { FSQLFormats->SetQuotedTypes(types); }
    TDMEButtons DMEButtons() const { return FDMEButtons; }
    void SetDMEButtons(TDMEButtons buttons) { FDMEButtons = buttons; }
    double Version() const { return FVersion; }
    void SetVersion(double v) { FVersion = v; }
    TDSTable* DefaultMainTable() const { return FDefaultMainTable; }
    void SetDefaultMainTable(TDSTable* table) { FDefaultMainTable = table; }
    bool RootFieldsFirst() const { return FRootFieldsFirst; }
    void SetRootFieldsFirst(bool on) { FRootFieldsFirst = on; }
    // LIKE compares without letter case where the server's LIKE heeds it
    // (PostgreSQL's syntax writes ILIKE). Off by default.
    bool CaseInsensitiveLike() const { return FCaseInsensitiveLike; }
    void SetCaseInsensitiveLike(bool on) { FCaseInsensitiveLike = on; }
    bool StoreStruct() const { return FStoreStruct; }
    void SetStoreStruct(bool on) { FStoreStruct = on; }
    bool AutoAddFields() const { return FAutoAddFields; }
    void SetAutoAddFields(bool on) { FAutoAddFields = on; }
    const QString& HelpFileName() const { return FHelpFileName; }
    void SetHelpFileName(const QString& name) { FHelpFileName = name; }
    int SEHelpContext() const { return FSEHelpContext; }
    void SetSEHelpContext(int context) { FSEHelpContext = context; }
    const QString& InitialSEPath() const { return FDefSEPath; }
    void SetInitialSEPath(const QString& path) { FDefSEPath = path; }

    // The placeholders shown for what a query names but the model lacks.
    TDSField* NullField() const { return FNullField.get(); }
    TDSOperator* NullOperator() const { return FNullOperator.get(); }
    TDSCondition* NullCondition() const { return FNullCondition.get(); }

    // The working path of the path search.
    TDSPath* CurPath() const { return FCurPath.get(); }

    // True while the component's stored state is being read from a form;
    // attaching a database info then defers the hand-over of its settings.
    bool Loading() const { return FLoading; }
    void SetLoading(bool on) { FLoading = on; }

    // --- the form stream: the model text is kept as the defined property
    // "Struct" when StoreStruct is set, and loaded once the form is read.
    void DefineProperties(TFormFiler& filer) override;
    void BeginLoading() override;
    void Loaded() override;
    void LoadStoredStructure();

    // --- join paths
    // The shortest chain of links from the table with the first alias to the
    // table with the second: the model's working path, or none when no chain
    // joins them. Raises code 4 for an alias that names no table. Among
    // chains of equal length the one whose links come first in the tables'
    // link lists wins.
    TDSPath* GetPath(const QString& alias1, const QString& alias2);
    // One step of the level-by-level search: true when the path's end table
    // links directly to the target; otherwise appends to nextLevel a copy of
    // the path extended by every neighbour not yet in it.
    bool CheckPath(const TDSPath& path, const TDSTable* target,
                   std::vector<std::unique_ptr<TDSPath>>& nextLevel) const;
    // The first link between the tables with these names (exact comparison).
    TDSLink* FindLink(const QString& tableName1, const QString& tableName2) const;

    // --- link text lines: "Table1-Table2:col1=col2,col3<>col4"
    // Adds the link a line describes; nothing for a line that names no two
    // tables of the model.
    void AddLinkByExpr(const QString& line);
    void LoadLinksFromStrings(const TStringList& lines);
    void SaveLinksToStrings(TStringList& lines) const;

    // --- the model text format
    // Empties the list and writes the model in the current layout (3.6).
    void SaveToStrings(TStringList& strings) const;
    // Replaces the whole model by the one the lines describe; older layouts
    // are recognised by their Version key.
    void LoadFromStrings(const TStringList& strings);
    // This model's entities in the order SaveToStrings writes them.
    ModelTextEntities TextEntities() const;
    // Takes the model the lines describe, as LoadFromStrings does, but where
    // kept names one of this model's entities for the k-th entity of a kind
    // that the text makes, that object stays and takes the text's content:
    // whatever refers to it keeps it. Only the entities left without a place
    // are announced as removed; listeners then hear ModelEntitiesUpdated.
    // A text that does not read raises the reader's error and leaves the
    // model as it was.
    void UpdateFromStrings(const TStringList& strings, const ModelTextEntities& kept);
    void SaveToFile(const QString& fileName) const;
    void LoadFromFile(const QString& fileName);
    // The model text as one string; set, a text with a line feed is split
    // into lines and any other text is read as comma text.
    QString StructString() const;
    void SetStructString(const QString& text);
    // A new zero-terminated cp1252 copy of the model text (free with StrDispose).
    char* GetStructureAsText() const;
    void SetStructureAsText(const char* text);
    // Field type names (from version 2.0) or ordinals (before), comma-separated.
    void ReadAppliedTypes(const QString& text, TAppliedTypes& types) const;
    static QString SaveAppliedTypes(TAppliedTypes types);
    // Copies another model: this model becomes what reading other's text
    // gives (CopyContentTo).
    void Assign(const TVxCustomDBStructure& other);
    // Gives the target the model that reading this model's text would give
    // it, as LoadFromStrings does (the target's database settings decide
    // what it takes of them), but built entity by entity without the text.
    // A model whose text would not read back as this copy reads it (shared
    // aliases or operator names, names the text would split, section-like
    // lines) goes through the text instead. The copy lists its entities in
    // this model's text order.
    void CopyContentTo(TVxCustomDBStructure& target) const;
    bool StructureLoaded() const { return FStructureLoaded; }

    // Tables and qualified columns that an SQL text mentions, appended.
    void ExcludeTablesBySQLExpr(const QString& expr, TSimpleDSTableList& tables,
                                TStringList* columns) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnSEHelpClick;
    TNotifyEvent OnConnectClick;
    TInOutModelEvent OnLoadModel;
    TInOutModelEvent OnSaveModel;
    TDMCustomInfo CustomInfo;
    QString Description;

signals:
    // With OnChange, after each change the model reports (Changed): the
    // library's own followers listen here and leave OnChange to the host.
    void changed();

private:
    friend class TDSField;
    friend class TDSTable;
    friend class TDSLink;

    // Index upkeep, called by the entities.
    void fieldIdChanged(TDSField* field, int oldId);
    void fieldNamesChanged(const TDSField* field);
    void editTypeChanged() { FSQLEditorFields = -1; }
    void tableNamesChanged(const TDSTable* table);
    // Takes a link out of the model's list and frees it.
    void deleteLink(TDSLink* link);
    void deleteFieldsOfTable(const TDSTable* table);
    // Drops a table that is going from the conditions' table lists and the
    // working path, which only refer to it.
    void forgetTable(const TDSTable* table);
    void refreshNullFieldOperators();
    void assignFieldID(TDSField* field);
    void indexAppendedField(TDSField* field);
    void indexAppendedTable(TDSTable* table);
    void rebuildFieldIndex() const;

    // Runs an operation that frees entities: unless an enclosing removal
    // already did, collect states what will go and listeners hear of it
    // first.
    template <typename Collect, typename Body>
    void removing(Collect&& collect, Body&& body);
    // Runs one of the model's operations. Listeners hear that removals
    // ended only when the outermost operation is over, as its last act: a
    // host may free the model from there, and nothing of the model runs
    // after. A failing operation tells nothing.
    template <typename Body>
    void operation(Body&& body);
    friend void LoadDMFromXml(TVxCustomDBStructure& model, TStringList& lines);
    void announceRemoval(const TModelRemoval& removal);
    // Tells the listeners that kept entities changed in place.
    void announceUpdate();
    // Tells the listeners the operation ended; the model may be gone afterwards.
    void removalEnded();
    void notifyDestroying();
    // Everything the model owns, for the operations that empty it.
    void collectAll(TModelRemoval& removal) const;
    // The tables with the fields and links that go with them.
    void collectTables(TModelRemoval& removal) const;
    friend class TDSConditionList;

    class TextReader;
    friend class TextReader;
    // Takes the entities a scratch model read in place of this model's own,
    // announcing those as removed.
    void takeContent(TVxCustomDBStructure& from);
    // Frees every entity; the caller announces them.
    void clearContent();
    class TextWriter;
    friend class TextWriter;
    class ContentCopy;
    friend class ContentCopy;
    // The version that reading the current text layout sets.
    static double currentTextVersion();
    void rebuildTableIndex() const;

    QStringList dmeButtonNames() const;
    void setDMEButtonNames(const QStringList& names);

    std::unique_ptr<TDSPath> FCurPath;
    double FVersion = 3.6;
    QPointer<TVxDBInfo> FDBInfo;
    TVxObjectList<TDSField> FFields;
    mutable int FSQLEditorFields = -1; // -1: to be counted
    TVxObjectList<TDSTable> FTables;
    TVxObjectList<TDSOperator> FOperators;
    TVxObjectList<TDSLink> FLinks;
    TDSConditionList FConditions;
    TDSFieldGroupList FFieldGroups;
    std::unique_ptr<TDSFieldGroup> FRootGroup;
    TDSTable* FDefaultMainTable = nullptr;
    bool FStoreStruct = true;
    bool FRootFieldsFirst = false;
    bool FCaseInsensitiveLike = false;
    TStringList FSpecInfo;
    bool FAutoAddFields = true;
    QString FHelpFileName;
    int FSEHelpContext = 0;
    std::unique_ptr<TDSField> FNullField;
    std::unique_ptr<TDSOperator> FNullOperator;
    std::unique_ptr<TDSCondition> FNullCondition;
    TStringList FDefOperators;
    bool FUpdating = false;
    TExOperators FExOperators = {xoInList, xoBetween, xoStartsWith, xoContains};
    QString FDefSEPath;
    TDMEButtons FDMEButtons = {dmbOpenSave};
    TSQLFormats* FSQLFormats; // Qt child
    TDMOptions* FDMOptions;   // Qt child
    bool FLoading = false;
    bool FStructureLoaded = false;
    quint64 FRevision = 0;
    // Each path search marks the tables it reaches with a new number, so no
    // table needs clearing between searches.
    quint64 FSearchMark = 0;
    std::vector<TDSTable*> FSearchQueue;
    TStringList FStoredStructureBuf;
    bool FDestroying = false;
    std::vector<IModelListener*> FModelListeners;
    int FRemovalDepth = 0;
    int FOperationDepth = 0;
    bool FRemovalsEnded = false; // removals were announced in this operation

    // Identifier state: the largest ID held, valid unless a field that held
    // it has gone; and the first field of every ID.
    mutable int FMaxFieldID = 0;
    mutable bool FMaxFieldIDValid = true;
    mutable QHash<int, TDSField*> FFieldsByID;
    mutable bool FFieldIDIndexValid = true;
    // First field of each case-folded field expression and display name.
    mutable TextHash<TDSField*> FFieldsByExpr;
    mutable TextHash<TDSField*> FFieldsByDisplayName;
    mutable bool FFieldIndexValid = true;
    // First table of each case-folded table name, alias and display name.
    mutable TextHash<TDSTable*> FTablesByName[3];
    mutable bool FTableIndexValid = true;
};

template <typename Body>
void TVxCustomDBStructure::operation(Body&& body)
{
    ++FOperationDepth;
    try {
        body();
    } catch (...) {
        if (--FOperationDepth == 0)
            FRemovalsEnded = false;
        throw;
    }
    if (--FOperationDepth == 0 && std::exchange(FRemovalsEnded, false))
        removalEnded();
}

template <typename Collect, typename Body>
void TVxCustomDBStructure::removing(Collect&& collect, Body&& body)
{
    operation([&] {
        if (FRemovalDepth == 0 && !FDestroying && !FModelListeners.empty()) {
            TModelRemoval removal;
            collect(removal);
            if (!removal.IsEmpty()) {
                announceRemoval(removal);
                FRemovalsEnded = true;
            }
        }
        ++FRemovalDepth;
        const auto done = qScopeGuard([this] { --FRemovalDepth; });
        body();
    });
}

class BRINDLE_CORE_EXPORT TVxDBStructure : public TVxCustomDBStructure {
    Q_OBJECT
    Q_PROPERTY(QString HelpFileName READ HelpFileName WRITE SetHelpFileName)
    Q_PROPERTY(int SEHelpContext READ SEHelpContext WRITE SetSEHelpContext)
    Q_PROPERTY(bool StoreStruct READ StoreStruct WRITE SetStoreStruct)
    Q_PROPERTY(brindle::TSQLFormats* SQLFormats READ SQLFormats)
    Q_PROPERTY(brindle::TVxDBInfo* DatabaseInfo READ DatabaseInfo WRITE SetDatabaseInfo)
    Q_PROPERTY(bool AutoAddFields READ AutoAddFields WRITE SetAutoAddFields)
    Q_PROPERTY(QStringList DefOperators READ defOperatorLines WRITE setDefOperatorLines)
    Q_PROPERTY(QStringList ExOperators READ exOperatorNames WRITE setExOperatorNames)
    Q_PROPERTY(QString InitialSEPath READ InitialSEPath WRITE SetInitialSEPath)

public:
    explicit TVxDBStructure(QObject* parent = nullptr);

private:
    QStringList defOperatorLines() const { return DefOperators().Lines(); }
    void setDefOperatorLines(const QStringList& lines) { SetDefOperators(TStringList(lines)); }
    QStringList exOperatorNames() const;
    void setExOperatorNames(const QStringList& names);
};

} // namespace brindle
