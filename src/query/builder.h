#pragma once
// The query's result (TQueryResult, the query's QResult): the result
// fields, the statement of the last build (its tables and clauses, handed
// over whole by the query's statement builder), the finished statement text
// and the query's parameters. The query owns the result; the result owns its
// result field list, the statement, the parameters and the text. Table
// filters (per-table conditions for hosts that filter tables one by one)
// are kept by the query.

#include <brindle/brindle_core_export.h>
#include <brindle/query/result_fields.h>
#include <brindle/query/words.h>

#include <optional>

namespace brindle {

class TFilterCond;
class TVxQuery;

// A parameter: a value of a condition that the statement names as
// ":Param<n>" and the host binds when it runs the statement.
class BRINDLE_CORE_EXPORT TSQLParam : public TObject {
public:
    TSQLParam(TFilterCond* condition, int valueIndex);

    const QString& ParamName() const { return FParamName; }
    void SetParamName(const QString& name) { FParamName = name; }
    const QString& DisplayName() const { return FDisplayName; }
    // Also the caption of the condition's value word for this index.
    void SetDisplayName(const QString& name);
    TFieldType ParamType() const { return FParamType; }
    void SetParamType(TFieldType type) { FParamType = type; }
    const QString& Value() const { return FValue; }
    void SetValue(const QString& value) { FValue = value; }
    TFilterCond* Condition() const { return FCondition; }
    // The value as written around the parameter, "@v" for the value.
    const QString& ValueFormat() const { return FValueFormat; }
    void SetValueFormat(const QString& format) { FValueFormat = format; }
    int ValueIndex() const { return FValueIndex; }
    // Set by a build where the parameter stands in a LIKE pattern of a
    // server syntax, whose statement names the escape character: the value
    // is escaped so that its pattern characters match themselves.
    std::optional<TSQLSyntax> EscapedLike() const { return FEscapedLike; }
    void SetEscapedLike(std::optional<TSQLSyntax> syntax) { FEscapedLike = syntax; }

    // The value format with "@v" replaced by the value (escaped, as above).
    QString GetFullValue() const;
    // The condition's value word for this parameter's index, not initialised.
    std::unique_ptr<TQueryWord> CreateValueLabel(std::unique_ptr<TQueryWord> old) const;

private:
    QString FParamName;
    QString FDisplayName;
    TFieldType FParamType = ftUnknown;
    QString FValue;
    TFilterCond* FCondition;
    QString FValueFormat = QStringLiteral("@v");
    int FValueIndex;
    std::optional<TSQLSyntax> FEscapedLike;
};

class BRINDLE_CORE_EXPORT TSQLParamList : public TVxObjectList<TSQLParam> {
public:
    int IndexByName(const QString& name) const;
    int IndexByCondition(const TFilterCond* condition, int valueIndex) const;
    void DeleteByCondition(const TFilterCond* condition);
    // Renames the parameters "Param<start>", "Param<start+1>", ... in order.
    void Reindex(int start);
};

// The conditions of one table, for hosts that filter tables one by one.
class BRINDLE_CORE_EXPORT TVxTableFilter : public TObject {
public:
    const QString& Filter() const { return FFilter; }
    void SetFilter(const QString& filter) { FFilter = filter; }
    TDSTable* Table() const { return FTable; }
    void SetTable(TDSTable* table) { FTable = table; }

private:
    QString FFilter;
    TDSTable* FTable = nullptr;
};

class BRINDLE_CORE_EXPORT TVxTableFilterList : public TVxObjectList<TVxTableFilter> {
public:
    TVxTableFilter* FindByTable(const TDSTable* table) const;
    TVxTableFilter* FindByTableName(const QString& name) const;
    // Joins the text to the table's filter with AND, making the filter when
    // the table has none.
    void AddCondition(TDSTable* table, const QString& text);
};

// What one build of a query produced: the statement's tables, each after
// the table its link reaches, and its clauses without their keywords.
// TQueryResult assembles them into the statement.
struct BuiltStatement {
    TRTableList Tables;
    TStringList WhereClause;
    QString OrderClause;
    QString GroupClause;
    QString HavingClause;
};

class BRINDLE_CORE_EXPORT TQueryResult : public TObject {
public:
    explicit TQueryResult(TVxQuery* queryPanel);
    ~TQueryResult() override;

    TVxQuery* QueryPanel() const { return FQueryPanel; }
    TRFieldList& ResultFields() { return FRFields; }
    const TRFieldList& ResultFields() const { return FRFields; }
    void SetResultFields(const TRFieldList& fields) { FRFields.Assign(fields); }
    TRTableList& ResultTables() { return FStatement.Tables; }
    const TRTableList& ResultTables() const { return FStatement.Tables; }
    // Replaces the statement of the last build; GetSQL assembles it.
    void SetStatement(BuiltStatement statement);
    // Hands the statement over and keeps an empty one, for writing more
    // conditions into it.
    BuiltStatement TakeStatement();

    TSQLOptions SQLOptions() const { return FSQLOptions; }
    // Also makes generated aliases ASCII when soASCIIRFields is set.
    void SetSQLOptions(TSQLOptions options);
    TSQLSyntax SQLSyntax() const { return FSQLSyntax; }
    void SetSQLSyntax(TSQLSyntax syntax) { FSQLSyntax = syntax; }
    // Binds the result fields to the query's current data model.
    void DbStructChanged();

    // The statement of the last build.
    const TStringList& GetSQL();
    QString GetSelectClause();
    // Raises code 8 when no build produced tables.
    const TStringList& GetFromClause();
    void GetJoinConditions(QString& text);
    void GetResFieldCaptions(TStringList& strings) const;

    // Clause collection, called while the condition tree is written.
    QString AdjustCondition(const QString& text) const;
    void AddCondition(const QString& text);
    void AddHavingCondition(const QString& text);
    void AddTableFilterCondition(TDSTable* table, const QString& text);
    bool AddSQL1Joins(TStringList& lines) const;
    void BuildTableJoins(TResultTable* entry, const QString& indent, QString& text, bool withTable);

    // Parameters.
    TSQLParam* AddParameter(TFilterCond* condition, int valueIndex);
    void DeleteParameter(TSQLParam* param);
    void DeleteParameters(TFilterCond* condition);
    void ClearParams();
    TSQLParam* FindParameter(const QString& name) const;
    TSQLParam* FindParameterByCondition(const TFilterCond* condition, int valueIndex) const;
    void GenerateParamDisplayName(TSQLParam* param, int valueIndex);
    TSQLParam* GetParam(int index) const { return FParams.GetItem(index); }
    int GetParamCount() const { return FParams.Count(); }
    int ParentParamCount() const { return FParentParamCount; }
    void SetParentParamCount(int count) { FParentParamCount = count; }

private:
    // The row limit a server syntax writes: the limit clause, else the top.
    QString rowLimit() const;
    // Clears the condition's reference to a parameter that is going.
    static void detachFromCondition(TSQLParam* param);

    TRFieldList FRFields;
    TVxQuery* FQueryPanel;
    BuiltStatement FStatement;
    TStringList FFromClause;
    bool FWasSQL1Joins = false;
    TSQLOptions FSQLOptions = {soASCIIRFields, soSelectDistinct};
    TSQLSyntax FSQLSyntax = ssSQL2;
    TStringList FSQL;
    int FParentParamCount = 0;
    TSQLParamList FParams;
};

} // namespace brindle
