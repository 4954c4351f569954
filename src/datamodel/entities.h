#pragma once
// The entities of a data model: fields, field lists and groups, tables,
// paths, links, operators, condition values and predefined conditions. The
// data model (TVxCustomDBStructure) owns every entity; an entity keeps a
// plain back reference to its model (none while it is unattached), and the
// lists here that are not owning say so.

#include <brindle/brindle_core_export.h>
#include <brindle/foundations/enums.h>
#include <brindle/foundations/field_types.h>
#include <brindle/foundations/object_list.h>
#include <brindle/foundations/string_list.h>
#include <brindle/datamodel/value_editors.h>

#include <QVariant>

#include <algorithm>
#include <memory>
#include <vector>

namespace brindle {

class TVxCustomDBStructure;
class TDSField;
class TDSFieldGroup;
class TDSLink;
class TDSOperator;
class TDSTable;

// An ordered list of references that frees nothing. A derived list may
// vacate a slot in O(1) (Vacate); the list closes up its vacated slots, in
// one pass, before it is next read or changed other than by appending.
template <typename T>
class RefList {
public:
    int Count() const
    {
        settle();
        return static_cast<int>(FItems.size());
    }
    bool IsEmpty() const { return FItems.size() == FHoles; }
    // An index outside the list raises EListError.
    T* Items(int index) const
    {
        settle();
        if (index < 0 || index >= Count())
            throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
        return FItems[static_cast<std::size_t>(index)];
    }
    T* operator[](int index) const { return Items(index); }
    int Add(T* item)
    {
        FItems.push_back(item);
        return static_cast<int>(FItems.size() - FHoles) - 1;
    }
    void Insert(int index, T* item)
    {
        if (index < 0 || index > Count())
            throw EListError(QStringLiteral("List index out of bounds (%d)"), {index});
        FItems.insert(FItems.begin() + index, item);
    }
    void Delete(int index)
    {
        Items(index);
        FItems.erase(FItems.begin() + index);
    }
    int IndexOf(const T* item) const
    {
        settle();
        for (std::size_t i = 0; i < FItems.size(); ++i)
            if (FItems[i] == item)
                return static_cast<int>(i);
        return -1;
    }
    // Removes the first entry of the item; -1 when absent.
    int Remove(const T* item)
    {
        const int i = IndexOf(item);
        if (i >= 0)
            FItems.erase(FItems.begin() + i);
        return i;
    }
    void Move(int from, int to)
    {
        T* item = Items(from);
        Items(to);
        FItems.erase(FItems.begin() + from);
        FItems.insert(FItems.begin() + to, item);
    }
    void Clear()
    {
        FItems.clear();
        FHoles = 0;
    }
    T* First() const { return IsEmpty() ? nullptr : Items(0); }
    T* Last() const { return IsEmpty() ? nullptr : Items(Count() - 1); }
    auto begin() const
    {
        settle();
        return FItems.cbegin();
    }
    auto end() const
    {
        settle();
        return FItems.cend();
    }

protected:
    // Slots count vacated ones until the list closes up; a slot's number
    // stays valid until then.
    std::size_t SlotCount() const { return FItems.size(); }
    T* Slot(std::size_t slot) const { return FItems[slot]; }
    // Empties the slot, which must hold an item; a list that vacates slots
    // holds no null items.
    void Vacate(std::size_t slot)
    {
        FItems[slot] = nullptr;
        ++FHoles;
    }

private:
    void settle() const
    {
        if (FHoles == 0)
            return;
        FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end());
        FHoles = 0;
    }

    mutable std::vector<T*> FItems;
    mutable std::size_t FHoles = 0;
};

// An ordered list of field references; it never frees its fields.
class BRINDLE_CORE_EXPORT TDSFieldList : public RefList<TDSField>, public TObject {
public:
    TVxCustomDBStructure* DbStruct() const { return FDbStruct; }
    void SetDbStruct(TVxCustomDBStructure* model) { FDbStruct = model; }
    const QVariant& OleObject() const { return FOleObject; }
    void SetOleObject(const QVariant& object) { FOleObject = object; }

private:
    TVxCustomDBStructure* FDbStruct = nullptr;
    QVariant FOleObject;
};

