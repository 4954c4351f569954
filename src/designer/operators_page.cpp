#include <brindle/designer/operators_page.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/interaction.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace brindle {

namespace {

QString operatorCaption(const TDSOperator* op)
{
    return op->Name() + QStringLiteral(" \u2013 ") + op->DisplayName();
}

} // namespace

OperatorsPage::OperatorsPage(TVxCustomDBStructure& model, QWidget* parent) : ModelEditorPage(model, parent)
{
    FList = new QListWidget(this);
    FList->setUniformItemSizes(true);
    FList->setAccessibleName(tr("Operators"));
    FAdd = new QPushButton(tr("&Add"), this);
    FDelete = new QPushButton(tr("&Delete"), this);
    FReset = new QPushButton(tr("&Reset to default"), this);
    FReset->setToolTip(tr("Puts the default catalogue back; fields keep the default operators they offer"));
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(FList, 1);
    listColumn->addLayout(buttonRow({FAdd, FDelete, FReset}));

    FDetails = new QWidget(this);
    FName = new QLineEdit(FDetails);
    FCaption = new QLineEdit(FDetails);
    FTemplate = new QLineEdit(FDetails);
    FTemplate->setPlaceholderText(tr("@f the field, @1 and @2 the values"));
    FFormat = new QLineEdit(FDetails);
    FFormat->setToolTip(tr("The word shown between two values, as \"and\""));
    FKind = new QComboBox(FDetails);
    // In the order of TValueKind.
    FKind->addItems({tr("One value"), tr("List of values"), tr("Sub-query")});
    FExprType = new QComboBox(FDetails);
    fillFieldTypes(FExprType, tr("Same as the field"));
    FCaseInsensitive = new QCheckBox(tr("&Ignore letter case"), FDetails);
    FValues = new QLabel(FDetails);
    FTypes = new QListWidget(FDetails);
    FTypes->setAccessibleName(tr("Applied types"));
    FTypes->setFlow(QListView::TopToBottom);
    FTypes->setWrapping(true);
    FTypes->setResizeMode(QListView::Adjust);
    FTypes->setUniformItemSizes(true);
    int widest = 0;
    for (int type = 0; type < FieldTypeCount; ++type) {
        auto* item = new QListWidgetItem(FldTypeToStr(static_cast<TFieldType>(type)), FTypes);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
        widest = qMax(widest, FTypes->fontMetrics().horizontalAdvance(item->text()));
    }
    // Room for the check box and the widest name, so no name is cut.
    const int indicator = FTypes->style()->pixelMetric(QStyle::PM_IndicatorWidth);
    FTypes->setGridSize(QSize(widest + indicator + 16, FTypes->fontMetrics().height() + 4));
    auto* form = new QFormLayout(FDetails);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(tr("&Name:"), FName);
    form->addRow(tr("&Caption:"), FCaption);
    form->addRow(tr("&SQL template:"), FTemplate);
    form->addRow(tr("Values:"), FValues);
    form->addRow(tr("Value &format:"), FFormat);
    form->addRow(tr("Value &kind:"), FKind);
    form->addRow(tr("Value t&ype:"), FExprType);
    form->addRow(QString(), FCaseInsensitive);
    auto* typesLabel = new QLabel(tr("Applies to &types:"), FDetails);
    typesLabel->setBuddy(FTypes);
    form->addRow(typesLabel);
    form->addRow(FTypes);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 1);
    layout->addWidget(FDetails, 2);

    connect(FList, &QListWidget::currentRowChanged, this, [this] { fill([this] { showOperator(); }); });
    connect(FAdd, &QPushButton::clicked, this, [this] { edit([this] { addOperator(); }); });
    connect(FDelete, &QPushButton::clicked, this, [this] { edit([this] { deleteOperator(); }); });
    connect(FReset, &QPushButton::clicked, this, [this] { edit([this] { resetCatalogue(); }); });
    connect(FName, &QLineEdit::textEdited, this,
            [this](const QString& text) { editOperator([&](TDSOperator* op) { op->SetName(text); }); });
    connect(FCaption, &QLineEdit::textEdited, this,
            [this](const QString& text) { editOperator([&](TDSOperator* op) { op->SetDisplayName(text); }); });
    connect(FTemplate, &QLineEdit::textEdited, this,
            [this](const QString& text) { editOperator([&](TDSOperator* op) { op->SetSQLExpr(text); }); });
    connect(FFormat, &QLineEdit::textEdited, this,
            [this](const QString& text) { editOperator([&](TDSOperator* op) { op->SetValFormat(text); }); });
    connect(FKind, &QComboBox::activated, this, [this](int kind) {
        editOperator([&](TDSOperator* op) { op->SetValueKind(static_cast<TValueKind>(kind)); });
    });
    connect(FExprType, &QComboBox::activated, this, [this](int entry) {
        // The first entry, "same as the field", is ftUnknown.
        const int type = qMax(0, FExprType->itemData(entry).toInt());
        editOperator([&](TDSOperator* op) { op->SetExprType(static_cast<TFieldType>(type)); });
    });
    connect(FCaseInsensitive, &QCheckBox::clicked, this,
            [this](bool on) { editOperator([&](TDSOperator* op) { op->SetCaseInsensative(on); }); });
    connect(FTypes, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        editOperator([&](TDSOperator* op) {
            const auto type = static_cast<TFieldType>(FTypes->row(item));
            if (item->checkState() == Qt::Checked)
                op->AppliedTypes.Include(type);
            else
                op->AppliedTypes.Exclude(type);
        });
    });
}

