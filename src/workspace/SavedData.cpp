// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/SavedData.h"

#include "base/ChartError.h"
#include "base/DataFile.h"
#include "base/FileErrors.h"
#include "base/NumberConversion.h"
#include "base/ReplacingFile.h"

#include <QFile>

namespace brimlark
{

ViewValues SavedFields::view() const
{
    ViewValues v;
    v.CenterLat = NumberConversion::lenientDouble(lat());
    v.CenterLon = NumberConversion::lenientDouble(lon());
    v.ChartWidth = NumberConversion::lenientRounded(width());
    v.ChartHeight = NumberConversion::lenientRounded(height());
    v.Zoom = NumberConversion::lenientDouble(zoom());
    return v;
}

SavedFields SavedData::parse(const QByteArray &bytes)
{
    SavedFields fields;
    qsizetype pos = 0;
    for (QString &line : fields.lines) {
        if (pos >= bytes.size())
            break;
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\r' && bytes[end] != '\n')
            ++end;
        line = QString::fromLatin1(bytes.constData() + pos, end - pos);
        if (end < bytes.size() && bytes[end] == '\r')
            ++end;
        if (end < bytes.size() && bytes[end] == '\n')
            ++end;
        pos = end;
    }
    return fields;
}

QByteArray SavedData::format(const SavedFields &fields)
{
    QByteArray bytes;
    for (const QString &line : fields.lines)
        bytes += line.toLatin1() + "\r\n";
    return bytes;
}

SavedFields SavedData::read(const QString &path) { return parse(DataFile::readAll(path)); }

void SavedData::write(const QString &path, const SavedFields &fields)
{
    int error = 0;
    if (!ReplacingFile::write(path, format(fields), ReplacingFile::Sync::ToDisk, &error))
        throw ChartError(FileErrors::message(error));
}

} // namespace brimlark
