// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/FileErrors.h"

#include <cerrno>

namespace brimlark
{

namespace
{

// The message of an error that has one of its own; empty for the others.
QString namedMessage(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return QStringLiteral("File not found");
    case EACCES:
    case EPERM:
    case EROFS:
        return QStringLiteral("File access denied");
    case ENAMETOOLONG:
    case EINVAL:
        return QStringLiteral("Invalid filename");
    case EMFILE:
    case ENFILE:
        return QStringLiteral("Too many open files");
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("Disk full");
    default:
        return QString();
    }
}

} // namespace

QString FileErrors::message(int error)
{
    const QString named = namedMessage(error);
    return named.isEmpty() ? QStringLiteral("I/O error %1").arg(error ? error : EIO) : named;
}

QString FileErrors::message(int error, const QString &path)
{
    const QString named = namedMessage(error);
    if (!named.isEmpty())
        return named + QStringLiteral(": ") + path;
    const int number = error ? error : EIO;
    return QStringLiteral("I/O error %1: %2: %3").arg(number).arg(path, qt_error_string(number));
}

} // namespace brimlark
