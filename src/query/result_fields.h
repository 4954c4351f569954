#pragma once
// Result fields: the columns of the SELECT list. A TResultField has a formula
// in which "@1", "@2", ... stand for data model fields, those fields, a
// caption, an alias and a sorting. TRFieldList owns the fields of one query,
// keeps captions and aliases unique, numbers the fields and reads and writes
// the "[RFields]" text block, and tells one observer (its query, or a view
// of a list of its own) of every change. A list without a query follows its
// data model by itself: a field that the model removes takes the result
// fields that use it along. TRTableList holds the tables of a statement,
// each after the table its joining link reaches.

#include <brindle/brindle_core_export.h>
#include <brindle/datamodel/db_structure.h>
#include <brindle/query/words.h>

#include <QObject>
#include <QPointer>

namespace brindle {

class TRFieldList;
class SectionIndex;
class TVxQuery;

class BRINDLE_CORE_EXPORT TResultField : public TObject {
public:
    explicit TResultField(TRFieldList* list);
    ~TResultField() override;

    // Copies the model fields, formula, caption, alias, sorting and sort order.
    void Assign(const TResultField& source);

    TRFieldList* RFList() const { return FRFList; }
    TVxQuery* GetQueryPanel() const;
    TVxCustomDBStructure* GetDBStruct() const;

    // The data model fields of the formula, in placeholder order; the list
    // owns the entries, the model owns the fields.
    TDSFieldList& DSFields() { return FDSFields; }
    const TDSFieldList& DSFields() const { return FDSFields; }

    const QString& Caption() const { return FCaption; }
    void SetCaption(const QString& caption);
    const QString& Alias() const { return FAlias; }
    void SetAlias(const QString& alias);
    const QString& Formula() const { return FFormula; }
    void SetFormula(const QString& formula);
    TSortingType Sorting() const { return FSorting; }
    void SetSorting(TSortingType sorting);
    int Number() const { return FNumber; }
    void SetNumber(int number) { FNumber = number; }
    int SortOrder() const { return FSortOrder; }
    void SetSortOrder(int order) { FSortOrder = order; }

    // The formula with each "@k" replaced by field k's SQL expression
    // (normal form: the fields' NormalSQLExpr).
    QString GetSQLExpr() const;
    QString GetNormalSQLExpr() const;
    // The select list entry: the expression and, unless the alias merely
    // repeats the column's name, " as " and the alias.
    QString GetSelectExpr() const;
    QString GetOrderName() const;
    QString GetSQLAlias() const;
    // The formula as the user edits it: "{display name}" for each field.
    QString GetExpression() const;
    // Whether the formula uses any of these model fields.
    bool UsesAnyOf(const QSet<const TDSField*>& fields) const;
    bool GetAgregate() const;
    QChar GetQuoteSymbol(int index) const;
    // The syntax of the query the list belongs to; ssSQL2 without one.
    TSQLSyntax SQLSyntax() const;

    void GenerateAlias();
    void GenerateCaption();
    // Removes model field index (0-based) and renumbers later placeholders.
    void DelDSField(int index);
    void ProcessExpression(const QString& text);
    void ProcessSQLExpr(const QString& text);

    const QVariant& OleObject() const { return FOleObject; }
    void SetOleObject(const QVariant& object) { FOleObject = object; }

    // The column's words as a view shows them, by role (ResultFieldOrder):
    // the formula's text before its field, the field, the text after, the
    // sorting. Made at the first call and brought up to date by each, in
    // the list's word look; none for a role the column lacks.
    TQueryWord* Word(TWordRole role);

private:
    struct Words;
    QVariant FOleObject;
    QString replacePlaceholders(bool normal) const;
    void updateWords();
    std::unique_ptr<Words> FWords;

