// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The Select tool with real mouse events and keys on the window: what is selected, the handles
// on the screen, and the edits the mouse and the keys make.
#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "support/Controls.h"
#include "support/WorkspaceFixture.h"

#include <QAbstractButton>
#include <QLabel>
#include <QRegion>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;

namespace
{

class SelectToolTest : public WorkspaceFixture
{
public:
    // A cold front, a low and a label, then the Select tool.
    void SetUp() override
    {
        writeSmallChart();
        form = std::make_unique<MainWindow>(settings, Workspace(dir.path()));
        for (const QPoint p : {QPoint(40, 150), QPoint(200, 120), QPoint(360, 150)})
            press(p);
        click("LButton");
        press({100, 250});
        click("TextButton");
        dialogs.answers = {QStringLiteral("Dry")};
        press({300, 40});
        click("SelectButton");
        form->show();
        image = control<QWidget>(*form, QStringLiteral("Image1"));
    }
    void press(QPoint at)
    {
        form->chartPressed(Qt::LeftButton, Qt::LeftButton, {}, at.x(), at.y());
    }
    void click(const char *button)
    {
        control<QAbstractButton>(*form, QLatin1String(button))->click();
    }
    void drag(QPoint from, QPoint to, Qt::KeyboardModifiers modifiers = {})
    {
        QTest::mousePress(image, Qt::LeftButton, modifiers, from);
        QTest::mouseMove(image, (from + to) / 2);
        QTest::mouseMove(image, to);
        QTest::mouseRelease(image, Qt::LeftButton, modifiers, to);
    }
    // The status line's tool part, before the position under the mouse.
    QString status() const
    {
        return control<QLabel>(*form, QStringLiteral("StatusText"))
            ->text()
            .section(QStringLiteral("   "), 0, 0);
    }
    const std::vector<DrawnFeature> &features() const { return form->session().features(); }

    ChartSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> form;
    QWidget *image = nullptr;
};

} // namespace

// A handle dragged with the mouse: the chart follows while the analysis waits for the
// release, which moves the point in one step. The handles are on the screen, never in the
// chart.
TEST_F(SelectToolTest, DraggingAHandleMovesThePoint)
{
    EXPECT_EQ(status(), QStringLiteral("Select"));
    QTest::mouseClick(image, Qt::LeftButton, {}, QPoint(120, 135)); // on the front
    EXPECT_EQ(status(), QStringLiteral("Select: cold front"));
    QTest::mousePress(image, Qt::LeftButton, {}, QPoint(201, 121));
    QTest::mouseMove(image, QPoint(200, 60));
    EXPECT_EQ(features()[0].points[1], QPointF(200, 120));
    EXPECT_NE(form->session().chart().image(), fileImage("temp1.bmp")); // shown, not kept
    QTest::mouseRelease(image, Qt::LeftButton, {}, QPoint(200, 60));
    EXPECT_EQ(features()[0].points[1], QPointF(200, 60));
    EXPECT_EQ(form->session().undoName(), QStringLiteral("move point"));
    EXPECT_EQ(status(), QStringLiteral("Select: cold front, point 2"));

    const QImage chart = form->session().chart().image().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(chart, fileImage("temp1.bmp").convertToFormat(QImage::Format_RGB32));
    QRegion handles;
    for (const QPointF p : features()[0].points)
        handles += QRect(p.toPoint() - QPoint(3, 3), QSize(7, 7));
    const QImage screen = image->grab().toImage().convertToFormat(QImage::Format_RGB32);
    int inHandles = 0, elsewhere = 0;
    for (int y = 0; y < chart.height(); ++y)
        for (int x = 0; x < chart.width(); ++x)
            if (screen.pixel(x, y) != chart.pixel(x, y))
                ++(handles.contains(QPoint(x, y)) ? inHandles : elsewhere);
    EXPECT_GT(inHandles, 3 * 7);
    EXPECT_EQ(elsewhere, 0);
}

