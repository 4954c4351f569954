#pragma once
// TdlgDataModelEditor: the dialog in which a data model's author edits its
// tables and links on a diagram, and its tables, entities, attributes,
// operators and predefined conditions, one page each in a tab widget. It edits a copy of the model (a TVxDBStructure
// it owns, with the same settings and database info) and hands it to the
// model only on OK, through the model text, keeping every entity the user
// did not delete: the model's listeners lose only what uses deleted
// entities, and Cancel leaves the model as it was. The copy may be
// read from and written to files (model text, model XML, form files) and
// rebuilt from the database; whatever fails leaves the copy as it was.
//
// InstallDataModelEditor makes TVxCustomDBStructure::EditStructure open
// this dialog. The libraries are static, so a host calls it once (a static
// initializer in this library would be left out by the linker).

#include <brindle/brindle_widgets_export.h>
#include <brindle/datamodel/copy_origins.h>
#include <brindle/datamodel/db_structure.h>

#include <QDialog>

#include <memory>

class QLabel;
class QPushButton;
class QTabWidget;

namespace brindle {

class AttributesPage;
class ConditionsPage;
class DiagramPage;
class EntitiesPage;
class ModelEditorPage;
class OperatorsPage;
class TablesPage;

// What a model file holds, by its name (".xml", ".form") or, for any
// other name, by its first line ("<" for XML, "form NAME" for a form file).
enum class ModelFileFormat { Text, Xml, Form };

class BRINDLE_WIDGETS_EXPORT TdlgDataModelEditor : public QDialog {
    Q_OBJECT
public:
    explicit TdlgDataModelEditor(TVxCustomDBStructure& model, QWidget* parent = nullptr);
    ~TdlgDataModelEditor() override;

    TVxCustomDBStructure& Model() const { return FModel; }
    // The working copy the pages edit.
    TVxDBStructure& Copy() const { return *FCopy; }

    // The model takes the copy's content, its entities that stand for the
    // model's keeping those. OK does this before it closes.
    void Apply();
    // Replaces the copy by the model a file holds; raises the reader's error
    // and leaves the copy unchanged when the file does not read.
    void OpenModelFile(const QString& path);
    // Writes the copy in the format the name asks for.
    void SaveModelFile(const QString& path) const;
    // Rebuilds the copy from the database through the model's database
    // info; raises when there is none, when it is not connected, or when
    // the database fails, and leaves the copy unchanged then.
    void LoadFromDatabase();
    // Why loading from the database is not possible now; empty when it is.
    QString DatabaseRefusal() const;
    static ModelFileFormat FileFormat(const QString& path, const TStringList& lines);

    QTabWidget* Pages() const { return FPages; }
    DiagramPage* Diagram() const { return FDiagramPage; }
    TablesPage* Tables() const { return FTablesPage; }
    EntitiesPage* Entities() const { return FEntitiesPage; }
    AttributesPage* Attributes() const { return FAttributesPage; }
    OperatorsPage* Operators() const { return FOperatorsPage; }
    ConditionsPage* Conditions() const { return FConditionsPage; }
    QPushButton* OkButton() const { return FOk; }
    QPushButton* CancelButton() const { return FCancel; }
    QPushButton* HelpButton() const { return FHelp; }
    QPushButton* OpenButton() const { return FOpen; }
    QPushButton* SaveButton() const { return FSave; }
    QPushButton* ConnectButton() const { return FConnect; }
    QPushButton* DatabaseButton() const { return FFromDatabase; }

    void accept() override;
    void done(int result) override;

private:
    // The shown page shows the copy again: it was replaced as a whole.
    void refreshPages();
    void updateDatabaseButton();
    void openClick();
    void saveClick();
    void connectClick();
    void helpClick();
    // A new model with the copy's settings, without a database info.
    std::unique_ptr<TVxDBStructure> scratchModel() const;
    // Replaces the copy by the model the lines hold in their format.
    void readModel(const QString& path, const TStringList& lines);
    // The copy takes the model's text once it is known to read.
    void replaceCopy(const TVxCustomDBStructure& model);

    TVxCustomDBStructure& FModel;
    std::unique_ptr<TVxDBStructure> FCopy;
    // Which of the copy's entities stand for the model's; goes before the copy.
    std::unique_ptr<CopyOrigins> FOrigins;
    QTabWidget* FPages;
    DiagramPage* FDiagramPage;
    TablesPage* FTablesPage;
    EntitiesPage* FEntitiesPage;
    AttributesPage* FAttributesPage;
    OperatorsPage* FOperatorsPage;
    ConditionsPage* FConditionsPage;
    QPushButton* FOk;
    QPushButton* FCancel;
    QPushButton* FHelp;
    QPushButton* FOpen;
    QPushButton* FSave;
    QPushButton* FConnect;
    QPushButton* FFromDatabase;
};

// Makes EditStructure open the data model editor over the active window.
// Calling it again changes nothing.
BRINDLE_WIDGETS_EXPORT void InstallDataModelEditor();

} // namespace brindle
