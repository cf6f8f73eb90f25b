// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The registry export file: what it reads, what it keeps, what it refuses quietly.
#include "prefs/RegistryFile.h"

#include <QStringEncoder>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{
const QString General = QStringLiteral("HKEY_CURRENT_USER\\Software\\Brimlark\\General");
}

TEST(RegistryFile, ReadsStringsAndMarksOtherTypes)
{
    const RegistryFile file =
        RegistryFile::parse("REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brimlark\\General]\r\n"
                            "\"ColdColor\"=\"8912896\"\r\n"
                            "\"Quote\"=\"say \\\"hi\\\" C:\\\\x\"\r\n"
                            "\"Count\"=dword:0000002a\r\n"
                            "\"Blob\"=hex:01,02,\\\r\n  03,04\r\n"
                            "\"After\"=\"yes\"\r\n");
    const RegistryFile::Key *key = file.key(General.toLower());
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(RegistryFile::value(*key, QStringLiteral("coldcolor"))->text,
              QStringLiteral("8912896"));
    EXPECT_EQ(RegistryFile::value(*key, QStringLiteral("Quote"))->text,
              QStringLiteral("say \"hi\" C:\\x"));
    EXPECT_FALSE(RegistryFile::value(*key, QStringLiteral("Count"))->isString);
    EXPECT_FALSE(RegistryFile::value(*key, QStringLiteral("Blob"))->isString);
    EXPECT_TRUE(RegistryFile::value(*key, QStringLiteral("After"))->isString);
}

TEST(RegistryFile, SkipsGarbageAndHalfWrittenLines)
{
    QByteArray bytes("REGEDIT4\n[HKEY_CURRENT_USER\\Software\\Brimlark\\General]\n"
                     "\"Good\"=\"1\"\n");
    bytes += QByteArray("\x00\x01\xff\xfe garbage \x80\x81\n", 16);
    bytes += "no equals sign here\n\"Bad\"=\"no closing quote";
    const RegistryFile file = RegistryFile::parse(bytes);
    const RegistryFile::Key *key = file.key(General);
    ASSERT_NE(key, nullptr);
    EXPECT_NE(RegistryFile::value(*key, QStringLiteral("Good")), nullptr);
    EXPECT_EQ(RegistryFile::value(*key, QStringLiteral("Bad")), nullptr);
    EXPECT_EQ(key->values.size(), 1u);
    EXPECT_NO_THROW(RegistryFile::parse(QByteArray(5000, '\xff')));
}

TEST(RegistryFile, ReadsUnicodeExports)
{
    const QString text = QStringLiteral("Windows Registry Editor Version 5.00\r\n\r\n[%1]\r\n"
                                        "\"GraticuleType\"=\"Dotted\"\r\n")
                             .arg(General);
    QStringEncoder encoder(QStringEncoder::Utf16LE, QStringEncoder::Flag::WriteBom);
    const RegistryFile file = RegistryFile::parse(encoder(text));
    ASSERT_NE(file.key(General), nullptr);
    EXPECT_EQ(RegistryFile::value(*file.key(General), QStringLiteral("GraticuleType"))->text,
              QStringLiteral("Dotted"));
}

TEST(RegistryFile, WritingKeepsOtherKeysAndValuesAsTheyStood)
{
    RegistryFile file = RegistryFile::parse("REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Other]\n"
                                            "\"Keep\"=dword:00000001\n\n["
                                            + General.toUtf8() + "]\n\"Old\"=\"x\"\n");
    RegistryFile::setString(file.ensureKey(General), QStringLiteral("Old"), QStringLiteral("a\"b"));
    RegistryFile::setString(file.ensureKey(General), QStringLiteral("New"), QStringLiteral("c:\\"));
    const QByteArray out = file.serialize();
    EXPECT_TRUE(out.startsWith("REGEDIT4\r\n"));
    EXPECT_TRUE(out.contains("\"Keep\"=dword:00000001"));
    EXPECT_TRUE(out.contains("\"Old\"=\"a\\\"b\""));
    const RegistryFile back = RegistryFile::parse(out);
    EXPECT_EQ(RegistryFile::value(*back.key(General), QStringLiteral("New"))->text,
              QStringLiteral("c:\\"));
    EXPECT_FALSE(
        RegistryFile::value(*back.key(QStringLiteral("HKEY_CURRENT_USER\\Software\\Other")),
                            QStringLiteral("Keep"))
            ->isString);
}
