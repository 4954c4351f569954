#include <brindle/panels/titles_editor.h>

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSet>
#include <QTableWidget>
#include <QVBoxLayout>

namespace brindle {

namespace {

enum Column { colName, colDefault, colText };

QTableWidgetItem* readOnly(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

TdlgTitlesEditor::TdlgTitlesEditor(const TStringList& defaults, const TStringList& titles, QWidget* parent)
    : QDialog(parent), FTitles(titles), FTable(new QTableWidget(this)), FReset(new QPushButton(tr("Reset to default")))
{
    setWindowTitle(tr("Titles"));
    resize(640, 420);
    for (int i = 0; i < FTitles.Count(); ++i) {
        const QString& line = FTitles[i];
        const qsizetype equals = line.indexOf(u'=');
        if (equals > 0 && !line.startsWith(u'['))
            FLines.append(i);
    }
    FTable->setColumnCount(3);
    FTable->setHorizontalHeaderLabels({tr("Name"), tr("Default text"), tr("Text")});
    FTable->setRowCount(static_cast<int>(FLines.size()));
    for (int row = 0; row < FLines.size(); ++row) {
        const QString& line = FTitles[FLines[row]];
        const qsizetype equals = line.indexOf(u'=');
        const QString name = line.left(equals);
        FTable->setItem(row, colName, readOnly(name));
        FTable->setItem(row, colDefault, readOnly(defaults.Values(name)));
        FTable->setItem(row, colText, new QTableWidgetItem(line.mid(equals + 1)));
    }
    FTable->horizontalHeader()->setStretchLastSection(true);
    FTable->resizeColumnsToContents();
    FTable->verticalHeader()->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(FReset, QDialogButtonBox::ResetRole);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    // The titles of the selected cells go back to their defaults, and no
    // others: a click selects one cell, not its row.
    FReset->setEnabled(false);
    connect(FTable->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { FReset->setEnabled(FTable->selectionModel()->hasSelection()); });
    connect(FReset, &QPushButton::clicked, this, [this] {
        QSet<int> rows;
        for (const QModelIndex& index : FTable->selectionModel()->selectedIndexes())
            rows.insert(index.row());
        for (int row : rows)
            FTable->item(row, colText)->setText(FTable->item(row, colDefault)->text());
    });
    auto* column = new QVBoxLayout(this);
    column->addWidget(FTable);
    column->addWidget(buttons);
}

TStringList TdlgTitlesEditor::Titles() const
{
    TStringList titles = FTitles;
    for (int row = 0; row < FLines.size(); ++row) {
        // Line breaks would split a title into two lines of the text format.
        QString text = FTable->item(row, colText)->text();
        text.replace(u'\n', u' ').remove(u'\r');
        titles.SetString(FLines[row], FTable->item(row, colName)->text() + u'=' + text);
    }
    return titles;
}

bool RunTitlesEditor(QWidget* parent, const TStringList& defaults, TStringList& titles)
{
    TdlgTitlesEditor dialog(defaults, titles, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    titles = dialog.Titles();
    return true;
}

} // namespace brindle
