// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

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
};
