// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "observation/Observation.h"

#include <QByteArray>
#include <QDate>
#include <QString>

#include <vector>

namespace brimlark
{

/// The observations of a file of METAR and SPECI reports as data feeds send them: bare
/// reports one a line, reports after METAR or SPECI, WMO bulletins of them (see
/// MetarSplitter for the layout), in any mix.
///
/// A report's time gives only its day of the month: the month and year are the caller's,
/// from the file's date when it is known (a feed's file names carry it), else the current
/// UTC month. Reports that repeat one already read, word for word, are dropped; of two
/// reports of one station and time, a correction (COR, CCA...) replaces the report before
/// it; any other second report of a station and time is dropped as conflicting, as plotting
/// both would put two values at one place.
class MetarCollection
{
public:
    std::vector<Observation> observations; ///< in the order of their first report
    int reports = 0;     ///< reports found, NIL reports and undecodable ones included
    int nil = 0;         ///< NIL reports: the station sent nothing
    int malformed = 0;   ///< reports without a station id and a valid time, skipped
    int duplicates = 0;  ///< word-for-word repeats, dropped
    int replaced = 0;    ///< reports replaced by a correction of theirs
    int conflicting = 0; ///< second reports of a station and time that are no correction

    /// The observations of the text, or ChartError when it is not text (any byte other
    /// than printable ASCII, UTF-8, blanks, tabs, line ends and the WMO framing marks SOH
    /// and ETX) or holds no report at all.
    static MetarCollection parse(const QByteArray &bytes, QDate month);
    /// The observations of a file of at most 64 MiB: "Cannot open file <path>: <why>" when it
    /// cannot be read, is larger or is not an observations file.
    static MetarCollection read(const QString &path, QDate month);

    /// For the status line: "673 observations from 873 reports (197 repeated, 3 NIL, ...)".
    QString summary() const;
};

} // namespace brimlark
