// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Every reader of files from outside, through its own entry point, with the files that ran
// away or hung: an endless device, a file over the limit, a pipe that no program writes
// to, and a pipe that a program writes a good file into.
#include "base/ChartError.h"
#include "base/FileLimit.h"
#include "canvas/RasterCanvas.h"
#include "editing/ChartSession.h"
#include "formats/BmpCodec.h"
#include "formats/PngCodec.h"
#include "mapgen/OverlayFile.h"
#include "mapgen/VectorMapFile.h"
#include "prefs/FileRegistryKey.h"
#include "prefs/SettingsStore.h"
#include "support/Deadline.h"
#include "support/Fifo.h"
#include "support/Int16Records.h"
#include "support/Pixels.h"
#include "support/RecordingCanvas.h"
#include "support/RecordingProgress.h"
#include "workspace/SavedData.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>

using namespace brimlark;

namespace
{

// One reader: the file name it reads, a good file for it and what reading that gives, the
// message that refuses a file over its limit (%1 the path), and the reading itself, which
// tells what it read or throws the message of its failure.
struct Reader {
    const char *fileName;
    QByteArray good;
    const char *readsGood;
    const char *tooLarge;
    qint64 limit;
    std::function<QString(const QString &path)> read;
};

class RunawayReadsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        // A session on the United States at 800 x 600, for the bulletin.
        SavedData::write(
            dir.filePath(QStringLiteral("saveddat.txt")),
            SavedFields{{QStringLiteral("39"), QStringLiteral("-96"), QStringLiteral("800"),
                         QStringLiteral("600"), QStringLiteral("1.2")}});
        BmpCodec::writeFile(dir.filePath(QStringLiteral("temp1.bmp")),
                            Pixels::plain(800, 600, qRgb(250, 245, 230)), 0);
        session = std::make_unique<ChartSession>(settings, Workspace(dir.path()));
        session->startUp();
        for (const char *folder : {"regular", "fifo", "zero"})
            ASSERT_TRUE(QDir(dir.path()).mkdir(QLatin1String(folder)));
    }
    QString path(const char *folder, const char *name) const
    {
        return dir.filePath(QLatin1String(folder) + u'/' + QLatin1String(name));
    }
    void writeRegular(const QString &file, const QByteArray &bytes)
    {
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(bytes);
    }
    // What reading gave, with the folder of the file left out, so that the same content
    // read from different kinds of file compares equal.
    static QString outcome(const Reader &reader, const QString &file)
    {
        QString said;
        try {
            said = withinSeconds(30, [&] { return reader.read(file); });
        } catch (const ChartError &e) {
            said = e.message();
        }
        return said.replace(file, QStringLiteral("FILE"));
    }

    static QString caught(const std::function<QString()> &read)
    {
        try {
            return read();
        } catch (const ChartError &e) {
            return e.message();
        }
    }

    std::vector<Reader> readers()
    {
        const ViewValues view{45, -100, 1, 800, 600};
        const QByteArray line = int16Records({{1000, 2700, -6000}, {1, 2760, -5940}});
        const QImage picture = Pixels::plain(5, 3, qRgb(10, 200, 30));
        QBuffer bmp;
        bmp.open(QIODevice::WriteOnly);
        BmpCodec::write(bmp, picture, 0);
        return {
            {"bulletin.txt", "VALID 062818Z\nCOLD 4485 4590 4695\n$$\n", "drawn 1",
             "Cannot open file %1: larger than 16 MiB, too large for a bulletin",
             FileLimit::Bulletin.bytes(),
             [this](const QString &file) {
                 return QStringLiteral("drawn %1").arg(session->importBulletin(file).drawn);
             }},
            {"registry.reg",
             "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Brimlark\\General]\r\n"
             "\"LakeColor\"=\"255\"\r\n",
             "LakeColor 255",
             "Cannot read the preferences file %1: larger than 16 MiB, too large for a "
             "preferences file",
             FileLimit::Preferences.bytes(),
             [](const QString &file) {
                 FileRegistryKey key(file, SettingsStore::keyPath());
                 if (!key.readError().isEmpty())
                     return key.readError();
                 return QStringLiteral("LakeColor ")
                        + key.queryString(SettingsStore::section(), QStringLiteral("LakeColor"))
                              .value_or(QStringLiteral("none"));
             }},
            {"saveddat.txt", "45\r\n-100\r\n640\r\n480\r\n2\r\n", "45,-100,640,480,2",
             "Cannot read %1: larger than 16 MiB, too large for a map-maker fields file",
             FileLimit::SavedFields.bytes(),
             [](const QString &file) {
                 const SavedFields fields = SavedData::read(file);
                 return QStringList(fields.lines.begin(), fields.lines.end()).join(u',');
             }},
            {"chart.png", PngCodec::encode(picture), "5x3",
             "Cannot open file %1: larger than 1024 MiB, too large for a chart picture",
             FileLimit::Picture.bytes(), [](const QString &file) { return load(file); }},
            {"chart.bmp", bmp.data(), "5x3",
             "Cannot open file %1: larger than 513 MiB, too large for a bitmap",
             FileLimit::Bitmap.bytes(), [](const QString &file) { return load(file); }},
            {"map.gin", line, "polyline (400,300) (410,286)",
             "File larger than 64 MiB, too large for a map data file: %1",
             FileLimit::MapData.bytes(),
             [view](const QString &file) {
                 RecordingCanvas canvas;
                 RecordingProgress progress;
                 VectorMapFile(canvas, view, progress).drawMapFile(file, false);
                 return canvas.callsOf({QStringLiteral("polyline")}).join(u';');
             }},
            {"map.cgf", int16Records({{4500, 10000}, {4600, 9900}}),
             "polyline (400,300) (410,286)",
             "File larger than 64 MiB, too large for a map data file: %1",
             FileLimit::MapData.bytes(),
             [view](const QString &file) {
                 RecordingCanvas canvas;
                 RecordingProgress progress;
                 OverlayFile(canvas, view, progress)
                     .drawOverlay(file, 0x123456, QStringLiteral("1"));
                 return canvas.callsOf({QStringLiteral("polyline")}).join(u';');
             }},
        };
    }
    // A chart loaded from a picture file, as its size.
    static QString load(const QString &file)
    {
        ChartBitmap chart = Pixels::sentinelChart(2, 2);
        RasterCanvas canvas{chart};
        ChartFiles::load(chart, canvas, file);
        return QStringLiteral("%1x%2").arg(chart.image().width()).arg(chart.image().height());
    }

    QTemporaryDir dir;
    ChartSettings settings;
    std::unique_ptr<ChartSession> session;
};

} // namespace

