// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/WorkspaceClaim.h"

#include "app/Dialogs.h"

#include <QDir>

namespace brimlark
{

std::optional<Workspace> WorkspaceClaim::claim(const Workspace &workspace, WorkspaceLock &lock)
{
    if (lock.tryLock())
        return workspace;
    const qint64 holder = lock.holder();
    const QString user = holder > 0 ? QStringLiteral("process %1").arg(holder)
                                    : QStringLiteral("another program");
    const QString question =
        QStringLiteral("The workspace in %1 is in use by %2.\n\nOpen it read-only? Nothing of "
                       "this run will be written to the workspace. Choose No to quit.")
            .arg(QDir::toNativeSeparators(workspace.appDir()), user);
    if (!Dialogs::current().askYesNo(nullptr, question))
        return std::nullopt;
    return workspace.readOnly();
}

} // namespace brimlark
