// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace brimlark
{

/// The one place where the shell catches errors: every handler runs through guard, which
/// shows a failure in the error box and ends the handler at the failing step.
class ErrorBox
{
public:
    /// Runs a handler; returns false when it failed and its error was shown.
    static bool guard(QWidget *parent, const std::function<void()> &handler);
    /// Shows a message in the error box.
    static void show(QWidget *parent, const QString &message);
    /// The message as the box shows it: with a full stop appended when it lacks one.
    static QString boxText(const QString &message);
};

} // namespace brimlark
