// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>

#include <initializer_list>
#include <vector>

namespace brimlark
{

/// The bytes of map data records for tests: every value a signed 16-bit little-endian
/// number, the records one after another ({code, latitude, longitude} for vector map files,
/// {latitude, longitude} for overlays).
inline QByteArray int16Records(std::initializer_list<std::vector<int>> rows)
{
    QByteArray out;
    for (const auto &row : rows)
        for (int v : row) {
            out.append(char(v & 0xFF));
            out.append(char((v >> 8) & 0xFF));
        }
    return out;
}

} // namespace brimlark
