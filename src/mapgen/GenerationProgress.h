// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

namespace brimlark
{

/// How a map generation reports its progress to whoever shows it.
class GenerationProgress
{
public:
    virtual ~GenerationProgress() = default;

    /// A status text such as "Drawing vector map (1)...".
    virtual void status(const QString &text) = 0;
    /// A vector line is drawn (or an overlay is finished): time to show the chart so far
    /// and to handle what waits.
    virtual void lineDone() = 0;
    /// The generation begins or ends: the busy cursor goes on or off.
    virtual void setBusy(bool busy) = 0;

    /// The stages of a generation, for a progress bar: preparing (1), each of the six vector
    /// layers (2 to 7) and the completed map (8).
    static constexpr int PreparingStage = 1;
    static constexpr int FirstLayerStage = 2;
    static constexpr int StageCount = 8;
    /// A stage is reached; stages only grow during one generation.
    virtual void stageReached(int stage) { (void)stage; }
};

} // namespace brimlark
