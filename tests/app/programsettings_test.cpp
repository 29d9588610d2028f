// The program and its settings file: loads that never hang or wipe, saves along the way, and
// ends that save without a question.
#include "app/preferences.h"
#include "app/program.h"
#include "dialogs/versiondialog.h"
#include "elements/digitelement.h"
#include "filesystemfaults.h"
#include "formats/hy3file.h"
#include "formats/settingscodec.h"
#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "platform/twips.h"
#include "platform/wait.h"
#include "sound/tape.h"
#include "support/widgetlookup.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

const QString ShortFileText = QStringLiteral(
    "エラー Code:62\r\n内容:ファイルにこれ以上データがありません。\r\n"
    "設定ファイルが途中で終わっているため、足りない設定には既定の値を使います。\r\n");

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

void writeRoute(const QString& folder, const QString& routeNo)
{
    std::vector<hy3::Record> records(2);
    records[0].name = platform::toCp932(QStringLiteral("駅前"));
    records[0].ticketNo = 1;
    records[0].columns[0] = 170;
    records[1].name = platform::toCp932(QStringLiteral("市役所前"));
    records[1].ticketNo = 2;
    records[1].columns[0] = 200;
    put(folder + QLatin1Char('/') + routeNo + QStringLiteral(".hy3"), hy3::encode(records).value());
}

// Every 16-bit field of the options, for a file in which each is out of every range.
std::vector<core::OptionId> optionWords(const core::OptionFileValues& o)
{
    std::vector<core::OptionId> words;
    for (const core::OptionDeclaration& row : core::optionTable()) {
        if (row.store == core::OptionStore::SettingsFile &&
            std::holds_alternative<qint16>(o[row.id]))
            words.push_back(row.id);
    }
    return words;
}

class ProgramSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        path_ = dir_.filePath(QStringLiteral("fare.in4"));
    }

    // The records a first run saves after a few changes of the user's.
    SettingsRecords usersSettings()
    {
        platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
        {
            Program first(path_, clock_, boxes);
            first.start();
            first.options().setFareDataFolder(dir_.path());
            first.display().fareElement(5)->setShift(2);
            findWidget<QScrollBar>(first.controlPanel(), "scrollSpeedBar")->setValue(700);
            findWidget<QCheckBox>(first.controlPanel(), "nightFareCheck")->setChecked(true);
            first.display().move(30, 60);
            first.controlPanel().close();
        }
        SettingsRecords records;
        EXPECT_TRUE(decodeSettings(contents(path_), records));
        return records;
    }

    // The sentence that tells where the user's file is kept.
    QString keptText(const QString& kept = QString()) const
    {
        return QStringLiteral("元の設定ファイル「") + path_ + QStringLiteral("」は「") +
               (kept.isEmpty() ? path_ + QStringLiteral(".bak") : kept) +
               QStringLiteral("」に残してあります。");
    }

    QTemporaryDir dir_;
    QString path_;
    platform::ManualClock clock_;
};

// Loading.

TEST_F(ProgramSettingsTest, OneBadFieldAmongGoodOnesCostsThatFieldAlone)
{
    SettingsRecords records = usersSettings();
    records.options.set(core::OptionId::AutoTicketNumbers, 7); // a check box takes 0, 1 or 2
    const QByteArray original = encodeSettings(records);
    put(path_, original);

    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program program(path_, clock_, boxes);
    program.start();
    ASSERT_EQ(boxes.calls().size(), 1u) << "said once";
    EXPECT_EQ(boxes.calls()[0].prompt,
              QStringLiteral(
                  "エラー Code:380\r\n内容:プロパティの値が不正です。 (AutoTicketNumbers)\r\n") +
                  keptText());
    EXPECT_EQ(boxes.calls()[0].details, path_ + QStringLiteral("\nAutoTicketNumbers = 7"));

    // Every field after it was applied; the bad one kept its default.
    EXPECT_EQ(program.options().autoTicketNumbers(), 1);
    EXPECT_EQ(program.options().fareDataFolder(), dir_.path());
    EXPECT_EQ(program.display().fareElement(5)->shift(), 2);
    EXPECT_EQ(findWidget<QScrollBar>(program.controlPanel(), "scrollSpeedBar")->value(), 700);
    EXPECT_TRUE(findWidget<QCheckBox>(program.controlPanel(), "nightFareCheck")->isChecked());
    EXPECT_EQ(program.display().pos(), QPoint(30, 60));

    // The user's own file is kept beside before anything is saved, and stays.
    EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), original);
    program.endWithoutQuestion();
    EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), original);
    records.options.set(core::OptionId::AutoTicketNumbers, 1);
    EXPECT_EQ(contents(path_), encodeSettings(records));
}