// A named group (entity) of fields. A field stands in at most one group:
// adding it takes it out of its old group and sets its group reference;
// freeing the group clears the group reference of every member. A member
// knows its slot, so a field leaves its group in O(1) and moving n fields
// costs O(n) whatever the groups' sizes.
class BRINDLE_CORE_EXPORT TDSFieldGroup : public TDSFieldList {
public:
    explicit TDSFieldGroup(const QString& name = {});
    ~TDSFieldGroup() override;
    TDSFieldGroup(const TDSFieldGroup&) = delete;
    TDSFieldGroup& operator=(const TDSFieldGroup&) = delete;

    const QString& GroupName() const { return FGroupName; }
    void SetGroupName(const QString& name) { FGroupName = name; }

    int Add(TDSField* field);
    // Inserts at the index, or at the end when the index is past it.
    void Insert(int index, TDSField* field);
    // Clears the field's group and removes it from the group.
    void Delete(int index);
    // The first member offered as a result column, or none.
    TDSField* GetFirstResultField() const;

private:
    friend class TDSField;
    // Removes a field from the member list only (the field is leaving).
    void Detach(const TDSField* field);
    // Sets every member's slot, after the list has closed up or moved.
    void renumber();

    QString FGroupName;
};

// Owns its groups.
class BRINDLE_CORE_EXPORT TDSFieldGroupList : public TVxObjectList<TDSFieldGroup> {
public:
    TDSFieldGroup* AddGroup(const QString& name, TDSField* field);
    // First group with the name, letter case ignored; none when absent.
    TDSFieldGroup* FindByName(const QString& name) const;
    // First group holding the field and the field's index in it; none and -1.
    TDSFieldGroup* FindByField(const TDSField* field, int& index) const;
    void GetGroupNames(TStringList& names) const;
};

// An ordered list of table references. Erase frees the table.
class BRINDLE_CORE_EXPORT TSimpleDSTableList : public RefList<TDSTable> {
public:
    void Erase(int index);
    // Aliases joined by "," without blanks.
    QString CommaText() const;
};

class BRINDLE_CORE_EXPORT TDSField : public TObject {
public:
    explicit TDSField(TVxCustomDBStructure* dbStruct = nullptr);
    ~TDSField() override;
    TDSField(const TDSField&) = delete;
    TDSField& operator=(const TDSField&) = delete;

    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    void SetDBStruct(TVxCustomDBStructure* dbStruct) { FDBStruct = dbStruct; }

    int ID() const { return FID; }
    void SetID(int id);
    // The ID as text, as field words hold it; made once per ID.
    const QString& IDText() const;

    TVxFieldKind FieldKind() const { return FFieldKind; }
    void SetFieldKind(TVxFieldKind kind) { FFieldKind = kind; }

    // The column name of a data field; raises code 7 on a virtual field.
    QString FieldName() const { return FFieldExpr; }
    void SetFieldName(const QString& name);
    // The column name or the expression, as stored.
    const QString& FieldExpr() const { return FFieldExpr; }
    // Stores the expression or column without any check (used by the readers).
    void SetFieldExprRaw(const QString& expr);

    // Data field: qualified column; virtual field: the expression. A server
    // syntax writes the names in its own quotes where they need them.
    QString SQLExpr(TSQLSyntax syntax = ssSQL2) const;
    // Sets a virtual field's expression and recomputes its tables and
    // columns; raises code 8 on a data field.
    void SetSQLExpr(const QString& expr);
    // The column between double quotes whatever the SQL formats say.
    QString NormalSQLExpr() const;
    QString FilterSQLExpr(TSQLSyntax syntax = ssSQL2) const;
    QString FullName() const;
    QString GroupByFields() const;

