#pragma once
// The Qt Designer plugin: Brindle's four widgets in the widget box, group
// "Brindle". Designer makes each widget through its entry and edits the
// published properties the widget declares; the entries own nothing but
// their descriptions, and the collection owns the entries as Qt children.

#include "widget_icons.h"

#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>

#include <QObject>

#include <functional>

namespace brindle::designer_plugin {

struct WidgetDescription {
    QString ClassName;
    QString DisplayName;
    // The name a new widget gets on a form (Designer numbers further ones).
    QString ObjectName;
    QString IncludeFile;
    QString ToolTip;
    QString WhatsThis;
    IconKind Icon;
    QSize Size;
    // Properties the widget starts with on a form, as .ui elements.
    QString Properties;
    std::function<QWidget*(QWidget* parent)> Create;
};

class WidgetEntry : public QObject, public QDesignerCustomWidgetInterface {
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)
public:
    WidgetEntry(WidgetDescription description, QObject* parent);

    QString name() const override { return FDescription.ClassName; }
    QString group() const override { return QStringLiteral("Brindle"); }
    QString toolTip() const override { return FDescription.ToolTip; }
    QString whatsThis() const override { return FDescription.WhatsThis; }
    QString includeFile() const override { return FDescription.IncludeFile; }
    QIcon icon() const override { return WidgetIcon(FDescription.Icon); }
    bool isContainer() const override { return false; }
    QWidget* createWidget(QWidget* parent) override { return FDescription.Create(parent); }
    QString domXml() const override;

private:
    WidgetDescription FDescription;
};

class WidgetCollection : public QObject, public QDesignerCustomWidgetCollectionInterface {
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)
public:
    explicit WidgetCollection(QObject* parent = nullptr);

    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return FEntries; }

private:
    QList<QDesignerCustomWidgetInterface*> FEntries;
};

} // namespace brindle::designer_plugin
