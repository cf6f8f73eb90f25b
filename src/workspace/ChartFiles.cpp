// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/ChartFiles.h"

#include "base/ChartError.h"
#include "base/DataFile.h"
#include "formats/BmpCodec.h"
#include "formats/GifCodec.h"
#include "formats/JpegCodec.h"
#include "formats/PngCodec.h"
#include "workspace/ViewStamp.h"

#include <cerrno>

namespace brimlark
{

QString ChartFiles::extensionOf(const QString &fileName)
{
    const qsizetype separator = qMax(fileName.lastIndexOf(u'/'), fileName.lastIndexOf(u'\\'));
    const qsizetype dot = fileName.lastIndexOf(u'.');
    return dot > separator ? fileName.mid(dot).toLower() : QString();
}

// A file over the limit says so; the other failures are the message alone.
QByteArray ChartFiles::readPicture(const QString &path)
{
    DataFile::Contents contents = DataFile::readAll(path, FileLimit::Picture);
    if (contents.error == EFBIG)
        throw ChartError::cannotOpen(path, contents.reason);
    if (contents.error != 0)
        throw ChartError::cannotOpen(path);
    return std::move(contents.bytes);
}

void ChartFiles::writePicture(const QString &path, const QByteArray &bytes, Sync sync)
{
    int error = 0;
    if (!ReplacingFile::write(path, bytes, sync, &error))
        throw ChartError::cannotCreate(path, error);
}

// A decoder's message says what is wrong ("Invalid GIF signature"); the file it is about
// follows it, as for the map files: "Invalid GIF signature: /charts/noon.gif".
QImage ChartFiles::decodePicture(const QString &path, const QString &extension)
{
    const bool jpeg = extension == u".jpg" || extension == u".jpeg";
    if (extension != u".gif" && extension != u".png" && !jpeg)
        return QImage();
    const QByteArray bytes = readPicture(path);
    try {
        return extension == u".gif" ? GifCodec::decode(bytes)
               : jpeg               ? JpegCodec::decode(bytes)
                                    : PngCodec::decode(bytes);
    } catch (const ChartError &e) {
        throw ChartError(e.message() + QStringLiteral(": ") + path);
    }
}

// Loading or saving nothing would look like success: the message names what can be.
ChartError ChartFiles::unknownExtension(const char *action, const QString &path)
{
    return ChartError(
        QStringLiteral("Cannot %1 %2: a chart can be %3 .gif, .jpg, .jpeg, .bmp or .png")
            .arg(QLatin1String(action), path,
                 qstrcmp(action, "load") == 0 ? QStringLiteral("loaded from")
                                              : QStringLiteral("saved as")));
}

std::optional<ViewValues> ChartFiles::load(ChartBitmap &chart, ChartCanvas &canvas,
                                           const QString &path)
{
    const QString extension = extensionOf(path);
    if (extension == u".bmp") {
        loadBitmap(chart, path);
        return std::nullopt;
    }
    const QImage picture = decodePicture(path, extension);
    if (picture.isNull())
        throw unknownExtension("load", path);
    // One resize to the picture's size: resizing one side at a time would pass through a
    // size with a side of 0, which empties the chart, or one over the limits, which refuses
    // a picture that fits.
    chart.setSize(picture.width(), picture.height());
    canvas.draw(0, 0, picture);
    return ViewStamp::of(picture);
}

void ChartFiles::loadBitmap(ChartBitmap &chart, const QString &path)
{
    BmpImage loaded = BmpCodec::readFile(path);
    chart.assign(std::move(loaded.image), loaded.paletteBits);
}

void ChartFiles::saveBitmap(const ChartBitmap &chart, const QString &path, Sync sync)
{
    BmpCodec::writeFile(path, chart.image(), chart.paletteBits(), sync);
}

QMap<QString, QString> ChartFiles::textsOf(const ChartBitmap &chart,
                                           const std::optional<ViewValues> &view)
{
    if (!view || view->chartWidth != chart.width() || view->chartHeight != chart.height())
        return {};
    return {{ViewStamp::Key, ViewStamp::text(*view)}};
}

void ChartFiles::save(const ChartBitmap &chart, const QString &path, const QString &jpegComp,
                      Sync sync, GifCodec::Colours gifColours,
                      const std::optional<ViewValues> &view)
{
    const QString extension = extensionOf(path);
    if (extension == u".bmp")
        saveBitmap(chart, path, sync);
    else if (extension == u".gif")
        writePicture(path, GifCodec::encode(chart.image(), chart.paletteBits(), gifColours), sync);
    else if (extension == u".jpg" || extension == u".jpeg")
        writePicture(
            path,
            JpegCodec::encode(chart.image(), JpegCodec::qualityOf(jpegComp), textsOf(chart, view)),
            sync);
    else if (extension == u".png")
        writePicture(path, PngCodec::encode(chart.image(), textsOf(chart, view)), sync);
    else
        throw unknownExtension("save", path);
}

} // namespace brimlark
