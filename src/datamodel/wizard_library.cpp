// RunDalwick and the callback table it hands to the wizard library. The
// callbacks are plain C functions, so they reach the model through one
// process-wide reference that a run sets and always clears again. No C++
// exception may unwind through the wizard's C frames: callbacks 3 to 9
// report what they catch and answer null or false; callbacks 1 and 2 keep
// their first error and RunDalwick raises it once the wizard has returned,
// so that an unreadable model text still reaches the caller as it would
// without the wizard in between; callback 10 raises nothing.

#include <brindle/datamodel/wizard_library.h>

#include <brindle/foundations/conversions.h>
#include <brindle/datamodel/db_structure.h>

#include <QLibrary>
#include <QPointer>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <mutex>
#include <typeinfo>
#include <unordered_map>
#include <utility>

#if defined(__GNUG__)
#include <cxxabi.h>
#endif

namespace brindle {

namespace {

// Set by the run that holds it; the callbacks run on that run's thread.
std::atomic<bool> wizardRunning{false};

struct WizardRun {
    // The current model of the callbacks; a QPointer, so that a model
    // destroyed while the wizard runs is seen as gone.
    QPointer<TVxCustomDBStructure> model;
    // The first error of callbacks 1 and 2.
    std::exception_ptr deferredError;
    // Every text handed out and not yet released; true for a wide one.
    std::unordered_map<void*, bool> texts;
};

WizardRun& currentRun()
{
    static WizardRun run;
    return run;
}

std::mutex handlerMutex;
TVxCustomDBStructure::WizardErrorHandler wizardErrorHandler;

void releaseText(void* text, bool wide) noexcept
{
    if (wide)
        delete[] static_cast<char16_t*>(text);
    else
        StrDispose(static_cast<char*>(text));
}

char* handOut(char* text)
{
    if (!text)
        return nullptr;
    try {
        currentRun().texts.emplace(text, false);
    } catch (...) {
        StrDispose(text);
        throw;
    }
    return text;
}

DalwickWideChar* handOutWide(const QString& text)
{
    auto buffer = std::make_unique<DalwickWideChar[]>(static_cast<std::size_t>(text.size()) + 1);
    static_assert(sizeof(QChar) == sizeof(DalwickWideChar));
    std::memcpy(buffer.get(), text.constData(), static_cast<std::size_t>(text.size()) * sizeof(DalwickWideChar));
    buffer[static_cast<std::size_t>(text.size())] = 0;
    currentRun().texts.emplace(buffer.get(), true);
    return buffer.release();
}

QString typeName(const std::exception& error)
{
#if defined(__GNUG__)
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> name(
        abi::__cxa_demangle(typeid(error).name(), nullptr, nullptr, &status), std::free);
    if (status == 0 && name)
        return QString::fromUtf8(name.get());
#endif
    return QString::fromUtf8(typeid(error).name());
}

void report(const QString& caption, const QString& text)
{
    TVxCustomDBStructure::WizardErrorHandler handler;
    {
        std::lock_guard<std::mutex> lock(handlerMutex);
        handler = wizardErrorHandler;
    }
    if (handler) {
        handler(caption, text);
        return;
    }
    // The core draws nothing; a host with a user interface installs a
    // handler that shows a message box.
    std::fprintf(stderr, "%s: %s\n", caption.toLocal8Bit().constData(), text.toLocal8Bit().constData());
}

// Reports the exception being handled; must be called inside a catch block.
void reportCurrentError() noexcept
{
    try {
        try {
            throw;
        } catch (const Exception& e) {
            report(e.ClassName() + QStringLiteral(" exception"), e.Message());
        } catch (const std::exception& e) {
            report(typeName(e) + QStringLiteral(" exception"), QString::fromUtf8(e.what()));
        } catch (...) {
            report(QStringLiteral("Unknown exception"), QString());
        }
    } catch (...) {
        // A handler that fails has nowhere left to report to.
    }
}

[[noreturn]] void raiseNoDatabaseInfo()
{
    throw Exception(QStringLiteral("DatabaseInfo property is not specified"));
}

// Callbacks 3 to 9: the current model's database info answers, or the
// error is reported and the empty answer returned.
template <typename Result, typename Answer>
Result guarded(Answer&& answer) noexcept
{
    try {
        TVxCustomDBStructure* model = currentRun().model;
        if (!model || !model->DatabaseInfo())
            raiseNoDatabaseInfo();
        return answer(*model->DatabaseInfo());
    } catch (...) {
        reportCurrentError();
        return Result();
    }
}

// Callbacks 1 and 2: the error is kept for RunDalwick to raise. Outside a
// run there is no model and nobody to raise it to, so they do nothing.
template <typename Result, typename Answer>
Result deferred(Answer&& answer) noexcept
{
    WizardRun& run = currentRun();
    TVxCustomDBStructure* model = run.model;
    if (!model)
        return Result();
    try {
        return answer(*model);
    } catch (...) {
        if (!run.deferredError)
            run.deferredError = std::current_exception();
        return Result();
    }
}

} // namespace

extern "C" {

static char* wizardGetStructure(void)
{
    return deferred<char*>([](TVxCustomDBStructure& model) { return handOut(model.GetStructureAsText()); });
}

static void wizardSetStructure(const char* text)
{
    deferred<void>([text](TVxCustomDBStructure& model) { model.SetStructureAsText(text); });
}

static char* wizardGetDatabaseNames(void)
{
    return guarded<char*>([](TVxDBInfo& info) { return handOut(info.GetDatabaseNamesAsText()); });
}

static DalwickWideChar* wizardGetCurrentDatabase(void)
{
    return guarded<DalwickWideChar*>([](TVxDBInfo& info) { return handOutWide(info.GetCurrentDbName()); });
}

static void wizardSetCurrentDatabase(const DalwickWideChar* name)
{
    guarded<void>([name](TVxDBInfo& info) { info.SetCurrentDbName(name ? QString::fromUtf16(name) : QString()); });
}

static char* wizardGetTableNames(void)
{
    return guarded<char*>([](TVxDBInfo& info) { return handOut(info.GetTableNamesAsText()); });
}

static char* wizardGetFields(const char* tableName)
{
    return guarded<char*>([tableName](TVxDBInfo& info) { return handOut(info.GetFieldsAsText(tableName)); });
}

static char* wizardGetLinks(void)
{
    return guarded<char*>([](TVxDBInfo& info) { return handOut(info.GetLinksAsText()); });
}

static bool wizardGetConnected(void)
{
    return guarded<bool>([](TVxDBInfo& info) { return info.Connected(); });
}

// Only texts still handed out are released, so null, a second release or a
// foreign pointer cannot corrupt the heap.
static void wizardFreeText(void* text)
{
    auto& texts = currentRun().texts;
    const auto found = texts.find(text);
    if (found == texts.end())
        return;
    const bool wide = found->second;
    texts.erase(found);
    releaseText(text, wide);
}

} // extern "C"

TVxCustomDBStructure::WizardErrorHandler TVxCustomDBStructure::SetWizardErrorHandler(WizardErrorHandler handler)
{
    std::lock_guard<std::mutex> lock(handlerMutex);
    std::swap(wizardErrorHandler, handler);
    return handler;
}

bool TVxCustomDBStructure::RunDalwick()
{
    bool idle = false;
    if (!wizardRunning.compare_exchange_strong(idle, true))
        throw Exception(QStringLiteral("The wizard library is already running"));

    // However the run ends, it leaves no model reference, text or error behind.
    struct RunScope {
        ~RunScope()
        {
            WizardRun& run = currentRun();
            run.model = nullptr;
            for (const auto& [text, wide] : run.texts)
                releaseText(text, wide);
            run.texts.clear();
            run.deferredError = nullptr;
            wizardRunning = false;
        }
    } scope;
    currentRun().model = this;

    if (!FDBInfo)
        raiseNoDatabaseInfo();

    QLibrary library(QStringLiteral("Dalwick"));
    if (!library.load())
        throw Exception(QStringLiteral("Can not load \"Dalwick.dll\""));
    struct Unload {
        QLibrary& library;
        ~Unload() { library.unload(); }
    } unload{library};

    const auto initWizard = reinterpret_cast<DalwickInitWizardProc>(library.resolve("initwizard"));
    if (!initWizard)
        throw Exception(QStringLiteral("Can not load \"initwizard\" function"));
    const auto doneWizard = reinterpret_cast<DalwickDoneWizardProc>(library.resolve("donewizard"));
    if (!doneWizard)
        throw Exception(QStringLiteral("Can not load \"donewizard\" function"));
    const auto runWizard = reinterpret_cast<DalwickRunWizardProc>(library.resolve("runwizard"));
    if (!runWizard)
        throw Exception(QStringLiteral("Can not load \"runwizard\" function"));

    initWizard(wizardGetStructure, wizardSetStructure, wizardGetDatabaseNames, wizardGetCurrentDatabase,
               wizardSetCurrentDatabase, wizardGetTableNames, wizardGetFields, wizardGetLinks,
               wizardGetConnected, wizardFreeText);
    bool result = false;
    // The host hears of what the wizard removed once the run is over.
    operation([&] {
        // A wizard written in C++ may let an exception out of runwizard.
        struct Done {
            DalwickDoneWizardProc doneWizard;
            ~Done() { doneWizard(); }
        } done{doneWizard};
        result = runWizard();
    });
    if (std::exception_ptr error = std::exchange(currentRun().deferredError, nullptr))
        std::rethrow_exception(error);
    return result;
}

} // namespace brindle
