// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ReplacingFile.h"

#include <QByteArray>
#include <QIODevice>
#include <QImage>
#include <QString>

namespace brimlark
{

/// A decoded bitmap: Format_RGB32, or Format_Indexed8 holding a 1-, 4- or 8-bit palette image.
struct BmpImage {
    QImage image;
    int paletteBits = 0;
};

/// Reads and writes Windows bitmap files. Reading checks every header field and that the
/// file really holds the pixels it announces; anything else is "Bitmap image is not valid".
class BmpCodec
{
public:
    /// Decodes a whole file's bytes.
    static BmpImage decode(const QByteArray &bytes);
    /// Encodes 24-bit for a 32-bit image, else the palette depth with its palette.
    static QByteArray encode(const QImage &image, int paletteBits);
    /// Encodes onto a device; false when the device takes less than it is given.
    static bool write(QIODevice &device, const QImage &image, int paletteBits);

    /// Reads a file: "Cannot open file %s" when it cannot be opened.
    static BmpImage readFile(const QString &path);
    /// Replaces a file atomically: "Cannot create file %s" when it cannot be written.
    static void writeFile(const QString &path, const QImage &image, int paletteBits,
                          ReplacingFile::Sync sync = ReplacingFile::Sync::ToDisk);
};

} // namespace brimlark
