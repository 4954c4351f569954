#pragma once
// TVxQuery: the non-visual query. It holds the data model reference, the
// condition tree (root bracket FFilter), the result (FQResult) that keeps
// the statement a StatementBuilder makes in BuildQuery, the parameters,
// titles, state, options and syntax, and raises the query's events.
// Building SQL, reading values and editing conditions all work here without
// any widget. The query owns its tree and result; it refers to the data
// model, which it never owns.
//
// Views follow the query through its signals (rows inserted, removed,
// moved, their words replaced or changed, resets; the same for the result
// fields), and one view (the query panel, which owns the query) refines
// its hooks through IQueryView. A query listens to its data model: rows
// and result fields that use a field, operator or predefined condition the
// model removes are removed with it, and a query whose model is destroyed
// is left empty and inactive (query_repair.cpp).

#include <brindle/brindle_core_export.h>
#include <brindle/query/builder.h>
#include <brindle/query/condition_tree.h>
#include <brindle/query/query_view.h>

#include <brindle/foundations/form_stream.h>
#include <brindle/foundations/object_list.h>
#include <brindle/foundations/text_utils.h>

#include <QObject>
#include <QPointer>
#include <QScopeGuard>
#include <QSet>

#include <functional>
#include <vector>

namespace brindle {

enum TVxBuilderState { stIdle, stBuilding, stLoading, stSaving };

enum TQPAppearanceOption {
    aoFlatButtons, aoRoundButtons, aoNonEmptyBrackets, aoPopupField, aoPopupValue, aoShowGroupName,
    aoAllowKeyboard, aoSortListData, aoShowAddRow, aoShowCheckBoxes, aoAllowParams, aoDisableRFieldExpr,
    aoHideRowButtons, aoShowGroupRows, aoHideRootRow, aoFieldsMenuOnAdd
};
using TQPAppearanceOptions = EnumSet<TQPAppearanceOption>;

// The options a query and its panel start with.
inline TQPAppearanceOptions DefaultAppearanceOptions()
{
    return {aoFlatButtons, aoRoundButtons, aoNonEmptyBrackets, aoPopupField, aoPopupValue,
            aoAllowKeyboard, aoShowAddRow, aoShowCheckBoxes, aoAllowParams, aoFieldsMenuOnAdd};
}

// The options that shape the tree and its words; the others concern only
// how a panel shows it, and are the panel's.
inline TQPAppearanceOptions TreeAppearanceOptions()
{
    return {aoNonEmptyBrackets, aoPopupField, aoPopupValue, aoShowGroupName, aoSortListData};
}

enum TLogicalOperatorStyle { losHidden, losBeforeCond, losAfterCond };

enum TSubQueryHint { sqhNone, sqhText, sqhSQL };

// Something that follows a query's changes, such as a host's view of it.
class BRINDLE_CORE_EXPORT IQueryListener {
public:
    virtual ~IQueryListener();
    virtual void QueryChanged(TVxQuery* query) = 0;
    virtual void ParametersChanged(TVxQuery* query) = 0;
};

// The query panel's default titles: 58 lines of name=text in two sections.
BRINDLE_CORE_EXPORT const TStringList& DefaultTitles();
// Remakes the default titles from what the application's installed
// translators give the English texts (context "brindle::Titles"). Queries
// made later take them; a query's own titles stay as they are.
BRINDLE_CORE_EXPORT void TranslateDefaultTitles();

// The stored form of the statement options: soASCIIRFields and soFilter are
// not stored (1 and 4 are never written and ignored when read).
BRINDLE_CORE_EXPORT int SQLOptionsToInt(TSQLOptions options);
BRINDLE_CORE_EXPORT TSQLOptions IntToSQLOptions(int value);

// Lists the query files (*.qry) of a folder: the query name each holds (or
// the file's base name) and the file name without its extension.
BRINDLE_CORE_EXPORT void ReadQueries(const QString& folder, TStringList& names, TStringList& fileNames);

class StatementBuilder;
class QueryTitles;
class TVxQueryBase;
class TVxQPBaseLink;
class TSQLBracket;
class TSQLCondition;
class TSQLTable;

// Registers the data model's classes and TVxQuery with the form stream
// layer. Call once before reading forms that hold queries.
BRINDLE_CORE_EXPORT void RegisterQueryFormClasses();

struct TRowWord {
    TQueryWord* Word;
    TWordRole Role;
};

class BRINDLE_CORE_EXPORT TVxQuery : public QObject, public IFormComponent, private TRFieldListObserver {
    Q_OBJECT
    Q_PROPERTY(brindle::TVxCustomDBStructure* DBStruct READ DbStruct WRITE SetDbStruct)
    Q_PROPERTY(QString MainTableName READ MainTableName WRITE SetMainTableName)
    Q_PROPERTY(QString SQLSyntax READ sqlSyntaxName WRITE setSQLSyntaxName)
    Q_PROPERTY(QStringList SQLOptions READ sqlOptionNames WRITE setSQLOptionNames)
    Q_PROPERTY(bool SaveTitles READ SaveTitles WRITE SetSaveTitles)
    Q_PROPERTY(bool SaveSQLOptions READ SaveSQLOptions WRITE SetSaveSQLOptions)
    Q_PROPERTY(QString SubQueryHint READ subQueryHintName WRITE setSubQueryHintName)
    Q_PROPERTY(QStringList Titles READ titleLines WRITE setTitleLines)
    Q_PROPERTY(QString QueryName READ QueryName WRITE SetQueryName)
    Q_PROPERTY(QStringList Description READ descriptionLines WRITE setDescriptionLines)
    Q_PROPERTY(QStringList UserData READ userDataLines WRITE setUserDataLines)

public:
    using TNotifyEvent = std::function<void(QObject* sender)>;
    using TConditionChangeEvent = std::function<void(TFilterCond* condition, ConditionChange whatChanged)>;
    using TBuildSQLEvent = std::function<void(TFilterCond* condition, QString& sqlExpr)>;
    using TSetValueEvent = std::function<void(TFilterCond* condition, int valueIndex, const QString& value, QString& caption)>;
    using TCustomValueEvent = std::function<void(TFilterCond* condition, int valueIndex, QString& value)>;
    using TElementCreateEvent = std::function<void(TFilterCond* condition, int valueIndex, std::unique_ptr<TQueryWord>& element)>;

