// Runs the tests inside a QCoreApplication, as a host would run the library,
// and with the C locale as the default so that locale-dependent conversions
// start from a known state.
#include <QCoreApplication>
#include <QLocale>

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QLocale::setDefault(QLocale::c());
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
