#include "digitdrawing.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <array>
#include <cmath>

DigitSizeClass digitSizeClass(int sizeClass)
{
    switch (sizeClass) {
    case 1:
        return {17, 26, 24};
    case 2:
        return {19, 29, 27};
    case 3:
        return {11, 15, 14};
    default:
        return {13, 20, 18};
    }
}

namespace
{

ElementValue applyZeroMode(const ElementValue& value, int zeroMode)
{
    const ElementValue zero(0);
    const ElementValue empty(QString{});
    const ElementValue minusOne(-1);
    switch (zeroMode) {
    case 0:
        return (value == zero || value == empty) ? empty : value;
    case 1:
        return (value == zero || value == empty) ? zero : value;
    case 2:
        if (value == minusOne)
            return zero;
        return value == zero ? empty : value;
    case 3:
        return (value == minusOne || value == zero || value == empty) ? zero : value;
    default:
        return value;
    }
}

// The digits of a whole number; past 15 significant digits the rest are zeros, as the old
// runtime formats them.
QString wholeDigits(double magnitude)
{
    if (magnitude < 1e15)
        return QString::number(magnitude, 'f', 0);
    const QString scientific = QString::number(magnitude, 'e', 14); // d.dddddddddddddde+N
    const qsizetype e = scientific.indexOf(u'e');
    const int exponent = scientific.mid(e + 1).toInt();
    QString digits = scientific.left(e).remove(u'.');
    return digits + QString(std::max<qsizetype>(0, exponent + 1 - digits.size()), u'0');
}

// Leading zeros to `width` digits; fractions round half away from zero; longer numbers keep
// every digit.
QString zeroPadded(double number, int width)
{
    const double rounded = std::round(number);
    QString digits = wholeDigits(std::fabs(rounded));
    if (digits.size() < width)
        digits.prepend(QString(width - digits.size(), u'0'));
    return rounded < 0 ? u'-' + digits : digits;
}

} // namespace

QString formatDigitValue(const ElementValue& value, int zeroMode, int fillZero, int shift,
                         int digitCount)
{
    if (digitCount <= 0)
        return {};
    const ElementValue adjusted = applyZeroMode(value, zeroMode);
    QString text = adjusted.toString();
    if (fillZero > 0) {
        const auto number = adjusted.numericValue();
        if (number && std::isfinite(*number))
            text = zeroPadded(*number, fillZero);
    }
    // Blanks beyond digitCount would be cut off again at once.
    if (shift > 0)
        text += QString(std::min(shift, digitCount), u' ');
    return text.right(digitCount);
}

std::uint8_t segmentMask(QChar c)
{
    using namespace Segment;
    static constexpr std::array<std::uint8_t, 10> digits = {
        A | B | C | D | E | F, // 0
        B | C,                 // 1
        A | B | D | E | G,     // 2
        A | B | C | D | G,     // 3
        B | C | F | G,         // 4
        A | C | D | F | G,     // 5
        A | C | D | E | F | G, // 6
        A | B | C | F,         // 7
        All,                   // 8
        A | B | C | D | F | G, // 9
    };
    const char16_t code = c.unicode();
    if (code >= u'0' && code <= u'9')
        return digits[code - u'0'];
    if (code == u'-')
        return G;
    return 0;
}

DigitLook digitLook(int digitStyle)
{
    switch (digitStyle) {
    case 1:
        return DigitLook::Slanted;
    case 2:
        return DigitLook::Rounded;
    default:
        return DigitLook::Upright;
    }
}

