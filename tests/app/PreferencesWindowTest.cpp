// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The Preferences window's creation, OK and Cancel.
#include "app/PreferencesWindow.h"
#include "RecordingDialogs.h"
#include "app/ColorSwatch.h"
#include "prefs/FileRegistryKey.h"
#include "prefs/SettingsStore.h"
#include "support/Controls.h"
#include "support/ReadOnlyFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

using namespace brimlark;

namespace
{

using S = ChartSettings;

class PreferencesWindowTest : public ::testing::Test
{
protected:
    QString hive() const { return dir.filePath(QStringLiteral("registry.reg")); }
    void writeHive(const QByteArray &values)
    {
        QFile file(hive());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brimlark\\General]\r\n" + values);
    }
    QByteArray readHive() const
    {
        QFile file(hive());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    QPushButton *button(PreferencesWindow &pref, const char *name)
    {
        return control<QPushButton>(pref, QLatin1String(name));
    }

    QTemporaryDir dir;
    S settings;
    RecordingDialogs dialogs;
};

} // namespace

TEST_F(PreferencesWindowTest, CreatedHiddenWithTheStoredValues)
{
    writeHive("\"LakeColor\"=\"255\"\r\n\"GraticuleType\"=\"Cross\"\r\n");
    PreferencesWindow pref(settings, hive());
    EXPECT_FALSE(pref.isVisible());
    EXPECT_EQ(pref.windowTitle(), QStringLiteral("Preferences"));
    EXPECT_EQ(pref.size(), QSize(576, 504));
    EXPECT_EQ(settings.color(S::LakeColor), 255u);
    EXPECT_EQ(settings.text(S::GraticuleType), QStringLiteral("Cross"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(PreferencesWindowTest, ValueOfAnotherTypeIsReportedAndTheRestKeepTheirDefaults)
{
    writeHive("\"GridSelect\"=\"0\"\r\n\"Border\"=hex:01\r\n\"Lake\"=\"0\"\r\n");
    PreferencesWindow pref(settings, hive());
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Invalid data type for 'Border'.")});
    EXPECT_FALSE(settings.isOn(S::GridSelect));
    EXPECT_TRUE(settings.isOn(S::Lake));
}

TEST_F(PreferencesWindowTest, OkStoresAndHidesCancelOnlyHides)
{
    PreferencesWindow pref(settings, hive());
    pref.show();
    settings.setText(S::ColdWidth, QStringLiteral("5"));
    button(pref, "BitBtn2")->click();
    EXPECT_FALSE(pref.isVisible());
    EXPECT_FALSE(QFile::exists(hive()));
    EXPECT_EQ(settings.text(S::ColdWidth), QStringLiteral("5")); // still in effect

    pref.show();
    EXPECT_TRUE(button(pref, "BitBtn1")->isDefault());
    button(pref, "BitBtn1")->click();
    EXPECT_FALSE(pref.isVisible());
    S stored;
    PreferencesWindow reader(stored, hive());
    EXPECT_EQ(stored.text(S::ColdWidth), QStringLiteral("5"));
}

TEST_F(PreferencesWindowTest, EscapeHidesWithoutStoring)
{
    PreferencesWindow pref(settings, hive());
    pref.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&pref, &escape);
    EXPECT_FALSE(pref.isVisible());
    EXPECT_FALSE(QFile::exists(hive()));
}

TEST_F(PreferencesWindowTest, FailedStoreKeepsTheWindowOpen)
{
    PreferencesWindow pref(settings, hive());
    pref.show();
    {
        ReadOnlyFolder readOnly(dir.path());
        button(pref, "BitBtn1")->click();
    }
    EXPECT_TRUE(pref.isVisible());
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Failed to set data for 'GridSelect'.")});
}

// A store that is there but cannot be read is named once, when the window is created at
// start-up; the values keep their defaults rather than whatever the file held.
TEST_F(PreferencesWindowTest, UnreadableStoreIsReportedOnceAtCreation)
{
    writeHive("\"LakeColor\"=\"255\"\r\n");
    QFile::setPermissions(hive(), QFileDevice::WriteOwner);
    std::unique_ptr<PreferencesWindow> pref;
    {
        ReadOnlyFolder readOnly(dir.path());
        pref = std::make_unique<PreferencesWindow>(settings, hive());
    }
    EXPECT_EQ(
        dialogs.errors,
        QStringList{
            QStringLiteral("Cannot read the preferences file %1: Permission denied.").arg(hive())});
    EXPECT_EQ(settings.color(S::LakeColor), 0x00FF8080u);
    EXPECT_EQ(control<ColorSwatch>(*pref, QStringLiteral("LakeColor"))->color(), 0x00FF8080u);
    pref->show();
    button(*pref, "BitBtn2")->click();
    pref->show();
    EXPECT_EQ(dialogs.errors.size(), 1);
}

// OK would replace the whole file and lose what it holds: it asks first. No keeps the file
// and the window; Yes replaces it.
TEST_F(PreferencesWindowTest, OkAsksBeforeReplacingAStoreItCouldNotRead)
{
    writeHive("\"LakeColor\"=\"255\"\r\n" + QByteArray(16 * 1024 * 1024, ';'));
    const QByteArray before = readHive();
    PreferencesWindow pref(settings, hive());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(dialogs.errors[0].startsWith(
        QStringLiteral("Cannot read the preferences file %1: larger than 16 MiB").arg(hive())))
        << dialogs.errors[0].toStdString();
    pref.show();
    settings.setText(S::ColdWidth, QStringLiteral("5"));

    button(pref, "BitBtn1")->click();
    ASSERT_EQ(dialogs.questions.size(), 1);
    EXPECT_TRUE(dialogs.questions[0].startsWith(
        QStringLiteral("Cannot read the preferences file %1: ").arg(hive())));
    EXPECT_TRUE(dialogs.questions[0].contains(QStringLiteral("Replace it")));
    EXPECT_TRUE(pref.isVisible());
    EXPECT_EQ(readHive(), before);
    EXPECT_EQ(dialogs.errors.size(), 1);

    dialogs.yesAnswer = true;
    button(pref, "BitBtn1")->click();
    EXPECT_EQ(dialogs.questions.size(), 2);
    EXPECT_FALSE(pref.isVisible());
    S stored;
    PreferencesWindow reader(stored, hive());
    EXPECT_EQ(stored.text(S::ColdWidth), QStringLiteral("5"));
    EXPECT_EQ(dialogs.errors.size(), 1);
}

TEST_F(PreferencesWindowTest, EveryValueHasItsControl)
{
    PreferencesWindow pref(settings, hive());
    for (int i = 0; i < S::Count; ++i) {
        const QString name = S::name(S::Id(i));
        EXPECT_NE(pref.findChild<QWidget *>(name), nullptr) << name.toStdString();
    }
    auto *style = control<QComboBox>(pref, QStringLiteral("GraticuleType"));
    ASSERT_NE(style, nullptr);
    EXPECT_EQ(style->count(), 5);
    EXPECT_EQ(style->itemText(3), QStringLiteral("Mixed"));
    EXPECT_EQ(control<QWidget>(pref, QStringLiteral("ColdColor"))->geometry(),
              QRect(112, 24, 41, 21));
    EXPECT_EQ(control<QWidget>(pref, QStringLiteral("ColdWidth"))->geometry(),
              QRect(228, 24, 29, 21));
    EXPECT_EQ(control<QWidget>(pref, QStringLiteral("CoastWidth"))->geometry(),
              QRect(232, 440, 29, 21));
    EXPECT_EQ(control<QWidget>(pref, QStringLiteral("GridInterval"))->geometry(),
              QRect(396, 20, 45, 21));
    EXPECT_EQ(control<QWidget>(pref, QStringLiteral("ColdColor"))->focusPolicy(), Qt::NoFocus);
}

TEST_F(PreferencesWindowTest, ControlsEditTheSettingsAtOnce)
{
    PreferencesWindow pref(settings, hive());
    pref.show();
    control<QLineEdit>(pref, QStringLiteral("ColdWidth"))->setText(QStringLiteral("4"));
    control<QCheckBox>(pref, QStringLiteral("River"))->setChecked(true);
    control<QComboBox>(pref, QStringLiteral("GraticuleType"))->setEditText(QStringLiteral("Wavy"));
    dialogs.colourAnswer = 0x00123456;
    QTest::mouseClick(control<QWidget>(pref, QStringLiteral("ColdColor")), Qt::RightButton);
    EXPECT_EQ(dialogs.colourAsked, QList<ChartColor>{0x00880000});
    EXPECT_EQ(settings.text(S::ColdWidth), QStringLiteral("4"));
    EXPECT_TRUE(settings.isOn(S::River));
    EXPECT_EQ(settings.text(S::GraticuleType), QStringLiteral("Wavy"));
    EXPECT_EQ(settings.color(S::ColdColor), 0x00123456u);

    dialogs.colourAnswer.reset(); // a cancelled dialog changes nothing
    QTest::mouseClick(control<QWidget>(pref, QStringLiteral("WarmColor")), Qt::LeftButton);
    EXPECT_EQ(settings.color(S::WarmColor), 0xDDu);

    button(pref, "BitBtn2")->click(); // Cancel keeps the changes in effect
    EXPECT_EQ(settings.color(S::ColdColor), 0x00123456u);
    pref.show(); // and shows them again as left
    EXPECT_EQ(control<QLineEdit>(pref, QStringLiteral("ColdWidth"))->text(), QStringLiteral("4"));
    button(pref, "BitBtn1")->click();
    S stored;
    PreferencesWindow reader(stored, hive());
    EXPECT_EQ(stored.text(S::GraticuleType), QStringLiteral("Wavy"));
    EXPECT_EQ(stored.color(S::ColdColor), 0x00123456u);
    EXPECT_EQ(control<QLineEdit>(reader, QStringLiteral("ColdWidth"))->text(), QStringLiteral("4"));
}

TEST_F(PreferencesWindowTest, EnterInAFieldPressesOk)
{
    PreferencesWindow pref(settings, hive());
    pref.show();
    auto *field = control<QLineEdit>(pref, QStringLiteral("JPEGComp"));
    field->setFocus();
    field->setText(QStringLiteral("90"));
    QTest::keyClick(field, Qt::Key_Return);
    EXPECT_FALSE(pref.isVisible());
    EXPECT_TRUE(QFile::exists(hive()));
}

TEST_F(PreferencesWindowTest, EnterOnAFocusedButtonPressesThatButton)
{
    {
        PreferencesWindow pref(settings, hive());
        pref.show();
        pref.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&pref));
        auto *cancel = button(pref, "BitBtn2");
        cancel->setFocus();
        ASSERT_TRUE(cancel->hasFocus());
        QTest::keyClick(cancel, Qt::Key_Return);
        EXPECT_FALSE(pref.isVisible());
        EXPECT_FALSE(QFile::exists(hive())); // Cancel stores nothing
    }
    PreferencesWindow pref(settings,
                           hive()); // once the focus has left Cancel, Enter presses OK again
    pref.show();
    pref.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pref));
    button(pref, "BitBtn2")->setFocus();
    auto *field = control<QLineEdit>(pref, QStringLiteral("GridInterval"));
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());
    QTest::keyClick(field, Qt::Key_Enter, Qt::KeypadModifier);
    EXPECT_FALSE(pref.isVisible());
    EXPECT_TRUE(QFile::exists(hive()));
}

