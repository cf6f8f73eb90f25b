// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "bulletin/Bulletin.h"

#include <QString>

#include <optional>

namespace brimlark
{

/// Analyses in files. An import reads GeoJSON from a file whose name ends in ".geojson" or
/// ".json", and a coded surface bulletin from any other. An export takes its format from the
/// file name's extension alone, compared in lower case:
/// ".txt" or ".bul" a coded surface bulletin, ".geojson" or ".json" GeoJSON. Any other
/// extension, or none, is refused rather than written in some format the name does not say.
class AnalysisFiles
{
public:
    enum class Format { Bulletin, GeoJson };

    /// The format of the file name's extension; nothing for another extension or none.
    static std::optional<Format> formatOf(const QString &path);
    /// The accepted extensions, as a message names them.
    static QString extensions();
    /// Reads an analysis: "Cannot open file %s: <why>" for a file that cannot be read or is
    /// over the size limit for bulletins, else the reader's message.
    static Bulletin read(const QString &path);
    /// Writes the analysis in the format of the extension, replacing any file of that name,
    /// or ChartError for another extension, for what the format cannot hold, or for a file
    /// that cannot be written; a failed write leaves the file as it was.
    static void write(const QString &path, const Bulletin &analysis);
};

} // namespace brimlark
