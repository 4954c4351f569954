#include <brindle/designer/tables_page.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/interaction.h>
#include <brindle/panels/type_filter.h>

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRegularExpressionValidator>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace brindle {

namespace {

QString tableCaption(const TDSTable* table)
{
    const QString& name = table->DisplayName().isEmpty() ? table->TableName() : table->DisplayName();
    return name + QStringLiteral(" (") + table->TableAlias() + u')';
}

// How many fields and links of the model go with the table.
std::pair<int, int> tableUsage(const TVxCustomDBStructure& model, const TDSTable* table)
{
    int fields = 0;
    for (int i = 0; i < model.FieldCount(); ++i)
        if (model.Fields(i)->Tables().IndexOf(table) >= 0)
            ++fields;
    return {fields, table->LinkCount()};
}

} // namespace

TablesPage::TablesPage(TVxCustomDBStructure& model, QWidget* parent) : ModelEditorPage(model, parent)
{
    FList = entityList(this, tr("Tables"));
    FListFilter = typeFilter(FList, [this] { showTable(); });
    FAdd = new QPushButton(tr("&Add table"), this);
    FDelete = new QPushButton(tr("&Delete table"), this);
    FUp = toolButton(tr("Up"), tr("Move the table up"), this);
    FDown = toolButton(tr("Down"), tr("Move the table down"), this);
    for (QPushButton* button : {FAdd, FDelete})
        button->setAutoDefault(false);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(FAdd);
    listButtons->addWidget(FDelete);
    listButtons->addStretch();
    listButtons->addWidget(FUp);
    listButtons->addWidget(FDown);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(FListFilter);
    listColumn->addWidget(FList, 1);
    listColumn->addLayout(listButtons);

    FDetails = new QWidget(this);
    FName = new QLineEdit(FDetails);
    FName->setPlaceholderText(tr("table, view, or (SELECT ...) for a derived table"));
    FAlias = new QLineEdit(FDetails);
    // An alias heads its links' sections in the model text, which a "]"
    // would end early.
    FAlias->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[^\\]]*")), FAlias));
    FDisplayName = new QLineEdit(FDetails);
    FDatabase = new QLineEdit(FDetails);
    FHints = new QLineEdit(FDetails);
    FQuoted = new QCheckBox(tr("&Quote the name"), FDetails);
    FFrom = new QLabel(FDetails);
    FFrom->setTextInteractionFlags(Qt::TextSelectableByMouse);
    FFrom->setWordWrap(true);
    FUsage = new QLabel(FDetails);
    FUsage->setWordWrap(true);
    auto* hint = new QLabel(tr("A derived table is its SELECT statement in parentheses under an alias."), FDetails);
    hint->setWordWrap(true);
    hint->setForegroundRole(QPalette::PlaceholderText);
    auto* form = new QFormLayout(FDetails);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(tr("&Name or SQL:"), FName);
    form->addRow(QString(), hint);
    form->addRow(tr("A&lias:"), FAlias);
    form->addRow(tr("Display na&me:"), FDisplayName);
    form->addRow(tr("Data&base:"), FDatabase);
    form->addRow(tr("H&ints:"), FHints);
    form->addRow(QString(), FQuoted);
    form->addRow(tr("In FROM:"), FFrom);
    form->addRow(tr("Used by:"), FUsage);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 2);
    layout->addWidget(FDetails, 3);

    connect(FList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { fill([this] { showTable(); }); });
    connect(FAdd, &QPushButton::clicked, this, [this] { edit([this] { chooseTable(); }); });
    connect(FDelete, &QPushButton::clicked, this, [this] { edit([this] { deleteTable(); }); });
    connect(FUp, &QToolButton::clicked, this, [this] { edit([this] { moveTable(-1); }); });
    connect(FDown, &QToolButton::clicked, this, [this] { edit([this] { moveTable(1); }); });
    connect(FName, &QLineEdit::textEdited, this,
            [this](const QString& text) { editTable([&](TDSTable* t) { t->SetTableName(text); }); });
    connect(FAlias, &QLineEdit::textEdited, this,
            [this](const QString& text) { editTable([&](TDSTable* t) { t->SetTableAlias(text); }); });
    // The alias keeps no blanks: the edit shows what the table holds once the user leaves it.
    connect(FAlias, &QLineEdit::editingFinished, this, [this] {
        if (TDSTable* table = current())
            FAlias->setText(table->TableAlias());
    });
    connect(FDisplayName, &QLineEdit::textEdited, this,
            [this](const QString& text) { editTable([&](TDSTable* t) { t->SetDisplayName(text); }); });
    connect(FDatabase, &QLineEdit::textEdited, this,
            [this](const QString& text) { editTable([&](TDSTable* t) { t->SetDatabaseName(text); }); });
    connect(FHints, &QLineEdit::textEdited, this,
            [this](const QString& text) { editTable([&](TDSTable* t) { t->SetTableHints(text); }); });
    connect(FQuoted, &QCheckBox::clicked, this,
            [this](bool on) { editTable([&](TDSTable* t) { t->SetQuoted(on); }); });
}

