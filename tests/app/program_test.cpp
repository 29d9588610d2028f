#include "app/program.h"
#include "audio/mediacommand.h"
#include "audio/startgate.h"
#include "core/routesession.h"
#include "dialogs/routeimportdialog.h"
#include "elements/digitelement.h"
#include "elements/nextstopnameboard.h"
#include "filesystemfaults.h"
#include "formats/hy3file.h"
#include "formats/settingscodec.h"
#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "platform/wait.h"
#include "sound/tape.h"
#include "speech/speechengine.h"
#include "support/nullspeechengine.h"
#include "support/widgetlookup.h"
#include "tickets/ticketpreview.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtEndian>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

// A small route in the data folder: three stops, fares growing from 170 yen.
void writeRoute(const QString& folder, const QString& routeNo)
{
    std::vector<hy3::Record> records;
    const QStringList names = {QStringLiteral("駅前"), QStringLiteral("市役所前"),
                               QStringLiteral("中央公園")};
    for (int r = 0; r < names.size(); ++r) {
        hy3::Record record;
        record.name = platform::toCp932(names[r]);
        record.ticketNo = static_cast<qint16>(r + 1);
        for (int i = 0; i <= r; ++i)
            record.columns[i] = static_cast<qint16>(170 + 30 * (r - i));
        records.push_back(record);
    }
    QFile file(folder + QLatin1Char('/') + routeNo + QStringLiteral(".hy3"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(hy3::encode(records).value());
}

class ProgramTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        settingsPath_ = dir_.filePath(QStringLiteral("fare.in4"));
        writeRoute(dir_.path(), QStringLiteral("12"));
    }

    // Enters route 12, section 1 on the keypad and sets the route.
    void setRouteFromKeypad(Program& program)
    {
        program.options().setFareDataFolder(dir_.path());
        ControlPanel& panel = program.controlPanel();
        using Key = ControlPanel::KeypadKey;
        for (Key key : {Key::Route, Key::Digit1, Key::Digit2, Key::Section, Key::Digit1})
            panel.onKeypadKey(key);
        findWidget<QPushButton>(panel, "keypadRouteSetButton")->click();
    }

    QTemporaryDir dir_;
    QString settingsPath_;
    platform::ManualClock clock_;
};

TEST_F(ProgramTest, ARouteImportedFromABusFeedSetsAtOnceWithTheFeedsFaresAndReadings)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    Program program(settingsPath_, clock_, boxes);
    program.start();
    program.options().setFareDataFolder(dir_.path());
    program.options().setBroadcastDataFolder(dir_.path());
    program.openRouteImport(); // "路線データの取り込み..." on the options' folder page
    RouteImportDialog* dialog = program.routeImportDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->parentWidget(), &program.optionsDialog());

    QSignalSpy finished(dialog, &RouteImportDialog::workFinished);
    dialog->readFeed(QStringLiteral(GTFS_SAMPLE_DIR));
    ASSERT_TRUE(finished.wait(30000));
    ASSERT_GT(dialog->patternCount(), 0);
    dialog->choosePattern(0); // route 1 from 港北駅前, the first pattern of the feed
    dialog->setRouteNumber(QStringLiteral("21"));
    dialog->importChosen();
    ASSERT_TRUE(finished.wait(30000));
    findWidget<QPushButton>(*dialog, "setRouteButton")->click();

    ASSERT_TRUE(boxes.calls().empty()) << boxes.calls().front().prompt.toStdString();
    const core::RouteSession& route = program.routeSession();
    EXPECT_EQ(route.routeNo(), QStringLiteral("21"));
    EXPECT_EQ(route.section(), 1);
    ASSERT_EQ(route.recordCount(), 6);
    EXPECT_EQ(route.row(1).stopName, QStringLiteral("港北駅前"));
    EXPECT_EQ(route.row(4).stopName, QStringLiteral("中央病院，東口"));
    // Zone 1 to zone 2 is 220 yen by the feed's rules, whichever of the first two stops.
    for (int step = 0; step < 3; ++step)
        program.controlPanel().stepStop(core::StepDirection::Forward);
    EXPECT_EQ(program.display().fareElement(1)->value(), ElementValue(220));
    EXPECT_EQ(program.display().fareElement(2)->value(), ElementValue(220));
    // The tape shows the names and speaks the feed's readings.
    EXPECT_EQ(program.tape().shownText(1), QStringLiteral("次は、市役所前です。"));
    EXPECT_EQ(program.tape().spokenText(1), QStringLiteral("次は、しやくしょまえです。"));
}

