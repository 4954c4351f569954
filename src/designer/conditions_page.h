#pragma once
// ConditionsPage: the data model editor's page of predefined conditions:
// each one's caption format (one "@" per value slot), its SQL text, and the
// data type and kind of every value slot the caption makes.

#include <brindle/designer/model_editor_page.h>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

namespace brindle {

class TDSCondition;

class BRINDLE_WIDGETS_EXPORT ConditionsPage : public ModelEditorPage {
    Q_OBJECT
public:
    ConditionsPage(TVxCustomDBStructure& model, QWidget* parent = nullptr);
    void Refresh() override;

    QListWidget* ConditionList() const { return FList; }
    QLineEdit* CaptionEdit() const { return FCaption; }
    QLineEdit* SQLEdit() const { return FSQL; }
    QTableWidget* ValueTable() const { return FValues; }
    QLabel* IDLabel() const { return FID; }
    QPushButton* AddButton() const { return FAdd; }
    QPushButton* DeleteButton() const { return FDelete; }

private:
    TDSCondition* current() const;
    void showCondition();
    void showValues();
    void addCondition();
    void deleteCondition();
    void editCondition(const std::function<void(TDSCondition*)>& work);

    QListWidget* FList;
    QWidget* FDetails;
    QLabel* FID;
    QLineEdit* FCaption;
    QLineEdit* FSQL;
    QTableWidget* FValues;
    QPushButton* FAdd;
    QPushButton* FDelete;
};

} // namespace brindle
