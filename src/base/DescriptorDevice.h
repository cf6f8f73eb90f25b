// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QIODevice>

namespace brimlark
{

/// A write-only device straight onto an open file descriptor, without a buffer in between,
/// that keeps the system's error number of the write that failed: read after a buffered
/// Qt write, errno may belong to another call.
class DescriptorDevice : public QIODevice
{
public:
    /// Writes to the descriptor, which stays the caller's to close.
    explicit DescriptorDevice(int descriptor);

    bool isSequential() const override { return true; }
    /// The error number of the failed write, 0 while every write succeeded.
    int lastError() const { return m_error; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_descriptor;
    int m_error = 0;
};

} // namespace brimlark
