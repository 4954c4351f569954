#pragma once
// The statement builder of a query (TQueryResult, the query's QResult): the
// result fields and the tables of the statement, the clauses of the last
// build, the finished statement and the query's parameters. The query owns
// the builder; the builder owns its result field list, result table list,
// parameters and text. Table filters (per-table conditions for hosts that
// filter tables one by one) are kept by the query.

#include <brindle/brindle_core_export.h>
#include <brindle/query/result_fields.h>
#include <brindle/query/words.h>

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

    // The value format with "@v" replaced by the value.
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
};

class BRINDLE_CORE_EXPORT TQueryResult : public TObject {
public:
    explicit TQueryResult(TVxQuery* queryPanel);
    ~TQueryResult() override;

    TVxQuery* QueryPanel() const { return FQueryPanel; }
    TRFieldList& ResultFields() { return FRFields; }
    const TRFieldList& ResultFields() const { return FRFields; }
    void SetResultFields(const TRFieldList& fields) { FRFields.Assign(fields); }
    TRTableList& ResultTables() { return FRTables; }
    const TRTableList& ResultTables() const { return FRTables; }

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
    friend class TVxQuery;

    // Clears the condition's reference to a parameter that is going.
    static void detachFromCondition(TSQLParam* param);

    TRFieldList FRFields;
    TRTableList FRTables;
    TVxQuery* FQueryPanel;
    TStringList FFromClause;
    QString FOrderClause;
    TStringList FWhereClause;
    QString FGroupClause;
    QString FHavingClause;
    bool FWasSQL1Joins = false;
    TSQLOptions FSQLOptions = {soASCIIRFields, soSelectDistinct};
    TSQLSyntax FSQLSyntax = ssSQL2;
    TStringList FSQL;
    int FParentParamCount = 0;
    TSQLParamList FParams;
    // The tables the build in progress needs: a condition's tables join the
    // statement along paths from these. Empty outside a build.
    QList<TDSTable*> FNeededTables;
    // Field expressions as the build in progress writes them, plain [0] and
    // in the filter form [1]: thousands of conditions share a few fields.
    // Empty outside a build.
    QHash<const TDSField*, QString> FFieldExprs[2];
    // Tables the build in progress has joined: the statement's tables only
    // grow while conditions are written, so they need no second look.
    QSet<const TDSTable*> FJoinedTables;
};

} // namespace brindle
