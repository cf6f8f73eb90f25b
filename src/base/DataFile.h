// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/FileLimit.h"

#include <QByteArray>
#include <QString>

#include <cstring>
#include <vector>

namespace brimlark
{

/// A file opened for reading in large blocks, whose failures carry the input/output
/// messages ("File not found", "File access denied", ...) and the file's path, so that the
/// user learns which of the map files is missing or broken: "File not found: /data/map.gin".
///
/// Any kind of file is read, up to a limit: a pipe or a device is read until its end, or
/// refused one byte past the limit. Opening never waits for a program to write into a pipe,
/// and a pipe that no program has open for writing reads as an empty file.
class DataFile
{
public:
    /// What readAll found: the whole file, or why it was not read.
    struct Contents {
        QByteArray bytes;
        /// The system's error number of the failure, EFBIG for a file over the limit; 0
        /// when the file was read.
        int error = 0;
        /// The failure in words: the system's wording ("No such file or directory") or the
        /// limit's ("larger than 16 MiB, too large for a bulletin"); empty when read.
        QString reason;
    };

    /// Opens the file; the input/output message with the path when that fails. Reading
    /// past the limit fails, naming the file.
    explicit DataFile(const QString &path, const FileLimit &limit = FileLimit::MapData);
    ~DataFile();
    DataFile(const DataFile &) = delete;
    DataFile &operator=(const DataFile &) = delete;

    /// Reads up to size bytes, fewer only at the end; 0 at the end of the file.
    qint64 read(char *buffer, qint64 size);
    /// The whole content of a file of at most limit.bytes() bytes. Failures are returned,
    /// not thrown, as each kind of file words them in its own way.
    static Contents readAll(const QString &path, const FileLimit &limit);
    /// "Read beyond end of file: <path>": the file ends inside a record.
    [[noreturn]] void throwReadBeyondEnd() const;

    /// Calls visit(const uchar *record) for every whole record of the file, read in blocks
    /// of about 64 KiB; a file that ends inside a record fails after the whole ones.
    template <typename Visit> void forEachRecord(qsizetype recordSize, Visit &&visit)
    {
        const qsizetype blockSize = (65536 / recordSize) * recordSize;
        std::vector<uchar> block(static_cast<size_t>(blockSize));
        qint64 carried = 0; // bytes of an incomplete record left from the last block
        for (;;) {
            const qint64 n =
                read(reinterpret_cast<char *>(block.data()) + carried, blockSize - carried);
            const qint64 available = carried + n;
            const qint64 records = available / recordSize;
            for (qint64 i = 0; i < records; ++i)
                visit(block.data() + i * recordSize);
            carried = available - records * recordSize;
            if (n == 0)
                break;
            std::memmove(block.data(), block.data() + records * recordSize, size_t(carried));
        }
        if (carried != 0)
            throwReadBeyondEnd();
    }

    /// A signed 16-bit little-endian value.
    static qint16 int16At(const uchar *p) { return qint16(quint16(p[0] | (p[1] << 8))); }

private:
    QString m_path;
    FileLimit m_limit;
    qint64 m_read = 0; // bytes read so far
    int m_fd = -1;
};

} // namespace brimlark
