// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "workspace/Workspace.h"

#include <QLockFile>

namespace brimlark
{

/// One program per workspace: an advisory lock file in the workspace folder, held for the
/// whole run, so that two programs never write over each other's chart. A lock left behind
/// by a program that no longer runs is taken over.
class WorkspaceLock
{
public:
    explicit WorkspaceLock(const Workspace &workspace);

    /// Takes the lock; false when another running program holds it.
    bool tryLock();
    /// The process that holds the lock another program took, 0 when it cannot be told.
    qint64 holder() const;

private:
    QLockFile m_file;
};

} // namespace brimlark