TDSOperator* OperatorsPage::current() const
{
    return itemEntity<TDSOperator>(FList->currentItem());
}

void OperatorsPage::Refresh()
{
    fill([this] {
        refillList(FList, [this] {
            for (int i = 0; i < Model().OperatCount(); ++i)
                entityItem(FList, operatorCaption(Model().Operators(i)), Model().Operators(i));
        });
        showOperator();
    });
}

void OperatorsPage::showOperator()
{
    TDSOperator* op = current();
    FDetails->setEnabled(op);
    FDelete->setEnabled(op);
    FName->setText(op ? op->Name() : QString());
    FCaption->setText(op ? op->DisplayName() : QString());
    FTemplate->setText(op ? op->SQLExpr() : QString());
    FFormat->setText(op ? op->ValFormat() : QString());
    FKind->setCurrentIndex(op ? op->ValueKind() : 0);
    FExprType->setCurrentIndex(!op || op->ExprType() == ftUnknown ? 0 : FExprType->findData(int(op->ExprType())));
    FCaseInsensitive->setChecked(op && op->CaseInsensative());
    FValues->setText(op ? QString::number(op->ParamCount()) : QString());
    for (int type = 0; type < FTypes->count(); ++type)
        FTypes->item(type)->setCheckState(op && op->AppliedTypes.Contains(static_cast<TFieldType>(type)) ? Qt::Checked
                                                                                                      : Qt::Unchecked);
}

void OperatorsPage::editOperator(const std::function<void(TDSOperator*)>& work)
{
    edit([&] {
        if (TDSOperator* op = current()) {
            work(op);
            Model().Changed();
            FList->currentItem()->setText(operatorCaption(op));
            FValues->setText(QString::number(op->ParamCount()));
        }
    });
}

void OperatorsPage::addOperator()
{
    QString name;
    for (int n = 1;; ++n) {
        name = QStringLiteral("Operator%1").arg(n);
        if (!Model().OperatorByName(name))
            break;
    }
    TDSOperator* op = Model().Operators(
        Model().AddOperator(name, tr("new operator"), QStringLiteral("@f = '@1'"), QString(), BrCommonTypes));
    showAgain(FList, op, -1);
    showOperator();
    FName->setFocus();
    FName->selectAll();
}

void OperatorsPage::deleteOperator()
{
    TDSOperator* op = current();
    if (!op || !Ask(LoadResString(_SDeleteOperator)))
        return;
    const int row = FList->currentRow();
    Model().DelOperator(Model().IndexOfOperator(op));
    showAgain(FList, nullptr, row);
    showOperator();
}

void OperatorsPage::resetCatalogue()
{
    if (!Ask(tr("Replace the operators by the default catalogue?")))
        return;
    // The catalogue this model would build. An operator of a default name
    // stays the same object and takes the default content, so whatever
    // refers to it (a query's rows, once OK hands the copy back) keeps it,
    // and fields keep offering it; the others go.
    TVxCustomDBStructure defaults;
    defaults.SetDefOperators(Model().DefOperators());
    defaults.SetExOperators(Model().ExOperators());
    defaults.ClearOperators();
    defaults.AddDefOperators(false);
    for (int i = Model().OperatCount() - 1; i >= 0; --i)
        if (!defaults.OperatorByName(Model().Operators(i)->Name()))
            Model().DelOperator(i);
    for (int i = 0; i < defaults.OperatCount(); ++i) {
        const TDSOperator* standard = defaults.Operators(i);
        TDSOperator* op = Model().OperatorByName(standard->Name());
        if (!op)
            op = Model().Operators(Model().AddOperator(standard->Name(), {}, {}, {}, {}));
        TVxCustomDBStructure::InitOperator(op, standard->Name(), standard->DisplayName(), standard->SQLExpr(),
                                           standard->ValFormat(), standard->AppliedTypes);
        op->SetExprType(standard->ExprType());
        op->SetValueKind(standard->ValueKind());
        op->SetCaseInsensative(standard->CaseInsensative());
    }
    Model().Changed();
    Refresh();
}

} // namespace brindle
