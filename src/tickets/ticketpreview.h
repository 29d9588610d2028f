#pragma once

#include <QPixmap>
#include <QWidget>

// The numbered-ticket preview picture. Its image persists between paints; the ticket plug-in
// draws into it and the widget only paints it. A right-button press asks for the copy menu.
class TicketPreview : public QWidget
{
    Q_OBJECT
public:
    explicit TicketPreview(QWidget* parent = nullptr);

    // Resizes the picture (and its image), in pixels; the image is cleared.
    void setPictureSize(const QSize& size);
    // Fills the image with the background colour.
    void clear();
    // The image, to draw into and to copy.
    QPixmap& image() { return image_; }
    const QPixmap& image() const { return image_; }

signals:
    void rightButtonPressed(const QPoint& globalPos);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QPixmap image_;
};
