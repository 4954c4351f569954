#include <brindle/designer/diagram_page.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/designer/struct_design_panel.h>

#include <QPushButton>
#include <QVBoxLayout>

namespace brindle {

DiagramPage::DiagramPage(TVxCustomDBStructure& model, QWidget* parent) : ModelEditorPage(model, parent)
{
    FPanel = new TVxStructDesignPanel(this);
    FPanel->SetDBStruct(&model);
    FAddTables = new QPushButton(tr("Add tables..."), this);
    FDrawLink = new QPushButton(tr("Draw link"), this);
    FEditLink = new QPushButton(tr("Edit link..."), this);
    FArrange = new QPushButton(tr("Arrange"), this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FPanel, 1);
    layout->addLayout(buttonRow({FAddTables, FDrawLink, FEditLink, FArrange}));

    connect(FAddTables, &QPushButton::clicked, this, [this] {
        edit([this] {
            bool addFields = Model().AutoAddFields();
            FPanel->AddTablesDlg(nullptr, addFields);
        });
    });
    connect(FDrawLink, &QPushButton::clicked, this, [this] { edit([this] { FPanel->StartAddLink(); }); });
    connect(FEditLink, &QPushButton::clicked, this, [this] { edit([this] { FPanel->EditActiveLink(); }); });
    connect(FArrange, &QPushButton::clicked, this, [this] { edit([this] { FPanel->RearrangeTables(); }); });
    FPanel->OnSelectLink = [this](TVxStructDesignPanel*) { updateButtons(); };
    FPanel->OnAddLinkFinish = [this](TVxStructDesignPanel*, TLinkRep*) { updateButtons(); };
}

void DiagramPage::Refresh()
{
    fill([this] {
        FPanel->Deactivate();
        FPanel->Activate();
    });
    updateButtons();
}

void DiagramPage::updateButtons()
{
    // Tables come from the database info; a link needs two boxes to join.
    FAddTables->setEnabled(Model().DatabaseInfo() != nullptr);
    FDrawLink->setEnabled(FPanel->TablesRep().Count() > 0);
    FEditLink->setEnabled(FPanel->ActiveLink() != nullptr);
    FArrange->setEnabled(FPanel->TablesRep().Count() > 1);
}

} // namespace brindle
