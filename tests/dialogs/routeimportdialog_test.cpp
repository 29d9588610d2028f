#include "dialogs/routeimportdialog.h"
#include "hy3commands.h"
#include "platform/msgbox.h"
#include "support/scriptedpickers.h"
#include "support/standindisplay.h"
#include "support/threadwait.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace
{

using platform::MessageBox::No;
using platform::MessageBox::Yes;

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class RouteImport : public ::testing::Test, public testsupport::WithApplication
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        QDir(dir_.path()).mkpath(QStringLiteral("fares"));
        QDir(dir_.path()).mkpath(QStringLiteral("tapes"));
        folders_ = {dir_.filePath(QStringLiteral("fares")), dir_.filePath(QStringLiteral("tapes"))};
    }

    // Waits (bounded) for the worker to finish the job it runs.
    bool finishes()
    {
        QSignalSpy finished(&dialog_, &RouteImportDialog::workFinished);
        return !dialog_.isBusy() || finished.wait(30000);
    }
    bool read(const QString& feed)
    {
        dialog_.readFeed(feed);
        return finishes();
    }
    bool import(int row, const QString& route)
    {
        dialog_.choosePattern(row);
        dialog_.setRouteNumber(route);
        dialog_.importChosen();
        return finishes();
    }
    QString fareFile(const QString& route) const
    {
        return QDir(folders_.fare).filePath(route + QStringLiteral(".hy3"));
    }
    QString tapeFile(const QString& route) const
    {
        return QDir(folders_.broadcast).filePath(route + QStringLiteral("tp.csv"));
    }
    QPushButton* button(const char* name) const
    {
        return dialog_.findChild<QPushButton*>(QLatin1String(name));
    }

    QTemporaryDir dir_;
    ImportFolders folders_;
    platform::MessageBoxRecorder boxes_{Yes};
    testsupport::ScriptedPickers pickers_;
    RouteImportDialog dialog_{[this] { return folders_; }, boxes_, pickers_};
};

TEST_F(RouteImport, WritesTheSameFilesAsHy3tool)
{
    ASSERT_TRUE(read(QStringLiteral(GTFS_SAMPLE_ZIP)));
    ASSERT_GT(dialog_.patternCount(), 0) << dialog_.report().toStdString();
    ASSERT_TRUE(import(0, QStringLiteral("077")));
    EXPECT_TRUE(boxes_.calls().empty()) << dialog_.report().toStdString();
    EXPECT_TRUE(dialog_.report().contains(QStringLiteral("系統 77 を書き込みました。")))
        << dialog_.report().toStdString();
    EXPECT_TRUE(button("setRouteButton")->isEnabled());

    QTemporaryDir out;
    QBuffer in, said, errors;
    in.open(QIODevice::ReadOnly);
    said.open(QIODevice::WriteOnly);
    errors.open(QIODevice::WriteOnly);
    ASSERT_EQ(
        runHy3Tool({QStringLiteral("from-gtfs"), QStringLiteral(GTFS_SAMPLE_DIR),
                    QStringLiteral("--pattern"), QStringLiteral("1"), QStringLiteral("--route"),
                    QStringLiteral("77"), QStringLiteral("--out"), out.path()},
                   in, said, errors),
        0)
        << errors.data().toStdString();
    EXPECT_EQ(fileBytes(fareFile(QStringLiteral("77"))), fileBytes(out.filePath("77.hy3")));
    EXPECT_EQ(fileBytes(tapeFile(QStringLiteral("77"))), fileBytes(out.filePath("77tp.csv")));
    EXPECT_FALSE(fileBytes(tapeFile(QStringLiteral("77"))).isEmpty());
}

TEST_F(RouteImport, TheSetButtonAsksForTheRouteJustWritten)
{
    ASSERT_TRUE(read(QStringLiteral(GTFS_SAMPLE_DIR)));
    EXPECT_FALSE(button("setRouteButton")->isEnabled());
    ASSERT_TRUE(import(0, QStringLiteral("5")));
    QSignalSpy asked(&dialog_, &RouteImportDialog::routeSetRequested);
    button("setRouteButton")->click();
    ASSERT_EQ(asked.size(), 1);
    EXPECT_EQ(asked[0][0].toString(), QStringLiteral("5"));
}

TEST_F(RouteImport, AnExistingRouteIsReplacedOnlyWhenTheUserSaysSo)
{
    QFile existing(fareFile(QStringLiteral("12")));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.write("mine");
    existing.close();
    ASSERT_TRUE(read(QStringLiteral(GTFS_SAMPLE_DIR)));

    boxes_.setAnswer(No);
    ASSERT_TRUE(import(0, QStringLiteral("12")));
    ASSERT_EQ(boxes_.calls().size(), 1u);
    EXPECT_TRUE(boxes_.calls()[0].prompt.startsWith(
        QStringLiteral("系統 12 のデータはすでにあります。置き換えますか？")));
    EXPECT_EQ(fileBytes(fareFile(QStringLiteral("12"))), QByteArray("mine"));
    EXPECT_FALSE(QFile::exists(tapeFile(QStringLiteral("12"))));

    boxes_.setAnswer(Yes);
    ASSERT_TRUE(import(0, QStringLiteral("12")));
    EXPECT_NE(fileBytes(fareFile(QStringLiteral("12"))), QByteArray("mine"));
    EXPECT_TRUE(QFile::exists(tapeFile(QStringLiteral("12"))));
}

