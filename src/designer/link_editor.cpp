#include <brindle/designer/link_editor.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>
#include <brindle/foundations/text_utils.h>
#include <brindle/panels/event_guard.h>

#include <exception>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace brindle {

namespace {

enum Column { colSide1 = 0, colOperator = 1, colSide2 = 2 };

// An entry as the editor shows it: a column without its "fld:" mark.
QString shownEntry(const QString& entry)
{
    return entry.startsWith(QLatin1String("fld:"), Qt::CaseInsensitive) ? entry.mid(4) : entry;
}

// An entry as the link stores it: values keep "val:", columns get "fld:".
QString storedEntry(const QString& shown)
{
    const QString text = shown.trimmed();
    if (text.isEmpty() || text.startsWith(QLatin1String("val:"), Qt::CaseInsensitive))
        return text;
    return QStringLiteral("fld:") + text;
}

bool isColumn(const QString& entry)
{
    return !entry.startsWith(QLatin1String("val:"), Qt::CaseInsensitive);
}

} // namespace

const QStringList& TdlgLinkEditor::LinkOperators()
{
    static const QStringList operators{QStringLiteral("="),  QStringLiteral("<>"), QStringLiteral("!="),
                                       QStringLiteral("<"),  QStringLiteral(">"),  QStringLiteral("<="),
                                       QStringLiteral(">=")};
    return operators;
}

TdlgLinkEditor::TdlgLinkEditor(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(LoadResString(_SEditLink));
    resize(520, 320);
    FTable1 = new QLabel(this);
    FTable2 = new QLabel(this);
    FLinkType = new QComboBox(this);
    FLinkType->addItems({tr("Inner"), tr("Left outer"), tr("Right outer"), tr("Full outer")});
    FQuote = new QCheckBox(tr("Quote column names"), this);
    auto* head = new QFormLayout;
    head->addRow(tr("Table 1:"), FTable1);
    head->addRow(tr("Table 2:"), FTable2);
    head->addRow(tr("Join type:"), FLinkType);
    head->addRow(QString(), FQuote);

    FGrid = new QTableWidget(0, 3, this);
    FGrid->setHorizontalHeaderLabels({tr("Table 1 column"), tr("Operator"), tr("Table 2 column")});
    FGrid->verticalHeader()->hide();
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrid->horizontalHeader()->setSectionResizeMode(colSide1, QHeaderView::Stretch);
    FGrid->horizontalHeader()->setSectionResizeMode(colSide2, QHeaderView::Stretch);
    FGrid->setColumnWidth(colOperator, 70);
    FAddButton = new QPushButton(tr("Add pair"), this);
    FAddButton->setAutoDefault(false);
    FRemoveButton = new QPushButton(tr("Remove pair"), this);
    FRemoveButton->setAutoDefault(false);
    auto* pairButtons = new QHBoxLayout;
    pairButtons->addWidget(FAddButton);
    pairButtons->addWidget(FRemoveButton);
    pairButtons->addStretch();
    auto* hint = new QLabel(tr("A side is a column, or \"val:\" followed by an SQL value."), this);
    hint->setWordWrap(true);

    FMessage = new QLabel(this);
    FMessage->setStyleSheet(QStringLiteral("color: #800000"));
    FOkButton = new QPushButton(tr("OK"), this);
    FOkButton->setDefault(true);
    FCancelButton = new QPushButton(tr("Cancel"), this);
    FCancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(FMessage, 1);
    buttons->addWidget(FOkButton);
    buttons->addWidget(FCancelButton);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(FGrid, 1);
    layout->addLayout(pairButtons);
    layout->addWidget(hint);
    layout->addLayout(buttons);

    connect(FAddButton, &QPushButton::clicked, this, [this] { Guarded([this] { AddPair(); }); });
    connect(FRemoveButton, &QPushButton::clicked, this,
            [this] { Guarded([this] { RemovePair(FGrid->currentRow()); }); });
    connect(FGrid, &QTableWidget::itemSelectionChanged, this, [this] { updateState(); });
    connect(FOkButton, &QPushButton::clicked, this, &TdlgLinkEditor::accept);
    connect(FCancelButton, &QPushButton::clicked, this, &TdlgLinkEditor::reject);
    updateState();
}

QStringList TdlgLinkEditor::columnsOf(const TDSTable* table, bool& listed)
{
    QStringList columns;
    TVxCustomDBStructure* model = table ? table->DBStruct() : nullptr;
    TVxDBInfo* info = model ? model->DatabaseInfo() : nullptr;
    if (!info || !info->Connected())
        return columns;
    // The editor opens without columns rather than not at all: the user
    // may still type them, and the message line tells why the list is empty.
    try {
        if (!table->DatabaseName().isEmpty())
            info->SetCurrentDbName(table->DatabaseName());
        for (const auto& column : info->GetFieldList(table->FullName()))
            columns.append(column->FieldName);
        listed = true;
    } catch (const std::exception& error) {
        FListError = LoadResString(_SError) + QStringLiteral("! : ") + QString::fromUtf8(error.what());
    }
    return columns;
}

