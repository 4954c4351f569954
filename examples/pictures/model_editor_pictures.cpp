#include "pictures.h"

#include <brindle/designer/attributes_page.h>
#include <brindle/designer/conditions_page.h>
#include <brindle/designer/diagram_page.h>
#include <brindle/designer/entities_page.h>
#include <brindle/designer/model_editor.h>
#include <brindle/designer/operators_page.h>
#include <brindle/designer/tables_page.h>
#include <brindle/datamodel/sql_db_info.h>
#include <brindle/foundations/errors.h>

#include <QApplication>
#include <QListView>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>

#include <functional>

namespace brindle {

namespace {

void selectRow(QListWidget* list, const QString& text)
{
    const QList<QListWidgetItem*> found = list->findItems(text, Qt::MatchStartsWith);
    if (found.isEmpty())
        throw Exception(QStringLiteral("The sample model's editor lists no %s"), {text});
    list->setCurrentItem(found.first());
}

void selectRow(QListView* list, const QString& text)
{
    const QModelIndexList found =
        list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, text, 1, Qt::MatchStartsWith);
    if (found.isEmpty())
        throw Exception(QStringLiteral("The sample model's editor lists no %s"), {text});
    list->setCurrentIndex(found.first());
}

} // namespace

void RenderModelEditorPictures(const QString& dir)
{
    // Over the sample database, so that the diagram's boxes list columns.
    TVxSqlDBInfo info;
    info.SetDatabaseName(QStringLiteral(BRINDLE_SAMPLE_DB));
    info.Open();
    TVxDBStructure model;
    model.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
    model.SetDatabaseInfo(&info);
    model.OnSEHelpClick = [](QObject*) {};
    TdlgDataModelEditor editor(model);
    editor.show();
    const auto shoot = [&](QWidget* page, const char* name, const std::function<void()>& select) {
        editor.Pages()->setCurrentWidget(page);
        select();
        QApplication::processEvents();
        const QString path = dir + QStringLiteral("/model_editor_") + QLatin1String(name) + QStringLiteral(".png");
        if (!editor.grab().save(path))
            throw Exception(QStringLiteral("Cannot write %s"), {path});
    };
    shoot(editor.Tables(), "tables", [&] { selectRow(editor.Tables()->TableList(), QStringLiteral("Orders")); });
    shoot(editor.Entities(), "entities", [&] {
        EntitiesPage* entities = editor.Entities();
        TDSField* field = editor.Copy().FieldByName(flByDisplayName, QStringLiteral("Order status"));
        entities->GroupNode(field->Group())->setExpanded(true);
        entities->Tree()->setCurrentItem(entities->FieldNode(field));
    });
    shoot(editor.Attributes(), "attributes",
          [&] { selectRow(editor.Attributes()->FieldList(), QStringLiteral("Order status")); });
    shoot(editor.Operators(), "operators", [&] { selectRow(editor.Operators()->OperatorList(), QStringLiteral("Between")); });
    shoot(editor.Conditions(), "conditions",
          [&] { selectRow(editor.Conditions()->ConditionList(), QStringLiteral("Ordered between")); });
    // The sample's stored places need a wider window than the pages.
    shoot(editor.Diagram(), "diagram", [&] { editor.resize(1220, 760); });
}

} // namespace brindle
