// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/DataFile.h"

#include "base/ChartError.h"
#include "base/FileErrors.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace brimlark
{

namespace
{

// Opening a pipe for reading waits until a program opens it for writing, for ever if none
// does. Opened without waiting, and then read with waiting as usual, a pipe with a writer
// reads what it writes and one without reads as an empty file. Other files are not
// affected. -1 with errno set when the file cannot be opened.
int openForReading(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return -1;
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) < 0) {
        const int error = errno;
        ::close(fd);
        errno = error;
        return -1;
    }
    return fd;
}

// Reads up to size bytes, fewer only at the end of the file; -1 with errno set on failure.
qint64 readFully(int fd, char *buffer, qint64 size)
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::read(fd, buffer + done, size_t(size - done));
        if (n == 0)
            break;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        done += n;
    }
    return done;
}

// Reads the rest of an open file, at most limit bytes and one more. A regular file's size
// is known: one read takes all of it, and a file over the limit is refused unread. Other
// files are read in blocks until their end. Returns the system's error number, 0 when read.
int readUpTo(int fd, qint64 limit, QByteArray &bytes)
{
    struct stat status;
    const bool regular = ::fstat(fd, &status) == 0 && S_ISREG(status.st_mode);
    if (regular && status.st_size > limit)
        return EFBIG;
    // A byte more than the size shows the end, or that the file grew meanwhile.
    qint64 block = regular ? status.st_size + 1 : 65536;
    qint64 left = limit + 1;
    while (left > 0) {
        const qint64 wanted = qMin(block, left);
        const qsizetype start = bytes.size();
        bytes.resize(start + qsizetype(wanted));
        const qint64 n = readFully(fd, bytes.data() + start, wanted);
        if (n < 0)
            return errno;
        bytes.resize(start + qsizetype(n));
        if (n < wanted)
            return 0;
        left -= n;
        // Files of the system report a size of 0 and still have content. Blocks as large
        // as what was read so far keep the number of reads and of resizes small.
        block = qMax<qint64>(65536, bytes.size());
    }
    return EFBIG;
}

} // namespace

DataFile::DataFile(const QString &path, const FileLimit &limit) : m_path(path), m_limit(limit)
{
    m_fd = openForReading(path);
    if (m_fd < 0)
        throw ChartError(FileErrors::message(errno, path));
}

DataFile::~DataFile() { ::close(m_fd); }

qint64 DataFile::read(char *buffer, qint64 size)
{
    // Up to the byte past the limit, which no file within it has.
    const qint64 n = readFully(m_fd, buffer, qMin(size, m_limit.bytes() + 1 - m_read));
    if (n < 0)
        throw ChartError(FileErrors::message(errno, m_path));
    m_read += n;
    if (m_read > m_limit.bytes())
        throw ChartError(QStringLiteral("File %1: %2").arg(m_limit.reason(), m_path));
    return n;
}

DataFile::Contents DataFile::readAll(const QString &path, const FileLimit &limit)
{
    Contents contents;
    const int fd = openForReading(path);
    contents.error = fd < 0 ? errno : readUpTo(fd, limit.bytes(), contents.bytes);
    if (fd >= 0)
        ::close(fd);
    if (contents.error != 0) {
        contents.bytes.clear();
        contents.reason =
            contents.error == EFBIG ? limit.reason() : qt_error_string(contents.error);
    }
    return contents;
}

void DataFile::throwReadBeyondEnd() const
{
    throw ChartError(QStringLiteral("Read beyond end of file: ") + m_path);
}

} // namespace brimlark
