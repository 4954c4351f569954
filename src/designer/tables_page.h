#pragma once
// TablesPage: the data model editor's page of tables. A table's name is
// what FROM writes before the alias, so a derived table is its SELECT in
// parentheses with an alias. With a connected database, Add offers the
// database's tables, which bring their columns along when the model says
// so (AutoAddFields). Deleting a table takes its fields and links along,
// as the model does; moving one changes the model's order.

#include <brindle/designer/model_editor_page.h>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

class TDSTable;
class TTypeFilter;

class BRINDLE_WIDGETS_EXPORT TablesPage : public ModelEditorPage {
    Q_OBJECT
public:
    TablesPage(TVxCustomDBStructure& model, QWidget* parent = nullptr);
    void Refresh() override;

    QListView* TableList() const { return FList; }
    TTypeFilter* TableFilter() const { return FListFilter; }
    QLineEdit* NameEdit() const { return FName; }
    QLineEdit* AliasEdit() const { return FAlias; }
    QLineEdit* DisplayNameEdit() const { return FDisplayName; }
    QLineEdit* DatabaseEdit() const { return FDatabase; }
    QLineEdit* HintsEdit() const { return FHints; }
    QCheckBox* QuotedBox() const { return FQuoted; }
    QLabel* FromLabel() const { return FFrom; }
    QLabel* UsageLabel() const { return FUsage; }
    QPushButton* AddButton() const { return FAdd; }
    QPushButton* DeleteButton() const { return FDelete; }
    QToolButton* UpButton() const { return FUp; }
    QToolButton* DownButton() const { return FDown; }

private:
    TDSTable* current() const;
    void showTable();
    void showEntry();
    // The database's tables the model lacks; none without a connected database info.
    QStringList databaseTables() const;
    // With a connected database, Add offers its tables the model lacks.
    void chooseTable();
    // A table of the database's, with its columns when the model adds
    // fields by itself (AutoAddFields), or a new one for an empty name.
    void addTable(const QString& databaseTable);
    void deleteTable();
    void moveTable(int step);
    // Applies an edit of the current table and shows its derived texts again.
    void editTable(const std::function<void(TDSTable*)>& work);

    QListView* FList;
    TTypeFilter* FListFilter;
    QLineEdit* FName;
    QLineEdit* FAlias;
    QLineEdit* FDisplayName;
    QLineEdit* FDatabase;
    QLineEdit* FHints;
    QCheckBox* FQuoted;
    QLabel* FFrom;
    QLabel* FUsage;
    QPushButton* FAdd;
    QPushButton* FDelete;
    QToolButton* FUp;
    QToolButton* FDown;
    QWidget* FDetails;
};

} // namespace brindle
