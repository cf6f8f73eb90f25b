// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "workspace/Workspace.h"
#include "workspace/WorkspaceLock.h"

#include <optional>

namespace brimlark
{

/// Takes the workspace for the run of the window.
class WorkspaceClaim
{
public:
    /// The workspace locked for this run; when another running program holds it, the user
    /// chooses between opening it read-only and quitting (nothing, then).
    static std::optional<Workspace> claim(const Workspace &workspace, WorkspaceLock &lock);
};

} // namespace brimlark
