#pragma once
// EntitiesPage: the data model editor's page of entities (field groups) as a
// tree: a node per named group holding its attributes, and a node for the
// attributes that stand in no entity (the model's root group). Groups are
// added, renamed and deleted here, and an attribute moves to another
// entity; the attributes themselves are edited on the attributes page.

#include <brindle/designer/model_editor_page.h>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace brindle {

class TDSField;
class TDSFieldGroup;

class BRINDLE_WIDGETS_EXPORT EntitiesPage : public ModelEditorPage {
    Q_OBJECT
public:
    EntitiesPage(TVxCustomDBStructure& model, QWidget* parent = nullptr);
    void Refresh() override;

    QTreeWidget* Tree() const { return FTree; }
    // The node of a group (the root group's for none) or of an attribute;
    // a group's node gets its attributes' nodes when it is first expanded
    // or one of them is looked for.
    QTreeWidgetItem* GroupNode(const TDSFieldGroup* group) const;
    QTreeWidgetItem* FieldNode(const TDSField* field) const;
    QLineEdit* NameEdit() const { return FName; }
    QComboBox* TargetCombo() const { return FTarget; }
    QPushButton* MoveButton() const { return FMove; }
    QPushButton* AddButton() const { return FAdd; }
    QPushButton* DeleteButton() const { return FDelete; }
    QCheckBox* RootFirstBox() const { return FRootFirst; }

private:
    TDSFieldGroup* currentGroup() const;
    TDSField* currentField() const;
    void showCurrent();
    void addGroup();
    void deleteGroup();
    void moveField();
    void renameGroup(const QString& name);
    QTreeWidgetItem* groupNode(TDSFieldGroup* group);
    void populate(QTreeWidgetItem* node) const;

    QTreeWidget* FTree;
    QLineEdit* FName;
    QComboBox* FTarget;
    QPushButton* FMove;
    QPushButton* FAdd;
    QPushButton* FDelete;
    QCheckBox* FRootFirst;
};

} // namespace brindle