TEST_F(ProgramSettingsTest, EveryOptionOutOfRangeIsSkippedOnItsOwn)
{
    SettingsRecords records = usersSettings();
    for (const core::OptionId word : optionWords(records.options))
        records.options.set(word, 999);
    put(path_, encodeSettings(records));

    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program program(path_, clock_, boxes);
    program.start();
    // One message, no load error: no control met a value it refuses.
    ASSERT_EQ(boxes.calls().size(), 1u);
    const QString& prompt = boxes.calls()[0].prompt;
    EXPECT_TRUE(prompt.startsWith(QStringLiteral("エラー Code:380\r\n")));
    for (const char* field : {"AutoTicketNumbers", "TicketNumberMode", "InfoColumn", "NextStopMode",
                              "StepSoundColumn", "UseTicketPreview"})
        EXPECT_TRUE(prompt.contains(QLatin1String(field))) << field;
    EXPECT_FALSE(prompt.contains(QStringLiteral("PanelAuto"))) << "option buttons take any value";
    EXPECT_EQ(findWidget<QScrollBar>(program.controlPanel(), "scrollSpeedBar")->value(), 700);
}

TEST_F(ProgramSettingsTest, AShortFileLeavesTheFieldsItDoesNotReachAtTheirDefaults)
{
    const QByteArray whole = encodeSettings(usersSettings());
    // Cut inside the control panel's record: the options are whole, nothing after them.
    const QByteArray cut = whole.left(whole.size() - 172 + 4);
    put(path_, cut);

    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program defaults(dir_.filePath(QStringLiteral("none.in4")), clock_, boxes);
    defaults.start();
    Program program(path_, clock_, boxes);
    program.start();
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(boxes.calls()[0].prompt, ShortFileText + keptText());
    EXPECT_EQ(program.options().fareDataFolder(), dir_.path());
    EXPECT_EQ(program.controlPanel().pos(), defaults.controlPanel().pos());
    EXPECT_EQ(program.display().pos(), QPoint(0, 0));
    EXPECT_EQ(program.display().fareElement(5)->shift(), 0);

    program.endWithoutQuestion();
    EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), cut) << "the user's file is kept";
}

TEST_F(ProgramSettingsTest, AnEmptyOrRandomFileIsSaidAndKept)
{
    QByteArray noise;
    for (int i = 0; i < 2000; ++i)
        noise.append(char((i * 7919 + 13) % 251));
    for (const QByteArray& bytes : {QByteArray(), noise}) {
        QFile::remove(path_ + QStringLiteral(".bak"));
        put(path_, bytes);
        platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
        Program program(path_, clock_, boxes);
        program.start();
        ASSERT_EQ(boxes.calls().size(), 1u) << bytes.size();
        EXPECT_TRUE(boxes.calls()[0].prompt.startsWith(ShortFileText)) << bytes.size();
        EXPECT_TRUE(boxes.calls()[0].prompt.endsWith(keptText())) << bytes.size();
        EXPECT_TRUE(QFile::exists(path_ + QStringLiteral(".bak")));
        EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), bytes);
        program.endWithoutQuestion();
        EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), bytes);
    }
}

TEST_F(ProgramSettingsTest, AFileLongerThanOurRecordIsKeptAndSaidOnce)
{
    SettingsRecords records = usersSettings();
    const QByteArray newer = encodeSettings(records) + QByteArray(100, '\x7F');
    put(path_, newer);

    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    {
        Program program(path_, clock_, boxes);
        program.start();
        ASSERT_EQ(boxes.calls().size(), 1u);
        EXPECT_EQ(boxes.calls()[0].prompt,
                  QStringLiteral("設定ファイルの終わりに、このバージョンでは使わない 100 "
                                 "バイトがあります。\r\n") +
                      keptText());
        EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), newer) << "kept before any save";
        EXPECT_EQ(program.display().pos(), QPoint(30, 60)) << "our record is applied whole";
        program.endWithoutQuestion();
    }
    EXPECT_EQ(contents(path_), encodeSettings(records));
    EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), newer);

    // Our own file from now on: nothing more to say.
    Program next(path_, clock_, boxes);
    next.start();
    EXPECT_EQ(boxes.calls().size(), 1u);
    next.endWithoutQuestion();
    EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), newer);
}