// Import of a bulletin that is a link to /dev/zero grew to 2.7 GB, and a FIFO as
// registry.reg hung the start in open(). Each reader stops one byte past its limit.
TEST_F(RunawayReadsTest, EndlessDeviceIsRefusedAtTheLimitNamingTheFile)
{
    for (const Reader &reader : readers()) {
        SCOPED_TRACE(reader.fileName);
        const QString zero = path("zero", reader.fileName);
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zero));
        EXPECT_EQ(outcome(reader, zero), QString::fromLatin1(reader.tooLarge).arg("FILE"));
    }
}

// A file over the limit is refused from its size, without reading it; one at the limit is
// read up to its end (and found wanting as content, which is not what is checked here).
TEST_F(RunawayReadsTest, RegularFileOverTheLimitIsRefusedUnread)
{
    for (const Reader &reader : readers()) {
        SCOPED_TRACE(reader.fileName);
        const QString file = path("regular", reader.fileName);
        QFile sparse(file);
        ASSERT_TRUE(sparse.open(QIODevice::WriteOnly));
        ASSERT_TRUE(sparse.resize(reader.limit + 1));
        sparse.close();
        EXPECT_EQ(outcome(reader, file), QString::fromLatin1(reader.tooLarge).arg("FILE"));
    }
}

// A pipe that no program writes to is an empty file; one that a program writes a good file
// into reads as that file does.
TEST_F(RunawayReadsTest, PipesReadAsTheFileTheyCarry)
{
    for (const Reader &reader : readers()) {
        SCOPED_TRACE(reader.fileName);
        const QString regular = path("regular", reader.fileName);
        const QString fifo = path("fifo", reader.fileName);
        writeRegular(regular, QByteArray());
        const QString empty = outcome(reader, regular);
        {
            Fifo pipe(fifo);
            ASSERT_TRUE(pipe.valid());
            EXPECT_EQ(outcome(reader, fifo), empty);
        }
        QFile::remove(fifo);

        writeRegular(regular, reader.good);
        const QString good = outcome(reader, regular);
        EXPECT_EQ(good, QLatin1String(reader.readsGood));
        Fifo pipe(fifo);
        ASSERT_TRUE(pipe.valid());
        pipe.write(reader.good);
        EXPECT_EQ(outcome(reader, fifo), good);
    }
}