namespace
{

// The frame of one digit inside its position, and the segment thickness.
struct DigitFrame {
    double left, right, top, bottom, thickness, gap;
    double middle() const { return (top + bottom) / 2; }
};

DigitFrame digitFrame(const QRectF& cell, bool bold)
{
    const double w = cell.width();
    const double h = cell.height();
    const double thickness = std::max(1.2, w * (bold ? 0.19 : 0.14));
    const double marginX = std::max(1.0, w * 0.14);
    const double marginY = std::max(1.0, h * 0.08);
    return {cell.left() + marginX,
            cell.right() - marginX,
            cell.top() + marginY,
            cell.bottom() - marginY,
            thickness,
            std::max(0.4, w * 0.035)};
}

// A segment from p to q (horizontal or vertical) as a lozenge-ended bar.
QPolygonF bar(QPointF p, QPointF q, double thickness)
{
    const double half = thickness / 2;
    if (p.y() == q.y()) {
        return QPolygonF({p,
                          {p.x() + half, p.y() - half},
                          {q.x() - half, q.y() - half},
                          q,
                          {q.x() - half, q.y() + half},
                          {p.x() + half, p.y() + half}});
    }
    return QPolygonF({p,
                      {p.x() + half, p.y() + half},
                      {q.x() + half, q.y() - half},
                      q,
                      {q.x() - half, q.y() - half},
                      {p.x() - half, p.y() + half}});
}

// End points of each segment along the centre lines of the frame.
std::array<std::pair<QPointF, QPointF>, 7> segmentLines(const DigitFrame& f)
{
    const double h = f.thickness / 2;
    const double l = f.left + h, r = f.right - h;
    const double t = f.top + h, b = f.bottom - h, m = f.middle();
    const double g = f.gap;
    return {{
        {{l + g, t}, {r - g, t}}, // a
        {{r, t + g}, {r, m - g}}, // b
        {{r, m + g}, {r, b - g}}, // c
        {{l + g, b}, {r - g, b}}, // d
        {{l, m + g}, {l, b - g}}, // e
        {{l, t + g}, {l, m - g}}, // f
        {{l + g, m}, {r - g, m}}, // g
    }};
}

void paintDigit(QPainter& painter, const QRectF& cell, std::uint8_t mask, DigitLook look,
                const QColor& color, bool bold)
{
    if (mask == 0)
        return;
    const DigitFrame frame = digitFrame(cell, bold);
    const auto lines = segmentLines(frame);
    painter.save();
    if (look == DigitLook::Slanted) {
        // Lean the digit forward about its vertical centre.
        const double lean = 0.12;
        const double cy = frame.middle();
        painter.setTransform(QTransform(1, 0, -lean, 1, lean * cy, 0), true);
    }
    if (look == DigitLook::Rounded) {
        QPen pen(color, frame.thickness * 1.05, Qt::SolidLine, Qt::RoundCap);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
    } else {
        painter.setPen(Qt::NoPen);
        painter.setBrush(color);
    }
    const double inset = look == DigitLook::Rounded ? frame.thickness * 0.45 : 0.0;
    for (int s = 0; s < 7; ++s) {
        if (!(mask & (1u << s)))
            continue;
        auto [p, q] = lines[static_cast<std::size_t>(s)];
        if (look == DigitLook::Rounded) {
            const QPointF step = (q - p) / std::max(1e-9, QLineF(p, q).length()) * inset;
            painter.drawLine(p + step, q - step);
        } else {
            painter.drawPolygon(bar(p, q, frame.thickness));
        }
    }
    painter.restore();
}

} // namespace

void paintDigits(QPainter& painter, const QRectF& rect, const QString& text, int digitCount,
                 DigitLook look, const DigitColors& colors, bool bold)
{
    if (digitCount <= 0 || rect.width() <= 0 || rect.height() <= 0)
        return;
    const double positionWidth = rect.width() / digitCount;
    auto cellAt = [&](int position) {
        return QRectF(rect.left() + position * positionWidth, rect.top(), positionWidth,
                      rect.height());
    };
    painter.save();
    // Segments have a minimum thickness and margin, so in a very small rectangle they would
    // reach past it.
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (int position = 0; position < digitCount; ++position)
        paintDigit(painter, cellAt(position), Segment::All, look, colors.unlit, bold);
    const QString shown = text.right(digitCount);
    const int first = digitCount - static_cast<int>(shown.size());
    for (int i = 0; i < shown.size(); ++i)
        paintDigit(painter, cellAt(first + i), segmentMask(shown[i]), look, colors.lit, bold);
    painter.restore();
}
