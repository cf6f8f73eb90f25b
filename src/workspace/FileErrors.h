// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

/// The input/output messages the user sees for a system error number.
class FileErrors
{
public:
    /// "File not found", "File access denied", "Invalid filename", "Too many open files",
    /// "Disk full", or "I/O error %d" with the number.
    static QString message(int error);
};
