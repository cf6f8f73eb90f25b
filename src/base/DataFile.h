// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstring>
#include <vector>

namespace brimlark
{

/// A file opened for reading in large blocks, whose failures carry the input/output
/// messages ("File not found", "File access denied", ...) and the file's path, so that the
/// user learns which of the map files is missing or broken: "File not found: /data/map.gin".
class DataFile
{
public:
    /// Opens the file; the input/output message with the path when that fails.
    explicit DataFile(const QString &path);
    ~DataFile();
    DataFile(const DataFile &) = delete;
    DataFile &operator=(const DataFile &) = delete;

    /// Reads up to size bytes, fewer only at the end; 0 at the end of the file.
    qint64 read(char *buffer, qint64 size);
    /// The whole content of a file. Its failures are the message alone ("File not found"):
    /// it reads the workspace's fields file, whose absence at a first start is reported so.
    static QByteArray readAll(const QString &path);
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
    DataFile(const QString &path, bool namesPath);
    QString failure(int error) const;

    QString m_path;
    bool m_namesPath;
    int m_fd = -1;
};

} // namespace brimlark
