// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/ReplacingFile.h"

#include <QImage>
#include <QString>

#include <condition_variable>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace brimlark
{

/// Writes the workspace bitmaps behind the editing, on a thread of its own, so that a press,
/// an undo or a Generate returns as soon as the chart is drawn. Each file is replaced as a
/// whole and synced as ChartFiles writes it, so a program killed at any moment leaves every
/// file readable. A newer picture for a file replaces one still waiting to be written: after
/// a burst of presses only the last is written. The pictures are shared copies, which the
/// editing leaves alone by copying on its next change.
class BitmapWriter
{
public:
    BitmapWriter();
    /// Waits for the writes still waiting, then stops.
    ~BitmapWriter();
    BitmapWriter(const BitmapWriter &) = delete;
    BitmapWriter &operator=(const BitmapWriter &) = delete;

    /// Queues the picture for the file, in place of one still waiting for it.
    void write(const QString &path, const QImage &image, int paletteBits, ReplacingFile::Sync sync);
    /// Waits for every write queued so far; then a ChartError with the message of the first
    /// that failed since the last look, if any did.
    void finish();
    /// The message of a write that failed since the last look, without waiting.
    std::optional<QString> takeFailure();
    /// Waits for the queued writes of every writer in the process, as a reader of the
    /// workspace files from outside the editing (a test, a second window) needs to.
    static void finishAll();

private:
    struct Job {
        QString path;
        QImage image;
        int paletteBits;
        ReplacingFile::Sync sync;
    };

    void run();
    void waitUntilIdle(std::unique_lock<std::mutex> &lock);

    std::mutex m_mutex;
    std::condition_variable m_wake; // a job is queued, or the writer stops
    std::condition_variable m_idle; // nothing is queued or being written
    std::vector<Job> m_queue;       // in the order the files were first asked for
    bool m_writing = false;
    bool m_stopping = false;
    std::optional<QString> m_failure;
    std::thread m_thread;
};

} // namespace brimlark