    explicit TVxQuery(QObject* parent = nullptr);
    ~TVxQuery() override;

    // --- data model and activity
    TVxCustomDBStructure* DbStruct() const { return FDbStruct.data(); }
    // A new model clears the tree and rebinds the result fields.
    void SetDbStruct(TVxCustomDBStructure* model);
    bool Active() const { return FActive; }
    // Activating needs a data model (code 3). It gives the root row the
    // current root title ("ttlFilter", when it has its "@") and LinkTypes.
    void SetActive(bool active);
    TVxBuilderState State() const { return FState; }
    void SetState(TVxBuilderState state) { FState = state; }
    bool Modified() const { return FModified; }
    void SetModified(bool modified) { FModified = modified; }
    bool Updating() const { return FUpdating; }
    // Set and clear the update flag, which silences QueryChanged. The views
    // hear one reset for the whole update instead of each change, also when
    // updates nest.
    void BeginUpdate();
    void EndUpdate();
    // The flag alone, without the views' reset: for a change that reports
    // itself once it is done.
    void SetUpdatingFlag(bool on) { FUpdating = on; }
    bool InsideEventHandler() const { return FInsideEventHandler; }
    bool Destroying() const { return FDestroying; }

    // --- statement settings
    TSQLOptions SQLOptions() const { return FSQLOptions; }
    void SetSQLOptions(TSQLOptions options);
    TSQLSyntax SQLSyntax() const { return FSQLSyntax; }
    void SetSQLSyntax(TSQLSyntax syntax);
    const QString& SQLTopClause() const { return FSQLTopClause; }
    void SetSQLTopClause(const QString& text) { FSQLTopClause = text; }
    const QString& SQLLimitClause() const { return FSQLLimitClause; }
    void SetSQLLimitClause(const QString& text) { FSQLLimitClause = text; }
    TDSTable* MainTable() const { return FMainTable; }
    const QString& MainTableName() const { return FMainTableName; }
    void SetMainTableName(const QString& name);
    // Looks the main table up by compound name, alias and table name, else
    // takes the model's default main table.
    void RefreshMainTable();

