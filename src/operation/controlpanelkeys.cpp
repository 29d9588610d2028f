#include "operation/controlpanelkeys.h"

namespace consolekeys
{

KeyCommand commandForKey(int key, Qt::KeyboardModifiers modifiers)
{
    // Ctrl, Alt and Meta combinations belong to the desktop and to the focused control.
    if (modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    if (key >= Qt::Key_0 && key <= Qt::Key_9)
        return {Action::Digit, key - Qt::Key_0};
    switch (key) {
    case Qt::Key_R:
        return {Action::ChooseRoute};
    case Qt::Key_S:
        return {Action::ChooseSection};
    case Qt::Key_Backspace:
        return {Action::ClearTarget};
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return {Action::SetRoute};
    case Qt::Key_Space:
    case Qt::Key_Right:
    case Qt::Key_PageDown:
        return {Action::StepForward};
    case Qt::Key_Left:
    case Qt::Key_PageUp:
        return {Action::StepBack};
    case Qt::Key_N:
        return {Action::TapeNext};
    case Qt::Key_B:
        return {Action::TapeBack};
    case Qt::Key_Escape:
        return {Action::TapeStop};
    default:
        return {};
    }
}

bool focusTakesKey(Focus focus, int key)
{
    const bool press = key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter ||
                       key == Qt::Key_Select;
    const bool upDown = key == Qt::Key_Up || key == Qt::Key_Down;
    const bool arrows = upDown || key == Qt::Key_Left || key == Qt::Key_Right;
    const bool ends = key == Qt::Key_Home || key == Qt::Key_End;
    const bool pages = key == Qt::Key_PageUp || key == Qt::Key_PageDown;
    switch (focus) {
    case Focus::Console:
        return false;
    case Focus::Button:
        return press;
    case Focus::RadioButton:
        return press || arrows;
    case Focus::ScrollBar:
        return arrows || pages || ends;
    case Focus::DigitList:
        return upDown || ends;
    case Focus::ComboBox:
        return press || arrows || pages || ends || key == Qt::Key_F4;
    }
    return false;
}

QString keyNames(const KeyCommand& command)
{
    switch (command.action) {
    case Action::Digit:
        return QString::number(command.digit);
    case Action::ChooseRoute:
        return QStringLiteral("R");
    case Action::ChooseSection:
        return QStringLiteral("S");
    case Action::ClearTarget:
        return QStringLiteral("Backspace");
    case Action::SetRoute:
        return QStringLiteral("Enter");
    case Action::StepForward:
        return QStringLiteral("Space / → / PageDown");
    case Action::StepBack:
        return QStringLiteral("← / PageUp");
    case Action::TapeNext:
        return QStringLiteral("N");
    case Action::TapeBack:
        return QStringLiteral("B");
    case Action::TapeStop:
        return QStringLiteral("Esc");
    case Action::None:
        break;
    }
    return QString();
}

QString withKeyHint(const QString& toolTip, const KeyCommand& command)
{
    const QString hint = QStringLiteral("キー：") + keyNames(command);
    if (toolTip.isEmpty())
        return hint;
    return toolTip + QStringLiteral("（") + hint + QStringLiteral("）");
}

} // namespace consolekeys
