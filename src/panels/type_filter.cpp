#include <brindle/panels/type_filter.h>

#include <QAbstractItemView>
#include <QKeyEvent>

#include <algorithm>

namespace brindle {

namespace {

bool printable(const QKeyEvent& key)
{
    const QString text = key.text();
    return !text.isEmpty() && text.at(0).isPrint() &&
           !(key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
}

} // namespace

TTypeFilter::TTypeFilter(QAbstractItemView& view, std::function<int()> entryCount, QWidget* parent)
    : QLineEdit(parent), FView(view), FEntryCount(std::move(entryCount))
{
    setPlaceholderText(tr("Type to filter"));
    setClearButtonEnabled(true);
    // Longer than any caption, and short enough that the line's own layout
    // stays cheap at every key however much is typed.
    setMaxLength(MaxLength);
    // The view keeps the focus, so its keys keep moving the current entry.
    setFocusPolicy(Qt::NoFocus);
    hide();
    connect(this, &QLineEdit::textChanged, this, [this](const QString& typed) {
        setVisible(!typed.isEmpty());
        emit filterChanged(typed);
    });
    FView.installEventFilter(this);
}

void TTypeFilter::End()
{
    clear();
}

bool TTypeFilter::overflows() const
{
    const int row = std::max(1, FView.sizeHintForRow(0));
    return FEntryCount() > FView.viewport()->height() / row;
}

bool TTypeFilter::takes(const QKeyEvent& key) const
{
    if (Filtering())
        return key.key() == Qt::Key_Escape || key.key() == Qt::Key_Backspace || printable(key);
    return printable(key) && !key.text().at(0).isSpace() && overflows();
}

bool TTypeFilter::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &FView || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return false;
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (!takes(key))
        return false;
    // A key the line takes is no shortcut, and Escape does not close the dialog.
    event->accept();
    if (event->type() == QEvent::ShortcutOverride)
        return true;
    if (key.key() == Qt::Key_Escape)
        End();
    else if (key.key() == Qt::Key_Backspace)
        backspace();
    else
        insert(key.text());
    return true;
}

} // namespace brindle
