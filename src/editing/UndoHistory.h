// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "editing/HistoryStep.h"

#include <deque>
#include <utility>

namespace brimlark
{

/// The committed states of a chart that Undo can step back through and Redo forward again,
/// kept in memory for one run as the differences between them.
class UndoHistory
{
public:
    /// At most this many steps back; the oldest go first.
    static constexpr size_t MostSteps = 100;
    /// At most this much memory for all steps; the oldest go first, the newest always stays.
    static constexpr qsizetype MostBytes = qsizetype(100) << 20;

    /// A history that keeps at most mostBytes of steps.
    explicit UndoHistory(qsizetype mostBytes = MostBytes) : m_mostBytes(mostBytes) {}

    /// A change from one committed state to another, with what Undo and Redo call it; the
    /// steps forward are forgotten.
    void record(const ChartState &from, const ChartState &to, const QString &name = {});
    /// As record, but the step keeps the pictures it leads back to as they are until code()
    /// or the next change of the history: a new map need not wait for the old one's coding.
    /// Until then the step is not counted against the bound.
    void recordUncoded(const ChartState &from, const ChartState &to, const QString &name = {});
    /// Codes a step recorded uncoded, and drops the oldest steps if it takes the history
    /// past its bound.
    void code();
    /// A change undone before it was committed (a segment thrown away): the steps forward
    /// are forgotten and Redo brings the undone state back.
    void recordUndone(const ChartState &undone, const ChartState &current,
                      const QString &name = {});
    /// Steps the state back; false when there is no step.
    bool undo(ChartState &state);
    /// Steps the state forward again; false when there is no step.
    bool redo(ChartState &state);
    /// Forgets the steps forward: a new edit branches off.
    void forgetRedo();

    /// The name of the step Undo would take, or empty when there is none.
    QString undoName() const { return m_undo.empty() ? QString() : m_undo.back().name(); }
    /// The name of the step Redo would take, or empty when there is none.
    QString redoName() const { return m_redo.empty() ? QString() : m_redo.back().name(); }
    size_t undoSteps() const { return m_undo.size(); }
    size_t redoSteps() const { return m_redo.size(); }
    /// The memory of the coded steps.
    qsizetype bytes() const { return m_bytes; }
    /// How many times the history has changed: a count that moves with every record, undo,
    /// redo and forgotten redo.
    quint64 changes() const { return m_changes; }
    /// The bytes of the steps dropped since the last call: the oldest past the bound, and the
    /// steps forward that an edit forgot.
    qsizetype takeDroppedBytes() { return std::exchange(m_droppedBytes, 0); }

private:
    bool move(std::deque<HistoryStep> &from, std::deque<HistoryStep> &to, ChartState &state);
    void trim();
    void dropped(const HistoryStep &step);

    std::deque<HistoryStep> m_undo; // the newest at the back
    std::deque<HistoryStep> m_redo; // the next at the back
    qsizetype m_mostBytes;
    qsizetype m_bytes = 0;
    quint64 m_changes = 0;
    qsizetype m_droppedBytes = 0;
};

} // namespace brimlark
