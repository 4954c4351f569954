#pragma once
// OperatorsPage: the data model editor's page of the operator catalogue:
// each operator's name, caption, SQL template ("@f" the field, "@1", "@2"
// the values), value format, value kind, value type and the field types it
// applies to. Resetting puts the default catalogue back; fields keep the
// operators of the same names.

#include <brindle/designer/model_editor_page.h>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace brindle {

class TDSOperator;

class BRINDLE_WIDGETS_EXPORT OperatorsPage : public ModelEditorPage {
    Q_OBJECT
public:
    OperatorsPage(TVxCustomDBStructure& model, QWidget* parent = nullptr);
    void Refresh() override;

    QListWidget* OperatorList() const { return FList; }
    QLineEdit* NameEdit() const { return FName; }
    QLineEdit* CaptionEdit() const { return FCaption; }
    QLineEdit* TemplateEdit() const { return FTemplate; }
    QLineEdit* FormatEdit() const { return FFormat; }
    QComboBox* KindCombo() const { return FKind; }
    QComboBox* ExprTypeCombo() const { return FExprType; }
    QCheckBox* CaseBox() const { return FCaseInsensitive; }
    QListWidget* TypeList() const { return FTypes; }
    QLabel* ValuesLabel() const { return FValues; }
    QPushButton* AddButton() const { return FAdd; }
    QPushButton* DeleteButton() const { return FDelete; }
    QPushButton* ResetButton() const { return FReset; }

private:
    TDSOperator* current() const;
    void showOperator();
    void addOperator();
    void deleteOperator();
    void resetCatalogue();
    void editOperator(const std::function<void(TDSOperator*)>& work);

    QListWidget* FList;
    QWidget* FDetails;
    QLineEdit* FName;
    QLineEdit* FCaption;
    QLineEdit* FTemplate;
    QLineEdit* FFormat;
    QComboBox* FKind;
    QComboBox* FExprType;
    QCheckBox* FCaseInsensitive;
    QListWidget* FTypes;
    QLabel* FValues;
    QPushButton* FAdd;
    QPushButton* FDelete;
    QPushButton* FReset;
};

} // namespace brindle
