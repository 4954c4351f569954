#include <brindle/designer/attributes_page.h>

#include <brindle/datamodel/db_structure.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/interaction.h>
#include <brindle/panels/type_filter.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace brindle {

namespace {

// Filter entries that stand for no entity of the model.
constexpr quintptr AllEntries = 0;
constexpr quintptr VirtualFields = 1;

template <typename T>
T* comboEntity(const QComboBox* combo)
{
    const quintptr data = combo->currentData().value<quintptr>();
    return data > VirtualFields ? reinterpret_cast<T*>(data) : nullptr;
}

QString noTable()
{
    return AttributesPage::tr("Add a table first: a data field is a column of a table.");
}

QString fieldCaption(const TDSField* field)
{
    return field->DisplayName().isEmpty() ? field->FieldExpr() : field->DisplayName();
}

QString operatorCaption(const TDSOperator* op)
{
    return op->DisplayName().isEmpty() ? op->Name() : op->DisplayName();
}

} // namespace

AttributesPage::AttributesPage(TVxCustomDBStructure& model, QWidget* parent) : ModelEditorPage(model, parent)
{
    FTableFilter = new QComboBox(this);
    FEntityFilter = new QComboBox(this);
    useEntityList(FTableFilter);
    useEntityList(FEntityFilter);
    FList = entityList(this, tr("Attributes"));
    FListFilter = typeFilter(FList, [this] { showField(); });
    FAddData = new QPushButton(tr("Add &field"), this);
    FAddData->setToolTip(tr("Adds a column of the table chosen above, or of the first table"));
    FAddVirtual = new QPushButton(tr("Add &virtual"), this);
    FAddVirtual->setToolTip(tr("Adds a field defined by an SQL expression"));
    FDelete = new QPushButton(tr("&Delete"), this);
    for (QPushButton* button : {FAddData, FAddVirtual, FDelete})
        button->setAutoDefault(false);
    auto* filters = new QFormLayout;
    filters->addRow(tr("&Table:"), FTableFilter);
    filters->addRow(tr("&Entity:"), FEntityFilter);
    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(FAddData);
    listButtons->addWidget(FAddVirtual);
    listButtons->addWidget(FDelete);
    auto* listColumn = new QVBoxLayout;
    listColumn->addLayout(filters);
    listColumn->addWidget(FListFilter);
    listColumn->addWidget(FList, 1);
    listColumn->addLayout(listButtons);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(makeDetails());

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(listColumn, 2);
    layout->addWidget(scroll, 5);

    const auto refill = [this] { fill([this] { fillList(); }); };
    connect(FTableFilter, &QComboBox::activated, this, refill);
    connect(FEntityFilter, &QComboBox::activated, this, refill);
    connect(FList->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] { fill([this] { showField(); }); });
    connect(FAddData, &QPushButton::clicked, this, [this] { edit([this] { addField(false); }); });
    connect(FAddVirtual, &QPushButton::clicked, this, [this] { edit([this] { addField(true); }); });
    connect(FDelete, &QPushButton::clicked, this, [this] { edit([this] { deleteField(); }); });
    connect(FKind, &QComboBox::activated, this, [this](int kind) { edit([&] { setKind(kind == kfkVirtual); }); });
    connect(FExpression, &QLineEdit::textEdited, this, [this](const QString& text) { edit([&] { setExpression(text); }); });
    connect(FDisplayName, &QLineEdit::textEdited, this,
            [this](const QString& text) { editField([&](TDSField* f) { f->SetDisplayName(text); }); });
    connect(FTable, &QComboBox::activated, this,
            [this] { editField([this](TDSField* f) { f->SetTable(comboEntity<TDSTable>(FTable)); }); });
    connect(FType, &QComboBox::activated, this,
            [this](int type) { editField([&](TDSField* f) { f->SetFieldType(static_cast<TFieldType>(type)); }); });
    connect(FSize, &QSpinBox::valueChanged, this,
            [this](int size) { editField([&](TDSField* f) { f->SetFieldSize(size); }); });
    connect(FQuoted, &QCheckBox::clicked, this, [this](bool on) { editField([&](TDSField* f) { f->SetQuoted(on); }); });
    connect(FInConditions, &QCheckBox::clicked, this, [this](bool on) {
        editField([&](TDSField* f) { f->SetUseInConditions(on); });
        fill([this] { showOperators(); });
    });
    connect(FInResults, &QCheckBox::clicked, this,
            [this](bool on) { editField([&](TDSField* f) { f->SetUseInResult(on); }); });
    connect(FAggregate, &QCheckBox::clicked, this,
            [this](bool on) { editField([&](TDSField* f) { f->SetIsAggregate(on); }); });
    connect(FOperators, &QListWidget::itemChanged, this,
            [this](QListWidgetItem* item) { edit([&] { operatorToggled(item); }); });
    connect(FByType, &QPushButton::clicked, this, [this] {
        editField([](TDSField* f) { f->AddAppliedOperators(); });
        fill([this] { showOperators(); });
    });
    connect(FEditor, &QComboBox::activated, this, [this](int type) { edit([&] { setEditType(type); }); });

    const auto textEditor = [this](const std::function<void(TDSTextEditor*)>& work) {
        editField([&](TDSField* f) {
            if (auto* editor = dynamic_cast<TDSTextEditor*>(f->ValueEditor()))
                work(editor);
        });
    };
    connect(FDefaultValue, &QLineEdit::textEdited, this,
            [textEditor](const QString& text) { textEditor([&](TDSTextEditor* e) { e->DefaultValue = text; }); });
    connect(FEditMask, &QLineEdit::textEdited, this,
            [textEditor](const QString& text) { textEditor([&](TDSTextEditor* e) { e->EditMask = text; }); });
    connect(FTextKind, &QComboBox::activated, this, [textEditor](int kind) {
        textEditor([&](TDSTextEditor* e) { e->Kind = static_cast<TTextEditorKind>(kind); });
    });
    connect(FValueType, &QComboBox::activated, this,
            [textEditor](int type) { textEditor([&](TDSTextEditor* e) { e->ValueType = static_cast<quint8>(type); }); });
    connect(FUpperCase, &QCheckBox::clicked, this, [this, textEditor](bool on) {
        textEditor([&](TDSTextEditor* e) { e->SetAutoUpperCase(on); });
        fill([this] { showEditor(); });
    });
    connect(FLowerCase, &QCheckBox::clicked, this, [this, textEditor](bool on) {
        textEditor([&](TDSTextEditor* e) { e->SetAutoLowerCase(on); });
        fill([this] { showEditor(); });
    });
    connect(FFormatted, &QCheckBox::clicked, this,
            [textEditor](bool on) { textEditor([&](TDSTextEditor* e) { e->UseFormattedValue = on; }); });
    connect(FListItems, &QTableWidget::itemChanged, this, [this] { edit([this] { listItemsEdited(); }); });
    connect(FAddItem, &QPushButton::clicked, this, [this] {
        edit([this] {
            fill([this] {
                const int row = FListItems->rowCount();
                FListItems->insertRow(row);
                FListItems->setItem(row, 0, new QTableWidgetItem);
                FListItems->setItem(row, 1, new QTableWidgetItem);
                FListItems->setCurrentCell(row, 0);
            });
            listItemsEdited();
            FListItems->editItem(FListItems->item(FListItems->rowCount() - 1, 0));
        });
    });
    connect(FDeleteItem, &QPushButton::clicked, this, [this] {
        edit([this] {
            if (FListItems->currentRow() < 0)
                return;
            fill([this] { FListItems->removeRow(FListItems->currentRow()); });
            listItemsEdited();
        });
    });
    connect(FSQL, &QPlainTextEdit::textChanged, this, [this] {
        editField([this](TDSField* f) {
            if (auto* editor = dynamic_cast<TDSSQLEditor*>(f->ValueEditor()))
                editor->SQL.SetText(FSQL->toPlainText());
        });
    });
    connect(FCustomData, &QPlainTextEdit::textChanged, this, [this] {
        editField([this](TDSField* f) {
            if (auto* editor = dynamic_cast<TDSCustomEditor*>(f->ValueEditor()))
                editor->Data().SetText(FCustomData->toPlainText());
        });
    });
}

