#include <brindle/designer/tables_list_dialog.h>

#include <brindle/datamodel/db_info.h>
#include <brindle/foundations/errors.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/event_guard.h>

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

#include <exception>

namespace brindle {

TdlgTablesList::TdlgTablesList(TVxDBInfo& info, TTablesListOptions options, QWidget* parent)
    : QDialog(parent), FInfo(info)
{
    setWindowTitle(LoadResString(_STableViewListCaption));
    resize(340, 420);
    auto* databaseLabel = new QLabel(LoadResString(_SDBListCaption), this);
    FDatabases = new QComboBox(this);
    databaseLabel->setBuddy(FDatabases);
    FTables = new QListWidget(this);
    FTables->setSelectionMode(options.Contains(tloMultiSelect) ? QAbstractItemView::ExtendedSelection
                                                               : QAbstractItemView::SingleSelection);
    FTables->setUniformItemSizes(true);
    FAddFields = new QCheckBox(tr("Add fields of the tables"), this);
    FAddFields->setChecked(options.Contains(tloAutoAddFields));
    FAddFields->setVisible(options.Contains(tloShowAddFields));
    FMessage = new QLabel(this);
    FMessage->setWordWrap(true);
    FMessage->setStyleSheet(QStringLiteral("color: #800000"));
    FMessage->hide();
    FOkButton = new QPushButton(tr("OK"), this);
    FOkButton->setDefault(true);
    FCancelButton = new QPushButton(tr("Cancel"), this);
    FCancelButton->setAutoDefault(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(FOkButton);
    buttons->addWidget(FCancelButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(databaseLabel);
    layout->addWidget(FDatabases);
    layout->addWidget(FTables, 1);
    layout->addWidget(FMessage);
    layout->addWidget(FAddFields);
    layout->addLayout(buttons);

    TStringList names;
    info.GetDatabaseNames(names);
    const QString current = info.CurrentDBName();
    {
        const QSignalBlocker quiet(FDatabases);
        for (const QString& name : names)
            FDatabases->addItem(name);
        if (FDatabases->findText(current) < 0 && !current.isEmpty())
            FDatabases->addItem(current);
        FDatabases->setCurrentText(current);
    }
    FDatabases->setEnabled(FDatabases->count() > 1);
    listTables();

    connect(FDatabases, &QComboBox::currentTextChanged, this,
            [this](const QString& name) { chooseDatabase(name); });
    connect(FTables, &QListWidget::itemSelectionChanged, this,
            [this] { FOkButton->setEnabled(!FTables->selectedItems().isEmpty()); });
    connect(FTables, &QListWidget::itemDoubleClicked, this, [this] { accept(); });
    connect(FOkButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(FCancelButton, &QPushButton::clicked, this, &QDialog::reject);
    FOkButton->setEnabled(false);
}

void TdlgTablesList::listTables()
{
    TStringList names;
    FInfo.GetTableNames(names);
    FTables->clear();
    for (const QString& name : names)
        FTables->addItem(name);
}

void TdlgTablesList::chooseDatabase(const QString& name)
{
    // A database that fails to list leaves the list empty with the reason.
    FMessage->hide();
    try {
        FInfo.SetCurrentDbName(name);
        listTables();
    } catch (const std::exception& error) {
        FTables->clear();
        FMessage->setText(LoadResString(_SError) + QStringLiteral("! : ") + QString::fromUtf8(error.what()));
        FMessage->show();
    }
    FOkButton->setEnabled(false);
}

QStringList TdlgTablesList::SelectedTables() const
{
    QStringList chosen;
    for (int row = 0; row < FTables->count(); ++row)
        if (FTables->item(row)->isSelected())
            chosen.append(FTables->item(row)->text());
    return chosen;
}

QString TdlgTablesList::DatabaseName() const
{
    // The tables listed are the info's current database's, whatever the
    // box shows (an info may name none).
    return FInfo.CurrentDBName();
}

bool TdlgTablesList::AddFields() const
{
    return FAddFields->isChecked();
}

bool SelectTablesDlg(TVxDBInfo& info, TTablesListOptions options, QStringList& tables, QString& database,
                     bool& addFields, QWidget* parent)
{
    TdlgTablesList dialog(info, options, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    tables = dialog.SelectedTables();
    database = dialog.DatabaseName();
    addFields = dialog.AddFields();
    return true;
}

} // namespace brindle
