#pragma once
// The condition tree of a query: brackets (TFilterBracket) that join their
// rows under one logical link, simple conditions (TSimpleCond: a model
// field, one of its operators and up to two values) and custom conditions
// (TCustomCond: a predefined condition of the model with its values). A
// bracket owns its rows; the query owns the root bracket. Rows refer to the
// model's fields, operators and conditions and to the builder's parameters
// without owning them. Each row carries its words (FLabel1 ... FLabel5,
// FLabel9): the field, operator, value and conjunction words of the
// sentence it reads as. Every change of the tree and of a row's words is
// passed to the query, which tells its views.

#include <brindle/brindle_core_export.h>
#include <brindle/datamodel/db_structure.h>
#include <brindle/query/words.h>

#include <memory>
#include <optional>

namespace brindle {

class TFilterBracket;
class TFilterCond;
class TSQLParam;
class TVxQuery;

enum TRowState { rsNormal, rsDestroying };

// What a condition's change event reports. The numbers are fixed: hosts
// may take them as integers.
enum ConditionChange : int {
    ccEnabled = 0,  // enabled or disabled
    ccField = 1,
    ccOperator = 2,
    ccValue1 = 3,   // value 1 set, or made a parameter or a constant again
    ccValue2 = 4,   // value 2 likewise
};

// The fields a bracket's conditions offer. A bracket of HAVING conditions
// takes aggregates only; one of WHERE conditions takes none.
enum BracketKind : int { bkAnyField = 0, bkNoAggregates = 1, bkAggregatesOnly = 2 };

class BRINDLE_CORE_EXPORT TFilterRow : public TObject {
public:
    TFilterRow(TVxQuery* queryPanel, TFilterBracket* parentBracket, TFilterRowType rowType);
    ~TFilterRow() override;
    TFilterRow(const TFilterRow&) = delete;
    TFilterRow& operator=(const TFilterRow&) = delete;

    TFilterRowType RowType() const { return FRowType; }
    TVxQuery* QueryPanel() const { return FQueryPanel; }
    TFilterBracket* ParentBracket() const { return FParentBracket; }
    bool IsBracket() const { return FRowType == frtBracket; }

    // The words of the row; a word that the row does not have is none.
    TQueryWord* Label1() const { return FLabel1.get(); }
    TQueryWord* Label2() const { return FLabel2.get(); }
    TQueryWord* Label3() const { return FLabel3.get(); }
    TQueryWord* Label4() const { return FLabel4.get(); }
    TQueryWord* Label5() const { return FLabel5.get(); }
    // The link word is made when first asked for: during an import or a
    // load nothing asks, and most rows never show it.
    TQueryWord* Label9() const;
    bool HasLinkWord() const { return FLabel9 != nullptr; }
    // The word that stands in the role; none when the row has no such word.
    // The logical operator word is given only once it was made.
    TQueryWord* Word(TWordRole role) const;
    // The role of one of the row's words.
    std::optional<TWordRole> RoleOf(const TQueryWord* word) const;
    // The documented control indexes of a panel's row: 1 to 5 in sentence
    // order (which roles they are depends on the kind of row), 9 the
    // logical operator word. IndexOfRole is the one table between them.
    std::optional<TWordRole> RoleOfIndex(int index) const;
    static int IndexOfRole(TWordRole role);

    // "1.3." for the third row of the root's first row; empty for the root.
    const QString& RowID() const { return FRowID; }
    void SetRowID(const QString& id) { FRowID = id; }
    int GetRowLevel() const;
    // Index in the parent bracket; 0 for the root.
    int GetIndex() const;
    // Line of the row in depth-first order, the root being line 0.
    int RowNum() const;
    void SetRowNum(int num) { FRowNum = num; }

    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool enabled);

    bool Visible() const { return FVisible; }
    void SetVisible(bool visible) { FVisible = visible; }
    bool Hidden() const { return FHidden; }
    void SetHidden(bool hidden) { FHidden = hidden; }
    TRowState RowState() const { return FRowState; }
    const QVariant& OleObject() const { return FOleObject; }
    void SetOleObject(const QVariant& object) { FOleObject = object; }

