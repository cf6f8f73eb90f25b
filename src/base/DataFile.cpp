// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/DataFile.h"

#include "base/ChartError.h"
#include "base/FileErrors.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace brimlark
{

DataFile::DataFile(const QString &path) : DataFile(path, true) {}

DataFile::DataFile(const QString &path, bool namesPath) : m_path(path), m_namesPath(namesPath)
{
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0)
        throw ChartError(failure(errno));
}

DataFile::~DataFile() { ::close(m_fd); }

qint64 DataFile::read(char *buffer, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(m_fd, buffer + done, size_t(size - done));
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw ChartError(failure(errno));
        }
        done += n;
    }
    return done;
}

QByteArray DataFile::readAll(const QString &path)
{
    DataFile file(path, false);
    QByteArray bytes;
    char buffer[65536];
    while (const qint64 n = file.read(buffer, sizeof buffer))
        bytes.append(buffer, qsizetype(n));
    return bytes;
}

void DataFile::throwReadBeyondEnd() const
{
    const QString message = QStringLiteral("Read beyond end of file");
    throw ChartError(m_namesPath ? message + QStringLiteral(": ") + m_path : message);
}

QString DataFile::failure(int error) const
{
    return m_namesPath ? FileErrors::message(error, m_path) : FileErrors::message(error);
}

} // namespace brimlark
