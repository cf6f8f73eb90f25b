// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Test entry for the window suites: a headless widget application.
#include "canvas/ChartFonts.h"

#include <QApplication>
#include <QStandardPaths>
#include <gtest/gtest.h>

using namespace brimlark;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QStandardPaths::setTestModeEnabled(true);
    QApplication app(argc, argv);
    ChartFonts::registerSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
