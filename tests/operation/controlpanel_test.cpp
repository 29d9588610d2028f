#include "controlpanelfixture.h"

#include "audio/mediacommand.h"
#include "audio/mixer.h"
#include "audio/startgate.h"
#include "dialogs/versiondialog.h"
#include "formats/hy3file.h"
#include "operation/controlpanel.h"
#include "operation/keypadbutton.h"
#include "platform/colorconversion.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "platform/runtimeerror.h"
#include "platform/wait.h"
#include "sound/tape.h"
#include "speech/speechengine.h"
#include "support/nullspeechengine.h"
#include "support/widgetlookup.h"
#include "tickets/ticketpreview.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QFile>
#include <QFrame>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTime>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

using namespace paneltest;
namespace MessageBox = platform::MessageBox;

TEST_F(ControlPanelTest, WindowStartsNarrowWithSteppingDisabled)
{
    EXPECT_EQ(panel->windowTitle(), QStringLiteral("集中操作盤"));
    EXPECT_EQ(panel->width(), 359);
    EXPECT_FALSE(button("stepBackButton")->isEnabled());
    EXPECT_FALSE(button("stepForwardButton")->isEnabled());
    EXPECT_FALSE(button("displayClearButton")->isEnabled());
    EXPECT_EQ(button("previewToggle")->text(), QStringLiteral(">>"));
    EXPECT_EQ(scrollBar("scrollSpeedBar")->minimum(), 1);
    EXPECT_EQ(scrollBar("scrollSpeedBar")->maximum(), 2000);
    EXPECT_EQ(scrollBar("scrollIntervalBar")->maximum(), 3000);
    EXPECT_EQ(label("routeSectionSeparator")->text(), QStringLiteral("-"));
    // Keypad panel in front of the list panel.
    const QObjectList order = panel->children();
    EXPECT_GT(order.indexOf(entryPanel(1)), order.indexOf(entryPanel(0)));
}

TEST_F(ControlPanelTest, KeypadDigitsLimitsAndTargets)
{
    press(3); // before any target key: the section display
    EXPECT_EQ(label("sectionDisplay")->text(), QStringLiteral("3"));
    press(10);
    for (int i = 0; i < 6; ++i)
        press(1);
    EXPECT_EQ(panel->keypadTarget(), ControlPanel::KeypadTarget::Route);
    EXPECT_EQ(label("routeDisplay")->text(), QStringLiteral("11111"));
    press(11);
    for (int d : {0, 1, 2, 3})
        press(d);
    EXPECT_EQ(panel->keypadTarget(), ControlPanel::KeypadTarget::Section);
    EXPECT_EQ(label("sectionDisplay")->text(), QStringLiteral("012"));
    press(10);
    EXPECT_TRUE(label("routeDisplay")->text().isEmpty());
}

TEST_F(ControlPanelTest, KeypadKeysAreClippedToRoundedFaces)
{
    panel->onLoad();
    const QRegion region = key(0)->mask();
    EXPECT_EQ(region.boundingRect(), QRect(2, 2, 26, 23));
    EXPECT_TRUE(region.contains(QPoint(15, 12)));
    EXPECT_FALSE(region.contains(QPoint(1, 1)));
    EXPECT_FALSE(region.contains(QPoint(2, 2))); // rounded corner
    EXPECT_EQ(key(5)->mask(), region);
    EXPECT_TRUE(display.window()->windowTitle().startsWith(QStringLiteral("ファレット - 型番:")));
}

TEST_F(ControlPanelTest, RouteFromKeypadRunsLampTestAndShowsTheSection)
{
    writeRoute(dir.path(), "12", numberedStops(5));
    options.setNextStopMode(1);
    QString duringLampTest;
    clock.setOnSleep([&](int) { duringLampTest = display.value(1); });

    setRoute("12", "2");

    EXPECT_EQ(clock.sleeps(), (std::vector<int>{3000}));
    EXPECT_EQ(duringLampTest, QStringLiteral("888"));
    ASSERT_GE(display.board()->shown.size(), 2u);
    EXPECT_EQ(display.board()->shown.front().name, QStringLiteral("系統設定"));
    EXPECT_EQ(display.board()->shown.front().prefixMode, 0);
    EXPECT_EQ(display.board()->shown.back().name, QStringLiteral("停留所2"));
    EXPECT_EQ(display.board()->shown.back().prefixMode, 1); // the second row shows "次は"
    EXPECT_EQ(session.stopIndex(), 1);
    EXPECT_EQ(display.value(1), QStringLiteral("0")); // before the section: lamp-test zero
    EXPECT_EQ(display.value(2), QStringLiteral("202"));
    EXPECT_EQ(display.value(12), QStringLiteral("212"));
    EXPECT_TRUE(button("stepBackButton")->isEnabled());
    EXPECT_TRUE(button("stepForwardButton")->isEnabled());
    EXPECT_TRUE(button("displayClearButton")->isEnabled());
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(panel->ticketDate(), QDate::currentDate().toString("MM-dd-yyyy"));
}

