// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "bulletin/Bulletin.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QString>

#include <optional>

namespace brimlark
{

/// Reads a coded surface frontal positions bulletin:
///
///     CODED SURFACE FRONTAL POSITIONS        header, ignored
///     VALID 062818Z                          month, day, hour UTC
///     HIGHS 1022 3961069 1020 3851069        pressure (may be missing), position
///     LOWS 1002 3441145
///     COLD WK 5280837 5090871 5040890        keyword, strength word (optional), positions
///     4980919                                continuation of the entry above
///     $$                                     end
///
/// A position is LLLNNNN (tenths of a degree north and west) or LLNN / LLNNN (whole degrees);
/// one bulletin uses one of the two resolutions throughout. East longitudes are degrees west
/// beyond 180, up to 359.9 (185.0 W is 175 E). Keywords and strength words may also stand
/// inside a line; extra spaces, tabs, blank lines and LF, CR LF or CR line ends are accepted.
/// A header line that ends in a date, as the issue line "342 PM EDT MON JUN 28 2021" does,
/// gives the year of the VALID time.
class BulletinParser
{
public:
    /// Sea-level pressures a centre can have, in hPa (the lowest and highest ever measured
    /// are 870 and 1084). In HIGHS and LOWS, a number of 3 or 4 digits in this range that is
    /// followed by a position is the pressure of that position's centre.
    static constexpr int LowestPressure = 870;
    static constexpr int HighestPressure = 1090;

    /// The whole bulletin, or ChartError naming the line and the text at fault: a file that
    /// is not UTF-8 text, no VALID line, a bad time (a day its month does not have included),
    /// an unknown keyword, a position group of the wrong length or out of range, a pressure
    /// without a position, a line with fewer than two positions, or a bulletin cut short
    /// before its closing $$.
    static Bulletin parse(const QByteArray &text);

    /// Whether a VALID time reads MMDDHHZ with a real month, a day of that month (29 February
    /// included) and an hour.
    static bool isValidTime(QByteArrayView time);
    /// What is wrong with a VALID time ("February has no day 30"), or empty when it is one;
    /// with the year, 29 February only in a leap year.
    static QString timeFault(QByteArrayView time, std::optional<int> year);
    /// The year of a valid time MMDDHHZ read near a date: the one that puts its month
    /// nearest to the date's, so that a bulletin issued on 31 December may be valid in January.
    static int yearNear(QByteArrayView time, QDate date);
};

} // namespace brimlark
