#pragma once
// DiagramPage: the data model editor's diagram of the working copy, the
// structure design panel with buttons for what its menu offers. Boxes moved
// or sized here are the tables' design positions, saved with the model.

#include <brindle/designer/model_editor_page.h>

class QPushButton;

namespace brindle {

class TVxStructDesignPanel;

class BRINDLE_WIDGETS_EXPORT DiagramPage : public ModelEditorPage {
    Q_OBJECT
public:
    DiagramPage(TVxCustomDBStructure& model, QWidget* parent = nullptr);
    // The other pages may have added or freed tables and links: the panel
    // is activated anew over the model.
    void Refresh() override;

    TVxStructDesignPanel* Panel() const { return FPanel; }
    QPushButton* AddTablesButton() const { return FAddTables; }
    QPushButton* DrawLinkButton() const { return FDrawLink; }
    QPushButton* EditLinkButton() const { return FEditLink; }
    QPushButton* ArrangeButton() const { return FArrange; }

private:
    void updateButtons();

    TVxStructDesignPanel* FPanel;
    QPushButton* FAddTables;
    QPushButton* FDrawLink;
    QPushButton* FEditLink;
    QPushButton* FArrange;
};

} // namespace brindle
