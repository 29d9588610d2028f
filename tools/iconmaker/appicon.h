#pragma once

#include <QImage>

// The program's icon at `size` x `size` pixels: a square piece of the fare display's panel
// picture with fares lit in its cells, in a white rounded frame on a transparent ground.
// Large icons show the "次は" mark and the first cells; small ones only four cells, which
// stay readable when scaled down.
QImage drawAppIcon(int size);