    // --- appearance the tree consults: only TreeAppearanceOptions are kept
    TQPAppearanceOptions AppearanceOptions() const { return FAppearanceOptions; }
    void SetAppearanceOptions(TQPAppearanceOptions options) { FAppearanceOptions = options * TreeAppearanceOptions(); }
    TFilterLinkTypes LinkTypes() const { return FLinkTypes; }
    void SetLinkTypes(TFilterLinkTypes types) { FLinkTypes = types; }
    TFilterLinkType DefaultLinkType() const { return FDefaultLinkType; }
    void SetDefaultLinkType(TFilterLinkType type) { FDefaultLinkType = type; }
    const QString& NameSeparator() const { return FNameSeparator; }
    void SetNameSeparator(const QString& separator) { FNameSeparator = separator; }
    TLogicalOperatorStyle LogOpStyle() const { return FLogOpStyle; }
    void SetLogOpStyle(TLogicalOperatorStyle style) { FLogOpStyle = style; }
    int MaxPopupItemCount() const { return FMaxPopupItemCount; }
    void SetMaxPopupItemCount(int count) { FMaxPopupItemCount = count; }
    TSubQueryHint SubQueryHint() const { return FSubQueryHint; }
    void SetSubQueryHint(TSubQueryHint hint) { FSubQueryHint = hint; }

    // --- titles
    // Writable titles: the next GetTitle reads them anew.
    TStringList& Titles();
    const TStringList& Titles() const;
    // The text after "name=" in the titles.
    QString GetTitle(const QString& name) const;
    // Only a title the titles hold changes; an empty text removes it.
    void SetTitle(const QString& name, const QString& text);

    // Replaces the titles by a merge of the lines into the default titles.
    void SetTitles(const TStringList& lines);
    void LoadDefTitles();
    // Titles of texts older than 2.2: "Title0"... values by the fixed keys.
    void LoadOldTitlesFromStrings(const TStringList& lines);
    // Titles of the oldest component streams: one text per line.
    void MergeDFMTitles(const TStringList& lines);
    const TStringList& DefTitles() const;
    const TStringList& FullTitles() const;

    // --- the query text format
    // The format version of the text last loaded (3.6 before any); the
    // result fields read their block by it while the query loads.
    double Version() const { return FVersion; }
    const QString& QueryName() const { return FQueryName; }
    // A different name reports the query changed.
    void SetQueryName(const QString& name);
    TStringList& Description() { return FDescription; }
    TStringList& UserData() { return FUserData; }
    bool SaveTitles() const { return FSaveTitles; }
    void SetSaveTitles(bool save) { FSaveTitles = save; }
    bool SaveSQLOptions() const { return FSaveSQLOptions; }
    void SetSaveSQLOptions(bool save) { FSaveSQLOptions = save; }
    // Replaces the lines by the query text; they are left empty when
    // writing fails.
    virtual void SaveToStrings(TStringList& lines);
    // Needs a data model (code 3); a text that cannot be read raises and
    // leaves the query partly loaded, idle, with its active flag kept.
    virtual void LoadFromStrings(const TStringList& lines);
    void SaveToFile(const QString& fileName);
    void LoadFromFile(const QString& fileName);
    // Empties the result fields, parameters and rows.
    void ClearAll();
    // The readable text of a stored sub-query: a hidden query over the same
    // model, options and syntax loads it.
    virtual QString GetSubQueryText(const TStringList& subQuery);

    // --- importing SQL (SqlImporter does the work)
    // Replaces the query by a SELECT statement's columns and conditions.
    // Raises ESQLParserError for a statement the parser cannot read and
    // code 3 without a model; state and active flag are restored either way.
    void ParseSQL(const TStringList& sql);
    // Fills the bracket from a parsed bracket; tables: the statement's tables.
    void ProcessSQLBracket(TFilterBracket* bracket, const TSQLBracket* sqlBracket,
                           const TVxObjectList<TSQLTable>& tables);
    // The model operator whose template the parsed condition fits, with the
    // texts of its values; a sub-query operator's value is imported into
    // subQuery. None when no template fits.
    TDSOperator* OperatorBySQLCond(const TSQLCondition* condition, QString& value1, QString& value2,
                                   TStringList& subQuery);
    // The first predefined condition whose text equals the parsed one,
    // letter case and blanks ignored.
    TDSCondition* FindCustomCondition(const TSQLCondition* condition) const;
    // A date, time or date-time value of a statement in the internal text
    // form; the current date (or time) when no known form fits.
    QString ProcessSQLDateValue(TFieldType fieldType, const QString& value) const;
    // Imports a sub-query's SQL into a hidden query, stores that query's
    // text in dest and returns its readable text.
    QString ProcessSubQuery(const QString& sql, TStringList& dest);

