#include <brindle/designer/model_editor.h>

#include <brindle/datamodel/form_classes.h>
#include <brindle/datamodel/model_xml.h>
#include <brindle/designer/attributes_page.h>
#include <brindle/designer/conditions_page.h>
#include <brindle/designer/diagram_page.h>
#include <brindle/designer/entities_page.h>
#include <brindle/designer/operators_page.h>
#include <brindle/designer/tables_page.h>
#include <brindle/foundations/form_stream.h>
#include <brindle/foundations/messages.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/interaction.h>
#include <brindle/query/query.h>

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace brindle {

namespace {

const QString PositionKey = QStringLiteral("DataModelEditor");

// The filters of the file dialogs, in the order of ModelFileFormat.
QStringList fileFilters()
{
    return {TdlgDataModelEditor::tr("Data Structure format (.dbs) (*.dbs)"),
            TdlgDataModelEditor::tr("Data model (.xml) (*.xml)"), TdlgDataModelEditor::tr("Form file (.form) (*.form)"),
            TdlgDataModelEditor::tr("All files (*)")};
}

const char* const FilterSuffixes[] = {"dbs", "xml", "form"};

// Everything of a model that its text does not carry.
void copySettings(const TVxCustomDBStructure& from, TVxCustomDBStructure& to)
{
    to.setObjectName(from.objectName());
    to.DMOptions()->Assign(*from.DMOptions());
    const TSQLFormats* source = from.SQLFormats();
    TSQLFormats* target = to.SQLFormats();
    target->Assign(*source);
    target->SetQuotedTypes(source->QuotedTypes());
    target->SetLowerFunc(source->LowerFunc());
    target->SetWildcardChar(source->WildcardChar());
    target->SetUseAsInFrom(source->UseAsInFrom());
    to.SetDefOperators(from.DefOperators());
    to.SetExOperators(from.ExOperators());
    to.SetHelpFileName(from.HelpFileName());
    to.SetSEHelpContext(from.SEHelpContext());
    to.SetInitialSEPath(from.InitialSEPath());
    to.SetDMEButtons(from.DMEButtons());
    to.SetAutoAddFields(from.AutoAddFields());
    to.Description = from.Description;
    to.CustomInfo = from.CustomInfo;
}

QString firstLine(const TStringList& lines)
{
    for (const QString& line : lines) {
        const QString text = line.trimmed();
        if (!text.isEmpty())
            return text;
    }
    return {};
}

} // namespace

TdlgDataModelEditor::TdlgDataModelEditor(TVxCustomDBStructure& model, QWidget* parent)
    : QDialog(parent), FModel(model), FCopy(std::make_unique<TVxDBStructure>())
{
    setWindowTitle(tr("Data model editor"));
    // The copy never carries the database's settings: whatever it reads
    // then leaves the host's database info alone, and the model keeps its
    // own settings when it takes the copy's text.
    copySettings(model, *FCopy);
    FCopy->DMOptions()->SetStoreDBInfo(false);
    model.CopyContentTo(*FCopy);
    FOrigins = std::make_unique<CopyOrigins>(model, *FCopy);
    FCopy->SetDatabaseInfo(model.DatabaseInfo());

    FPages = new QTabWidget(this);
    FDiagramPage = new DiagramPage(*FCopy);
    FTablesPage = new TablesPage(*FCopy);
    FEntitiesPage = new EntitiesPage(*FCopy);
    FAttributesPage = new AttributesPage(*FCopy);
    FOperatorsPage = new OperatorsPage(*FCopy);
    FConditionsPage = new ConditionsPage(*FCopy);
    FPages->addTab(FTablesPage, tr("&Tables"));
    FPages->addTab(FEntitiesPage, tr("&Entities"));
    FPages->addTab(FAttributesPage, tr("Attri&butes"));
    FPages->addTab(FOperatorsPage, tr("O&perators"));
    FPages->addTab(FConditionsPage, tr("Co&nditions"));
    // Last: a diagram arranges boxes that have no stored places, which
    // writes their places into the copy; that happens only once it is seen.
    FPages->addTab(FDiagramPage, tr("&Diagram"));

    FOpen = new QPushButton(tr("&Open..."), this);
    FSave = new QPushButton(tr("&Save..."), this);
    FConnect = new QPushButton(tr("Connect"), this);
    FFromDatabase = new QPushButton(tr("Load from database"), this);
    FOk = new QPushButton(tr("OK"), this);
    FOk->setDefault(true);
    FCancel = new QPushButton(tr("Cancel"), this);
    FHelp = new QPushButton(tr("&Help"), this);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* button : {FOpen, FSave, FConnect, FFromDatabase}) {
        button->setAutoDefault(false);
        buttons->addWidget(button);
    }
    buttons->addStretch();
    for (QPushButton* button : {FOk, FCancel, FHelp})
        buttons->addWidget(button);
    FCancel->setAutoDefault(false);
    FHelp->setAutoDefault(false);
    FOpen->setVisible(model.DMEButtons().Contains(dmbOpenSave));
    FSave->setVisible(model.DMEButtons().Contains(dmbOpenSave));
    FConnect->setVisible(model.DMEButtons().Contains(dmbConnect));
    FHelp->setVisible(model.OnSEHelpClick || !model.HelpFileName().isEmpty());

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(FPages, 1);
    layout->addLayout(buttons);

    connect(FPages, &QTabWidget::currentChanged, this, [this](int index) {
        if (auto* page = qobject_cast<ModelEditorPage*>(FPages->widget(index)))
            Guarded([page] { page->Refresh(); });
    });
    connect(FOk, &QPushButton::clicked, this, &TdlgDataModelEditor::accept);
    connect(FCancel, &QPushButton::clicked, this, &TdlgDataModelEditor::reject);
    connect(FHelp, &QPushButton::clicked, this, [this] { Guarded([this] { helpClick(); }); });
    connect(FOpen, &QPushButton::clicked, this, [this] { Guarded([this] { openClick(); }); });
    connect(FSave, &QPushButton::clicked, this, [this] { Guarded([this] { saveClick(); }); });
    connect(FConnect, &QPushButton::clicked, this, [this] { Guarded([this] { connectClick(); }); });
    connect(FFromDatabase, &QPushButton::clicked, this, [this] {
        Guarded([this] {
            if (Ask(tr("Replace the whole model by the tables, fields and links of the database?")))
                LoadFromDatabase();
        });
    });

    resize(960, 640);
    LoadControlPosReg(this, PositionKey);
    refreshPages();
    updateDatabaseButton();
}

