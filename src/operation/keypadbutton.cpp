#include "keypadbutton.h"

#include <QLinearGradient>
#include <QPainter>

KeypadButton::KeypadButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent)
{
    setFixedSize(ButtonSize);
    // Reached with Tab, not taken by a click, so that the console keys keep working.
    setFocusPolicy(Qt::TabFocus);
}

QRegion KeypadButton::faceRegion()
{
    // A 2 x 2 corner ellipse rounds each corner by its one outermost pixel.
    const QRect face = FaceRect;
    QRegion region(face);
    for (const QPoint corner :
         {face.topLeft(), face.topRight(), face.bottomLeft(), face.bottomRight()})
        region -= QRegion(corner.x(), corner.y(), 1, 1);
    return region;
}

void KeypadButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(FaceRect).adjusted(0.5, 0.5, -0.5, -0.5);
    const bool down = isDown();
    const bool enabled = isEnabled();

    QLinearGradient fill(face.topLeft(), face.bottomLeft());
    if (down) {
        fill.setColorAt(0, QColor(150, 156, 166));
        fill.setColorAt(1, QColor(196, 200, 208));
    } else {
        fill.setColorAt(0, QColor(252, 252, 252));
        fill.setColorAt(1, QColor(206, 210, 218));
    }
    painter.setPen(QPen(QColor(88, 94, 104), 1));
    painter.setBrush(fill);
    painter.drawRoundedRect(face, CornerSize, CornerSize);

    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(face.adjusted(2, 2, -2, -2), CornerSize, CornerSize);
    }

    painter.setPen(enabled ? QColor(24, 24, 24) : QColor(150, 150, 150));
    painter.setFont(font());
    painter.drawText(QRectF(FaceRect).translated(down ? 1 : 0, down ? 1 : 0), Qt::AlignCenter,
                     text());
}
