#pragma once
// The query the query benchmarks measure: many simple conditions in nested
// brackets of ten over a model of 50 tables (a chain of links, six columns
// each), with result fields on 10 of them.

#include <brindle/query/query.h>

#include <memory>
#include <vector>

namespace bench {

using namespace brindle;

inline constexpr int kTables = 50;
inline constexpr int kFieldsPerTable = 6;

struct Model {
    TVxDBInfo info;
    TVxDBStructure model;
    std::vector<TDSField*> fields;

    Model()
    {
        info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList& list) {
            list.Add(QStringLiteral("ID"), ftInteger, 4);
            list.Add(QStringLiteral("ParentID"), ftInteger, 4);
            for (int c = 2; c < kFieldsPerTable; ++c)
                list.Add(QStringLiteral("Value%1").arg(c), c % 2 ? ftString : ftInteger, 20);
        };
        model.SetDatabaseInfo(&info);
        model.BeginUpdate();
        for (int t = 0; t < kTables; ++t) {
            TDSTable* table = model.Tables(model.AddTable(QStringLiteral("Table%1").arg(t), QString()));
            table->SetTableAlias(QStringLiteral("t%1").arg(t));
            auto* group = model.FieldGroups().AddGroup(QStringLiteral("Table %1").arg(t), nullptr);
            for (int c = 0; c < kFieldsPerTable; ++c) {
                const QString column = c == 0 ? QStringLiteral("ID") : c == 1 ? QStringLiteral("ParentID")
                                                                              : QStringLiteral("Value%1").arg(c);
                TDSField* field = model.Fields(model.AddField(kfkData, column, QStringLiteral("%1 %2").arg(column).arg(t), table));
                field->AddAppliedOperators();
                group->Add(field);
                if (c >= 2)
                    fields.push_back(field);
            }
            // A tree of links: every table joins the one before it.
            if (t > 0)
                model.AddLinkByExpr(QStringLiteral("Table%1-Table%2:ParentID=ID").arg(t).arg(t - 1));
        }
        model.SetDefaultMainTable(model.Tables(0));
        model.EndUpdate();
    }
};

inline Model& model()
{
    static Model m;
    return m;
}

// Fills the bracket with `count` conditions in nested brackets of ten.
inline void fill(TVxQuery& query, TFilterBracket* bracket, int count, int& next)
{
    if (count <= 10) {
        auto& fields = model().fields;
        for (int i = 0; i < count; ++i, ++next) {
            TDSField* field = fields[static_cast<std::size_t>(next * 7) % fields.size()];
            auto* cond = static_cast<TSimpleCond*>(query.AddCondition(bracket, field));
            cond->SetValue(1, field->FieldType() == ftInteger ? QString::number(next) : QStringLiteral("v%1").arg(next));
        }
        return;
    }
    const int per = (count + 9) / 10;
    for (int done = 0; done < count; done += per)
        fill(query, query.AddBracket(bracket), qMin(per, count - done), next);
}

// An active query over the model, without the option that puts a condition
// into every new bracket.
inline std::unique_ptr<TVxQuery> newQuery()
{
    auto query = std::make_unique<TVxQuery>();
    query->SetAppearanceOptions(query->AppearanceOptions() - TQPAppearanceOptions{aoNonEmptyBrackets});
    query->SetDbStruct(&model().model);
    query->SetActive(true);
    return query;
}

inline std::unique_ptr<TVxQuery> makeQuery(int conditions)
{
    auto query = newQuery();
    for (int t = 0; t < 10; ++t)
        query->QResult()->ResultFields().Add(QStringLiteral("@1"), {model().fields[static_cast<std::size_t>(t * 5 * (kFieldsPerTable - 2))]},
                                             QStringLiteral("Column %1").arg(t));
    int next = 0;
    fill(*query, query->Filter(), conditions, next);
    return query;
}

} // namespace bench
