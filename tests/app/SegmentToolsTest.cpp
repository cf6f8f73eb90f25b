// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Presses and tool buttons as the window passes them on: mouse buttons, the panel's isopleth
// style, the text question and the error box.
#include "RecordingDialogs.h"
#include "app/TForm1.h"
#include "canvas/BmpCodec.h"
#include "support/Controls.h"
#include "support/Pixels.h"

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

class SegmentToolsTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        writeFile(QStringLiteral("saveddat.txt"), "45\r\n-93.5\r\n400\r\n300\r\n2.5\r\n");
        BmpCodec::writeFile(path("temp0.bmp"), Pixels::plain(400, 300, qRgb(255, 255, 255)), 0);
        BmpCodec::writeFile(path("temp1.bmp"), Pixels::plain(400, 300, qRgb(200, 230, 255)), 0);
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
        form->chartPressed(Qt::LeftButton, buttons, Qt::NoModifier, x, y);
    }
    void click(const char *button)
    {
        control<QAbstractButton>(*form, QLatin1String(button))->click();
    }
    QImage chart() const { return form->session().chart().image(); }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<TForm1> form;
};

} // namespace

TEST_F(SegmentToolsTest, OnlyTheLeftButtonAddsAPoint)
{
    press(50, 50, Qt::RightButton);
    press(50, 50, Qt::MiddleButton);
    EXPECT_EQ(form->session().segment().count(), 0);
    EXPECT_FALSE(QFile::exists(path("temp2.bmp")));
    press(50, 50, Qt::LeftButton | Qt::RightButton); // the left one is down: a press
    EXPECT_EQ(form->session().segment().count(), 1);
}

TEST_F(SegmentToolsTest, TextLabelAsksAndCancelShowsTheSnapshot)
{
    click("TextButton");
    dialogs.answers = {QStringLiteral("Front")};
    press(100, 100);
    EXPECT_EQ(dialogs.inputs,
              QStringList{QStringLiteral("Input text|Input text to appear at click")});
    EXPECT_TRUE(Pixels::contains(chart(), 0, QRect(100, 100, 60, 20)));
    EXPECT_FALSE(
        Pixels::contains(chart(), 0, QRect(60, 60, 40, 40))); // not centred: starts at the press
    press(150, 150); // answered like Cancel: the starting, empty text
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    EXPECT_EQ(fileImage("temp2.bmp"), chart());
    EXPECT_EQ(form->session().segment().count(), 2);
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
    EXPECT_EQ(form->session().segment().count(), 3);
}

TEST_F(SegmentToolsTest, PanelChangesRestyleTheWholeSegment)
{
    click("Isopleth");
    auto *colour = control<QComboBox>(*form, QStringLiteral("LineColor"));
    colour->setCurrentText(QStringLiteral("Red"));
    press(40, 150);
    press(200, 100);
    press(360, 150);
    EXPECT_TRUE(Pixels::contains(chart(), chartRgb(255, 0, 0)));
    colour->setCurrentText(QStringLiteral("Blue"));
    press(380, 250);
    EXPECT_FALSE(Pixels::contains(chart(), chartRgb(255, 0, 0)));
    EXPECT_TRUE(Pixels::contains(chart(), chartRgb(0, 0, 255)));
}

// Real mouse clicks on the chart image, as the window receives them.
TEST_F(SegmentToolsTest, ClicksOnTheChartImageDrawAColdFront)
{
    form->show();
    QWidget *image = control<QWidget>(*form, QStringLiteral("Image1"));
    ASSERT_NE(image, nullptr);
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(40, 150));
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(200, 120));
    QTest::mouseClick(image, Qt::LeftButton, Qt::NoModifier, QPoint(360, 150));
    EXPECT_EQ(form->session().segment().count(), 3);
    EXPECT_TRUE(Pixels::contains(fileImage("temp2.bmp"), settings.color(S::ColdColor)));
}
