// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "bulletin/AnalysisFiles.h"

#include "base/ChartError.h"
#include "base/DataFile.h"
#include "base/ReplacingFile.h"
#include "bulletin/BulletinParser.h"
#include "bulletin/BulletinWriter.h"
#include "bulletin/GeoJsonReader.h"
#include "bulletin/GeoJsonWriter.h"
#include "workspace/ChartFiles.h"

namespace brimlark
{

std::optional<AnalysisFiles::Format> AnalysisFiles::formatOf(const QString &path)
{
    const QString extension = ChartFiles::extensionOf(path);
    if (extension == u".txt" || extension == u".bul")
        return Format::Bulletin;
    if (extension == u".geojson" || extension == u".json")
        return Format::GeoJson;
    return std::nullopt;
}

QString AnalysisFiles::extensions()
{
    return QStringLiteral(".txt or .bul (a coded bulletin), .geojson or .json (GeoJSON)");
}

Bulletin AnalysisFiles::read(const QString &path)
{
    const DataFile::Contents contents = DataFile::readAll(path, FileLimit::Bulletin);
    if (contents.error != 0)
        throw ChartError(QStringLiteral("Cannot open file %1: %2").arg(path, contents.reason));
    if (formatOf(path) == Format::GeoJson)
        return GeoJsonReader::read(contents.bytes).analysis;
    return BulletinParser::parse(contents.bytes);
}

void AnalysisFiles::write(const QString &path, const Bulletin &analysis)
{
    const auto format = formatOf(path);
    if (!format)
        throw ChartError(QStringLiteral("Cannot export the analysis to %1: the file name must "
                                        "end in %2")
                             .arg(path, extensions()));
    const QByteArray bytes = *format == Format::GeoJson ? GeoJsonWriter::write(analysis)
                                                        : BulletinWriter::write(analysis);
    int error = 0;
    if (!ReplacingFile::write(path, bytes, ReplacingFile::Sync::ToDisk, &error))
        throw ChartError::cannotCreate(path, error);
}

} // namespace brimlark
