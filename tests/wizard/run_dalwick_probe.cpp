// Runs the wizard once on a small model, in a process of its own so that the
// test can choose where the loader finds "Dalwick". Prints the outcome, then
// whether the model changed and whether the library is still loaded. Its
// database info knows one database but cannot list tables, so a wizard that
// asks reports an error through the default handler.

#include <brindle/datamodel/db_structure.h>

#include <QCoreApplication>

#include <cstdio>
#include <dlfcn.h>

using namespace brindle;

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    TVxDBStructure model;
    TVxDBInfo info;
    info.OnDBNamesRequest = [](TVxDBInfo*, TStringList& list) { list.Add(QStringLiteral("Main")); };
    info.OnTablesRequest = [](TVxDBInfo*, TStringList&) { throw EVxDBInfoError(1, QStringLiteral("no catalogue")); };
    model.SetDatabaseInfo(&info);
    model.AddTable(QStringLiteral("Orders"), QStringLiteral("Ord"));
    const QString before = model.StructString();

    try {
        std::printf("result %s\n", model.RunDalwick() ? "true" : "false");
    } catch (const Exception& e) {
        std::printf("%s: %s\n", qPrintable(e.ClassName()), qPrintable(e.Message()));
    }
    std::printf("model %s\n", model.StructString() == before ? "unchanged" : "changed");
    std::printf("library %s\n", dlopen("libDalwick.so", RTLD_LAZY | RTLD_NOLOAD) ? "loaded" : "released");
    return 0;
}
