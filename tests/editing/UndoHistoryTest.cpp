// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The undo history on its own: steps as differences, their memory, and whole-picture steps.
#include "editing/UndoHistory.h"
#include "base/ChartError.h"
#include "support/Pixels.h"

#include <QPainter>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

// A large chart with a line drawn for each committed segment.
QImage withSegment(QImage image, int i)
{
    QPainter painter(&image);
    painter.setPen(QPen(QColor(0, 0, 255), 3));
    painter.drawLine(20 + i * 30, 100, 40 + i * 30, 1100);
    return image;
}

} // namespace

TEST(UndoHistory, FiftyStepsOfALargeChartComeBackPixelForPixel)
{
    std::vector<ChartState> states{{.image = Pixels::plain(1600, 1200, qRgb(200, 230, 255))}};
    UndoHistory history;
    for (int i = 0; i < 50; ++i) {
        states.push_back({.image = withSegment(states.back().image, i)});
        history.record(states[states.size() - 2], states.back());
    }
    EXPECT_EQ(history.undoSteps(), 50u);
    EXPECT_LT(history.bytes(), qsizetype(100) << 20);
    ChartState state = states.back();
    for (size_t back = states.size() - 1; back-- > 0;) {
        ASSERT_TRUE(history.undo(state));
        ASSERT_EQ(state.image, states[back].image) << back;
    }
    EXPECT_FALSE(history.undo(state));
    ASSERT_TRUE(history.redo(state));
    EXPECT_EQ(state.image, states[1].image);
}

// A new size or palette is kept whole, with its view; an unchanged state makes no step.
TEST(UndoHistory, WholePicturesAndViewsAndNoEmptySteps)
{
    const ChartState large{.image = Pixels::plain(400, 300, qRgb(1, 2, 3)),
                           .view = {45, -93, 1.2, 400, 300}};
    QImage palette(30, 20, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(0, 0, 0), qRgb(255, 0, 0)});
    palette.fill(1);
    const ChartState small{.image = palette, .paletteBits = 8, .view = {10, 20, 0.5, 30, 20}};
    UndoHistory history;
    history.record(large, large);
    EXPECT_EQ(history.undoSteps(), 0u);
    history.record(large, small);
    ChartState state = small;
    ASSERT_TRUE(history.undo(state));
    EXPECT_EQ(state.image, large.image);
    EXPECT_EQ(state.view.zoom, 1.2);
    ASSERT_TRUE(history.redo(state));
    EXPECT_EQ(state.image, small.image);
    EXPECT_EQ(state.paletteBits, 8);
    EXPECT_EQ(state.view.centerLat, 10.0);
}

// Past its bound of steps the oldest goes first.
TEST(UndoHistory, OldestStepsGoFirst)
{
    UndoHistory history;
    ChartState state{.image = Pixels::plain(50, 50, qRgb(0, 0, 0))};
    for (size_t i = 0; i < UndoHistory::MostSteps + 5; ++i) {
        ChartState next = state;
        next.image = state.image.copy();
        next.image.setPixel(int(i % 50), int(i / 50), qRgb(255, 255, 255));
        history.record(state, next);
        state = next;
    }
    EXPECT_EQ(history.undoSteps(), UndoHistory::MostSteps);
}

// Past its bound of bytes the oldest steps go first, down to the newest, which stays
// however large it is.
TEST(UndoHistory, StepsPastTheByteBoundDropTheOldest)
{
    // Five steps of one pixel each, all the same size.
    std::vector<ChartState> states{{.image = Pixels::plain(50, 50, qRgb(0, 0, 0))}};
    for (int i = 0; i < 5; ++i) {
        ChartState next = states.back();
        next.image = next.image.copy();
        next.image.setPixel(i * 10, i * 10, qRgb(255, 255, 255));
        states.push_back(next);
    }
    UndoHistory one;
    one.record(states[0], states[1]);
    const qsizetype step = one.bytes();
    ASSERT_GT(step, 0);

    const struct {
        qsizetype bound;
        size_t kept;
    } cases[] = {{5 * step, 5}, {5 * step - 1, 4}, {2 * step, 2}, {2 * step - 1, 1}, {1, 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.bound);
        UndoHistory history(c.bound);
        for (size_t i = 1; i < states.size(); ++i)
            history.record(states[i - 1], states[i]);
        EXPECT_EQ(history.undoSteps(), c.kept);
        EXPECT_EQ(history.bytes(), qsizetype(c.kept) * step);
        ChartState state = states.back();
        for (size_t back = 1; back <= c.kept; ++back) {
            ASSERT_TRUE(history.undo(state));
            EXPECT_EQ(state.image, states[states.size() - 1 - back].image) << back;
        }
        EXPECT_FALSE(history.undo(state)); // the oldest are gone
    }
}

