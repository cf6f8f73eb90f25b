// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <exception>
#include <string>

namespace brimlark
{

/// The one error type of the core: its text is the message as the user sees it.
class ChartError : public std::exception
{
public:
    explicit ChartError(QString message);

    /// The user-facing message, exactly as worded by the system.
    const QString &message() const { return m_message; }
    const char *what() const noexcept override { return m_utf8.c_str(); }

    /// "Cannot open file %s" for a file that cannot be read.
    static ChartError cannotOpen(const QString &path);
    /// "Cannot open file %s" followed by why: "Cannot open file /dev/zero: larger than ...".
    static ChartError cannotOpen(const QString &path, const QString &reason);
    /// "Cannot create file %s" for a file that cannot be written; with the system's error
    /// number, its wording follows: "Cannot create file /a/temp0.bmp: No space left on device".
    static ChartError cannotCreate(const QString &path, int error = 0);
    /// "Bitmap image is not valid" for a damaged or unsupported bitmap.
    static ChartError invalidBitmap();

private:
    QString m_message;
    std::string m_utf8;
};

} // namespace brimlark
