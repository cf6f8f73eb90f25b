// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The graticule's styles through the recording canvas.
#include "mapgen/Graticule.h"
#include "mapgen/Projection.h"
#include "support/RecordingCanvas.h"
#include "support/RecordingProgress.h"

#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

using S = ChartSettings;

class GraticuleTest : public ::testing::Test
{
protected:
    QStringList draw(const QString &style, int interval = 10)
    {
        settings.setText(S::GraticuleType, style);
        canvas.clear();
        progress.events.clear();
        Graticule(canvas, settings, view, progress).drawGraticule(interval);
        return canvas.calls();
    }

    S settings;
    ViewValues view{40, -100, 1, 800, 600};
    RecordingCanvas canvas;
    RecordingProgress progress;
};

} // namespace

// View centre 40 N 100 W: the cross there is centred on the chart, its arms 7 pixels long.
TEST_F(GraticuleTest, CrossAtTheViewCentre)
{
    const QStringList calls = draw(QStringLiteral("Cross"));
    const int at = int(calls.indexOf(QStringLiteral("moveTo 400 300")));
    ASSERT_GE(at, 0);
    EXPECT_EQ(calls.mid(at, 8), QStringList({"moveTo 400 300", "lineTo 400 293", "moveTo 400 300",
                                             "lineTo 393 300", "moveTo 400 300", "lineTo 407 300",
                                             "moveTo 400 300", "lineTo 400 307"}));
    EXPECT_EQ(calls.mid(0, 3), QStringList({"brushStyle clear", "penWidth 1", "penColor #C0C0C0"}));
    EXPECT_TRUE(canvas.callsOf({QStringLiteral("penStyle")}).isEmpty());
}

TEST_F(GraticuleTest, SwitchedOffDrawsNothingButSaysSo)
{
    settings.setOn(S::GridSelect, false);
    EXPECT_TRUE(draw(QStringLiteral("Line")).isEmpty());
    EXPECT_EQ(progress.statuses(),
              QStringList({"Preparing graticule map...", "Finished graticule map..."}));
}

TEST_F(GraticuleTest, UnknownStyleDrawsNothingWithTheStatusTexts)
{
    draw(QStringLiteral("line"));
    EXPECT_TRUE(canvas.callsOf({"moveTo", "lineTo", "setPixel", "penStyle"}).isEmpty());
    EXPECT_EQ(progress.statuses(),
              QStringList({"Preparing graticule map...", "GENERATE: Drawing parallels...",
                           "Drawing meridians...", "Finished graticule map..."}));
}

TEST_F(GraticuleTest, LineStylesSetTheirPen)
{
    draw(QStringLiteral("Dashed"));
    EXPECT_EQ(canvas.callsOf({QStringLiteral("penStyle")}),
              QStringList{QStringLiteral("penStyle dotted")});
    EXPECT_FALSE(canvas.callsOf({QStringLiteral("lineTo")}).isEmpty());
    draw(QStringLiteral("Line"));
    EXPECT_EQ(canvas.callsOf({QStringLiteral("penStyle")}),
              QStringList{QStringLiteral("penStyle solid")});
}

TEST_F(GraticuleTest, DottedSetsPixelsAndDrawsNoLines)
{
    draw(QStringLiteral("Dotted"));
    EXPECT_TRUE(canvas.callsOf({QStringLiteral("lineTo")}).isEmpty());
    EXPECT_TRUE(canvas.calls().contains(QStringLiteral("setPixel 400 300 #C0C0C0")));
}

TEST_F(GraticuleTest, MixedAddsPlusMarksInsideTheChart)
{
    draw(QStringLiteral("Mixed"));
    EXPECT_TRUE(progress.statuses().contains(QStringLiteral("Drawing mixed graticule...")));
    const QStringList pixels = canvas.callsOf({QStringLiteral("setPixel")});
    EXPECT_TRUE(pixels.contains(QStringLiteral("setPixel 401 300 #C0C0C0")));
    EXPECT_TRUE(pixels.contains(QStringLiteral("setPixel 400 299 #C0C0C0")));
    EXPECT_EQ(pixels.size() % 5, 0);
}

// With the whole globe in view no segment joins a visible point to a hidden one.
TEST_F(GraticuleTest, WholeGlobeLinesStopAtTheRim)
{
    view = ViewValues{20, 30, 0.4, 800, 800};
    draw(QStringLiteral("Line"));
    const QStringList lines = canvas.callsOf({QStringLiteral("moveTo"), QStringLiteral("lineTo")});
    ASSERT_FALSE(lines.isEmpty());
    for (const QString &call : lines) {
        EXPECT_FALSE(call.contains(QStringLiteral("-9999"))) << call.toStdString();
        const QPoint p(call.section(u' ', 1, 1).toInt(), call.section(u' ', 2, 2).toInt());
        EXPECT_LE((p - QPoint(400, 400)).manhattanLength(), 2 * 321) << call.toStdString();
    }
}