    const QString& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const QString& name);

    TSimpleDSTableList& Tables() { return FTables; }
    const TSimpleDSTableList& Tables() const { return FTables; }
    // Table 0 of the list, or none.
    TDSTable* Table() const { return FTables.First(); }
    // Makes the table the field's only table.
    void SetTable(TDSTable* table);

    TStringList& DBFields() { return FDBFields; }
    const TStringList& DBFields() const { return FDBFields; }

    bool Quoted() const { return FQuoted; }
    void SetQuoted(bool q) { FQuoted = q; }
    TFieldType FieldType() const { return FFieldType; }
    void SetFieldType(TFieldType t) { FFieldType = t; }
    int FieldSize() const { return FFieldSize; }
    void SetFieldSize(int s) { FFieldSize = s; }

    TDSEditType EditType() const { return FEditType; }
    // A new type replaces the editor: none, text, list, custom or SQL.
    void SetEditType(TDSEditType type);
    TDSValueEditor* ValueEditor() const { return FValueEditor.get(); }

    TDSFieldGroup* Group() const { return FGroup; }
    // Moves the field from its old group to the new one.
    void SetGroup(TDSFieldGroup* group);
    QString GroupName() const;
    QString GetCompoundName(const QString& separator) const;

    bool UseInConditions() const { return FUseInConditions; }
    // Turning it on for a field without operators gives it the applied ones.
    void SetUseInConditions(bool on);
    bool UseInResult() const { return FUseInResult; }
    void SetUseInResult(bool on) { FUseInResult = on; }
    bool IsAggregate() const { return FIsAggregate; }
    // Stays false on data fields.
    void SetIsAggregate(bool on);

    // Operators offered for the field: references into the catalogue.
    int OperatCount() const { return FOperators.Count(); }
    // Raises code 3 for an index outside the list.
    TDSOperator* Operators(int index) const;
    void AddAppliedOperators();
    int AddOperator(TDSOperator* op);
    // Looks the name up in the catalogue; raises code 6 when absent.
    int AddOperatorByName(const QString& name);
    void DelOperator(int index);
    void RemoveOperator(TDSOperator* op);
    void MoveOperat(int from, int to);
    int IndexOfOperator(const TDSOperator* op) const;
    void ClearOperators();
    QString GetOperatorNames() const;

    // The value quoted with single quotes when the type is quoted by the model.
    QString ValueAsString(const QString& value) const;

    const QVariant& OleObject() const { return FOleObject; }
    void SetOleObject(const QVariant& object) { FOleObject = object; }
    const QString& UserData() const { return FUserData; }
    void SetUserData(const QString& data) { FUserData = data; }

private:
    friend class TDSFieldGroup;

    QVariant FOleObject;
    QString FUserData;
    friend class TVxCustomDBStructure;

    TVxCustomDBStructure* FDBStruct;
    int FID = 0;
    mutable QString FIDText;
    QString FFieldExpr;
    QString FDisplayName;
    TSimpleDSTableList FTables;
    TVxFieldKind FFieldKind = kfkData;
    RefList<TDSOperator> FOperators;
    TStringList FDBFields;
    bool FQuoted = false;
    TFieldType FFieldType = ftUnknown;
    int FFieldSize = 0;
    TDSEditType FEditType = etAuto;
    std::unique_ptr<TDSValueEditor> FValueEditor;
    TDSFieldGroup* FGroup = nullptr;
    std::size_t FGroupSlot = 0; // where it stood in FGroup when last known
    bool FUseInConditions = true;
    bool FUseInResult = true;
    bool FIsAggregate = false;
    bool FInModel = false; // stands in its model's field list
};

class BRINDLE_CORE_EXPORT TDSTable : public TObject {
public:
    explicit TDSTable(TVxCustomDBStructure* dbStruct = nullptr);
    // Frees the table's links, deletes the model's fields of this table and
    // clears the model's default main table when it is this one.
    ~TDSTable() override;
    TDSTable(const TDSTable&) = delete;
    TDSTable& operator=(const TDSTable&) = delete;

    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    void SetDBStruct(TVxCustomDBStructure* dbStruct) { FDBStruct = dbStruct; }

