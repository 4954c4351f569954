// Brindle Studio: the query panel, the result fields panel and the model
// over a database, with the query base of a folder. Without arguments it
// opens the bundled SQLite sample with its model and example queries.

#include "studio_window.h"

#include <brindle/designer/model_editor.h>
#include <brindle/designer/panel_palette.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/designer/struct_design_panel.h>

#include "result_output.h"

#include <brindle/query/result_model.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QCommandLineParser>
#include <QDir>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QTabWidget>
#include <QTextStream>

#include <cstdio>

using namespace brindle;
using namespace brindle::studio;

namespace {

void followPalette(StudioWindow& window)
{
    ApplyPalette(QApplication::palette(), window.QueryPanel(), window.FieldsPanel(), window.DesignPanel());
}

// Runs the window's query and waits for every row, as long as the run may take.
bool runToTheEnd(StudioWindow& window)
{
    using State = QueryResultModel::State;
    QueryResultModel& rows = *window.Rows();
    window.RunQuery();
    QEventLoop loop;
    QObject::connect(&rows, &QueryResultModel::stateChanged, &loop, &QEventLoop::quit);
    QObject::connect(&rows, &QAbstractItemModel::rowsInserted, &loop, &QEventLoop::quit);
    const QDeadlineTimer deadline(60'000);
    while (!deadline.hasExpired()) {
        const State state = rows.GetState();
        if (state == State::Finished || state == State::Failed || state == State::Cancelled || state == State::Idle)
            return state == State::Finished;
        if (state == State::Fetching && rows.canFetchMore({}))
            rows.fetchMore({});
        QTimer::singleShot(deadline.remainingTime(), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return false;
}

void printRows(const QueryResultModel& rows, QTextStream& out)
{
    const std::unique_ptr<cli::RowWriter> writer = cli::MakeRowWriter(cli::RowFormat::Table, out);
    QStringList names;
    for (int column = 0; column < rows.columnCount(); ++column)
        names << rows.headerData(column, Qt::Horizontal).toString();
    writer->Header(names);
    for (int row = 0; row < rows.rowCount(); ++row) {
        QStringList cells;
        for (int column = 0; column < rows.columnCount(); ++column)
            cells << cli::CellText(rows.data(rows.index(row, column), Qt::EditRole));
        writer->Row(cells);
    }
    writer->Finish();
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Brindle Studio"));
    QApplication::setOrganizationName(QStringLiteral("Brindle"));
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Brindle Studio: build SQL queries without writing SQL."));
    parser.addHelpOption();
    const SampleFiles sample = FindSample();
    const QCommandLineOption db(QStringLiteral("db"), QStringLiteral("The database URL (sqlite:FILE, postgresql://...)."),
                                QStringLiteral("URL"));
    const QCommandLineOption model(QStringLiteral("model"),
                                   QStringLiteral("The model file; without it, with --db, the model is read from the database."),
                                   QStringLiteral("FILE"));
    const QCommandLineOption queries(QStringLiteral("queries"), QStringLiteral("The folder of query files."),
                                     QStringLiteral("FOLDER"));
    const QCommandLineOption query(QStringLiteral("query"), QStringLiteral("The stored query to open."),
                                   QStringLiteral("NAME"));
    const QCommandLineOption scheme(QStringLiteral("scheme"),
                                    QStringLiteral("light, dark, or system (the default: the platform's palette)."),
                                    QStringLiteral("SCHEME"), QStringLiteral("system"));
    const QCommandLineOption page(QStringLiteral("page"), QStringLiteral("The page to show: query (the default) or model."),
                                  QStringLiteral("PAGE"), QStringLiteral("query"));
    const QCommandLineOption picture(QStringLiteral("picture"),
                                     QStringLiteral("Print the query's statement, save a picture of the window and quit."),
                                     QStringLiteral("FILE"));
    parser.addOptions({db, model, queries, query, scheme, page, picture});
    parser.process(app);
    const QString chosen = parser.value(scheme);
    if (chosen == QStringLiteral("dark") || chosen == QStringLiteral("light")) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(chosen == QStringLiteral("dark") ? StandardDarkPalette()
                                                                  : QApplication::style()->standardPalette());
    } else if (chosen != QStringLiteral("system")) {
        std::fprintf(stderr, "brindle-studio: --scheme takes light, dark or system\n");
        return 2;
    }

    InstallDataModelEditor();
    StudioWindow window;
    followPalette(window);
    QObject::connect(qApp, &QApplication::paletteChanged, &window, [&window] { followPalette(window); });

    const bool ownDatabase = parser.isSet(db);
    const QString url = ownDatabase ? parser.value(db) : SqliteUrl(sample.Database);
    const QString modelFile = parser.isSet(model) ? parser.value(model) : ownDatabase ? QString() : sample.Model;
    const QString folder = parser.isSet(queries) ? parser.value(queries) : ownDatabase ? QString() : sample.Queries;
    if (!ownDatabase && sample.Database.isEmpty())
        std::fputs("brindle-studio: the bundled sample was not found; open a database with --db\n", stderr);
    else
        window.OpenDatabase(url, modelFile);
    if (!folder.isEmpty())
        window.OpenQueryFolder(folder);
    if (parser.isSet(query) && !window.OpenStoredQuery(parser.value(query)))
        std::fprintf(stderr, "brindle-studio: no stored query named %s\n", qUtf8Printable(parser.value(query)));
    window.Pages()->setCurrentIndex(parser.value(page) == QStringLiteral("model") ? 1 : 0);
    window.show();
    if (!parser.isSet(picture))
        return QApplication::exec();

    QApplication::processEvents();
    QTextStream out(stdout);
    out << window.StatementView()->toPlainText() << '\n';
    const bool ran = runToTheEnd(window);
    if (!ran)
        std::fprintf(stderr, "brindle-studio: %s\n", qUtf8Printable(window.RowsLabel()->text()));
    else
        printRows(*window.Rows(), out);
    QApplication::processEvents();
    const QString path = QDir().absoluteFilePath(parser.value(picture));
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "brindle-studio: cannot write %s\n", qUtf8Printable(path));
        return 1;
    }
    out << "picture: " << path << '\n';
    return ran ? 0 : 1;
}