QWidget* AttributesPage::makeDetails()
{
    FDetails = new QWidget;
    FKind = new QComboBox(FDetails);
    FKind->addItems({tr("Data (a column)"), tr("Virtual (an SQL expression)")});
    FExpression = new QLineEdit(FDetails);
    FExpressionLabel = new QLabel(FDetails);
    FExpressionLabel->setBuddy(FExpression);
    FDisplayName = new QLineEdit(FDetails);
    FTable = new QComboBox(FDetails);
    useEntityList(FTable);
    FType = new QComboBox(FDetails);
    fillFieldTypes(FType);
    FSize = new QSpinBox(FDetails);
    FSize->setRange(0, 1 << 30);
    FQuoted = new QCheckBox(tr("&Quoted column"), FDetails);
    FInConditions = new QCheckBox(tr("In &conditions"), FDetails);
    FInResults = new QCheckBox(tr("In &results"), FDetails);
    FAggregate = new QCheckBox(tr("A&ggregate"), FDetails);

    auto* grid = new QGridLayout;
    const auto label = [this](const QString& text, QWidget* buddy) {
        auto* shown = new QLabel(text, FDetails);
        shown->setBuddy(buddy);
        return shown;
    };
    grid->addWidget(label(tr("&Kind:"), FKind), 0, 0);
    grid->addWidget(FKind, 0, 1);
    grid->addWidget(label(tr("T&able:"), FTable), 0, 2);
    grid->addWidget(FTable, 0, 3);
    grid->addWidget(FExpressionLabel, 1, 0);
    grid->addWidget(FExpression, 1, 1, 1, 3);
    grid->addWidget(label(tr("Display &name:"), FDisplayName), 2, 0);
    grid->addWidget(FDisplayName, 2, 1, 1, 3);
    grid->addWidget(label(tr("T&ype:"), FType), 3, 0);
    grid->addWidget(FType, 3, 1);
    grid->addWidget(label(tr("&Size:"), FSize), 3, 2);
    grid->addWidget(FSize, 3, 3);
    auto* flags = new QHBoxLayout;
    for (QCheckBox* box : {FQuoted, FInConditions, FInResults, FAggregate})
        flags->addWidget(box);
    flags->addStretch();
    grid->addLayout(flags, 4, 0, 1, 4);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(3, 1);

    auto* operators = new QGroupBox(tr("&Operators offered"), FDetails);
    FOperators = new QListWidget(operators);
    FOperators->setAccessibleName(tr("Operators offered"));
    FByType = new QPushButton(tr("By &type"), operators);
    FByType->setToolTip(tr("Offers every operator of the catalogue that applies to the field's type"));
    FByType->setAutoDefault(false);
    auto* operatorColumn = new QVBoxLayout(operators);
    operatorColumn->addWidget(FOperators, 1);
    operatorColumn->addWidget(FByType, 0, Qt::AlignLeft);

    auto* editor = new QGroupBox(tr("&Value editor"), FDetails);
    FEditor = new QComboBox(editor);
    // In the order of TDSEditType.
    FEditor->addItems({tr("Automatic (by type)"), tr("Text"), tr("List"), tr("Custom"), tr("SQL list")});
    auto* editorColumn = new QVBoxLayout(editor);
    editorColumn->addWidget(FEditor);
    editorColumn->addWidget(makeEditorSettings(), 1);

    auto* lower = new QHBoxLayout;
    lower->addWidget(operators, 1);
    lower->addWidget(editor, 1);
    auto* column = new QVBoxLayout(FDetails);
    column->setContentsMargins(0, 0, 0, 0);
    column->addLayout(grid);
    column->addLayout(lower, 1);
    return FDetails;
}

