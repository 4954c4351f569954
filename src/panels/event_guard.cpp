#include <brindle/panels/event_guard.h>

#include <QApplication>
#include <QMessageBox>

namespace brindle {

namespace {

WidgetErrorHandler& handler()
{
    static WidgetErrorHandler current;
    return current;
}

} // namespace

void SetWidgetErrorHandler(WidgetErrorHandler newHandler)
{
    handler() = std::move(newHandler);
}

void ReportWidgetError(const QString& message)
{
    if (handler()) {
        handler()(message);
        return;
    }
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationName(), message);
}

} // namespace brindle
