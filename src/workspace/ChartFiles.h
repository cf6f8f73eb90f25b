// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ChartError.h"
#include "base/ReplacingFile.h"
#include "base/ViewValues.h"
#include "canvas/ChartBitmap.h"
#include "canvas/ChartCanvas.h"
#include "formats/GifCodec.h"

#include <QMap>
#include <QString>

#include <optional>

namespace brimlark
{

/// Chart pictures in files, their format chosen by the file name's extension alone: ".gif",
/// ".jpg" or ".jpeg", ".bmp" and ".png", compared in lower case. A load from or save to any
/// other extension, or none, fails with a message naming the extensions it can take.
class ChartFiles
{
public:
    using Sync = ReplacingFile::Sync;

    /// The extension: from the last "." after the last separator on, lower-cased; empty
    /// when the name has none.
    static QString extensionOf(const QString &fileName);

    /// A GIF, JPEG or PNG picture is drawn over the chart resized to it (transparent GIF pixels
    /// leave the chart beneath); a bitmap replaces the chart, its format included. On a
    /// failure the chart is unchanged. The view the picture carries (ViewStamp), if any.
    static std::optional<ViewValues> load(ChartBitmap &chart, ChartCanvas &canvas,
                                          const QString &path);
    /// Writes the chart in the format of the extension, replacing any file of that name;
    /// a JPEG takes its quality from the JPEGComp text, checked before anything is written,
    /// and a GIF of a 32-bit chart its colours as asked (the GifExactColours switch). A PNG or
    /// JPEG carries the view (ViewStamp) when it is given and is for the chart's size.
    static void save(const ChartBitmap &chart, const QString &path, const QString &jpegComp,
                     Sync sync = Sync::ToDisk,
                     GifCodec::Colours gifColours = GifCodec::Colours::Reduced,
                     const std::optional<ViewValues> &view = std::nullopt);

    /// A Windows bitmap whatever the name, as the workspace keeps its charts: a load replaces
    /// the chart, its depth and palette included, and on a failure leaves it as it was.
    static void loadBitmap(ChartBitmap &chart, const QString &path);
    /// Writes the chart as a Windows bitmap in its own depth (24-bit for a 32-bit chart).
    static void saveBitmap(const ChartBitmap &chart, const QString &path, Sync sync = Sync::ToDisk);

private:
    static ChartError unknownExtension(const char *action, const QString &path);
    static QByteArray readPicture(const QString &path);
    static QImage decodePicture(const QString &path, const QString &extension);
    static QMap<QString, QString> textsOf(const ChartBitmap &chart,
                                          const std::optional<ViewValues> &view);
    static void writePicture(const QString &path, const QByteArray &bytes, Sync sync);
};

} // namespace brimlark