TEST_F(ProgramTest, FirstRunRidesARouteAndSavesOnYes)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    {
        Program program(settingsPath_, clock_, boxes);
        program.start();
        EXPECT_TRUE(boxes.calls().empty()) << "no settings file: no message";
        for (int i = 1; i <= 12; ++i)
            EXPECT_EQ(program.display().ticketLabel(i)->text(), QString::number(i));
        EXPECT_EQ(program.display().pos(), QPoint(0, 0));

        setRouteFromKeypad(program);
        ASSERT_TRUE(boxes.calls().empty()) << boxes.calls().front().prompt.toStdString();
        EXPECT_EQ(clock_.totalSlept(), 3000) << "the lamp test pauses through the clock";
        EXPECT_EQ(program.routeSession().recordCount(), 3);
        EXPECT_EQ(program.display().fareElement(1)->value(), ElementValue(170));

        program.controlPanel().stepStop(core::StepDirection::Forward);
        EXPECT_EQ(program.routeSession().stopIndex(), 1);
        EXPECT_EQ(program.display().fareElement(1)->value(), ElementValue(200));
        EXPECT_EQ(program.display().fareElement(2)->value(), ElementValue(170));

        program.display().move(40, 50);
        program.controlPanel().close();
        ASSERT_EQ(boxes.calls().size(), 1u);
        EXPECT_EQ(boxes.calls()[0].prompt, QStringLiteral("ファレットを終了しますか？"));
        EXPECT_EQ(boxes.calls()[0].title, QStringLiteral("ファレットの終了確認"));
    }

    QFile file(settingsPath_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    const QByteArray folder = platform::toCp932(dir_.path());
    // 320 bytes with every text empty, plus the folder and the fixed date "yyyy/mm/dd".
    EXPECT_EQ(bytes.size(), 320 + folder.size() + 10);
    const QByteArray tail = bytes.right(172);
    // The display window's record follows the control panel's 22 bytes.
    EXPECT_EQ(qFromLittleEndian<qint32>(tail.constData() + 22), 40 * 15);
    EXPECT_EQ(qFromLittleEndian<qint32>(tail.constData() + 26), 50 * 15);
    EXPECT_EQ(qFromLittleEndian<qint16>(tail.constData() + 98), 12);
}

TEST_F(ProgramTest, TwoProgramsInOneProcessWaitAndAskOnlyThroughWhatEachWasGiven)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::No);
    platform::ManualClock otherClock;
    platform::MessageBoxRecorder otherBoxes(platform::MessageBox::No);
    Program program(settingsPath_, clock_, boxes);
    Program other(dir_.filePath(QStringLiteral("other.in4")), otherClock, otherBoxes);
    program.start();
    other.start();

    setRouteFromKeypad(program);
    EXPECT_EQ(clock_.totalSlept(), 3000);
    EXPECT_EQ(otherClock.totalSlept(), 0);

    other.controlPanel().close(); // answered "いいえ": it goes on
    EXPECT_TRUE(boxes.calls().empty());
    ASSERT_EQ(otherBoxes.calls().size(), 1u);
    EXPECT_EQ(otherBoxes.calls()[0].prompt, QStringLiteral("ファレットを終了しますか？"));
    EXPECT_FALSE(other.hasEnded());
}

