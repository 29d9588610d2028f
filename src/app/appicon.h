#pragma once

#include <QIcon>
#include <QImage>
#include <array>

// The program's icon at `size` x `size` pixels: a square piece of the fare display's panel
// picture with fares lit in its cells, in a white rounded frame on a transparent ground.
// Large icons show the "次は" mark and the first cells; small ones only four cells, which
// stay readable when scaled down.
QImage drawAppIcon(int size);

// The sizes the hicolor theme gets, which the window icon drawn at run time has as well.
inline constexpr std::array<int, 6> AppIconSizes = {16, 32, 48, 64, 128, 256};
// The sizes the windows carry from the icon files. Each window hands every size to the display
// server at its creation; the largest file is for the menus and launchers, which read it from
// the theme themselves.
inline constexpr std::array<int, 5> WindowIconSizes = {16, 32, 48, 64, 128};

// The icon in all AppIconSizes, drawn from one panel picture: the windows' icon when the
// installed one is not found.
QIcon drawAppIconSet();