QWidget* AttributesPage::makeEditorSettings()
{
    FEditorPages = new QStackedWidget;
    auto* automatic = new QLabel(tr("The query panel chooses the editor by the field's type."));
    automatic->setWordWrap(true);
    automatic->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* text = new QWidget;
    FDefaultValue = new QLineEdit(text);
    FEditMask = new QLineEdit(text);
    FTextKind = new QComboBox(text);
    FTextKind->addItems({tr("Simple"), tr("Masked"), tr("Date"), tr("Time")});
    FValueType = new QComboBox(text);
    FValueType->addItems({tr("Text"), tr("Integer"), tr("Number")});
    FUpperCase = new QCheckBox(tr("&Upper case"), text);
    FLowerCase = new QCheckBox(tr("&Lower case"), text);
    FFormatted = new QCheckBox(tr("&Formatted value"), text);
    auto* cases = new QHBoxLayout;
    cases->addWidget(FUpperCase);
    cases->addWidget(FLowerCase);
    cases->addStretch();
    auto* textForm = new QFormLayout(text);
    textForm->setContentsMargins(0, 0, 0, 0);
    textForm->addRow(tr("Default:"), FDefaultValue);
    textForm->addRow(tr("Mask:"), FEditMask);
    textForm->addRow(tr("Editor:"), FTextKind);
    textForm->addRow(tr("Values:"), FValueType);
    textForm->addRow(cases);
    textForm->addRow(FFormatted);

    auto* list = new QWidget;
    FListItems = new QTableWidget(0, 2, list);
    FListItems->setHorizontalHeaderLabels({tr("Value (in SQL)"), tr("Caption")});
    FListItems->horizontalHeader()->setStretchLastSection(true);
    FListItems->verticalHeader()->hide();
    FListItems->setAccessibleName(tr("List items"));
    FAddItem = new QPushButton(tr("Add item"), list);
    FDeleteItem = new QPushButton(tr("Delete item"), list);
    auto* itemButtons = new QHBoxLayout;
    for (QPushButton* button : {FAddItem, FDeleteItem}) {
        button->setAutoDefault(false);
        itemButtons->addWidget(button);
    }
    itemButtons->addStretch();
    auto* listColumn = new QVBoxLayout(list);
    listColumn->setContentsMargins(0, 0, 0, 0);
    listColumn->addWidget(FListItems, 1);
    listColumn->addLayout(itemButtons);

    const auto textPage = [](QPlainTextEdit*& edit, const QString& caption) {
        auto* page = new QWidget;
        edit = new QPlainTextEdit(page);
        edit->setAccessibleName(caption);
        auto* column = new QVBoxLayout(page);
        column->setContentsMargins(0, 0, 0, 0);
        auto* label = new QLabel(caption, page);
        label->setWordWrap(true);
        column->addWidget(label);
        column->addWidget(edit, 1);
        return page;
    };
    QWidget* custom = textPage(FCustomData, tr("Data for the host's editor, one entry a line:"));
    QWidget* sql = textPage(FSQL, tr("SELECT of the values (first column) and captions (second column):"));
    // In the order of TDSEditType.
    for (QWidget* page : {static_cast<QWidget*>(automatic), text, list, custom, sql})
        FEditorPages->addWidget(page);
    return FEditorPages;
}