TEST_F(ControlPanelTest, RouteFromListsAndTheFirstRowWithoutPrefix)
{
    writeRoute(dir.path(), "12", numberedStops(4));
    options.setNextStopMode(2);
    const char* routeDigits = "00012";
    for (int i = 0; i < 5; ++i)
        widget<QListWidget>(QStringLiteral("routeDigitList%1").arg(i))
            ->item(routeDigits[i] - '0')
            ->setSelected(true);
    widget<QListWidget>("sectionDigitList2")
        ->item(1)
        ->setSelected(true); // section "1" from the last list only
    button("listRouteSetButton")->click();

    EXPECT_EQ(session.routeText(), QStringLiteral("00012"));
    EXPECT_EQ(session.section(), 1);
    EXPECT_EQ(lastShown(), QStringLiteral("停留所1"));
    EXPECT_EQ(display.board()->shown.back().prefixMode, 0);
    EXPECT_EQ(display.board()->prefixMode(), 2);

    panel->stepStop(core::StepDirection::Forward);
    EXPECT_EQ(lastShown(), QStringLiteral("停留所2"));
    EXPECT_EQ(display.board()->shown.back().prefixMode, 2);
}

TEST_F(ControlPanelTest, FareFileFailuresStopBeforeTheDisplay)
{
    writeFile("7.hy3", QByteArray());              // count 0
    writeRoute(dir.path(), "5", numberedStops(5)); // accepts sections 1..4
    struct Case {
        QString route, section, folder, message;
    };
    const std::vector<Case> cases = {
        {"7", "1", dir.path(), hy3::messageNoRecords()},
        {"5", "5", dir.path(), hy3::messageSectionTooLarge()},
        {"9", "1", dir.path(), hy3::messageNoFile()},
        {"9", "1", dir.filePath("nowhere"),
         platform::errorDescription(platform::ErrorNumber::PathNotFound)},
    };
    for (const Case& c : cases) {
        messages.clear();
        options.setFareDataFolder(c.folder);
        setRoute(c.route, c.section);
        ASSERT_EQ(messages.calls().size(), 1u) << c.route.toStdString();
        EXPECT_EQ(messages.calls()[0].prompt, c.message);
        EXPECT_EQ(messages.calls()[0].buttons, MessageBox::OKOnly);
    }
    EXPECT_TRUE(clock.sleeps().empty());
    EXPECT_TRUE(display.board()->shown.empty());
    EXPECT_FALSE(button("stepForwardButton")->isEnabled());
    EXPECT_FALSE(QFile::exists(dir.filePath("9.hy3")));
}

TEST_F(ControlPanelTest, SectionFiveAndThirteenLeaveTheFirstElements)
{
    writeRoute(dir.path(), "20", numberedStops(15));
    setRoute("20", "5");
    for (int i = 1; i <= 4; ++i)
        EXPECT_EQ(display.value(i), QStringLiteral("0")) << i;
    EXPECT_EQ(display.value(5), QStringLiteral("505"));
    panel->stepStop(core::StepDirection::Forward);
    EXPECT_EQ(display.value(4), QStringLiteral("0"));
    EXPECT_EQ(display.value(5), QStringLiteral("605"));

    button("displayClearButton")->setChecked(true);
    button("displayClearButton")->setChecked(false);
    EXPECT_EQ(display.value(4), QString()); // blank after clear and restore
    EXPECT_EQ(display.value(5), QStringLiteral("605"));

    setRoute("20", "13");
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(display.value(i), QStringLiteral("0")) << i;
    EXPECT_EQ(lastShown(), QStringLiteral("停留所13"));
}

TEST_F(ControlPanelTest, SteppingAtBothEndsIsSilent)
{
    writeRoute(dir.path(), "3", numberedStops(3));
    options.setStepSoundFile(writeFile("step.wav", "RIFF"));
    setRoute("3", "1");
    const size_t shownAfterSet = display.board()->shown.size();
    mciCommands.clear();

    button("stepBackButton")->click(); // back on the first row
    EXPECT_TRUE(mciCommands.empty());
    EXPECT_EQ(display.board()->shown.size(), shownAfterSet);

    button("stepForwardButton")->click();
    button("stepForwardButton")->click();
    EXPECT_EQ(session.stopIndex(), 2);
    EXPECT_TRUE(playedOn("S2"));
    mciCommands.clear();
    const size_t shownAtEnd = display.board()->shown.size();
    button("stepForwardButton")->click(); // forward on the last row
    EXPECT_TRUE(mciCommands.empty());
    EXPECT_EQ(display.board()->shown.size(), shownAtEnd);
    EXPECT_EQ(session.stopIndex(), 2);
}

TEST_F(ControlPanelTest, StepSoundByColumnValue)
{
    auto stopsList = numberedStops(3);
    stopsList[1].columns[150] = 4;
    stopsList[2].columns[150] = 1;
    writeRoute(dir.path(), "8", stopsList);
    selectStepSoundByColumn(options, true);
    options.setStepSoundColumn(149);
    setStepSounds(options, {writeFile("one.wav", "RIFF"), writeFile("two.wav", "RIFF"),
                            writeFile("three.wav", "RIFF")});
    setRoute("8", "1");
    mciCommands.clear();
    panel->stepStop(core::StepDirection::Forward); // value 4: nothing plays
    EXPECT_TRUE(mciCommands.empty());
    EXPECT_EQ(lastShown(), QStringLiteral("停留所2"));
    panel->stepStop(core::StepDirection::Forward); // value 1
    EXPECT_TRUE(playedOn("S2"));
    bool openedOne = false;
    for (const QString& command : mciCommands)
        openedOne |= command.contains(QStringLiteral("one.wav"));
    EXPECT_TRUE(openedOne);
}