TEST_F(PreferencesWindowTest, TypedGraticuleStyleIsTakenButNotAddedToTheList)
{
    PreferencesWindow pref(settings, hive());
    pref.show();
    pref.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pref));
    auto *style = control<QComboBox>(pref, QStringLiteral("GraticuleType"));
    ASSERT_NE(style, nullptr);
    style->setFocus();
    style->lineEdit()->clear();
    QTest::keyClicks(style, QStringLiteral("Wavy"));
    QTest::keyClick(style, Qt::Key_Return);
    EXPECT_EQ(settings.text(S::GraticuleType), QStringLiteral("Wavy"));
    EXPECT_EQ(style->currentText(), QStringLiteral("Wavy"));
    QStringList offered;
    for (int i = 0; i < style->count(); ++i)
        offered << style->itemText(i);
    EXPECT_EQ(offered, (QStringList{QStringLiteral("Line"), QStringLiteral("Dashed"),
                                    QStringLiteral("Cross"), QStringLiteral("Mixed"),
                                    QStringLiteral("Dotted")}));
}

TEST_F(PreferencesWindowTest, CaptionsStandAtTheirPositions)
{
    PreferencesWindow pref(settings, hive());
    const std::pair<const char *, QPoint> captions[] = {
        {"Cold fronts", {19, 24}}, {"Landmass", {19, 172}},
        {"N/A", {124, 84}},        {"Graticule interval", {308, 24}},
        {"deg", {448, 24}},        {"JPEG compression", {308, 88}},
        {"%", {460, 88}},          {"(0..100, 0=high quality, 100=poor quality)", {328, 108}}};
    const QList<QLabel *> labels = pref.findChildren<QLabel *>();
    for (const auto &[text, position] : captions) {
        const auto found = std::find_if(labels.begin(), labels.end(), [text = text](QLabel *label) {
            return label->text() == QLatin1String(text);
        });
        ASSERT_NE(found, labels.end()) << text;
        EXPECT_EQ((*found)->pos(), position) << text;
    }
    QList<int> widthCaptionTops; // "Line width" stands on every row with a width field
    for (QLabel *label : labels)
        if (label->text() == QStringLiteral("Line width"))
            widthCaptionTops << label->y();
    std::sort(widthCaptionTops.begin(), widthCaptionTops.end());
    EXPECT_EQ(widthCaptionTops,
              (QList<int>{24, 44, 64, 84, 104, 124, 256, 300, 320, 340, 360, 380, 400, 420, 440}));
}

