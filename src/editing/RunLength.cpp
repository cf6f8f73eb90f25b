// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/RunLength.h"

#include <algorithm>
#include <cstring>

namespace brimlark
{

namespace
{

// The runs are gathered in a block and appended a block at a time: a map with counties has
// a run every few pixels, and appending each run's few bytes alone cost more than finding it.
template <typename Pixel> class RunWriter
{
public:
    void add(std::uint32_t length, Pixel value)
    {
        std::memcpy(m_block + m_used, &length, sizeof length);
        std::memcpy(m_block + m_used + sizeof length, &value, sizeof value);
        m_used += RunSize;
        if (m_used == sizeof m_block) {
            m_code.append(m_block, qsizetype(m_used));
            m_used = 0;
        }
    }

    // The code is kept for as long as the undo history keeps its step, so it holds no room
    // to grow into: that room was a third of the history's real memory.
    QByteArray take()
    {
        m_code.append(m_block, qsizetype(m_used));
        m_code.squeeze();
        return std::move(m_code);
    }

    static constexpr size_t RunSize = sizeof(std::uint32_t) + sizeof(Pixel);

private:
    char m_block[1024 * RunSize];
    size_t m_used = 0;
    QByteArray m_code;
};

template <typename Pixel> QByteArray encodeRuns(const uchar *first, const RunLength::Rows &rows)
{
    RunWriter<Pixel> writer;
    Pixel value{};
    std::uint32_t length = 0; // of the run of value so far; 0 before the first pixel
    for (size_t row = 0; row < rows.count; ++row) {
        const auto *pixels = reinterpret_cast<const Pixel *>(first + row * rows.bytesPerLine);
        size_t x = 0;
        while (x < rows.width) {
            if (length == 0 || pixels[x] != value || length == UINT32_MAX) {
                if (length != 0)
                    writer.add(length, value);
                value = pixels[x];
                length = 0;
            }
            const size_t most = std::min(rows.width, x + (UINT32_MAX - length));
            size_t end = x + 1;
            while (end < most && pixels[end] == value)
                ++end;
            length += std::uint32_t(end - x);
            x = end;
        }
    }
    if (length != 0)
        writer.add(length, value);
    return writer.take();
}

// Whether the code is whole runs that add up to exactly count pixels.
template <typename Pixel> bool holds(const QByteArray &code, size_t count)
{
    constexpr size_t RunSize = RunWriter<Pixel>::RunSize;
    const auto size = size_t(code.size());
    if (size % RunSize != 0)
        return false;
    size_t total = 0;
    for (size_t at = 0; at < size; at += RunSize) {
        std::uint32_t length;
        std::memcpy(&length, code.constData() + at, sizeof length);
        if (length > count - total)
            return false;
        total += length;
    }
    return total == count;
}

template <typename Pixel>
bool decodeRuns(const QByteArray &code, uchar *first, const RunLength::Rows &rows)
{
    if (!holds<Pixel>(code, rows.width * rows.count))
        return false;
    constexpr size_t RunSize = RunWriter<Pixel>::RunSize;
    const auto *bytes = reinterpret_cast<const unsigned char *>(code.constData());
    size_t row = 0, x = 0;
    for (size_t at = 0; at < size_t(code.size()); at += RunSize) {
        std::uint32_t length;
        Pixel value;
        std::memcpy(&length, bytes + at, sizeof length);
        std::memcpy(&value, bytes + at + sizeof length, sizeof value);
        while (length > 0) {
            auto *pixels = reinterpret_cast<Pixel *>(first + row * rows.bytesPerLine);
            const size_t part = std::min(size_t(length), rows.width - x);
            std::fill(pixels + x, pixels + x + part, value);
            length -= std::uint32_t(part);
            x += part;
            if (x == rows.width) {
                x = 0;
                ++row;
            }
        }
    }
    return true;
}

} // namespace

QByteArray RunLength::encode(const uchar *first, const Rows &rows)
{
    if (rows.bytesPerPixel == 4)
        return encodeRuns<std::uint32_t>(first, rows);
    return encodeRuns<uchar>(first, rows);
}

bool RunLength::decode(const QByteArray &code, uchar *first, const Rows &rows)
{
    if (rows.bytesPerPixel == 4)
        return decodeRuns<std::uint32_t>(code, first, rows);
    return decodeRuns<uchar>(code, first, rows);
}

} // namespace brimlark