TEST_F(ProgramTest, SecondRunRestoresTheSavedSettings)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    {
        Program first(settingsPath_, clock_, boxes);
        first.start();
        first.options().setFareDataFolder(dir_.path());
        first.display().fareElement(5)->setShift(2);
        findWidget<QScrollBar>(first.controlPanel(), "scrollSpeedBar")->setValue(700);
        first.display().move(30, 60);
        first.controlPanel().close();
    }
    QFile file(settingsPath_);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray saved = file.readAll();
    file.close();

    Program second(settingsPath_, clock_, boxes);
    second.start();
    EXPECT_TRUE(boxes.calls().size() == 1u) << "only the first exit question";
    EXPECT_EQ(second.options().fareDataFolder(), dir_.path());
    EXPECT_EQ(second.display().fareElement(5)->shift(), 2);
    EXPECT_EQ(findWidget<QScrollBar>(second.controlPanel(), "scrollSpeedBar")->value(), 700);
    EXPECT_EQ(second.display().pos(), QPoint(30, 60));
    // After a load every fare element is blank.
    EXPECT_EQ(second.display().fareElement(1)->value(), ElementValue(QStringLiteral(" ")));

    // Saving again at once writes the same bytes.
    second.controlPanel().close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), saved);
}

TEST_F(ProgramTest, TicketPreviewDrawsThePluginTicketForEachStop)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    Program program(settingsPath_, clock_, boxes);
    program.start();
    const QString path = QStringLiteral(FARE_SAMPLE_PLUGIN);
    ASSERT_TRUE(program.optionsDialog().loadPlugin(path));
    program.optionsDialog().setTicketPluginPath(path);
    program.optionsDialog().setUseTicketPreview(1);
    ControlPanel& panel = program.controlPanel();
    const auto* preview = findWidget<TicketPreview>(panel, "ticketPreview");
    EXPECT_EQ(panel.companyList()->count(), 3) << "the plug-in's companies";
    EXPECT_GT(panel.companyList()->y(), preview->geometry().bottom())
        << "the company list stays clear of a taller ticket";
    findWidget<QPushButton>(panel, "previewToggle")->click();

    setRouteFromKeypad(program);
    ASSERT_TRUE(boxes.calls().empty());
    const QImage ticket = preview->image().toImage();
    ASSERT_FALSE(ticket.isNull());
    const QRgb paper = ticket.pixel(ticket.width() / 2, 2);
    int ink = 0;
    for (int y = 0; y < ticket.height(); ++y)
        for (int x = 0; x < ticket.width(); ++x)
            ink += ticket.pixel(x, y) != paper ? 1 : 0;
    EXPECT_GT(ink, ticket.width() * ticket.height() / 50) << "a drawn ticket, not a blank";

    if (const QByteArray dir = qgetenv("FARE_SNAPSHOT_DIR"); !dir.isEmpty()) {
        panel.grab().save(QString::fromLocal8Bit(dir) + QStringLiteral("/control-panel.png"));
        program.display().grab().save(QString::fromLocal8Bit(dir) +
                                      QStringLiteral("/fare-display.png"));
    }

    // With the preview switched off the picture is blank after the next stop.
    program.optionsDialog().setUseTicketPreview(0);
    panel.stepStop(core::StepDirection::Forward);
    const QImage blank = preview->image().toImage();
    EXPECT_EQ(blank.pixel(blank.width() / 2, blank.height() / 2), blank.pixel(1, 1));
}

