// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/ReplacingFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace brimlark
{

ReplacingFile::ReplacingFile(const QString &path, Sync sync) : m_path(path), m_sync(sync) {}

ReplacingFile::~ReplacingFile()
{
    if (m_descriptor >= 0)
        ::close(m_descriptor);
    if (!m_committed && !m_temporary.isEmpty())
        ::unlink(m_temporary.constData());
}

bool ReplacingFile::open()
{
    if (!createTemporary())
        return false;
    m_device = std::make_unique<DescriptorDevice>(m_descriptor);
    return true;
}

// The temporary file is created with the usual permissions of a new file (the process's
// umask applies), not the private ones of mkstemp, and without changing the umask, which
// belongs to the whole process.
bool ReplacingFile::createTemporary()
{
    static constexpr char Letters[] =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    const QByteArray target = QFile::encodeName(m_path);
    for (int attempt = 0; attempt < 100; ++attempt) {
        QByteArray name = target + '.';
        for (int i = 0; i < 6; ++i)
            name += Letters[QRandomGenerator::global()->bounded(int(sizeof Letters) - 1)];
        m_descriptor = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_descriptor >= 0) {
            m_temporary = name;
            return true;
        }
        if (errno != EEXIST)
            break;
    }
    m_error = errno;
    return false;
}

bool ReplacingFile::commit()
{
    if (m_device->lastError() != 0)
        return false;
    if (m_sync == Sync::ToDisk && ::fsync(m_descriptor) != 0) {
        m_error = errno;
        return false;
    }
    const int closed = ::close(m_descriptor);
    m_descriptor = -1;
    if (closed != 0) {
        m_error = errno;
        return false;
    }
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
    const bool written = file.open() && file.device().write(bytes) == bytes.size() && file.commit();
    if (!written && error)
        *error = file.error();
    return written;
}

} // namespace brimlark
