// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/SavedData.h"

#include "base/ChartError.h"
#include "base/ChartSize.h"
#include "base/DataFile.h"
#include "base/FileErrors.h"
#include "base/NumberConversion.h"
#include "base/ReplacingFile.h"

#include <QFile>
#include <QLocale>

#include <cerrno>
#include <limits>

namespace brimlark
{

ViewValues SavedFields::view() const
{
    ViewValues v;
    v.centerLat = NumberConversion::lenientDouble(lat());
    v.centerLon = NumberConversion::lenientDouble(lon());
    v.chartWidth = NumberConversion::lenientRounded(width());
    v.chartHeight = NumberConversion::lenientRounded(height());
    v.zoom = NumberConversion::lenientDouble(zoom());
    return v;
}

namespace
{

// What a map-maker field may hold for a new map.
struct FieldRange {
    const char *field;
    double lowest, highest;
    bool rounded; // a size in whole pixels, checked as it is rounded
    const char *range;
};

// Fails, naming the field and its text, unless the text is wholly a number within range.
void checkField(const FieldRange &f, const QString &text)
{
    const auto value = NumberConversion::strictDouble(text);
    if (!value)
        throw ChartError(
            QStringLiteral("%1 \"%2\" is not a number").arg(QLatin1String(f.field), text));
    const double checked = f.rounded ? NumberConversion::roundHalfEven(*value) : *value;
    if (!(checked >= f.lowest && checked <= f.highest))
        throw ChartError(QStringLiteral("%1 %2 is out of range: it must be %3")
                             .arg(QLatin1String(f.field), text.trimmed(), QLatin1String(f.range)));
}

} // namespace

// Every text that is wholly a number in range gives the view Generate always took from it.
ViewValues SavedFields::checkedView() const
{
    constexpr double Largest = std::numeric_limits<double>::max();
    const FieldRange ranges[] = {
        {"Latitude", -90, 90, false, "from -90 to 90"},
        {"Longitude", -180, 180, false, "from -180 to 180"},
        {"Chart width", 1, ChartSize::MaxSide, true, "from 1 to 32767"},
        {"Chart height", 1, ChartSize::MaxSide, true, "from 1 to 32767"},
        {"Zoom", std::numeric_limits<double>::denorm_min(), Largest, false, "above 0"}};
    for (size_t i = 0; i < lines.size(); ++i)
        checkField(ranges[i], lines[i]);
    return view();
}

SavedFields SavedFields::of(const ViewValues &view)
{
    const auto number = [](double value) {
        return QString::number(value, 'g', QLocale::FloatingPointShortest);
    };
    return SavedFields{{number(view.centerLat), number(view.centerLon),
                        QString::number(view.chartWidth), QString::number(view.chartHeight),
                        number(view.zoom)}};
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

// The message alone, as a first start reports the missing file so; a file over the limit,
// which is not one the program wrote, is named with the reason.
SavedFields SavedData::read(const QString &path)
{
    const DataFile::Contents contents = DataFile::readAll(path, FileLimit::SavedFields);
    if (contents.error == EFBIG)
        throw ChartError(QStringLiteral("Cannot read %1: %2").arg(path, contents.reason));
    if (contents.error != 0)
        throw ChartError(FileErrors::message(contents.error));
    return parse(contents.bytes);
}

void SavedData::write(const QString &path, const SavedFields &fields)
{
    int error = 0;
    if (!ReplacingFile::write(path, format(fields), ReplacingFile::Sync::ToDisk, &error))
        throw ChartError(FileErrors::message(error));
}

} // namespace brimlark