TEST_F(ProgramSettingsTest, AFileThatCannotBeReadIsRenamedAndSaidWithBothPaths)
{
    put(path_, QByteArray());
    ASSERT_EQ(::truncate(QFile::encodeName(path_).constData(), 3 * 1024 * 1024), 0);
    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    {
        Program program(path_, clock_, boxes);
        program.start();
        ASSERT_EQ(boxes.calls().size(), 1u);
        EXPECT_EQ(boxes.calls()[0].prompt,
                  QStringLiteral("エラー Code:54\r\n内容:ファイルが大きすぎます。\r\n") +
                      keptText());
        EXPECT_FALSE(QFile::exists(path_)) << "renamed";
        program.endWithoutQuestion();
    }
    SettingsRecords saved;
    EXPECT_TRUE(decodeSettings(contents(path_), saved));
    EXPECT_EQ(QFileInfo(path_ + QStringLiteral(".bak")).size(), 3 * 1024 * 1024);

    // One nobody may read goes beside the first kept file, not over it.
    const QByteArray unreadable = encodeSettings(saved);
    ASSERT_TRUE(QFile::setPermissions(path_, QFile::WriteOwner));
    boxes.clear();
    {
        ScopedPermissionChecks asUser;
        Program program(path_, clock_, boxes);
        program.start();
        program.endWithoutQuestion();
    }
    const QString second = dir_.filePath(QStringLiteral("fare.in4.2.bak"));
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(boxes.calls()[0].prompt,
              QStringLiteral("エラー Code:70\r\n内容:書き込みできません。\r\n") + keptText(second));
    QFile::setPermissions(second, QFile::ReadOwner | QFile::WriteOwner);
    EXPECT_EQ(contents(second), unreadable);
    EXPECT_TRUE(decodeSettings(contents(path_), saved));
}

TEST_F(ProgramSettingsTest, PathsShiftJisCannotHoldComeBackExactlyAfterARestart)
{
    const QString folder = dir_.filePath(QStringLiteral("données〜"));
    const QString sound = QStringLiteral("/snd/👋.wav");
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    {
        Program first(path_, clock_, boxes);
        first.start();
        first.options().setFareDataFolder(folder);
        findWidget<QLineEdit>(first.optionsDialog(), "preBroadcastSound2Edit")->setText(sound);
        first.optionsDialog().open();
        first.optionsDialog().reject(); // closing the options says nothing about such paths
        first.endWithoutQuestion();
    }
    EXPECT_TRUE(boxes.calls().empty());
    SettingsRecords saved;
    ASSERT_TRUE(decodeSettings(contents(path_), saved));
    EXPECT_EQ(platform::toCp932(saved.options.text(core::OptionId::FareDataFolder)),
              platform::toCp932(folder))
        << "the settings file keeps its CP932 form";
    {
        Program second(path_, clock_, boxes);
        second.start();
        EXPECT_EQ(second.options().fareDataFolder(), folder);
        EXPECT_EQ(second.options().preBroadcastSound2(), sound);
        second.endWithoutQuestion();
    }

    // The settings file edited elsewhere names another folder: that one holds.
    saved.options.set(core::OptionId::FareDataFolder, dir_.path());
    put(path_, encodeSettings(saved));
    {
        Program third(path_, clock_, boxes);
        third.start();
        EXPECT_EQ(third.options().fareDataFolder(), dir_.path());
        EXPECT_EQ(third.options().preBroadcastSound2(), sound);
    }

    EXPECT_TRUE(boxes.calls().empty());
}

