// The built Qt Designer plugin loaded as Designer loads it. The plugin
// carries its own copy of the widgets library, so this program links none:
// it sees the widgets only as Designer does, through the meta-object
// (a qobject_cast to a Brindle class would compare against another copy's
// meta-object, so classes are checked by their meta-object's name).

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <gtest/gtest.h>

#include <QApplication>
#include <QColor>
#include <QLabel>
#include <QMetaProperty>
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

// What a form may set, as Designer writes it; sets and enumerations by
// their keys.
struct Published {
    const char* widget;
    const char* property;
    QVariant value;
};

const Published publishedProperties[] = {
    {"brindle::TVxQueryPanel", "RowSpace", 8},
    {"brindle::TVxQueryPanel", "TabSpace", 24},
    {"brindle::TVxQueryPanel", "ElemSpace", 6},
    {"brindle::TVxQueryPanel", "HeaderLeft", 9},
    {"brindle::TVxQueryPanel", "HeaderTop", 7},
    {"brindle::TVxQueryPanel", "MaxPopupItemCount", 30},
    {"brindle::TVxQueryPanel", "SaveTitles", false},
    {"brindle::TVxQueryPanel", "ActiveRowColor", QColor(0xFF, 0xFF, 0xE0)},
    {"brindle::TVxQueryPanel", "ControlBorderColor", QColor(0x40, 0x40, 0x40)},
    {"brindle::TVxQueryPanel", "ButtonColor", QColor(0xE0, 0xE0, 0xFF)},
    {"brindle::TVxQueryPanel", "AddRowColor", QColor(0x00, 0x60, 0x00)},
    {"brindle::TVxQueryPanel", "FieldColor", QColor(0x80, 0x00, 0x00)},
    {"brindle::TVxQueryPanel", "OperatorColor", QColor(0x00, 0x80, 0x80)},
    {"brindle::TVxQueryPanel", "ValueColor", QColor(0x80, 0x00, 0x80)},
    {"brindle::TVxQueryPanel", "BoolOpColor", QColor(0x60, 0x60, 0x00)},
    {"brindle::TVxQueryPanel", "Options", "aoFlatButtons|aoShowAddRow|aoHideRootRow"},
    {"brindle::TVxQueryPanel", "LinkTypes", "fltAll|fltAny"},
    {"brindle::TVxQueryPanel", "MainBtnCaption", "Find"},
    {"brindle::TVxQueryPanel", "NameSeparator", "/"},
    {"brindle::TVxQueryPanel", "LogOpStyle", "losBeforeCond"},
    {"brindle::TVxResultFieldsPanel", "LeftMargin", 7},
    {"brindle::TVxResultFieldsPanel", "TopMargin", 6},
    {"brindle::TVxResultFieldsPanel", "RowSpace", 4},
    {"brindle::TVxResultFieldsPanel", "ElemSpace", 3},
    {"brindle::TVxResultFieldsPanel", "SortColor", QColor(0x00, 0x40, 0x00)},
    {"brindle::TVxResultFieldsPanel", "FieldColor", QColor(0x40, 0x00, 0x00)},
    {"brindle::TVxResultFieldsPanel", "Options", "aoRoundButtons|aoShowGroupName"},
    {"brindle::TVxResultFieldsPanel", "NameSeparator", ":"},
    {"brindle::TVxStructDesignPanel", "ShowFullScreenButton", false},
    {"brindle::TVxStructDesignPanel", "ShowActionHints", false},
    {"brindle::TVxStructDesignPanel", "ActionHints", QStringList{"IdleHint=Pick a table"}},
    {"brindle::TVxStructDesignPanel", "ActiveTitleColor", QColor(0x20, 0x20, 0x60)},
    {"brindle::TVxStructDesignPanel", "ActiveTitleTextColor", QColor(0xFF, 0xFF, 0xC0)},
    {"brindle::TVxStructDesignPanel", "TitleColor", QColor(0xA0, 0xA0, 0xA0)},
    {"brindle::TVxStructDesignPanel", "TitleTextColor", QColor(0x10, 0x10, 0x10)},
    {"brindle::TVxStructDesignPanel", "LineColor", QColor(0x60, 0x00, 0x00)},
    {"brindle::TDropDownLabel", "Caption", "City"},
    {"brindle::TDropDownLabel", "Value", "2"},
    {"brindle::TDropDownLabel", "Fixed", true},
    {"brindle::TDropDownLabel", "Enabled", false},
    {"brindle::TDropDownLabel", "Hint", "Where the customer lives"},
};

TEST_F(DesignerPlugin, EveryPublishedPropertyIsSetAndReadBackByName)
{
    std::map<QString, std::unique_ptr<QWidget>> made;
    for (const Published& p : publishedProperties) {
        SCOPED_TRACE(std::string(p.widget) + "." + p.property);
        std::unique_ptr<QWidget>& w = made[p.widget];
        if (!w) {
            QDesignerCustomWidgetInterface* entry = widget(QString::fromLatin1(p.widget));
            ASSERT_NE(entry, nullptr);
            w.reset(entry->createWidget(&form));
        }
        const int index = w->metaObject()->indexOfProperty(p.property);
        ASSERT_GE(index, 0);
        const QMetaProperty property = w->metaObject()->property(index);
        EXPECT_TRUE(property.isWritable() && property.isDesignable());
        ASSERT_TRUE(w->setProperty(p.property, p.value));
        const QVariant read = w->property(p.property);
        if (property.isEnumType()) {
            const QMetaEnum keys = property.enumerator();
            const int expected = keys.isFlag() ? keys.keysToValue(p.value.toByteArray().constData())
                                               : keys.keyToValue(p.value.toByteArray().constData());
            ASSERT_NE(expected, -1) << "unknown key";
            EXPECT_EQ(read.toInt(), expected);
        } else {
            EXPECT_EQ(read, p.value);
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