// Keys and gestures on a selection, each undone before the next: the step it makes (none
// for Esc and Cancel), the analysis after it, and what stays selected.
TEST_F(SelectToolTest, KeysAndGesturesEditTheSelection)
{
    using F = std::vector<DrawnFeature>;
    const QPoint onFront(120, 135), onPoint(200, 120), onLabel(305, 45), onLow(100, 250);
    struct Row {
        const char *name;
        std::function<void()> act;
        const char *step; // nullptr: none
        std::function<bool(const F &)> check;
        const char *selected;
    };
    const auto clickAt = [this](QPoint at, Qt::KeyboardModifiers modifiers = {}) {
        QTest::mouseClick(image, Qt::LeftButton, modifiers, at);
    };
    const auto key = [this](Qt::Key key) { QTest::keyClick(form.get(), key); };
    const Row rows[] = {
        {"Delete on the clicked handle",
         [&] {
             clickAt(onPoint);
             key(Qt::Key_Delete);
         },
         "delete point", [](const F &f) { return f[0].points.size() == 2; }, "Select: cold front"},
        {"Delete on the line",
         [&] {
             clickAt(onFront);
             key(Qt::Key_Delete);
         },
         "delete cold front", [](const F &f) { return f.size() == 2 && f[0].isCentre(); },
         "Select"},
        {"F flips",
         [&] {
             clickAt(onFront);
             key(Qt::Key_F);
         },
         "flip cold front", [](const F &f) { return f[0].points[0] == QPointF(360, 150); },
         "Select: cold front"},
        {"a tool key retypes",
         [&] {
             clickAt(onFront);
             key(Qt::Key_W);
         },
         "change to warm front", [](const F &f) { return f[0].tool == LineTool::WarmFront; },
         "Select: warm front"},
        {"Esc deselects",
         [&] {
             clickAt(onFront);
             key(Qt::Key_Escape);
         },
         nullptr, [](const F &f) { return f.size() == 3; }, "Select"},
        {"Shift+click inserts",
         [&] {
             clickAt(onFront);
             clickAt({280, 135}, Qt::ShiftModifier);
         },
         "insert point", [](const F &f) { return f[0].points[2] == QPointF(280, 135); },
         "Select: cold front, point 3"},
        {"Alt+drag moves the feature",
         [&] { drag(onLow, onLow + QPoint(10, -20), Qt::AltModifier); }, "move low centre",
         [](const F &f) { return f[1].points[0] == QPointF(110, 230); }, "Select: low centre"},
        {"double click edits a label",
         [&] {
             dialogs.answers = {QStringLiteral("Wet")};
             QTest::mouseDClick(image, Qt::LeftButton, {}, onLabel);
         },
         "edit text", [](const F &f) { return f[2].text == QStringLiteral("Wet"); },
         "Select: text"},
        {"an empty label goes",
         [&] {
             dialogs.answers = {QString()};
             QTest::mouseDClick(image, Qt::LeftButton, {}, onLabel);
         },
         "delete text", [](const F &f) { return f.size() == 2; }, "Select"},
        {"Cancel changes nothing", [&] { QTest::mouseDClick(image, Qt::LeftButton, {}, onLow); },
         nullptr, [](const F &f) { return !f[1].pressure; }, "Select: low centre"},
    };
    const QString drawn = form->session().undoName();
    for (const Row &row : rows) {
        key(Qt::Key_Escape);
        row.act();
        EXPECT_EQ(form->session().undoName(), row.step ? QLatin1String(row.step) : drawn)
            << row.name;
        EXPECT_TRUE(row.check(features())) << row.name;
        EXPECT_EQ(status(), QLatin1String(row.selected)) << row.name;
        EXPECT_TRUE(control<QAbstractButton>(*form, QStringLiteral("SelectButton"))->isChecked());
        if (row.step)
            form->undoClicked();
    }
    EXPECT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u'\n').toStdString();
}