    // --- the form stream: "RFields" and the read-only "Options"
    void DefineProperties(TFormFiler& filer) override;
    void BeginLoading() override;
    void Loaded() override;

    // --- the query base this query follows (none by default)
    TVxQueryBase* QueryBase() const;
    // Follows the base; an open base's current query is loaded at once.
    void SetQueryBase(TVxQueryBase* base);
    void LoadCurBaseQuery();

    // --- the tree
    TFilterBracket* Filter() const { return FFilter.get(); }
    // Whether the row stands in the tree (not being made or taken out).
    bool Contains(const TFilterRow* row) const { return row && inTree(row); }
    // Inserts a simple condition at the line, with the field when one is given.
    TFilterCond* AddConditionNum(TFilterBracket* bracket, int num, TDSField* field);
    TFilterCond* AddCondition(TFilterBracket* bracket, TDSField* field);
    TFilterCond* AddCustomCondition(TFilterBracket* bracket, TDSCondition* condition);
    // Appends a simple condition of the field with the operator and the
    // first value (AddSimpleCond: and the second). Both need a data model
    // (code 3); a model that loses entities meanwhile raises.
    void ManualAddCond(TFilterBracket* bracket, TDSField* field, TDSOperator* op, const QString& value);
    TFilterCond* AddSimpleCond(TFilterBracket* bracket, TDSField* field, TDSOperator* op, const QString& value1,
                               const QString& value2);
    void InitializeNewCondition(TFilterRow* row, int num);
    TFilterBracket* AddBracketNum(TFilterBracket* bracket, int num);
    TFilterBracket* AddBracket(TFilterBracket* bracket);
    // Renumbers the identifiers of every row below the bracket.
    void EnumerateBracket(TFilterBracket* bracket);
    TFilterRow* GetRowByNum(int num) const;
    TFilterRow* GetFirstRow() const;
    TFilterRow* GetLastRow() const;
    // Move a row of the tree one step, as one change, and number the rows
    // anew: up and down among its bracket's rows, left out of its bracket
    // (not from the root's rows), right into the bracket before it or a new
    // one around it. False, changing nothing, where the row cannot go.
    bool MoveRowUp(TFilterRow* row);
    bool MoveRowDown(TFilterRow* row);
    bool MoveRowLeft(TFilterRow* row);
    bool MoveRowRight(TFilterRow* row);
    void RecreateRootBracket();
    // Fields a new condition of the bracket may take, in model order: used
    // in conditions, with operators, and of the bracket's kind.
    QList<TDSField*> FieldsForBracket(const TFilterBracket* bracket) const;
    // Fills a field word with those fields, grouped by entity.
    void FillFieldsList(TQueryWord& word, const TFilterBracket* bracket) const;
    // The link word's items: "and" (value 0) and "or" (value 1), shared.
    void FillLinkWordList(TQueryWord& word) const;
    // What every bracket row shows, made with the title index: the caption
    // of its title ("ttlFilter" for the root, "ttlBracket" for the others)
    // before and after the "@" (none when the title has no "@"), and the
    // link type word's items for the current LinkTypes.
    struct BracketWords {
        bool HasAt = false;
        QString Before;
        QString After;
    };
    const BracketWords& BracketTitle(bool root) const;
    std::shared_ptr<const WordItems> LinkTypeItems() const;
    // The title a link type shows as ("ttlAll", "ttlAny", "ttlNone", "ttlNotAll").
    QString LinkTypeWord(TFilterLinkType linkType) const;
    // The field's operators as a list word's items, in one unnamed group.
    void FillOperatorsList(TQueryWord& word, const TDSField* field) const;
    // Line numbers follow the tree lazily: a change marks them stale and the
    // next reader numbers every row once.
    void RowsChanged() { FRowNumsValid = false; }
    void EnsureRowNums() const;