TDSField* AttributesPage::current() const
{
    return currentEntity<TDSField>(FList);
}

void AttributesPage::Refresh()
{
    fill([this] {
        fillFilters();
        fillList();
    });
}

void AttributesPage::fillFilters()
{
    const quintptr table = FTableFilter->currentData().value<quintptr>();
    const quintptr entity = FEntityFilter->currentData().value<quintptr>();
    std::vector<EntityListModel::Entry> tables;
    tables.reserve(Model().TableCount());
    for (int i = 0; i < Model().TableCount(); ++i) {
        const TDSTable* shown = Model().Tables(i);
        tables.push_back({EntityListModel::KeyOf(shown), shown->TableName() + QStringLiteral(" (") + shown->TableAlias() + u')'});
    }
    entries(FTable)->Reset(tables);
    tables.insert(tables.begin(), {AllEntries, tr("All tables")});
    tables.push_back({VirtualFields, tr("Virtual fields")});
    entries(FTableFilter)->Reset(std::move(tables));
    FTableFilter->setCurrentIndex(qMax(0, entries(FTableFilter)->Row(table)));
    std::vector<EntityListModel::Entry> groups{{AllEntries, tr("All entities")},
                                               {EntityListModel::KeyOf(Model().RootGroup()), tr("(no entity)")}};
    for (const auto& group : Model().FieldGroups())
        groups.push_back({EntityListModel::KeyOf(group.get()), group->GroupName()});
    entries(FEntityFilter)->Reset(std::move(groups));
    FEntityFilter->setCurrentIndex(qMax(0, entries(FEntityFilter)->Row(entity)));
}

bool AttributesPage::passesFilter(const TDSField* field, quintptr table, const TDSFieldGroup* group) const
{
    if (table == VirtualFields && field->FieldKind() != kfkVirtual)
        return false;
    if (table > VirtualFields && field->Tables().IndexOf(reinterpret_cast<const TDSTable*>(table)) < 0)
        return false;
    if (!group)
        return true;
    const TDSFieldGroup* in = field->Group() ? field->Group() : Model().RootGroup();
    return in == group;
}

