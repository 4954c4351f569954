// RunDalwick with the project's wizard library: the whole callback table,
// errors inside callbacks, errors of the run itself, and, in child processes
// that see other folders, a missing library and missing entry points.

#include "datamodel/model_fixtures.h"
#include "wizard/test_wizard.h"

#include <QProcess>

#include <dlfcn.h>

using namespace brindle;
using namespace brindle::testing;

namespace {

const QString kNoInfo = QStringLiteral("Exception exception: DatabaseInfo property is not specified");

class WizardLibrary : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A handle of the test's own keeps the wizard and its state loaded
        // while the runs release theirs.
        wizard = dlopen("libDalwick.so", RTLD_NOW);
        ASSERT_TRUE(wizard) << "LD_LIBRARY_PATH must hold " BRINDLE_WIZARD_ROOT "/full";
        reset = reinterpret_cast<DalwickTestResetProc>(dlsym(wizard, "dalwick_test_reset"));
        wizardLog = reinterpret_cast<DalwickTestLogProc>(dlsym(wizard, "dalwick_test_log"));
        tablesAnswer = reinterpret_cast<DalwickTestTablesAnswerProc>(dlsym(wizard, "dalwick_test_tables_answer"));
        reset(DalwickCallEverything);
        previousHandler = TVxCustomDBStructure::SetWizardErrorHandler(
            [this](const QString& caption, const QString& text) { reports.append(caption + ": " + text); });

        AddTable(model, "Orders", "Ord");
        AddTable(model, "Customers", "Cust");
        model.SetDatabaseInfo(&info);
        info.SetCurrentDbName(QString::fromUtf8("Ärger \U0001D507"));
        info.OnDBNamesRequest = [](TVxDBInfo*, TStringList& list) { list.AddStrings(QStringList{"Main", "Zürich"}); };
        info.OnTablesRequest = [](TVxDBInfo*, TStringList& list) { list.AddStrings(QStringList{"Orders", "Customers"}); };
        info.OnLinksRequest = [](TVxDBInfo*, TStringList& list) { list.Add("Orders-Customers:CustID=ID"); };
        info.OnFieldsRequest = [](TVxDBInfo*, const QString& table, TDBFieldList& fields) {
            fields.Add("ID", ftInteger, 0);
            fields.Add("Name", ftString, 40);
            if (table == "Orders")
                fields.Add("Order Date", ftDate, 0);
        };
    }
    void TearDown() override
    {
        TVxCustomDBStructure::SetWizardErrorHandler(previousHandler);
        if (wizard)
            dlclose(wizard);
    }

    QStringList log() const { return QString::fromUtf16(wizardLog()).split('\n', Qt::SkipEmptyParts); }
    // Outside a run the callbacks reach no model.
    void expectReferenceCleared()
    {
        reports.clear();
        EXPECT_FALSE(tablesAnswer());
        EXPECT_EQ(reports, QStringList{kNoInfo});
    }

    void* wizard = nullptr;
    DalwickTestResetProc reset = nullptr;
    DalwickTestLogProc wizardLog = nullptr;
    DalwickTestTablesAnswerProc tablesAnswer = nullptr;
    TVxCustomDBStructure::WizardErrorHandler previousHandler;
    QStringList reports;
    TVxDBInfo info;
    TVxDBStructure model;
};

