// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Loading and saving the preferences through the registry file.
#include "prefs/SettingsStore.h"
#include "base/ChartError.h"
#include "prefs/FileRegistryKey.h"
#include "support/ReadOnlyFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <memory>

using namespace brimlark;

namespace
{

using S = ChartSettings;

class SettingsStoreTest : public ::testing::Test
{
protected:
    QString hive() const { return dir.filePath(QStringLiteral("Brimlark/registry.reg")); }
    void writeHive(const QByteArray &bytes)
    {
        QDir().mkpath(dir.filePath(QStringLiteral("Brimlark")));
        QFile file(hive());
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    QByteArray readHive() const
    {
        QFile file(hive());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    void load(S &settings)
    {
        FileRegistryKey key(hive(), SettingsStore::keyPath());
        SettingsStore::load(key, settings);
    }
    void save(const S &settings)
    {
        FileRegistryKey key(hive(), SettingsStore::keyPath());
        SettingsStore::save(key, settings);
    }
    // Makes the hive's folder read-only. Under root that folder is tried as the user nobody,
    // so the temporary folder around it is opened to all.
    std::unique_ptr<ReadOnlyFolder> readOnlyHiveFolder()
    {
        QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner
                                              | QFileDevice::ExeOwner | QFileDevice::ReadGroup
                                              | QFileDevice::ExeGroup | QFileDevice::ReadOther
                                              | QFileDevice::ExeOther);
        return std::make_unique<ReadOnlyFolder>(dir.filePath(QStringLiteral("Brimlark")));
    }
    static QByteArray general(const QByteArray &values)
    {
        return "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brimlark\\General]\r\n" + values;
    }

    QTemporaryDir dir;
};

} // namespace

TEST_F(SettingsStoreTest, NoKeyAtAllGivesTheDefaultsAndWritesNothing)
{
    S settings;
    settings.setOn(S::River, true);
    settings.setText(S::JPEGComp, QStringLiteral("50"));
    load(settings);
    EXPECT_FALSE(settings.isOn(S::River));
    EXPECT_EQ(settings.text(S::JPEGComp), QStringLiteral("10"));
    EXPECT_FALSE(QFile::exists(hive()));
}

TEST_F(SettingsStoreTest, EveryValueStoredWithOkComesBack)
{
    S changed;
    for (int i = 0; i < S::Count; ++i) {
        const auto id = S::Id(i);
        switch (S::definition(id).kind) {
        case SettingKind::Switch:
            changed.setOn(id, !changed.isOn(id));
            break;
        case SettingKind::Color:
            changed.setColor(id, ChartColor(i * 1000 + 7));
            break;
        case SettingKind::Text:
            changed.setText(id, QStringLiteral(" text %1 \"q\" \\").arg(i));
            break;
        }
    }
    save(changed);
    S loaded;
    load(loaded);
    for (int i = 0; i < S::Count; ++i)
        EXPECT_EQ(loaded.storedText(S::Id(i)), changed.storedText(S::Id(i)))
            << S::name(S::Id(i)).toStdString();
}

TEST_F(SettingsStoreTest, AfterOkEveryValueExistsAsAString)
{
    save(S());
    const RegistryFile file = RegistryFile::parse(readHive());
    const RegistryFile::Key *key =
        file.key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Brimlark\\General"));
    ASSERT_NE(key, nullptr);
    // The 46 classic values, LakeFill, CountyScaleAware, GifExactColours, ObservationColor,
    // ObservationUnits and FirstGuessColor.
    EXPECT_EQ(key->values.size(), 52u);
    for (const RegistryFile::Value &value : key->values)
        EXPECT_TRUE(value.isString) << value.name.toStdString();
}

TEST_F(SettingsStoreTest, ValueThatIsNotAStringStopsTheLoadingThere)
{
    writeHive(general("\"GridSelect\"=\"0\"\r\n\"LakeColor\"=\"255\"\r\n"
                      "\"RiverColor\"=dword:000000ff\r\n\"ColdColor\"=\"1\"\r\n"));
    S settings;
    try {
        load(settings);
        ADD_FAILURE() << "loaded a dword value";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Invalid data type for 'RiverColor'"));
    }
    EXPECT_FALSE(settings.isOn(S::GridSelect));        // before: loaded
    EXPECT_EQ(settings.color(S::LakeColor), 255u);     // before: loaded
    EXPECT_EQ(settings.color(S::ColdColor), 8912896u); // after: not reached
}

// A store written before LakeFill, CountyScaleAware and GifExactColours existed holds the 46
// classic values only, or those and the first two: they load as they always did and the
// newer switches are on. A stored "0" turns them off.
TEST_F(SettingsStoreTest, StoreWithoutTheCartographicSwitchesLoadsThemOn)
{
    QByteArray classic;
    for (int i = 0; i <= int(S::BehindLand); ++i)
        classic += "\"" + S::name(S::Id(i)).toLatin1() + "\"=\"0\"\r\n";
    writeHive(general(classic));
    S settings;
    settings.setOn(S::LakeFill, false);
    settings.setOn(S::CountyScaleAware, false);
    settings.setOn(S::GifExactColours, false);
    load(settings);
    EXPECT_FALSE(settings.isOn(S::BehindLand));
    EXPECT_EQ(settings.color(S::OceanColor), 0u);
    EXPECT_EQ(settings.text(S::JPEGComp), QStringLiteral("0"));
    EXPECT_TRUE(settings.isOn(S::LakeFill));
    EXPECT_TRUE(settings.isOn(S::CountyScaleAware));
    EXPECT_TRUE(settings.isOn(S::GifExactColours));

    const QByteArray cartographic = "\"LakeFill\"=\"0\"\r\n\"CountyScaleAware\"=\"0\"\r\n";
    settings.setOn(S::GifExactColours, false);
    writeHive(general(classic + cartographic));
    load(settings);
    EXPECT_FALSE(settings.isOn(S::LakeFill));
    EXPECT_FALSE(settings.isOn(S::CountyScaleAware));
    EXPECT_TRUE(settings.isOn(S::GifExactColours));

    writeHive(general(classic + cartographic + "\"GifExactColours\"=\"0\"\r\n"));
    load(settings);
    EXPECT_FALSE(settings.isOn(S::GifExactColours));
}

TEST_F(SettingsStoreTest, DamagedHiveLoadsWhatItCanAndIsLeftAloneUntilOk)
{
    QByteArray damaged = general("\"LakeColor\"=\"255\"\r\n");
    damaged += QByteArray("\x01\x02\xff garbage\r\n\"Other\"=\"kept\"\r\n\"Cold");
    writeHive(damaged);
    S settings;
    ASSERT_NO_THROW(load(settings));
    EXPECT_EQ(settings.color(S::LakeColor), 255u);
    EXPECT_EQ(settings.color(S::ColdColor), 8912896u);
    EXPECT_EQ(readHive(), damaged);

    save(settings);
    const QByteArray saved = readHive();
    EXPECT_TRUE(saved.contains("\"Other\"=\"kept\""));
    EXPECT_TRUE(saved.contains("\"LakeColor\"=\"255\""));
}

TEST_F(SettingsStoreTest, SaveFailuresNameTheSectionOrTheValue)
{
    // A file where the hive's folder should be: the folder cannot be made.
    QFile blocker(dir.filePath(QStringLiteral("Brimlark")));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    try {
        save(S());
        ADD_FAILURE() << "saved without a folder";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Failed to create key General"));
    }
    blocker.remove();
    // A read-only folder: the values cannot be written.
    QDir().mkpath(dir.filePath(QStringLiteral("Brimlark")));
    const auto readOnly = readOnlyHiveFolder();
    try {
        save(S());
        ADD_FAILURE() << "saved into a read-only folder";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Failed to set data for 'GridSelect'"));
    }
}

// A hive file that is there but cannot be read opens empty, so the defaults apply; storing
// would then lose what it holds, and is refused until allowed. A missing one is a first run.
TEST_F(SettingsStoreTest, HiveThatCannotBeReadIsNamedAndNotReplacedUnlessAllowed)
{
    {
        FileRegistryKey missing(hive(), SettingsStore::keyPath());
        EXPECT_EQ(missing.fileState(), FileRegistryKey::FileState::Missing);
        EXPECT_EQ(missing.readError(),
                  QStringLiteral("Cannot read the preferences file %1: No such file or directory")
                      .arg(hive()));
    }

    QByteArray oversized = general("\"LakeColor\"=\"255\"\r\n");
    oversized += QByteArray(16 * 1024 * 1024, ';');
    writeHive(oversized);
    S settings;
    {
        FileRegistryKey key(hive(), SettingsStore::keyPath());
        EXPECT_EQ(key.fileState(), FileRegistryKey::FileState::Unreadable);
        EXPECT_EQ(key.readError(),
                  QStringLiteral("Cannot read the preferences file %1: larger than 16 MiB, too "
                                 "large for a preferences file")
                      .arg(hive()));
        SettingsStore::load(key, settings);
    }
    EXPECT_EQ(settings.color(S::LakeColor), 0x00FF8080u); // the default, not the file's 255
    try {
        save(S());
        ADD_FAILURE() << "replaced a hive it could not read";
    } catch (const ChartError &e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot read the preferences file ")
                                           + hive() + u':'))
            << e.message().toStdString();
    }
    EXPECT_EQ(readHive(), oversized);

    {
        FileRegistryKey key(hive(), SettingsStore::keyPath());
        key.allowReplacing();
        SettingsStore::save(key, S());
    }
    FileRegistryKey replaced(hive(), SettingsStore::keyPath());
    EXPECT_EQ(replaced.fileState(), FileRegistryKey::FileState::Read);
    EXPECT_TRUE(replaced.readError().isEmpty());
}

TEST_F(SettingsStoreTest, HiveWithoutReadPermissionIsNamedWithTheReason)
{
    writeHive(general("\"LakeColor\"=\"255\"\r\n"));
    QFile::setPermissions(hive(), QFileDevice::WriteOwner);
    {
        const auto readOnly = readOnlyHiveFolder();
        FileRegistryKey key(hive(), SettingsStore::keyPath());
        EXPECT_EQ(key.fileState(), FileRegistryKey::FileState::Unreadable);
        EXPECT_EQ(
            key.readError(),
            QStringLiteral("Cannot read the preferences file %1: Permission denied").arg(hive()));
    }
    QFile::setPermissions(hive(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    // A folder in the file's place is not read either.
    QFile::remove(hive());
    QDir().mkpath(hive());
    FileRegistryKey folder(hive(), SettingsStore::keyPath());
    EXPECT_EQ(folder.fileState(), FileRegistryKey::FileState::Unreadable);
    EXPECT_EQ(folder.readError(),
              QStringLiteral("Cannot read the preferences file %1: Is a directory").arg(hive()));
}
