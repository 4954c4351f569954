#pragma once
// TTypeFilter: typing filters a list or tree that holds more entries than
// its view shows. It is a search line that the owner lays out above the
// view, hidden until used. While the view has the focus, a printable key
// other than a blank opens the line with that key typed, if the view holds
// more entries than fit in it; from then on printable keys and Backspace go
// to the line, while the arrows, the page keys, Enter and the mouse still
// work the view. Escape, or emptying the line, ends the filter and hides the
// line. A view that shows all its entries keeps its own jump to a typed
// prefix.
// The line only tells what is typed (filterChanged): the owner filters its
// model and keeps an entry current. It refers to the view, a sibling that
// goes with it.

#include <brindle/brindle_widgets_export.h>

#include <QLineEdit>

#include <functional>

class QAbstractItemView;
class QKeyEvent;

namespace brindle {

class BRINDLE_WIDGETS_EXPORT TTypeFilter : public QLineEdit {
    Q_OBJECT
public:
    // Keys typed beyond this many characters are dropped.
    static constexpr int MaxLength = 256;

    // entryCount: how many entries the view holds unfiltered, a tree's
    // folded nodes included.
    TTypeFilter(QAbstractItemView& view, std::function<int()> entryCount, QWidget* parent = nullptr);

    bool Filtering() const { return !text().isEmpty(); }
    // Empties and hides the line; filterChanged tells the empty text.
    void End();

signals:
    // Every change of the typed text; the empty text ends the filter.
    void filterChanged(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Whether the key types into the line, opening it if need be.
    bool takes(const QKeyEvent& key) const;
    bool overflows() const;

    QAbstractItemView& FView;
    std::function<int()> FEntryCount;
};

} // namespace brindle