    // --- writing the tree as SQL
    // Writes the bracket's rows of the one kind into the statement being
    // built, or, outside a build, into the statement of the last one.
    void WriteBracket(TFilterBracket* bracket, bool having);
    // The condition's SQL text with "@f", "@t", "@m" and the value
    // placeholders replaced.
    QString ConditionSQL(TFilterCond* condition);
    QString ReplaceValuePlaceholders(TFilterCond* condition, const QString& text);
    // The format of a parameter's value: the token around the value's
    // placeholder in the condition's own text, unquoted, "@v" standing for
    // the value. Building sets it and the query text stores it, so both
    // give the same whatever was built before.
    static QString ParamValueFormat(const TFilterCond* condition, int index);

    // --- values
    QString ExtractValue(TFilterCond* condition, int index);
    QString ProcessScalarValue(TFilterCond* condition, int index, const QString& value);
    virtual QString ProcessDateValue(TFieldType fieldType, const QString& value, bool forSQL);
    QString ProcessFloatValue(TFieldType fieldType, const QString& value);
    void LoadValues(const QString& value1, const QString& value2, TFilterCond* condition);
    void SaveValues(TFilterCond* condition, QString& value1, QString& value2);
    // The panel's SQL parameter list (field display name = value), read by
    // SQL-driven value lists.
    TStringList& SQLParams() { return FSQLParams; }

    // --- building
    TQueryResult* QResult() const { return FQResult.get(); }
    // Closes the view's editor, taking its input, and builds the statement
    // into QResult. Raises code 1 when an active query finds no table, code
    // 3 without a data model, code 0 for two tables without a path between
    // them, Exception when OnBuildSQL changes the data model, and what
    // OnBuildSQL raises; a build that fails leaves no statement, so GetSQL
    // raises code 8.
    void BuildQuery();
    // Builds the conditions into TableFilters, per table, instead of WHERE.
    void BuildFilters();
    TVxTableFilterList& TableFilters() { return FTableFilters; }
    bool TableFiltersMode() const { return FTableFiltersMode; }
    // The readable text of the conditions.
    const TStringList& GetQueryText();
    // The row's sentence as the readable text writes it.
    QString RowText(const TFilterRow* row) const;

    // --- listeners
    void AddListener(IQueryListener* listener);
    void RemoveListener(IQueryListener* listener);

    // --- the view that refines the hooks below; none by default, not owned
    IQueryView* View() const { return FView; }
    void SetView(IQueryView* view) { FView = view; }

    // --- a row's words, and what a click on one does
    // The row's words in sentence order, each with its role; words the row
    // lacks are left out.
    QList<TRowWord> RowWords(const TFilterRow* row) const;
    // Applies a value chosen in a word, as an accepted drop-down does: a
    // link type word sets the bracket's link type (value: the type's word),
    // a field word the field (value: its identifier), an operator word the
    // field's operator at that position of the word's items (value: the
    // operator's name), a value word its value, which stops being a
    // parameter, and a logical operator word ("0" and, "1" or) the link type
    // of the bracket it stands for. Then the query reports a change. False,
    // changing nothing, for a plain word or a value that names nothing.
    bool AcceptWordValue(TFilterRow* row, TWordRole role, const QString& value);
    // The same for one of the row's words.
    bool AcceptWordValue(TFilterRow* row, TQueryWord* word, const QString& value);
    // A click on a value word of the host's own kind (a custom value, a
    // sub-query): the sub-query editor or the host's OnCustomValue edits the
    // value. True when the value is to be taken; false for any other word.
    bool EditCustomValue(TFilterRow* row, TWordRole role, QString& value);