// LakeFill, CountyScaleAware and GifExactColours stand on the right, clear of every other
// control and of the frame, wide enough for their captions, between JPEGComp and OK in the
// Tab order.
TEST_F(PreferencesWindowTest, SwitchesBelowJpegCompSitInFreeSpaceAndTabReachesThem)
{
    PreferencesWindow pref(settings, hive());
    pref.show();
    pref.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&pref));
    const QStringList names = {QStringLiteral("LakeFill"), QStringLiteral("CountyScaleAware"),
                               QStringLiteral("GifExactColours")};
    for (const QString &name : names) {
        SCOPED_TRACE(name.toStdString());
        auto *box = control<QCheckBox>(pref, name);
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(pref.rect().contains(box->geometry()));
        EXPECT_GE(box->x(), 8 + 281); // right of the framed area
        EXPECT_GE(box->width(), box->sizeHint().width());
        for (QWidget *other : pref.findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            if (other != box && other->isVisible()) {
                EXPECT_FALSE(other->geometry().intersects(box->geometry()))
                    << other->objectName().toStdString() << " " << other->metaObject()->className();
            }
        }
    }
    QWidget *focused = control<QLineEdit>(pref, QStringLiteral("JPEGComp"));
    focused->setFocus();
    QStringList reached;
    for (int i = 0; i < 5; ++i) {
        QTest::keyClick(focused, Qt::Key_Tab);
        focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr);
        reached << focused->objectName();
    }
    EXPECT_EQ(reached, QStringList({"LakeFill", "CountyScaleAware", "GifExactColours",
                                    "ObservationUnits", "BitBtn1"}));
}