TEST_F(ControlPanelTest, NightFareDoublesAtTheNextDisplay)
{
    std::vector<Stop> stopsList = {{"始発", 1, {{1, 150}, {2, -1}, {3, 20000}}}, {"終点", 2, {}}};
    writeRoute(dir.path(), "4", stopsList);
    setRoute("4", "1");
    EXPECT_EQ(display.value(1), QStringLiteral("150"));
    widget<QCheckBox>("nightFareCheck")->setChecked(true);
    EXPECT_EQ(display.value(1), QStringLiteral("150")); // no action of its own
    panel->showStop(1);
    EXPECT_EQ(display.value(1), QStringLiteral("300"));
    EXPECT_EQ(display.value(2), QStringLiteral("-1"));
    EXPECT_EQ(display.value(3), QStringLiteral("32767"));
}

TEST_F(ControlPanelTest, InformationNumbersOnTheElements)
{
    writeRoute(dir.path(), "120", numberedStops(3));
    options.setInfoRouteOn(1);
    options.setInfoRouteCell(11);
    options.setInfoStopOrderOn(1);
    options.setInfoStopOrderCell(0);
    options.setInfoStopOrderFromZero(1);
    options.setInfoTicketOn(1);
    options.setInfoTicketCell(1);
    setRoute("00120", "1");
    EXPECT_TRUE(display.fareElement(12)->value().isText());
    EXPECT_EQ(display.fareElement(12)->value().text(), QStringLiteral("00120"));
    EXPECT_EQ(display.value(1), QStringLiteral("0"));
    EXPECT_EQ(display.value(2), QStringLiteral("1"));
    panel->stepStop(core::StepDirection::Forward);
    EXPECT_EQ(display.value(1), QStringLiteral("1"));
    EXPECT_EQ(display.value(2), QStringLiteral("2"));
}

TEST_F(ControlPanelTest, EachPanelDrivesOnlyTheRouteSessionItWasGiven)
{
    writeRoute(dir.path(), "1", numberedStops(3));
    core::RouteSession otherSession;
    ControlPanel other(nullptr, options, DataFolderSource(options), nullptr, &otherSession, nullptr,
                       clock, messages);
    setRoute("1", "1");
    button("stepForwardButton")->click();
    EXPECT_EQ(session.stopIndex(), 1);
    EXPECT_EQ(session.routeNo(), QStringLiteral("1"));
    EXPECT_EQ(otherSession.loadedRows(), 0);
    EXPECT_EQ(otherSession.stopIndex(), 0);

    // A display clear the session reports is shown, whoever asked for it.
    session.setDisplayCleared(true);
    EXPECT_EQ(display.value(1), QString());
    EXPECT_FALSE(button("stepForwardButton")->isEnabled());
    session.setDisplayCleared(false);
    EXPECT_EQ(display.value(1), QStringLiteral("201"));
}

TEST_F(ControlPanelTest, DisplayClearBlanksAndRestores)
{
    writeRoute(dir.path(), "1", numberedStops(3));
    setRoute("1", "1");
    display.clockTimer()->start();
    display.clockElement(0)->setValue(ElementValue(9));

    button("displayClearButton")->setChecked(true);
    EXPECT_TRUE(session.displayCleared());
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(display.value(i), QString());
    EXPECT_FALSE(display.clockTimer()->isActive());
    EXPECT_EQ(display.clockElement(0)->value().toString(), QString());
    EXPECT_FALSE(entryPanel(0)->isEnabled());
    EXPECT_FALSE(entryPanel(1)->isEnabled());
    EXPECT_FALSE(button("stepForwardButton")->isEnabled());
    EXPECT_FALSE(widget<QGroupBox>("tapeGroup")->isEnabled());
    EXPECT_FALSE(widget<QFrame>("scrollFrame")->isEnabled());

    const size_t shown = display.board()->shown.size();
    button("displayClearButton")->setChecked(false);
    EXPECT_FALSE(session.displayCleared());
    EXPECT_TRUE(entryPanel(1)->isEnabled());
    EXPECT_TRUE(button("stepBackButton")->isEnabled());
    EXPECT_TRUE(widget<QFrame>("scrollFrame")->isEnabled());
    EXPECT_FALSE(display.clockTimer()->isActive()); // the clock is hidden
    EXPECT_EQ(widget<QGroupBox>("tapeGroup")->isEnabled(), tape.isSpeechAvailable());
    EXPECT_EQ(display.value(1), QStringLiteral("101"));
    EXPECT_EQ(display.board()->shown.size(), shown + 1);

    display.clockElement(0)->setVisible(true);
    button("displayClearButton")->setChecked(true);
    button("displayClearButton")->setChecked(false);
    EXPECT_TRUE(display.clockTimer()->isActive());
}

TEST_F(ControlPanelTest, StepsStayInsideTheTableAfterAnOversizedFile)
{
    writeRoute(dir.path(), "2", numberedStops(5));
    setRoute("2", "1");
    writeRoute(dir.path(), "302", numberedStops(302));
    setRoute("302", "1");
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(session.recordCount(), 302);
    session.setStopIndex(299);
    panel->stepStop(core::StepDirection::Forward);
    EXPECT_EQ(session.stopIndex(), 300);
    panel->stepStop(core::StepDirection::Forward);
    EXPECT_EQ(session.stopIndex(), 300);
    EXPECT_EQ(lastShown(), QStringLiteral("停留所301"));
}

