#pragma once

#include "elementvalue.h"

#include <QColor>
#include <QString>
#include <cstdint>

class QPainter;
class QRectF;

// The size classes of the digit element, in pixels: 0 (and any unknown class), 1, 2, 3.
struct DigitSizeClass {
    int positionWidth; // width of one digit position
    int height;        // height of the element
    int pointSize;     // size of the digit typeface the class stands for
};
DigitSizeClass digitSizeClass(int sizeClass);

// The text the element shows for a value under its rules: blank zeros (zeroMode), leading
// zeros (fillZero), blank positions on the right (shift), cut to the rightmost digitCount
// characters.
QString formatDigitValue(const ElementValue& value, int zeroMode, int fillZero, int shift,
                         int digitCount);

// Seven segments, one bit each: a top, b upper right, c lower right, d bottom, e lower left,
// f upper left, g middle.
namespace Segment
{
inline constexpr std::uint8_t A = 0x01, B = 0x02, C = 0x04, D = 0x08, E = 0x10, F = 0x20, G = 0x40,
                              All = 0x7F;
}

// Segments lit by a character: the digits, "-" the middle one; any other character none.
std::uint8_t segmentMask(QChar c);

// Looks of the segments: 0 (and any unknown style) upright, 1 slanted, 2 rounded.
enum class DigitLook { Upright, Slanted, Rounded };
DigitLook digitLook(int digitStyle);

struct DigitColors {
    QColor unlit;
    QColor lit;
};

// Paints digitCount digit positions of equal width across rect: every segment of each position in
// the unlit colour, then the rightmost digitCount characters of text right-aligned in the lit
// colour. Bold glyphs draw thicker segments. Nothing is drawn outside rect; the background is
// left to the caller.
void paintDigits(QPainter& painter, const QRectF& rect, const QString& text, int digitCount,
                 DigitLook look, const DigitColors& colors, bool bold = true);
