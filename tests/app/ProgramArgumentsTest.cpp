// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// The program's command line: charts to load, --help and --version, usage errors.
#include "app/ProgramArguments.h"

#include <QDir>
#include <QProcess>
#include <QProcessEnvironment>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

using Action = ProgramArguments::Action;

struct CommandLine {
    QStringList arguments; // after the program's own path
    Action action;
    QStringList charts; // relative to the current folder
};

void PrintTo(const CommandLine &line, std::ostream *out)
{
    *out << "brimlark " << line.arguments.join(u' ').toStdString();
}

class ProgramArgumentsTest : public ::testing::TestWithParam<CommandLine>
{
};

const CommandLine CommandLines[] = {
    {{}, Action::Run, {}},
    {{"a.gif"}, Action::Run, {"a.gif"}},
    {{"a.gif", "sub/b.PNG"}, Action::Run, {"a.gif", "sub/b.PNG"}},
    {{"--", "-dash.bmp"}, Action::Run, {"-dash.bmp"}},
    {{"--help"}, Action::Help, {}},
    {{"-h"}, Action::Help, {}},
    {{"--version"}, Action::Version, {}},
    {{"-v"}, Action::Version, {}},
    // Help and version answer whatever else is on the line, Qt's own options included.
    {{"a.gif", "--version"}, Action::Version, {"a.gif"}},
    {{"-platform", "offscreen", "--help"}, Action::Help, {"offscreen"}},
    {{"--bogus"}, Action::UsageError, {}},
    {{"a.gif", "-x"}, Action::UsageError, {"a.gif"}},
};

} // namespace

TEST_P(ProgramArgumentsTest, ReadsTheCommandLine)
{
    const CommandLine &line = GetParam();
    const ProgramArguments parsed =
        ProgramArguments::parse(QStringList{QStringLiteral("brimlark")} + line.arguments);
    EXPECT_EQ(parsed.action(), line.action);
    QStringList charts;
    for (const QString &chart : line.charts)
        charts.append(QDir::current().absoluteFilePath(chart));
    EXPECT_EQ(parsed.charts(), charts);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, ProgramArgumentsTest, ::testing::ValuesIn(CommandLines));

TEST(ProgramArgumentsText, UsageErrorIsOneLineAndAPointerToHelp)
{
    const ProgramArguments parsed = ProgramArguments::parse({"brimlark", "--bogus"});
    EXPECT_EQ(parsed.text(),
              QStringLiteral("brimlark: Unknown option 'bogus'.\nTry 'brimlark --help'.\n"));
}

// Run without any display, the program would abort if it tried to open its window.
TEST(ProgramArgumentsProcess, HelpAndVersionPrintAndExitWithoutAWindow)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        environment.remove(QLatin1String(name));
    const struct {
        const char *option;
        QString output;
    } runs[] = {
        {"--version", QStringLiteral("brimlark " BRIMLARK_VERSION_TEXT "\n")},
        {"--help", ProgramArguments::usage()},
    };
    for (const auto &run : runs) {
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(BRIMLARK_PROGRAM), {QLatin1String(run.option)});
        if (!process.waitForFinished(20000))
            process.kill();
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << run.option;
        EXPECT_EQ(process.exitCode(), 0) << run.option;
        EXPECT_EQ(QString::fromLocal8Bit(process.readAllStandardOutput()), run.output)
            << run.option;
        EXPECT_EQ(process.readAllStandardError(), QByteArray()) << run.option;
    }
}
