#pragma once
// Helpers the data model tests share: a database info whose answers the test
// sets and whose calls and settings it records, and a check for the model's
// coded errors.

#include <brindle/datamodel/db_structure.h>

#include <QHash>

#include <gtest/gtest.h>

#include <ostream>

inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& os, const QString& text) { return os << text.toStdString(); }

namespace brindle::testing {

struct Column {
    QString name;
    TFieldType type;
    int size;
};

class FakeDBInfo : public TVxDBInfo {
public:
    bool connected = true, failLoad = false;
    QHash<QString, QList<Column>> columns;
    TStringList saved, loaded; // the settings SaveInfo gives and LoadInfo got
    int fieldsCalls = 0, loads = 0;

    bool GetConnected() override { return connected; }
    void FieldsByTable(const QString& table, TDBFieldList& fields) override
    {
        ++fieldsCalls;
        for (const Column& c : columns.value(table))
            fields.Add(c.name, c.type, c.size);
    }
    void SaveInfo(TStringList& info) override { info.Assign(saved); }
    void LoadInfo(TStringList& info) override
    {
        ++loads;
        loaded.AddStrings(info);
        if (failLoad)
            throw Exception(QStringLiteral("bad settings"));
    }
};

inline TStringList TextLines(const QString& text)
{
    TStringList lines;
    lines.SetText(text);
    return lines;
}

// The message of the E the call raises; a failure when it raises none.
template <typename E = Exception, typename Call>
QString ErrorMessage(Call&& call)
{
    try {
        call();
    } catch (const E& e) {
        return e.Message();
    }
    ADD_FAILURE() << "no exception";
    return {};
}

// Runs the call and checks that it raises the model's error with the code and message.
template <typename Call>
void ExpectDBStructError(Call&& call, int code, const QString& message)
{
    try {
        call();
        ADD_FAILURE() << "expected EVxDBStructError " << code;
    } catch (const EVxDBStructError& e) {
        EXPECT_EQ(e.ErrorCode(), code);
        EXPECT_EQ(e.Message(), message);
    }
}

inline TDSTable* AddTable(TVxCustomDBStructure& model, const QString& name, const QString& alias = {})
{
    TDSTable* table = model.Tables(model.AddTable(name, name));
    if (!alias.isEmpty())
        table->SetTableAlias(alias);
    return table;
}

inline TDSLink* AddLink(TVxCustomDBStructure& model, TDSTable* table1, TDSTable* table2)
{
    auto link = std::make_unique<TDSLink>();
    link->SetTable1(table1);
    link->SetTable2(table2);
    return model.Links(model.AddLinkByRef(std::move(link)));
}

inline TDSField* AddVirtual(TVxCustomDBStructure& model, const QString& expr, const QString& caption = {})
{
    return model.Fields(model.AddField(kfkVirtual, expr, caption.isEmpty() ? expr : caption, nullptr));
}

} // namespace brindle::testing
