// Runs the widget tests inside a QApplication (CTest sets the offscreen
// platform), with the C locale as the default, and with errors that reach
// the event loop's boundary recorded instead of shown in a message box.
#include <brindle/panels/event_guard.h>

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    brindle::SetWidgetErrorHandler([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
