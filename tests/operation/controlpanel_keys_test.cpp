// The control panel from the keyboard, and the tape's announcement text.
#include "controlpanelfixture.h"

#include "dialogs/versiondialog.h"
#include "operation/controlpanelkeys.h"
#include "platform/cp932.h"
#include "speech/speechengine.h"
#include "tickets/ticketpreview.h"

#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QListWidget>
#include <QRadioButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

using namespace paneltest;

namespace
{

// Speaks nothing, so that the tape group is usable in a test; says what it was asked.
class SilentEngine : public speech::SpeechEngine
{
public:
    explicit SilentEngine(std::shared_ptr<QStringList> calls) : calls_(std::move(calls)) {}
    void speak(const QString& text) override { *calls_ << QStringLiteral("speak ") + text; }
    void stop() override { *calls_ << QStringLiteral("stop"); }
    int status() const override { return 0; }
    speech::SpeechSettings settings() const override { return settings_; }
    void setSettings(const speech::SpeechSettings& settings) override { settings_ = settings; }
    QString voiceName() const override { return QStringLiteral("無声"); }
    void speakWith(const QString& text, const speech::SpeechSettings& settings) override
    {
        *calls_ << QStringLiteral("speak %1 at %2").arg(text).arg(settings.rate);
    }

private:
    std::shared_ptr<QStringList> calls_;
    speech::SpeechSettings settings_;
};

class ConsoleKeysTest : public ControlPanelTest
{
protected:
    ConsoleKeysTest()
    {
        options.setResetSound(writeFile("reset.wav", "RIFF"));
        options.setRouteSetSound(writeFile("routeset.wav", "RIFF"));
        options.setStepSoundFile(writeFile("step.wav", "RIFF"));
        writeRoute(dir.path(), "12", numberedStops(5));
    }

    void typeRoute12Section2()
    {
        for (int keyCode : {Qt::Key_R, Qt::Key_1, Qt::Key_2, Qt::Key_S, Qt::Key_2})
            type(keyCode);
    }
};

class SpeakingTapeTest : public ControlPanelTest
{
protected:
    SpeakingTapeTest()
    {
        tape.setSpeechEngineFactory(
            [calls = engineCalls] { return std::make_unique<SilentEngine>(calls); });
        panel->onLoad();
        // The engine is created on a worker thread and handed over through the event loop.
        QElapsedTimer waiting;
        waiting.start();
        while (!tape.isSpeechAvailable() && waiting.elapsed() < 10000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }

    // Runs the voice settings dialog that "調整" opens: inside it, `act` (on the dialog),
    // then the button given.
    void answerSpeechDialog(const std::function<void(QDialog&)>& act, const QString& button)
    {
        QTimer::singleShot(0, [act, button] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(dialog);
            act(*dialog);
            for (QPushButton* b : dialog->findChildren<QPushButton*>())
                if (b->text() == button)
                    b->click();
        });
        this->button("tapeSettingsButton")->click();
    }

    std::shared_ptr<QStringList> engineCalls = std::make_shared<QStringList>();
};

} // namespace

TEST(ConsoleKeyMap, CtrlAltAndMetaCombinationsAreLeftAlone)
{
    using consolekeys::Action;
    EXPECT_EQ(consolekeys::commandForKey(Qt::Key_7, Qt::KeypadModifier).action, Action::Digit);
    EXPECT_EQ(consolekeys::commandForKey(Qt::Key_7, Qt::KeypadModifier).digit, 7);
    EXPECT_EQ(consolekeys::commandForKey(Qt::Key_Enter, Qt::KeypadModifier).action,
              Action::SetRoute);
    for (Qt::KeyboardModifier held : {Qt::ControlModifier, Qt::AltModifier, Qt::MetaModifier})
        EXPECT_EQ(consolekeys::commandForKey(Qt::Key_R, held).action, Action::None);
    EXPECT_EQ(consolekeys::withKeyHint(QStringLiteral("放送を止めます"), {Action::TapeStop}),
              QStringLiteral("放送を止めます（キー：Esc）"));
}