    virtual void EnabledChanged();
    virtual void UpdateLogOpLabel();
    virtual bool GetIsHavingRow() const;
    // Closes the open editor of one of the row's words, or of a row below
    // it, accepting or dropping its input: the query asks its views once
    // (editorCloseRequested), since the view that opened an editor holds it.
    void CloseEdit(bool accept);
    // Whether the row uses something the model is about to free.
    virtual bool UsesAnyOf(const TModelRemoval& removal) const;
    void MoveUp();
    void MoveDown();
    void MoveLeft();
    void MoveRight();

protected:
    friend class TFilterBracket;
    friend class TVxQuery;

    // The member a role's word lives in for a row of this kind; none where
    // the kind has no such word.
    const std::unique_ptr<TQueryWord>* slotOf(TWordRole role) const;
    // The words show the row's enabled state.
    void showEnabled();
    // Disables the row and the rows below it quietly: it is joining a
    // disabled bracket, which it must not enable again.
    void takeDisabledState();
    // Puts a word into one of the row's slots, the row becoming its owner.
    void putWord(std::unique_ptr<TQueryWord>& slot, std::unique_ptr<TQueryWord> word);
    // Forgets every model entity the row (and a bracket's rows) refers to,
    // for a row that is no longer in the tree or is being made while they go.
    virtual void dropModelReferences();
    // The entities the row refers to changed in place: its words show their
    // names, captions and lists anew, keeping the row's choices and values.
    virtual void refreshModelWords();

private:
    friend class TFilterCond;
    friend class TSimpleCond;
    friend class TCustomCond;

    TFilterRowType FRowType;
    std::unique_ptr<TQueryWord> FLabel1;
    std::unique_ptr<TQueryWord> FLabel2;
    std::unique_ptr<TQueryWord> FLabel3;
    std::unique_ptr<TQueryWord> FLabel4;
    std::unique_ptr<TQueryWord> FLabel5;
    mutable std::unique_ptr<TQueryWord> FLabel9;
    QString FRowID;
    TFilterBracket* FParentBracket;
    mutable int FRowNum = -1;
    TVxQuery* FQueryPanel;
    bool FEnabled = true;
    TRowState FRowState = rsNormal;
    // In its parent's row list (the root: never).
    bool FAttached = false;
    // Lost its model entities while out of the tree: it never joins it.
    bool FOrphaned = false;
    // The query's list of live rows.
    TFilterRow* FPrevLive = nullptr;
    TFilterRow* FNextLive = nullptr;

private:
    bool FVisible = false;
    bool FHidden = false;
    QVariant FOleObject;
};

class BRINDLE_CORE_EXPORT TFilterBracket : public TFilterRow {
public:
    TFilterBracket(TVxQuery* queryPanel, TFilterBracket* parentBracket);
    ~TFilterBracket() override;

    TFilterLinkType LinkType() const { return FLinkType; }
    void SetLinkType(TFilterLinkType linkType);

    int GetRowCount() const { return FRows.Count(); }
    TFilterRow* GetRow(int index) const { return FRows.GetItem(index); }
    int IndexOf(const TFilterRow* row) const { return FRows.IndexOf(row); }
    TFilterRow* GetFirstRow() const { return FRows.IsEmpty() ? nullptr : FRows.GetItem(0); }
    TFilterRow* GetLastRow() const { return FRows.IsEmpty() ? nullptr : FRows.GetItem(FRows.Count() - 1); }
    int GetLastRowNum() const;
    bool GetIsRoot() const { return FParentBracket == nullptr; }

    // Takes the row: it joins this bracket at the index with the matching
    // identifier; the other rows keep theirs until EnumerateBracket.
    void InsertRow(int index, std::unique_ptr<TFilterRow> row);
    int AddRow(std::unique_ptr<TFilterRow> row);
    TFilterBracket* AddNewBracket();
    // A simple condition of the field; without one, of the first field the
    // bracket offers.
    TFilterCond* AddCond(TDSField* field = nullptr);
    TFilterCond* AddCustomCond(TDSCondition* condition);
    TFilterBracket* InsertNewBracket(int index);
    TFilterBracket* InsertNewBracketByNum(int num);
    TFilterCond* InsertSimpleCondByNum(int num);
    TFilterCond* InsertCustomCondByNum(int num, TDSCondition* condition);
    int IndexByRowNum(int num) const;
    int IndexForNewRow(int num) const;