    // One complete change. While a scope is open, the reports of what is
    // done (QueryChanged, ParametersListChanged) are collected, and they are
    // made once, in that order, when the outermost scope closes; changed()
    // follows them. So no host hears of a change half done, or twice of one
    // choice. Scopes nest; a scope that closes while an error leaves still
    // reports what was done, and whatever the host throws then is dropped.
    // Tells whether the query was freed while it stood (by a host's
    // handler), without the atomic counts of a QPointer: the query marks
    // the guards standing on the stack when it goes.
    class BRINDLE_CORE_EXPORT AliveGuard {
    public:
        explicit AliveGuard(TVxQuery& query) : FQuery(&query), FPrevious(query.FGuards) { query.FGuards = this; }
        ~AliveGuard()
        {
            if (FQuery)
                FQuery->FGuards = FPrevious;
        }
        AliveGuard(const AliveGuard&) = delete;
        AliveGuard& operator=(const AliveGuard&) = delete;
        explicit operator bool() const { return FQuery != nullptr; }

    private:
        friend class TVxQuery;
        TVxQuery* FQuery;
        AliveGuard* FPrevious;
    };

    class BRINDLE_CORE_EXPORT ChangeScope {
    public:
        explicit ChangeScope(TVxQuery& query);
        ~ChangeScope() noexcept(false);
        ChangeScope(const ChangeScope&) = delete;
        ChangeScope& operator=(const ChangeScope&) = delete;

    private:
        // The host may free the query from inside the change.
        AliveGuard FAlive;
        TVxQuery& FQuery;
        int FExceptions;
    };

    // What the query does without a view, for a view to fall back on.
    void StandardElementCreate(TFilterCond* condition, int valueIndex, std::unique_ptr<TQueryWord>& element);
    bool StandardEditSubQuery(TStringList& subQuery, QString& value, TSQLOptions& options, QString& readableText);
    QString StandardProcessDateValue(TFieldType fieldType, const QString& value, bool forSQL);

    // --- hooks a panel refines
    virtual void QueryChanged();
    virtual void ParametersListChanged();
    virtual void SQLOptionsChanged();
    // Gives a freshly made value word to OnElementCreate.
    virtual void ElementCreate(TFilterCond* condition, int valueIndex, std::unique_ptr<TQueryWord>& element);
    // Edits a sub-query; true when accepted. The query has no editor of its
    // own: without a panel the host's OnEditSubQuery answers.
    virtual bool EditSubQuery(TStringList& subQuery, QString& value, TSQLOptions& options, QString& readableText);

    TNotifyEvent OnChange;
    TConditionChangeEvent OnConditionChange;
    TBuildSQLEvent OnBuildSQL;
    TSetValueEvent OnSetValue;
    TCustomValueEvent OnCustomValue;
    TElementCreateEvent OnElementCreate;
    TNotifyEvent OnParamListChange;
    TNotifyEvent OnActive;
    std::function<bool(TVxQuery* sender, TStringList& subQuery, QString& value, TSQLOptions& options, QString& readableText)> OnEditSubQuery;

    // Sets FInsideEventHandler around a host event.
    template <typename F>
    void CallHandler(F&& call)
    {
        const bool was = FInsideEventHandler;
        FInsideEventHandler = true;
        const AliveGuard alive(*this);
        const auto restore = qScopeGuard([&] {
            if (alive)
                FInsideEventHandler = was;
        });
        CallHost(call);
    }
    // Grows each time the model removes entities or goes: code that held an
    // entity across a host call checks it before going on.
    quint64 ModelRemovals() const;

signals:
    // After every complete change a user or host can see: a command, an
    // accepted word, a load, an import, a result field edit. It follows the
    // documented reports (OnChange, the listeners, the view), so a handler
    // finds the query whole and consistent.
    void changed();

    // The open editor of the row's words, or of a row below it, is to
    // close, taking its input or dropping it (before a build, for one).
    void editorCloseRequested(brindle::TFilterRow* row, bool accept);

