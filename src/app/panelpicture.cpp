#include "app/panelpicture.h"

#include "app/faredisplaylayout.h"
#include "platform/fontmap.h"

#include <QPainter>
#include <QPainterPath>

namespace
{

const QColor CasingColor(48, 48, 48);
const QColor FrameColor(255, 255, 255);
const QColor BoardColor(0, 0, 0);
const QColor StopFieldColor(112, 112, 112);
const QColor FareFieldColor(36, 36, 36);
const QColor DimSegmentColor(72, 72, 72);
const QColor InkColor(255, 255, 255);

constexpr int FrameInset = 1;
constexpr int FrameWidth = 3;
constexpr int Rule = 1; // width of the cell outlines
constexpr int ClosingColumnWidth = 14;
constexpr int DigitsPerCell = 3;

QFont pixelFont(const QString& face, int pixelSize, bool bold)
{
    QFont font(platform::mappedFamily(face));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

void drawFrameAndBoard(QPainter& p)
{
    p.fillRect(0, 0, displaylayout::ClientWidth, displaylayout::ClientHeight, CasingColor);
    p.setRenderHint(QPainter::Antialiasing, true);
    const QRectF outer(FrameInset, FrameInset, displaylayout::ClientWidth - 2 * FrameInset,
                       displaylayout::ClientHeight - 2 * FrameInset);
    QPainterPath frame;
    frame.addRoundedRect(outer, 12, 12);
    p.fillPath(frame, FrameColor);
    QPainterPath board;
    board.addRoundedRect(outer.adjusted(FrameWidth, FrameWidth, -FrameWidth, -FrameWidth), 9, 9);
    p.fillPath(board, BoardColor);
    p.setRenderHint(QPainter::Antialiasing, false);
}

// One dim "8": seven bars in a digit position of the fare field.
void drawDimEight(QPainter& p, const QRect& position)
{
    const int t = 3;                         // bar thickness
    const int x0 = position.left() + 3;      // left bars
    const int x1 = position.right() - 2 - t; // right bars
    const int y0 = position.top() + 3;
    const int y2 = position.bottom() - 2 - t;
    const int y1 = (y0 + y2) / 2;
    const int barLength = x1 - x0 - t - 1;
    const int halfHeight = y1 - y0 - t - 1;
    // top, middle, bottom
    for (int y : {y0, y1, y2})
        p.fillRect(x0 + t + 1, y, barLength, t, DimSegmentColor);
    // upper and lower pairs of uprights
    for (int x : {x0, x1}) {
        p.fillRect(x, y0 + t + 1, t, halfHeight, DimSegmentColor);
        p.fillRect(x, y1 + t + 1, t, y2 - y1 - t - 1, DimSegmentColor);
    }
}

void drawUpperArea(QPainter& p, int ruleY)
{
    const QRect field = displaylayout::toPixels(displaylayout::stopNameBoardRect());
    p.fillRect(field.adjusted(-2, -2, 2, 2), StopFieldColor);

    // "次" over "は", left of the field.
    p.setPen(InkColor);
    p.setFont(pixelFont(platform::GothicFace, 24, true));
    const int markLeft = 10;
    const int markWidth = field.left() - 2 - markLeft;
    p.drawText(QRect(markLeft, field.top() - 2, markWidth, field.height() / 2 + 2), Qt::AlignCenter,
               QStringLiteral("次"));
    p.drawText(QRect(markLeft, field.center().y(), markWidth, field.height() / 2 + 2),
               Qt::AlignCenter, QStringLiteral("は"));

    // Children's fare note, right-aligned under the field.
    p.setFont(pixelFont(platform::GothicFace, 11, false));
    const QRect note(field.left(), field.bottom() + 4, field.width(), ruleY - field.bottom() - 5);
    p.drawText(note, Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("小児運賃は大人の半額です（５円の端数は１０円に切り上げます）"));

    // The line between the two areas.
    p.fillRect(FrameInset + FrameWidth, ruleY,
               displaylayout::ClientWidth - 2 * (FrameInset + FrameWidth), 2, FrameColor);
}

// Vertical caption of the grid, one character under the other.
void drawGridCaption(QPainter& p, const QRect& column)
{
    const QString caption = QStringLiteral("整理券／運賃");
    p.setPen(InkColor);
    p.setFont(pixelFont(platform::GothicFace, 15, true));
    const int step = column.height() / caption.size();
    for (int k = 0; k < caption.size(); ++k) {
        const QRect cell(column.left(), column.top() + k * step, column.width(), step);
        if (caption[k] == QChar(0xFF0F)) {
            // The slash turns with the writing direction.
            p.save();
            p.translate(cell.center());
            p.rotate(90);
            p.drawText(QRect(-step / 2, -step / 2, step, step), Qt::AlignCenter,
                       QString(caption[k]));
            p.restore();
        } else {
            p.drawText(cell, Qt::AlignCenter, QString(caption[k]));
        }
    }
}

// One row of six cells (header strip over fare field) and the narrow closing column.
void drawGridRow(QPainter& p, int firstElement)
{
    const QRect label = displaylayout::toPixels(displaylayout::ticketLabelRect(firstElement));
    const QRect digit = displaylayout::toPixels(displaylayout::fareElementRect(firstElement));
    const int pitch = platform::twipsToPixels(displaylayout::CellPitchTwips);
    const int top = label.top() - 2;
    const int separator = digit.top() - Rule;
    const int bottom = digit.bottom() + 1;
    const int left = digit.left() - 2;
    const int sixCellsRight = left + displaylayout::CellsPerRow * pitch;
    const int right = sixCellsRight + ClosingColumnWidth;

    for (int k = 0; k < displaylayout::CellsPerRow; ++k) {
        const QRect field(left + k * pitch + Rule, digit.top(), pitch - Rule, digit.height());
        p.fillRect(field, FareFieldColor);
        const int positionWidth = digit.width() / DigitsPerCell;
        for (int d = 0; d < DigitsPerCell; ++d)
            drawDimEight(p, QRect(digit.left() + k * pitch + d * positionWidth, digit.top(),
                                  positionWidth, digit.height()));
    }
    // Outlines: horizontal rules, then one upright per cell boundary.
    p.fillRect(left, top, right - left + Rule, Rule, FrameColor);
    p.fillRect(left, separator, sixCellsRight - left, Rule, FrameColor);
    p.fillRect(left, bottom, right - left + Rule, Rule, FrameColor);
    for (int k = 0; k <= displaylayout::CellsPerRow; ++k)
        p.fillRect(left + k * pitch, top, Rule, bottom - top + 1, FrameColor);
    p.fillRect(right, top, Rule, bottom - top + 1, FrameColor);
}

} // namespace

QImage drawPanelPicture()
{
    QImage image(displaylayout::ClientWidth, displaylayout::ClientHeight, QImage::Format_RGB32);
    QPainter p(&image);
    drawFrameAndBoard(p);

    const QRect firstLabel = displaylayout::toPixels(displaylayout::ticketLabelRect(1));
    const QRect lastDigit = displaylayout::toPixels(displaylayout::fareElementRect(12));
    const int ruleY = firstLabel.top() - 10;
    drawUpperArea(p, ruleY);

    const int captionLeft = FrameInset + FrameWidth + 6;
    const int gridLeft = displaylayout::toPixels(displaylayout::fareElementRect(1)).left() - 2;
    drawGridCaption(p, QRect(captionLeft, firstLabel.top() - 2, gridLeft - captionLeft - 6,
                             lastDigit.bottom() + 2 - (firstLabel.top() - 2)));
    drawGridRow(p, 1);
    drawGridRow(p, 7);
    return image;
}
