#include "tickets/ticketpreview.h"

#include <QMouseEvent>
#include <QPainter>

TicketPreview::TicketPreview(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TicketPreview::setPictureSize(const QSize& size)
{
    resize(size);
    image_ = QPixmap(size.expandedTo(QSize(1, 1)));
    clear();
}

void TicketPreview::clear()
{
    image_.fill(Qt::white);
    update();
}

void TicketPreview::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(0, 0, image_);
}

void TicketPreview::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::RightButton)
        emit rightButtonPressed(event->globalPosition().toPoint());
    QWidget::mousePressEvent(event);
}
