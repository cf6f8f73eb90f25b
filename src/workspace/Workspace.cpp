// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/Workspace.h"

#include <QCoreApplication>
#include <QDir>

Workspace::Workspace(const QString &appDir) : m_appDir(QDir::fromNativeSeparators(appDir))
{
    if (!m_appDir.endsWith(u'/'))
        m_appDir += u'/';
}

Workspace Workspace::ofProgram() { return Workspace(QCoreApplication::applicationDirPath()); }