TEST_F(ControlPanelTest, BacklightMissingUserFileKeepsPicture)
{
    QPixmap before(498, 248);
    before.fill(Qt::darkGreen);
    display.setCurrentPicture(before);
    selectUserPanels(options, {true, true, true});
    options.setPanelOn1Picture(dir.filePath("missing.bmp"));
    widget<QRadioButton>("backlightButton1")->click();
    EXPECT_TRUE(messages.calls().empty());
    EXPECT_EQ(display.currentPicture().toImage(), before.toImage());
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(display.ticketLabel(i)->palette().color(QPalette::WindowText),
                  platform::toQColor(options.ticketColor(core::Backlight::On1)));
    EXPECT_EQ(panel->selectedBacklight(), core::Backlight::On1);
}

TEST_F(ControlPanelTest, BacklightFileThatIsNoPicture)
{
    selectUserPanels(options, {false, false, true});
    options.setPanelOn2Picture(writeFile("panel.jpg", "not a picture at all"));
    panel->onBacklightSelected(core::Backlight::On2);
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_TRUE(messages.calls()[0].prompt.contains(QStringLiteral("エラーコード：481")));
    EXPECT_EQ(messages.calls()[0].title, QStringLiteral("エラー"));
    EXPECT_EQ(messages.calls()[0].buttons, MessageBox::OKOnly | MessageBox::Critical);
    EXPECT_EQ(display.ticketLabel(5)->palette().color(QPalette::WindowText),
              platform::toQColor(options.ticketColor(core::Backlight::On2)));

    // A real picture smaller than the panel shows from the top-left with grey around it.
    QImage small(100, 40, QImage::Format_RGB32);
    small.fill(Qt::red);
    ASSERT_TRUE(small.save(dir.filePath("small.bmp"), "BMP"));
    options.setPanelOn2Picture(dir.filePath("small.bmp"));
    messages.clear();
    panel->onBacklightSelected(core::Backlight::On2);
    EXPECT_TRUE(messages.calls().empty());
    const QImage shown = display.currentPicture().toImage();
    EXPECT_EQ(shown.size(), QSize(498, 248));
    EXPECT_EQ(shown.pixelColor(5, 5), QColor(Qt::red));
    EXPECT_NE(shown.pixelColor(300, 200), QColor(Qt::red));

    options.setPanelIndividual(false); // built-in picture of the state
    options.setPanelAuto(true);
    QPixmap builtin(498, 248);
    builtin.fill(Qt::blue);
    display.setBacklightPicture(0, builtin);
    panel->onBacklightSelected(core::Backlight::Off);
    EXPECT_EQ(display.currentPicture().toImage(), builtin.toImage());
}

TEST_F(ControlPanelTest, BacklightReactsOnceHoweverItIsChosen)
{
    // A file that is no picture: each reaction shows one message, so they can be counted.
    selectUserPanels(options, {true, true, true});
    options.setPanelOffPicture(writeFile("a.jpg", "no"));
    options.setPanelOn1Picture(writeFile("b.jpg", "no"));
    options.setPanelOn2Picture(writeFile("c.jpg", "no"));
    const auto labelColour = [&] {
        return display.ticketLabel(1)->palette().color(QPalette::WindowText);
    };
    showActive();

    widget<QRadioButton>("backlightButton1")->click();
    EXPECT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(labelColour(), platform::toQColor(options.ticketColor(core::Backlight::On1)));
    widget<QRadioButton>("backlightButton1")->click(); // already on: reacts as before
    EXPECT_EQ(messages.calls().size(), 2u);

    QRadioButton* on1 = widget<QRadioButton>("backlightButton1");
    on1->setFocus();
    type(Qt::Key_Right, on1);
    EXPECT_EQ(panel->selectedBacklight(), core::Backlight::On2);
    EXPECT_EQ(messages.calls().size(), 3u);
    EXPECT_EQ(labelColour(), platform::toQColor(options.ticketColor(core::Backlight::On2)));
    EXPECT_EQ(session.stopIndex(), 0) << "the arrow chose a button, it did not step";

    QAccessibleInterface* off =
        QAccessible::queryAccessibleInterface(widget<QRadioButton>("backlightButton0"));
    ASSERT_NE(off, nullptr);
    ASSERT_NE(off->actionInterface(), nullptr);
    off->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(panel->selectedBacklight(), core::Backlight::Off);
    EXPECT_EQ(messages.calls().size(), 4u);
    EXPECT_EQ(labelColour(), platform::toQColor(options.ticketColor(core::Backlight::Off)));
}

TEST_F(ControlPanelTest, TapeButtonsStepTheFareDataWhenFlagged)
{
    writeRoute(dir.path(), "6", numberedStops(4));
    writeFile("6tp.csv", platform::toCp932(QStringLiteral(
                             "案内一,0,0\r\n\"次は、二番です。\",1,0\r\n案内三,1,0\r\n")));
    setRoute("6", "1");
    ASSERT_EQ(tape.entryCount(), 3);
    tape.pressNext(); // flag 0
    EXPECT_EQ(session.stopIndex(), 0);
    tape.pressNext(); // flag 1
    EXPECT_EQ(session.stopIndex(), 1);
    tape.pressNext();
    EXPECT_EQ(session.stopIndex(), 2);
    tape.pressBack(); // back to entry 2, flagged
    EXPECT_EQ(session.stopIndex(), 1);
    EXPECT_EQ(lastShown(), QStringLiteral("停留所2"));
}