    void rowInserted(brindle::TFilterBracket* parent, int index);
    void rowAboutToBeRemoved(brindle::TFilterBracket* parent, int index);
    // The row now stands at its parent's index; it stood at oldIndex of oldParent.
    void rowMoved(brindle::TFilterRow* row, brindle::TFilterBracket* oldParent, int oldIndex);
    // The identifiers of the bracket's rows, and of the rows below them,
    // were numbered anew (after an insert or a move).
    void rowsRenumbered(brindle::TFilterBracket* bracket);
    // Words of the row were made, remade or freed.
    void rowWordsReplaced(brindle::TFilterRow* row);
    void rowWordChanged(brindle::TFilterRow* row, brindle::TQueryWord* word);
    // Between the two the tree changes freely and its rows may be freed.
    void treeAboutToBeReset();
    void treeReset();
    void resultFieldInserted(int index);
    void resultFieldAboutToBeRemoved(int index);
    void resultFieldMoved(int from, int to);
    void resultFieldChanged(int index);
    void resultFieldsAboutToBeReset();
    void resultFieldsReset();

private:
    friend class TFilterRow;
    friend class TFilterBracket;
    friend class TFilterCond;
    friend class TSimpleCond;
    friend class TQueryWord;
    friend class SqlImporter;
    friend class TQueryHistory;

    // Runs code of the host (an event, a listener, the view). While it
    // runs, rows that lose their model entities are set aside rather than
    // freed, since the query's own code below may still hold them.
    template <typename F>
    void CallHost(F&& call)
    {
        ++FHostCalls;
        // The host may free the query: nothing of it is touched then.
        const AliveGuard alive(*this);
        const auto done = qScopeGuard([&] {
            if (alive)
                --FHostCalls;
        });
        call();
    }

    // --- the seam to the views (query_signals.cpp)
    // Whether views hear of single changes now: only once one listens, not
    // inside a reset or a load, and only of rows that are in the tree.
    bool quietRows() const { return !FViewsListen || FResetDepth > 0 || FState == stLoading; }
    bool inTree(const TFilterRow* row) const;
    void connectNotify(const QMetaMethod& signal) override;
    void notifyRowInserted(TFilterBracket* parent, int index)
    {
        if (!quietRows())
            rowInsertedNow(parent, index);
    }
    void notifyRowRemoving(TFilterBracket* parent, int index)
    {
        if (!quietRows())
            rowRemovingNow(parent, index);
    }
    void notifyRowMoved(TFilterRow* row, TFilterBracket* oldParent, int oldIndex)
    {
        if (!quietRows())
            rowMovedNow(row, oldParent, oldIndex);
    }
    void notifyWordsReplaced(TFilterRow* row)
    {
        if (!quietRows())
            wordsReplacedNow(row);
    }
    void rowInsertedNow(TFilterBracket* parent, int index);
    void rowRemovingNow(TFilterBracket* parent, int index);
    void rowMovedNow(TFilterRow* row, TFilterBracket* oldParent, int oldIndex);
    void wordsReplacedNow(TFilterRow* row);
    void wordChangedNow(TFilterRow* row, TQueryWord* word);
    // Brackets a reset of the tree and the result fields; nests.
    void beginReset();
    void endReset();
    void RFieldInserted(int index) override;
    void RFieldAboutToBeRemoved(int index) override;
    void RFieldMoved(int from, int to) override;
    void RFieldChanged(int index) override;
    void RFieldsAboutToBeReset() override;
    void RFieldsReset() override;

    // --- following the data model (query_repair.cpp)
    class ModelRepair;
    std::unique_ptr<ModelRepair> FRepair;
    // Raises the general Exception "The data model changed while <doing>"
    // when the model removed entities since the count was taken: an
    // operation that holds entities cannot go on.
    void requireModelSince(quint64 removals, const char* doing) const;
    // Rows are registered from birth to death, in or out of the tree.
    void rowMade(TFilterRow* row);
    void rowFreed(TFilterRow* row);

    class TextReader;
    class TextWriter;

    // The form stream's names of the settings.
    QString sqlSyntaxName() const;
    void setSQLSyntaxName(const QString& name);
    QStringList sqlOptionNames() const;
    void setSQLOptionNames(const QStringList& names);
    QString subQueryHintName() const;
    void setSubQueryHintName(const QString& name);
    QStringList titleLines() const;
    // The stream's lines as they are: Loaded merges them.
    void setTitleLines(const QStringList& lines);
    QStringList descriptionLines() const { return FDescription.Lines(); }
    void setDescriptionLines(const QStringList& lines) { FDescription = TStringList(lines); }
    QStringList userDataLines() const { return FUserData.Lines(); }
    void setUserDataLines(const QStringList& lines) { FUserData = TStringList(lines); }
    // The "Options" of older streams: names of the former option set.
    void readOldOptions(const QStringList& names);

