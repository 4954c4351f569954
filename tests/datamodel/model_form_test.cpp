// Models in forms: what the form keeps and malformed forms.

#include "datamodel/model_fixtures.h"

#include <brindle/datamodel/form_classes.h>

using namespace brindle;
using namespace brindle::testing;

namespace {

// A component of the form, named.
template <typename T>
T* Named(QObject& form, const char* name)
{
    auto* component = new T(&form);
    component->setObjectName(name);
    return component;
}

} // namespace

class ModelForm : public ::testing::Test {
protected:
    void SetUp() override { RegisterCoreFormClasses(); }
};

TEST_F(ModelForm, RoundTripAndMalformedForms)
{
    QObject form;
    auto* info = Named<TVxDBInfo>(form, "Info");
    info->SetTableNameFormat("OWNER.TABLE");
    auto* model = Named<TVxDBStructure>(form, "Model");
    model->SQLFormats()->SetDate("yyyy-mm-dd");
    model->SQLFormats()->SetQuoteSymbol1(u'[');
    model->SetAutoAddFields(false);
    model->SetExOperators({xoInList, xoContains});
    model->AddTable("Orders", "All \"orders\"\nof the year");
    model->SetDatabaseInfo(info);

    TStringList text;
    WriteForm("MainForm", {info, model}, text);
    for (const char* line : {"    TableNameFormat = \"OWNER.TABLE\"", "    SQLFormats.Date = \"yyyy-mm-dd\"",
                             "    SQLFormats.QuoteSymbol1 = \"[\"", "    DatabaseInfo = @Info",
                             "    AutoAddFields = false", "    ExOperators = [\"xoInList\", \"xoContains\"]",
                             "    data Struct"})
        EXPECT_TRUE(text.Lines().contains(line)) << line;

    QObject owner;
    const QList<QObject*> read = ReadForm(text, &owner);
    ASSERT_EQ(read.size(), 2);
    auto* readModel = qobject_cast<TVxDBStructure*>(read[1]);
    ASSERT_NE(readModel, nullptr);
    EXPECT_TRUE(readModel->DatabaseInfo() == read[0] && !readModel->Loading() && readModel->StructureLoaded());
    EXPECT_EQ(readModel->StructString(), model->StructString());
    // Written again the same, so every property was read.
    TStringList again;
    WriteForm("MainForm", read, again);
    EXPECT_EQ(again, text);

    // Without StoreStruct the model text stays out; the catalogue follows ExOperators.
    model->SetStoreStruct(false);
    WriteForm("F", {info, model}, text);
    EXPECT_FALSE(text.Lines().contains("    data Struct"));
    auto* bare = static_cast<TVxDBStructure*>(ReadForm(text, &owner)[1]);
    EXPECT_TRUE(bare->TableCount() == 0 && bare->OperatCount() == 11); // between and starts-with are off

    // A comma may end a list of texts (never a set of names).
    text.SetString(text.IndexOf("    ExOperators = [\"xoInList\", \"xoContains\"]"),
                   "    ExOperators = [ \"xoContains\" , ]");
    EXPECT_EQ(static_cast<TVxDBStructure*>(ReadForm(text, &owner)[1])->ExOperators(), TExOperators({xoContains}));

    struct Case {
        QString text;
        QString message;
    };
    const Case cases[] = {
        {"component A: TVxDBStructure", "Form line 1: a form must begin with \"form\""},
        {"form F\n  component A: Nothing\n  end\nend", "Form line 2: unknown class Nothing"},
        {"form F\n  component A: TVxDBStructure\n    Missing = 1\n  end\nend",
         "Form line 3: brindle::TVxDBStructure has no property Missing"},
        {"form F\n  component A: TVxDBStructure\n    StoreStruct = maybe\n  end\nend",
         "Form line 3: true or false expected"},
        {"form F\n  component A: TVxDBStructure\n    ExOperators = \"xoInList\"\n  end\nend",
         "Form line 3: a list in square brackets expected"},
        {"form F\n  component A: TVxDBStructure\n    ExOperators = [xoInList]\n  end\nend",
         "Form line 3: a text in double quotes expected"},
        {"form F\n  component A: TVxDBStructure\n    ExOperators = [\"xoInList\" \"xoContains\"]\n  end\nend",
         "Form line 3: a comma between list items expected"},
        {"form F\n  component A: TVxDBStructure\n    HelpFileName = \"open\n  end\nend",
         "Form line 3: a text without its closing quote"},
        {"form F\n  component A: TVxDBStructure\n    DatabaseInfo = @Nobody\n  end\nend",
         "Form line 3: no component named Nobody"},
        {"form F\n  component A: TVxDBStructure\n  end\n  component B: TVxDBStructure\n"
         "    DatabaseInfo = @A\n  end\nend",
         "Form line 5: A is not a brindle::TVxDBInfo"},
        {"form F\n  component A: TVxDBStructure\n    data Struct\n      x\n    end\n  end\nend",
         "Form line 4: a data line must start with |"},
        {"form F\n  component A: TVxDBStructure\n    data Nope\n", "Form line 3: TVxDBStructure has no data Nope"},
        {"form F\n  component A: TVxDBStructure\n  end\n  component A: TVxDBInfo\n  end\nend",
         "Form line 4: the name A is used twice"},
        {"form F\n  component A: TVxDBStructure\n  end", "Form line 3: the form ends before its \"end\""},
        {"form F\n  component A: TVxDBStructure\n    data Struct\n      | [Main]\n      | Version=3.6\n"
         "      | TableCount=1\n      | [Table:1]\n      | Name=A\n      | Links=B\n    end\n  end\nend",
         "Can not find section Link:A-B"},
    };
    for (const Case& c : cases) {
        QObject owner;
        EXPECT_EQ(ErrorMessage([&] { ReadForm(TextLines(c.text), &owner); }), c.message) << c.text;
        EXPECT_TRUE(owner.children().isEmpty()) << c.text;
    }
}

