// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "support/ReadOnlyFolder.h"

#include <QFile>

#include <sys/stat.h>
#include <unistd.h>

namespace brimlark
{

namespace
{
constexpr uid_t Nobody = 65534;
}

ReadOnlyFolder::ReadOnlyFolder(const QString &path) : m_path(path)
{
    ::chmod(QFile::encodeName(path).constData(), 0555);
    if (::geteuid() == 0)
        m_switchedUser = ::seteuid(Nobody) == 0;
}

ReadOnlyFolder::~ReadOnlyFolder()
{
    if (m_switchedUser && ::seteuid(0) != 0)
        return;
    ::chmod(QFile::encodeName(m_path).constData(), 0755);
}

} // namespace brimlark
