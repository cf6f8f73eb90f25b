// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/UndoHistory.h"

namespace brimlark
{

void UndoHistory::record(const ChartState &from, const ChartState &to, const QString &name)
{
    forgetRedo();
    auto step = HistoryStep::between(from, to);
    if (!step)
        return;
    step->setName(name);
    m_bytes += step->bytes();
    m_undo.push_back(std::move(*step));
    trim();
}

void UndoHistory::recordUndone(const ChartState &undone, const ChartState &current,
                               const QString &name)
{
    forgetRedo();
    auto step = HistoryStep::between(undone, current);
    if (!step)
        return;
    step->setName(name);
    m_bytes += step->bytes();
    m_redo.push_back(std::move(*step));
}

bool UndoHistory::undo(ChartState &state) { return move(m_undo, m_redo, state); }

bool UndoHistory::redo(ChartState &state) { return move(m_redo, m_undo, state); }

// After its swap a step holds the other state's pixels, so its size changes with it.
bool UndoHistory::move(std::deque<HistoryStep> &from, std::deque<HistoryStep> &to,
                       ChartState &state)
{
    if (from.empty())
        return false;
    ++m_changes;
    HistoryStep step = std::move(from.back());
    from.pop_back();
    m_bytes -= step.bytes();
    step.swap(state);
    m_bytes += step.bytes();
    to.push_back(std::move(step));
    return true;
}

void UndoHistory::forgetRedo()
{
    ++m_changes;
    for (const HistoryStep &step : m_redo)
        m_bytes -= step.bytes();
    m_redo.clear();
}

void UndoHistory::trim()
{
    while (m_undo.size() > 1 && (m_undo.size() > MostSteps || m_bytes > m_mostBytes)) {
        m_bytes -= m_undo.front().bytes();
        m_undo.pop_front();
    }
}

} // namespace brimlark
