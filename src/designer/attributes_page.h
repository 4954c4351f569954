#pragma once
// AttributesPage: the data model editor's page of attributes (fields): the
// fields, filtered by table and entity, and the selected field's kind,
// column or expression, caption, table, type and size, where it is offered
// (conditions, results), its aggregate flag, the catalogue operators it
// offers, and its value editor with that editor's settings.

#include <brindle/designer/model_editor_page.h>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;
class QStackedWidget;
class QTableWidget;

namespace brindle {

class TDSField;
class TDSFieldGroup;
class TTypeFilter;

class BRINDLE_WIDGETS_EXPORT AttributesPage : public ModelEditorPage {
    Q_OBJECT
public:
    AttributesPage(TVxCustomDBStructure& model, QWidget* parent = nullptr);
    void Refresh() override;

    QComboBox* TableFilter() const { return FTableFilter; }
    QComboBox* EntityFilter() const { return FEntityFilter; }
    QListView* FieldList() const { return FList; }
    TTypeFilter* FieldFilter() const { return FListFilter; }
    QPushButton* AddDataButton() const { return FAddData; }
    QPushButton* AddVirtualButton() const { return FAddVirtual; }
    QPushButton* DeleteButton() const { return FDelete; }
    QComboBox* KindCombo() const { return FKind; }
    QLineEdit* ExpressionEdit() const { return FExpression; }
    QLineEdit* DisplayNameEdit() const { return FDisplayName; }
    QComboBox* TableCombo() const { return FTable; }
    QComboBox* TypeCombo() const { return FType; }
    QSpinBox* SizeSpin() const { return FSize; }
    QCheckBox* QuotedBox() const { return FQuoted; }
    QCheckBox* ConditionsBox() const { return FInConditions; }
    QCheckBox* ResultsBox() const { return FInResults; }
    QCheckBox* AggregateBox() const { return FAggregate; }
    QListWidget* OperatorList() const { return FOperators; }
    QPushButton* ByTypeButton() const { return FByType; }
    QComboBox* EditorCombo() const { return FEditor; }
    QLineEdit* DefaultValueEdit() const { return FDefaultValue; }
    QLineEdit* EditMaskEdit() const { return FEditMask; }
    QComboBox* TextKindCombo() const { return FTextKind; }
    QComboBox* ValueTypeCombo() const { return FValueType; }
    QCheckBox* UpperCaseBox() const { return FUpperCase; }
    QCheckBox* LowerCaseBox() const { return FLowerCase; }
    QCheckBox* FormattedBox() const { return FFormatted; }
    QTableWidget* ListItems() const { return FListItems; }
    QPushButton* AddItemButton() const { return FAddItem; }
    QPushButton* DeleteItemButton() const { return FDeleteItem; }
    QPlainTextEdit* SQLEdit() const { return FSQL; }
    QPlainTextEdit* CustomDataEdit() const { return FCustomData; }

private:
    TDSField* current() const;
    // table: the table filter's entry (a table, all, or the virtual fields); group: none for all.
    bool passesFilter(const TDSField* field, quintptr table, const TDSFieldGroup* group) const;
    void fillFilters();
    void fillList();
    void showField();
    void showEditor();
    void showOperators();
    void addField(bool isVirtual);
    void deleteField();
    void setKind(bool isVirtual);
    void setExpression(const QString& text);
    void operatorToggled(QListWidgetItem* item);
    void setEditType(int type);
    void listItemsEdited();
    // Applies an edit of the current field and shows its caption again.
    void editField(const std::function<void(TDSField*)>& work);
    QWidget* makeDetails();
    QWidget* makeEditorSettings();

    QComboBox* FTableFilter;
    QComboBox* FEntityFilter;
    QListView* FList;
    TTypeFilter* FListFilter;
    QPushButton* FAddData;
    QPushButton* FAddVirtual;
    QPushButton* FDelete;
    QWidget* FDetails;
    QComboBox* FKind;
    QLineEdit* FExpression;
    QLabel* FExpressionLabel;
    QLineEdit* FDisplayName;
    QComboBox* FTable;
    QComboBox* FType;
    QSpinBox* FSize;
    QCheckBox* FQuoted;
    QCheckBox* FInConditions;
    QCheckBox* FInResults;
    QCheckBox* FAggregate;
    QListWidget* FOperators;
    QPushButton* FByType;
    QComboBox* FEditor;
    QStackedWidget* FEditorPages;
    QLineEdit* FDefaultValue;
    QLineEdit* FEditMask;
    QComboBox* FTextKind;
    QComboBox* FValueType;
    QCheckBox* FUpperCase;
    QCheckBox* FLowerCase;
    QCheckBox* FFormatted;
    QTableWidget* FListItems;
    QPushButton* FAddItem;
    QPushButton* FDeleteItem;
    QPlainTextEdit* FSQL;
    QPlainTextEdit* FCustomData;
};

} // namespace brindle