TEST_F(ProgramSettingsTest, TheVoiceSettingsAreKeptWithTheSettings)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    {
        Program first(path_, clock_, boxes);
        first.start();
        EXPECT_FALSE(QFile::exists(Preferences::pathFor(path_))) << "not made for nothing";
        // As the voice dialog sets them.
        first.tape().setSpeechSettings({200, 30, 70});
        first.endWithoutQuestion();
    }
    Program second(path_, clock_, boxes);
    second.start();
    EXPECT_EQ(second.tape().speechSettings(), (speech::SpeechSettings{200, 30, 70}));
}

TEST_F(ProgramSettingsTest, ZoomAndFullScreenLeaveTheSettingsFileAsAt1x)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    {
        Program first(path_, clock_, boxes);
        first.start();
        first.display().move(30, 60);
        first.endWithoutQuestion();
    }
    const QByteArray atOnce = contents(path_);
    {
        Program second(path_, clock_, boxes);
        second.start();
        // As the right-click menu sets them.
        second.options().setDisplayZoom(3);
        second.options().setDisplayFullScreen(1);
        EXPECT_EQ(second.display().geometry(), QGuiApplication::primaryScreen()->geometry());
        second.endWithoutQuestion();
    }
    EXPECT_EQ(contents(path_), atOnce) << "the place in twips of the window at 1x";
    Program third(path_, clock_, boxes);
    third.start();
    EXPECT_TRUE(third.display().isShowingFullScreen()) << "as the last run left it";
    third.options().setDisplayFullScreen(0);
    EXPECT_EQ(third.display().geometry(), QRect(30, 60, 498 * 3, 248 * 3));
}

TEST_F(ProgramSettingsTest, TheStartClearsWhatAKilledSaveLeft)
{
    const QByteArray saved = encodeSettings(usersSettings());
    put(path_ + QStringLiteral(".bak"), saved); // killed before the new file took its place
    const QString temporary = dir_.filePath(QStringLiteral("fare.in4.Xy12Ab"));
    put(temporary, saved);
    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program program(path_, clock_, boxes);
    program.start();
    EXPECT_TRUE(boxes.calls().empty());
    EXPECT_FALSE(QFile::exists(temporary));
    EXPECT_FALSE(QFile::exists(path_ + QStringLiteral(".bak")));

    // The next save keeps the old file as .bak only while it checks the new one.
    bool backupWhileVerifying = false;
    program.settings().writer().setBeforeVerify([&](const QString&) {
        backupWhileVerifying = contents(path_ + QStringLiteral(".bak")) == saved;
    });
    program.display().move(10, 10);
    program.endWithoutQuestion();
    EXPECT_TRUE(backupWhileVerifying);
    EXPECT_FALSE(QFile::exists(path_ + QStringLiteral(".bak")));
}

