#pragma once

#include "core/options.h"

#include <QString>
#include <span>

class QWidget;

// The options dialog's controls and the options they edit, bound by the controls' object
// names. The one place that says which control edits which option.
struct OptionControl {
    core::OptionId option;
    const char* objectName;
};
std::span<const OptionControl> optionControls();

// Binds every control of optionControls() under `dialog` to `options`, both ways and at once:
// the controls first take the options' values, then a change on either side reaches the
// other before the call that made it returns. Check boxes, lists, option buttons, text boxes
// and colour buttons report their own changes; a label (the fixed date) only shows its
// option. An option button's false is shown by selecting the other button of its group; a
// group keeps one button selected, so a false that leaves its button selected is put back
// into the options. Returns false, binding nothing, when a control is missing.
bool bindOptionControls(QWidget* dialog, core::Options& options);
