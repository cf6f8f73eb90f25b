// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#pragma once

#include <QString>
#include <QStringList>

namespace brimlark
{

/// What the command line of the program asks for: the window, with the charts named on it
/// loaded in turn, or only the help or the version printed.
class ProgramArguments
{
public:
    enum class Action { Run, Help, Version, UsageError };

    /// Reads the arguments, the program's own path first. --help and --version win over
    /// anything else on the line, so they answer even beside options they do not know.
    static ProgramArguments parse(const QStringList &arguments);

    Action action() const { return m_action; }
    /// The charts to load, as absolute paths, in the order given.
    const QStringList &charts() const { return m_charts; }
    /// The text to print: the usage, the version, or for a usage error one line naming it
    /// and one pointing to --help.
    QString text() const;

    static QString usage();
    static QString version();

private:
    Action m_action = Action::Run;
    QStringList m_charts;
    QString m_error;
};

} // namespace brimlark
