// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "observation/MetarSplitter.h"

#include "observation/MetarGroups.h"

#include <QList>

#include <algorithm>

namespace brimlark
{

namespace
{

using namespace MetarGroups;

bool isLineEnd(QChar c) { return c == u'\n' || c == u'\r' || c == QChar(1) || c == QChar(3); }

// TTAAii CCCC YYGGgg [BBB]: SAUS70 KWBC 011200 RRA, also without ii (SAEW KAWN 011200).
bool isHeading(const QList<QStringView> &groups)
{
    const QStringView designator = groups[0];
    return (groups.size() == 3 || (groups.size() == 4 && groups[3].size() == 3))
           && designator.size() >= 4 && designator.size() <= 6 && isLetters(designator.first(4))
           && (designator.size() == 4 || isDigits(designator.sliced(4))) && isStation(groups[1])
           && groups[2].size() == 6 && isDigits(groups[2]);
}

bool isFraming(const QList<QStringView> &groups)
{
    const QStringView first = groups[0];
    const bool sequence = groups.size() == 1 && isDigits(first) && first.size() <= 5;
    return sequence || isKind(first) || isHeading(groups) || first.startsWith(u"TTF")
           || first.startsWith(u"TX_") || first.startsWith(u"RMKS") || first == u"NNNN"
           || first == u"ZCZC";
}

bool isReportStart(const QList<QStringView> &groups)
{
    qsizetype at = isKind(groups[0]) ? 1 : 0;
    const bool kind = at == 1;
    if (at < groups.size() && isCorrection(groups[at]))
        ++at;
    if (at >= groups.size() || !isStation(groups[at]))
        return false;
    const QStringView next = at + 1 < groups.size() ? groups[at + 1] : QStringView();
    return kind || isTimeShape(next) || next.startsWith(u"NIL");
}

// The reports as the lines come.
class Reports
{
public:
    void line(QStringView line)
    {
        const QList<QStringView> groups = line.split(u' ', Qt::SkipEmptyParts);
        if (groups.isEmpty())
            return;
        const bool indented = line.front() == u' ' || line.front() == u'\t';
        if (isReportStart(groups))
            start(line);
        else if (m_open && (indented || !isFraming(groups)))
            m_current += u' ' + line.toString();
        else
            finish();
        if (line.contains(u'='))
            finish();
    }

    QStringList finished()
    {
        finish();
        return m_reports;
    }

private:
    void start(QStringView line)
    {
        finish();
        m_current = line.toString();
        m_open = true;
    }

    void finish()
    {
        if (!m_open)
            return;
        const qsizetype end = m_current.indexOf(u'=');
        m_reports.append((end < 0 ? m_current : m_current.first(end)).simplified());
        m_open = false;
    }

    QStringList m_reports;
    QString m_current;
    bool m_open = false;
};

} // namespace

QStringList MetarSplitter::split(QStringView text)
{
    Reports reports;
    qsizetype begin = 0;
    for (qsizetype at = 0; at <= text.size(); ++at)
        if (at == text.size() || isLineEnd(text[at])) {
            reports.line(text.sliced(begin, at - begin));
            begin = at + 1;
        }
    return reports.finished();
}

} // namespace brimlark