TEST_F(PreferencesWindowTest, SwitchesBelowJpegCompLoadEditAndStore)
{
    writeHive("\"LakeFill\"=\"0\"\r\n");
    PreferencesWindow pref(settings, hive());
    auto *lakeFill = control<QCheckBox>(pref, QStringLiteral("LakeFill"));
    auto *countyScale = control<QCheckBox>(pref, QStringLiteral("CountyScaleAware"));
    auto *gifColours = control<QCheckBox>(pref, QStringLiteral("GifExactColours"));
    EXPECT_FALSE(lakeFill->isChecked());
    EXPECT_TRUE(countyScale->isChecked()); // absent: the default
    EXPECT_TRUE(gifColours->isChecked());
    pref.show();
    lakeFill->setChecked(true);
    countyScale->setChecked(false);
    gifColours->setChecked(false);
    EXPECT_TRUE(settings.isOn(S::LakeFill));
    EXPECT_FALSE(settings.isOn(S::CountyScaleAware));
    EXPECT_FALSE(settings.isOn(S::GifExactColours));
    button(pref, "BitBtn1")->click();
    EXPECT_TRUE(readHive().contains("\"LakeFill\"=\"1\""));
    EXPECT_TRUE(readHive().contains("\"CountyScaleAware\"=\"0\""));
    EXPECT_TRUE(readHive().contains("\"GifExactColours\"=\"0\""));
}

// Values read before a value of another type stay in effect, and the window shows what is
// in effect: River is on in the settings and ticked in the window.
TEST_F(PreferencesWindowTest, WindowShowsTheValuesInEffectAfterAValueOfAnotherType)
{
    {
        S stored;
        stored.setOn(S::River, true);
        FileRegistryKey key(hive(), SettingsStore::keyPath());
        SettingsStore::save(key, stored);
    }
    QByteArray text = readHive();
    text.replace("\"WarmColor\"=\"221\"", "\"WarmColor\"=dword:000000ff");
    writeHive(QByteArray());
    QFile file(hive());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
    file.close();
    PreferencesWindow pref(settings, hive());
    ASSERT_EQ(dialogs.errors.size(), 1);
    EXPECT_TRUE(settings.isOn(S::River));
    EXPECT_TRUE(control<QCheckBox>(pref, QStringLiteral("River"))->isChecked());
}

// The station-model colour and units, and the first guess's colour, stand below the switches;
// the units list offers C and F.
TEST_F(PreferencesWindowTest, StationModelColourAndUnits)
{
    PreferencesWindow pref(settings, hive());
    EXPECT_EQ(control<QWidget>(pref, QStringLiteral("ObservationColor"))->geometry(),
              QRect(392, 224, 41, 21));
    EXPECT_EQ(control<QWidget>(pref, QStringLiteral("FirstGuessColor"))->geometry(),
              QRect(392, 256, 41, 21));
    auto *units = control<QComboBox>(pref, QStringLiteral("ObservationUnits"));
    EXPECT_EQ(units->currentText(), QStringLiteral("C"));
    EXPECT_EQ(units->itemText(1), QStringLiteral("F"));
    units->setCurrentIndex(1);
    EXPECT_EQ(settings.text(S::ObservationUnits), QStringLiteral("F"));
}
