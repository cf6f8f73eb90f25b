// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/RunLength.h"

#include <cstring>

namespace brimlark
{

namespace
{

// The runs are gathered in a block and appended a block at a time: a map with counties has
// a run every few pixels, and appending each run's few bytes alone cost more than finding it.
template <typename Pixel> QByteArray encodeRuns(const Pixel *pixels, size_t count)
{
    constexpr size_t RunSize = sizeof(std::uint32_t) + sizeof(Pixel);
    char block[1024 * RunSize];
    size_t used = 0;
    QByteArray code;
    size_t i = 0;
    while (i < count) {
        const Pixel value = pixels[i];
        size_t end = i + 1;
        while (end < count && pixels[end] == value && end - i < UINT32_MAX)
            ++end;
        const auto length = std::uint32_t(end - i);
        std::memcpy(block + used, &length, sizeof length);
        std::memcpy(block + used + sizeof length, &value, sizeof value);
        used += RunSize;
        if (used == sizeof block) {
            code.append(block, qsizetype(used));
            used = 0;
        }
        i = end;
    }
    code.append(block, qsizetype(used));
    return code;
}

template <typename Pixel> bool decodeRuns(const QByteArray &code, Pixel *pixels, size_t count)
{
    constexpr size_t RunSize = sizeof(std::uint32_t) + sizeof(Pixel);
    const auto size = size_t(code.size());
    if (size == 0 || size % RunSize != 0)
        return size == 0 && count == 0;
    const auto *bytes = reinterpret_cast<const unsigned char *>(code.constData());
    size_t written = 0;
    for (size_t at = 0; at < size; at += RunSize) {
        std::uint32_t length;
        Pixel value;
        std::memcpy(&length, bytes + at, sizeof length);
        std::memcpy(&value, bytes + at + sizeof length, sizeof value);
        if (length > count - written)
            return false;
        std::fill(pixels + written, pixels + written + length, value);
        written += length;
    }
    return written == count;
}

} // namespace

QByteArray RunLength::encode(const uchar *pixels, size_t count, int bytesPerPixel)
{
    if (bytesPerPixel == 4)
        return encodeRuns(reinterpret_cast<const std::uint32_t *>(pixels), count);
    return encodeRuns(pixels, count);
}

bool RunLength::decode(const QByteArray &code, uchar *pixels, size_t count, int bytesPerPixel)
{
    if (bytesPerPixel == 4)
        return decodeRuns(code, reinterpret_cast<std::uint32_t *>(pixels), count);
    return decodeRuns(code, pixels, count);
}

} // namespace brimlark
