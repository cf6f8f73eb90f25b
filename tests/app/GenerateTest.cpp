// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Generate in the window: the workspace bitmaps, the status line, failures and the controls.
#include "RecordingDialogs.h"
#include "app/MainWindow.h"
#include "formats/BmpCodec.h"
#include "support/Controls.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

using S = ChartSettings;

class GenerateTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        for (S::Id id : {S::GridSelect, S::Border, S::International, S::State, S::Lake, S::Island,
                         S::River, S::Coast, S::County, S::Highway})
            settings.setOn(id, false);
        form = std::make_unique<MainWindow>(settings, Workspace(dir.path()));
        dialogs.errors.clear(); // the first start's "File not found."
        setFields("45", "-100", "120", "90", "1");
    }
    void setFields(const char *lat, const char *lon, const char *w, const char *h, const char *zoom)
    {
        const char *names[] = {"LatEdit", "LonEdit", "XEdit", "YEdit", "ZoomEdit"};
        const char *texts[] = {lat, lon, w, h, zoom};
        for (int i = 0; i < 5; ++i)
            control<QLineEdit>(*form, QLatin1String(names[i]))->setText(QLatin1String(texts[i]));
    }
    QString path(const char *name) const { return dir.filePath(QLatin1String(name)); }
    QString status() const { return control<QLabel>(*form, QStringLiteral("StatusText"))->text(); }

    QTemporaryDir dir;
    ChartSettings settings;
    RecordingDialogs dialogs;
    std::unique_ptr<MainWindow> form;
};

} // namespace

TEST_F(GenerateTest, WritesTheThreeWorkspaceBitmapsAndStartsAFreshSegment)
{
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 5, 5);
    dialogs.errors.clear(); // no snapshot yet to draw on
    form->generateClicked();
    EXPECT_TRUE(dialogs.errors.isEmpty());
    EXPECT_EQ(status(), QStringLiteral("Map completed"));
    EXPECT_EQ(form->session().chart().width(), 120);
    EXPECT_EQ(form->session().chart().height(), 90);
    EXPECT_EQ(control<QWidget>(*form, QStringLiteral("Image1"))->size(), QSize(120, 90));
    form->session().finishWrites();
    for (const char *name : {"temp0.bmp", "temp1.bmp", "temp2.bmp"})
        EXPECT_EQ(BmpCodec::readFile(path(name)).image, form->session().chart().image()) << name;
    EXPECT_EQ(form->session().segment().count(), 0);
    EXPECT_EQ(form->session().view().chartWidth, 120);
    EXPECT_TRUE(control<QAbstractButton>(*form, QStringLiteral("GenerateButton"))->isEnabled());
    EXPECT_TRUE(control<QAction>(*form, QStringLiteral("Loadfromfile1"))->isEnabled());
}

TEST_F(GenerateTest, BadWidthStopsTheRunAndWritesNoWorkspaceFile)
{
    settings.setOn(S::Border, true);
    settings.setText(S::BorderWidth, QStringLiteral("two"));
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 5, 5);
    dialogs.errors.clear(); // no snapshot yet to draw on
    form->generateClicked();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("'two' is not a valid integer value.")});
    EXPECT_FALSE(QFile::exists(path("temp0.bmp")));
    EXPECT_FALSE(QFile::exists(path("temp2.bmp")));
    EXPECT_EQ(form->session().segment().count(), 0); // kept before the run, as a history step
    EXPECT_EQ(status(), QStringLiteral("Finishing map..."));
    EXPECT_TRUE(control<QAbstractButton>(*form, QStringLiteral("ColdFront"))->isEnabled());
}

TEST_F(GenerateTest, ChartTooLargeIsRefusedBeforeAnythingChanges)
{
    form->generateClicked();
    const QImage before = form->session().chart().image();
    setFields("45", "-100", "20000", "20000", "1"); // each side fits, not the whole
    form->generateClicked();
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].contains(QStringLiteral("too large")));
    EXPECT_EQ(form->session().chart().image(), before);
    EXPECT_EQ(form->session().view().chartWidth, 120);
}

TEST_F(GenerateTest, ErasingAfterGenerateGoesBackToTheNewBaseMap)
{
    form->generateClicked();
    const QImage base = form->session().chart().image();
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 10, 10);
    form->chartPressed(Qt::LeftButton, Qt::LeftButton, Qt::NoModifier, 100, 80);
    EXPECT_NE(form->session().chart().image(), base);
    control<QAbstractButton>(*form, QStringLiteral("EraseButton"))->click();
    EXPECT_EQ(form->session().chart().image(), base);
}

// A field that is not a number in range gave a wrong chart and "Map completed"; it is now
// refused by name, and the chart stays as it was.
TEST_F(GenerateTest, FieldThatIsNotANumberInRangeIsRefusedAndTheChartStays)
{
    const QImage before = form->session().chart().image();
    setFields("45", "-100", "120", "90", "1,2");
    form->generateClicked();
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Zoom \"1,2\" is not a number.")});
    EXPECT_EQ(form->session().chart().image(), before);
    EXPECT_NE(status(), QStringLiteral("Map completed"));
}

TEST_F(GenerateTest, EnterInAMapMakerFieldGenerates)
{
    setFields("45", "-100", "64", "48", "1");
    auto *zoom = control<QLineEdit>(*form, QStringLiteral("ZoomEdit"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(zoom, &enter);
    EXPECT_EQ(form->session().chart().width(), 64);
    form->session().finishWrites();
    EXPECT_TRUE(QFile::exists(path("temp0.bmp")));
}