TEST_F(ControlPanelTest, TheTapeGroupsToolTipNamesTheBroadcastFile)
{
    writeRoute(dir.path(), "6", numberedStops(4));
    setRoute("6", "1");
    const QString tip = widget<QGroupBox>("tapeGroup")->toolTip();
    EXPECT_TRUE(tip.contains(dir.filePath(QStringLiteral("6tp.csv")))) << tip.toStdString();
    EXPECT_TRUE(tip.startsWith(QStringLiteral("放送用データがありません")));

    // Copied from Windows, in UTF-8: found, read, and said so.
    writeFile("6Tp.CSV", QStringLiteral("案内一,0,0\n").toUtf8());
    setRoute("6", "1");
    EXPECT_EQ(tape.shownText(1), QStringLiteral("案内一"));
    EXPECT_EQ(widget<QGroupBox>("tapeGroup")->toolTip(),
              QStringLiteral("放送用データ: %1\nUTF-8、1 件").arg(dir.filePath("6Tp.CSV")));
}

namespace
{

// The speech engine is made on a worker and handed over through the event loop.
bool waitForSpeechDecision(sound::BroadcastTape& tape, bool* available = nullptr)
{
    bool decided = false;
    const QMetaObject::Connection connection =
        QObject::connect(&tape, &sound::BroadcastTape::speechDecided, [&](bool speech) {
            decided = true;
            if (available)
                *available = speech;
        });
    QElapsedTimer waiting;
    waiting.start();
    while (!decided && waiting.elapsed() < 20000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    QObject::disconnect(connection);
    return decided;
}

// A line elided in its middle shows the start and the end of the full text.
bool showsStartAndEndOf(const QString& line, const QString& text)
{
    const qsizetype dots = line.indexOf(QChar(0x2026));
    if (dots < 0)
        return line == text;
    return dots > 0 && text.startsWith(line.left(dots)) && text.endsWith(line.mid(dots + 1)) &&
           line.size() > dots + 1;
}

struct StartGateRelease {
    audio::StartGate& gate;
    ~StartGateRelease() { gate.release(); }
};

} // namespace

TEST_F(ControlPanelTest, TheTapeGroupFollowsTheEngineTheLoadAndDisplayClear)
{
    StartGateRelease guard{startGate};
    tape.setSpeechEngineFactory([] { return std::make_unique<testsupport::NullSpeechEngine>(); });
    QGroupBox* group = widget<QGroupBox>("tapeGroup");
    writeRoute(dir.path(), "6", numberedStops(4));
    writeRoute(dir.path(), "7", numberedStops(4));
    writeFile("6tp.csv", platform::toCp932(QStringLiteral("発車します,0,0\r\n")));

    // The engine arrives while display clear is on: the group waits for it to go off.
    startGate.hold();
    panel->onLoad();
    EXPECT_EQ(group->title(), QStringLiteral("音合使用不可"));
    setRoute("6", "1");
    EXPECT_FALSE(group->isEnabled());
    button("displayClearButton")->setChecked(true);
    startGate.release();
    ASSERT_TRUE(waitForSpeechDecision(tape));
    EXPECT_EQ(group->title(), QStringLiteral("音合使用可"));
    EXPECT_FALSE(group->isEnabled());
    button("displayClearButton")->setChecked(false);
    EXPECT_TRUE(group->isEnabled());
    EXPECT_TRUE(button("tapeNextButton")->isEnabled());

    // A broadcast file that failed keeps the group off through display clear, and the
    // announcement line says why.
    setRoute("7", "1");
    EXPECT_FALSE(group->isEnabled());
    button("displayClearButton")->setChecked(true);
    button("displayClearButton")->setChecked(false);
    EXPECT_FALSE(group->isEnabled());
    EXPECT_FALSE(button("tapeNextButton")->isEnabled());
    EXPECT_EQ(group->title(), QStringLiteral("音合使用可"));
    QLabel* line = label("tapeTextLabel");
    EXPECT_TRUE(tape.fileNote().startsWith(QStringLiteral("放送用データがありません")));
    EXPECT_TRUE(showsStartAndEndOf(line->text(), tape.fileNote().simplified()))
        << line->text().toStdString();
    EXPECT_EQ(line->toolTip(), tape.fileNote());

    setRoute("6", "1");
    EXPECT_TRUE(group->isEnabled());
    EXPECT_EQ(line->text(), QString());
}

TEST_F(ControlPanelTest, WithoutASoundDeviceTheTapeStillStepsAndShowsItsLines)
{
    // No audio output at all, and the engine the program makes with the installed voice.
    StartGateRelease guard{startGate};
    struct NoSoundDevice {
        const bool wasSet = qEnvironmentVariableIsSet("SDL_AUDIODRIVER");
        const QByteArray driver = qgetenv("SDL_AUDIODRIVER");
        audio::AudioOutput& output;
        explicit NoSoundDevice(audio::AudioOutput& output) : output(output)
        {
            output.close();
            qputenv("SDL_AUDIODRIVER", "no-such-driver");
        }
        ~NoSoundDevice()
        {
            if (wasSet)
                qputenv("SDL_AUDIODRIVER", driver);
            else
                qunsetenv("SDL_AUDIODRIVER");
            output.close();
        }
    } noSoundDevice{output};
    ASSERT_FALSE(output.open());
    panel->onLoad();
    bool available = false;
    ASSERT_TRUE(waitForSpeechDecision(tape, &available));
    EXPECT_TRUE(available);
    QGroupBox* group = widget<QGroupBox>("tapeGroup");
    EXPECT_EQ(group->title(), QStringLiteral("音合使用可"));

    writeRoute(dir.path(), "6", numberedStops(4));
    writeFile("6tp.csv", platform::toCp932(QStringLiteral("発車します,1,0\r\n次です,0,0\r\n")));
    setRoute("6", "1");
    EXPECT_TRUE(group->isEnabled());
    button("tapeNextButton")->click();
    EXPECT_EQ(session.stopIndex(), 1) << "the step flag still steps";
    EXPECT_EQ(label("tapeTextLabel")->text(), QStringLiteral("発車します"));
}

TEST_F(ControlPanelTest, ScrollBarsSendBothValues)
{
    scrollBar("scrollIntervalBar")->setValue(1500);
    scrollBar("scrollSpeedBar")->setValue(640);
    EXPECT_EQ(label("scrollSpeedLabel")->text(), QStringLiteral("640"));
    EXPECT_EQ(label("scrollIntervalLabel")->text(), QStringLiteral("1500"));
    EXPECT_EQ(display.stopNameBoard()->speed(), 640);
    display.stopNameBoard()->setScrollStartWait(0);
    scrollBar("scrollSpeedBar")->setValue(641); // moving the speed re-sends the interval
    EXPECT_EQ(display.stopNameBoard()->scrollStartWait(), 1500);
}

TEST_F(ControlPanelTest, PreviewAreaAndCopy)
{
    button("previewToggle")->click();
    EXPECT_EQ(panel->width(), 600);
    EXPECT_EQ(button("previewToggle")->text(), QStringLiteral("<<"));
    EXPECT_EQ(button("previewToggle")->toolTip(), QStringLiteral("整理券プレビューを隠します"));
    EXPECT_GE(panel->width(), widget<TicketPreview>("ticketPreview")->geometry().right());
    button("previewToggle")->click();
    EXPECT_EQ(panel->width(), 359);
    EXPECT_EQ(button("previewToggle")->toolTip(), QStringLiteral("整理券プレビューを開きます"));
    EXPECT_GT(widget<TicketPreview>("ticketPreview")->x(), panel->width());

    panel->setTicketPreviewSize(3000, 1500);
    EXPECT_EQ(widget<TicketPreview>("ticketPreview")->size(), QSize(200, 100));
    widget<TicketPreview>("ticketPreview")->image().fill(Qt::magenta);
    QAction* copy = widget<QAction>("copyPreviewAction");
    copy->trigger();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(200, 100));
    EXPECT_EQ(copy->text(), QStringLiteral("コピー(&C)"));
    EXPECT_EQ(panel->companyList(), widget<QComboBox>("companyList"));
}