void TdlgLinkEditor::Load(const TDSLink& link)
{
    while (FGrid->rowCount() > 0)
        FGrid->removeRow(0);
    FTable1->setText(link.Table1() ? link.Table1()->CompoundName() : QString());
    FTable2->setText(link.Table2() ? link.Table2()->CompoundName() : QString());
    bool listed1 = false;
    bool listed2 = false;
    FListError.clear();
    FColumns1 = columnsOf(link.Table1(), listed1);
    FColumns2 = columnsOf(link.Table2(), listed2);
    FMessage->setText(!FListError.isEmpty() ? FListError
                      : listed1 || listed2   ? QString()
                                             : LoadResString(_SDBNotConnected));
    FLinkType->setCurrentIndex(link.LinkType());
    FQuote->setChecked(link.QuoteFields());
    const TStringList& fields1 = link.Fields1();
    const TStringList& fields2 = link.Fields2();
    const TStringList& operators = link.Operators();
    const int count = qMax(fields1.Count(), fields2.Count());
    for (int i = 0; i < count; ++i)
        AddPair(i < fields1.Count() ? fields1[i] : QString(),
                i < operators.Count() ? operators[i] : QStringLiteral("="),
                i < fields2.Count() ? fields2[i] : QString());
    updateState();
}

QComboBox* TdlgLinkEditor::sideEditor(const QStringList& columns, const QString& entry)
{
    auto* box = new QComboBox;
    box->setEditable(true);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->addItems(columns);
    box->setCurrentIndex(-1);
    box->setEditText(shownEntry(entry));
    // An entry left as it was is written back as it was.
    box->setProperty("entry", entry);
    connect(box, &QComboBox::editTextChanged, this, [this, box](const QString& text) {
        // A column whose name is no identifier must be quoted in SQL.
        if (isColumn(text) && !text.trimmed().isEmpty() && !IsIdentifier(text.trimmed())
            && box->findText(text) >= 0)
            FQuote->setChecked(true);
        updateState();
    });
    return box;
}

void TdlgLinkEditor::AddPair(const QString& side1, const QString& op, const QString& side2)
{
    const int row = FGrid->rowCount();
    FGrid->insertRow(row);
    FGrid->setCellWidget(row, colSide1, sideEditor(FColumns1, side1));
    auto* ops = new QComboBox;
    ops->addItems(LinkOperators());
    if (ops->findText(op) < 0)
        ops->addItem(op);
    ops->setCurrentText(op);
    FGrid->setCellWidget(row, colOperator, ops);
    FGrid->setCellWidget(row, colSide2, sideEditor(FColumns2, side2));
    FGrid->selectRow(row);
    updateState();
}

void TdlgLinkEditor::RemovePair(int row)
{
    if (row < 0 || row >= FGrid->rowCount())
        return;
    FGrid->removeRow(row);
    updateState();
}

int TdlgLinkEditor::PairCount() const
{
    return FGrid->rowCount();
}

QComboBox* TdlgLinkEditor::SideBox(int row, int side) const
{
    return qobject_cast<QComboBox*>(FGrid->cellWidget(row, side == 1 ? colSide1 : colSide2));
}

QComboBox* TdlgLinkEditor::OperatorBox(int row) const
{
    return qobject_cast<QComboBox*>(FGrid->cellWidget(row, colOperator));
}

bool TdlgLinkEditor::IsComplete() const
{
    if (PairCount() == 0)
        return false;
    for (int row = 0; row < PairCount(); ++row)
        for (int side : {1, 2}) {
            // A row being removed has lost its editors already.
            const QComboBox* box = SideBox(row, side);
            if (!box)
                continue;
            const QString text = box->currentText().trimmed();
            if (text.isEmpty() || text.compare(QLatin1String("val:"), Qt::CaseInsensitive) == 0)
                return false;
        }
    return true;
}

void TdlgLinkEditor::updateState()
{
    FOkButton->setEnabled(IsComplete());
    FRemoveButton->setEnabled(FGrid->currentRow() >= 0 && PairCount() > 0);
}

void TdlgLinkEditor::accept()
{
    if (!IsComplete()) {
        FMessage->setText(tr("Every pair needs both sides."));
        return;
    }
    QDialog::accept();
}

void TdlgLinkEditor::Save(TDSLink& link) const
{
    TStringList fields1;
    TStringList fields2;
    TStringList operators;
    const auto entry = [this](int row, int side) {
        const QComboBox* box = SideBox(row, side);
        const QString original = box->property("entry").toString();
        return !original.isEmpty() && box->currentText() == shownEntry(original) ? original
                                                                                   : storedEntry(box->currentText());
    };
    for (int row = 0; row < PairCount(); ++row) {
        fields1.Add(entry(row, 1));
        operators.Add(OperatorBox(row)->currentText());
        fields2.Add(entry(row, 2));
    }
    link.SetFields1(fields1);
    link.SetFields2(fields2);
    link.SetOperators(operators);
    link.SetLinkType(static_cast<TDSLinkType>(FLinkType->currentIndex()));
    link.SetQuoteFields(FQuote->isChecked());
}

bool EditLinkDlg(TDSLink& link, QWidget* parent)
{
    TdlgLinkEditor dialog(parent);
    dialog.Load(link);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    dialog.Save(link);
    return true;
}

} // namespace brindle
