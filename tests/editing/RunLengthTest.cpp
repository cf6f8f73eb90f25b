// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Run-length coding of the undo history's pixels: round trips and codes that do not fit.
#include "editing/RunLength.h"

#include <QImage>
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <vector>

using namespace brimlark;

namespace
{

// Pixels of 4 or 1 bytes from small values, as a chart row holds them.
QByteArray pixelBytes(const std::vector<std::uint32_t> &values, int bytesPerPixel)
{
    QByteArray bytes;
    for (const std::uint32_t value : values) {
        if (bytesPerPixel == 4)
            bytes.append(reinterpret_cast<const char *>(&value), sizeof value);
        else
            bytes.append(char(value));
    }
    return bytes;
}

// Pixels as one row.
RunLength::Rows oneRow(size_t count, int bytesPerPixel)
{
    return {.width = count,
            .count = 1,
            .bytesPerLine = count * size_t(bytesPerPixel),
            .bytesPerPixel = bytesPerPixel};
}

QByteArray encode(const QByteArray &pixels, int bytesPerPixel)
{
    return RunLength::encode(reinterpret_cast<const uchar *>(pixels.constData()),
                             oneRow(size_t(pixels.size() / bytesPerPixel), bytesPerPixel));
}

// Decodes count pixels into a buffer with guard bytes after them; nothing may touch those.
bool decodes(const QByteArray &code, size_t count, int bytesPerPixel, QByteArray *pixels)
{
    constexpr char Guard = '\x5A';
    const auto size = qsizetype(count) * bytesPerPixel;
    QByteArray buffer(size + 16, Guard);
    const bool ok = RunLength::decode(code, reinterpret_cast<uchar *>(buffer.data()),
                                      oneRow(count, bytesPerPixel));
    EXPECT_EQ(buffer.mid(size), QByteArray(16, Guard)) << "written past the pixels";
    if (!ok) {
        EXPECT_EQ(buffer.left(size), QByteArray(size, Guard)) << "a refused code wrote pixels";
    }
    *pixels = buffer.left(size);
    return ok;
}

} // namespace

// Every row comes back as it was, and a run of one colour takes one pair of a 32-bit length
// and a pixel however long it is.
TEST(RunLength, RowsComeBackAndRunsShrinkToOnePairEach)
{
    const struct {
        const char *name;
        std::vector<std::uint32_t> values;
        int runs;
    } cases[] = {{"empty", {}, 0},
                 {"one pixel", {7}, 1},
                 {"one colour", std::vector<std::uint32_t>(1000, 0xCE), 1},
                 {"every pixel new", {1, 2, 3, 4, 5}, 5},
                 {"ocean, coast, land", {9, 9, 9, 9, 0, 0x80, 0x80, 0x80, 9}, 4}};
    for (const int bytesPerPixel : {4, 1}) {
        for (const auto &c : cases) {
            SCOPED_TRACE(testing::Message() << c.name << ", " << bytesPerPixel << " bytes");
            const QByteArray pixels = pixelBytes(c.values, bytesPerPixel);
            const QByteArray code = encode(pixels, bytesPerPixel);
            EXPECT_EQ(code.size(), c.runs * qsizetype(sizeof(std::uint32_t) + bytesPerPixel));
            QByteArray decoded;
            EXPECT_TRUE(decodes(code, c.values.size(), bytesPerPixel, &decoded));
            EXPECT_EQ(decoded, pixels);
        }
    }
}

// A code that holds fewer or more pixels than asked for, or a run cut short, is refused
// without a byte written past the pixels asked for.
TEST(RunLength, CodeThatDoesNotHoldTheCountIsRefused)
{
    const QByteArray code = encode(pixelBytes({5, 5, 6}, 4), 4);
    const std::uint32_t huge = UINT32_MAX;
    QByteArray hugeRun = code;
    std::memcpy(hugeRun.data(), &huge, sizeof huge);
    const struct {
        const char *name;
        QByteArray code;
        size_t count;
    } cases[] = {{"fewer pixels", code, 4},
                 {"more pixels", code, 2},
                 {"cut short", code.chopped(1), 3},
                 {"a run of 2^32 - 1", hugeRun, 3},
                 {"no code for pixels", QByteArray(), 1}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        QByteArray decoded;
        EXPECT_FALSE(decodes(c.code, c.count, 4, &decoded));
    }
}

// A box of a picture is coded where it lies, row after row, as if its rows were one: a run
// goes on into the next row, and the picture outside the box is neither read nor written.
TEST(RunLength, BoxOfAPictureComesBackInPlace)
{
    QImage picture(7, 5, QImage::Format_RGB32);
    picture.fill(0xFF000000u);
    for (int y = 1; y < 4; ++y)
        for (int x = 2; x < 6; ++x)
            picture.setPixel(x, y, x == 5 && y == 2 ? 0xFFFF0000u : 0xFF00FF00u);
    const QRect box(2, 1, 4, 3);
    const RunLength::Rows rows{.width = 4, .count = 3, .bytesPerLine = 28, .bytesPerPixel = 4};
    const auto at = [&](QImage &image) { return image.scanLine(box.top()) + box.left() * 4; };
    const QByteArray code = RunLength::encode(at(picture), rows);
    // Green, red, then green across two rows: three runs.
    EXPECT_EQ(code.size(), 3 * 8);

    QImage blank(7, 5, QImage::Format_RGB32);
    blank.fill(0xFF000000u);
    ASSERT_TRUE(RunLength::decode(code, at(blank), rows));
    EXPECT_EQ(blank, picture);
}
