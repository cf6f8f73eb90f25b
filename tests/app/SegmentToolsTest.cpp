// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Presses and tool buttons as the window passes them on: mouse buttons, the panel's isopleth
// style, the text question and the error box.
#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "support/Controls.h"
#include "support/Pixels.h"
#include "support/WorkspaceFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;

namespace
{

using S = ChartSettings;

class SegmentToolsTest : public WorkspaceFixture
{
public:
    void SetUp() override
    {
        writeSmallChart();
        form = std::make_unique<MainWindow>(settings, Workspace(dir.path()));
    }
    void press(int x, int y, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        form->chartPressed(Qt::LeftButton, buttons, Qt::NoModifier, x, y);
    }
    void click(const char *button)
    {
        control<QAbstractButton>(*form, QLatin1String(button))->click();
    }
    QImage chart() const { return form->session().chart().image(); }

    ChartSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> form;
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

// One key per tool, N or Enter for New segment, Esc for throwing the segment away; letters
// typed into a field stay in the field.
TEST_F(SegmentToolsTest, KeysChooseToolsCommitAndCancel)
{
    QTest::keyClick(form.get(), Qt::Key_W);
    EXPECT_EQ(form->session().lineTool(), LineTool::WarmFront);
    EXPECT_TRUE(control<QAbstractButton>(*form, QStringLiteral("WarmFront"))->isChecked());
    QTest::keyClick(form.get(), Qt::Key_X);
    EXPECT_EQ(form->session().pressMode(), PressMode::Text);
    QTest::keyClick(form.get(), Qt::Key_I);
    EXPECT_EQ(form->session().lineTool(), LineTool::Isopleth);
    press(40, 150);
    press(200, 100);
    QTest::keyClick(form.get(), Qt::Key_Escape);
    EXPECT_EQ(form->session().segment().count(), 0);
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    press(40, 150);
    press(200, 100);
    QTest::keyClick(form.get(), Qt::Key_Return);
    EXPECT_EQ(form->session().segment().count(), 0);
    EXPECT_EQ(fileImage("temp1.bmp"), chart()); // committed

    auto *latitude = control<QLineEdit>(*form, QStringLiteral("LatEdit"));
    latitude->setFocus();
    QTest::keyClicks(latitude, QStringLiteral("Cw"));
    EXPECT_TRUE(latitude->text().endsWith(QStringLiteral("Cw")));
    EXPECT_EQ(form->session().lineTool(), LineTool::Isopleth);
    EXPECT_EQ(control<QAbstractButton>(*form, QStringLiteral("ColdFront"))->toolTip(),
              QStringLiteral("Cold front (C)"));
}

// The status line names the tool and the points of the segment, and the latitude and
// longitude under the mouse; after a save, the file saved.
TEST_F(SegmentToolsTest, StatusLineShowsToolPointsPositionAndSave)
{
    auto *status = control<QLabel>(*form, QStringLiteral("StatusText"));
    click("ColdFront");
    press(40, 150);
    EXPECT_EQ(status->text(), QStringLiteral("Cold front: 1 point"));
    press(60, 150);
    QWidget *image = control<QWidget>(*form, QStringLiteral("Image1"));
    // The view of the saved fields: 45 N 93.5 W in the middle of a 400 x 300 chart.
    QMouseEvent move(QEvent::MouseMove, QPointF(200, 150), QPointF(200, 150), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(image, &move);
    EXPECT_EQ(status->text(), QStringLiteral("Cold front: 2 points   45.00\u00B0 N 93.50\u00B0 W"));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(image, &leave);
    EXPECT_EQ(status->text(), QStringLiteral("Cold front: 2 points"));
    dialogs.fileAnswer = path("chart.gif");
    form->saveChartChosen();
    EXPECT_EQ(status->text(), QStringLiteral("Saved chart.gif"));
}

TEST_F(SegmentToolsTest, RedoAfterUndoFromTheWindow)
{
    press(40, 150);
    press(200, 100);
    const QImage drawn = chart();
    form->undoClicked();
    EXPECT_EQ(chart(), fileImage("temp1.bmp"));
    form->redoChosen();
    EXPECT_EQ(chart(), drawn);
}

// Above the Undo button and in its tooltip, the window says what Undo and Redo would do.
TEST_F(SegmentToolsTest, HistoryLineAndUndoTooltipNameTheNextSteps)
{
    auto *history = control<QLabel>(*form, QStringLiteral("HistoryText"));
    auto *undo = control<QAbstractButton>(*form, QStringLiteral("UndoButton"));
    EXPECT_EQ(history->text(), QString());
    EXPECT_EQ(undo->toolTip(), QStringLiteral("Undo (Ctrl+Z)"));
    click("WarmFront");
    press(40, 150);
    press(200, 100);
    EXPECT_EQ(history->text(), QStringLiteral("Undo warm front"));
    form->undoClicked();
    EXPECT_EQ(history->text(), QStringLiteral("Redo warm front"));
    form->redoChosen();
    click("Trough"); // keeps the front
    EXPECT_EQ(history->text(), QStringLiteral("Undo warm front"));
    click("EraseButton");
    form->undoClicked();
    EXPECT_EQ(history->text(), QStringLiteral("Undo warm front   Redo Erase"));
    EXPECT_EQ(undo->toolTip(), QStringLiteral("Undo warm front (Ctrl+Z)"));
}

// Map > Plot observations: the file, then the time (offered as the hour of the reports); the
// status line says what was plotted and the station models are on the chart.
TEST_F(SegmentToolsTest, PlotObservationsAsksFileAndTimeAndSaysWhatItPlotted)
{
    writeFile(QStringLiteral("obs.csv"), "station,valid,lon,lat,tmpf,dwpf,drct,sknt,mslp,skyc1\n"
                                         "MSP,1993-03-12 06:00,-93.5,45.0,50,40,270,15,1013.2,OVC\n"
                                         "XXX,1993-03-12 06:00,-93.4,45.1,50,40,270,15,1013.2,OVC\n"
                                         "BAD,not a time,-93.5,45.0,,,,,,\n");
    dialogs.fileAnswer = path(QStringLiteral("obs.csv"));
    form->plotObservationsChosen(); // Cancel in the time box plots nothing
    EXPECT_FALSE(Pixels::contains(chart(), settings.color(S::ObservationColor)));
    EXPECT_EQ(dialogs.offered.last(), QStringLiteral("1993-03-12 06:00"));
    dialogs.answers = {dialogs.offered.last()};
    form->plotObservationsChosen();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u' ').toStdString();
    EXPECT_EQ(dialogs.fileKinds.last(), Dialogs::FileKind::Observations);
    EXPECT_EQ(dialogs.inputs.last(),
              QStringLiteral("Plot observations|Time of the observations (UTC):"));
    EXPECT_EQ(control<QLabel>(*form, QStringLiteral("StatusText"))->text(),
              QStringLiteral("Plotted 1 stations (3 reports, 0 stations not in the table, 1 "
                             "hidden to keep the chart legible)"));
    EXPECT_TRUE(Pixels::contains(chart(), settings.color(S::ObservationColor)));
    // Over the station (45 N 93.5 W, the chart's middle) the status line gives its report.
    QMouseEvent move(QEvent::MouseMove, QPointF(203, 148), QPointF(203, 148), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(control<QWidget>(*form, QStringLiteral("Image1")), &move);
    EXPECT_EQ(control<QLabel>(*form, QStringLiteral("StatusText"))->text(),
              QStringLiteral("MSP 06:00Z 10.0/4.4 \u00B0C 270\u00B0 15 kt 1013.2 hPa overcast"));

    dialogs.answers = {QStringLiteral("12 March")};
    form->plotObservationsChosen();
    EXPECT_EQ(dialogs.errors,
              QStringList{QStringLiteral("\"12 March\" is not a time as YYYY-MM-DD HH:MM.")});
}

// Map > First guess: refused with the reason before any observations are plotted; after them
// the field and interval asked (offered as chosen last), the isobars drawn and summed up.
TEST_F(SegmentToolsTest, FirstGuessAsksTheFieldAndSaysWhatItDrew)
{
    const FirstGuessChoice pressure{ContourValue::Quantity::Pressure, 2};
    dialogs.firstGuessAnswer = pressure;
    form->firstGuessChosen();
    EXPECT_EQ(dialogs.errors,
              QStringList{QStringLiteral("There are no plotted observations on this chart: plot "
                                         "observations before the first guess.")});

    QByteArray table = "station,valid,lon,lat,mslp\n";
    for (int row = -2; row <= 2; ++row)
        for (int column = -2; column <= 2; ++column)
            table += QStringLiteral("S%1%2,1993-03-12 06:00,%3,%4,%5\n")
                         .arg(row + 2)
                         .arg(column + 2)
                         .arg(-93.5 + column)
                         .arg(45 + row * 0.7)
                         .arg(1008 + 2 * row + column)
                         .toLatin1();
    writeFile(QStringLiteral("obs.csv"), table);
    dialogs.fileAnswer = path(QStringLiteral("obs.csv"));
    dialogs.answers = {QStringLiteral("1993-03-12 06:00")};
    form->plotObservationsChosen();
    dialogs.errors.clear();
    dialogs.firstGuessAnswer.reset(); // Cancel draws nothing
    form->firstGuessChosen();
    EXPECT_FALSE(Pixels::contains(chart(), settings.color(S::FirstGuessColor)));
    dialogs.firstGuessAnswer = pressure;
    form->firstGuessChosen();
    ASSERT_TRUE(dialogs.errors.isEmpty()) << dialogs.errors.join(u' ').toStdString();
    EXPECT_TRUE(Pixels::contains(chart(), settings.color(S::FirstGuessColor)));
    const QString status = control<QLabel>(*form, QStringLiteral("StatusText"))->text();
    EXPECT_TRUE(status.startsWith(QStringLiteral("First guess: "))) << status.toStdString();
    EXPECT_TRUE(status.contains(QStringLiteral(" isobars, 0 lows, 0 highs from 25 stations")))
        << status.toStdString();
    form->firstGuessChosen();
    EXPECT_EQ(dialogs.firstGuessOffered.last().interval, 2); // what was chosen last
    EXPECT_EQ(control<QLabel>(*form, QStringLiteral("HistoryText"))->text(),
              QStringLiteral("Undo First guess"));
}
