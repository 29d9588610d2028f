#pragma once

#include "platform/twips.h"

#include <QRect>

// Where the fare display window's elements sit, in twips as the window is designed, and the
// same places in pixels. The panel picture is drawn to fit these places.
namespace displaylayout
{

inline constexpr int ClientWidthTwips = 7470;
inline constexpr int ClientHeightTwips = 3720;
inline constexpr int ClientWidth = platform::twipsToPixels(ClientWidthTwips);   // 498
inline constexpr int ClientHeight = platform::twipsToPixels(ClientHeightTwips); // 248

inline constexpr int FareElementCount = 12;
inline constexpr int CellsPerRow = 6;
// Horizontal distance between neighbouring cells.
inline constexpr int CellPitchTwips = 885;

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

constexpr QRect toPixels(const TwipRect& r)
{
    return QRect(platform::twipsToPixels(r.left), platform::twipsToPixels(r.top),
                 platform::twipsToPixels(r.width), platform::twipsToPixels(r.height));
}

// The stop-name board.
constexpr TwipRect stopNameBoardRect()
{
    return {660, 540, 6480, 840};
}

// Fare element i (1..12): six to a row, the second row under the first.
constexpr TwipRect fareElementRect(int i)
{
    const int column = (i - 1) % CellsPerRow;
    const int top = i <= CellsPerRow ? 2100 : 2880;
    return {1245 + CellPitchTwips * column, top, 855, 435};
}

// Ticket-number label i (1..12), in the header strip over fare element i.
constexpr TwipRect ticketLabelRect(int i)
{
    const int column = (i - 1) % CellsPerRow;
    const int top = i <= CellsPerRow ? 1830 : 2610;
    return {1275 + CellPitchTwips * column, top, 780, 240};
}

// Clock element 0 (hours) or 1 (minutes).
constexpr TwipRect clockElementRect(int i)
{
    return {i == 0 ? 5445 : 5850, 30, 390, 300};
}

} // namespace displaylayout
