// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "workspace/BitmapWriter.h"

#include "base/ChartError.h"
#include "formats/BmpCodec.h"

#include <algorithm>
#include <exception>
#include <set>

#include <pthread.h>

namespace brimlark
{

namespace
{

// Every writer alive, for finishAll.
std::mutex writersMutex;
std::set<BitmapWriter *> writers;

} // namespace

BitmapWriter::BitmapWriter() : m_thread([this] { run(); })
{
    const std::lock_guard lock(writersMutex);
    writers.insert(this);
}

BitmapWriter::~BitmapWriter()
{
    {
        const std::lock_guard lock(writersMutex);
        writers.erase(this);
    }
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void BitmapWriter::write(const QString &path, const QImage &image, int paletteBits,
                         ReplacingFile::Sync sync)
{
    {
        const std::lock_guard lock(m_mutex);
        const auto waiting = std::find_if(m_queue.begin(), m_queue.end(),
                                          [&](const Job &job) { return job.path == path; });
        if (waiting != m_queue.end())
            *waiting = Job{path, image, paletteBits, sync};
        else
            m_queue.push_back(Job{path, image, paletteBits, sync});
    }
    m_wake.notify_one();
}

void BitmapWriter::waitUntilIdle(std::unique_lock<std::mutex> &lock)
{
    m_idle.wait(lock, [this] { return m_queue.empty() && !m_writing; });
}

void BitmapWriter::finish()
{
    std::unique_lock lock(m_mutex);
    waitUntilIdle(lock);
    if (const std::optional<QString> failure = std::exchange(m_failure, std::nullopt))
        throw ChartError(*failure);
}

std::optional<QString> BitmapWriter::takeFailure()
{
    const std::lock_guard lock(m_mutex);
    return std::exchange(m_failure, std::nullopt);
}

void BitmapWriter::finishAll()
{
    const std::lock_guard all(writersMutex);
    for (BitmapWriter *writer : writers) {
        std::unique_lock lock(writer->m_mutex);
        writer->waitUntilIdle(lock);
    }
}

// Writes the jobs one by one, the first queued first, until the writer stops with nothing
// left to write. A failure is kept for the editing to report; the first one wins.
void BitmapWriter::run()
{
#if defined(__linux__)
    pthread_setname_np(pthread_self(), "bitmap-writer"); // as top and a profiler show it
#endif
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_queue.empty() || m_stopping; });
        if (m_queue.empty())
            return; // stopping, with everything written
        Job job = std::move(m_queue.front());
        m_queue.erase(m_queue.begin());
        m_writing = true;
        lock.unlock();
        std::optional<QString> failure;
        try {
            BmpCodec::writeFile(job.path, job.image, job.paletteBits, job.sync);
        } catch (const ChartError &e) {
            failure = e.message();
        } catch (const std::exception &e) { // memory for the encoding: the file stays as it was
            failure = QStringLiteral("Cannot create file %1: %2")
                          .arg(job.path, QString::fromLocal8Bit(e.what()));
        }
        job.image = QImage(); // let the editing have its picture back unshared
        lock.lock();
        m_writing = false;
        if (failure && !m_failure)
            m_failure = failure;
        if (m_queue.empty())
            m_idle.notify_all();
    }
}

} // namespace brimlark