TEST_F(ProgramSettingsTest, APipeOrADeviceAsSettingsPathStartsWithTheDefaults)
{
    const QString pipe = dir_.filePath(QStringLiteral("pipe.in4"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString& path : {pipe, QStringLiteral("/dev/zero")}) {
        platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
        alarm(60); // a hang ends the test instead of CI's run
        Program program(path, clock_, boxes);
        program.start();
        alarm(0);
        ASSERT_EQ(boxes.calls().size(), 1u) << path.toStdString();
        EXPECT_EQ(boxes.calls()[0].prompt,
                  QStringLiteral("エラー Code:75\r\n内容:パス名が無効です。"));
        EXPECT_EQ(boxes.calls()[0].details, path);
        EXPECT_EQ(program.options().autoTicketNumbers(), 1);
        EXPECT_EQ(program.display().pos(), QPoint(0, 0));
    }
}

TEST_F(ProgramSettingsTest, AWindowStoredOffTheScreenComesBackOntoIt)
{
    SettingsRecords records = usersSettings();
    records.controlPanel.Left = 2147483647;
    records.controlPanel.Top = 100 * 15;
    records.displayPosition = {-40 * 15, -1000000 * 15}; // partly left, far above
    put(path_, encodeSettings(records));

    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program program(path_, clock_, boxes);
    program.start();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect panel = program.controlPanel().frameGeometry();
    EXPECT_TRUE(screen.contains(panel.topLeft())) << panel.x() << "," << panel.y();
    EXPECT_EQ(panel.right(), screen.right()) << "at the nearest edge";
    EXPECT_EQ(program.controlPanel().geometry().y(), 100) << "the height it had";
    EXPECT_EQ(program.display().pos(), QPoint(0, 0));

    // A place partly on the screen is kept exactly.
    records.controlPanel.Left = -100 * 15;
    records.controlPanel.Top = 50 * 15;
    put(path_, encodeSettings(records));
    Program second(path_, clock_, boxes);
    second.start();
    EXPECT_EQ(second.controlPanel().geometry().topLeft(), QPoint(-100, 50));
}

// Saving along the way.

TEST_F(ProgramSettingsTest, SavesWhenTheOptionsCloseAndAfterARouteSettingAsTheExitWould)
{
    writeRoute(dir_.path(), QStringLiteral("12"));
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    Program program(path_, clock_, boxes);
    program.start();
    ASSERT_FALSE(QFile::exists(path_));

    program.options().setFareDataFolder(dir_.path());
    program.optionsDialog().open();
    program.optionsDialog().reject(); // the close button
    const QByteArray afterOptions = contents(path_);
    ASSERT_FALSE(afterOptions.isEmpty()) << "saved when the options closed";
    SettingsRecords saved;
    ASSERT_TRUE(decodeSettings(afterOptions, saved));
    EXPECT_EQ(saved.options.text(core::OptionId::FareDataFolder), dir_.path());

    program.display().move(70, 80);
    ControlPanel& panel = program.controlPanel();
    using Key = ControlPanel::KeypadKey;
    for (Key key : {Key::Route, Key::Digit1, Key::Digit2, Key::Section, Key::Digit1})
        panel.onKeypadKey(key);
    findWidget<QPushButton>(panel, "keypadRouteSetButton")->click();
    ASSERT_TRUE(boxes.calls().empty());
    const QByteArray afterRoute = contents(path_);
    ASSERT_TRUE(decodeSettings(afterRoute, saved));
    EXPECT_EQ(saved.displayPosition.left, platform::pixelsToTwips(70));

    // The exit writes exactly those bytes: nothing changed since.
    panel.close();
    EXPECT_EQ(contents(path_), afterRoute);
}

// Ending.

TEST_F(ProgramSettingsTest, AfterNoATerminationSignalStillSavesAndEnds)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::No);
    Program program(path_, clock_, boxes);
    program.handleSessionEnd();
    QSignalSpy finished(&program, &Program::finished);
    program.start();
    program.controlPanel().close();
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_FALSE(QFile::exists(path_));

    for (int signal : {SIGTERM, SIGINT, SIGHUP}) {
        program.display().move(10, 20);
        ::raise(signal);
        QCoreApplication::processEvents();
        EXPECT_EQ(finished.count(), 1) << signal;
    }
    EXPECT_EQ(boxes.calls().size(), 1u) << "no question";
    EXPECT_TRUE(program.hasEnded());
    SettingsRecords saved;
    ASSERT_TRUE(decodeSettings(contents(path_), saved));
    EXPECT_EQ(saved.displayPosition.left, platform::pixelsToTwips(10));
}

TEST_F(ProgramSettingsTest, ASignalWhileTheExitQuestionIsOpenEndsWithoutItsAnswer)
{
    platform::MessageBoxRecorder boxes;
    boxes.setResponder([](const platform::MessageBoxCall&) {
        ::raise(SIGTERM);
        QCoreApplication::processEvents();
        return platform::MessageBox::No; // what the box gives when its loop ends unanswered
    });
    Program program(path_, clock_, boxes);
    program.handleSessionEnd();
    QSignalSpy finished(&program, &Program::finished);
    program.start();
    program.controlPanel().close();
    EXPECT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(program.hasEnded());
    EXPECT_TRUE(QFile::exists(path_));
}

TEST_F(ProgramSettingsTest, ASignalWhileAStartUpMessageIsOpenEndsOnceTheSettingsAreApplied)
{
    SettingsRecords records = usersSettings();
    records.options.set(core::OptionId::InfoColumn, 500);
    const QByteArray original = encodeSettings(records);
    put(path_, original);

    platform::MessageBoxRecorder boxes;
    boxes.setResponder([](const platform::MessageBoxCall&) {
        // The box's own loop delivers the signal.
        ::raise(SIGTERM);
        QCoreApplication::processEvents();
        return platform::MessageBox::OK;
    });
    Program program(path_, clock_, boxes);
    program.handleSessionEnd();
    QSignalSpy finished(&program, &Program::finished);
    program.start();

    EXPECT_EQ(boxes.calls().size(), 1u) << "the load's message only, no exit question";
    EXPECT_TRUE(program.hasEnded());
    EXPECT_GE(finished.count(), 1);
    // What was saved is the whole loaded state, not a half-loaded one.
    records.options.set(core::OptionId::InfoColumn, 0);
    EXPECT_EQ(contents(path_), encodeSettings(records));
    EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), original);
}