TEST_F(ControlPanelTest, SettingsRecordRoundTripAndPanelSwitch)
{
    ControlPanelState info;
    info.PanelMode = 1;
    info.ScrollSpeed = 700;
    info.ScrollInterval = 2500;
    info.NightFare = 1;
    info.PreviewShown = 1;
    info.Left = 1500;
    info.Top = 3000;
    panel->restorePanelState(info);
    EXPECT_EQ(panel->width(), 600);
    EXPECT_EQ(label("scrollIntervalLabel")->text(), QStringLiteral("2500"));
    EXPECT_EQ(display.stopNameBoard()->speed(), 700);
    const QObjectList order = panel->children();
    EXPECT_LT(order.indexOf(entryPanel(1)), order.indexOf(entryPanel(0)));
    EXPECT_EQ(panel->panelState(), info);

    doubleClick(entryPanel(0));
    EXPECT_EQ(panel->panelState().PanelMode, 0);
    const QObjectList after = panel->children();
    EXPECT_GT(after.indexOf(entryPanel(1)), after.indexOf(entryPanel(0)));
}

TEST_F(ControlPanelTest, ExitAsksAndOnlyYesShutsDown)
{
    int shutdowns = 0;
    QObject::connect(panel.get(), &ControlPanel::shutdownRequested, [&] { ++shutdowns; });
    messages.setAnswer(MessageBox::No);
    QCloseEvent refused;
    QApplication::sendEvent(panel.get(), &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(shutdowns, 0);
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(messages.calls()[0].prompt, QStringLiteral("ファレットを終了しますか？"));
    EXPECT_EQ(messages.calls()[0].title, QStringLiteral("ファレットの終了確認"));
    EXPECT_EQ(messages.calls()[0].buttons, MessageBox::YesNo | MessageBox::Question);

    panel->onLoad();
    messages.setAnswer(MessageBox::Yes);
    QCloseEvent accepted;
    QApplication::sendEvent(panel.get(), &accepted);
    EXPECT_TRUE(accepted.isAccepted());
    EXPECT_EQ(shutdowns, 1);
    EXPECT_TRUE(key(0)->mask().isEmpty());
}

TEST_F(ControlPanelTest, VersionBoxText)
{
    QString shownText;
    int flag = 0;
    bool displayDisabled = false;
    panel->setVersionBox([&](QWidget*, int f, const QString& text) {
        flag = f;
        shownText = text;
        displayDisabled = !display.window()->isEnabled();
    });
    button("versionButton")->click();
    panel->setVersionBox(nullptr);
    EXPECT_EQ(flag, 1);
    EXPECT_TRUE(displayDisabled);
    EXPECT_TRUE(display.window()->isEnabled());
    const QStringList lines = shownText.split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 6);
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("機種：")));
    EXPECT_TRUE(lines[1].contains(
        QRegularExpression(QStringLiteral("^バージョン：\\d+\\.\\d+\\.\\d+  ServiceRelease 1$"))));
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_TRUE(lines[5].isEmpty());
}

