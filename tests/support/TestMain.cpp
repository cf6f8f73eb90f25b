// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Test entry for the core suites: a headless GUI application, so fonts and images work.
#include "canvas/ChartFonts.h"

#include <QGuiApplication>
#include <gtest/gtest.h>

using namespace brimlark;

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    ChartFonts::registerSubstitutions();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
