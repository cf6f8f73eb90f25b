// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QObject>
#include <QString>

#include <stdexcept>

namespace brimlark
{

/// The control of a window with an objectName. A missing control fails the running test
/// with its name (GoogleTest reports the exception), instead of ending the whole suite on a
/// null pointer.
template <typename T> T *control(const QObject &window, const QString &name)
{
    T *found = window.findChild<T *>(name);
    if (!found)
        throw std::runtime_error("no control named " + name.toStdString());
    return found;
}

} // namespace brimlark