    const QString& DatabaseName() const { return FDatabaseName; }
    void SetDatabaseName(const QString& name) { FDatabaseName = name; }
    const QString& TableName() const { return FTableName; }
    // Also sets the alias from the name while the alias is empty.
    void SetTableName(const QString& name);
    const QString& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const QString& name);
    const QString& TableAlias() const { return FAlias; }
    // Blanks become "_".
    void SetTableAlias(const QString& alias);
    const QString& LinksStr() const { return FLinksStr; }
    void SetLinksStr(const QString& text) { FLinksStr = text; }
    const QString& TableHints() const { return FTableHints; }
    void SetTableHints(const QString& hints) { FTableHints = hints; }
    bool Quoted() const { return FQuoted; }
    void SetQuoted(bool q) { FQuoted = q; }

    int DesignLeft = 0;
    int DesignTop = 0;
    int DesignWidth = 0;
    int DesignHeight = 0;
    // "left,top,width,height"; set from up to four comma-separated parts.
    QString DesignPositions() const;
    void SetDesignPositions(const QString& text);

    // Name, " - ", alias.
    QString CompoundName() const;
    // The name, qualified by the model's default owner when it has one.
    QString FullName() const;

    // The links that touch this table (references; the model owns them).
    int LinkCount() const { return FLinks.Count(); }
    // Raises code 2 for an index outside the list.
    TDSLink* Links(int index) const;
    TDSLink* LinkByTable(const TDSTable* table) const;
    TDSLink* LinkByTableAlias(const QString& alias) const;

    // SQL forms: the (quoted, possibly fully qualified) table name; the full
    // name template filled for a name; the FROM entry; the column qualifier.
    // A server syntax writes the names in its own quotes where they need them.
    QString MainSQLExpr(TSQLSyntax syntax = ssSQL2) const;
    QString GetFullSQLExpr(const QString& name) const;
    QString FromExpr(TSQLSyntax syntax = ssSQL2) const;
    QString WhereExpr(TSQLSyntax syntax = ssSQL2) const;

private:
    friend class TDSLink;
    friend class TVxCustomDBStructure;

    TVxCustomDBStructure* FDBStruct;
    QString FDatabaseName;
    QString FTableName;
    QString FDisplayName;
    QString FAlias;
    QString FLinksStr;
    RefList<TDSLink> FLinks;
    QString FTableHints;
    bool FQuoted = false;
    bool FInModel = false; // stands in its model's table list
    // The path search's marks: the search that last reached this table and
    // the table it came from.
    quint64 FSearchMark = 0;
    TDSTable* FSearchParent = nullptr;
};

// A join path: an ordered list of table references of one model.
class BRINDLE_CORE_EXPORT TDSPath : public TObject {
public:
    explicit TDSPath(TVxCustomDBStructure* dbStruct = nullptr) : FDBStruct(dbStruct) {}

    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    int TableCount() const { return FTables.Count(); }
    // Raises code 1 for an index outside the path.
    TDSTable* Tables(int index) const;
    TDSTable* StartPoint() const { return FTables.First(); }
    TDSTable* EndPoint() const { return FTables.Last(); }
    int AddTable(TDSTable* table) { return FTables.Add(table); }
    void DelTable(int index);
    bool Contains(const TDSTable* table) const { return FTables.IndexOf(table) >= 0; }
    void Clear() { FTables.Clear(); }
    void Assign(const TDSPath& other);

private:
    TVxCustomDBStructure* FDBStruct;
    RefList<TDSTable> FTables;
};

// The forms of a link's join condition; the numbers are the documented
// indexes. Oracle's form marks the outer side of an outer link with "(+)".
enum JoinForm : int { jfSQL = 1, jfOracle = 2 };

