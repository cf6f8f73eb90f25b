// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Windows bitmap files: every depth and layout we read, what we write, and damaged files.
#include "formats/BmpCodec.h"
#include "base/ChartError.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <vector>

using namespace brimlark;

namespace
{

// The fields of a hand-made bitmap file.
struct BmpFields {
    int headerSize = 40;
    int width = 1;
    int height = 1;
    int planes = 1;
    int bits = 24;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
    std::vector<QRgb> palette;
    std::vector<quint32> masks; // written after a 40-byte header
    QByteArray pixels;
    qint64 offBits = -1; // computed when -1
};

// Little-endian, 1 to 4 bytes.
void put(QByteArray &out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out.append(char((value >> (8 * i)) & 0xFF));
}

QByteArray build(const BmpFields &s)
{
    QByteArray header;
    put(header, quint32(s.headerSize), 4);
    if (s.headerSize == 12) {
        put(header, quint32(s.width), 2);
        put(header, quint32(s.height), 2);
        put(header, quint32(s.planes), 2);
        put(header, quint32(s.bits), 2);
    } else {
        put(header, quint32(s.width), 4);
        put(header, quint32(s.height), 4);
        put(header, quint32(s.planes), 2);
        put(header, quint32(s.bits), 2);
        put(header, s.compression, 4);
        put(header, quint32(s.pixels.size()), 4);
        put(header, 0, 4); // horizontal resolution
        put(header, 0, 4); // vertical resolution
        put(header, s.colorsUsed, 4);
        put(header, 0, 4);
        header.append(QByteArray(s.headerSize - 40, '\0'));
    }
    for (quint32 m : s.masks)
        put(header, m, 4);
    for (QRgb c : s.palette) {
        header.append(char(qBlue(c)));
        header.append(char(qGreen(c)));
        header.append(char(qRed(c)));
        if (s.headerSize != 12)
            header.append('\0');
    }
    QByteArray file("BM");
    const qint64 offBits = s.offBits >= 0 ? s.offBits : 14 + header.size();
    put(file, quint32(14 + header.size() + s.pixels.size()), 4);
    put(file, 0, 4);
    put(file, quint32(offBits), 4);
    return file + header + s.pixels;
}

QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(char(v));
    return out;
}

void expectInvalid(const QByteArray &file, const char *what)
{
    try {
        BmpCodec::decode(file);
        ADD_FAILURE() << what << ": decoded";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Bitmap image is not valid")) << what;
    }
}

QImage sampleImage(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, qRgb(x * 40, y * 70, (x + y) * 13));
    return image;
}

// A 16 x 16 run-length encoded picture whose pixel data is unit repeated, then tail.
QByteArray repeatedRuns(int bits, const QByteArray &unit, int repeats, const QByteArray &tail)
{
    BmpFields picture;
    picture.width = 16;
    picture.height = 16;
    picture.bits = bits;
    picture.compression = bits == 8 ? 1 : 2;
    picture.colorsUsed = 16;
    picture.palette.assign(16, qRgb(0, 0, 0));
    picture.pixels = unit.repeated(repeats) + tail;
    return build(picture);
}

// The pixel indexes of a stored row (0 at the bottom) in hexadecimal digits.
std::string storedRow(const QImage &image, int row)
{
    std::string digits;
    for (int x = 0; x < image.width(); ++x)
        digits += "0123456789abcdef"[image.pixelIndex(x, image.height() - 1 - row) & 0xF];
    return digits;
}

} // namespace

TEST(BmpCodec, ThirtyTwoBitChartIsWrittenAsTwentyFourBitAndReadBack)
{
    const QImage image = sampleImage(5, 3);
    const QByteArray file = BmpCodec::encode(image, 0);
    EXPECT_EQ(file.size(), 54 + 16 * 3); // rows of 15 bytes padded to 16
    EXPECT_EQ(quint8(file[28]), 24);
    // The bottom row first, blue, green, red: (0, 140, 26) then (40, 140, 39).
    EXPECT_EQ(file.mid(54, 6), QByteArray::fromHex("1a8c00278c28"));
    const BmpImage back = BmpCodec::decode(file);
    EXPECT_EQ(back.paletteBits, 0);
    EXPECT_EQ(back.image, image);
    // Rows are packed eight pixels at a time, then one by one; each row is blue, green, red
    // bytes from the bottom row up, padded with zeros to a multiple of four bytes.
    for (int width : {1, 3, 4, 7, 8, 9, 15, 16, 17, 1601}) {
        const QImage wide = sampleImage(width, 2);
        const QByteArray file = BmpCodec::encode(wide, 0);
        QByteArray pixels;
        for (int y = wide.height() - 1; y >= 0; --y) {
            for (int x = 0; x < width; ++x) {
                const QRgb c = wide.pixel(x, y);
                pixels.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c)));
            }
            pixels += QByteArray((4 - pixels.size() % 4) % 4, '\0');
        }
        EXPECT_EQ(file.mid(54), pixels) << width;
        EXPECT_EQ(BmpCodec::decode(file).image, wide) << width;
    }
}

