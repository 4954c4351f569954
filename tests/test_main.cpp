// Runs the tests inside a QCoreApplication, as a host would run the library,
// and with the C locale as the default so that locale-dependent conversions
// start from a known state.
#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    // Every text an undo history keeps is checked against the query.
    qputenv("BRINDLE_CHECK_HISTORY", "1");
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
