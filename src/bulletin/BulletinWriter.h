// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "bulletin/Bulletin.h"

#include <QByteArray>

namespace brimlark
{

/// Writes a bulletin as a coded surface frontal positions bulletin that BulletinParser reads
/// back: a header line, VALID, HIGHS, LOWS, then the lines in their order and $$. Positions
/// are high resolution (LLLNNNN, tenths of a degree north and west, east longitudes as
/// degrees west beyond 180: 175 E is 1850); no line is longer than 69 characters, and an
/// entry goes on over continuation lines, a pressure never parted from its position.
class BulletinWriter
{
public:
    /// The bulletin's text, or ChartError naming the feature and what the format cannot hold
    /// of it: a time that is not MMDDHHZ, a position south of the equator or not a number, a
    /// pressure outside 870 .. 1090 hPa, a strength other than WK, MDT or STG, an isopleth,
    /// or a line of fewer than two positions.
    static QByteArray write(const Bulletin &bulletin);
};

} // namespace brimlark
