#include "core/announcements.h"

#include "platform/cp932.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <utility>
#include <vector>

using core::Announcements;

namespace
{

// Every signal the model sends, in order, as "entries", "position <n>" or "note".
struct SignalLog {
    explicit SignalLog(Announcements& model)
    {
        QObject::connect(&model, &Announcements::entriesChanged,
                         [this] { seen.push_back(QStringLiteral("entries")); });
        QObject::connect(&model, &Announcements::positionChanged, [this](int position) {
            seen.push_back(QStringLiteral("position %1").arg(position));
        });
        QObject::connect(&model, &Announcements::fileNoteChanged,
                         [this](const QString&) { seen.push_back(QStringLiteral("note")); });
    }
    std::vector<QString> take() { return std::exchange(seen, {}); }
    std::vector<QString> seen;
};

class AnnouncementsTest : public ::testing::Test
{
protected:
    void write(const QString& route, const QByteArray& bytes)
    {
        QFile file(folder + route + QStringLiteral("tp.csv"));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    void writeThree(const QString& route)
    {
        write(route, platform::toCp932(
                         QStringLiteral("\"一つ目\",0,2\r\n\"二つ目\",1,0\r\n三つ目,0,3\r\n")));
    }

    QTemporaryDir dir;
    QString folder = dir.path() + u'/';
    Announcements model;
};

} // namespace

TEST_F(AnnouncementsTest, ALoadTellsWhatItFoundAndKeepsNothingOfAFailedRoute)
{
    EXPECT_EQ(model.loadState(), Announcements::LoadState::None);
    writeThree(QStringLiteral("1"));
    EXPECT_EQ(model.load(folder, QStringLiteral("1")), Announcements::LoadState::Loaded);
    EXPECT_EQ(model.entryCount(), 3);
    EXPECT_EQ(model.fileNote(), QStringLiteral("放送用データ: %1\nShift-JIS (CP932)、3 件")
                                    .arg(folder + QStringLiteral("1tp.csv")));

    EXPECT_EQ(model.load(folder, QStringLiteral("2")), Announcements::LoadState::Failed);
    EXPECT_EQ(model.entryCount(), 0);
    EXPECT_EQ(
        model.fileNote(),
        QStringLiteral("放送用データがありません: %1").arg(folder + QStringLiteral("2tp.csv")));

    write(QStringLiteral("3"), "a,1,2\nb,x,1\n");
    EXPECT_EQ(model.load(folder, QStringLiteral("3")), Announcements::LoadState::Failed);
    EXPECT_TRUE(model.fileNote().startsWith(QStringLiteral("放送用データを読めません: ")));
    EXPECT_TRUE(model.fileNote().contains(QStringLiteral("\n2行目: ")));
}

TEST_F(AnnouncementsTest, FieldsAreReadByOneBasedPositionAndAreEmptyOutside)
{
    writeThree(QStringLiteral("1"));
    model.load(folder, QStringLiteral("1"));
    EXPECT_EQ(model.shownText(1), QStringLiteral("一つ目"));
    EXPECT_EQ(model.shownText(3), QStringLiteral("三つ目"));
    EXPECT_EQ(model.stepFlag(2), 1);
    EXPECT_EQ(model.soundFlag(1), 2);
    EXPECT_EQ(model.soundFlag(3), 3);
    for (int outside : {-1, 0, 4}) {
        EXPECT_EQ(model.shownText(outside), QString()) << outside;
        EXPECT_EQ(model.spokenText(outside), QString()) << outside;
        EXPECT_EQ(model.stepFlag(outside), 0) << outside;
        EXPECT_EQ(model.soundFlag(outside), 0) << outside;
    }
}

TEST_F(AnnouncementsTest, ReadingsAreSpokenAndNotShown)
{
    // Shift-JIS holds the marks as well as UTF-8 does.
    write(QStringLiteral("1"),
          platform::toCp932(QStringLiteral("\"次は、｜富岸前《とんけしまえ》です。\",1,2\r\n"
                                           "母恋《ぼこい》,0,0\r\n\"一つ目\",0,0\r\n")));
    model.load(folder, QStringLiteral("1"));
    EXPECT_EQ(model.shownText(1), QStringLiteral("次は、富岸前です。"));
    EXPECT_EQ(model.spokenText(1), QStringLiteral("次は、とんけしまえです。"));
    EXPECT_EQ(model.nextSpokenText(), model.spokenText(1));
    EXPECT_EQ(model.shownText(2), QStringLiteral("母恋"));
    EXPECT_EQ(model.spokenText(2), QStringLiteral("ぼこい"));
    EXPECT_EQ(model.spokenText(3), QStringLiteral("一つ目"));
}

TEST_F(AnnouncementsTest, MovesStopAtBothEndsAndSayWhetherTheyMoved)
{
    writeThree(QStringLiteral("1"));
    model.load(folder, QStringLiteral("1"));
    EXPECT_EQ(model.nextSpokenText(), QStringLiteral("一つ目"));
    EXPECT_FALSE(model.moveBack()); // before the first: held at the first
    EXPECT_EQ(model.position(), 1);
    EXPECT_TRUE(model.moveForward());
    EXPECT_TRUE(model.moveForward());
    EXPECT_EQ(model.position(), 3);
    EXPECT_EQ(model.nextSpokenText(), QString());
    EXPECT_FALSE(model.moveForward());
    EXPECT_EQ(model.position(), 3);
    EXPECT_TRUE(model.moveBack());
    EXPECT_EQ(model.position(), 2);

    // A new load starts again before the first entry.
    model.load(folder, QStringLiteral("1"));
    EXPECT_EQ(model.position(), 0);
}

TEST_F(AnnouncementsTest, WithoutEntriesNoMoveSucceeds)
{
    EXPECT_FALSE(model.moveForward());
    EXPECT_EQ(model.position(), 0);
    EXPECT_FALSE(model.moveBack());
    EXPECT_EQ(model.shownText(model.position()), QString());
}

TEST_F(AnnouncementsTest, SignalsFollowTheChangesOnly)
{
    SignalLog log(model);
    writeThree(QStringLiteral("1"));
    model.load(folder, QStringLiteral("1"));
    EXPECT_EQ(log.take(),
              (std::vector<QString>{QStringLiteral("note"), QStringLiteral("entries")}));
    model.moveForward();
    model.moveForward();
    EXPECT_EQ(log.take(),
              (std::vector<QString>{QStringLiteral("position 1"), QStringLiteral("position 2")}));
    // The same file again: the note is the same, the position goes back, the entries are new.
    model.load(folder, QStringLiteral("1"));
    EXPECT_EQ(log.take(),
              (std::vector<QString>{QStringLiteral("position 0"), QStringLiteral("entries")}));
    model.moveForward();
    model.moveForward();
    model.moveForward();
    log.take();
    model.moveForward(); // stays at the last: nothing changed
    EXPECT_TRUE(log.take().empty());
    model.load(folder, QStringLiteral("9"));
    EXPECT_EQ(log.take(),
              (std::vector<QString>{QStringLiteral("position 0"), QStringLiteral("note"),
                                    QStringLiteral("entries")}));
}
