// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/GenerationProgress.h"

namespace brimlark
{

/// A progress bar on the terminal's standard error while a map is generated: the stage of
/// the generation (erasing, each layer, the border) and its status text.
class TerminalProgress : public GenerationProgress
{
public:
    /// Shows nothing when quiet.
    explicit TerminalProgress(bool shown);
    ~TerminalProgress() override;

    void status(const QString &text) override;
    void lineDone() override {}
    void setBusy(bool) override {}
    void stageReached(int stage) override { m_stage = stage; }

private:
    bool m_shown;
    int m_stage = 0;
};

} // namespace brimlark