// A join between two tables on parallel lists of columns and operators.
class BRINDLE_CORE_EXPORT TDSLink : public TObject {
public:
    explicit TDSLink(TVxCustomDBStructure* dbStruct = nullptr);
    // Leaves both tables' link lists and the model's link list.
    ~TDSLink() override;
    TDSLink(const TDSLink&) = delete;
    TDSLink& operator=(const TDSLink&) = delete;

    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    void SetDBStruct(TVxCustomDBStructure* dbStruct) { FDBStruct = dbStruct; }

    TDSTable* Table1() const { return FTable1; }
    void SetTable1(TDSTable* table) { FTable1 = table; }
    TDSTable* Table2() const { return FTable2; }
    void SetTable2(TDSTable* table) { FTable2 = table; }

    const TStringList& Fields1() const { return FFields1; }
    // Copies the columns and gives every position the "=" operator.
    void SetFields1(const TStringList& fields);
    const TStringList& Fields2() const { return FFields2; }
    void SetFields2(const TStringList& fields) { FFields2.Assign(fields); }
    const TStringList& Operators() const { return FOperators; }
    void SetOperators(const TStringList& ops) { FOperators.Assign(ops); }
    // Appends one column pair.
    void AddColumnPair(const QString& field1, const QString& op, const QString& field2);
    // Empties the operators and appends "=" once per entry of Fields1.
    void ApplyDefOperator();

    TDSLinkType LinkType() const { return FLinkType; }
    void SetLinkType(TDSLinkType type) { FLinkType = type; }
    bool QuoteFields() const { return FQuoteFields; }
    void SetQuoteFields(bool q) { FQuoteFields = q; }

    QString DisplayName() const;
    // True when the table is one of the link's; isTable1 tells which.
    bool ContainsTableEx(const TDSTable* table, bool& isTable1) const;
    // The table at the other side of the given one.
    TDSTable* OtherTable(const TDSTable* table) const { return table == FTable1 ? FTable2 : FTable1; }

    QString GetSQLExpr(JoinForm form, TSQLSyntax syntax = ssSQL2) const;
    QString SQLExpr() const { return GetSQLExpr(jfSQL); }
    QString OracleSQLExpr() const { return GetSQLExpr(jfOracle); }

private:
    friend class TDSTable;
    friend class TVxCustomDBStructure;

    TVxCustomDBStructure* FDBStruct;
    TDSTable* FTable1 = nullptr;
    TDSTable* FTable2 = nullptr;
    TStringList FFields1;
    TStringList FFields2;
    TStringList FOperators;
    TDSLinkType FLinkType = ltInner;
    bool FQuoteFields = false;
};

// One comparison operator of the catalogue.
// Grows whenever a field's operator list, or an operator's name or caption,
// changes anywhere, and when a field is destroyed: what was derived from
// the operator lists is current while it stays the same.
BRINDLE_CORE_EXPORT quint64 OperatorListsRevision();

class BRINDLE_CORE_EXPORT TDSOperator : public TObject {
public:
    static const TAppliedTypes DefaultAppliedTypes;

    const QString& Name() const { return FName; }
    void SetName(const QString& name);
    const QString& DisplayName() const { return FDisplayName; }
    void SetDisplayName(const QString& name);
    const QString& SQLExpr() const { return FSQLExpr; }
    void SetSQLExpr(const QString& expr);
    const QString& ValFormat() const { return FValFormat; }
    void SetValFormat(const QString& format) { FValFormat = format; }
    TFieldType ExprType() const { return FExprType; }
    void SetExprType(TFieldType t) { FExprType = t; }
    TValueKind ValueKind() const { return FValueKind; }
    void SetValueKind(TValueKind kind) { FValueKind = kind; }
    bool CaseInsensative() const { return FCaseInsensative; }
    void SetCaseInsensative(bool on) { FCaseInsensative = on; }

