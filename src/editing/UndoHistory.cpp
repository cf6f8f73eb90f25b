// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "editing/UndoHistory.h"

namespace brimlark
{

void UndoHistory::record(const ChartState &from, const ChartState &to, const QString &name)
{
    recordUncoded(from, to, name);
    code();
}

void UndoHistory::recordUncoded(const ChartState &from, const ChartState &to, const QString &name)
{
    forgetRedo();
    code(); // only the newest step is ever left uncoded
    auto step = HistoryStep::between(from, to);
    if (!step)
        return;
    step->setName(name);
    m_undo.push_back(std::move(*step));
    trim(); // the count bound holds at once; the byte bound once the step is coded
}

void UndoHistory::code()
{
    if (m_undo.empty() || m_undo.back().isCoded())
        return;
    m_undo.back().code();
    m_bytes += m_undo.back().bytes();
    trim();
}

void UndoHistory::recordUndone(const ChartState &undone, const ChartState &current,
                               const QString &name)
{
    forgetRedo();
    auto step = HistoryStep::between(undone, current);
    if (!step)
        return;
    step->code();
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
    code(); // a redo would bury an uncoded step under the one it brings back
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
        dropped(step);
    m_redo.clear();
}

void UndoHistory::trim()
{
    while (m_undo.size() > 1 && (m_undo.size() > MostSteps || m_bytes > m_mostBytes)) {
        dropped(m_undo.front());
        m_undo.pop_front();
    }
}

void UndoHistory::dropped(const HistoryStep &step)
{
    m_bytes -= step.bytes();
    m_droppedBytes += step.bytes();
}

} // namespace brimlark