void AttributesPage::fillList()
{
    const quintptr table = FTableFilter->currentData().value<quintptr>();
    const auto* group = comboEntity<TDSFieldGroup>(FEntityFilter);
    std::vector<EntityListModel::Entry> fields;
    fields.reserve(Model().FieldCount());
    for (int i = 0; i < Model().FieldCount(); ++i)
        if (passesFilter(Model().Fields(i), table, group))
            fields.push_back({EntityListModel::KeyOf(Model().Fields(i)), fieldCaption(Model().Fields(i))});
    refillList(FList, std::move(fields));
    showField();
}

void AttributesPage::showField()
{
    TDSField* field = current();
    FDetails->setEnabled(field);
    FDelete->setEnabled(field);
    const bool isVirtual = field && field->FieldKind() == kfkVirtual;
    FKind->setCurrentIndex(isVirtual ? 1 : 0);
    FExpressionLabel->setText(isVirtual ? tr("E&xpression:") : tr("Colu&mn:"));
    FExpression->setText(field ? field->FieldExpr() : QString());
    FDisplayName->setText(field ? field->DisplayName() : QString());
    FTable->setEnabled(field && !isVirtual);
    FTable->setCurrentIndex(field ? entries(FTable)->Row(EntityListModel::KeyOf(field->Table())) : -1);
    FType->setCurrentIndex(field ? field->FieldType() : -1);
    FSize->setValue(field ? field->FieldSize() : 0);
    FQuoted->setEnabled(field && !isVirtual);
    FQuoted->setChecked(field && field->Quoted());
    FInConditions->setChecked(field && field->UseInConditions());
    FInResults->setChecked(field && field->UseInResult());
    FAggregate->setEnabled(isVirtual);
    FAggregate->setChecked(field && field->IsAggregate());
    showOperators();
    showEditor();
}

void AttributesPage::showOperators()
{
    FOperators->clear();
    TDSField* field = current();
    for (int i = 0; i < Model().OperatCount(); ++i) {
        TDSOperator* op = Model().Operators(i);
        QListWidgetItem* item = entityItem(FOperators, operatorCaption(op), op);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(field && field->IndexOfOperator(op) >= 0 ? Qt::Checked : Qt::Unchecked);
        item->setToolTip(op->Name() + QStringLiteral(": ") + op->SQLExpr());
    }
}

void AttributesPage::showEditor()
{
    TDSField* field = current();
    const TDSEditType type = field ? field->EditType() : etAuto;
    FEditor->setCurrentIndex(type);
    FEditorPages->setCurrentIndex(type);
    const auto* text = field ? dynamic_cast<const TDSTextEditor*>(field->ValueEditor()) : nullptr;
    FDefaultValue->setText(text ? text->DefaultValue : QString());
    FEditMask->setText(text ? text->EditMask : QString());
    FTextKind->setCurrentIndex(text ? text->Kind : 0);
    FValueType->setCurrentIndex(text ? text->ValueType : 0);
    FUpperCase->setChecked(text && text->AutoUpperCase());
    FLowerCase->setChecked(text && text->AutoLowerCase());
    FFormatted->setChecked(text && text->UseFormattedValue);
    // An SQL list is a list too: its items are what its query gave, not settings.
    const auto* list = type == etList ? dynamic_cast<const TDSListEditor*>(field->ValueEditor()) : nullptr;
    const int rows = list ? qMax(list->Items.Count(), list->Values.Count()) : 0;
    FListItems->setRowCount(rows);
    for (int row = 0; row < rows; ++row) {
        FListItems->setItem(row, 0, new QTableWidgetItem(row < list->Values.Count() ? list->Values[row] : QString()));
        FListItems->setItem(row, 1, new QTableWidgetItem(row < list->Items.Count() ? list->Items[row] : QString()));
    }
    const auto* sql = field ? dynamic_cast<const TDSSQLEditor*>(field->ValueEditor()) : nullptr;
    const QString sqlText = sql ? sql->SQL.Lines().join(u'\n') : QString();
    if (FSQL->toPlainText() != sqlText)
        FSQL->setPlainText(sqlText);
    const auto* custom = field ? dynamic_cast<const TDSCustomEditor*>(field->ValueEditor()) : nullptr;
    const QString customText = custom ? custom->Data().Lines().join(u'\n') : QString();
    if (FCustomData->toPlainText() != customText)
        FCustomData->setPlainText(customText);
}

