// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "observation/Observation.h"

#include <QString>

#include <vector>

namespace brimlark
{

/// Files of surface observations: a table of decoded observations (".csv"), or a feed of
/// METAR and SPECI reports (any other name).
class ObservationFiles
{
public:
    struct Contents {
        std::vector<Observation> observations;
        int reports = 0;   ///< reports or rows found
        int malformed = 0; ///< reports or rows that could not be read, skipped
    };

    /// The observations of the file, or ChartError naming the file and why it cannot be
    /// read. A report gives only its day: the month is the one a date in the file's name
    /// gives ("metar_20190701_1200.txt"), else the current month (UTC).
    static Contents read(const QString &path);
    /// The month of a date written as YYYYMMDD or YYYY-MM-DD in a file's name, if any.
    static QDate monthInName(const QString &path);
};

} // namespace brimlark
