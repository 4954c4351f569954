// Runs the widget tests inside a QApplication on the offscreen platform
// (also when the build lists the tests), with the C locale as the default,
// and with errors that reach the event loop's boundary failing the test
// instead of showing a message box. Hashes are seeded alike in every run,
// so a random user's seed takes the same steps when it is replayed.
#include <brindle/panels/event_guard.h>

#include <QApplication>
#include <QHashSeed>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // Every text an undo history keeps is checked against the query.
    qputenv("BRINDLE_CHECK_HISTORY", "1");
    QHashSeed::setDeterministicGlobalSeed();
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    brindle::SetWidgetErrorHandler([](const QString& message) { ADD_FAILURE() << message.toStdString(); });
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
