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

// The keys of a command as a tool tip names them, for example "Space / → / PageDown".
QString keyNames(const KeyCommand& command);

// A button's tool tip with its keys added: "次の放送を流します（キー：N）", or only
// "キー：N" when the button had no tool tip.
QString withKeyHint(const QString& toolTip, const KeyCommand& command);

} // namespace consolekeys
