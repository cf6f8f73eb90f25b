// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "canvas/ReplacingFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

ReplacingFile::ReplacingFile(const QString &path, Sync sync) : m_path(path), m_sync(sync) {}

ReplacingFile::~ReplacingFile()
{
    if (m_file.isOpen())
        m_file.close();
    if (!m_committed && !m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

bool ReplacingFile::open()
{
    m_temporary = QFile::encodeName(m_path) + ".XXXXXX";
    const int fd = ::mkstemp(m_temporary.data());
    if (fd < 0) {
        m_error = errno;
        m_temporary.clear();
        return false;
    }
    // A new file gets the usual permissions, not the temporary file's private ones.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    if (!m_file.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        m_error = errno ? errno : EIO;
        ::close(fd);
        return false;
    }
    return true;
}

bool ReplacingFile::commit()
{
    errno = 0;
    const bool written = m_file.flush() && m_file.error() == QFileDevice::NoError
                         && (m_sync == Sync::Later || ::fsync(m_file.handle()) == 0);
    if (!written) {
        m_error = errno ? errno : EIO;
        return false;
    }
    m_file.close();
    if (::rename(m_temporary.constData(), QFile::encodeName(m_path).constData()) != 0) {
        m_error = errno;
        return false;
    }
    m_committed = true;
    return true;
}

bool ReplacingFile::write(const QString &path, const QByteArray &bytes, Sync sync, int *error)
{
    ReplacingFile file(path, sync);
    const bool written = file.open() && file.writeAll(bytes) && file.commit();
    if (!written && error)
        *error = file.error();
    return written;
}

bool ReplacingFile::writeAll(const QByteArray &bytes)
{
    errno = 0;
    if (m_file.write(bytes) == bytes.size())
        return true;
    m_error = errno ? errno : EIO;
    return false;
}
