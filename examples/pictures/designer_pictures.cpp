#include "pictures.h"

#include <brindle/datamodel/db_structure.h>
#include <brindle/datamodel/sql_db_info.h>
#include <brindle/designer/design_area.h>
#include <brindle/designer/link_editor.h>
#include <brindle/designer/panel_palette.h>
#include <brindle/designer/struct_design_panel.h>
#include <brindle/designer/tables_list_dialog.h>
#include <brindle/foundations/errors.h>

#include <QApplication>
#include <QComboBox>
#include <QCursor>
#include <QListWidget>
#include <QMouseEvent>
#include <QTableWidget>

namespace brindle {

namespace {

// The sample model over the sample database, so that boxes list columns.
struct Sample {
    Sample()
    {
        model.LoadFromFile(QStringLiteral(BRINDLE_SAMPLE_MODEL));
        info.SetDatabaseName(QStringLiteral(BRINDLE_SAMPLE_DB));
        info.Open();
        model.SetDatabaseInfo(&info);
    }
    TDSTable* table(const char* alias) const
    {
        TDSTable* found = model.TableByName(tlByAlias, QString::fromLatin1(alias));
        if (!found)
            throw Exception(QStringLiteral("The sample model has no table %s"), {QString::fromLatin1(alias)});
        return found;
    }

    TVxSqlDBInfo info;
    TVxDBStructure model;
};

void save(const QImage& image, const QString& path)
{
    if (!image.save(path))
        throw Exception(QStringLiteral("Cannot write %s"), {path});
}

// Clicks a row of a box's column list as a user does.
void clickRow(TTableRep* rep, const QString& column)
{
    QListWidget* list = rep->FieldsList();
    const QList<QListWidgetItem*> found = list->findItems(column, Qt::MatchExactly);
    if (found.isEmpty())
        throw Exception(QStringLiteral("The box has no column %s"), {column});
    const QPointF at = list->visualItemRect(found.first()).center();
    const QPointF global = list->viewport()->mapToGlobal(at);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, global, Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &event);
    }
    QApplication::processEvents();
}

// The whole diagram with the order lines' link to products selected, and,
// drawing, a new link from the customers' country on its way to the mouse.
QImage renderPanel(Sample& sample, bool drawing, bool dark = false)
{
    TVxStructDesignPanel panel;
    panel.resize(1260, 520);
    if (dark)
        ApplyPalette(StandardDarkPalette(), nullptr, nullptr, &panel);
    panel.SetDBStruct(&sample.model);
    panel.show();
    panel.Activate();
    panel.SetActiveTable(panel.FindTblRepByDSTable(sample.table("OD")));
    panel.SetActiveLink(panel.FindLinkRepByDSLink(sample.table("OD")->LinkByTable(sample.table("Prod"))));
    if (drawing) {
        panel.StartAddLink();
        clickRow(panel.FindTblRepByDSTable(sample.table("Cust")), QStringLiteral("Country"));
        panel.PointerMoved(QPoint(1032, 452));
    }
    QCursor::setPos(panel.mapToGlobal(QPoint(panel.width() - 3, 3)));
    QApplication::processEvents();
    return panel.grab().toImage();
}

QImage renderLinkEditor(Sample& sample)
{
    TDSLink* link = sample.table("OD")->LinkByTable(sample.table("Ord"));
    TdlgLinkEditor dialog;
    dialog.Load(*link);
    dialog.AddPair(QStringLiteral("Discount"), QStringLiteral("<"), QStringLiteral("val:0.5"));
    dialog.LinkTypeBox()->setCurrentIndex(ltOuterLeft);
    dialog.show();
    QApplication::processEvents();
    return dialog.grab().toImage();
}

QImage renderTablesList(Sample& sample)
{
    TdlgTablesList dialog(sample.info, {tloShowAddFields, tloMultiSelect, tloAutoAddFields});
    for (const char* name : {"Customers", "Orders"})
        dialog.TableList()->findItems(QString::fromLatin1(name), Qt::MatchExactly).value(0)->setSelected(true);
    dialog.show();
    QApplication::processEvents();
    return dialog.grab().toImage();
}

} // namespace

void RenderDesignerPictures(const QString& dir)
{
    Sample sample;
    save(renderPanel(sample, false), dir + QStringLiteral("/design_panel.png"));
    save(renderPanel(sample, true), dir + QStringLiteral("/design_panel_drawing.png"));
    save(renderPanel(sample, false, true), dir + QStringLiteral("/design_panel_dark.png"));
    save(renderLinkEditor(sample), dir + QStringLiteral("/link_editor.png"));
    save(renderTablesList(sample), dir + QStringLiteral("/tables_list.png"));
}

} // namespace brindle