    void DeleteRow(int index);
    // Removes and frees the row; an emptied non-root bracket goes too when
    // brackets must not be empty, and so on upward.
    void InternalDeleteRow(int index);
    // Takes a row out without freeing it.
    std::unique_ptr<TFilterRow> ExtractRow(int index);
    void ClearRows();

    // The row a path identifier ("2.1.") names; none past the row count.
    // A malformed identifier raises EConvertError.
    TFilterRow* RowByID(const QString& id) const;
    TFilterCond* GetFirstCondition() const;
    void CheckIfAllDisabled();
    BracketKind GetBracketKind() const;
    void RefreshValueEditors();
    void RefreshParamValueEditors(TFilterRow* row, const QString& name);

    void EnabledChanged() override;
    void UpdateLogOpLabel() override;
    bool GetIsHavingRow() const override;

protected:
    void dropModelReferences() override;

private:
    friend class TFilterRow;

    // A move's two halves: they tell nobody and run no host code, so a
    // moving row is never out of the tree while the host could act.
    std::unique_ptr<TFilterRow> takeRow(int index);
    void placeRow(int index, std::unique_ptr<TFilterRow> row);
    // The sentence halves and link types the titles and LinkTypes give now.
    void showTitleWords();
    friend class TVxQuery;

    TFilterLinkType FLinkType;
    bool FEnabledChanging = false;
    TVxObjectList<TFilterRow> FRows;
    bool FProcessChildren = true;
};

class BRINDLE_CORE_EXPORT TFilterCond : public TFilterRow {
public:
    TFilterCond(TVxQuery* queryPanel, TFilterBracket* parentBracket, TFilterRowType rowType);
    ~TFilterCond() override;

    // Index 1 addresses value 1, any other index value 2.
    const QString& GetValue(int index) const { return index == 1 ? FValue1 : FValue2; }
    virtual void SetValue(int index, const QString& value);
    QString GetCaption(int index) const;
    void SetCaption(int index, const QString& text);
    TSQLParam* GetParam(int index) const { return index == 1 ? FParam1 : FParam2; }
    void SetParam(int index, TSQLParam* param);
    bool GetValueIsParam(int index) const { return GetParam(index) != nullptr; }
    void SetValueIsParam(int index, bool isParam);
    void DoConditionChange(ConditionChange whatChanged);
    // The value word of a value index (FLabel3 or FLabel4), or none.
    TQueryWord* ValueWord(int index) const { return index == 1 ? FLabel3.get() : FLabel4.get(); }

    TStringList& SubQuery() { return FSubQuery; }
    const TStringList& SubQuery() const { return FSubQuery; }
    TSQLOptions SubQueryOptions() const { return FSubQueryOptions; }
    void SetSubQueryOptions(TSQLOptions options) { FSubQueryOptions = options; }

    void EnabledChanged() override;
    void UpdateLogOpLabel() override;

    virtual QString GetValueName(int index) const;
    virtual void UpdateSQLParams();
    // Edits a sub-query value through the query's EditSubQuery; true when
    // the edit was accepted.
    virtual bool RunSubQueryEditor(QString& value);
    // Frees the old value word and makes the one value index needs.
    virtual std::unique_ptr<TQueryWord> CreateValueLabel(std::unique_ptr<TQueryWord> old, int index, bool init);
    virtual QString GetValueCaption(int index) const;
    virtual TFieldType GetValueType(int index) const;
    virtual TValueKind GetValueKind(int index) const;
    virtual int GetValueSize(int index) const;
    virtual const TSimpleDSTableList* GetTables() const;
    virtual QString GetSQLExpr() const;
    virtual int GetValueCount() const;

    // A value of a custom editor: OnCustomValue may change it.
    bool CustomDropDownHandler(int index, QString& value);

protected:
    friend class TVxQuery;
    friend class TQueryResult;

