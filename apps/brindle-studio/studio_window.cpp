#include "studio_window.h"

#include "row_export.h"
#include "sql_import_dialog.h"

#include <brindle/datamodel/model_xml.h>
#include <brindle/designer/panel_palette.h>
#include <brindle/designer/struct_design_panel.h>
#include <brindle/foundations/errors.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>
#include <brindle/query/bound_statement.h>
#include <brindle/query/builder.h>
#include <brindle/query/query_history.h>
#include <brindle/query/result_model.h>
#include <brindle/query/query_base_files.h>

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDockWidget>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTableView>
#include <QToolBar>
#include <QVBoxLayout>

namespace brindle::studio {
namespace {

// The syntaxes as the command-line tool names them.
const std::pair<TSQLSyntax, const char*> kSyntaxes[] = {
    {ssSQL2, "SQL-92"}, {ssSQL1, "SQL-89"}, {ssOracle, "Oracle"}, {ssAccess, "Access"}, {ssNexusDB, "NexusDB"},
    {ssPostgreSQL, "PostgreSQL"}, {ssSQLite, "SQLite"}, {ssMySQL, "MySQL / MariaDB"}, {ssMSSQL, "SQL Server"}};

// The window's layout is kept under the studio's own name.
struct StudioSettings : QSettings {
    StudioSettings() : QSettings(QStringLiteral("Brindle"), QStringLiteral("Brindle Studio")) {}
};

} // namespace

StudioWindow::StudioWindow(QWidget* parent) : QMainWindow(parent), FBase(std::make_unique<TVxFileQueryBase>())
{
    setObjectName(QStringLiteral("studio"));
    makeActions();
    FPages = new QTabWidget(this);
    FPages->addTab(makeQueryPage(), tr("&Query"));
    FPages->addTab(makeModelPage(), tr("&Model"));
    setCentralWidget(FPages);
    makeBaseDock();
    makeMenus();
    FRowsLabel = new QLabel(this);
    statusBar()->addPermanentWidget(FRowsLabel);
    Query().SetQueryBase(FBase.get());
    connect(&Query(), &TVxQuery::changed, this, &StudioWindow::queryChanged);
    // A model edit is a step too, undone with the query's rows it took along.
    TQueryHistory& history = TQueryHistory::Of(Query());
    history.SetTrackModel(true);
    connect(&history, &TQueryHistory::stateChanged, this, &StudioWindow::showUndoState);
    showUndoState();
    FBase->AfterScroll = [this](QObject*) { currentQueryMoved(); };
    restoreLayout();
    updateTitle();
}

StudioWindow::~StudioWindow()
{
    // The panels refer to the model and the base: they go first.
    Query().SetQueryBase(nullptr);
    delete FPages;
    FPages = nullptr;
}

TVxQuery& StudioWindow::Query() const
{
    return FQueryPanel->Query();
}

QAction* StudioWindow::Action(const QString& name) const
{
    return findChild<QAction*>(name);
}

void StudioWindow::makeActions()
{
    const auto add = [this](const char* name, const QString& text, QKeySequence keys, auto slot) {
        auto* action = new QAction(text, this);
        action->setObjectName(QString::fromLatin1(name));
        action->setShortcut(keys);
        connect(action, &QAction::triggered, this, [slot] { Guarded(slot); });
        return action;
    };
    add("open-database", tr("Open &database..."), {}, [this] { chooseDatabase(); });
    add("open-model", tr("Open mo&del..."), {}, [this] { chooseModel(); });
    add("open-folder", tr("Open query &folder..."), {}, [this] { chooseFolder(); });
    add("new", tr("&New query"), QKeySequence::New, [this] { NewQuery(); });
    add("save", tr("&Save query"), QKeySequence::Save, [this] { SaveQuery(); });
    add("save-as", tr("Save query &as..."), QKeySequence::SaveAs, [this] {
        const QString name = QInputDialog::getText(this, tr("Save query as"), tr("Name:"));
        if (!name.trimmed().isEmpty())
            SaveQueryAs(name.trimmed());
    });
    add("delete", tr("De&lete query"), {}, [this] { DeleteQuery(); });
    add("first", tr("&First query"), QKeySequence(Qt::CTRL | Qt::Key_Home), [this] { moveTo(0); });
    add("prior", tr("&Previous query"), QKeySequence(Qt::CTRL | Qt::Key_PageUp),
        [this] { moveTo(FBase->ItemIndex() - 1); });
    add("next", tr("Ne&xt query"), QKeySequence(Qt::CTRL | Qt::Key_PageDown),
        [this] { moveTo(FBase->ItemIndex() + 1); });
    add("last", tr("La&st query"), QKeySequence(Qt::CTRL | Qt::Key_End), [this] { moveTo(FBase->GetCount() - 1); });
    add("import", tr("&Import SQL..."), QKeySequence(Qt::CTRL | Qt::Key_I), [this] { ImportSql(); });
    add("undo", tr("&Undo"), QKeySequence::Undo, [this] { TQueryHistory::Of(Query()).Undo(); });
    QAction* redo = add("redo", tr("&Redo"), {}, [this] { TQueryHistory::Of(Query()).Redo(); });
    redo->setShortcuts({QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z), QKeySequence(Qt::CTRL | Qt::Key_Y)});
    add("run", tr("&Run"), QKeySequence(Qt::Key_F5), [this] { RunQuery(); });
    add("cancel", tr("&Cancel the run"), QKeySequence(Qt::SHIFT | Qt::Key_F5), [this] { CancelRun(); });
    add("export", tr("E&xport rows..."), QKeySequence(Qt::CTRL | Qt::Key_E), [this] { exportAs(); });
    add("edit-model", tr("&Edit model..."), {}, [this] { EditModel(); });
    add("save-model", tr("Save &model as..."), {}, [this] { saveModelAs(); });
    add("quit", tr("&Quit"), QKeySequence::Quit, [this] { close(); });
}

