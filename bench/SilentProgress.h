// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "mapgen/GenerationProgress.h"

namespace brimlark
{

/// Progress that nobody watches, for benchmarks that make maps.
class SilentProgress : public GenerationProgress
{
public:
    void status(const QString &) override {}
    void lineDone() override {}
    void setBusy(bool) override {}
};

} // namespace brimlark
