// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "analysis/DrawnFeature.h"
#include "base/LineTool.h"

#include <QPointF>
#include <QString>
#include <qnamespace.h>

#include <functional>
#include <optional>
#include <vector>

namespace brimlark
{

class ChartSession;

/// The Select tool: which feature of the analysis is selected, which of its points was
/// clicked last (the one Delete removes), and the drag under way. Presses, drags and keys
/// come in as chart pixels and keys; what they change comes back as a step for the window to
/// run, so that every edit goes through its error box and refresh.
class FeatureSelection
{
public:
    /// One edit of the selected feature; empty when there is nothing to edit.
    using Step = std::function<void()>;
    /// What a double click on a centre or label asks.
    struct TextQuestion {
        QString prompt;
        QString text; ///< the text as it stands
    };

    explicit FeatureSelection(ChartSession &session) : m_session(session) {}

    /// Whether the Select tool is chosen; choosing another deselects.
    bool active() const { return m_active; }
    void setActive(bool active);
    std::optional<size_t> feature() const { return m_feature; }
    /// The selected feature's point clicked last, if any.
    std::optional<size_t> point() const { return m_point; }
    /// Where the handles go: the selected feature's points, as a drag shows them.
    std::vector<QPointF> handles() const;
    /// The status line's tool part: "Select", "Select: cold front, point 2".
    QString status() const;

    /// A left press. On a handle of the selected feature it starts dragging that point; on
    /// another feature it selects it (and starts dragging the point pressed, if any); with
    /// Alt it starts moving the whole feature; on nothing it deselects. Shift on the
    /// selected line gives the step that inserts a point there.
    Step press(QPointF at, Qt::KeyboardModifiers modifiers);
    /// The mouse moved with the left button down: the chart shows the drag.
    void dragTo(QPointF at);
    /// The left button went up: the step that keeps the drag, when it changed anything.
    Step release();
    /// A double click: selects what is under it and, for a centre or label, what to ask.
    std::optional<TextQuestion> textAt(QPointF at);
    /// The selected centre's pressure or label's text (an empty label goes).
    Step setText(const QString &text);
    /// A key: Esc deselects (or drops a drag), Delete removes the clicked point or else the
    /// feature, F flips a line, and a line tool's key retypes a line. Nothing when the key
    /// is not the selection's; an empty step when it only changed the selection.
    std::optional<Step> keyPressed(int key, std::optional<LineTool> tool);
    /// After any change of the chart: deselects when the selected feature is not there as it
    /// was, as after Undo, Erase or Generate.
    void follow();

private:
    struct Drag {
        std::optional<size_t> point; ///< the point dragged; none when the whole feature moves
        QPointF from;                ///< where the press was
        DrawnFeature shown;          ///< the feature as the chart shows it now
    };
    const DrawnFeature &selected() const;
    void select(size_t feature, std::optional<size_t> point);
    void clear();
    void dropDrag();
    std::optional<size_t> handleAt(QPointF at) const;
    Step insertAt(QPointF at);
    QPointF onChart(QPointF at) const;
    QPointF offsetOnChart(QPointF by) const;
    Step keeping(const std::function<void(size_t)> &edit);

    ChartSession &m_session;
    bool m_active = false;
    std::optional<size_t> m_feature;
    std::optional<size_t> m_point;
    DrawnFeature m_selected; // the feature as selected, to tell when others changed it
    std::optional<Drag> m_drag;
};

} // namespace brimlark