void StudioWindow::makeMenus()
{
    QMenu* file = menuBar()->addMenu(tr("&File"));
    for (const char* name : {"open-database", "open-model", "open-folder", "", "new", "save", "save-as", "delete", "",
                             "import", "export", "", "quit"}) {
        if (*name)
            file->addAction(Action(QString::fromLatin1(name)));
        else
            file->addSeparator();
    }
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->addAction(Action(QStringLiteral("undo")));
    edit->addAction(Action(QStringLiteral("redo")));
    QMenu* run = menuBar()->addMenu(tr("&Query"));
    run->addAction(Action(QStringLiteral("run")));
    run->addAction(Action(QStringLiteral("cancel")));
    QMenu* go = menuBar()->addMenu(tr("&Go"));
    for (const char* name : {"first", "prior", "next", "last"})
        go->addAction(Action(QString::fromLatin1(name)));
    QMenu* model = menuBar()->addMenu(tr("&Model"));
    model->addAction(Action(QStringLiteral("edit-model")));
    model->addAction(Action(QStringLiteral("save-model")));
}

QWidget* StudioWindow::makeQueryPage()
{
    auto* page = new QWidget(this);
    FQueryPanel = new TVxQueryPanel(page);
    FQueryPanel->setObjectName(QStringLiteral("query-panel"));
    FFieldsPanel = new TVxResultFieldsPanel(page);
    FFieldsPanel->setObjectName(QStringLiteral("fields-panel"));
    FFieldsPanel->BindQuery(&FQueryPanel->Query());
    FStatement = new QPlainTextEdit(page);
    FStatement->setObjectName(QStringLiteral("statement"));
    FStatement->setReadOnly(true);
    FStatement->setLineWrapMode(QPlainTextEdit::NoWrap);
    FStatement->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    FSyntax = new QComboBox(page);
    for (const auto& [syntax, name] : kSyntaxes)
        FSyntax->addItem(QString::fromLatin1(name), static_cast<int>(syntax));
    connect(FSyntax, &QComboBox::activated, this, [this] {
        Guarded([this] { Query().SetSQLSyntax(static_cast<TSQLSyntax>(FSyntax->currentData().toInt())); });
    });
    FGrid = new QTableView(page);
    FGrid->setObjectName(QStringLiteral("rows"));
    FGrid->setWordWrap(false);
    FGrid->verticalHeader()->setDefaultSectionSize(FGrid->fontMetrics().height() + 6);
    FRows = new QueryResultModel(this);
    FGrid->setModel(FRows);
    // The first rows of a run size the columns; later batches keep them.
    connect(FRows, &QAbstractItemModel::rowsInserted, this, [this](const QModelIndex&, int first) {
        if (first == 0)
            FGrid->resizeColumnsToContents();
    });
    connect(FRows, &QueryResultModel::stateChanged, this, &StudioWindow::runStateChanged);
    connect(FRows, &QAbstractItemModel::rowsInserted, this, &StudioWindow::runStateChanged);
    FGrid->horizontalHeader()->setStretchLastSection(true);

    auto* statementBox = new QWidget(page);
    auto* statementLayout = new QVBoxLayout(statementBox);
    statementLayout->setContentsMargins(0, 0, 0, 0);
    auto* syntaxLine = new QHBoxLayout;
    syntaxLine->addWidget(new QLabel(tr("Statement in"), statementBox));
    syntaxLine->addWidget(FSyntax);
    syntaxLine->addStretch();
    statementLayout->addLayout(syntaxLine);
    statementLayout->addWidget(FStatement);

    auto* top = new QSplitter(Qt::Horizontal, page);
    auto* left = new QSplitter(Qt::Vertical, top);
    left->addWidget(FQueryPanel);
    left->addWidget(FFieldsPanel);
    left->setStretchFactor(0, 3);
    left->setStretchFactor(1, 1);
    top->addWidget(left);
    top->addWidget(statementBox);
    top->setStretchFactor(0, 3);
    top->setStretchFactor(1, 2);
    top->setSizes({620, 420});
    left->setSizes({300, 140});
    FQuerySplitter = new QSplitter(Qt::Vertical, page);
    FQuerySplitter->setObjectName(QStringLiteral("query-splitter"));
    FQuerySplitter->addWidget(top);
    FQuerySplitter->addWidget(FGrid);
    FQuerySplitter->setStretchFactor(0, 3);
    FQuerySplitter->setStretchFactor(1, 2);
    FQuerySplitter->setSizes({460, 260});
    auto* layout = new QVBoxLayout(page);
    layout->addWidget(FQuerySplitter);
    return page;
}