TEST_F(ConsoleKeysTest, KeysSetTheRouteAndStepWithTheSoundsOfTheButtons)
{
    // The mouse first, then the same operation from the keyboard on a fresh route state.
    setRoute("12", "2");
    button("stepForwardButton")->click();
    button("stepForwardButton")->click();
    button("stepBackButton")->click();
    const std::vector<QString> byMouse = mciCommands;
    ASSERT_EQ(lastShown(), QStringLiteral("停留所3"));

    mciCommands.clear();
    session.enterRoute(QString(), QString()); // forget route 12
    label("routeDisplay")->clear();
    label("sectionDisplay")->clear();
    display.board()->shown.clear();
    typeRoute12Section2();
    EXPECT_EQ(label("routeDisplay")->text(), QStringLiteral("12"));
    EXPECT_EQ(label("sectionDisplay")->text(), QStringLiteral("2"));
    type(Qt::Key_Return);
    EXPECT_EQ(session.routeNo(), QStringLiteral("12"));
    EXPECT_EQ(lastShown(), QStringLiteral("停留所2"));
    type(Qt::Key_Space);
    type(Qt::Key_Right);
    type(Qt::Key_Left);
    EXPECT_EQ(lastShown(), QStringLiteral("停留所3"));
    EXPECT_EQ(mciCommands, byMouse);

    type(Qt::Key_PageDown);
    EXPECT_EQ(session.stopIndex(), 3);
    type(Qt::Key_PageUp);
    EXPECT_EQ(session.stopIndex(), 2);
}

TEST_F(ConsoleKeysTest, BackspaceEmptiesTheDisplayTheDigitsGoTo)
{
    typeRoute12Section2();
    type(Qt::Key_Backspace);
    EXPECT_EQ(label("sectionDisplay")->text(), QString());
    EXPECT_EQ(label("routeDisplay")->text(), QStringLiteral("12"));
    type(Qt::Key_R);
    type(Qt::Key_4);
    type(Qt::Key_Backspace);
    EXPECT_EQ(label("routeDisplay")->text(), QString());
    EXPECT_EQ(panel->keypadTarget(), ControlPanel::KeypadTarget::Route);
    EXPECT_EQ(timesOpened("reset.wav"), 9) << "each key sounds like its keypad key";
}

TEST_F(ConsoleKeysTest, SpaceAndEnterPressTheFocusedControl)
{
    showActive();
    setRoute("12", "4");
    QPushButton* back = button("stepBackButton");
    back->setFocus();
    type(Qt::Key_Space, back);
    EXPECT_EQ(session.stopIndex(), 2) << "Space on データ戻し steps back";
    type(Qt::Key_Return, back);
    EXPECT_EQ(session.stopIndex(), 1);
    type(Qt::Key_Right, back);
    EXPECT_EQ(session.stopIndex(), 2) << "the other console keys still act";

    QPushButton* clear = button("displayClearButton");
    clear->setFocus();
    type(Qt::Key_Space, clear);
    EXPECT_TRUE(clear->isChecked());
    type(Qt::Key_Enter, clear, Qt::KeypadModifier);
    EXPECT_FALSE(clear->isChecked());
    EXPECT_EQ(session.stopIndex(), 2);

    QCheckBox* nightFare = widget<QCheckBox>("nightFareCheck");
    nightFare->setFocus();
    type(Qt::Key_Space, nightFare);
    EXPECT_TRUE(nightFare->isChecked());
    type(Qt::Key_Return, nightFare);
    EXPECT_FALSE(nightFare->isChecked());

    QRadioButton* on2 = widget<QRadioButton>("backlightButton2");
    on2->setFocus();
    type(Qt::Key_Return, on2);
    EXPECT_EQ(panel->selectedBacklight(), core::Backlight::On2);
    type(Qt::Key_Left, on2);
    EXPECT_EQ(panel->selectedBacklight(), core::Backlight::On1)
        << "the arrows choose among the backlight";

    QPushButton* preview = button("previewToggle");
    preview->setFocus();
    type(Qt::Key_Space, preview);
    EXPECT_TRUE(preview->isChecked());

    int versionBoxes = 0;
    panel->setVersionBox([&](QWidget*, int, const QString&) { ++versionBoxes; });
    button("versionButton")->setFocus();
    type(Qt::Key_Return, button("versionButton"));
    type(Qt::Key_Space, button("versionButton"));
    panel->setVersionBox(nullptr);
    EXPECT_EQ(versionBoxes, 2);

    QDialog options;
    int optionsShown = 0;
    panel->setOptionsDialog(&options);
    QObject::connect(&options, &QDialog::finished, [&] { ++optionsShown; });
    QTimer::singleShot(0, &options, &QDialog::reject);
    button("optionsButton")->setFocus();
    type(Qt::Key_Return, button("optionsButton"));
    EXPECT_EQ(optionsShown, 1);

    // On a keypad key the console keys act, Space and Enter included.
    key(5)->setFocus();
    type(Qt::Key_Space, key(5));
    EXPECT_EQ(session.stopIndex(), 3);
    EXPECT_EQ(label("sectionDisplay")->text(), QStringLiteral("4")) << "the key was not pressed";
    const int lampTests = static_cast<int>(clock.sleeps().size());
    type(Qt::Key_Return, key(5));
    EXPECT_EQ(static_cast<int>(clock.sleeps().size()), lampTests + 1) << "Enter set the route";
}

