// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

namespace brimlark
{

/// The input/output messages the user sees for a system error number.
class FileErrors
{
public:
    /// "File not found", "File access denied", "Invalid filename", "Too many open files",
    /// "Disk full", or "I/O error %d" with the number.
    static QString message(int error);
    /// The message followed by the file it concerns: "File not found: /data/map.gin". The
    /// numbered "I/O error" adds the system's wording, as the number alone does not say
    /// what went wrong: "I/O error 21: /data/map.gin: Is a directory".
    static QString message(int error, const QString &path);
};

} // namespace brimlark