TDSTable* TablesPage::current() const
{
    return currentEntity<TDSTable>(FList);
}

void TablesPage::Refresh()
{
    fill([this] {
        std::vector<EntityListModel::Entry> tables;
        tables.reserve(Model().TableCount());
        for (int i = 0; i < Model().TableCount(); ++i)
            tables.push_back({EntityListModel::KeyOf(Model().Tables(i)), tableCaption(Model().Tables(i))});
        refillList(FList, std::move(tables));
        showTable();
    });
}

void TablesPage::showTable()
{
    TDSTable* table = current();
    FDetails->setEnabled(table);
    FDelete->setEnabled(table);
    // The model's order, which a filtered list shows only in part.
    const int at = table ? Model().IndexOfTable(table) : -1;
    FUp->setEnabled(at > 0);
    FDown->setEnabled(at >= 0 && at < Model().TableCount() - 1);
    FName->setText(table ? table->TableName() : QString());
    FAlias->setText(table ? table->TableAlias() : QString());
    FDisplayName->setText(table ? table->DisplayName() : QString());
    FDatabase->setText(table ? table->DatabaseName() : QString());
    FHints->setText(table ? table->TableHints() : QString());
    FQuoted->setChecked(table && table->Quoted());
    showEntry();
}

void TablesPage::showEntry()
{
    TDSTable* table = current();
    FFrom->setText(table ? table->FromExpr() : QString());
    if (!table) {
        FUsage->clear();
        return;
    }
    const auto [fields, links] = tableUsage(Model(), table);
    FUsage->setText(tr("%1 field(s), %2 link(s)").arg(fields).arg(links));
    entries(FList)->SetText(FList->currentIndex().row(), tableCaption(table));
}

void TablesPage::editTable(const std::function<void(TDSTable*)>& work)
{
    edit([&] {
        if (TDSTable* table = current()) {
            work(table);
            Model().Changed();
            showEntry();
        }
    });
}

QStringList TablesPage::databaseTables() const
{
    TVxDBInfo* info = Model().DatabaseInfo();
    if (!info || !info->Connected())
        return {};
    TStringList names;
    info->GetTableNames(names);
    QStringList missing;
    for (const QString& name : names)
        if (!Model().TableByName(tlByName, name))
            missing.append(name);
    return missing;
}

void TablesPage::chooseTable()
{
    const QStringList tables = databaseTables();
    if (tables.isEmpty()) {
        addTable({});
        return;
    }
    QMenu menu(this);
    menu.addAction(tr("New table"))->setData(QString());
    menu.addSeparator();
    for (const QString& name : tables)
        menu.addAction(name)->setData(name);
    if (const QAction* chosen = menu.exec(FAdd->mapToGlobal(QPoint(0, FAdd->height()))))
        addTable(chosen->data().toString());
}

void TablesPage::addTable(const QString& databaseTable)
{
    QString name = databaseTable;
    for (int n = Model().TableCount() + 1; name.isEmpty(); ++n) {
        name = QStringLiteral("Table%1").arg(n);
        if (Model().TableByName(tlByName, name) || Model().TableByName(tlByAlias, name))
            name.clear();
    }
    TDSTable* table = Model().Tables(Model().AddTable(name, name));
    if (!databaseTable.isEmpty() && Model().AutoAddFields()) {
        // The table's columns come along as data fields in an entity of its name.
        TDSFieldGroup* group = Model().FieldGroups().AddGroup(name, nullptr);
        group->SetDbStruct(&Model());
        // Each new field asks the database info for its type, which may
        // refill the list: the names are taken first.
        const TDBFieldList& columns = Model().DatabaseInfo()->GetFieldList(name);
        QStringList names;
        for (const auto& column : columns)
            names.append(column->FieldName);
        for (const QString& column : names) {
            TDSField* field = Model().Fields(Model().AddField(kfkData, column, column, table));
            field->AddAppliedOperators();
            field->SetGroup(group);
        }
    }
    // The filter ends, so the new table shows whatever was typed.
    FListFilter->End();
    showAgain(FList, table, -1);
    showTable();
    FName->setFocus();
    FName->selectAll();
}

void TablesPage::deleteTable()
{
    TDSTable* table = current();
    if (!table)
        return;
    const auto [fields, links] = tableUsage(Model(), table);
    QString question = LoadResString(_SDeleteTable);
    if (fields > 0 || links > 0)
        question += u'\n' + tr("Its %1 field(s) and %2 link(s) are deleted with it.").arg(fields).arg(links);
    if (!Ask(question))
        return;
    const int row = FList->currentIndex().row();
    Model().DelTable(Model().IndexOfTable(table));
    showAgain(FList, nullptr, row);
    showTable();
}

void TablesPage::moveTable(int step)
{
    TDSTable* table = current();
    const int to = table ? Model().IndexOfTable(table) + step : -1;
    if (to < 0 || to >= Model().TableCount())
        return;
    Model().MoveTable(Model().IndexOfTable(table), to);
    Refresh();
}

} // namespace brindle
