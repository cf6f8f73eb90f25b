// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Run-length coding of the undo history's pixels: round trips and codes that do not fit.
#include "editing/RunLength.h"

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

QByteArray encode(const QByteArray &pixels, int bytesPerPixel)
{
    return RunLength::encode(reinterpret_cast<const uchar *>(pixels.constData()),
                             size_t(pixels.size() / bytesPerPixel), bytesPerPixel);
}

// Decodes count pixels into a buffer with guard bytes after them; nothing may touch those.
bool decodes(const QByteArray &code, size_t count, int bytesPerPixel, QByteArray *pixels)
{
    constexpr char Guard = '\x5A';
    const auto size = qsizetype(count) * bytesPerPixel;
    QByteArray buffer(size + 16, Guard);
    const bool ok =
        RunLength::decode(code, reinterpret_cast<uchar *>(buffer.data()), count, bytesPerPixel);
    EXPECT_EQ(buffer.mid(size), QByteArray(16, Guard)) << "written past the pixels";
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