TEST_F(ProgramSettingsTest, ABrokenDisplayConnectionSavesWithoutAMessage)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    Program program(path_, clock_, boxes);
    program.handleSessionEnd();
    program.start();
    program.display().move(90, 40);
    qWarning("The X11 connection broke (error 1). Did the X11 server die?");
    EXPECT_TRUE(boxes.calls().empty());
    SettingsRecords saved;
    ASSERT_TRUE(decodeSettings(contents(path_), saved));
    EXPECT_EQ(saved.displayPosition.left, platform::pixelsToTwips(90));
}

TEST_F(ProgramSettingsTest, ADisplayLostWhileTheSettingsLoadLeavesTheUsersFileAlone)
{
    // A value the options refuse opens a message while the file loads; the display goes
    // away before anyone answers it, with the windows still half way to the user's state.
    SettingsRecords records = usersSettings();
    records.options.set(core::OptionId::InfoColumn, 500);
    const QByteArray original = encodeSettings(records);
    put(path_, original);
    platform::MessageBoxRecorder boxes;
    boxes.setResponder([](const platform::MessageBoxCall&) {
        qWarning("The X11 connection broke (error 1). Did the X11 server die?");
        return platform::MessageBox::OK;
    });
    Program program(path_, clock_, boxes);
    program.handleSessionEnd();
    program.start();
    EXPECT_EQ(contents(path_), original);
}

TEST_F(ProgramSettingsTest, AFailedSaveAtASignalGoesToStandardErrorNotToABox)
{
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("fare.in4")));
    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program program(path_, clock_, boxes);
    program.start();
    boxes.clear();
    testing::internal::CaptureStderr();
    program.endWithoutQuestion();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(boxes.calls().empty());
    EXPECT_NE(err.find(path_.toStdString()), std::string::npos) << err;
    EXPECT_TRUE(program.hasEnded());
}

// The run's own places.

TEST_F(ProgramSettingsTest, TheVersionBoxShowsTheSettingsFileInUse)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program program(path_, clock_, boxes);
    program.start();
    QString text;
    program.controlPanel().setVersionBox(
        [&](QWidget*, int, const QString& shown) { text = shown; });
    findWidget<QPushButton>(program.controlPanel(), "versionButton")->click();
    EXPECT_TRUE(text.endsWith(QStringLiteral("設定ファイル：") + path_ + QStringLiteral("\r\n")))
        << text.toStdString();
}

TEST_F(ProgramSettingsTest, TheDataFolderOfThisRunIsUsedButNotSaved)
{
    SettingsRecords records = usersSettings();
    QTemporaryDir data;
    writeRoute(data.path(), QStringLiteral("5"));
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    {
        Program program(path_, clock_, boxes);
        program.useDataFolderForThisRun(data.path());
        program.start();
        EXPECT_EQ(program.options().fareDataFolder(), data.path());
        EXPECT_EQ(program.options().broadcastDataFolder(), data.path());
        ControlPanel& panel = program.controlPanel();
        using Key = ControlPanel::KeypadKey;
        for (Key key : {Key::Route, Key::Digit5, Key::Section, Key::Digit1})
            panel.onKeypadKey(key);
        findWidget<QPushButton>(panel, "keypadRouteSetButton")->click();
        EXPECT_TRUE(boxes.calls().empty()) << "route 5 found in the run's folder";
        panel.close();
    }
    SettingsRecords saved;
    ASSERT_TRUE(decodeSettings(contents(path_), saved));
    for (const core::OptionId folder :
         {core::OptionId::FareDataFolder, core::OptionId::BroadcastDataFolder})
        EXPECT_EQ(saved.options.text(folder), records.options.text(folder));
}

} // namespace