    void setValueWord(int index, std::unique_ptr<TQueryWord> word);
    // Value 1 shown as a sub-query: its caption, and the hint the query's
    // SubQueryHint asks for.
    void showSubQuery(const QString& value, const QString& readable);

private:
    friend class TSimpleCond;
    friend class TCustomCond;

    QString FValue1;
    QString FValue2;
    TStringList FSubQuery;
    TSQLOptions FSubQueryOptions;
    TSQLParam* FParam1 = nullptr;
    TSQLParam* FParam2 = nullptr;
};

class BRINDLE_CORE_EXPORT TSimpleCond : public TFilterCond {
public:
    // Takes the field, or the first field the bracket offers.
    TSimpleCond(TVxQuery* queryPanel, TFilterBracket* parentBracket, TDSField* field = nullptr);

    TDSField* Field() const { return FField; }
    void SetField(TDSField* field);
    TDSOperator* Operator() const { return FOperator; }
    void SetOperator(TDSOperator* op);
    // The operator's expression type, else the field's type; ftUnknown
    // without field or operator.
    TFieldType GetExprType() const;
    void RecreateValueEditor();
    void ReformatValue(const TDSOperator* oldOperator);
    void RefreshValueEditor();

    void SetValue(int index, const QString& value) override;
    bool GetIsHavingRow() const override;
    bool UsesAnyOf(const TModelRemoval& removal) const override;
    QString GetValueName(int index) const override;
    void UpdateSQLParams() override;
    bool RunSubQueryEditor(QString& value) override;
    std::unique_ptr<TQueryWord> CreateValueLabel(std::unique_ptr<TQueryWord> old, int index, bool init) override;
    QString GetValueCaption(int index) const override;
    TFieldType GetValueType(int index) const override;
    TValueKind GetValueKind(int index) const override;
    int GetValueSize(int index) const override;
    const TSimpleDSTableList* GetTables() const override;
    QString GetSQLExpr() const override;
    int GetValueCount() const override;

protected:
    void dropModelReferences() override;
    void refreshModelWords() override;

private:
    // Fills a list word with the field's list or SQL editor items.
    void loadListItems(TQueryWord& word) const;
    // The field word shows the field: its identifier, chosen from the list
    // where the word is one, and its caption.
    void showField(const TDSField& field);
    // The word between the two values, present while the operator has one.
    void showValueFormat();
    // A list value becomes its first item (after leaving a list operator).
    void reformatFrom(TValueKind oldKind);

    // What the value words were made from: the operator's value count and
    // kind, the value type and the field's value editor. A model edit that
    // changes any of it has the words made anew (remakeValueWords).
    struct ValueShape {
        int Count = 0;
        TValueKind Kind = vkScalar;
        TFieldType Type = ftUnknown;
        int Size = 0;
        TDSEditType EditType = etAuto;
        TTextEditorKind TextKind = tekSimple;
        quint8 TextType = 0;
        int Options = 0;
        QString Mask;
        bool Formatted = false;
        bool operator==(const ValueShape&) const = default;
    };
    ValueShape valueShape() const;
    bool valueWordsOutdated() const { return FField && FOperator && valueShape() != FValueShape; }
    // Runs host code (each new word's creation event).
    void remakeValueWords();
    friend class TVxQuery;

    TDSField* FField = nullptr;
    TDSOperator* FOperator = nullptr;
    ValueShape FValueShape;
};

class BRINDLE_CORE_EXPORT TCustomCond : public TFilterCond {
public:
    TCustomCond(TVxQuery* queryPanel, TFilterBracket* parentBracket, TDSCondition* condition);

    TDSCondition* DSCondition() const { return FDSCondition; }

    bool GetIsHavingRow() const override { return false; }
    bool UsesAnyOf(const TModelRemoval& removal) const override;
    std::unique_ptr<TQueryWord> CreateValueLabel(std::unique_ptr<TQueryWord> old, int index, bool init) override;
    TFieldType GetValueType(int index) const override;
    TValueKind GetValueKind(int index) const override;
    const TSimpleDSTableList* GetTables() const override;
    QString GetSQLExpr() const override;
    int GetValueCount() const override;

protected:
    void dropModelReferences() override;
    void refreshModelWords() override;

private:
    TDSCondition* FDSCondition;
};

} // namespace brindle