    TDSFieldList FDSFields;
    TRFieldList* FRFList;
    QString FCaption;
    QString FAlias;
    QString FFormula;
    TSortingType FSorting = stNoSort;
    int FNumber = 0;
    int FSortOrder = 0;
};

// Follows a result field list through its signals (ObserveRFields).
// Indexes are the list's at the time of the call; between AboutToBeReset
// and Reset the list changes freely.
class BRINDLE_CORE_EXPORT TRFieldListObserver {
public:
    virtual ~TRFieldListObserver();
    virtual void RFieldInserted(int index) = 0;
    virtual void RFieldAboutToBeRemoved(int index) = 0;
    virtual void RFieldMoved(int from, int to) = 0;
    virtual void RFieldChanged(int index) = 0;
    virtual void RFieldsAboutToBeReset() = 0;
    virtual void RFieldsReset() = 0;
};

class BRINDLE_CORE_EXPORT TRFieldList : public QObject, public TVxObjectList<TResultField>, private IModelListener {
    Q_OBJECT
public:
    explicit TRFieldList(TVxCustomDBStructure* dbStruct = nullptr, TVxQuery* queryPanel = nullptr);
    ~TRFieldList() override;

    void Assign(const TRFieldList& source);

    TVxCustomDBStructure* DBStruct() const { return FDBStruct.data(); }
    void SetDBStruct(TVxCustomDBStructure* dbStruct);

    // Numbers the sorted fields in list order from 1: the order a list
    // edited row by row sorts by.
    void NumberSortOrders();
    // Moves a field as a row of a panel moves: the sorted fields keep
    // sorting in list order.
    void MoveRow(int from, int to);

    // --- the columns' words (result_field_words.cpp)
    // How the words read: the field word's editor, its caption with the
    // group name, and the sorting word's captions (none, ascending,
    // descending).
    struct WordLook {
        bool PopupField = true;
        bool GroupNames = false;
        QString NameSeparator = QStringLiteral(".");
        QStringList SortCaptions = {QStringLiteral("Not Sorted"), QStringLiteral("Ascending"),
                                    QStringLiteral("Descending")};
        bool operator==(const WordLook&) const = default;
    };
    const WordLook& WordsLook() const { return FWordLook; }
    void SetWordsLook(const WordLook& look);
    // The fields a field word offers: the model's fields usable in
    // results, grouped, made once per model revision and shared by every
    // column.
    std::shared_ptr<const WordItems> FieldItems() const;
    // Applies a value chosen in a column's word, as an accepted drop-down
    // does: the field word (value: a field's identifier) puts that field
    // first in the formula, a plain "@1" column taking its name as caption;
    // the sorting word ("0" none, "1" ascending, "2" descending) the
    // sorting. False, changing nothing, for a plain word or a value that
    // names nothing.
    bool AcceptWordValue(int index, TWordRole role, const QString& value);

    // The list's own changes, told through the signals below.
    void Delete(int index);
    std::unique_ptr<TResultField> Extract(int index);
    void Move(int from, int to);
    void Clear();
    // Removes the fields whose formulas use any of these model fields; true
    // when one went.
    bool RemoveFieldsUsing(const QSet<const TDSField*>& fields);
    TVxQuery* QueryPanel() const { return FQueryPanel; }

    TResultField* GetRField(int index) const { return GetItem(index); }
    // An empty field inserted at the index.
    TResultField* New(int index);
    std::unique_ptr<TResultField> CreateRField(const QString& formula, const QList<TDSField*>& fields,
                                               const QString& caption);
    int Add(const QString& formula, const QList<TDSField*>& fields, const QString& caption);
    int Insert(int index, const QString& formula, const QList<TDSField*>& fields, const QString& caption);
    TResultField* AddByExpression(const QString& caption, const QString& expression, TSortingType sorting,
                                  int sortOrder);
    TResultField* InsertByExpression(int index, const QString& caption, const QString& expression,
                                     TSortingType sorting, int sortOrder);
    TResultField* AddBySQLExpr(const QString& caption, const QString& sqlExpr, TSortingType sorting,
                               int sortOrder);
    TResultField* InsertBySQLExpr(int index, const QString& caption, const QString& sqlExpr,
                                  TSortingType sorting, int sortOrder);

    bool CheckUniqAlias(const QString& text) const;
    bool CheckUniqCaption(const QString& text) const;
    // The text, or the text with the first number that no other field's
    // alias has; the field asking does not count, so an alias made again
    // stays what it was.
    QString GetUniqAlias(const QString& text, const TResultField* except = nullptr) const;
    QString GetUniqCaption(const QString& text) const;
    void RegenerateAliases();
    void GenerateNumbers();
    QString GetCaption() const;
    int GetSortCount() const;

