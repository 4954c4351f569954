#pragma once
// LaterOwned: a widget held by unique_ptr that, when let go, hides at once
// and is deleted by the event loop, because a word may be inside its own
// event when the row that holds it goes.

#include <QWidget>

#include <memory>

namespace brindle {

struct LaterDelete {
    void operator()(QWidget* widget) const
    {
        widget->hide();
        widget->deleteLater();
    }
};

template <typename T>
using LaterOwned = std::unique_ptr<T, LaterDelete>;

} // namespace brindle
