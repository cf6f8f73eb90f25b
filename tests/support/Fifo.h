// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace brimlark
{

/// A named pipe, with no program writing into it, or with one that writes some bytes as a
/// program would and then closes it, which the reader sees as the end of the file.
class Fifo
{
public:
    /// Makes the pipe at path; valid() tells whether that worked.
    explicit Fifo(const QString &path) : m_name(QFile::encodeName(path))
    {
        m_valid = ::mkfifo(m_name.constData(), 0600) == 0;
        // A reader that stops early must not kill the test with the writer.
        std::signal(SIGPIPE, SIG_IGN);
    }
    /// Stops a writer whose bytes no reader took.
    ~Fifo()
    {
        m_stop = true;
        if (m_writer.joinable())
            m_writer.join();
    }
    Fifo(const Fifo &) = delete;
    Fifo &operator=(const Fifo &) = delete;

    bool valid() const { return m_valid; }
    /// A writer of bytes (no more than the pipe holds, 64 KiB), there before any reader
    /// comes: a reader that comes first sees no writer and reads an empty file. Opening for
    /// reading and writing does not wait for a reader, and keeps the bytes in the pipe
    /// until one has taken them all; then the writer closes the pipe.
    void write(const QByteArray &bytes)
    {
        const int fd = ::open(m_name.constData(), O_RDWR | O_CLOEXEC);
        if (fd < 0 || ::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size()) {
            ADD_FAILURE() << "cannot write into the pipe " << m_name.constData();
            if (fd >= 0)
                ::close(fd);
            return;
        }
        m_writer = std::thread([this, fd] {
            int waiting = 0;
            while (!m_stop && ::ioctl(fd, FIONREAD, &waiting) == 0 && waiting > 0)
                std::this_thread::sleep_for(std::chrono::milliseconds(1));
            ::close(fd);
        });
    }

private:
    QByteArray m_name;
    bool m_valid = false;
    std::atomic<bool> m_stop = false;
    std::thread m_writer;
};

} // namespace brimlark
