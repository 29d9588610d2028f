#pragma once

#include <QString>
#include <Qt>

// The control panel from the keyboard: which key stands for which button. Each key does what
// a click on its button does, so the panel maps keys to buttons and clicks them.
namespace consolekeys
{

enum class Action {
    None,
    Digit,         // a keypad digit, 0..9
    ChooseRoute,   // "系統"
    ChooseSection, // "区間"
    ClearTarget,   // empties the display the digits go to
    SetRoute,      // "リセット" of the route-entry panel in front
    StepForward,   // "データ送り"
    StepBack,      // "データ戻し"
    TapeNext,      // the tape's "送り"
    TapeBack,      // the tape's "戻し"
    TapeStop,      // the tape's "■"
};

struct KeyCommand {
    Action action = Action::None;
    int digit = -1; // for Action::Digit
};

// The command of a key press; None for keys the panel leaves alone, such as any key held
// with Ctrl, Alt or Meta.
KeyCommand commandForKey(int key, Qt::KeyboardModifiers modifiers);

// What has the keyboard focus, as far as the console keys are concerned.
enum class Focus {
    Console,     // the panel itself, a keypad key or the fare display: every console key acts
    Button,      // a push button or check box: Space and Enter press it
    RadioButton, // Space and Enter choose it, the arrows move through its group
    ScrollBar,   // the arrows, the page keys, Home and End move it
    DigitList,   // Up, Down, Home and End move through the digits
    ComboBox,    // Space, Enter, the arrows, the page keys, Home and End work its list
};

// True when a key goes to the focused control rather than to the console.
bool focusTakesKey(Focus focus, int key);

// The keys of a command as a tool tip names them, for example "Space / → / PageDown".
QString keyNames(const KeyCommand& command);

// A button's tool tip with its keys added: "次の放送を流します（キー：N）", or only
// "キー：N" when the button had no tool tip.
QString withKeyHint(const QString& toolTip, const KeyCommand& command);

} // namespace consolekeys
