// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/FileLimit.h"

namespace brimlark
{

namespace
{

constexpr qint64 MiB = qint64(1) << 20;

// The text files are a few kilobytes: a bulletin of a day's fronts and centres, the
// preferences file's fifty values, the five map-maker fields. 16 MiB is thousands of times
// any real one (a month of bulletins pasted into one file still fits), yet is read in a
// moment, and refused in a moment when it comes from an endless device.
constexpr qint64 LargestText = 16 * MiB;

} // namespace

const FileLimit FileLimit::Bulletin{LargestText, "a bulletin"};
const FileLimit FileLimit::Preferences{LargestText, "a preferences file"};
const FileLimit FileLimit::Analysis{LargestText, "an analysis file"};
const FileLimit FileLimit::SavedFields{LargestText, "a map-maker fields file"};
// Nothing larger can hold a chart within the size limits: the largest chart as a PNG with
// an alpha channel and no compression at all is a little over 512 MiB.
const FileLimit FileLimit::Picture{1024 * MiB, "a chart picture"};
// The largest chart at 32 bits is 512 MiB; a larger bitmap cannot be valid once its
// headers, palette and row padding (a few hundred kilobytes at most) are allowed for.
const FileLimit FileLimit::Bitmap{513 * MiB, "a bitmap"};
// The largest shipped file, the coast lines, is 1.5 MB. Positions are whole minutes, so a
// coastline of the whole world at that resolution is about two million points, 12 MB;
// 64 MiB leaves room for any such file and bounds an endless device to a moment's reading.
const FileLimit FileLimit::MapData{64 * MiB, "a map data file"};
// The shipped table of 4,841 stations is 374 KB; every surface station on Earth would
// still be a few megabytes.
const FileLimit FileLimit::StationTable{LargestText, "a station table"};
// A day of every report of the world's stations, each bulletin repeated by several feeds, or
// a table of a day's hourly observations from ten thousand stations (36 MB at 150 bytes a
// row), is some tens of megabytes; 64 MiB takes it whole and still refuses an endless
// device at once.
const FileLimit FileLimit::Observations{64 * MiB, "observations"};

QString FileLimit::reason() const
{
    const QString size = m_bytes % MiB == 0 ? QStringLiteral("%1 MiB").arg(m_bytes / MiB)
                                            : QStringLiteral("%1 bytes").arg(m_bytes);
    return QStringLiteral("larger than %1, too large for %2").arg(size, QLatin1String(m_kind));
}

} // namespace brimlark
