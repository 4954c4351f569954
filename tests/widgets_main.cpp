// Runs the widget tests inside a QApplication on the offscreen platform
// (also when the build lists the tests), with the C locale as the default,
// and with errors that reach the event loop's boundary failing the test
// instead of showing a message box.
#include <brindle/panels/event_guard.h>

#include <QApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    brindle::SetWidgetErrorHandler([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
