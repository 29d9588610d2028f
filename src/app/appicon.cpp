#include "app/appicon.h"

#include "app/faredisplaylayout.h"
#include "app/panelpicture.h"
#include "elements/digitdrawing.h"
#include "platform/fontmap.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace
{

// The display's default colours.
const QColor ElementBack(128, 128, 128);
const QColor UnlitSegment(150, 150, 150);
const QColor LitSegment(248, 210, 114);
const QColor Frame(255, 255, 255);
const QColor LitDot(255, 255, 0);

// The stop-name board's dots: an 18-dot glyph, a dot every 3 pixels, each 2 x 2.
constexpr int GlyphDots = 18;
constexpr int GlyphPixels = 19;
constexpr int DotPitch = 3;
constexpr int DotSize = 2;
const QString StopName = QStringLiteral("市役所前");

constexpr int DigitsPerCell = 3;
constexpr int LabelPointSize = 12;
const QString LitFares[] = {QStringLiteral("230"), QStringLiteral("210")};

// Inside the panel's white frame: the board with the mark, the field and the first cells.
constexpr QRect LargePiece(4, 4, 240, 240);
// Cell 1 with its ticket number, for sizes where anything more would be a blur.
constexpr QRect SmallPiece(81, 120, 60, 60);
constexpr int SmallestLargeIcon = 64;

// A stop name in lit dots on the stop-name field; the icon's piece cuts it as a scrolling
// name is cut.
void paintStopName(QPainter& p)
{
    QImage glyphs(GlyphDots * StopName.size(), GlyphDots, QImage::Format_RGB32);
    glyphs.fill(Qt::white);
    {
        QPainter g(&glyphs);
        QFont font(platform::mappedFamily(platform::GothicFace));
        font.setPixelSize(GlyphPixels);
        font.setStyleStrategy(QFont::NoAntialias);
        g.setFont(font);
        g.setPen(Qt::black);
        for (int k = 0; k < StopName.size(); ++k)
            g.drawText(k * GlyphDots, QFontMetrics(font).ascent(), QString(StopName[k]));
    }
    const QRect field = displaylayout::toPixels(displaylayout::stopNameBoardRect());
    for (int y = 0; y < glyphs.height(); ++y) {
        for (int x = 0; x < glyphs.width(); ++x) {
            if (glyphs.pixel(x, y) == qRgb(0, 0, 0))
                p.fillRect(field.left() + x * DotPitch, field.top() + y * DotPitch, DotSize,
                           DotSize, LitDot);
        }
    }
}

void paintCells(QPainter& p)
{
    const DigitColors colors{UnlitSegment, LitSegment};
    QFont labelFont = platform::mappedFont(platform::NumC1Face, LabelPointSize, true);
    p.setFont(labelFont);
    p.setPen(Qt::white);
    for (int i = 1; i <= displaylayout::FareElementCount; ++i) {
        const QRect cell = displaylayout::toPixels(displaylayout::fareElementRect(i));
        p.fillRect(cell, ElementBack);
        const QString fare = i <= 2 ? LitFares[i - 1] : QString();
        paintDigits(p, QRectF(cell), fare, DigitsPerCell, DigitLook::Upright, colors);
        p.drawText(displaylayout::toPixels(displaylayout::ticketLabelRect(i)), Qt::AlignCenter,
                   QString::number(i));
    }
}

// The panel picture as the running display shows it: a stop name on the board, the cells
// painted as the fare elements paint themselves, the first two lit, the ticket numbers above.
QImage drawLitPanel()
{
    QImage panel = drawPanelPicture();
    QPainter p(&panel);
    paintStopName(p);
    paintCells(p);
    return panel;
}

// The icon at `size` from the lit panel picture.
QImage iconFromPanel(const QImage& litPanel, int size)
{
    const QRect piece = size >= SmallestLargeIcon ? LargePiece : SmallPiece;
    const QImage picture = litPanel.copy(piece);

    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::SmoothPixmapTransform, true);

    // A small margin as other icons of the theme have, a frame as thick as the panel's.
    const qreal margin = size / 32.0;
    const qreal frameWidth = std::max(1.0, size / 40.0);
    const QRectF outer(margin, margin, size - 2 * margin, size - 2 * margin);
    const qreal radius = outer.width() * 0.12;
    QPainterPath frame;
    frame.addRoundedRect(outer, radius, radius);
    p.fillPath(frame, Frame);

    const QRectF inner = outer.adjusted(frameWidth, frameWidth, -frameWidth, -frameWidth);
    QPainterPath board;
    board.addRoundedRect(inner, radius - frameWidth, radius - frameWidth);
    p.setClipPath(board);
    p.drawImage(inner, picture.scaled(inner.size().toSize(), Qt::IgnoreAspectRatio,
                                      Qt::SmoothTransformation));
    return icon;
}

} // namespace

QImage drawAppIcon(int size)
{
    return iconFromPanel(drawLitPanel(), size);
}

QIcon drawAppIconSet()
{
    const QImage litPanel = drawLitPanel();
    QIcon icon;
    for (int size : AppIconSizes)
        icon.addPixmap(QPixmap::fromImage(iconFromPanel(litPanel, size)));
    return icon;
}
