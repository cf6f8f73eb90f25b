// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The Preferences window's creation, OK and Cancel.
#include "RecordingDialogs.h"
#include "app/TPref.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using S = ChartSettings;

class TPrefTest : public ::testing::Test
{
protected:
    QString hive() const { return dir.filePath(QStringLiteral("registry.reg")); }
    void writeHive(const QByteArray &values)
    {
        QFile file(hive());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brimlark\\General]\r\n" + values);
    }
    QPushButton *button(TPref &pref, const char *name)
    {
        return pref.findChild<QPushButton *>(QLatin1String(name));
    }

    QTemporaryDir dir;
    S settings;
    RecordingDialogs dialogs;
};

} // namespace

TEST_F(TPrefTest, CreatedHiddenWithTheStoredValues)
{
    writeHive("\"LakeColor\"=\"255\"\r\n\"GraticuleType\"=\"Cross\"\r\n");
    TPref pref(settings, hive());
    EXPECT_FALSE(pref.isVisible());
    EXPECT_EQ(pref.windowTitle(), QStringLiteral("Preferences"));
    EXPECT_EQ(pref.size(), QSize(576, 504));
    EXPECT_EQ(settings.color(S::LakeColor), 255u);
    EXPECT_EQ(settings.text(S::GraticuleType), QStringLiteral("Cross"));
    EXPECT_TRUE(dialogs.errors.isEmpty());
}

TEST_F(TPrefTest, ValueOfAnotherTypeIsReportedAndTheRestKeepTheirDefaults)
{
    writeHive("\"GridSelect\"=\"0\"\r\n\"Border\"=hex:01\r\n\"Lake\"=\"0\"\r\n");
    TPref pref(settings, hive());
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Invalid data type for 'Border'.")});
    EXPECT_FALSE(settings.isOn(S::GridSelect));
    EXPECT_TRUE(settings.isOn(S::Lake));
}

TEST_F(TPrefTest, OkStoresAndHidesCancelOnlyHides)
{
    TPref pref(settings, hive());
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
    TPref reader(stored, hive());
    EXPECT_EQ(stored.text(S::ColdWidth), QStringLiteral("5"));
}

TEST_F(TPrefTest, EscapeHidesWithoutStoring)
{
    TPref pref(settings, hive());
    pref.show();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&pref, &escape);
    EXPECT_FALSE(pref.isVisible());
    EXPECT_FALSE(QFile::exists(hive()));
}

TEST_F(TPrefTest, FailedStoreKeepsTheWindowOpen)
{
    TPref pref(settings, hive());
    QDir().mkpath(hive()); // a folder in the hive file's place
    pref.show();
    button(pref, "BitBtn1")->click();
    EXPECT_TRUE(pref.isVisible());
    EXPECT_EQ(dialogs.errors, QStringList{QStringLiteral("Failed to set data for 'GridSelect'.")});
}