void AttributesPage::editField(const std::function<void(TDSField*)>& work)
{
    edit([&] {
        if (TDSField* field = current()) {
            work(field);
            Model().Changed();
            entries(FList)->SetText(FList->currentIndex().row(), fieldCaption(field));
        }
    });
}

void AttributesPage::addField(bool isVirtual)
{
    auto* group = comboEntity<TDSFieldGroup>(FEntityFilter);
    TDSField* field = nullptr;
    if (isVirtual) {
        field = Model().Fields(Model().AddField(kfkVirtual, QStringLiteral("NULL"), tr("New field"), nullptr));
    } else {
        TDSTable* table = comboEntity<TDSTable>(FTableFilter);
        if (!table && Model().TableCount() > 0)
            table = Model().Tables(0);
        if (!table)
            throw Exception(noTable());
        QString name;
        for (int n = 1;; ++n) {
            name = QStringLiteral("Column%1").arg(n);
            bool taken = false;
            for (int i = 0; i < Model().FieldCount() && !taken; ++i)
                taken = Model().Fields(i)->Table() == table && Model().Fields(i)->FieldExpr() == name;
            if (!taken)
                break;
        }
        // Added as it stands: the column is only named here, so the database
        // has nothing to say of it yet.
        auto owned = std::make_unique<TDSField>(&Model());
        field = owned.get();
        field->SetFieldExprRaw(name);
        field->SetDisplayName(name);
        field->SetTable(table);
        field->SetFieldType(ftString);
        field->SetFieldSize(30);
        Model().AddFieldAsIs(std::move(owned));
        field->SetGroup(Model().RootGroup());
    }
    if (group)
        field->SetGroup(group);
    field->AddAppliedOperators();
    Model().Changed();
    // The filter ends, so the new field shows whatever was typed.
    FListFilter->End();
    fill([&] {
        fillList();
        selectEntity(FList, field, -1);
        showField();
    });
    FExpression->setFocus();
    FExpression->selectAll();
}

void AttributesPage::deleteField()
{
    TDSField* field = current();
    if (!field || !Ask(LoadResString(_SDeleteField)))
        return;
    const int row = FList->currentIndex().row();
    Model().DelField(Model().IndexOfField(field));
    fill([&] {
        fillList();
        selectEntity(FList, nullptr, row);
        showField();
    });
}

void AttributesPage::setKind(bool isVirtual)
{
    TDSField* field = current();
    if (!field || isVirtual == (field->FieldKind() == kfkVirtual))
        return;
    if (isVirtual) {
        field->SetFieldKind(kfkVirtual);
        field->SetQuoted(false);
        // Its tables are now those its expression names.
        field->SetSQLExpr(field->FieldExpr());
    } else {
        TDSTable* table = field->Table() ? field->Table() : (Model().TableCount() > 0 ? Model().Tables(0) : nullptr);
        if (!table)
            throw Exception(noTable());
        field->SetIsAggregate(false);
        field->SetFieldKind(kfkData);
        field->DBFields().Clear();
        field->SetTable(table);
    }
    Model().Changed();
    fill([this] { showField(); });
}

void AttributesPage::setExpression(const QString& text)
{
    editField([&](TDSField* field) {
        if (field->FieldKind() == kfkVirtual)
            field->SetSQLExpr(text);
        else
            field->SetFieldName(text);
    });
}

void AttributesPage::operatorToggled(QListWidgetItem* item)
{
    editField([&](TDSField* field) {
        auto* op = itemEntity<TDSOperator>(item);
        if (item->checkState() == Qt::Checked)
            field->AddOperator(op);
        else
            field->RemoveOperator(op);
    });
}

void AttributesPage::setEditType(int type)
{
    editField([&](TDSField* field) { field->SetEditType(static_cast<TDSEditType>(type)); });
    fill([this] { showEditor(); });
}

void AttributesPage::listItemsEdited()
{
    editField([this](TDSField* field) {
        auto* list = dynamic_cast<TDSListEditor*>(field->ValueEditor());
        if (!list)
            return;
        list->Values.Clear();
        list->Items.Clear();
        for (int row = 0; row < FListItems->rowCount(); ++row) {
            const QTableWidgetItem* value = FListItems->item(row, 0);
            const QTableWidgetItem* caption = FListItems->item(row, 1);
            list->Values.Add(value ? value->text() : QString());
            list->Items.Add(caption ? caption->text() : QString());
        }
    });
}

} // namespace brindle
