// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/FeatureSelection.h"

#include "base/ChartError.h"
#include "editing/ChartSession.h"

#include <QPolygonF>

#include <algorithm>
#include <cmath>

namespace brimlark
{

namespace
{

// How near a press must come to a point or a feature to take it, in chart pixels.
constexpr double Reach = 6;

} // namespace

void FeatureSelection::setActive(bool active)
{
    m_active = active;
    if (!active)
        clear();
}

const DrawnFeature &FeatureSelection::selected() const { return m_session.features()[*m_feature]; }

std::vector<QPointF> FeatureSelection::handles() const
{
    if (m_drag)
        return m_drag->shown.points;
    return m_feature ? selected().points : std::vector<QPointF>{};
}

QString FeatureSelection::status() const
{
    QString text = QStringLiteral("Select");
    if (m_feature)
        text += QStringLiteral(": ") + ChartSession::nameOf(selected());
    if (m_point)
        text += QStringLiteral(", point %1").arg(*m_point + 1);
    return text;
}

void FeatureSelection::select(size_t feature, std::optional<size_t> point)
{
    m_feature = feature;
    m_point = point;
    m_selected = selected();
}

// Deselecting a drag under way shows the chart as it is again.
void FeatureSelection::clear()
{
    dropDrag();
    m_feature.reset();
    m_point.reset();
}

void FeatureSelection::dropDrag()
{
    const bool shown = m_drag && m_drag->shown != m_selected;
    m_drag.reset();
    if (shown)
        m_session.redraw();
}

// The handles are the selected feature's, even where another feature lies nearer.
std::optional<size_t> FeatureSelection::handleAt(QPointF at) const
{
    std::optional<size_t> found;
    double nearest = Reach;
    for (size_t i = 0; m_feature && i < selected().points.size(); ++i) {
        const QPointF d = selected().points[i] - at;
        if (const double distance = std::hypot(d.x(), d.y()); distance <= nearest) {
            nearest = distance;
            found = i;
        }
    }
    return found;
}

FeatureSelection::Step FeatureSelection::press(QPointF at, Qt::KeyboardModifiers modifiers)
{
    dropDrag();
    if (modifiers & Qt::ShiftModifier)
        if (Step insert = insertAt(at))
            return insert;
    const bool whole = modifiers & Qt::AltModifier;
    if (const auto handle = whole ? std::nullopt : handleAt(at)) {
        m_point = handle;
    } else if (const auto hit = m_session.featureAt(at, Reach)) {
        select(hit->feature, whole ? std::nullopt : hit->point);
    } else {
        clear();
        return {};
    }
    if (whole || m_point)
        m_drag = Drag{whole ? std::nullopt : m_point, at, m_selected};
    return {};
}

// A point goes in only on the line itself, not on one of its handles.
FeatureSelection::Step FeatureSelection::insertAt(QPointF at)
{
    const auto hit = m_session.featureAt(at, Reach);
    if (!hit || hit->feature != m_feature || hit->point || !selected().isLine())
        return {};
    return keeping([this, at](size_t feature) {
        m_session.insertPoint(feature, at);
        const std::vector<QPointF> &points = selected().points;
        m_point = size_t(std::find(points.begin(), points.end(), at) - points.begin());
    });
}

// The chart follows the drag on the screen only; a feature that cannot be shown ends the
// drag, so that one failure is reported once.
void FeatureSelection::dragTo(QPointF at)
{
    if (!m_drag)
        return;
    DrawnFeature shown = m_selected;
    if (m_drag->point) {
        shown.points[*m_drag->point] = onChart(at);
    } else {
        const QPointF by = offsetOnChart(at - m_drag->from);
        for (QPointF &p : shown.points)
            p += by;
    }
    if (shown == m_drag->shown)
        return;
    m_drag->shown = shown;
    try {
        m_session.showFeatureAs(*m_feature, shown);
    } catch (const ChartError &) {
        m_drag.reset();
        throw;
    }
}

// Points are placed on the chart, as presses place them: a drag beyond its edge stops there.
QPointF FeatureSelection::onChart(QPointF at) const
{
    const ChartBitmap &chart = m_session.chart();
    return {std::clamp(at.x(), 0.0, double(chart.width() - 1)),
            std::clamp(at.y(), 0.0, double(chart.height() - 1))};
}

// A whole feature moves no further off the chart than it already lies.
QPointF FeatureSelection::offsetOnChart(QPointF by) const
{
    const QRectF box = QPolygonF(QList<QPointF>(m_selected.points.begin(), m_selected.points.end()))
                           .boundingRect();
    const double right = m_session.chart().width() - 1;
    const double bottom = m_session.chart().height() - 1;
    return {std::clamp(by.x(), std::min(0.0, -box.left()), std::max(0.0, right - box.right())),
            std::clamp(by.y(), std::min(0.0, -box.top()), std::max(0.0, bottom - box.bottom()))};
}

FeatureSelection::Step FeatureSelection::release()
{
    if (!m_drag)
        return {};
    const Drag drag = *m_drag;
    m_drag.reset();
    if (drag.shown == m_selected)
        return {};
    if (drag.point)
        return keeping([this, drag](size_t feature) {
            m_session.movePoint(feature, *drag.point, drag.shown.points[*drag.point]);
        });
    return keeping([this, drag](size_t feature) {
        m_session.moveFeature(feature, drag.shown.points.front() - m_selected.points.front());
    });
}

std::optional<FeatureSelection::TextQuestion> FeatureSelection::textAt(QPointF at)
{
    if (m_drag)
        return std::nullopt;
    const auto hit = m_session.featureAt(at, Reach);
    if (!hit)
        return std::nullopt;
    select(hit->feature, std::nullopt);
    const DrawnFeature &f = selected();
    if (f.isLine())
        return std::nullopt;
    if (f.isCentre())
        return TextQuestion{QStringLiteral("Pressure of the %1 in hPa (empty for none)")
                                .arg(ChartSession::nameOf(f)),
                            f.pressure ? QString::number(*f.pressure) : QString()};
    return TextQuestion{QStringLiteral("Text of the label (empty deletes it)"), f.text};
}

FeatureSelection::Step FeatureSelection::setText(const QString &text)
{
    return keeping([this, text](size_t feature) { m_session.setFeatureText(feature, text); });
}

std::optional<FeatureSelection::Step> FeatureSelection::keyPressed(int key,
                                                                   std::optional<LineTool> tool)
{
    if (key == Qt::Key_Escape)
        return [this] { m_drag ? dropDrag() : clear(); };
    if (!m_feature)
        return std::nullopt;
    const bool line = selected().isLine();
    if (key == Qt::Key_Delete)
        return keeping([this, point = m_point](size_t feature) {
            point ? m_session.deletePoint(feature, *point) : m_session.deleteFeature(feature);
            m_point.reset();
        });
    if (key == Qt::Key_F && line)
        return keeping([this](size_t feature) {
            m_session.flipFeature(feature);
            if (m_point) // the same point, now counted from the other end
                m_point = selected().points.size() - 1 - *m_point;
        });
    if (tool && line)
        return keeping(
            [this, to = *tool](size_t feature) { m_session.retypeFeature(feature, to); });
    return std::nullopt;
}

// An edit of the selected feature: when it took the feature away the selection goes with it,
// otherwise the selection follows the feature as edited.
FeatureSelection::Step FeatureSelection::keeping(const std::function<void(size_t)> &edit)
{
    return [this, edit] {
        dropDrag();
        const size_t before = m_session.features().size();
        edit(*m_feature);
        if (m_session.features().size() < before)
            clear();
        else
            m_selected = selected();
    };
}

void FeatureSelection::follow()
{
    if (m_feature && (*m_feature >= m_session.features().size() || selected() != m_selected)) {
        m_drag.reset(); // whatever changed the feature drew the chart
        m_feature.reset();
        m_point.reset();
    }
}

} // namespace brimlark
