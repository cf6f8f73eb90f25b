// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QString>

#include <cstring>
#include <vector>

/// A file opened for reading in large blocks, whose failures carry the input/output
/// messages ("File not found", "File access denied", ...).
class DataFile
{
public:
    /// Opens the file; the input/output message when that fails.
    explicit DataFile(const QString &path);
    ~DataFile();
    DataFile(const DataFile &) = delete;
    DataFile &operator=(const DataFile &) = delete;

    /// Reads up to size bytes, fewer only at the end; 0 at the end of the file.
    qint64 read(char *buffer, qint64 size);
    /// The whole content of a file.
    static QByteArray readAll(const QString &path);
    /// "Read beyond end of file": a file ends inside a record.
    [[noreturn]] static void throwReadBeyondEnd();

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
    int m_fd = -1;
};