TdlgDataModelEditor::~TdlgDataModelEditor()
{
    // The pages go before the copy they show, telling nothing on the way.
    FPages->disconnect(this);
    delete FPages;
}

void TdlgDataModelEditor::refreshPages()
{
    // Hidden pages read the copy again when they are shown.
    if (auto* page = qobject_cast<ModelEditorPage*>(FPages->currentWidget()))
        page->Refresh();
}

std::unique_ptr<TVxDBStructure> TdlgDataModelEditor::scratchModel() const
{
    auto scratch = std::make_unique<TVxDBStructure>();
    copySettings(*FCopy, *scratch);
    return scratch;
}

void TdlgDataModelEditor::Apply()
{
    FOrigins->Apply();
}

ModelFileFormat TdlgDataModelEditor::FileFormat(const QString& path, const TStringList& lines)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix == QStringLiteral("xml"))
        return ModelFileFormat::Xml;
    if (suffix == QStringLiteral("form"))
        return ModelFileFormat::Form;
    const QString first = firstLine(lines);
    if (first.startsWith(u'<'))
        return ModelFileFormat::Xml;
    return first.startsWith(QStringLiteral("form ")) ? ModelFileFormat::Form : ModelFileFormat::Text;
}

void TdlgDataModelEditor::OpenModelFile(const QString& path)
{
    TStringList lines;
    lines.LoadFromFile(path);
    readModel(path, lines);
}

void TdlgDataModelEditor::readModel(const QString& path, const TStringList& lines)
{
    // Read into a model of its own first: a file that fails part way
    // leaves the copy as it was.
    auto scratch = scratchModel();
    switch (FileFormat(path, lines)) {
    case ModelFileFormat::Xml: {
        TStringList document = lines;
        LoadDMFromXml(*scratch, document);
        break;
    }
    case ModelFileFormat::Form: {
        RegisterCoreFormClasses();
        RegisterQueryFormClasses();
        QObject owner;
        TVxDBStructure* found = nullptr;
        for (QObject* component : ReadForm(lines, &owner))
            if (!found)
                found = qobject_cast<TVxDBStructure*>(component);
        if (!found)
            throw Exception(tr("The form in %s holds no data model (TVxDBStructure)"), {path});
        scratch->Assign(*found);
        break;
    }
    case ModelFileFormat::Text:
        scratch->LoadFromStrings(lines);
        break;
    }
    replaceCopy(*scratch);
}

void TdlgDataModelEditor::replaceCopy(const TVxCustomDBStructure& model)
{
    // A model the text cannot carry (an XML document's data field names
    // no table the text reader finds) fails whole, leaving the copy as it was.
    model.CopyContentTo(*FCopy);
    refreshPages();
}