TEST_F(ControlPanelTest, VersionBoxShowsASettingsPathShiftJisCannotHold)
{
    // "é" and "😀" have no Shift-JIS form: the box gets the path as it is.
    const QString path = QStringLiteral("/home/rené/😀/fare.in4");
    panel->setSettingsPath(path);
    QString shownText;
    panel->setVersionBox([&](QWidget*, int, const QString& text) { shownText = text; });
    button("versionButton")->click();
    EXPECT_TRUE(shownText.contains(path)) << shownText.toStdString();
}

TEST_F(ControlPanelTest, OptionsDialogDisablesBothWindowsAndRedisplaysTheStop)
{
    writeRoute(dir.path(), "1", numberedStops(3));
    setRoute("1", "2");
    QDialog dialog;
    bool bothDisabled = false;
    QTimer::singleShot(0, &dialog, [&] {
        bothDisabled = !panel->isEnabled() && !display.window()->isEnabled();
        dialog.reject();
    });
    panel->setOptionsDialog(&dialog);
    const size_t shown = display.board()->shown.size();
    button("optionsButton")->click();
    EXPECT_TRUE(bothDisabled);
    EXPECT_TRUE(panel->isEnabled());
    EXPECT_TRUE(display.window()->isEnabled());
    EXPECT_EQ(display.board()->shown.size(), shown + 1);
    EXPECT_EQ(lastShown(), QStringLiteral("停留所2"));

    // A dialog created inside the display window stays usable while it is open.
    QDialog child(display.window());
    bool childEnabled = false;
    QTimer::singleShot(0, &child, [&] {
        childEnabled = child.isEnabled() && !panel->isEnabled();
        child.reject();
    });
    panel->setOptionsDialog(&child);
    button("optionsButton")->click();
    EXPECT_TRUE(childEnabled);
}

TEST_F(ControlPanelTest, CompanyListStaysUnchosenUntilTheOperatorPicks)
{
    QComboBox* companies = panel->companyList();
    EXPECT_EQ(companies->currentIndex(), -1);
    companies->addItems({QStringLiteral("ファレット交通"), QStringLiteral("東西バス")});
    EXPECT_EQ(companies->currentIndex(), -1) << "adding names chooses none";
    companies->setCurrentIndex(1);
    companies->addItem(QStringLiteral("南北観光"));
    EXPECT_EQ(companies->currentIndex(), 1) << "a choice survives more names";

    // Choosing a plug-in again empties the list and fills it anew: nothing chosen again.
    companies->clear();
    companies->addItem(QStringLiteral("ファレット交通"));
    EXPECT_EQ(companies->currentIndex(), -1);
}

TEST_F(ControlPanelTest, TicketDrawingGetsTheStopRowAndItsOwnTicketNumber)
{
    // Ticket numbers 10, 20, ... so that none equals its row.
    std::vector<Stop> stopsList = numberedStops(4);
    for (Stop& stop : stopsList)
        stop.ticketNo = qint16(stop.ticketNo * 10);
    writeRoute(dir.path(), "12", stopsList);
    options.setUseTicketPreview(1);
    // A real path, also where CP932 has no form for a character of it.
    options.setTicketPluginPath(dir.filePath("Müller/切符.4SP"));
    selectDateMode(options, core::TicketDateMode::Fixed);
    struct Call {
        QString path;
        QByteArray name, date, time;
        std::int32_t routeNo;
        std::int16_t ticketNo, row, company;
    };
    std::vector<Call> calls;
    panel->setTicketDrawer([&](const QString& path, QPaintDevice*, const QByteArray& name,
                               const QByteArray& date, const QByteArray& time, std::int32_t routeNo,
                               std::int16_t ticketNo, std::int16_t row, std::int16_t company) {
        calls.push_back({path, name, date, time, routeNo, ticketNo, row, company});
    });

    setRoute("0012", "2");
    ASSERT_EQ(calls.size(), 1u);
    EXPECT_EQ(calls[0].path, options.ticketPluginPath());
    EXPECT_EQ(platform::fromCp932(calls[0].name), QStringLiteral("停留所2"));
    EXPECT_EQ(calls[0].date, QByteArray("2009/01/24"));
    EXPECT_TRUE(QTime::fromString(QString::fromLatin1(calls[0].time), "HH:mm:ss").isValid());
    EXPECT_EQ(calls[0].routeNo, 12);
    EXPECT_EQ(calls[0].ticketNo, 20);
    EXPECT_EQ(calls[0].row, 2);
    EXPECT_EQ(calls[0].company, -1);

    panel->companyList()->addItems({QStringLiteral("甲"), QStringLiteral("乙")});
    panel->companyList()->setCurrentIndex(1);
    panel->stepStop(core::StepDirection::Forward);
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[1].ticketNo, 30);
    EXPECT_EQ(calls[1].row, 3);
    EXPECT_EQ(calls[1].company, 1);
}

