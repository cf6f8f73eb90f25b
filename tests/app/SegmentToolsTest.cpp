// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Presses on the chart, the tool buttons, New segment, Undo and Erase on the workspace files.
#include "RecordingDialogs.h"
#include "app/TForm1.h"
#include "canvas/BmpCodec.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

namespace
{

using S = ChartSettings;

QImage plain(QRgb colour)
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

bool hasColour(const QImage &image, ChartColor colour, QRect area = {})
{
    area = area.isNull() ? image.rect() : area.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == toQRgb(colour))
                return true;
    return false;
}

class SegmentToolsTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n400\r\n300\r\n2.5\r\n");
        BmpCodec::writeFile(path("temp0.bmp"), plain(qRgb(255, 255, 255)), 0);
        BmpCodec::writeFile(path("temp1.bmp"), plain(qRgb(200, 230, 255)), 0);
        form = std::make_unique<TForm1>(settings, Workspace(dir.path()));
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    void writeFile(const QString &name, const QByteArray &bytes)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readFile(const char *name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QImage fileImage(const char *name) const { return BmpCodec::readFile(path(name)).image; }
    void press(int x, int y, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        form->Image1MouseDown(Qt::LeftButton, buttons, Qt::NoModifier, x, y);
    }
    void click(const char *button)
    {
        form->findChild<QAbstractButton *>(QLatin1String(button))->click();
    }
    QImage chart() const { return form->chart().image(); }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

enum class Shows { Unchanged, Snapshot, SnapshotWithDrawing, BaseMap };
enum class File { Unchanged, Chart, BaseMap };

struct Row {
    const char *action;
    std::function<void(SegmentToolsTest &)> run;
    Shows chart;
    File temp1;
    File temp2;
    int countChange; // +1, or -1 for "back to 0"
    int tool;        // the tool afterwards, -1 for unchanged
};

} // namespace

// The state table of the drawing tools, walked as one sequence.
TEST_F(SegmentToolsTest, StateTableOfPressesAndButtons)
{
    const auto press = [](int x, int y) { return [x, y](SegmentToolsTest &t) { t.press(x, y); }; };
    const auto button = [](const char *name) {
        return [name](SegmentToolsTest &t) { t.click(name); };
    };
    const Row rows[] = {
        {"press, first point", press(50, 50), Shows::Snapshot, File::Unchanged, File::Chart, 1, -1},
        {"press", press(150, 60), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1, -1},
        {"press", press(250, 50), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1, -1},
        {"line tool", button("WarmFront"), Shows::Unchanged, File::Chart, File::Unchanged, -1, 2},
        {"press", press(60, 200), Shows::Snapshot, File::Unchanged, File::Chart, 1, -1},
        {"marker tool", button("LButton"), Shows::Unchanged, File::Chart, File::Unchanged, -1, -1},
        {"press", press(300, 200), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1, -1},
        {"New segment", button("NewSegment"), Shows::Unchanged, File::Chart, File::Unchanged, -1,
         -1},
        {"press", press(320, 100), Shows::SnapshotWithDrawing, File::Unchanged, File::Chart, 1, -1},
        {"Undo", button("UndoButton"), Shows::Snapshot, File::Unchanged, File::Unchanged, -1, -1},
        {"Undo twice", button("UndoButton"), Shows::Snapshot, File::Unchanged, File::Unchanged, -1,
         -1},
        {"Erase", button("EraseButton"), Shows::BaseMap, File::BaseMap, File::Unchanged, -1, -1},
        {"Undo after Erase", button("UndoButton"), Shows::BaseMap, File::Unchanged, File::Unchanged,
         -1, -1},
    };
    for (const Row &row : rows) {
        const QImage chartBefore = chart();
        const QImage snapshot = fileImage("temp1.bmp");
        const QByteArray temp1Before = readFile("temp1.bmp");
        const QByteArray temp2Before = readFile("temp2.bmp");
        const int countBefore = form->segment().count();
        const int toolBefore = form->currentTool();
        row.run(*this);
        SCOPED_TRACE(row.action);
        EXPECT_TRUE(dialogs.errors.isEmpty());
        switch (row.chart) {
        case Shows::Unchanged:
            EXPECT_EQ(chart(), chartBefore);
            break;
        case Shows::Snapshot:
            EXPECT_EQ(chart(), snapshot);
            break;
        case Shows::SnapshotWithDrawing:
            EXPECT_NE(chart(), snapshot);
            break;
        case Shows::BaseMap:
            EXPECT_EQ(chart(), fileImage("temp0.bmp"));
            break;
        }
        const auto expectFile = [&](const char *name, File what, const QByteArray &before) {
            if (what == File::Unchanged)
                EXPECT_EQ(readFile(name), before) << name;
            else if (what == File::Chart)
                EXPECT_EQ(fileImage(name), chart()) << name;
            else
                EXPECT_EQ(readFile(name), readFile("temp0.bmp")) << name;
        };
        expectFile("temp1.bmp", row.temp1, temp1Before);
        expectFile("temp2.bmp", row.temp2, temp2Before);
        EXPECT_EQ(form->segment().count(), row.countChange > 0 ? countBefore + 1 : 0);
        EXPECT_EQ(form->currentTool(), row.tool < 0 ? toolBefore : row.tool);
    }
}

