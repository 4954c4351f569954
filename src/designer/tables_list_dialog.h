#pragma once
// TdlgTablesList: the dialog in which a user picks tables of a database to
// add to a data model. It lists the database names the database info
// reports (choosing one makes it the info's current database and lists
// its tables) and the tables of the current database, optionally with
// several chosen at once and an "add fields" check box. It refers to the
// info and owns nothing but its controls.

#include <brindle/brindle_widgets_export.h>
#include <brindle/foundations/set.h>

#include <QDialog>
#include <QStringList>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace brindle {

class TVxDBInfo;

enum TTablesListOption { tloShowAddFields, tloMultiSelect, tloAutoAddFields };
using TTablesListOptions = EnumSet<TTablesListOption>;

class BRINDLE_WIDGETS_EXPORT TdlgTablesList : public QDialog {
    Q_OBJECT
public:
    // Lists the databases and tables at once; what the info raises while
    // listing reaches the caller.
    TdlgTablesList(TVxDBInfo& info, TTablesListOptions options, QWidget* parent = nullptr);

    // The chosen tables in list order.
    QStringList SelectedTables() const;
    // The info's current database, whose tables the list shows.
    QString DatabaseName() const;
    bool AddFields() const;

    QComboBox* DatabaseBox() const { return FDatabases; }
    QListWidget* TableList() const { return FTables; }
    QCheckBox* AddFieldsBox() const { return FAddFields; }
    QPushButton* OkButton() const { return FOkButton; }
    QPushButton* CancelButton() const { return FCancelButton; }

private:
    void listTables();
    void chooseDatabase(const QString& name);

    TVxDBInfo& FInfo;
    QComboBox* FDatabases;
    QListWidget* FTables;
    QCheckBox* FAddFields;
    QLabel* FMessage;
    QPushButton* FOkButton;
    QPushButton* FCancelButton;
};

// Runs the dialog; true when confirmed, with the chosen tables, the
// database they are in and the add-fields choice.
BRINDLE_WIDGETS_EXPORT bool SelectTablesDlg(TVxDBInfo& info, TTablesListOptions options, QStringList& tables,
                                            QString& database, bool& addFields, QWidget* parent = nullptr);

} // namespace brindle