// A step that does not decode onto the picture it is undone on (here a picture of another
// depth) is refused with an error and dropped; the picture is left as it was.
TEST(UndoHistory, DamagedStepIsRefusedAndDropped)
{
    const ChartState before{.image = Pixels::plain(4, 4, qRgb(0, 0, 0))};
    ChartState after = before;
    after.image = before.image.copy();
    after.image.setPixel(1, 1, qRgb(255, 255, 255));
    UndoHistory history;
    history.record(before, after);

    QImage other(4, 4, QImage::Format_Indexed8);
    other.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    other.fill(1);
    ChartState state{.image = other, .paletteBits = 8};
    try {
        history.undo(state);
        ADD_FAILURE() << "undid a step that does not fit";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("The undo history is damaged"));
    }
    EXPECT_EQ(state.image, other);
    EXPECT_EQ(history.undoSteps(), 0u);
    EXPECT_EQ(history.redoSteps(), 0u);
    EXPECT_EQ(history.bytes(), 0);
}

// A step that replaces the base map keeps the one it replaced: undo brings it back and redo
// the new one. Steps that share the base map keep none, and a base map that was not held
// (a null picture) is never brought back in place of one.
TEST(UndoHistory, BaseMapsComeBackWithTheStepsThatReplacedThem)
{
    const QImage oldBase = Pixels::plain(40, 30, qRgb(10, 20, 30));
    const QImage newBase = Pixels::plain(40, 30, qRgb(40, 50, 60));
    const ChartState drawn{.image = Pixels::plain(40, 30, qRgb(1, 1, 1)), .baseMap = oldBase};
    ChartState redrawn = drawn;
    redrawn.image = Pixels::plain(40, 30, qRgb(2, 2, 2));
    const ChartState generated{.image = newBase, .baseMap = newBase};
    UndoHistory history;
    history.record(drawn, redrawn);
    const qsizetype drawingBytes = history.bytes();
    history.record(redrawn, generated);
    EXPECT_GT(history.bytes(), drawingBytes);

    ChartState state = generated;
    ASSERT_TRUE(history.undo(state));
    EXPECT_EQ(state.image, redrawn.image);
    EXPECT_EQ(state.baseMap, oldBase);
    ASSERT_TRUE(history.undo(state));
    EXPECT_EQ(state.image, drawn.image);
    EXPECT_EQ(state.baseMap, oldBase);
    ASSERT_TRUE(history.redo(state));
    ASSERT_TRUE(history.redo(state));
    EXPECT_EQ(state.image, generated.image);
    EXPECT_EQ(state.baseMap, newBase);

    UndoHistory unheld;
    ChartState before = redrawn;
    before.baseMap = QImage();
    unheld.record(before, generated);
    state = generated;
    ASSERT_TRUE(unheld.undo(state));
    EXPECT_EQ(state.baseMap, newBase);
}

// Right after Generate the base map is the chart itself: a step that replaces it keeps one
// code for both, counted once, and undo and redo give back one picture for both again.
TEST(UndoHistory, BaseMapThatIsTheChartIsKeptOnce)
{
    const QImage first = Pixels::plain(400, 300, qRgb(10, 20, 30));
    const QImage second = Pixels::plain(400, 300, qRgb(40, 50, 60));
    UndoHistory chartOnly;
    chartOnly.record({.image = first}, {.image = second});
    UndoHistory history;
    const ChartState generated{.image = first, .baseMap = first};
    const ChartState regenerated{.image = second, .baseMap = second};
    history.record(generated, regenerated);
    EXPECT_EQ(history.bytes(), chartOnly.bytes());

    ChartState state = regenerated;
    for (const ChartState *expected : {&generated, &regenerated}) {
        ASSERT_TRUE(expected == &generated ? history.undo(state) : history.redo(state));
        EXPECT_EQ(state.image, expected->image);
        EXPECT_EQ(state.baseMap.cacheKey(), state.image.cacheKey());
    }
    EXPECT_EQ(history.bytes(), chartOnly.bytes());
}

// A step recorded uncoded holds its pictures until the pause after the edit, or until the
// history next needs it: it counts against the bound only once coded, and the step before it
// is coded when the next is recorded.
TEST(UndoHistory, UncodedStepIsCodedInThePauseOrWhenNeeded)
{
    const ChartState a{.image = Pixels::plain(200, 100, qRgb(1, 1, 1))};
    const ChartState b{.image = Pixels::plain(200, 100, qRgb(2, 2, 2))};
    const ChartState c{.image = Pixels::plain(200, 100, qRgb(3, 3, 3))};
    UndoHistory coded;
    coded.record(a, b);
    const qsizetype step = coded.bytes();

    UndoHistory history(2 * step); // room for two steps
    history.recordUncoded(a, b);
    EXPECT_EQ(history.bytes(), 0);
    history.code();
    EXPECT_EQ(history.bytes(), step);
    history.recordUncoded(b, c);
    EXPECT_EQ(history.bytes(), step);
    history.recordUncoded(c, a); // codes b -> c first
    EXPECT_EQ(history.bytes(), 2 * step);
    EXPECT_EQ(history.undoSteps(), 3u); // the newest is not counted yet

    ChartState state = a;
    ASSERT_TRUE(history.undo(state)); // coded on the way, which drops a -> b
    EXPECT_EQ(state.image, c.image);
    ASSERT_TRUE(history.undo(state));
    EXPECT_EQ(state.image, b.image);
    EXPECT_FALSE(history.undo(state));
}
