#pragma once
// The boundary between Qt's event loop and the library: an exception thrown
// by a host's handler or a core call inside a Qt event handler must not
// unwind through the loop. Every event handler of the widgets runs its work
// through Guarded, which hands what was thrown to one error handler; the
// default shows a message box, and a host or a test replaces it.

#include <brindle/brindle_widgets_export.h>

#include <QString>

#include <exception>
#include <functional>

namespace brindle {

using WidgetErrorHandler = std::function<void(const QString& message)>;

// An empty handler restores the default message box.
BRINDLE_WIDGETS_EXPORT void SetWidgetErrorHandler(WidgetErrorHandler handler);
BRINDLE_WIDGETS_EXPORT void ReportWidgetError(const QString& message);

// Runs work; true when it returned normally, false when it threw and the
// error went to the handler.
template <typename Work>
bool Guarded(Work&& work)
{
    try {
        work();
        return true;
    } catch (const std::exception& error) {
        ReportWidgetError(QString::fromUtf8(error.what()));
    } catch (...) {
        ReportWidgetError(QStringLiteral("Unknown error"));
    }
    return false;
}

} // namespace brindle