QWidget* StudioWindow::makeModelPage()
{
    auto* page = new QWidget(this);
    FDesignPanel = new TVxStructDesignPanel(page);
    FDesignPanel->setObjectName(QStringLiteral("design-panel"));
    auto* edit = new QPushButton(tr("&Edit model..."), page);
    auto* save = new QPushButton(tr("Save model &as..."), page);
    connect(edit, &QPushButton::clicked, Action(QStringLiteral("edit-model")), &QAction::trigger);
    connect(save, &QPushButton::clicked, Action(QStringLiteral("save-model")), &QAction::trigger);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(edit);
    buttons->addWidget(save);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(page);
    layout->addLayout(buttons);
    layout->addWidget(FDesignPanel, 1);
    return page;
}

void StudioWindow::makeBaseDock()
{
    auto* dock = new QDockWidget(tr("Queries"), this);
    dock->setObjectName(QStringLiteral("queries-dock"));
    FQueryList = new QListWidget(dock);
    FQueryList->setObjectName(QStringLiteral("queries"));
    connect(FQueryList, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != FBase->ItemIndex())
            Guarded([&] { moveTo(row); });
    });
    dock->setWidget(FQueryList);
    addDockWidget(Qt::LeftDockWidgetArea, dock);
    resizeDocks({dock}, {220}, Qt::Horizontal);
}