// The options dialog is built the first time "設定..." opens it; until then the options, the
// custom colours and the plug-in the settings name live without it, and the dialog shows them
// when it comes.
TEST_F(ProgramTest, OptionsDialogIsBuiltWhenFirstOpenedAndShowsWhatTheSettingsLoaded)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    CustomColorTable colors{};
    colors[3] = platform::RGB(1, 2, 3);
    {
        Program first(settingsPath_, clock_, boxes);
        first.start();
        first.options().setUseTicketPreview(1);
        first.options().setTicketPluginPath(QStringLiteral(FARE_SAMPLE_PLUGIN));
        first.optionsDialog().setCustomColors(colors);
        first.endWithoutQuestion();
    }

    Program second(settingsPath_, clock_, boxes);
    second.start();
    EXPECT_FALSE(second.hasOptionsDialog());
    for (const QWidget* window : QApplication::topLevelWidgets())
        EXPECT_EQ(qobject_cast<const OptionsDialog*>(window), nullptr);
    EXPECT_EQ(second.controlPanel().companyList()->count(), 3)
        << "the plug-in the settings name is loaded without the dialog";

    bool shownModally = false;
    QTimer::singleShot(0, &second, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        shownModally = dialog != nullptr;
        if (dialog)
            dialog->reject();
    });
    findWidget<QPushButton>(second.controlPanel(), "optionsButton")->click();
    EXPECT_TRUE(shownModally);
    ASSERT_TRUE(second.hasOptionsDialog());
    OptionsDialog& dialog = second.optionsDialog();
    EXPECT_EQ(dialog.options().ticketPluginPath(), QStringLiteral(FARE_SAMPLE_PLUGIN));
    EXPECT_GT(findWidget<QListWidget>(dialog, "pluginPropertyList")->count(), 0);
    EXPECT_EQ(dialog.customColors(), colors);
    EXPECT_EQ(dialog.backlight(), second.controlPanel().selectedBacklight());
    EXPECT_TRUE(boxes.calls().empty());
}

TEST_F(ProgramTest, ExitAnsweredNoWritesNothing)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::No);
    Program program(settingsPath_, clock_, boxes);
    program.start();
    program.controlPanel().close();
    EXPECT_EQ(boxes.calls().size(), 1u);
    EXPECT_FALSE(QFile::exists(settingsPath_));
    EXPECT_TRUE(program.controlPanel().isVisible());
}

TEST_F(ProgramTest, SessionEndSavesWithoutAsking)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::No);
    Program program(settingsPath_, clock_, boxes);
    QSignalSpy finished(&program, &Program::finished);
    program.start();
    program.endWithoutQuestion();
    EXPECT_TRUE(boxes.calls().empty());
    EXPECT_TRUE(QFile::exists(settingsPath_));
    EXPECT_EQ(finished.count(), 1);
    EXPECT_TRUE(program.hasEnded());
}

TEST_F(ProgramTest, UnreadableSettingsFileShowsTheErrorAndAppliesNothing)
{
    // A folder where the settings file should be cannot be read as a file.
    ASSERT_TRUE(QDir(dir_.path()).mkdir(QStringLiteral("fare.in4")));
    platform::MessageBoxRecorder boxes(platform::MessageBox::OK);
    Program program(settingsPath_, clock_, boxes);
    program.start();
    ASSERT_EQ(boxes.calls().size(), 1u);
    EXPECT_EQ(boxes.calls()[0].prompt, QStringLiteral("エラー Code:75\r\n内容:パス名が無効です。"));
    EXPECT_EQ(boxes.calls()[0].details, settingsPath_);
    EXPECT_EQ(program.display().ticketLabel(12)->text(), QStringLiteral("12"));
}

TEST_F(ProgramTest, FailedSaveKeepsTheOldFileWhole)
{
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    QFile old(settingsPath_);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write(QByteArray(320, '\0'));
    old.close();
    {
        Program program(settingsPath_, clock_, boxes);
        program.start();
        boxes.clear();
        // A full disk: the new file cannot grow past 100 bytes.
        ScopedFileSizeLimit fullDisk(100);
        program.controlPanel().close();
    }
    ASSERT_EQ(boxes.calls().size(), 2u); // the question, then the error
    const QString error = boxes.calls()[1].prompt;
    EXPECT_TRUE(error.startsWith(QStringLiteral("エラー Code:"))) << error.toStdString();
    EXPECT_TRUE(error.endsWith(QStringLiteral("設定ファイル「") + settingsPath_ +
                               QStringLiteral("」に書き込めませんでした。")))
        << error.toStdString();
    QFile after(settingsPath_);
    ASSERT_TRUE(after.open(QIODevice::ReadOnly));
    EXPECT_EQ(after.readAll(), QByteArray(320, '\0'));
}

} // namespace

