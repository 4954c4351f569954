#include <brindle/designer/conditions_page.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/interaction.h>

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace brindle {

namespace {

enum ValueColumn { vcText, vcType, vcKind };

void fillValueKinds(QComboBox* combo)
{
    // In the order of TValueKind.
    combo->addItems({ConditionsPage::tr("One value"), ConditionsPage::tr("List of values"), ConditionsPage::tr("Sub-query")});
}

QString conditionCaption(const TDSCondition* condition)
{
    const QString caption = condition->Caption();
    return caption.isEmpty() ? QStringLiteral("(%1)").arg(condition->ID()) : caption;
}

} // namespace

ConditionsPage::ConditionsPage(TVxCustomDBStructure& model, QWidget* parent) : ModelEditorPage(model, parent)
{
    FList = new QListWidget(this);
    FList->setUniformItemSizes(true);
    FList->setAccessibleName(tr("Conditions"));
    FAdd = new QPushButton(tr("&Add condition"), this);
    FDelete = new QPushButton(tr("&Delete condition"), this);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(FList, 1);
    listColumn->addLayout(buttonRow({FAdd, FDelete}));

    FDetails = new QWidget(this);
    FID = new QLabel(FDetails);
    FCaption = new QLineEdit(FDetails);
    FCaption->setToolTip(tr("The caption; each \"@\" stands for a value the user enters"));
    FSQL = new QLineEdit(FDetails);
    FSQL->setToolTip(tr("The SQL of the condition; \"@1\", \"@2\" ... stand for the values"));
    FValues = new QTableWidget(0, 3, FDetails);
    FValues->setHorizontalHeaderLabels({tr("Text before the value"), tr("Data type"), tr("Kind")});
    FValues->horizontalHeader()->setSectionResizeMode(vcText, QHeaderView::Stretch);
    // The editors' columns take the widths of their combo boxes.
    for (const int column : {vcType, vcKind}) {
        QComboBox sample;
        column == vcType ? fillFieldTypes(&sample) : fillValueKinds(&sample);
        FValues->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Fixed);
        FValues->setColumnWidth(column, sample.sizeHint().width());
    }
    FValues->verticalHeader()->hide();
    FValues->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FValues->setAccessibleName(tr("Values"));
    auto* help = new QLabel(tr("Write \"@\" in the caption where the user enters a value, and \"@1\", \"@2\" ... "
                               "for those values in the SQL."),
                            FDetails);
    help->setWordWrap(true);
    auto* form = new QFormLayout(FDetails);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(help);
    form->addRow(tr("ID:"), FID);
    form->addRow(tr("&Caption:"), FCaption);
    form->addRow(tr("&SQL:"), FSQL);
    auto* valuesLabel = new QLabel(tr("&Values:"), FDetails);
    valuesLabel->setBuddy(FValues);
    form->addRow(valuesLabel);
    form->addRow(FValues);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 2);
    layout->addWidget(FDetails, 3);

    connect(FList, &QListWidget::currentRowChanged, this, [this] { fill([this] { showCondition(); }); });
    connect(FAdd, &QPushButton::clicked, this, [this] { edit([this] { addCondition(); }); });
    connect(FDelete, &QPushButton::clicked, this, [this] { edit([this] { deleteCondition(); }); });
    connect(FCaption, &QLineEdit::textEdited, this, [this](const QString& text) {
        editCondition([&](TDSCondition* c) { c->SetDisplayFormat(text); });
        fill([this] { showValues(); });
    });
    connect(FSQL, &QLineEdit::textEdited, this,
            [this](const QString& text) { editCondition([&](TDSCondition* c) { c->SetSQLExpr(text); }); });
}

TDSCondition* ConditionsPage::current() const
{
    return itemEntity<TDSCondition>(FList->currentItem());
}

void ConditionsPage::Refresh()
{
    fill([this] {
        refillList(FList, [this] {
            for (const auto& condition : Model().Conditions())
                entityItem(FList, conditionCaption(condition.get()), condition.get());
        });
        showCondition();
    });
}

void ConditionsPage::showCondition()
{
    TDSCondition* condition = current();
    FDetails->setEnabled(condition);
    FDelete->setEnabled(condition);
    FID->setText(condition ? QString::number(condition->ID()) : QString());
    FCaption->setText(condition ? condition->DisplayFormat() : QString());
    FSQL->setText(condition ? condition->SQLExpr() : QString());
    showValues();
}

void ConditionsPage::showValues()
{
    TDSCondition* condition = current();
    const int count = condition ? condition->Values().Count() : 0;
    // Replaced editors are deleted by the event loop: until then they must not show.
    for (int row = 0; row < FValues->rowCount(); ++row)
        for (int column : {vcType, vcKind})
            if (QWidget* old = FValues->cellWidget(row, column))
                old->hide();
    FValues->setRowCount(count);
    for (int row = 0; row < count; ++row) {
        TDSValue* value = condition->Values().GetItem(row);
        FValues->setItem(row, vcText, new QTableWidgetItem(value->Text()));
        auto* type = new QComboBox;
        fillFieldTypes(type);
        type->setCurrentIndex(value->DataType());
        auto* kind = new QComboBox;
        fillValueKinds(kind);
        kind->setCurrentIndex(value->DataKind());
        FValues->setCellWidget(row, vcType, type);
        FValues->setCellWidget(row, vcKind, kind);
        // The slot is found again by its row: the condition may have made new slots meanwhile.
        connect(type, &QComboBox::activated, this, [this, row](int chosen) {
            editCondition([&](TDSCondition* c) {
                if (row < c->Values().Count())
                    c->Values().GetItem(row)->SetDataType(static_cast<TFieldType>(chosen));
            });
        });
        connect(kind, &QComboBox::activated, this, [this, row](int chosen) {
            editCondition([&](TDSCondition* c) {
                if (row < c->Values().Count())
                    c->Values().GetItem(row)->SetDataKind(static_cast<TValueKind>(chosen));
            });
        });
    }
}

void ConditionsPage::editCondition(const std::function<void(TDSCondition*)>& work)
{
    edit([&] {
        if (TDSCondition* condition = current()) {
            work(condition);
            Model().Changed();
            FList->currentItem()->setText(conditionCaption(condition));
        }
    });
}

void ConditionsPage::addCondition()
{
    auto owned = std::make_unique<TDSCondition>(&Model());
    TDSCondition* condition = owned.get();
    condition->SetDisplayFormat(tr("new condition"));
    Model().Conditions().Add(std::move(owned));
    Model().Changed();
    showAgain(FList, condition, -1);
    showCondition();
    FCaption->setFocus();
    FCaption->selectAll();
}

void ConditionsPage::deleteCondition()
{
    TDSCondition* condition = current();
    if (!condition || !Ask(LoadResString(_SDeleteCondition)))
        return;
    const int row = FList->currentRow();
    TDSConditionList& conditions = Model().Conditions();
    for (int i = 0; i < conditions.Count(); ++i)
        if (conditions.Items(i) == condition) {
            conditions.Delete(i);
            break;
        }
    Model().Changed();
    showAgain(FList, nullptr, row);
    showCondition();
}

} // namespace brindle
