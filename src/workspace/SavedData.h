// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ViewValues.h"

#include <QByteArray>
#include <QString>

#include <array>

namespace brimlark
{

/// The five map-maker field texts as "saveddat.txt" keeps them, one line each in the order
/// latitude, longitude, chart width, chart height, zoom.
struct SavedFields {
    std::array<QString, 5> lines;

    const QString &lat() const { return lines[0]; }
    const QString &lon() const { return lines[1]; }
    const QString &width() const { return lines[2]; }
    const QString &height() const { return lines[3]; }
    const QString &zoom() const { return lines[4]; }
    /// The view values these texts convert to (lenient conversion, sizes rounded).
    ViewValues view() const;
    /// The same view, for a new map: fails, naming the field and its text, when a text is
    /// not wholly a number or its value is out of range (latitude -90 to 90, longitude -180
    /// to 180, zoom above 0, width and height 1 to 32767).
    ViewValues checkedView() const;
    /// The texts of a view: each number in the fewest digits that read back as exactly it.
    static SavedFields of(const ViewValues &view);
};

/// Reads and writes "saveddat.txt": single-byte text, lines ended by CR LF.
class SavedData
{
public:
    /// The fields of a file; the input/output message when it cannot be read, the file and
    /// the reason when it is over its limit.
    static SavedFields read(const QString &path);
    /// Replaces the file atomically; the input/output message when it cannot be written.
    static void write(const QString &path, const SavedFields &fields);

    /// Splits the bytes into the first five lines. A line ends at CR, LF or CR LF; missing
    /// lines are empty.
    static SavedFields parse(const QByteArray &bytes);
    /// The bytes of the file: every text followed by CR LF.
    static QByteArray format(const SavedFields &fields);
};

} // namespace brimlark