TEST_F(WizardLibrary, EveryCallbackAnswersOrReportsItsError)
{
    TStringList lines;
    model.SaveToStrings(lines);
    const QString structure = QStringLiteral("structure %1 lines").arg(lines.Count());
    EXPECT_TRUE(model.RunDalwick());
    EXPECT_EQ(log(), (QStringList{"init", structure, "databases Main,Zürich",
                                  QString::fromUtf8("current Ärger \U0001D507"), "current Zürich",
                                  "tables Orders,Customers", "fields Orders 3", "fields Customers 2",
                                  "links Orders-Customers:CustID=ID", "connected 1", "run", "done"}));
    ASSERT_EQ(model.TableCount(), 2);
    EXPECT_EQ(QStringList({info.CurrentDBName(), model.Tables(0)->DisplayName(), model.Tables(1)->DisplayName(),
                           model.Tables(1)->DatabaseName()}),
              QStringList({"Zürich", "Orders (3 fields)", "Customers (2 fields)", "Zürich"}));
    EXPECT_TRUE(reports.isEmpty());
    expectReferenceCleared();

    // Errors inside guarded callbacks are reported, and they answer nothing.
    reset(DalwickCallEverything);
    reports.clear();
    info.OnFieldsRequest = [](TVxDBInfo*, const QString&, TDBFieldList&) {
        throw EVxDBInfoError(5, QStringLiteral("no columns"));
    };
    // A run from inside a callback is refused and leaves the outer run alone.
    info.OnLinksRequest = [this](TVxDBInfo*, TStringList&) { model.RunDalwick(); };
    EXPECT_TRUE(model.RunDalwick());
    EXPECT_EQ(log().mid(6), (QStringList{"fields Orders <null>", "fields Customers <null>", "links <null>",
                                         "connected 1", "run", "done"}));
    EXPECT_EQ(reports, (QStringList{"EVxDBInfoError exception: no columns", "EVxDBInfoError exception: no columns",
                                    "Exception exception: The wizard library is already running"}));
    EXPECT_EQ(model.Tables(0)->DatabaseName(), "Zürich");

    // Without the database info, callbacks 3 to 9 report and answer nothing.
    reset(DalwickCallEverything);
    reports.clear();
    info.OnDBNamesRequest = [this](TVxDBInfo*, TStringList& list) {
        model.SetDatabaseInfo(nullptr);
        list.Add("Main");
    };
    EXPECT_TRUE(model.RunDalwick());
    EXPECT_EQ(log().mid(2), (QStringList{"databases Main", "current <null>", "current <null>", "tables <null>",
                                         "links <null>", "connected 0", "run", "done"}));
    EXPECT_TRUE(reports == QStringList(6, kNoInfo) && model.Tables(0)->DatabaseName().isEmpty());
    expectReferenceCleared();
}

TEST_F(WizardLibrary, TheRunEndsCleanlyWhateverTheWizardDoes)
{
    const QString text = model.StructString();
    reset(DalwickDecline);
    EXPECT_FALSE(model.RunDalwick());
    EXPECT_TRUE(log() == QStringList({"init", "structure kept", "run", "done"}) && model.StructString() == text);

    // The reader's error surfaces once the wizard is done.
    reset(DalwickUnreadableModel);
    ExpectDBStructError([&] { model.RunDalwick(); }, 9, "Can not find section Table:4");
    EXPECT_EQ(log(), (QStringList{"init", "run", "done"}));
    expectReferenceCleared();

    reset(DalwickThrow);
    EXPECT_THROW(model.RunDalwick(), std::runtime_error);
    EXPECT_EQ(log(), (QStringList{"init", "throw", "done"}));
    expectReferenceCleared();

    reset(DalwickDecline);
    EXPECT_FALSE(model.RunDalwick()) << "a run after a throw still works";
    TVxDBStructure bare;
    reset(DalwickCallEverything);
    EXPECT_EQ(ErrorMessage([&] { bare.RunDalwick(); }), "DatabaseInfo property is not specified");
    EXPECT_TRUE(log().isEmpty());
    expectReferenceCleared();
}

// Runs the probe with only the folder's library on the loader's path.
QStringList probe(const QString& folder, QString* errors = nullptr)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    QStringList path = env.value("LD_LIBRARY_PATH").split(':', Qt::SkipEmptyParts);
    path.removeAll(BRINDLE_WIZARD_ROOT "/full");
    path.prepend(BRINDLE_WIZARD_ROOT "/" + folder);
    env.insert("LD_LIBRARY_PATH", path.join(':'));
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(BRINDLE_WIZARD_PROBE, {});
    EXPECT_TRUE(process.waitForFinished(30000));
    EXPECT_EQ(process.exitCode(), 0);
    if (errors)
        *errors = QString::fromLocal8Bit(process.readAllStandardError());
    return QString::fromUtf8(process.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
}

TEST(WizardLibraryLoading, MissingLibraryOrEntryPointsLeaveTheModel)
{
    for (auto [folder, missing] :
         {std::pair{"absent", "\"Dalwick.dll\""}, {"entry_points_0", "\"initwizard\" function"},
          {"entry_points_1", "\"donewizard\" function"}, {"entry_points_2", "\"runwizard\" function"}})
        EXPECT_EQ(probe(folder), QStringList({QStringLiteral("Exception: Can not load ") + missing, "model unchanged",
                                              "library released"}));

    QString errors;
    EXPECT_EQ(probe("full", &errors), (QStringList{"result true", "model changed", "library released"}));
    EXPECT_EQ(errors, "EVxDBInfoError exception: no catalogue\n");
}

} // namespace
