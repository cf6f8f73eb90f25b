// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/WorkspaceLock.h"

namespace brimlark
{

// A lock is stale only when its program is gone: a run may last for days, so its age never
// makes it stale.
WorkspaceLock::WorkspaceLock(const Workspace &workspace)
    : m_file(workspace.path(QStringLiteral("brimlark.lock")))
{
    m_file.setStaleLockTime(0);
}

bool WorkspaceLock::tryLock() { return m_file.tryLock(0); }

qint64 WorkspaceLock::holder() const
{
    qint64 pid = 0;
    QString hostName;
    QString appName;
    return m_file.getLockInfo(&pid, &hostName, &appName) ? pid : 0;
}

} // namespace brimlark