bool StudioWindow::OpenDatabase(const QString& url, const QString& modelFile)
{
    std::unique_ptr<Workspace> opened;
    if (!Guarded([&] { opened = OpenWorkspace(url, modelFile); }))
        return false;
    // The query text is kept across the change of model where it still reads.
    TStringList text;
    Query().SaveToStrings(text);
    FDesignPanel->SetDBStruct(nullptr);
    FFieldsPanel->SetDBStruct(opened->Model);
    Query().SetDbStruct(opened->Model);
    FRows->Runner().Stop();
    FWorkspace = std::move(opened);
    FModelFile = modelFile;
    Guarded([this] { FRows->Runner().UseDatabaseInfo(*FWorkspace->Info); });
    Guarded([&] {
        FLoading = true;
        const auto done = qScopeGuard([this] { FLoading = false; });
        FQueryPanel->SetActive(true);
        FFieldsPanel->Activate();
        if (!text.IsEmpty())
            Query().LoadFromStrings(text);
    });
    FDesignPanel->SetDBStruct(FWorkspace->Model);
    Guarded([this] { FDesignPanel->Activate(); });
    showStatement();
    updateTitle();
    return true;
}

bool StudioWindow::OpenQueryFolder(const QString& folder)
{
    if (!MaySetQueryAside())
        return false;
    const bool opened = Guarded([&] {
        FLoading = true;
        const auto done = qScopeGuard([this] { FLoading = false; });
        FBase->SetFolder(folder);
        FBase->Open();
    });
    listQueries();
    setModified(false);
    showStatement();
    return opened;
}

bool StudioWindow::OpenStoredQuery(const QString& name)
{
    int index = FBase->IndexByName(name);
    for (int i = 0; index < 0 && i < FBase->GetCount(); ++i)
        if (QFileInfo(static_cast<TVxFileQueryItem*>(FBase->GetQuery(i))->FileName()).completeBaseName() == name)
            index = i;
    if (index < 0)
        return false;
    moveTo(index);
    return FBase->ItemIndex() == index;
}

void StudioWindow::moveTo(int index)
{
    if (index < 0 || index >= FBase->GetCount() || index == FBase->ItemIndex() || !MaySetQueryAside()) {
        FQueryList->setCurrentRow(FBase->ItemIndex());
        return;
    }
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    FBase->SetItemIndex(index);
}

void StudioWindow::currentQueryMoved()
{
    // Each stored query has its own steps: undoing into another would save
    // that one's text under this one's name.
    TQueryHistory::Of(Query()).Clear();
    FQueryList->setCurrentRow(FBase->ItemIndex());
    setModified(false);
    showStatement();
}

void StudioWindow::listQueries()
{
    const QSignalBlocker quiet(FQueryList);
    FQueryList->clear();
    for (int i = 0; i < FBase->GetCount(); ++i)
        FQueryList->addItem(FBase->GetQuery(i)->QueryName());
    FQueryList->setCurrentRow(FBase->ItemIndex());
}

