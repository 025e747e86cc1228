#include "tests/own_home.h"

#include <gtest/gtest.h>

#include <QApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    // Whatever the tests and Qt keep per user (a file dialog's history, font
    // caches) goes into folders of this run's own, never into the home of
    // whoever runs the tests.
    const testsupport::OwnHome home;
    if (!home.isValid()) {
        std::fprintf(stderr, "tarnwick_tests: cannot make a home of its own under %s\n",
                     qPrintable(testsupport::OwnHome::temporaryFolder()));
        return 1;
    }
    // Windows are drawn off screen: the tests need no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
