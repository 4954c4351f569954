#include <brindle/panels/accessibility.h>

#include <brindle/panels/drop_down_label.h>
#include <brindle/panels/event_guard.h>
#include <brindle/panels/round_button.h>

#include <QAccessibleWidget>

namespace brindle {

namespace {

QAccessible::Role wordRole(const TDropDownLabel& label)
{
    switch (label.Word().Editor()) {
    case weNone:
        return QAccessible::StaticText;
    case weEdit:
    case weMaskEdit:
    case weDateTime:
        return QAccessible::EditableText;
    case wePopup:
    case weListBox:
    case weCheckList:
        return QAccessible::ComboBox;
    default:
        return QAccessible::Button;
    }
}

// A word: its caption as the name, its value, and "press" to open it.
// Captions carry the blanks that space a sentence; a name does not.
class WordAccessible : public QAccessibleWidget {
public:
    explicit WordAccessible(TDropDownLabel* label) : QAccessibleWidget(label) {}

    // A label may be bound to another word after it was first asked about.
    QAccessible::Role role() const override { return wordRole(label()); }

    QString text(QAccessible::Text kind) const override
    {
        const TQueryWord& word = label().Word();
        switch (kind) {
        case QAccessible::Name:
            return label().accessibleName().isEmpty() ? word.Caption().trimmed() : label().accessibleName().trimmed();
        case QAccessible::Value:
            return word.Editor() == weNone ? QString() : word.Caption().trimmed();
        case QAccessible::Description:
            return label().accessibleDescription().isEmpty() ? word.Hint() : label().accessibleDescription();
        default:
            return QAccessibleWidget::text(kind);
        }
    }
    QStringList actionNames() const override
    {
        if (label().Word().Editor() == weNone || !label().isEnabled())
            return {};
        return {pressAction()};
    }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && !actionNames().isEmpty())
            Guarded([this] { label().DropDown(); });
    }

private:
    TDropDownLabel& label() const { return *static_cast<TDropDownLabel*>(widget()); }
};

class ButtonAccessible : public QAccessibleWidget {
public:
    explicit ButtonAccessible(TVxRndBtn* button) : QAccessibleWidget(button, QAccessible::Button) {}

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return (widget()->accessibleName().isEmpty() ? QString(button().Caption()).remove(u'&')
                                                         : widget()->accessibleName())
                .trimmed();
        return QAccessibleWidget::text(kind);
    }
    QStringList actionNames() const override { return widget()->isEnabled() ? QStringList{pressAction()} : QStringList(); }
    void doAction(const QString& name) override
    {
        if (name == pressAction() && widget()->isEnabled())
            Guarded([this] { button().Click(); });
    }

private:
    TVxRndBtn& button() const { return *static_cast<TVxRndBtn*>(widget()); }
};

QAccessibleInterface* accessibleFor(const QString&, QObject* object)
{
    if (auto* label = qobject_cast<TDropDownLabel*>(object))
        return new WordAccessible(label);
    if (auto* button = qobject_cast<TVxRndBtn*>(object))
        return new ButtonAccessible(button);
    return nullptr;
}

} // namespace

void InstallAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(accessibleFor);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace brindle
