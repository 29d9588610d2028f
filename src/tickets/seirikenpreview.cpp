#include "seirikenpreview.h"

#include <QMouseEvent>
#include <QPainter>

SeirikenPreview::SeirikenPreview(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void SeirikenPreview::setPictureSize(const QSize& size)
{
    resize(size);
    image_ = QPixmap(size.expandedTo(QSize(1, 1)));
    Cls();
}

void SeirikenPreview::Cls()
{
    image_.fill(Qt::white);
    update();
}

void SeirikenPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(0, 0, image_);
}

void SeirikenPreview::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        emit rightButtonPressed(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}
