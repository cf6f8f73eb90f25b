// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "observation/Station.h"

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <vector>

namespace brimlark
{

/// The surface stations of the station table (sfstns.tbl), found by the identifier a
/// report gives.
///
/// The table has one station a line in fixed columns (counted in characters, as names may
/// hold accented letters in UTF-8):
///
///     1-8 identifier, 10-15 WMO number, 17-48 name with underscores for blanks,
///     50-51 state ("--" for none), 53-54 country, 56-60 latitude and 62-67 longitude in
///     hundredths of a degree (north and east positive), 69-73 elevation in metres,
///     75-76 priority
///
/// A line is taken only when every field is in its columns with blanks between them, so a
/// line that has slipped a column is skipped, not read as a wrong position. Blank lines and
/// lines starting with '!' (remarks) are passed over; a station listed again keeps the
/// first of its lines.
class StationTable
{
public:
    /// The table in the file; "Cannot open file <path>: ..." when it cannot be read or holds
    /// no station.
    static StationTable read(const QString &path);
    /// The stations in the text; never fails.
    static StationTable parse(const QByteArray &bytes);

    /// The station a report names, or null. A United States station is listed by three
    /// letters and its METAR adds a K ("KDEN" is "DEN"); when the table lists the four
    /// letters themselves ("K16J"), those win.
    const Station *find(QStringView reportId) const;

    /// Every station, ordered by identifier.
    const std::vector<Station> &stations() const { return m_stations; }
    /// Lines that repeat an identifier listed before, and were left out.
    int duplicates() const { return m_duplicates; }
    /// Lines that are not a station in the table's columns, and were skipped.
    int skippedLines() const { return m_skippedLines; }

private:
    const Station *exactly(QStringView id) const;

    std::vector<Station> m_stations;
    int m_duplicates = 0;
    int m_skippedLines = 0;
};

} // namespace brimlark
