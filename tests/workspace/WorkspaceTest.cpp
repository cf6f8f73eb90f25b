// Brimlark - hand-analysed weather charts. Licensed under the MIT licence.
// Where the program keeps its workspace and finds its map data, in fake layouts of a build
// tree, an unpacked folder and an install into a prefix.
#include "workspace/Workspace.h"
#include "support/ReadOnlyFolder.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <optional>

using namespace brimlark;

namespace
{

enum class Kept { InProgramFolder, InUserFolder };

struct Layout {
    const char *name;
    QStringList mapData; // folders holding map.gin, relative to the temporary root
    bool programFolderReadOnly;
    Kept workspace;
    const char *mapDataDir; // relative to the temporary root
};

void PrintTo(const Layout &layout, std::ostream *out) { *out << layout.name; }

class WorkspaceLocationTest : public ::testing::TestWithParam<Layout>
{
protected:
    void SetUp() override { QStandardPaths::setTestModeEnabled(true); }
    void TearDown() override { QStandardPaths::setTestModeEnabled(false); }

    QString folder(const QString &relative) const
    {
        return QDir::cleanPath(root.filePath(relative)) + u'/';
    }
    void putMapData(const QString &relative) const
    {
        QDir().mkpath(root.filePath(relative));
        QFile file(root.filePath(relative + QStringLiteral("/map.gin")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }

    QTemporaryDir root;
};

// The program always sits in prefix/bin/; an install has its data in prefix/share/brimlark/.
// Under root every folder is writable, as /usr/bin is.
const Layout Layouts[] = {
    {"InstallWithWritableBinUsesTheUserFolder",
     {"share/brimlark"},
     false,
     Kept::InUserFolder,
     "share/brimlark"},
    {"InstallWithReadOnlyBinUsesTheUserFolder",
     {"share/brimlark"},
     true,
     Kept::InUserFolder,
     "share/brimlark"},
    {"BuildTreeUsesItsOwnFolder", {"bin"}, false, Kept::InProgramFolder, "bin"},
    {"DataBesideWinsOverAnInstallBelow",
     {"bin", "share/brimlark"},
     false,
     Kept::InProgramFolder,
     "bin"},
    {"NoMapDataAnywhereKeepsTheOwnFolder", {}, false, Kept::InProgramFolder, "bin"},
};

} // namespace

TEST_P(WorkspaceLocationTest, FollowsWhereTheMapDataSit)
{
    const Layout &layout = GetParam();
    QDir().mkpath(root.filePath(QStringLiteral("bin")));
    for (const QString &dir : layout.mapData)
        putMapData(dir);
    const QString programDir = root.filePath(QStringLiteral("bin"));
    const QString userDir =
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) + u'/';

    std::optional<Workspace> workspace;
    {
        std::optional<ReadOnlyFolder> readOnly;
        if (layout.programFolderReadOnly)
            readOnly.emplace(programDir);
        workspace.emplace(Workspace::ofProgramIn(programDir));
    }

    EXPECT_EQ(workspace->appDir(),
              layout.workspace == Kept::InUserFolder ? userDir : folder("bin"));
    EXPECT_EQ(workspace->mapDataPath(QStringLiteral("map.gin")),
              folder(QLatin1String(layout.mapDataDir)) + QStringLiteral("map.gin"));
    EXPECT_EQ(Workspace::mapDataOfProgramIn(programDir) + u'/',
              folder(QLatin1String(layout.mapDataDir)));
}

INSTANTIATE_TEST_SUITE_P(Layouts, WorkspaceLocationTest, ::testing::ValuesIn(Layouts),
                         [](const auto &info) { return std::string(info.param.name); });