TEST_F(SegmentToolsTest, OnlyTheLeftButtonAddsAPoint)
{
    press(50, 50, Qt::RightButton);
    press(50, 50, Qt::MiddleButton);
    EXPECT_EQ(form->segment().count(), 0);
    EXPECT_FALSE(QFile::exists(path("temp2.bmp")));
    press(50, 50, Qt::LeftButton | Qt::RightButton); // the left one is down: a press
    EXPECT_EQ(form->segment().count(), 1);
}

TEST_F(SegmentToolsTest, ColdFrontThroughThreePointsIsDrawnInColdColour)
{
    press(40, 150);
    press(200, 120);
    press(360, 150);
    EXPECT_TRUE(hasColour(fileImage("temp2.bmp"), settings.color(S::ColdColor)));
}

TEST_F(SegmentToolsTest, MarkersMoveUntilCommitted)
{
    click("LButton");
    press(60, 60);
    press(300, 200);
    const ChartColor warm = settings.color(S::WarmColor);
    EXPECT_FALSE(hasColour(chart(), warm, QRect(30, 30, 60, 60)));
    EXPECT_TRUE(hasColour(chart(), warm, QRect(270, 170, 60, 60)));
    click("NewSegment");
    press(60, 60);
    EXPECT_TRUE(hasColour(chart(), warm, QRect(30, 30, 60, 60)));
    EXPECT_TRUE(hasColour(chart(), warm, QRect(270, 170, 60, 60)));
    EXPECT_EQ(form->currentTool(), 1); // markers keep the line tool
    click("HButton");
    press(200, 100);
    EXPECT_TRUE(hasColour(chart(), settings.color(S::ColdColor), QRect(170, 70, 60, 60)));
}

TEST_F(SegmentToolsTest, TextLabelAsksAndCancelShowsTheSnapshot)
{
    click("TextButton");
    dialogs.answers = {QStringLiteral("Front")};
    press(100, 100);
    EXPECT_EQ(dialogs.inputs,
              QStringList{QStringLiteral("Input text|Input text to appear at click")});
    EXPECT_TRUE(hasColour(chart(), 0, QRect(100, 100, 60, 20)));
    EXPECT_FALSE(hasColour(chart(), 0, QRect(60, 60, 40, 40))); // not centred: starts at the press
    press(150, 150); // answered like Cancel: the starting, empty text
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    EXPECT_EQ(fileImage("temp2.bmp"), chart());
    EXPECT_EQ(form->segment().count(), 2);
}

TEST_F(SegmentToolsTest, WidthThatIsNotAnIntegerStopsThePress)
{
    settings.setText(S::ColdWidth, QStringLiteral("thick"));
    press(40, 150);
    press(200, 120);
    press(360, 150);
    EXPECT_EQ(dialogs.errors.size(), 3);
    EXPECT_EQ(dialogs.errors.last(), QStringLiteral("'thick' is not a valid integer value."));
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    EXPECT_FALSE(QFile::exists(path("temp2.bmp")));
    EXPECT_EQ(form->segment().count(), 3);
}

TEST_F(SegmentToolsTest, HundredAndFirstPressIsIgnored)
{
    click("Isopleth");
    for (int i = 0; i < 100; ++i)
        press(2 + i * 3, 100 + (i % 2) * 20);
    const QByteArray temp2 = readFile("temp2.bmp");
    const QImage drawn = chart();
    press(390, 290);
    EXPECT_EQ(form->segment().count(), 100);
    EXPECT_EQ(chart(), drawn);
    EXPECT_EQ(readFile("temp2.bmp"), temp2);
}

TEST_F(SegmentToolsTest, PanelChangesRestyleTheWholeSegment)
{
    click("Isopleth");
    auto *colour = form->findChild<QComboBox *>(QStringLiteral("LineColor"));
    colour->setCurrentText(QStringLiteral("Red"));
    press(40, 150);
    press(200, 100);
    press(360, 150);
    EXPECT_TRUE(hasColour(chart(), chartRgb(255, 0, 0)));
    colour->setCurrentText(QStringLiteral("Blue"));
    press(380, 250);
    EXPECT_FALSE(hasColour(chart(), chartRgb(255, 0, 0)));
    EXPECT_TRUE(hasColour(chart(), chartRgb(0, 0, 255)));
}

// Real mouse clicks on the chart image, as the window receives them.
TEST_F(SegmentToolsTest, ClicksOnTheChartImageDrawAColdFront)
{
    form->show();
    QWidget *image = form->findChild<QWidget *>(QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(40, 150));
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(200, 120));
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(360, 150));
    EXPECT_EQ(form->segment().count(), 3);
    EXPECT_TRUE(hasColour(fileImage("temp2.bmp"), settings.color(S::ColdColor)));
}