    TAppliedTypes AppliedTypes = DefaultAppliedTypes;
    const QVariant& OleObject() const { return FOleObject; }
    void SetOleObject(const QVariant& object) { FOleObject = object; }

    // The largest n such that "@1" ... "@n" all occur in the template.
    int ParamCount() const { return FParamCount; }

private:
    QVariant FOleObject;
    QString FName;
    QString FDisplayName;
    QString FSQLExpr;
    int FParamCount = 0; // follows FSQLExpr
    QString FValFormat;
    TFieldType FExprType = ftUnknown;
    TValueKind FValueKind = vkScalar;
    bool FCaseInsensative = false;
};

// One value slot of a predefined condition. Values may share an editor.
class BRINDLE_CORE_EXPORT TDSValue : public TObject {
public:
    TFieldType DataType() const { return FDataType; }
    // A different type drops the editor.
    void SetDataType(TFieldType type);
    TValueKind DataKind() const { return FDataKind; }
    void SetDataKind(TValueKind kind) { FDataKind = kind; }
    TDSValueEditor* ValueEditor() const { return FValueEditor.get(); }
    const std::shared_ptr<TDSValueEditor>& SharedValueEditor() const { return FValueEditor; }
    void SetValueEditor(std::shared_ptr<TDSValueEditor> editor) { FValueEditor = std::move(editor); }
    // The caption text that stands before the slot.
    const QString& Text() const { return FText; }
    void SetText(const QString& text) { FText = text; }
    void Assign(const TDSValue& other);

private:
    TFieldType FDataType = ftString;
    TValueKind FDataKind = vkScalar;
    std::shared_ptr<TDSValueEditor> FValueEditor;
    QString FText;
};

class BRINDLE_CORE_EXPORT TDSValueList : public TVxObjectList<TDSValue> {};

// A predefined condition: an SQL text with value slots and a caption with
// one "@" per slot.
class BRINDLE_CORE_EXPORT TDSCondition : public TObject {
public:
    explicit TDSCondition(TVxCustomDBStructure* dbStruct = nullptr) : FDBStruct(dbStruct) {}

    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    void SetDBStruct(TVxCustomDBStructure* dbStruct) { FDBStruct = dbStruct; }
    int ID() const { return FID; }
    void SetID(int id) { FID = id; }
    const QString& SQLExpr() const { return FSQLExpr; }
    // A new text also recomputes the tables it uses.
    void SetSQLExpr(const QString& expr);
    const QString& DisplayFormat() const { return FDisplayFormat; }
    // A new format rebuilds the values: one per "@", each taking the text before it.
    void SetDisplayFormat(const QString& format);
    TDSValueList& Values() { return FValues; }
    const TDSValueList& Values() const { return FValues; }
    TSimpleDSTableList& Tables() { return FTables; }
    const TSimpleDSTableList& Tables() const { return FTables; }
    QString Caption() const;

private:
    TVxCustomDBStructure* FDBStruct;
    int FID = 0;
    QString FSQLExpr;
    QString FDisplayFormat;
    TDSValueList FValues;
    TSimpleDSTableList FTables;
};

// Owns its conditions and hands out identifiers above the highest seen. The
// model's list tells the model's listeners of every condition that leaves it.
class BRINDLE_CORE_EXPORT TDSConditionList : public TVxObjectList<TDSCondition> {
public:
    TVxCustomDBStructure* DBStruct() const { return FDBStruct; }
    void SetDBStruct(TVxCustomDBStructure* model) { FDBStruct = model; }
    int MaxID() const { return FMaxID; }
    int Add(std::unique_ptr<TDSCondition> condition);
    int IndexByID(int id) const;
    TDSCondition* Items(int index) const { return GetItem(index); }
    void Delete(int index);
    void SetItem(int index, std::unique_ptr<TDSCondition> condition);
    std::unique_ptr<TDSCondition> Extract(int index);
    void Clear();

private:
    TVxCustomDBStructure* FDBStruct = nullptr;
    int FMaxID = 0;
};

} // namespace brindle
