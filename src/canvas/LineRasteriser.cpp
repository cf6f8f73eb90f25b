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

    // Calls run(start, end, minor) for the stretches of steps 0 .. last that share a minor
    // coordinate, in order: the steps of major coordinates start .. end, both included,
    // whichever way the line runs. The same integer walk as walk(), a stretch at a time.
    template <typename Run> void runs(qint64 last, Run run) const
    {
        const qint64 twiceMajor = 2 * majorLength;
        qint64 rest = majorLength - 1;
        int minor = int(minor0);
        int start = int(major0);
        int major = start;
        for (qint64 i = 0; i < last; ++i) {
            rest += 2 * minorLength;
            major += majorSign;
            if (rest >= twiceMajor) {
                rest -= twiceMajor;
                run(start, major - majorSign, minor);
                start = major;
                minor += minorSign;
            }
        }
        run(start, major, minor);
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
    if (dx >= -1 && dx <= 1 && dy >= -1 && dy <= 1 && (dx != 0 || dy != 0) && unitStep(from, to))
        return;
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
    // Its steps lie between its ends on both axes, so a line with both ends beyond one
    // edge of the chart, by more than the pen reaches, leaves no mark: most of the lines
    // off the chart, which would be clipped to nothing step by step.
    const auto beyondOneEdge = [&] {
        const int right = m_target.width() - 1 + pad;
        const int bottom = m_target.height() - 1 + pad;
        return (from.x() < -pad && to.x() < -pad) || (from.y() < -pad && to.y() < -pad)
               || (from.x() > right && to.x() > right) || (from.y() > bottom && to.y() > bottom);
    };
    if (onImage(from) && onImage(to)) {
        if (m_dotted)
            dottedOnImage(s, last);
        else
            solidOnImage(s, last);
    } else if (!beyondOneEdge()) {
        clippedLine(s, last);
    }
    // The phase is only ever read modulo 6; a division per line is spared while it is far
    // from overflowing.
    m_phase += s.majorLength;
    if (m_phase >= PhaseLimit)
        m_phase %= 6;
}

// A line to a neighbouring pixel has one step, or two with a wide pen: its start, and its
// end with a wide pen (step 1 of a line of length 1 lies on its end). Dense outlines are
// mostly such lines, and their pixels are written here without working out the steps,
// when the pen stays on the image; false leaves the line to the general way.
bool LineRasteriser::unitStep(QPoint from, QPoint to)
{
    const int pad = m_disc.reach();
    const auto onImage = [&](QPoint p) {
        return p.x() >= pad && p.y() >= pad && p.x() <= m_target.width() - 1 - pad
               && p.y() <= m_target.height() - 1 - pad;
    };
    if (m_disc.width() > 1) {
        if (!onImage(from) || !onImage(to))
            return false;
        // Along a row or a column the two discs merge into one span per row.
        if (from.y() == to.y()) {
            m_disc.stampRow(m_target, qMin(from.x(), to.x()), qMax(from.x(), to.x()), from.y());
        } else if (from.x() == to.x()) {
            m_disc.stampColumn(m_target, from.x(), qMin(from.y(), to.y()), qMax(from.y(), to.y()));
        } else {
            m_disc.stampOnImage(m_target, from.x(), from.y());
            m_disc.stampOnImage(m_target, to.x(), to.y());
        }
        m_target.touchRect(
            qMin(from.x(), to.x()) + m_disc.low(), qMin(from.y(), to.y()) + m_disc.low(),
            qMax(from.x(), to.x()) + m_disc.high(), qMax(from.y(), to.y()) + m_disc.high());
    } else {
        if (!onImage(from))
            return false;
        if (drawsStep(0)) {
            m_target.pixelOnImage(from.x(), from.y());
            m_target.touchRect(from.x(), from.y(), from.x(), from.y());
        }
    }
    if (++m_phase >= PhaseLimit) // a length of 1
        m_phase %= 6;
    return true;
}

// Every step is drawn, so the line is written a stretch at a time: a stretch of a shallow
// line is one span of its row, and a wide pen's discs along a stretch merge into one span
// per row of the pen (PenDisc::stampRow and stampColumn). The pixels are those of a disc
// stamped, or a pixel set, at every step.
void LineRasteriser::solidOnImage(const Steps &s, qint64 last)
{
    const bool wide = m_disc.width() > 1;
    int endMinor = int(s.minor0);
    if (s.xMajor) {
        s.runs(last, [&](int start, int end, int y) {
            const int x0 = qMin(start, end), x1 = qMax(start, end);
            if (wide)
                m_disc.stampRow(m_target, x0, x1, y);
            else
                m_target.spanOnImage(x0, x1, y);
            endMinor = y;
        });
    } else {
        s.runs(last, [&](int start, int end, int x) {
            const int y0 = qMin(start, end), y1 = qMax(start, end);
            if (wide) {
                m_disc.stampColumn(m_target, x, y0, y1);
            } else {
                for (int y = y0; y <= y1; ++y)
                    m_target.pixelOnImage(x, y);
            }
            endMinor = x;
        });
    }
    const int endMajor = int(s.major0 + s.majorSign * last);
    const QPoint first =
        s.xMajor ? QPoint(int(s.major0), int(s.minor0)) : QPoint(int(s.minor0), int(s.major0));
    const QPoint end = s.xMajor ? QPoint(endMajor, endMinor) : QPoint(endMinor, endMajor);
    m_target.touchRect(
        qMin(first.x(), end.x()) + m_disc.low(), qMin(first.y(), end.y()) + m_disc.low(),
        qMax(first.x(), end.x()) + m_disc.high(), qMax(first.y(), end.y()) + m_disc.high());
}

// Dotted lines are 1 pixel wide (the constructor sees to that), and drawn step by step.
void LineRasteriser::dottedOnImage(const Steps &s, qint64 last)
{
    // The steps run monotonically in x and y, so the first and last pixels drawn bound them.
    QPoint firstDrawn, lastDrawn;
    bool drawn = false;
    s.walk(0, last, [&](qint64 i, int x, int y) {
        if (!drawsStep(i))
            return;
        m_target.pixelOnImage(x, y);
        lastDrawn = QPoint(x, y);
        if (!drawn)
            firstDrawn = lastDrawn;
        drawn = true;
    });
    if (drawn)
        m_target.touchRect(qMin(firstDrawn.x(), lastDrawn.x()), qMin(firstDrawn.y(), lastDrawn.y()),
                           qMax(firstDrawn.x(), lastDrawn.x()),
                           qMax(firstDrawn.y(), lastDrawn.y()));
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