TEST_F(ConsoleKeysTest, BarsAndListsKeepTheirArrowsAndClicksLeaveTheKeysToTheConsole)
{
    showActive();
    setRoute("12", "1");
    QScrollBar* speed = scrollBar("scrollSpeedBar");
    speed->setFocus();
    type(Qt::Key_PageDown, speed);
    EXPECT_EQ(speed->value(), 101);
    type(Qt::Key_Right, speed);
    EXPECT_NE(speed->value(), 101);
    type(Qt::Key_End, speed);
    EXPECT_EQ(speed->value(), 2000);
    EXPECT_EQ(session.stopIndex(), 0) << "the bar's keys moved only the bar";
    type(Qt::Key_Space, speed);
    EXPECT_EQ(session.stopIndex(), 1) << "a bar has no use for Space";

    // A click on a button does not take the focus away from the console keys.
    for (const char* name : {"stepForwardButton", "displayClearButton", "versionButton",
                             "optionsButton", "previewToggle", "tapeSettingsButton"})
        EXPECT_EQ(button(QString::fromLatin1(name))->focusPolicy(), Qt::TabFocus) << name;
    EXPECT_EQ(widget<QCheckBox>("nightFareCheck")->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(widget<QRadioButton>("backlightButton1")->focusPolicy(), Qt::TabFocus);
    EXPECT_EQ(speed->focusPolicy(), Qt::TabFocus);
}

TEST_F(ConsoleKeysTest, CtrlCCopiesTheTicketPreview)
{
    showActive();
    TicketPreview* preview = widget<TicketPreview>("ticketPreview");
    preview->image().fill(Qt::cyan);
    QGuiApplication::clipboard()->clear();
    QTest::keyClick(panel.get(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().pixelColor(1, 1), QColor(Qt::cyan));
    EXPECT_TRUE(preview->toolTip().endsWith(QStringLiteral("（キー：Ctrl+C）")));
}

TEST_F(ConsoleKeysTest, DigitsBringTheKeypadForwardAndEnterSetsFromThePanelInFront)
{
    ControlPanelState lists;
    lists.PanelMode = 1;
    panel->restorePanelState(lists);
    for (int i = 0; i < 5; ++i)
        widget<QListWidget>(QStringLiteral("routeDigitList%1").arg(i))
            ->item(i == 3   ? 1
                   : i == 4 ? 2
                            : 0)
            ->setSelected(true);
    widget<QListWidget>("sectionDigitList2")->item(3)->setSelected(true);
    type(Qt::Key_Enter, nullptr, Qt::KeypadModifier);
    EXPECT_EQ(session.routeText(), QStringLiteral("00012"));
    EXPECT_EQ(session.stopIndex(), 2);

    type(Qt::Key_5);
    EXPECT_EQ(panel->panelState().PanelMode, 0) << "typing brings the keypad to the front";
    EXPECT_EQ(label("sectionDisplay")->text(), QStringLiteral("5"));
}

TEST_F(ConsoleKeysTest, KeysDoNothingWhileDisplayClearIsOn)
{
    setRoute("12", "1");
    button("displayClearButton")->setChecked(true);
    const size_t shown = display.board()->shown.size();
    mciCommands.clear();
    for (int keyCode : {Qt::Key_R, Qt::Key_3, Qt::Key_Backspace, Qt::Key_Return, Qt::Key_Space,
                        Qt::Key_Left, Qt::Key_N, Qt::Key_B, Qt::Key_Escape})
        type(keyCode);
    EXPECT_TRUE(mciCommands.empty());
    EXPECT_EQ(display.board()->shown.size(), shown);
    EXPECT_EQ(session.stopIndex(), 0);
    EXPECT_EQ(label("routeDisplay")->text(), QStringLiteral("12"));
    EXPECT_TRUE(clock.sleeps().size() == 1u) << "no second lamp test";
}

TEST_F(ConsoleKeysTest, ToolTipsNameTheKeys)
{
    EXPECT_EQ(key(7)->toolTip(), QStringLiteral("キー：7"));
    EXPECT_EQ(button("stepForwardButton")->toolTip(), QStringLiteral("キー：Space / → / PageDown"));
    EXPECT_EQ(button("tapeStopButton")->toolTip(), QStringLiteral("放送を止めます（キー：Esc）"));
    EXPECT_EQ(key(3)->focusPolicy(), Qt::TabFocus);
}

TEST_F(SpeakingTapeTest, TapeGroupShowsTheCurrentAnnouncement)
{
    writeRoute(dir.path(), "6", numberedStops(4));
    const QString longText = QStringLiteral("次は、市役所前です。お降りの方はお知らせください。"
                                            "市役所前では市立病院行きにお乗り換えいただけます。");
    writeFile("6tp.csv", platform::toCp932(QStringLiteral("発車します,0,0\r\n\"") + longText +
                                           QStringLiteral("\",1,0\r\n")));
    QGroupBox* group = widget<QGroupBox>("tapeGroup");
    QLabel* text = label("tapeTextLabel");
    setRoute("6", "1");
    ASSERT_TRUE(button("tapeNextButton")->isEnabled());
    const QString caption = group->title();
    EXPECT_EQ(text->text(), QString());

    type(Qt::Key_N);
    EXPECT_EQ(text->text(), QStringLiteral("発車します"));
    button("tapeNextButton")->click();
    EXPECT_EQ(session.stopIndex(), 1) << "the flagged announcement stepped";
    EXPECT_TRUE(text->text().endsWith(QChar(0x2026))) << "elided to one line";
    EXPECT_TRUE(longText.startsWith(text->text().chopped(1)));
    EXPECT_LE(text->fontMetrics().horizontalAdvance(text->text()), text->width());
    EXPECT_EQ(text->toolTip(), longText);
    EXPECT_LT(text->font().pointSizeF(), panel->font().pointSizeF());

    type(Qt::Key_B);
    EXPECT_EQ(text->text(), QStringLiteral("発車します"));
    EXPECT_EQ(group->title(), caption);
    EXPECT_TRUE(group->isEnabled());

    // Another route starts before its first announcement.
    writeRoute(dir.path(), "7", numberedStops(2));
    writeFile("7tp.csv", "A,0,0\r\n");
    setRoute("7", "1");
    EXPECT_EQ(text->text(), QString());
}

TEST_F(SpeakingTapeTest, TheTapeLineShowsTheNamesAndTheVoiceSpeaksTheirReadings)
{
    writeRoute(dir.path(), "6", numberedStops(2));
    writeFile("6tp.csv",
              platform::toCp932(QStringLiteral("\"次は、富岸《とんけし》です。\",0,0\r\n")));
    setRoute("6", "1");
    button("tapeNextButton")->click();
    QLabel* text = label("tapeTextLabel");
    EXPECT_EQ(text->text(), QStringLiteral("次は、富岸です。"));
    EXPECT_EQ(text->toolTip(), QStringLiteral("次は、富岸です。"));
    EXPECT_TRUE(engineCalls->contains(QStringLiteral("speak 次は、とんけしです。")))
        << engineCalls->join(u'|').toStdString();
}

TEST_F(SpeakingTapeTest, TheVoiceDialogSpeaksTheSampleAndKeepsItsSettingsOnTheTape)
{
    writeRoute(dir.path(), "6", numberedStops(2));
    writeFile("6tp.csv", "A,0,0\r\n");
    setRoute("6", "1");
    int changed = 0;
    QObject::connect(&tape, &sound::BroadcastTape::speechSettingsChanged, [&] { ++changed; });
    QString title, voice;
    answerSpeechDialog(
        [&](QDialog& dialog) {
            title = dialog.windowTitle();
            voice = dialog.findChild<QLabel*>(QStringLiteral("voiceLabel"))->text();
            dialog.findChild<QSlider*>(QStringLiteral("rateSlider"))->setValue(300);
            dialog.findChild<QPushButton*>(QStringLiteral("sampleButton"))->click();
        },
        QStringLiteral("キャンセル"));
    EXPECT_EQ(title, QStringLiteral("音声の調節"));
    EXPECT_EQ(voice, QStringLiteral("声: 無声"));
    EXPECT_EQ(*engineCalls, (QStringList{QStringLiteral("speak ") + speech::sampleText() +
                                             QStringLiteral(" at 300"),
                                         QStringLiteral("stop")}))
        << "the sample ends with the dialog";
    EXPECT_EQ(changed, 0) << "cancelled";

    answerSpeechDialog(
        [](QDialog& dialog) {
            dialog.findChild<QSlider*>(QStringLiteral("rateSlider"))->setValue(250);
        },
        QStringLiteral("OK"));
    EXPECT_EQ(tape.speechSettings().rate, 250);
    EXPECT_EQ(changed, 1);
}

TEST_F(SpeakingTapeTest, TheVoiceDialogOutlivesTheEngineThatTheExitReleases)
{
    writeRoute(dir.path(), "6", numberedStops(2));
    writeFile("6tp.csv", "A,0,0\r\n");
    setRoute("6", "1");
    // A termination signal while the dialog is open after a sample: the exit releases the
    // engine under the dialog, and the dialog then closes.
    answerSpeechDialog(
        [this](QDialog& dialog) {
            dialog.findChild<QPushButton*>(QStringLiteral("sampleButton"))->click();
            tape.releaseSpeech();
            dialog.findChild<QSlider*>(QStringLiteral("volumeSlider"))->setValue(40);
        },
        QStringLiteral("OK"));
    EXPECT_EQ(engineCalls->size(), 1) << "nothing reached the engine once it was released";
    EXPECT_EQ(tape.speechSettings().volume, 40) << "the settings stay with the tape";
}

TEST_F(SpeakingTapeTest, TabReachesEveryControlInTheConsolesOrder)
{
    writeRoute(dir.path(), "6", numberedStops(4));
    writeFile("6tp.csv", "A,0,0\r\n");
    setRoute("6", "1");
    showActive();
    const QStringList narrow = {
        "keypadKey7",           "keypadKey8",        "keypadKey9",     "keypadKey10",
        "keypadKey4",           "keypadKey5",        "keypadKey6",     "keypadKey11",
        "keypadKey1",           "keypadKey2",        "keypadKey3",     "keypadKey0",
        "keypadRouteSetButton", "stepForwardButton", "stepBackButton", "displayClearButton",
        "backlightButton0",     "nightFareCheck",    "scrollSpeedBar", "scrollIntervalBar",
        "tapeBackButton",       "tapeNextButton",    "tapeStopButton", "tapeSettingsButton",
        "optionsButton",        "versionButton",     "previewToggle"};
    const auto tabThrough = [&](int keyCode) {
        QStringList visited;
        for (int i = 0; i < 60; ++i) {
            QWidget* at = QApplication::focusWidget();
            if (at == nullptr || (i > 0 && at->objectName() == visited.constFirst()))
                break;
            visited << at->objectName();
            type(keyCode, at);
        }
        return visited;
    };
    key(7)->setFocus();
    EXPECT_EQ(tabThrough(Qt::Key_Tab), narrow);

    button("previewToggle")->click(); // the company list comes into sight, and into the order
    key(7)->setFocus();
    EXPECT_EQ(tabThrough(Qt::Key_Tab), narrow + QStringList{"companyList"});

    // The list panel in front: its lists instead of the keypad.
    doubleClick(entryPanel(1), QPointF(3, 100));
    widget<QListWidget>("routeDigitList0")->setFocus();
    const QStringList lists = tabThrough(Qt::Key_Tab).mid(0, 10);
    EXPECT_EQ(lists, (QStringList{"routeDigitList0", "routeDigitList1", "routeDigitList2",
                                  "routeDigitList3", "routeDigitList4", "sectionDigitList0",
                                  "sectionDigitList1", "sectionDigitList2", "listRouteSetButton",
                                  "stepForwardButton"}));
}
