// The direct copy of a model gives what its text read back gives: the same
// text, and the same state the text leaves out but reading works out.

#include "datamodel/model_fixtures.h"

#include "../../bench/schema_model.h"

#include <QDir>

#include <functional>

using namespace brindle;
using namespace brindle::testing;

namespace {

// What reading sets beyond the text: the tables and columns found in
// expressions, whether a field is offered in conditions, and the
// formatted-value flag the text drops with a blank mask.
QStringList derivedState(TVxCustomDBStructure& m)
{
    QStringList lines;
    for (int i = 0; i < m.FieldCount(); ++i) {
        const TDSField* f = m.Fields(i);
        lines.append(QStringLiteral("%1 %2 [%3] [%4] %5")
                         .arg(f->ID())
                         .arg(f->Tables().CommaText(), f->DBFields().CommaText(), f->GetOperatorNames())
                         .arg(f->UseInConditions()));
        if (f->EditType() == etEdit)
            lines.append(QString::number(static_cast<const TDSTextEditor*>(f->ValueEditor())->UseFormattedValue));
    }
    for (const auto& c : m.Conditions())
        lines.append(c->Tables().CommaText());
    for (int i = 0; i < m.TableCount(); ++i)
        lines.append(m.Tables(i)->LinksStr() + u' ' + m.Tables(i)->DatabaseName());
    lines.append(m.DefaultMainTable() ? m.DefaultMainTable()->TableAlias() : QStringLiteral("-"));
    lines.append(m.SpecInfo().Lines());
    return lines;
}

struct Source {
    const char* name;
    std::function<void(TVxDBStructure& m, FakeDBInfo& info)> fill;
};

void addTables(TVxDBStructure& m, FakeDBInfo& info)
{
    info.connected = false;
    m.SetDatabaseInfo(&info);
    m.AddTable("Orders", "Orders");
    m.AddTable("Customers", "Customers");
    m.AddLinkByExpr("Orders-Customers:CustID=ID");
}

// Models whose text reads back as it was written and models it does not:
// the copy follows the reader either way.
const Source kSources[] = {
    {"rich",
     [](TVxDBStructure& m, FakeDBInfo& info) {
         info.connected = false;
         fillRichModel(m, info);
     }},
    {"edges",
     [](TVxDBStructure& m, FakeDBInfo& info) {
         info.connected = false;
         fillRichModel(m, info);
         TDSTable* orders = m.Tables(0);
         // Two tables of one name: the default main table is the first.
         m.Tables(m.AddTable("Customers", "Again"))->SetTableAlias("c2");
         m.SetDefaultMainTable(m.Tables(2));
         TDSField* none = m.Fields(m.AddField(kfkData, "ID", "No operators", orders));
         none->ClearOperators();
         // In conditions without operators, and none applies to its type.
         TDSField* untyped = m.Fields(m.AddField(kfkData, "ID", "Untyped", orders));
         untyped->ClearOperators();
         untyped->SetFieldType(ftUnknown);
         TDSField* own = m.Fields(m.AddField(kfkData, "ID", "Own operators", orders));
         own->ClearOperators();
         own->AddOperatorByName("IsNull");
         own->AddOperatorByName("Equal");
         TDSField* twoTables = m.Fields(m.AddField(kfkData, "ID", "Two tables", orders));
         twoTables->Tables().Add(m.Tables(1));
         TDSField* stale = m.Fields(m.AddField(kfkVirtual, "c2.ID + o.ID", "Stale tables", nullptr));
         stale->Tables().Clear();
         stale->SetQuoted(true);
         stale->SetIsAggregate(true);
         TDSField* mask = m.Fields(m.AddField(kfkData, "ID", "Blank mask", orders));
         mask->SetEditType(etEdit);
         auto* text = static_cast<TDSTextEditor*>(mask->ValueEditor());
         text->EditMask = "  ";
         text->UseFormattedValue = true;
         text->ValueType = 9;
         TDSField* sql = m.Fields(m.AddField(kfkData, "ID", "Blank SQL lines", orders));
         sql->SetEditType(etSQL);
         static_cast<TDSSQLEditor*>(sql->ValueEditor())->SQL.SetText("select 1\n\n  \n");
         static_cast<TDSSQLEditor*>(sql->ValueEditor())->SetSQLParams(TStringList({"a=1"}));
         m.Fields(0)->SetUserData("host's own");
         m.Conditions()[0]->Values()[0]->SetValueEditor(std::make_shared<TDSTextEditor>());
         m.Conditions()[0]->Values()[1]->SetDataKind(vkList);
         TAppliedTypes strings;
         strings.Include(ftString);
         m.AddOperator("Custom", "custom", "%s ~ @1", "", strings);
         m.SetCaseInsensitiveLike(true);
         m.FieldGroups().AddGroup("Empty", nullptr);
         info.saved = TStringList({"server=x", "", " "});
         m.DMOptions()->SetStoreDBInfo(true);
     }},
    {"shared aliases",
     [](TVxDBStructure& m, FakeDBInfo& info) {
         addTables(m, info);
         m.Tables(1)->SetTableAlias("ORDERS");
         m.AddField(kfkData, "ID", "ID", m.Tables(1));
     }},
    {"shared IDs",
     [](TVxDBStructure& m, FakeDBInfo& info) {
         addTables(m, info);
         m.AddField(kfkData, "ID", "a", m.Tables(0));
         m.Fields(m.AddField(kfkData, "ID", "b", m.Tables(1)))->SetID(1);
         m.FieldGroups().AddGroup("g", m.Fields(1));
     }},
    {"alias with a dash and blanks in names",
     [](TVxDBStructure& m, FakeDBInfo& info) {
         addTables(m, info);
         m.Tables(1)->SetTableAlias("c-x");
         m.OperatorByName("Equal")->SetName("Equal to");
         m.Fields(m.AddField(kfkVirtual, "1", "v", nullptr))->AddAppliedOperators();
     }},
    {"old operator name",
     [](TVxDBStructure& m, FakeDBInfo& info) {
         addTables(m, info);
         m.OperatorByName("Equal")->SetName("EqualTo");
         m.Fields(m.AddField(kfkData, "ID", "ID", m.Tables(0)))->AddAppliedOperators();
     }},
    {"SQL line like a header",
     [](TVxDBStructure& m, FakeDBInfo& info) {
         addTables(m, info);
         TDSField* f = m.Fields(m.AddField(kfkData, "ID", "ID", m.Tables(0)));
         f->SetEditType(etSQL);
         static_cast<TDSSQLEditor*>(f->ValueEditor())->SQL.SetText("select 1\n[Field:9]\nID=3");
     }},
};

// The copy and the text's copy into targets set up alike: the target's
// database settings decide what it takes.
void expectSameAsText(const TVxCustomDBStructure& source, const QString& what)
{
    for (const bool storeDBInfo : {false, true}) {
        FakeDBInfo info;
        info.connected = true;
        TVxDBStructure direct, viaText;
        for (TVxDBStructure* target : {&direct, &viaText}) {
            target->DMOptions()->SetStoreDBInfo(storeDBInfo);
            target->SetDatabaseInfo(&info);
        }
        TStringList text, copied, read;
        source.SaveToStrings(text);
        bool textReads = true;
        try {
            viaText.LoadFromStrings(text);
        } catch (const Exception&) {
            textReads = false;
        }
        if (!textReads) {
            EXPECT_THROW(source.CopyContentTo(direct), Exception) << what;
            continue;
        }
        source.CopyContentTo(direct);
        direct.SaveToStrings(copied);
        viaText.SaveToStrings(read);
        EXPECT_EQ(copied.Lines(), read.Lines()) << what << " storeDBInfo " << storeDBInfo;
        EXPECT_EQ(derivedState(direct), derivedState(viaText)) << what << " storeDBInfo " << storeDBInfo;
    }
}

} // namespace

TEST(ModelCopy, GivesWhatTheTextReadBackGives)
{
    for (const Source& s : kSources) {
        FakeDBInfo info;
        TVxDBStructure m;
        s.fill(m, info);
        expectSameAsText(m, s.name);
    }
    const bench::SchemaModel schema(0.02);
    expectSameAsText(schema.model, "schema");
    TVxDBStructure sample;
    sample.LoadFromFile(BRINDLE_SAMPLE_MODEL);
    expectSameAsText(sample, "sample");
    const QDir corpus(BRINDLE_MODEL_TEXT_CORPUS);
    const QStringList files = corpus.entryList(QDir::Files);
    ASSERT_FALSE(files.isEmpty());
    for (const QString& file : files) {
        TVxDBStructure m;
        try {
            m.LoadFromFile(corpus.filePath(file));
        } catch (const Exception&) {
            continue;
        }
        expectSameAsText(m, file);
    }
}
