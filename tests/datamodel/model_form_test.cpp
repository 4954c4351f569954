#include "datamodel/db_structure.h"
#include "datamodel/form_classes.h"

#include <gtest/gtest.h>

using namespace brindle;

namespace {

// Settings the model hands to its database info after a form is read.
class SettingsInfo : public TVxDBInfo {
    Q_OBJECT

public:
    using TVxDBInfo::TVxDBInfo;
    void LoadInfo(TStringList& info) override { Received.Assign(info); }
    void SaveInfo(TStringList& info) override { info.Add("driver=QSQLITE"); }
    TStringList Received;
};

// Records what it sees when the form reader calls it.
class Probe : public QObject, public IFormComponent {
    Q_OBJECT
    Q_PROPERTY(brindle::TVxDBStructure* Model READ Model WRITE SetModel)

public:
    using QObject::QObject;
    static QStringList Log;
    TVxDBStructure* Model() const { return FModel; }
    void SetModel(TVxDBStructure* model) { FModel = model; }
    void BeginLoading() override { Log << objectName() + " begins"; }
    void Loaded() override
    {
        Log << objectName() + " loaded, model " + (FModel ? FModel->objectName() : "none") + " holds "
                   + QString::number(FModel ? FModel->TableCount() : -1) + " tables";
    }

private:
    TVxDBStructure* FModel = nullptr;
};

QStringList Probe::Log;

TStringList formText(const QString& text)
{
    TStringList lines;
    lines.SetText(text);
    return lines;
}

} // namespace

class ModelForm : public ::testing::Test {
protected:
    void SetUp() override { RegisterCoreFormClasses(); }
};

TEST_F(ModelForm, RoundTripKeepsPropertiesTheModelAndItsReferences)
{
    QObject form;
    auto* info = new TVxDBInfo(&form);
    info->setObjectName("Info");
    info->SetTableNameFormat("OWNER.TABLE");
    auto* model = new TVxDBStructure(&form);
    model->setObjectName("Model");
    model->SQLFormats()->SetDate("yyyy-mm-dd");
    model->SQLFormats()->SetQuoteSymbol1(u'[');
    model->SetAutoAddFields(false);
    model->SetExOperators({xoInList, xoContains});
    model->AddTable("Orders", "All \"orders\"\nof the year");
    model->SetDatabaseInfo(info);

    TStringList text;
    WriteForm("MainForm", {info, model}, text);
    EXPECT_TRUE(text.Lines().contains("    SQLFormats.Date = \"yyyy-mm-dd\""));
    EXPECT_TRUE(text.Lines().contains("    DatabaseInfo = @Info"));
    EXPECT_TRUE(text.Lines().contains("    ExOperators = [\"xoInList\", \"xoContains\"]"));
    EXPECT_TRUE(text.Lines().contains("    data Struct"));

    QObject owner;
    const QList<QObject*> read = ReadForm(text, &owner);
    ASSERT_EQ(read.size(), 2);
    auto* readModel = qobject_cast<TVxDBStructure*>(read[1]);
    ASSERT_NE(readModel, nullptr);
    EXPECT_EQ(readModel->objectName(), "Model");
    EXPECT_EQ(readModel->DatabaseInfo(), read[0]);
    EXPECT_EQ(readModel->SQLFormats()->Date(), "yyyy-mm-dd");
    EXPECT_EQ(readModel->SQLFormats()->QuoteSymbol1(), u'[');
    EXPECT_FALSE(readModel->AutoAddFields());
    EXPECT_FALSE(readModel->Loading());
    EXPECT_TRUE(readModel->StructureLoaded());
    EXPECT_EQ(readModel->StructString(), model->StructString());
    EXPECT_EQ(readModel->OperatCount(), 11); // between and starts-with are off
    EXPECT_EQ(qobject_cast<TVxDBInfo*>(read[0])->TableNameFormat(), "OWNER.TABLE");

    TStringList again;
    WriteForm("MainForm", read, again);
    EXPECT_EQ(again, text);
}

TEST_F(ModelForm, SettingsReachTheInfoOnlyAfterLoading)
{
    TFormClasses::Register<SettingsInfo>("SettingsInfo");
    QObject form;
    auto* info = new SettingsInfo(&form);
    info->setObjectName("Info");
    auto* model = new TVxDBStructure(&form);
    model->setObjectName("Model");
    model->SetDatabaseInfo(info);
    TStringList text;
    WriteForm("F", {model, info}, text); // the reference points forward

    QObject owner;
    const QList<QObject*> read = ReadForm(text, &owner);
    auto* readInfo = static_cast<SettingsInfo*>(read[1]);
    EXPECT_EQ(readInfo->Received.Lines(), QStringList({"driver=QSQLITE"}));
    EXPECT_TRUE(static_cast<TVxDBStructure*>(read[0])->SpecInfo().IsEmpty());
}

TEST_F(ModelForm, LoadedRunsInFileOrderOnceEveryReferenceIsResolved)
{
    TFormClasses::Register<Probe>("Probe");
    QObject form;
    auto* first = new Probe(&form);
    first->setObjectName("First");
    auto* model = new TVxDBStructure(&form);
    model->setObjectName("Model");
    model->AddTable("Orders", "");
    auto* last = new Probe(&form);
    last->setObjectName("Last");
    first->SetModel(model);
    last->SetModel(model);
    TStringList text;
    WriteForm("F", {first, model, last}, text);

    Probe::Log.clear();
    QObject owner;
    ReadForm(text, &owner);
    // The first probe refers forward to the model: resolved before any
    // Loaded, and the model's text is loaded by its own Loaded, in order.
    EXPECT_EQ(Probe::Log, QStringList({"First begins", "Last begins",
                                       "First loaded, model Model holds 0 tables",
                                       "Last loaded, model Model holds 1 tables"}));
}

TEST_F(ModelForm, WithoutStoreStructTheModelTextIsNotKept)
{
    QObject form;
    auto* model = new TVxDBStructure(&form);
    model->setObjectName("Model");
    model->SetStoreStruct(false);
    model->AddTable("Orders", "");
    TStringList text;
    WriteForm("F", {model}, text);
    EXPECT_FALSE(text.Lines().contains("    data Struct"));
    QObject owner;
    auto* read = static_cast<TVxDBStructure*>(ReadForm(text, &owner)[0]);
    EXPECT_EQ(read->TableCount(), 0);
    EXPECT_EQ(read->OperatCount(), 15);
}

TEST_F(ModelForm, MalformedFormsNameTheLineAndLeaveNothingBehind)
{
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
        try {
            ReadForm(formText(c.text), &owner);
            ADD_FAILURE() << "no error for " << c.text.toStdString();
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message(), c.message);
        }
        EXPECT_TRUE(owner.children().isEmpty()) << c.text.toStdString();
    }
}

#include "model_form_test.moc"
