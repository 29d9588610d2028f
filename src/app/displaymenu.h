#pragma once

#include "core/options.h"

class QMenu;

// Fills the fare display window's right-click menu: "表示倍率" (1倍 .. 4倍, 画面に合わせる),
// "全画面表示" and "表示するモニタ" (the monitors connected now). Each item shows and sets its
// option in the model; the display window follows the model.
void fillDisplayMenu(QMenu& menu, core::Options& options);
