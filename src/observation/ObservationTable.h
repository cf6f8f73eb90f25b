// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "observation/Observation.h"

#include <QByteArray>
#include <QString>

#include <vector>

namespace brimlark
{

/// Surface observations from a table of decoded ones: comma-separated values with a header
/// line naming the columns, in any order, one observation a row.
///
/// Columns read (others are passed over): station, valid ("YYYY-MM-DD HH:MM", seconds
/// allowed, UTC), lon and lat (degrees, east and north positive), tmpf and dwpf (degrees
/// F), drct (degrees), sknt and gust (knots), mslp (hPa), alti (inches of mercury), vsby
/// (statute miles), skyc1 to skyc4 (CLR, FEW, SCT, BKN, OVC or VV) and wxcodes (present
/// weather groups separated by blanks). The first four must be in the header and filled in
/// a row; any other value may be empty, and one that is not a number leaves its value
/// empty. A field may be in double quotes, a quote inside written twice.
class ObservationTable
{
public:
    /// The observations in the file; a ChartError naming the file when it cannot be read,
    /// or when parse refuses it.
    static ObservationTable read(const QString &path);
    /// The observations in the text. Refused with a ChartError saying why: text that is not
    /// UTF-8, a header without the four needed columns, or no row that can be read.
    static ObservationTable parse(const QByteArray &bytes);

    /// The rows read, in the table's order.
    const std::vector<Observation> &observations() const { return m_observations; }
    /// Rows skipped: fields not as many as the header's, or a station, time or position
    /// missing or unreadable.
    int skippedRows() const { return m_skippedRows; }

private:
    std::vector<Observation> m_observations;
    int m_skippedRows = 0;
};

} // namespace brimlark
