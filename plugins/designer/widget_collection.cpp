#include "widget_collection.h"

#include <brindle/designer/struct_design_panel.h>
#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/query_panel.h>
#include <brindle/panels/result_fields_panel.h>

namespace brindle::designer_plugin {
namespace {

template <typename Widget>
QWidget* make(QWidget* parent)
{
    return new Widget(parent);
}

QList<WidgetDescription> descriptions()
{
    return {
        {QStringLiteral("brindle::TVxQueryPanel"), QStringLiteral("Query Panel"), QStringLiteral("queryPanel"),
         QStringLiteral("<brindle/panels/query_panel.h>"),
         QStringLiteral("Query panel: conditions composed as sentences of clickable words"),
         QStringLiteral("Shows a query's filter as rows of sentences, one per condition or bracket. "
                        "Give it a data model (Query().SetDbStruct) and activate it at run time."),
         IconKind::QueryPanel, QSize(400, 200), QString(), make<TVxQueryPanel>},
        {QStringLiteral("brindle::TVxResultFieldsPanel"), QStringLiteral("Result Fields Panel"), QStringLiteral("resultFieldsPanel"),
         QStringLiteral("<brindle/panels/result_fields_panel.h>"),
         QStringLiteral("Result fields panel: a query's columns and their sorting"),
         QStringLiteral("Shows result columns as numbered rows of a field word and a sorting word. "
                        "Give it a data model (SetDBStruct) or bind it to a query (BindQuery)."),
         IconKind::ResultFieldsPanel, QSize(300, 150), QString(), make<TVxResultFieldsPanel>},
        {QStringLiteral("brindle::TVxStructDesignPanel"), QStringLiteral("Structure Design Panel"), QStringLiteral("structDesignPanel"),
         QStringLiteral("<brindle/designer/struct_design_panel.h>"),
         QStringLiteral("Structure design panel: a data model as a diagram of tables and links"),
         QStringLiteral("Shows each table of a data model as a box and each link as a line. "
                        "Give it a data model (SetDBStruct) and activate it at run time."),
         IconKind::StructDesignPanel, QSize(480, 320), QString(), make<TVxStructDesignPanel>},
        {QStringLiteral("brindle::TDropDownLabel"), QStringLiteral("Drop-Down Label"), QStringLiteral("dropDownLabel"),
         QStringLiteral("<brindle/panels/drop_down_label.h>"),
         QStringLiteral("Drop-down label: a clickable word that stands for a value"),
         QStringLiteral("Shows a caption for its value; a click asks the OnCustomDropDown handler "
                        "for a new value."),
         IconKind::DropDownLabel, QSize(60, 16),
         QStringLiteral("<property name=\"Caption\"><string>value</string></property>"), make<TDropDownLabel>},
    };
}

} // namespace

WidgetEntry::WidgetEntry(WidgetDescription description, QObject* parent)
    : QObject(parent), FDescription(std::move(description))
{
}

QString WidgetEntry::domXml() const
{
    return QStringLiteral("<ui language=\"c++\" displayname=\"%1\">\n"
                          " <widget class=\"%2\" name=\"%3\">\n"
                          "  <property name=\"geometry\"><rect><x>0</x><y>0</y>"
                          "<width>%4</width><height>%5</height></rect></property>\n"
                          "  %6\n"
                          " </widget>\n"
                          "</ui>\n")
        .arg(FDescription.DisplayName, FDescription.ClassName, FDescription.ObjectName,
             QString::number(FDescription.Size.width()), QString::number(FDescription.Size.height()),
             FDescription.Properties);
}

WidgetCollection::WidgetCollection(QObject* parent) : QObject(parent)
{
    for (WidgetDescription& description : descriptions())
        FEntries.append(new WidgetEntry(std::move(description), this));
}

} // namespace brindle::designer_plugin
