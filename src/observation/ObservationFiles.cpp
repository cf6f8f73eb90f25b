// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "observation/ObservationFiles.h"

#include "observation/MetarCollection.h"
#include "observation/ObservationTable.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace brimlark
{

ObservationFiles::Contents ObservationFiles::read(const QString &path)
{
    if (QFileInfo(path).suffix().compare(QStringLiteral("csv"), Qt::CaseInsensitive) == 0) {
        const ObservationTable table = ObservationTable::read(path);
        const int rows = int(table.observations().size()) + table.skippedRows();
        return {table.observations(), rows, table.skippedRows()};
    }
    QDate month = monthInName(path);
    if (!month.isValid())
        month = QDateTime::currentDateTimeUtc().date();
    const MetarCollection feed = MetarCollection::read(path, month);
    return {feed.observations, feed.reports, feed.malformed};
}

QDate ObservationFiles::monthInName(const QString &path)
{
    static const QRegularExpression date(QStringLiteral("(?<!\\d)(\\d{4})-?(\\d{2})-?(\\d{2})"));
    const QRegularExpressionMatch found = date.match(QFileInfo(path).fileName());
    if (!found.hasMatch())
        return {};
    return QDate(found.captured(1).toInt(), found.captured(2).toInt(), found.captured(3).toInt());
}

} // namespace brimlark