    void numberRows() const;
    // Numbers the rows below the bracket; true when an identifier changed.
    bool enumerate(TFilterBracket* bracket);
    // Gives a condition's text to OnBuildSQL as it is written.
    void conditionWritten(TFilterCond* condition, QString& text);
    void writeTextRows(const TFilterBracket* bracket, const QString& indent);
    void moveRow(TFilterRow* row, void (TFilterRow::*move)(), TFilterBracket* enumerateFirst);
    // A simple condition with the operator and the first value set.
    TSimpleCond* addSetCondition(TFilterBracket* bracket, TDSField* field, TDSOperator* op, const QString& value,
                                 quint64 removals);

    QPointer<TVxCustomDBStructure> FDbStruct;
    std::unique_ptr<TFilterBracket> FFilter;
    std::unique_ptr<TQueryResult> FQResult;
    // The build in progress, which WriteBracket, ConditionSQL and the model
    // repair reach; null outside one. Not owned: it lives on the stack.
    StatementBuilder* FBuilder = nullptr;
    bool FActive = false;
    TVxBuilderState FState = stIdle;
    bool FModified = false;
    bool FUpdating = false;
    bool FInsideEventHandler = false;
    bool FDestroying = false;
    TSQLOptions FSQLOptions = {soASCIIRFields, soSelectDistinct};
    TSQLSyntax FSQLSyntax = ssSQL2;
    QString FSQLTopClause;
    QString FSQLLimitClause;
    TVxTableFilterList FTableFilters;
    bool FTableFiltersMode = false;
    std::vector<IQueryListener*> FLinks;
    TStringList FSQLParams;
    TDSTable* FMainTable = nullptr;
    QString FMainTableName;
    TQPAppearanceOptions FAppearanceOptions = DefaultAppearanceOptions() * TreeAppearanceOptions();
    TFilterLinkTypes FLinkTypes = {fltAll, fltAny, fltNone, fltNotAll};
    TFilterLinkType FDefaultLinkType = fltAny;
    QString FNameSeparator = QStringLiteral(".");
    TLogicalOperatorStyle FLogOpStyle = losHidden;
    int FMaxPopupItemCount = 0;
    TSubQueryHint FSubQueryHint = sqhSQL;
    std::unique_ptr<QueryTitles> FTitles;
    TStringList FRFieldsBuf;
    double FVersion = 3.6;
    QString FQueryName;
    TStringList FDescription;
    TStringList FUserData;
    bool FSaveTitles = true;
    bool FSaveSQLOptions = false;
    std::unique_ptr<TVxQPBaseLink> FBaseLink;
    // Look-up tables and word lists made from the state on demand, behind
    // a pointer so that they change without changing the class's layout.
    // Never null.
    struct Caches;
    std::unique_ptr<Caches> FCaches;
    TStringList FQueryText;
    mutable bool FRowNumsValid = false;
    IQueryView* FView = nullptr;
    int FResetDepth = 0;
    int FUpdateDepth = 0;
    // Set for good once something connects to the query's signals: until
    // then no change is even looked at for them.
    bool FViewsListen = false;
    // Likewise for changed(): emitting it unheard costs more than a test.
    bool FChangedListened = false;
    int FHostCalls = 0;
    // Open change scopes, and the reports they hold back.
    AliveGuard* FGuards = nullptr;
    int FChangeDepth = 0;
    bool FScopedChange = false;
    bool FScopedParams = false;
    // The reports themselves; false when the state silenced them.
    bool reportChange();
    void reportParams();
    // A load, an update or the query's end silence both reports; a host's
    // own handler silences the change report too.
    bool paramsSilenced() const { return FState != stIdle || FUpdating || FDestroying; }
    bool changeSilenced() const { return paramsSilenced() || FInsideEventHandler; }
    // Every live row, a doubly linked list through the rows.
    TFilterRow* FFirstRow = nullptr;
    struct FieldListCache;
    const FieldListCache& fieldList(BracketKind kind) const;
    const std::shared_ptr<WordItems>& operatorList(const TDSField* field) const;
};

} // namespace brindle
