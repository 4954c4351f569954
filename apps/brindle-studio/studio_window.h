#pragma once
// Brindle Studio's main window. The query page holds the query panel, the
// result fields panel over the same query, the statement in the chosen
// syntax (rebuilt after every change) and the rows of the last run. The
// model page holds the structure design panel and the data model editor.
// A dock lists the query base: the query files of a folder.
//
// Every error is shown in the window; a query with unsaved changes is
// never replaced or closed without asking.

#include "studio_sources.h"

#include <QMainWindow>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QListWidget;
class QPlainTextEdit;
class QSplitter;
class QTabWidget;
class QTableView;

namespace brindle {
class QueryResultModel;
class TVxFileQueryBase;
class TVxQuery;
class TVxQueryPanel;
class TVxResultFieldsPanel;
class TVxStructDesignPanel;
} // namespace brindle

namespace brindle::studio {

class StudioWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit StudioWindow(QWidget* parent = nullptr);
    ~StudioWindow() override;

    // Opens the database of the URL with the model of the file (retrieved
    // from the database when the name is empty). False, with the error
    // shown, when either fails; the open workspace stays then.
    bool OpenDatabase(const QString& url, const QString& modelFile);
    // Lists the folder's query files and opens the first.
    bool OpenQueryFolder(const QString& folder);
    // Makes the stored query of that name (or file base name) current;
    // false when none has it.
    bool OpenStoredQuery(const QString& name);

    TVxQuery& Query() const;
    TVxQueryPanel* QueryPanel() const { return FQueryPanel; }
    TVxResultFieldsPanel* FieldsPanel() const { return FFieldsPanel; }
    TVxStructDesignPanel* DesignPanel() const { return FDesignPanel; }
    TVxFileQueryBase* QueryBase() const { return FBase.get(); }
    QListWidget* QueryList() const { return FQueryList; }
    QPlainTextEdit* StatementView() const { return FStatement; }
    QTableView* Grid() const { return FGrid; }
    QueryResultModel* Rows() const { return FRows; }
    QLabel* RowsLabel() const { return FRowsLabel; }
    QTabWidget* Pages() const { return FPages; }
    Workspace* CurrentWorkspace() const { return FWorkspace.get(); }
    // Whether the query changed since it was opened or saved.
    bool Modified() const { return FModified; }

    // Asks to save unsaved changes: true when they were saved or may go.
    bool MaySetQueryAside();
    bool SaveQuery();
    bool SaveQueryAs(const QString& name);
    void NewQuery();
    void DeleteQuery();
    void ImportSql();
    void EditModel();
    bool SaveModel(const QString& path);
    // Runs the statement in the background; the grid fills as it scrolls.
    void RunQuery();
    void CancelRun();
    // Runs the statement again and writes every row to the file (CSV, or
    // XLSX by the suffix); false, with the error shown, when that fails.
    bool ExportRows(const QString& path);

    QAction* Action(const QString& name) const;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void makeActions();
    void makeMenus();
    QWidget* makeQueryPage();
    QWidget* makeModelPage();
    void makeBaseDock();
    void queryChanged();
    void showStatement();
    void listQueries();
    void currentQueryMoved();
    void updateTitle();
    void setModified(bool modified);
    void moveTo(int index);
    void chooseDatabase();
    void chooseModel();
    void chooseFolder();
    void saveModelAs();
    void exportAs();
    void runStateChanged();
    void showUndoState();
    void restoreLayout();
    void saveLayout() const;

    std::unique_ptr<Workspace> FWorkspace;
    std::unique_ptr<TVxFileQueryBase> FBase;
    QTabWidget* FPages = nullptr;
    TVxQueryPanel* FQueryPanel = nullptr;
    TVxResultFieldsPanel* FFieldsPanel = nullptr;
    TVxStructDesignPanel* FDesignPanel = nullptr;
    QPlainTextEdit* FStatement = nullptr;
    QComboBox* FSyntax = nullptr;
    QTableView* FGrid = nullptr;
    QueryResultModel* FRows = nullptr;
    QLabel* FRowsLabel = nullptr;
    QListWidget* FQueryList = nullptr;
    QSplitter* FQuerySplitter = nullptr;
    QString FModelFile;
    bool FModified = false;
    // While the window itself loads a query, its changes are not the user's.
    bool FLoading = false;
};

} // namespace brindle::studio
