// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

namespace brimlark
{

/// Memory the program has freed, handed back to the system, with the chart memory kept for
/// the next chart. The C library keeps freed
/// memory for the process's next allocations: after the undo history has dropped old steps
/// for a while, that comes to as much again as the history itself.
class FreedMemory
{
public:
    /// Hands back what the C library holds free; this takes a few milliseconds (a walk over
    /// the free blocks, and a page fault for each page later used again), so it belongs
    /// between edits, not in one.
    static void giveBack();
};

} // namespace brimlark
