// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
#include "app/ProgramArguments.h"

#include <QCommandLineParser>
#include <QFileInfo>

namespace brimlark
{

ProgramArguments ProgramArguments::parse(const QStringList &arguments)
{
    QCommandLineParser parser;
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")});
    parser.addOption(help);
    parser.addOption(version);
    const bool parsed = parser.parse(arguments);

    ProgramArguments result;
    if (parser.isSet(help))
        result.m_action = Action::Help;
    else if (parser.isSet(version))
        result.m_action = Action::Version;
    else if (!parsed) {
        result.m_action = Action::UsageError;
        result.m_error = parser.errorText();
    }
    for (const QString &chart : parser.positionalArguments())
        result.m_charts.append(QFileInfo(chart).absoluteFilePath());
    return result;
}

QString ProgramArguments::text() const
{
    switch (m_action) {
    case Action::Help:
        return usage();
    case Action::Version:
        return version() + u'\n';
    case Action::UsageError:
        return QStringLiteral("brimlark: %1\nTry 'brimlark --help'.\n").arg(m_error);
    case Action::Run:
        break;
    }
    return QString();
}

QString ProgramArguments::usage()
{
    return QStringLiteral(
        "usage: brimlark [CHART]...\n"
        "       brimlark --help | --version\n"
        "Opens the chart window. Each CHART (.gif, .jpg, .jpeg, .bmp or .png) is loaded in\n"
        "turn as Map > Load from file does.\n"
        "  -h, --help     print this help and exit\n"
        "  -v, --version  print the version and exit\n");
}

QString ProgramArguments::version() { return QStringLiteral("brimlark " BRIMLARK_VERSION); }

} // namespace brimlark
