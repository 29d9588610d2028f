#pragma once

#include <QImage>

// The built-in panel picture of the fare display window (498 x 248): a black board in a
// white rounded frame with the "次は" mark and the grey stop-name field above, and the grid
// of twelve ticket-number / fare cells below, each cell where its elements sit.
QImage drawPanelPicture();
