// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// One program per workspace: the lock, its takeover from a program that is gone, and the
// choice a second program offers.
#include "app/WorkspaceClaim.h"
#include "RecordingDialogs.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace brimlark;

namespace
{

// The number of a process that has ended.
qint64 endedProcess()
{
    QProcess process;
    process.start(QStringLiteral("true"), {});
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

} // namespace

// Two programs on one workspace wrote over each other's chart at Exit.
TEST(WorkspaceClaim, SecondProgramIsAskedAndOpensReadOnlyOrQuits)
{
    QTemporaryDir dir;
    const Workspace workspace(dir.path());
    WorkspaceLock first(workspace);
    ASSERT_TRUE(WorkspaceClaim::claim(workspace, first).has_value());

    RecordingDialogs dialogs;
    for (const bool openReadOnly : {true, false}) {
        WorkspaceLock second(workspace);
        dialogs.yesAnswer = openReadOnly;
        const auto claimed = WorkspaceClaim::claim(workspace, second);
        ASSERT_EQ(claimed.has_value(), openReadOnly);
        if (claimed) {
            EXPECT_FALSE(claimed->writesFiles());
        }
    }
    ASSERT_EQ(dialogs.questions.size(), 2);
    EXPECT_TRUE(dialogs.questions[0].contains(
        QStringLiteral("in use by process %1").arg(QCoreApplication::applicationPid())))
        << dialogs.questions[0].toStdString();
}

TEST(WorkspaceClaim, LockOfAProgramThatIsGoneIsTakenOver)
{
    QTemporaryDir dir;
    const Workspace workspace(dir.path());
    const QString lockPath = workspace.path(QStringLiteral("brimlark.lock"));
    QByteArray contents;
    {
        WorkspaceLock killed(workspace);
        ASSERT_TRUE(killed.tryLock());
        QFile file(lockPath);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        contents = file.readAll();
    }
    // The same lock as a program killed before it could remove it leaves behind.
    contents.replace(0, contents.indexOf('\n'), QByteArray::number(endedProcess()));
    QFile file(lockPath);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(contents);
    file.close();

    RecordingDialogs dialogs;
    WorkspaceLock next(workspace);
    const auto claimed = WorkspaceClaim::claim(workspace, next);
    ASSERT_TRUE(claimed.has_value());
    EXPECT_TRUE(claimed->writesFiles());
    EXPECT_TRUE(dialogs.questions.isEmpty());
}
