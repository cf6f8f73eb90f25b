// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include "base/DescriptorDevice.h"

#include <QByteArray>
#include <QString>

#include <memory>

namespace brimlark
{

/// Replaces a file as a whole: everything is written to a temporary file beside it, which
/// takes the file's name only when all of it is written, so a failed or interrupted write
/// leaves the previous file as it was. By default the data reach the disk before the
/// rename; a batch tool may leave that to the system.
class ReplacingFile
{
public:
    enum class Sync { ToDisk, Later };

    explicit ReplacingFile(const QString &path, Sync sync = Sync::ToDisk);
    /// Removes the temporary file of a replacement that was not committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile &) = delete;
    ReplacingFile &operator=(const ReplacingFile &) = delete;

    /// Creates the temporary file, named after the file with a dot and six letters or
    /// digits; false when the folder refuses it.
    bool open();
    /// The device to write to once open.
    QIODevice &device() { return *m_device; }
    /// Puts the written file in place of the old one; false when that fails.
    bool commit();
    /// The system's error number of the failure.
    int error() const { return m_error ? m_error : m_device ? m_device->lastError() : 0; }

    /// Writes all the bytes to the path, replacing it; false on failure, with the system's
    /// error number in *error when one is asked for.
    static bool write(const QString &path, const QByteArray &bytes, Sync sync = Sync::ToDisk,
                      int *error = nullptr);

private:
    bool createTemporary();

    QString m_path;
    Sync m_sync;
    QByteArray m_temporary;
    int m_descriptor = -1;
    std::unique_ptr<DescriptorDevice> m_device;
    int m_error = 0;
    bool m_committed = false;
};

} // namespace brimlark
