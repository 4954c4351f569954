// The built Qt Designer plugin loaded as Designer loads it. The plugin
// carries its own copy of the widgets library, so this program links none:
// it sees the widgets only as Designer does, through the meta-object
// (a qobject_cast to a Brindle class would compare against another copy's
// meta-object, so classes are checked by their meta-object's name).

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QPluginLoader>
#include <QRect>
#include <QXmlStreamReader>

#include <map>
#include <memory>

namespace {

class DesignerPlugin : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        loader = new QPluginLoader(QStringLiteral(BRINDLE_DESIGNER_PLUGIN));
        ASSERT_TRUE(loader->load()) << loader->errorString().toStdString();
    }
    static void TearDownTestSuite()
    {
        // The plugin stays loaded: Qt keeps its widgets' types registered
        // until the program ends.
        delete loader;
        loader = nullptr;
    }
    static QList<QDesignerCustomWidgetInterface*> widgets()
    {
        auto* collection = qobject_cast<QDesignerCustomWidgetCollectionInterface*>(loader->instance());
        return collection ? collection->customWidgets() : QList<QDesignerCustomWidgetInterface*>();
    }
    static QDesignerCustomWidgetInterface* widget(const QString& name)
    {
        for (QDesignerCustomWidgetInterface* w : widgets())
            if (w->name() == name)
                return w;
        return nullptr;
    }

    static inline QPluginLoader* loader = nullptr;
    QWidget form;
};

// A property value as a .ui file writes it.
QVariant uiValue(QXmlStreamReader& xml)
{
    const QString kind = xml.name().toString();
    if (kind == QLatin1String("rect")) {
        std::map<QString, int> parts;
        while (xml.readNextStartElement())
            parts[xml.name().toString()] = xml.readElementText().toInt();
        return QRect(parts["x"], parts["y"], parts["width"], parts["height"]);
    }
    const QString text = xml.readElementText();
    if (kind == QLatin1String("bool"))
        return text == QLatin1String("true");
    if (kind == QLatin1String("number"))
        return text.toInt();
    return text;
}

// The properties of the widget element of a widget's .ui snippet; the
// element's class must be the widget's.
std::map<QString, QVariant> domProperties(const QDesignerCustomWidgetInterface& widget, QString& error)
{
    QXmlStreamReader xml(widget.domXml());
    std::map<QString, QVariant> properties;
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("ui") || !xml.readNextStartElement() ||
        xml.name() != QLatin1String("widget") || xml.attributes().value("class") != widget.name()) {
        error = QStringLiteral("no <ui><widget class=\"%1\">").arg(widget.name());
        return properties;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() != QLatin1String("property")) {
            xml.skipCurrentElement();
            continue;
        }
        const QString name = xml.attributes().value("name").toString();
        if (xml.readNextStartElement()) {
            properties[name] = uiValue(xml);
            xml.skipCurrentElement();
        }
    }
    xml.readNext();
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        error = xml.errorString();
    return properties;
}

TEST_F(DesignerPlugin, OffersTheFourWidgetsInTheirGroup)
{
    const std::map<QString, QString> includes = {
        {"brindle::TVxQueryPanel", "<brindle/panels/query_panel.h>"},
        {"brindle::TVxResultFieldsPanel", "<brindle/panels/result_fields_panel.h>"},
        {"brindle::TVxStructDesignPanel", "<brindle/designer/struct_design_panel.h>"},
        {"brindle::TDropDownLabel", "<brindle/panels/drop_down_label.h>"},
    };
    ASSERT_EQ(widgets().size(), qsizetype(includes.size()));
    for (QDesignerCustomWidgetInterface* w : widgets()) {
        SCOPED_TRACE(w->name().toStdString());
        ASSERT_EQ(includes.count(w->name()), 1u);
        EXPECT_EQ(w->includeFile(), includes.at(w->name()));
        EXPECT_EQ(w->group(), QStringLiteral("Brindle"));
        EXPECT_FALSE(w->toolTip().isEmpty());
        EXPECT_FALSE(w->whatsThis().isEmpty());
        EXPECT_FALSE(w->icon().pixmap(32, 32).isNull());
        EXPECT_FALSE(w->isContainer());

        std::unique_ptr<QWidget> made(w->createWidget(&form));
        ASSERT_NE(made, nullptr);
        EXPECT_EQ(made->parentWidget(), &form);
        EXPECT_EQ(QString::fromLatin1(made->metaObject()->className()), w->name());

        QString error;
        const auto properties = domProperties(*w, error);
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        EXPECT_EQ(properties.count(QStringLiteral("geometry")), 1u);
        for (const auto& [name, value] : properties) {
            SCOPED_TRACE(name.toStdString());
            EXPECT_TRUE(made->setProperty(name.toLatin1().constData(), value));
            EXPECT_EQ(made->property(name.toLatin1().constData()), value);
        }
    }
}

TEST_F(DesignerPlugin, APropertyReachesWhatTheWidgetShows)
{
    QDesignerCustomWidgetInterface* entry = widget(QStringLiteral("brindle::TVxStructDesignPanel"));
    ASSERT_NE(entry, nullptr);
    std::unique_ptr<QWidget> panel(entry->createWidget(&form));
    // The hint line is the panel's own label.
    panel->setProperty("ActionHints", QStringList{QStringLiteral("IdleHint=Pick a table")});
    const auto labels = panel->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(),
                            [](const QLabel* l) { return l->text() == QLatin1String("Pick a table"); }));
}

} // namespace

// On the offscreen platform also when the build lists the tests.
int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