TEST(BmpCodec, PaletteChartsKeepTheirDepthAndPalette)
{
    for (int bits : {1, 4, 8}) {
        QImage image(13, 3, QImage::Format_Indexed8);
        QVector<QRgb> table;
        for (int i = 0; i < (1 << bits); ++i)
            table.append(qRgb(i, 255 - i, (i * 7) & 0xFF));
        image.setColorTable(table);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 13; ++x)
                image.setPixel(x, y, uint((x * 3 + y) % (1 << bits)));
        const QByteArray file = BmpCodec::encode(image, bits);
        EXPECT_EQ(quint8(file[28]), bits);
        const BmpImage back = BmpCodec::decode(file);
        EXPECT_EQ(back.paletteBits, bits);
        EXPECT_EQ(back.image.colorTable(), table);
        EXPECT_EQ(back.image, image) << bits << " bits";
    }
}

TEST(BmpCodec, ReadsSixteenAndThirtyTwoBitPixels)
{
    BmpFields rgb555;
    rgb555.width = 3;
    rgb555.bits = 16;
    rgb555.pixels = bytes({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0});
    const QImage a = BmpCodec::decode(build(rgb555)).image;
    EXPECT_EQ(a.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(a.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(a.pixel(2, 0), qRgb(0, 0, 255));

    BmpFields rgb565 = rgb555;
    rgb565.compression = 3;
    rgb565.masks = {0xF800, 0x07E0, 0x001F};
    rgb565.pixels = bytes({0xE0, 0x07, 0x00, 0x80, 0x1F, 0x00, 0, 0});
    const QImage b = BmpCodec::decode(build(rgb565)).image;
    EXPECT_EQ(b.pixel(0, 0), qRgb(0, 255, 0));
    EXPECT_EQ(b.pixel(1, 0), qRgb(132, 0, 0)); // 16 of 31 levels of red
    EXPECT_EQ(b.pixel(2, 0), qRgb(0, 0, 255));

    BmpFields bgrx;
    bgrx.width = 2;
    bgrx.bits = 32;
    bgrx.pixels = bytes({1, 2, 3, 99, 4, 5, 6, 99});
    const QImage c = BmpCodec::decode(build(bgrx)).image;
    EXPECT_EQ(c.pixel(0, 0), qRgb(3, 2, 1));
    EXPECT_EQ(c.pixel(1, 0), qRgb(6, 5, 4));
}

TEST(BmpCodec, BottomUpAndTopDownRows)
{
    BmpFields layout;
    layout.width = 1;
    layout.height = 2;
    layout.pixels = bytes({0, 0, 255, 0, 255, 0, 0, 0}); // first stored row: red
    EXPECT_EQ(BmpCodec::decode(build(layout)).image.pixel(0, 1), qRgb(255, 0, 0));
    layout.height = -2;
    EXPECT_EQ(BmpCodec::decode(build(layout)).image.pixel(0, 0), qRgb(255, 0, 0));
}

TEST(BmpCodec, RunLengthEncodedEightAndFourBit)
{
    BmpFields rle8;
    rle8.width = 4;
    rle8.height = 2;
    rle8.bits = 8;
    rle8.compression = 1;
    rle8.colorsUsed = 4;
    rle8.palette = {qRgb(0, 0, 0), qRgb(1, 1, 1), qRgb(2, 2, 2), qRgb(3, 3, 3)};
    rle8.pixels = bytes({2, 1, 2, 2, 0, 0, 0, 4, 3, 2, 1, 0, 0, 1});
    const QImage a = BmpCodec::decode(build(rle8)).image;
    EXPECT_EQ(a.pixelIndex(0, 1), 1);
    EXPECT_EQ(a.pixelIndex(3, 1), 2);
    EXPECT_EQ(a.pixelIndex(0, 0), 3);
    EXPECT_EQ(a.pixelIndex(3, 0), 0);

    BmpFields rle4 = rle8;
    rle4.bits = 4;
    rle4.compression = 2;
    rle4.colorsUsed = 6;
    rle4.palette.resize(6);
    rle4.pixels = bytes({4, 0x12, 0, 0, 0, 3, 0x34, 0x50, 0, 1});
    const BmpImage b = BmpCodec::decode(build(rle4));
    EXPECT_EQ(b.paletteBits, 4);
    const int bottom[] = {1, 2, 1, 2};
    const int top[] = {3, 4, 5, 0};
    for (int x = 0; x < 4; ++x) {
        EXPECT_EQ(b.image.pixelIndex(x, 1), bottom[x]);
        EXPECT_EQ(b.image.pixelIndex(x, 0), top[x]);
    }
}

TEST(BmpCodec, RunsAndDeltasPastTheEdgeStayInThePicture)
{
    // 8 421 506 steps of 255 take a position past 2^31: the files that crashed the decoder
    // (16.8 MB of runs, 33.7 MB of deltas), and the same for RLE4.
    constexpr int PastIntRange = 8421506;
    const QByteArray end = bytes({0, 1});
    const QByteArray runAndEnd = bytes({5, 1, 0, 1});
    const std::string zeros(16, '0');
    const struct {
        const char *what;
        int bits;
        QByteArray unit;
        int repeats;
        QByteArray tail;
        std::string bottom, second;
        char others = '0'; // every digit of the other rows
    } cases[] = {
        {"RLE8 runs past the row end", 8, bytes({0xFF, 1}), PastIntRange, end, "1111111111111111",
         zeros},
        {"RLE8 deltas to the right", 8, bytes({0, 2, 0xFF, 0}), PastIntRange, runAndEnd, zeros,
         zeros},
        {"RLE8 deltas upwards", 8, bytes({0, 2, 0, 0xFF}), PastIntRange, runAndEnd, zeros, zeros},
        {"RLE4 runs past the row end", 4, bytes({0xFF, 0x12}), PastIntRange, end,
         "1212121212121212", zeros},
        {"RLE4 deltas to the right", 4, bytes({0, 2, 0xFF, 0}), PastIntRange, runAndEnd, zeros,
         zeros},
        {"RLE8 absolute run cut at the row end, then the next row", 8,
         bytes({0, 2, 14, 0, 0, 3, 7, 8, 9, 0, 0, 0, 1, 5}), 1, end, "0000000000000078",
         "5000000000000000"},
        {"RLE4 absolute run cut at the row end", 4, bytes({0, 2, 13, 0, 0, 5, 0x9A, 0xBC, 0xD0, 0}),
         1, end, "00000000000009ab", zeros},
        {"a delta past the last row ends the picture without its end mark", 8,
         bytes({3, 4, 0, 2, 0, 16}), 1, QByteArray(), "4440000000000000", zeros},
        {"a line end after the last row ends it too", 8, bytes({16, 6, 0, 0}).repeated(16), 1,
         QByteArray(), std::string(16, '6'), std::string(16, '6'), '6'},
    };
    for (const auto &c : cases) {
        const QImage image =
            BmpCodec::decode(repeatedRuns(c.bits, c.unit, c.repeats, c.tail)).image;
        ASSERT_EQ(image.size(), QSize(16, 16)) << c.what;
        EXPECT_EQ(storedRow(image, 0), c.bottom) << c.what;
        EXPECT_EQ(storedRow(image, 1), c.second) << c.what;
        for (int row = 2; row < 16; ++row)
            EXPECT_EQ(storedRow(image, row), std::string(16, c.others))
                << c.what << ", row " << row;
    }
}

TEST(BmpCodec, ReadsTheOldCoreHeader)
{
    BmpFields core;
    core.headerSize = 12;
    core.width = 2;
    core.bits = 8;
    core.palette.assign(256, qRgb(0, 0, 0));
    core.palette[7] = qRgb(10, 20, 30);
    core.pixels = bytes({7, 0, 0, 0});
    const BmpImage image = BmpCodec::decode(build(core));
    EXPECT_EQ(image.image.pixel(0, 0), qRgb(10, 20, 30));
    EXPECT_EQ(image.image.width(), 2);
}

TEST(BmpCodec, EmptyChartIsKeptAsAnEmptyFile)
{
    const QByteArray file = BmpCodec::encode(QImage(), 0);
    EXPECT_TRUE(BmpCodec::decode(file).image.isNull());
}

TEST(BmpCodec, DamagedOrForgedFilesAreNotValid)
{
    BmpFields good;
    good.width = 4;
    good.height = 4;
    good.pixels = QByteArray(48, '\x10');
    ASSERT_NO_THROW(BmpCodec::decode(build(good)));

    BmpFields s = good;
    s.pixels.truncate(10);
    expectInvalid(build(s), "pixel data shorter than announced");
    s = good;
    s.offBits = 5000;
    expectInvalid(build(s), "offset past the end");
    s = good;
    s.width = s.height = 100000;
    expectInvalid(build(s), "100000 x 100000");
    s = good;
    s.width = 20000;
    s.height = 20000; // within a side, over the pixel count
    expectInvalid(build(s), "too many pixels");
    s = good;
    s.width = 0;
    expectInvalid(build(s), "zero width");
    s = good;
    s.width = -4;
    expectInvalid(build(s), "negative width");
    s = good;
    s.compression = 7;
    expectInvalid(build(s), "unknown compression");
    s = good;
    s.compression = 1;
    expectInvalid(build(s), "RLE8 on 24 bits");
    s = good;
    s.planes = 2;
    expectInvalid(build(s), "two planes");
    s = good;
    s.bits = 2;
    expectInvalid(build(s), "2 bits");
    s = good;
    s.headerSize = 20;
    expectInvalid(build(s), "unknown header size");
    s = good;
    s.bits = 8;
    s.colorsUsed = 300;
    expectInvalid(build(s), "palette larger than the depth");
    s = good;
    s.bits = 32;
    s.compression = 3;
    s.masks = {0xF0F000, 0xFF00, 0xFF};
    s.pixels = QByteArray(64, '\0');
    expectInvalid(build(s), "mask with a gap");
    BmpFields rle = good;
    rle.bits = 8;
    rle.compression = 1;
    rle.colorsUsed = 2;
    rle.palette = {qRgb(0, 0, 0), qRgb(255, 255, 255)};
    rle.pixels = bytes({4, 1, 0, 0, 4, 1, 0, 1});
    ASSERT_NO_THROW(BmpCodec::decode(build(rle)));
    s = rle;
    s.height = -4;
    expectInvalid(build(s), "top-down RLE");
    s = rle;
    s.pixels.chop(2);
    expectInvalid(build(s), "RLE without its end mark");
    expectInvalid(QByteArray("BM"), "two bytes");
    QByteArray wrongMagic = build(good);
    wrongMagic[0] = 'X';
    expectInvalid(wrongMagic, "wrong signature");
}

// Every prefix and many random corruptions of real files either decode or are refused;
// none may read outside the file (the sanitizer build checks that).
TEST(BmpCodec, TruncatedAndCorruptedFilesDecodeOrAreRefused)
{
    QImage palette(7, 5, QImage::Format_Indexed8);
    palette.setColorTable({qRgb(0, 0, 0), qRgb(255, 255, 255)});
    palette.fill(1);
    const QByteArray files[] = {BmpCodec::encode(sampleImage(7, 5), 0),
                                BmpCodec::encode(palette, 1)};
    QRandomGenerator random(12345);
    for (const QByteArray &file : files) {
        for (qsizetype n = 0; n < file.size(); ++n) {
            try {
                BmpCodec::decode(file.left(n));
            } catch (const ChartError &) {
            }
        }
        for (int i = 0; i < 2000; ++i) {
            QByteArray damaged = file;
            for (int k = 0; k < 4; ++k)
                damaged[random.bounded(int(damaged.size()))] = char(random.bounded(256));
            try {
                BmpCodec::decode(damaged);
            } catch (const ChartError &) {
            }
        }
    }
}

TEST(BmpCodec, FileMessagesNameThePath)
{
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("missing.bmp"));
    try {
        BmpCodec::readFile(missing);
        ADD_FAILURE() << "read a missing file";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot open file ") + missing);
    }
    const QString unwritable = dir.filePath(QStringLiteral("no/such/folder/x.bmp"));
    try {
        BmpCodec::writeFile(unwritable, sampleImage(2, 2), 0);
        ADD_FAILURE() << "wrote into a missing folder";
    } catch (const ChartError &e) {
        EXPECT_EQ(e.message(), QStringLiteral("Cannot create file ") + unwritable
                                   + ": No such file or directory");
    }
}
