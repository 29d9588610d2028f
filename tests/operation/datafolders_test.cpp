#include "controlpaneltestsupport.h"

#include "operation/datafolders.h"
#include "options/optionsdialog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
}

class DataFoldersTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(working_.isValid());
        ASSERT_TRUE(samples_.isValid());
    }
    QString working() const { return working_.path(); }
    QString samples() const { return samples_.path(); }

    QTemporaryDir working_;
    QTemporaryDir samples_;
};

// Runs the test in another working folder and goes back afterwards.
class ScopedWorkingFolder
{
public:
    explicit ScopedWorkingFolder(const QString& folder) : previous_(QDir::currentPath())
    {
        QDir::setCurrent(folder);
    }
    ~ScopedWorkingFolder() { QDir::setCurrent(previous_); }

private:
    QString previous_;
};

} // namespace

TEST_F(DataFoldersTest, EmptyFoldersAndNoDataInTheWorkingFolderReadTheSamples)
{
    touch(working() + QStringLiteral("/notes.txt"));
    const DataFolders chosen = chooseDataFolders({}, working(), samples());
    EXPECT_EQ(chosen.fare, samples());
    EXPECT_EQ(chosen.broadcast, samples());
}

TEST_F(DataFoldersTest, DataInTheWorkingFolderInAnyCaseKeepsTheWorkingFolder)
{
    for (const QString& name : {QStringLiteral("12.HY3"), QStringLiteral("12TP.csv")}) {
        QTemporaryDir folder;
        touch(folder.filePath(name));
        const DataFolders chosen = chooseDataFolders({}, folder.path(), samples());
        EXPECT_TRUE(chosen.fare.isEmpty()) << qPrintable(name);
        EXPECT_TRUE(chosen.broadcast.isEmpty()) << qPrintable(name);
    }
}

TEST_F(DataFoldersTest, OneSetFolderOrNoSamplesKeepTheSettings)
{
    // Fares of the operator's own with the samples' announcements would not match.
    const DataFolders fareOnly{QStringLiteral("/srv/fares"), QString()};
    EXPECT_EQ(chooseDataFolders(fareOnly, working(), samples()).broadcast, QString());
    EXPECT_EQ(chooseDataFolders(fareOnly, working(), samples()).fare, fareOnly.fare);
    const DataFolders broadcastOnly{QString(), QStringLiteral("/srv/tape")};
    EXPECT_EQ(chooseDataFolders(broadcastOnly, working(), samples()).fare, QString());
    EXPECT_EQ(chooseDataFolders({}, working(), QString()).fare, QString());
}

TEST_F(DataFoldersTest, SourceFindsTheSamplesAndLeavesTheOptionsEmpty)
{
    paneltest::writeRoute(samples(), QStringLiteral("12"), paneltest::numberedStops(2));
    OptionsDialog options;
    const DataFolderSource source(options.options(), samples());
    ScopedWorkingFolder in(working());

    EXPECT_EQ(source.current().fare, samples());
    EXPECT_EQ(source.current().broadcast, samples());
    EXPECT_TRUE(options.options().fareDataFolder().isEmpty());
    EXPECT_TRUE(options.options().fileValues().text(core::OptionId::FareDataFolder).isEmpty());

    touch(working() + QStringLiteral("/7.hy3"));
    EXPECT_TRUE(source.current().fare.isEmpty());
    EXPECT_TRUE(source.current().broadcast.isEmpty());

    // A folder set in the options counts at the next asking.
    options.options().setFareDataFolder(QStringLiteral("/srv/fares"));
    options.options().setBroadcastDataFolder(QStringLiteral("/srv/tape"));
    EXPECT_EQ(source.current().fare, QStringLiteral("/srv/fares"));
    EXPECT_EQ(source.current().broadcast, QStringLiteral("/srv/tape"));
}
