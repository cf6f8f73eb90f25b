// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/LineRasteriser.h"

#include "canvas/WideInt.h"

#include <cstdlib>

namespace brimlark
{

// The steps of one line along its major axis. Step i sits at major coordinate
// major0 + majorSign * i and minor coordinate minor0 + minorSign * minorOffset(i).
struct LineRasteriser::Steps {
    qint64 major0, minor0;
    int majorSign, minorSign;
    qint64 majorLength, minorLength;
    bool xMajor;

    // floor((2 i m + M - 1) / 2M): nearest to i m / M, a half rounding down.
    qint64 minorOffset(qint64 i) const
    {
        return qint64((WideInt(2) * i * minorLength + majorLength - 1)
                      / (WideInt(2) * majorLength));
    }

    // Narrows [first, last] to the steps whose minor coordinate lies in lo .. hi.
    void clipMinor(qint64 lo, qint64 hi, qint64 &first, qint64 &last) const
    {
        const qint64 offLo = minorSign >= 0 ? lo - minor0 : minor0 - hi;
        const qint64 offHi = minorSign >= 0 ? hi - minor0 : minor0 - lo;
        qint64 a = first, b = last + 1; // first step with offset >= offLo
        while (a < b) {
            const qint64 mid = a + (b - a) / 2;
            if (minorOffset(mid) >= offLo)
                b = mid;
            else
                a = mid + 1;
        }
        qint64 c = a, d = last + 1; // first step with offset > offHi
        while (c < d) {
            const qint64 mid = c + (d - c) / 2;
            if (minorOffset(mid) > offHi)
                d = mid;
            else
                c = mid + 1;
        }
        first = a;
        last = c - 1;
    }

    // Narrows [first, last] to the steps whose major coordinate lies in lo .. hi.
    void clipMajor(qint64 lo, qint64 hi, qint64 &first, qint64 &last) const
    {
        first = qMax(first, majorSign > 0 ? lo - major0 : major0 - hi);
        last = qMin(last, majorSign > 0 ? hi - major0 : major0 - lo);
    }

    // Calls plot(i, x, y) for the steps first .. last, the minor offset kept by an
    // integer walk after the first step's exact one.
    template <typename Plot> void walk(qint64 first, qint64 last, Plot plot) const
    {
        if (first > last)
            return;
        const qint64 twiceMajor = 2 * majorLength;
        qint64 offset = first > 0 ? minorOffset(first) : 0;
        qint64 rest =
            first > 0 ? qint64((WideInt(2) * first * minorLength + majorLength - 1) % twiceMajor)
                      : majorLength - 1;
        for (qint64 i = first; i <= last; ++i) {
            const int major = int(major0 + majorSign * i);
            const int minor = int(minor0 + minorSign * offset);
            plot(i, xMajor ? major : minor, xMajor ? minor : major);
            rest += 2 * minorLength;
            if (rest >= twiceMajor) {
                rest -= twiceMajor;
                ++offset;
            }
        }
    }
};

LineRasteriser::LineRasteriser(PixelTarget &target, const PenDisc &pen, bool dotted)
    : m_target(target), m_disc(pen), m_dotted(dotted && pen.width() == 1)
{
}

void LineRasteriser::line(QPoint from, QPoint to)
{
    const qint64 dx = qint64(to.x()) - from.x();
    const qint64 dy = qint64(to.y()) - from.y();
    const bool xMajor = std::llabs(dx) >= std::llabs(dy);
    const Steps s{xMajor ? from.x() : from.y(),
                  xMajor ? from.y() : from.x(),
                  (xMajor ? dx : dy) < 0 ? -1 : 1,
                  (xMajor ? dy : dx) < 0 ? -1 : 1,
                  std::llabs(xMajor ? dx : dy),
                  std::llabs(xMajor ? dy : dx),
                  xMajor};
    if (s.majorLength == 0)
        return;
    const bool wide = m_disc.width() > 1;
    const qint64 last = wide ? s.majorLength : s.majorLength - 1;
    // Most lines, pen and all, lie wholly on the chart: they are drawn without clipping.
    const int pad = wide ? m_disc.reach() : 0;
    const auto onImage = [&](QPoint p) {
        return p.x() >= pad && p.y() >= pad && p.x() <= m_target.width() - 1 - pad
               && p.y() <= m_target.height() - 1 - pad;
    };
    if (onImage(from) && onImage(to))
        lineOnImage(s, last);
    else
        clippedLine(s, last);
    m_phase = (m_phase + s.majorLength) % 6;
}

bool LineRasteriser::drawsStep(qint64 i) const { return !m_dotted || (m_phase + i) % 6 < 3; }

void LineRasteriser::lineOnImage(const Steps &s, qint64 last)
{
    const bool wide = m_disc.width() > 1;
    // The steps run monotonically in x and y, so the first and last pixels drawn bound them.
    QPoint firstDrawn, lastDrawn;
    bool drawn = false;
    s.walk(0, last, [&](qint64 i, int x, int y) {
        if (wide)
            m_disc.stampOnImage(m_target, x, y);
        else if (drawsStep(i))
            m_target.pixelOnImage(x, y);
        else
            return;
        lastDrawn = QPoint(x, y);
        if (!drawn)
            firstDrawn = lastDrawn;
        drawn = true;
    });
    if (drawn)
        m_target.touchRect(qMin(firstDrawn.x(), lastDrawn.x()) + m_disc.low(),
                           qMin(firstDrawn.y(), lastDrawn.y()) + m_disc.low(),
                           qMax(firstDrawn.x(), lastDrawn.x()) + m_disc.high(),
                           qMax(firstDrawn.y(), lastDrawn.y()) + m_disc.high());
}

void LineRasteriser::clippedLine(const Steps &s, qint64 last)
{
    const bool wide = m_disc.width() > 1;
    const int pad = wide ? m_disc.reach() : 0;
    const qint64 majorEnd = (s.xMajor ? m_target.width() : m_target.height()) - 1;
    const qint64 minorEnd = (s.xMajor ? m_target.height() : m_target.width()) - 1;
    qint64 first = 0;
    s.clipMajor(-pad, majorEnd + pad, first, last);
    if (first <= last)
        s.clipMinor(-pad, minorEnd + pad, first, last);
    s.walk(first, last, [&](qint64 i, int x, int y) {
        if (wide)
            m_disc.stamp(m_target, x, y);
        else if (drawsStep(i))
            m_target.pixel(x, y);
    });
}

} // namespace brimlark
