// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

namespace brimlark
{

/// The most that is read of a file of one kind. Sizes are checked while reading, not from
/// the file system's record of them: a device such as /dev/zero or a pipe has no size, and
/// an endless one would otherwise be taken in until memory runs out. Reading stops one byte
/// past the limit, which tells a file over it from one that ends there.
class FileLimit
{
public:
    constexpr FileLimit(qint64 bytes, const char *kind) : m_bytes(bytes), m_kind(kind) {}

    /// The most a file of the kind may hold.
    constexpr qint64 bytes() const { return m_bytes; }
    /// Why a larger file is refused: "larger than 16 MiB, too large for a bulletin".
    QString reason() const;

    /// Bulletins of fronts and centres, read for an import.
    static const FileLimit Bulletin;
    /// The preferences file, registry.reg.
    static const FileLimit Preferences;
    /// The features of the workspace's chart, analysis.geojson.
    static const FileLimit Analysis;
    /// The workspace's map-maker fields, saveddat.txt.
    static const FileLimit SavedFields;
    /// Charts saved as GIF, JPEG or PNG.
    static const FileLimit Picture;
    /// Charts saved as BMP, the workspace's bitmaps among them.
    static const FileLimit Bitmap;
    /// The map data files of coasts, borders, rivers and overlays.
    static const FileLimit MapData;
    /// The table of surface stations and their positions, sfstns.tbl.
    static const FileLimit StationTable;
    /// Files of METAR and SPECI reports, and tables of decoded surface observations.
    static const FileLimit Observations;

private:
    qint64 m_bytes;
    const char *m_kind;
};

} // namespace brimlark