TEST_F(RouteImport, AFeedThatCannotBeReadIsToldAndListsNothing)
{
    ASSERT_TRUE(read(QStringLiteral(GTFS_SAMPLE_DIR)));
    ASSERT_GT(dialog_.patternCount(), 0);
    const QString broken = dir_.filePath(QStringLiteral("broken.zip"));
    QFile file(broken);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("PK no zip at all");
    file.close();

    ASSERT_TRUE(read(broken));
    EXPECT_EQ(dialog_.patternCount(), 0);
    ASSERT_EQ(boxes_.calls().size(), 1u);
    EXPECT_TRUE(boxes_.calls()[0].prompt.contains(broken))
        << boxes_.calls()[0].prompt.toStdString();
    EXPECT_EQ(dialog_.report(), boxes_.calls()[0].prompt);
    EXPECT_FALSE(button("importButton")->isEnabled());
}

TEST_F(RouteImport, TheFeedIsChosenWithThePickersAndImportWaitsForARouteNumber)
{
    pickers_.folderAnswers.push_back(QStringLiteral(GTFS_SAMPLE_DIR));
    button("feedFolderButton")->click();
    ASSERT_TRUE(finishes());
    EXPECT_EQ(dialog_.findChild<QLineEdit*>(QStringLiteral("feedEdit"))->text(),
              QDir::toNativeSeparators(QStringLiteral(GTFS_SAMPLE_DIR)));
    EXPECT_GT(dialog_.patternCount(), 0);
    EXPECT_FALSE(button("importButton")->isEnabled());
    dialog_.setRouteNumber(QStringLiteral("3"));
    EXPECT_TRUE(button("importButton")->isEnabled());

    pickers_.fileAnswers.push_back(QString()); // cancelled: the feed stays
    button("feedFileButton")->click();
    EXPECT_FALSE(dialog_.isBusy());
    EXPECT_GT(dialog_.patternCount(), 0);
    ASSERT_EQ(pickers_.fileCalls.size(), 1u);
    EXPECT_EQ(pickers_.fileCalls[0].title, QStringLiteral("バス情報のオープンデータの選択"));
}

int threadCount()
{
    return int(QDir(QStringLiteral("/proc/self/task"))
                   .entryList(QDir::Dirs | QDir::NoDotAndDotDot)
                   .size());
}

// A feed large enough that its reading is still under way when the user cancels it.
QString writeLargeFeed(const QString& folder)
{
    auto write = [&](const char* name, const QByteArray& bytes) {
        QFile file(QDir(folder).filePath(QLatin1String(name)));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    };
    QByteArray stops = "stop_id,stop_name\n";
    for (int s = 0; s < 100; ++s)
        stops += "S" + QByteArray::number(s) + ",Stop " + QByteArray::number(s) + "\n";
    QByteArray trips = "route_id,trip_id\n";
    QByteArray times = "trip_id,stop_id,stop_sequence\n";
    for (int t = 0; t < 4000; ++t) {
        trips += "R,T" + QByteArray::number(t) + "\n";
        for (int s = 0; s < 100; ++s)
            times += "T" + QByteArray::number(t) + ",S" + QByteArray::number(s) + "," +
                     QByteArray::number(s) + "\n";
    }
    write("stops.txt", stops);
    write("routes.txt", "route_id,route_short_name\nR,1\n");
    write("trips.txt", trips);
    write("stop_times.txt", times);
    return folder;
}

TEST_F(RouteImport, CancellingAReadLeavesTheDialogUsableWithoutAMessage)
{
    const QString feed = writeLargeFeed(dir_.path());
    QSignalSpy finished(&dialog_, &RouteImportDialog::workFinished);
    dialog_.readFeed(feed);
    ASSERT_TRUE(dialog_.isBusy());
    EXPECT_TRUE(button("cancelButton")->isEnabled());
    EXPECT_FALSE(button("feedFileButton")->isEnabled());
    button("cancelButton")->click();
    ASSERT_TRUE(finished.size() == 1 || finished.wait(30000));
    EXPECT_FALSE(dialog_.isBusy());
    EXPECT_EQ(dialog_.patternCount(), 0);
    EXPECT_TRUE(boxes_.calls().empty());
    EXPECT_TRUE(dialog_.report().contains(QStringLiteral("中止しました")))
        << dialog_.report().toStdString();
    EXPECT_TRUE(button("feedFileButton")->isEnabled());
}

TEST_F(RouteImport, ADialogClosedWhileItsWorkerReadsLeavesTheWorkerToEnd)
{
    const QString feed = writeLargeFeed(dir_.path());
    const int threadsBefore = threadCount();
    auto dialog =
        std::make_unique<RouteImportDialog>([this] { return folders_; }, boxes_, pickers_);
    dialog->readFeed(feed);
    ASSERT_TRUE(dialog->isBusy());
    dialog.reset(); // the worker is told to stop and goes on its own; nothing may crash
    EXPECT_TRUE(testsupport::waitForThreads([&] { return threadCount() <= threadsBefore; }, 30000))
        << "the worker did not stop";
    EXPECT_TRUE(boxes_.calls().empty());
}

} // namespace
