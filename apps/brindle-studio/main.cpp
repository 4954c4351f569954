// Brindle Studio: the query panel, the result fields panel and the model
// over a database, with the query base of a folder. Without arguments it
// opens the bundled SQLite sample with its model and example queries.

#include "studio_window.h"

#include <brindle/designer/model_editor.h>
#include <brindle/designer/panel_palette.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/panels/translation.h>
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
#include <QLocale>
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

// The value of --language, read before the parser that documents it is made.
QString languageArgument(const QStringList& arguments)
{
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument == QLatin1String("--language") && i + 1 < arguments.size())
            return arguments.at(i + 1);
        if (argument.startsWith(QLatin1String("--language=")))
            return argument.mid(11);
    }
    return {};
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
    // The language is chosen before the parser is made, so that --help speaks it.
    const QString language = languageArgument(QApplication::arguments());
    InstallTranslation(language.isEmpty() ? QLocale::system() : QLocale(language));
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QApplication::translate("brindle-studio", "Brindle Studio: build SQL queries without writing SQL."));
    parser.addHelpOption();
    const SampleFiles sample = FindSample();
    const QCommandLineOption db(QStringLiteral("db"),
                                QApplication::translate("brindle-studio",
                                                        "The database URL (sqlite:FILE, postgresql://...)."),
                                QApplication::translate("brindle-studio", "URL"));
    const QCommandLineOption model(
        QStringLiteral("model"),
        QApplication::translate("brindle-studio",
                                "The model file; without it, with --db, the model is read from the database."),
        QApplication::translate("brindle-studio", "FILE"));
    const QCommandLineOption queries(QStringLiteral("queries"),
                                     QApplication::translate("brindle-studio", "The folder of query files."),
                                     QApplication::translate("brindle-studio", "FOLDER"));
    const QCommandLineOption query(QStringLiteral("query"),
                                   QApplication::translate("brindle-studio", "The stored query to open."),
                                   QApplication::translate("brindle-studio", "NAME"));
    const QCommandLineOption scheme(
        QStringLiteral("scheme"),
        QApplication::translate("brindle-studio", "light, dark, or system (the default: the platform's palette)."),
        QApplication::translate("brindle-studio", "SCHEME"), QStringLiteral("system"));
    const QCommandLineOption picture(
        QStringLiteral("picture"),
        QApplication::translate("brindle-studio", "Print the query's statement, save a picture of the window and quit."),
        QApplication::translate("brindle-studio", "FILE"));
    const QCommandLineOption page(
        QStringLiteral("page"),
        QApplication::translate("brindle-studio", "The page to show: query (the default) or model."),
        QApplication::translate("brindle-studio", "PAGE"), QStringLiteral("query"));
    const QCommandLineOption languageOption(
        QStringLiteral("language"),
        QApplication::translate("brindle-studio", "The language of the window, e.g. de or en (the default: the system's)."),
        QApplication::translate("brindle-studio", "LANGUAGE"));
    parser.addOptions({db, model, queries, query, scheme, page, picture, languageOption});
    parser.process(app);
    const QString chosen = parser.value(scheme);
    if (chosen == QStringLiteral("dark") || chosen == QStringLiteral("light")) {
        QApplication::setStyle(QStringLiteral("Fusion"));
        QApplication::setPalette(chosen == QStringLiteral("dark") ? StandardDarkPalette()
                                                                  : QApplication::style()->standardPalette());
    } else if (chosen != QStringLiteral("system")) {
        std::fprintf(stderr, "brindle-studio: %s\n",
                     qUtf8Printable(QApplication::translate("brindle-studio", "--scheme takes light, dark or system")));
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
        std::fprintf(stderr, "brindle-studio: %s\n",
                     qUtf8Printable(QApplication::translate(
                         "brindle-studio", "the bundled sample was not found; open a database with --db")));
    else
        window.OpenDatabase(url, modelFile);
    if (!folder.isEmpty())
        window.OpenQueryFolder(folder);
    if (parser.isSet(query) && !window.OpenStoredQuery(parser.value(query)))
        std::fprintf(stderr, "brindle-studio: %s\n",
                     qUtf8Printable(QApplication::translate("brindle-studio", "no stored query named %1")
                                        .arg(parser.value(query))));
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
        std::fprintf(stderr, "brindle-studio: %s\n",
                     qUtf8Printable(QApplication::translate("brindle-studio", "cannot write %1").arg(path)));
        return 1;
    }
    out << "picture: " << path << '\n';
    return ran ? 0 : 1;
}
