// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// L, H and text markers through the recording canvas (a letter there is 24 x 48 pixels).
#include "analysis/ChartMarkers.h"
#include "support/RecordingCanvas.h"

#include <gtest/gtest.h>

using namespace brimlark;

TEST(ChartMarkers, LettersAreCentredByTheExtentOfL)
{
    const ChartSettings settings;
    RecordingCanvas canvas;
    ChartMarkers::placeLetter(canvas, settings, u'L', 100, 100);
    EXPECT_EQ(canvas.calls(),
              QStringList({"brushStyle clear", "fontName Arial", "fontSize 36", "fontStyle bold",
                           "fontColor #DD0000", "textOut 88 76 L"}));
    canvas.clear();
    ChartMarkers::placeLetter(canvas, settings, u'H', 100, 100);
    EXPECT_EQ(canvas.callsOf({"fontColor", "textOut"}),
              QStringList({"fontColor #000088", "textOut 88 76 H"}));
}

TEST(ChartMarkers, TextLabelStartsAtThePressAndEmptyTextDrawsNothing)
{
    RecordingCanvas canvas;
    ChartMarkers::placeText(canvas, QString(), 10, 20);
    EXPECT_TRUE(canvas.calls().isEmpty());
    ChartMarkers::placeText(canvas, QStringLiteral("1012 mb"), 10, 20);
    EXPECT_EQ(canvas.calls(),
              QStringList({"brushStyle clear", "fontName Arial", "fontSize 12", "fontColor #000000",
                           "fontStyle bold", "textOut 10 20 1012 mb"}));
}
