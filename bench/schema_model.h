#pragma once
// A schema of real size, for the benchmarks of the model formats: 2,000
// tables of ten columns (20,000 fields with their operators), 3,000 links
// between random tables, 200 named groups and 100 conditions, all scaled by
// the given factor.

#include <brindle/datamodel/db_structure.h>

#include <memory>
#include <random>

namespace bench {

using namespace brindle;

struct SchemaModel {
    TVxDBInfo info;
    TVxDBStructure model;

    explicit SchemaModel(double scale)
    {
        const int tables = static_cast<int>(2000 * scale);
        const int links = static_cast<int>(3000 * scale);
        const int groups = static_cast<int>(200 * scale);
        const int conditions = static_cast<int>(100 * scale);
        info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList& fields) {
            for (int c = 0; c < 10; ++c)
                fields.Add(QStringLiteral("Column%1").arg(c), c % 3 ? ftInteger : ftString, 20);
        };
        model.SetDatabaseInfo(&info);
        model.BeginUpdate();
        std::mt19937 rng(7);
        for (int t = 0; t < tables; ++t) {
            TDSTable* table = model.Tables(model.AddTable(QStringLiteral("Table%1").arg(t), QStringLiteral("Table %1").arg(t)));
            table->SetTableAlias(QStringLiteral("t%1").arg(t));
            for (int c = 0; c < 10; ++c) {
                TDSField* field = model.Fields(model.AddField(kfkData, QStringLiteral("Column%1").arg(c),
                                                              QStringLiteral("Column %1 of %2").arg(c).arg(t), table));
                field->AddAppliedOperators();
            }
        }
        for (int l = 0; l < links; ++l)
            model.AddLinkByExpr(QStringLiteral("Table%1-Table%2:Column1=Column2")
                                    .arg(rng() % tables)
                                    .arg(rng() % tables));
        for (int g = 0; g < groups; ++g) {
            TDSFieldGroup* group = model.FieldGroups().AddGroup(QStringLiteral("Group %1").arg(g), nullptr);
            for (int f = g; f < model.FieldCount(); f += groups * 2)
                group->Add(model.Fields(f));
        }
        for (int c = 0; c < conditions; ++c) {
            auto condition = std::make_unique<TDSCondition>(&model);
            condition->SetDisplayFormat(QStringLiteral("column 1 of table %1 above @").arg(c));
            condition->SetSQLExpr(QStringLiteral("t%1.Column1 > @1").arg(c));
            model.Conditions().Add(std::move(condition));
        }
        model.EndUpdate();
    }
};

} // namespace bench