    // Between the two the observer hears one reset instead of each change.
    void BeginUpdate();
    void EndUpdate();
    bool Updating() const { return FUpdating; }
    // Tells the query that a field changed.
    void RFieldChanged(TResultField* field);

    // The "[RFields]" block: appended by SaveToStrings, read from position 0.
    void LoadFromStrings(const TStringList& lines);
    // The same from a text whose sections are already indexed.
    void LoadFromSections(const SectionIndex& sections);
    void SaveToStrings(TStringList& lines) const;

    // The three ways of making aliases; a change makes every alias anew,
    // which a build then leaves as it is.
    // Aliases between the model's quote symbols; the query keeps it equal
    // to soQuoteAliases.
    bool QuoteAliases() const { return FQuoteAliases; }
    void SetQuoteAliases(bool on) { setAliasRule(FQuoteAliases, on); }
    // Generated aliases keep identifier characters only (soASCIIRFields).
    bool AsciiAliases() const { return FAsciiAliases; }
    void SetAsciiAliases(bool on) { setAliasRule(FAsciiAliases, on); }
    // The list defines sorting only and the statement selects "*".
    bool JustSorting() const { return FJustSorting; }
    void SetJustSorting(bool on) { FJustSorting = on; }
    bool UseAliases() const { return FUseAliases; }
    void SetUseAliases(bool on) { setAliasRule(FUseAliases, on); }
    // The format version of the block last read.
    double Version() const { return FVersion; }
    void SetVersion(double version) { FVersion = version; }
    const QVariant& OleObject() const { return FOleObject; }
    void SetOleObject(const QVariant& object) { FOleObject = object; }

private:
    void setAliasRule(bool& rule, bool on)
    {
        if (rule == on)
            return;
        rule = on;
        RegenerateAliases();
    }

    bool FQuoteAliases = false;
    bool FAsciiAliases = true;
    bool FJustSorting = true;
    bool FUseAliases = true;
    double FVersion = 3.6;
    QVariant FOleObject;
    friend class TResultField;

    void ModelEntitiesRemoving(TVxCustomDBStructure* model, const TModelRemoval& removal) override;
    void ModelDestroying(TVxCustomDBStructure* model) override;
    // Only a list of its own listens: a query repairs the list it owns.
    void listen(bool on);
    void beginReset();
    void endReset();
    bool quiet() const { return FUpdating || FResetDepth > 0; }
    void inserted(int index);

    QPointer<TVxCustomDBStructure> FDBStruct;
    TVxQuery* FQueryPanel;
    WordLook FWordLook;
    std::shared_ptr<const WordItems> FSortItems;
    mutable std::shared_ptr<const WordItems> FFieldItems;
    mutable const TVxCustomDBStructure* FFieldItemsModel = nullptr;
    mutable quint64 FFieldItemsRevision = 0;
    bool FUpdating = false;
    int FResetDepth = 0;
    bool FUpdateReset = false; // BeginUpdate began a reset that EndUpdate ends

signals:
    void fieldInserted(int index);
    void fieldAboutToBeRemoved(int index);
    void fieldMoved(int from, int to);
    void fieldChanged(int index);
    void aboutToBeReset();
    void reset();
};

// Connects the list's signals to the observer for as long as both the list
// and the context live; any number of observers may follow one list.
BRINDLE_CORE_EXPORT void ObserveRFields(TRFieldList& list, TRFieldListObserver& observer, QObject& context);

// One table of a statement and the link that joins it to an earlier one
// (none for a table that starts the FROM clause).
struct TResultTable {
    bool Processed = false;
    TDSTable* Table = nullptr;
    TDSLink* Link = nullptr;
};

class BRINDLE_CORE_EXPORT TRTableList : public TVxObjectList<TResultTable> {
public:
    // Appends a table without link; with a link, places it directly after
    // the table the link reaches, raising code 2 when that has no entry.
    int Add(TDSTable* table, TDSLink* link);
    int IndexOf(const TDSTable* table) const;
    // First entry whose table has the alias, letter case ignored.
    TResultTable* Find(const QString& alias) const;
    void ResetAll();
};

} // namespace brindle
