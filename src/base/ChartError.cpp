// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "base/ChartError.h"

namespace brimlark
{

ChartError::ChartError(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toStdString())
{
}

ChartError ChartError::cannotOpen(const QString &path)
{
    return ChartError(QStringLiteral("Cannot open file %1").arg(path));
}

ChartError ChartError::cannotOpen(const QString &path, const QString &reason)
{
    return ChartError(QStringLiteral("Cannot open file %1: %2").arg(path, reason));
}

ChartError ChartError::cannotCreate(const QString &path, int error)
{
    const QString message = QStringLiteral("Cannot create file %1").arg(path);
    return ChartError(error ? message + QStringLiteral(": ") + qt_error_string(error) : message);
}

ChartError ChartError::invalidBitmap()
{
    return ChartError(QStringLiteral("Bitmap image is not valid"));
}

} // namespace brimlark
