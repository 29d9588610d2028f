// The control panel from the keyboard.
#include "controlpanelfixture.h"

#include "operation/controlpanelkeys.h"

#include <QListWidget>

using namespace paneltest;

namespace
{

class ConsoleKeysTest : public ControlPanelTest
{
protected:
    ConsoleKeysTest()
    {
        options.resetFile = writeFile("reset.wav", "RIFF");
        options.routeSetFile = writeFile("routeset.wav", "RIFF");
        options.stepFile = writeFile("step.wav", "RIFF");
        writeRoute(dir.path(), "12", numberedStops(5));
    }

    void typeRoute12Section2()
    {
        for (int keyCode : {Qt::Key_R, Qt::Key_1, Qt::Key_2, Qt::Key_S, Qt::Key_2})
            type(keyCode);
    }
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
    route() = RouteState{};
    label("routeDisplay")->clear();
    label("sectionDisplay")->clear();
    display.board()->shown.clear();
    typeRoute12Section2();
    EXPECT_EQ(label("routeDisplay")->text(), QStringLiteral("12"));
    EXPECT_EQ(label("sectionDisplay")->text(), QStringLiteral("2"));
    type(Qt::Key_Return);
    EXPECT_EQ(route().routeNo, QStringLiteral("12"));
    EXPECT_EQ(lastShown(), QStringLiteral("停留所2"));
    type(Qt::Key_Space);
    type(Qt::Key_Right);
    type(Qt::Key_Left);
    EXPECT_EQ(lastShown(), QStringLiteral("停留所3"));
    EXPECT_EQ(mciCommands, byMouse);

    type(Qt::Key_PageDown);
    EXPECT_EQ(route().stopIndex, 3);
    type(Qt::Key_PageUp);
    EXPECT_EQ(route().stopIndex, 2);
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

TEST_F(ConsoleKeysTest, KeysWinOverAFocusedButtonButNotOverABarOrTheBacklight)
{
    showActive();
    setRoute("12", "1");
    QPushButton* displayClear = button("displayClearButton");
    displayClear->setFocus();
    type(Qt::Key_Space, displayClear);
    EXPECT_FALSE(displayClear->isChecked());
    EXPECT_EQ(route().stopIndex, 1);
    type(Qt::Key_Right, displayClear);
    EXPECT_EQ(route().stopIndex, 2);

    QScrollBar* speed = scrollBar("scrollSpeedBar");
    speed->setFocus();
    type(Qt::Key_PageDown, speed);
    EXPECT_EQ(speed->value(), 101);
    EXPECT_EQ(route().stopIndex, 2);
    type(Qt::Key_Space, speed);
    EXPECT_EQ(route().stopIndex, 3);
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
    EXPECT_EQ(route().routeText, QStringLiteral("00012"));
    EXPECT_EQ(route().stopIndex, 2);

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
    EXPECT_EQ(route().stopIndex, 0);
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