bool StudioWindow::MaySetQueryAside()
{
    if (!FModified)
        return true;
    const auto answer = QMessageBox::question(
        this, tr("Unsaved changes"), tr("The query has changes that are not saved. Save them?"),
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
    if (answer == QMessageBox::Save)
        return SaveQuery();
    return answer == QMessageBox::Discard;
}

bool StudioWindow::SaveQuery()
{
    TVxQueryItem* item = FBase->GetCurrentQuery();
    if (!item) {
        const QString name = QInputDialog::getText(this, tr("Save query"), tr("Name:"));
        return !name.trimmed().isEmpty() && SaveQueryAs(name.trimmed());
    }
    if (!Guarded([&] { item->Save(); }))
        return false;
    listQueries();
    setModified(false);
    return true;
}

bool StudioWindow::SaveQueryAs(const QString& name)
{
    if (!FBase->Active()) {
        QMessageBox::warning(this, tr("Save query as"), tr("Open a query folder first."));
        return false;
    }
    TStringList content;
    Query().SaveToStrings(content);
    SetContentProperties(content, name, ContentDescription(content));
    const bool saved = Guarded([&] {
        FLoading = true;
        const auto done = qScopeGuard([this] { FLoading = false; });
        TVxQueryItem* item = FBase->NewQuery();
        item->SaveContent(content);
        item->SetQueryName(name);
        FBase->SetItemIndex(FBase->GetCount() - 1);
    });
    listQueries();
    if (saved)
        setModified(false);
    return saved;
}

void StudioWindow::NewQuery()
{
    if (!FBase->Active() || !MaySetQueryAside())
        return;
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    FBase->NewQuery();
    FBase->SetItemIndex(FBase->GetCount() - 1);
    listQueries();
}

void StudioWindow::DeleteQuery()
{
    TVxQueryItem* item = FBase->GetCurrentQuery();
    if (!item)
        return;
    if (QMessageBox::question(this, tr("Delete query"), tr("Delete the query \"%1\" and its file?").arg(item->QueryName()))
        != QMessageBox::Yes)
        return;
    FLoading = true;
    const auto done = qScopeGuard([this] { FLoading = false; });
    FBase->DeleteQuery(FBase->ItemIndex());
    listQueries();
    setModified(false);
    showStatement();
}

void StudioWindow::ImportSql()
{
    if (!Query().DbStruct()) {
        QMessageBox::warning(this, tr("Import SQL"), tr("Open a database and its model first."));
        return;
    }
    SqlImportDialog dialog(Query(), this);
    dialog.exec();
}

void StudioWindow::EditModel()
{
    if (!FWorkspace)
        return;
    FWorkspace->Model->EditStructure();
    showStatement();
}

bool StudioWindow::SaveModel(const QString& path)
{
    return Guarded([&] {
        TStringList lines;
        if (path.endsWith(QStringLiteral(".xml"), Qt::CaseInsensitive))
            SaveDMToXml(*FWorkspace->Model, lines);
        else
            FWorkspace->Model->SaveToStrings(lines);
        lines.SaveToFile(path);
        FModelFile = path;
    });
}

void StudioWindow::saveModelAs()
{
    if (!FWorkspace)
        return;
    const QString path = QFileDialog::getSaveFileName(this, tr("Save model"), FModelFile,
                                                      tr("Model text (*.dbs);;Model XML (*.xml)"));
    if (!path.isEmpty())
        SaveModel(path);
}

void StudioWindow::RunQuery()
{
    if (!FWorkspace)
        return;
    Query().BuildQuery();
    FRows->Run(Query());
}

void StudioWindow::CancelRun()
{
    FRows->Cancel();
}

void StudioWindow::runStateChanged()
{
    using State = QueryResultModel::State;
    const State state = FRows->GetState();
    const bool running = state == State::Executing;
    Action(QStringLiteral("cancel"))->setEnabled(running);
    if (running != (QApplication::overrideCursor() != nullptr)) {
        if (running)
            QApplication::setOverrideCursor(Qt::BusyCursor);
        else
            QApplication::restoreOverrideCursor();
    }
    const QString rows = tr("%n row(s)", nullptr, FRows->rowCount());
    const QString took = tr("%1 ms").arg(FRows->DatabaseTime());
    switch (state) {
    case State::Idle:
        FRowsLabel->clear();
        break;
    case State::Executing:
        FRowsLabel->setText(tr("Running..."));
        break;
    case State::Fetching:
        FRowsLabel->setText(tr("%1 so far, more as the grid scrolls; the database took %2").arg(rows, took));
        break;
    case State::Finished:
        FRowsLabel->setText(tr("%1; the database took %2").arg(rows, took));
        break;
    case State::Failed:
        FRowsLabel->setText(tr("The statement failed: %1").arg(FRows->ErrorText()));
        break;
    case State::Cancelled:
        FRowsLabel->setText(tr("Cancelled after %1").arg(rows));
        break;
    }
}

bool StudioWindow::ExportRows(const QString& path)
{
    if (!FWorkspace)
        return false;
    return Guarded([&] {
        Query().BuildQuery();
        const BoundStatement statement = BindStatement(Query());
        QueryRunner runner;
        runner.UseDatabaseInfo(*FWorkspace->Info);
        const std::unique_ptr<RowFile> file = CreateRowFile(path);
        runner.Run(
            statement, 1000,
            [&](const QStringList& columns) {
                file->Header(statement.Captions.size() == columns.size() ? statement.Captions : columns);
            },
            [&](const QList<QVariantList>& rows) { file->Rows(rows); });
        file->Finish();
    });
}

void StudioWindow::exportAs()
{
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Export rows"), {}, tr("CSV (*.csv);;Excel workbook (*.xlsx)"));
    if (!path.isEmpty())
        ExportRows(path);
}

void StudioWindow::chooseDatabase()
{
    const QString url = QInputDialog::getText(
        this, tr("Open database"),
        tr("Database URL (sqlite:FILE, postgresql://USER@HOST/DB, ...); the model is read from the database:"));
    if (!url.trimmed().isEmpty())
        OpenDatabase(url.trimmed(), {});
}

void StudioWindow::chooseModel()
{
    if (!FWorkspace)
        return;
    const QString path = QFileDialog::getOpenFileName(this, tr("Open model"), FModelFile,
                                                      tr("Models (*.dbs *.xml *.form);;All files (*)"));
    if (!path.isEmpty())
        OpenDatabase(FWorkspace->Url, path);
}

void StudioWindow::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Open query folder"), FBase->Folder());
    if (!folder.isEmpty())
        OpenQueryFolder(folder);
}