namespace
{

TEST_F(ProgramTest, SoundAndSpeechAreCreatedOnlyAfterBothWindowsPainted)
{
    platform::MessageBoxRecorder boxes;
    Program program(settingsPath_, clock_, boxes);
    program.start();
    // The control panel's load asked for the speech engine; nothing slow has started yet.
    EXPECT_TRUE(program.startGate().isHeld());
    EXPECT_FALSE(program.tape().isSpeechAvailable());
    QElapsedTimer painting;
    painting.start();
    while (program.startGate().isHeld() && painting.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(program.startGate().isHeld());
}

TEST(ProgramSettingsPath, SaveIntoAnImpossibleFolderShowsThePathError)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("not-a-folder")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    platform::ManualClock clock;
    platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
    const QString path = dir.filePath(QStringLiteral("not-a-folder/fare.in4"));
    Program program(path, clock, boxes);
    program.start();
    EXPECT_TRUE(boxes.calls().empty());
    program.controlPanel().close();
    ASSERT_EQ(boxes.calls().size(), 2u);
    EXPECT_EQ(boxes.calls()[1].prompt,
              QStringLiteral("エラー Code:76\r\n内容:パスが見つかりません。\r\n設定ファイル「") +
                  path + QStringLiteral("」に書き込めませんでした。"));
}

} // namespace

namespace
{

// An engine that only tells when it is released.
class EngineNoticingItsEnd : public testsupport::NullSpeechEngine
{
public:
    explicit EngineNoticingItsEnd(std::function<void()> onEnd) : onEnd_(std::move(onEnd)) {}
    ~EngineNoticingItsEnd() override { onEnd_(); }

private:
    std::function<void()> onEnd_;
};

TEST_F(ProgramTest, EveryExitSavesBeforeAnythingIsReleased)
{
    for (const bool confirmed : {true, false}) {
        SCOPED_TRACE(confirmed ? "confirmed exit" : "exit without a question");
        QFile::remove(settingsPath_);
        // What the exit's clean-up released, each time with whether the settings were saved.
        QStringList released;
        const auto note = [&](const QString& what) {
            released << what + (QFile::exists(settingsPath_) ? QStringLiteral(" after the save")
                                                             : QStringLiteral(" before the save"));
        };
        {
            platform::MessageBoxRecorder boxes(platform::MessageBox::Yes);
            Program program(settingsPath_, clock_, boxes);
            program.tape().setSpeechEngineFactory([&] {
                return std::make_unique<EngineNoticingItsEnd>(
                    [&] { note(QStringLiteral("speech")); });
            });
            program.media().setRecorder([&](const QString& command, int) {
                if (command.startsWith(QStringLiteral("close ")))
                    note(command);
            });
            program.start();
            QElapsedTimer waiting;
            waiting.start();
            while (!program.tape().isSpeechAvailable() && waiting.elapsed() < 10000)
                QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
            ASSERT_TRUE(program.tape().isSpeechAvailable());
            if (confirmed)
                program.controlPanel().close();
            else
                program.endWithoutQuestion();
            EXPECT_TRUE(program.hasEnded());
        }
        ASSERT_EQ(released.size(), 5) << released.join(u'\n').toStdString();
        for (const QString& what : released)
            EXPECT_TRUE(what.endsWith(QStringLiteral(" after the save"))) << what.toStdString();
    }
}

} // namespace