TEST_F(ControlPanelTest, RefusedFareFileLeavesTheShownRouteSteppable)
{
    writeRoute(dir.path(), "10", numberedStops(6));
    writeFile("7.hy3", QByteArray());              // message (A): no records
    writeRoute(dir.path(), "5", numberedStops(3)); // section 4: message (B)
    setRoute("10", "2");

    setRoute("7", "1");
    ASSERT_EQ(messages.calls().size(), 1u);
    EXPECT_EQ(session.recordCount(), 0);
    button("stepForwardButton")->click();
    EXPECT_EQ(lastShown(), QStringLiteral("停留所3"));

    setRoute("5", "4");
    ASSERT_EQ(messages.calls().size(), 2u);
    EXPECT_EQ(session.recordCount(), 3);
    for (int i = 0; i < 5; ++i)
        button("stepForwardButton")->click();
    EXPECT_EQ(session.stopIndex(), 5) << "up to the last stop of route 10, not row 3";
    EXPECT_EQ(lastShown(), QStringLiteral("停留所6"));
    button("stepBackButton")->click();
    EXPECT_EQ(lastShown(), QStringLiteral("停留所5"));
}

TEST_F(ControlPanelTest, OnlyTheEntryPanelsOwnSurfaceSwitchesPanels)
{
    panel->show();
    for (const char* inside : {"routeDisplay", "sectionDisplay", "routeSectionSeparator"}) {
        doubleClick(label(QString::fromLatin1(inside)));
        EXPECT_EQ(panel->panelState().PanelMode, 0) << inside;
    }
    doubleClick(key(5));
    EXPECT_EQ(panel->panelState().PanelMode, 0);
    doubleClick(entryPanel(1), QPointF(3, 100)); // the margin beside the keys
    EXPECT_EQ(panel->panelState().PanelMode, 1);
    EXPECT_TRUE(entryPanel(0)->isVisible());

    // The list panel in front: its captions and lists do not switch either.
    for (QLabel* caption : entryPanel(0)->findChildren<QLabel*>()) {
        doubleClick(caption);
        EXPECT_EQ(panel->panelState().PanelMode, 1) << caption->text().toStdString();
    }
    doubleClick(widget<QListWidget>("routeDigitList2")->viewport());
    EXPECT_EQ(panel->panelState().PanelMode, 1);
    doubleClick(entryPanel(0));
    EXPECT_EQ(panel->panelState().PanelMode, 0);
}

TEST_F(ControlPanelTest, DigitListsKeepTheirDigitAndSoundOnEveryChange)
{
    options.setResetSound(writeFile("reset.wav", "RIFF"));
    options.setRouteSetSound(writeFile("routeset.wav", "RIFF"));
    panel->restorePanelState([] {
        ControlPanelState lists;
        lists.PanelMode = 1; // keypad to the back
        return lists;
    }());
    showActive();
    QListWidget* digits = widget<QListWidget>("routeDigitList3");
    const auto clickIn = [&](QListWidget* list, int digit,
                             Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const QPointF at = list->visualItemRect(list->item(digit)).center();
        for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
            QMouseEvent event(type, at, list->viewport()->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              modifiers);
            QApplication::sendEvent(list->viewport(), &event);
        }
    };
    const auto clickDigit = [&](int digit, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        clickIn(digits, digit, modifiers);
    };
    const auto chosen = [&] {
        const QList<QListWidgetItem*> items = digits->selectedItems();
        return items.isEmpty() ? QString() : items.first()->text();
    };

    clickDigit(3);
    EXPECT_EQ(chosen(), QStringLiteral("3"));
    EXPECT_EQ(timesOpened("reset.wav"), 1) << "one sound for a click that chose";
    clickDigit(3);
    EXPECT_EQ(timesOpened("reset.wav"), 2) << "a click on the chosen digit sounds too";
    clickDigit(3, Qt::ControlModifier);
    EXPECT_EQ(chosen(), QStringLiteral("3")) << "Ctrl+click keeps the digit";
    EXPECT_EQ(timesOpened("reset.wav"), 3);
    digits->setFocus();
    type(Qt::Key_Space, digits, Qt::ControlModifier);
    EXPECT_EQ(chosen(), QStringLiteral("3")) << "Ctrl+Space keeps the digit";
    EXPECT_EQ(timesOpened("reset.wav"), 3) << "no click and no change: no sound";

    type(Qt::Key_Down, digits);
    EXPECT_EQ(chosen(), QStringLiteral("4"));
    EXPECT_EQ(timesOpened("reset.wav"), 4) << "the keyboard sounds like the mouse";
    clickDigit(7, Qt::ControlModifier);
    EXPECT_EQ(chosen(), QStringLiteral("7"));
    EXPECT_EQ(timesOpened("reset.wav"), 5);

    QListWidget* sectionDigits = widget<QListWidget>("sectionDigitList0");
    clickIn(sectionDigits, 2);
    clickIn(sectionDigits, 2);
    EXPECT_EQ(timesOpened("routeset.wav"), 2);
    sectionDigits->setFocus();
    type(Qt::Key_Down, sectionDigits);
    EXPECT_EQ(timesOpened("routeset.wav"), 3);
    EXPECT_EQ(timesOpened("reset.wav"), 5);
}

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    testsupport::application();
    return RUN_ALL_TESTS();
}