void StudioWindow::queryChanged()
{
    if (!FLoading)
        setModified(true);
    showStatement();
}

void StudioWindow::showStatement()
{
    QString text;
    if (!Query().DbStruct() || !Query().Active()) {
        text = tr("-- no model");
    } else {
        try {
            Query().BuildQuery();
            text = Query().QResult()->GetSQL().Text();
        } catch (const std::exception& e) {
            text = QStringLiteral("-- ") + QString::fromUtf8(e.what());
        }
    }
    FStatement->setPlainText(text);
}

void StudioWindow::showUndoState()
{
    const TQueryHistory& history = TQueryHistory::Of(Query());
    Action(QStringLiteral("undo"))->setEnabled(history.CanUndo());
    Action(QStringLiteral("redo"))->setEnabled(history.CanRedo());
}

void StudioWindow::setModified(bool modified)
{
    FModified = modified;
    updateTitle();
}

void StudioWindow::updateTitle()
{
    const TVxQueryItem* item = FBase->GetCurrentQuery();
    const QString query = item ? item->QueryName() : tr("New query");
    const QString where = FWorkspace ? FWorkspace->Url : tr("no database");
    setWindowTitle(tr("%1%2 - %3 - Brindle Studio").arg(query, FModified ? QStringLiteral("*") : QString(), where));
}

void StudioWindow::closeEvent(QCloseEvent* event)
{
    if (!MaySetQueryAside()) {
        event->ignore();
        return;
    }
    FRows->Runner().Stop();
    saveLayout();
    event->accept();
}

void StudioWindow::restoreLayout()
{
    StudioSettings stored;
    if (!restoreGeometry(stored.value(QStringLiteral("geometry")).toByteArray()))
        resize(1200, 800);
    restoreState(stored.value(QStringLiteral("state")).toByteArray());
    FQuerySplitter->restoreState(stored.value(QStringLiteral("query-splitter")).toByteArray());
}

void StudioWindow::saveLayout() const
{
    StudioSettings stored;
    stored.setValue(QStringLiteral("geometry"), saveGeometry());
    stored.setValue(QStringLiteral("state"), saveState());
    stored.setValue(QStringLiteral("query-splitter"), FQuerySplitter->saveState());
}

} // namespace brindle::studio