void TdlgDataModelEditor::SaveModelFile(const QString& path) const
{
    auto out = scratchModel();
    const ModelFileFormat format = FileFormat(path, {});
    // A form refers to its database info by name, which belongs to the
    // host's form, so a form holds the model alone.
    if (format != ModelFileFormat::Form) {
        out->DMOptions()->SetStoreDBInfo(FModel.DMOptions()->StoreDBInfo());
        out->SetDatabaseInfo(FModel.DatabaseInfo());
    }
    FCopy->CopyContentTo(*out);
    switch (format) {
    case ModelFileFormat::Xml: {
        TStringList lines;
        SaveDMToXml(*out, lines);
        lines.SaveToFile(path);
        break;
    }
    case ModelFileFormat::Form:
        RegisterCoreFormClasses();
        if (out->objectName().isEmpty())
            out->setObjectName(QStringLiteral("DataModel"));
        SaveFormToFile(path, QStringLiteral("DataModelForm"), {out.get()});
        break;
    case ModelFileFormat::Text:
        out->SaveToFile(path);
        break;
    }
}

QString TdlgDataModelEditor::DatabaseRefusal() const
{
    TVxDBInfo* info = FModel.DatabaseInfo();
    if (!info)
        return LoadResString(_ERRDBInfoNotSpecified)
               + tr(": the model has no database info (DatabaseInfo) to read the database through.");
    if (!info->Connected())
        return LoadResString(_SDBNotConnected)
               + (FModel.DMEButtons().Contains(dmbConnect) ? tr(": connect first.") : tr("."));
    return {};
}

void TdlgDataModelEditor::LoadFromDatabase()
{
    const QString refusal = DatabaseRefusal();
    if (!refusal.isEmpty())
        throw Exception(refusal);
    auto scratch = scratchModel();
    scratch->SetDatabaseInfo(FModel.DatabaseInfo());
    scratch->RetriveDataModelInfo();
    replaceCopy(*scratch);
}

void TdlgDataModelEditor::updateDatabaseButton()
{
    QString refusal;
    if (!Guarded([&] { refusal = DatabaseRefusal(); }))
        refusal = tr("The database info failed.");
    FFromDatabase->setEnabled(refusal.isEmpty());
    FFromDatabase->setToolTip(refusal.isEmpty() ? tr("Replaces the model by the tables, fields and links of the database")
                                                : refusal);
}

void TdlgDataModelEditor::openClick()
{
    if (FModel.OnLoadModel) {
        TStringList lines;
        bool processed = false;
        FModel.OnLoadModel(&FModel, lines, processed);
        if (processed) {
            readModel(QString(), lines);
            return;
        }
    }
    QFileDialog dialog(this, tr("Open data model"), FModel.InitialSEPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(fileFilters());
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
        OpenModelFile(dialog.selectedFiles().constFirst());
}

void TdlgDataModelEditor::saveClick()
{
    if (FModel.OnSaveModel) {
        auto out = scratchModel();
        out->DMOptions()->SetStoreDBInfo(FModel.DMOptions()->StoreDBInfo());
        out->SetDatabaseInfo(FModel.DatabaseInfo());
        out->Assign(*FCopy);
        TStringList lines;
        out->SaveToStrings(lines);
        bool processed = false;
        FModel.OnSaveModel(&FModel, lines, processed);
        if (processed)
            return;
    }
    QFileDialog dialog(this, tr("Save data model"), FModel.InitialSEPath());
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    const QStringList filters = fileFilters();
    dialog.setNameFilters(filters);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    QString path = dialog.selectedFiles().constFirst();
    const qsizetype filter = filters.indexOf(dialog.selectedNameFilter());
    if (QFileInfo(path).suffix().isEmpty() && filter >= 0 && filter < qsizetype(std::size(FilterSuffixes)))
        path += u'.' + QLatin1String(FilterSuffixes[filter]);
    SaveModelFile(path);
}

void TdlgDataModelEditor::connectClick()
{
    if (FModel.OnConnectClick)
        FModel.OnConnectClick(&FModel);
    updateDatabaseButton();
}

void TdlgDataModelEditor::helpClick()
{
    if (FModel.OnSEHelpClick)
        FModel.OnSEHelpClick(&FModel);
    else if (!RunProgramEx(FModel.HelpFileName()))
        throw Exception(tr("Cannot open the help file %s"), {FModel.HelpFileName()});
}

void TdlgDataModelEditor::accept()
{
    if (Guarded([this] { Apply(); }))
        QDialog::accept();
}

void TdlgDataModelEditor::done(int result)
{
    SaveControlPosReg(this, PositionKey);
    QDialog::done(result);
}

void InstallDataModelEditor()
{
    TVxCustomDBStructure::SetDataModelEditor([](TVxCustomDBStructure& model) {
        TdlgDataModelEditor dialog(model, QApplication::activeWindow());
        return dialog.exec();
    });
}

} // namespace brindle
