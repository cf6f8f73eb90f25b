// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "observation/MetarCollection.h"

#include "base/ChartError.h"
#include "base/DataFile.h"
#include "observation/MetarDecoder.h"
#include "observation/MetarSplitter.h"

#include <QHash>
#include <QSet>
#include <QStringDecoder>

namespace brimlark
{

namespace
{

// Blanks, line ends and the WMO start and end marks are the only control bytes of a feed.
bool isAllowedControl(char c)
{
    return c == '\t' || c == '\n' || c == '\r' || c == '\x01' || c == '\x03';
}

// Where the first byte that is no text is, for the message.
void checkBytes(const QByteArray &bytes)
{
    int line = 1;
    for (const char c : bytes) {
        if ((uchar(c) < 0x20 && !isAllowedControl(c)) || c == '\x7f')
            throw ChartError(QStringLiteral("The observations are not text: byte 0x%1 on line %2")
                                 .arg(uchar(c), 2, 16, QLatin1Char('0'))
                                 .arg(line));
        line += c == '\n';
    }
}

QString textOf(const QByteArray &bytes)
{
    checkBytes(bytes);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError())
        throw ChartError(QStringLiteral("The observations are not text: they are not UTF-8"));
    return text;
}

// The report without its kind, which repeats of it in other bulletins may leave out.
QStringView bodyOf(const QString &report)
{
    const QStringView text(report);
    return text.startsWith(u"METAR ") || text.startsWith(u"SPECI ") ? text.sliced(6) : text;
}

// Sorts decoded reports into the collection: repeats, corrections and conflicts.
class Sorter
{
public:
    explicit Sorter(MetarCollection &collection) : m_collection(collection) {}

    void add(const QString &report, QDate month)
    {
        ++m_collection.reports;
        if (isRepeat(report))
            return;
        const std::optional<Observation> observation = MetarDecoder::decode(report, month);
        if (!observation)
            countUndecoded(report);
        else
            place(*observation);
    }

private:
    bool isRepeat(const QString &report)
    {
        const QString body = bodyOf(report).toString();
        const bool repeat = m_seen.contains(body);
        m_seen.insert(body);
        m_collection.duplicates += repeat;
        return repeat;
    }

    void countUndecoded(const QString &report)
    {
        const bool nil = report.endsWith(u" NIL");
        m_collection.nil += nil;
        m_collection.malformed += !nil;
    }

    void place(const Observation &observation)
    {
        const QString key = observation.station + observation.time.toString(Qt::ISODate);
        const auto found = m_index.constFind(key);
        if (found == m_index.constEnd()) {
            m_index.insert(key, m_collection.observations.size());
            m_collection.observations.push_back(observation);
        } else if (observation.correction) {
            m_collection.observations[*found] = observation;
            ++m_collection.replaced;
        } else {
            ++m_collection.conflicting;
        }
    }

    MetarCollection &m_collection;
    QSet<QString> m_seen;
    QHash<QString, size_t> m_index; // station and time to the observation's place
};

} // namespace

MetarCollection MetarCollection::parse(const QByteArray &bytes, QDate month)
{
    MetarCollection collection;
    Sorter sorter(collection);
    for (const QString &report : MetarSplitter::split(textOf(bytes)))
        sorter.add(report, month);
    if (collection.reports == 0)
        throw ChartError(QStringLiteral("The file holds no METAR or SPECI report"));
    return collection;
}

MetarCollection MetarCollection::read(const QString &path, QDate month)
{
    const DataFile::Contents contents = DataFile::readAll(path, FileLimit::Observations);
    if (contents.error != 0)
        throw ChartError::cannotOpen(path, contents.reason);
    try {
        return parse(contents.bytes, month);
    } catch (const ChartError &e) {
        throw ChartError::cannotOpen(path, e.message());
    }
}

QString MetarCollection::summary() const
{
    return QStringLiteral("%1 observations from %2 reports (%3 repeated, %4 NIL, %5 malformed, "
                          "%6 corrected, %7 conflicting)")
        .arg(observations.size())
        .arg(reports)
        .arg(duplicates)
        .arg(nil)
        .arg(malformed)
        .arg(replaced)
        .arg(conflicting);
}

} // namespace brimlark
