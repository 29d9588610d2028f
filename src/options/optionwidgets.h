#pragma once

#include "platform/bgrcolor.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>

// A graphical button without caption whose face shows a colour; the colour is kept exactly
// as assigned (any 32-bit value) and painted from its low three bytes.
class ColorButton : public QPushButton
{
    Q_OBJECT
public:
    explicit ColorButton(QWidget* parent = nullptr);
    platform::BgrColor backColor() const { return color_; }
    // Emits backColorChanged() when the colour differs from the present one.
    void setBackColor(platform::BgrColor color);

signals:
    void backColorChanged(platform::BgrColor color);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::BgrColor color_ = 0;
};

// The pictures of the six page buttons.
enum class PageIcon { Data, Panel, Digits, StopName, Sound, Ticket };

// A graphical option button with the look of a push button: a picture above its caption,
// which wraps inside the button. Buttons of one parent exclude each other.
class PageButton : public QAbstractButton
{
    Q_OBJECT
public:
    PageButton(PageIcon icon, const QString& caption, QWidget* parent = nullptr);
    QSize sizeHint() const override { return {108, 54}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PageIcon icon_;
};

// Draws a page picture into a square of the given size.
QPixmap pageIconPixmap(PageIcon icon, int size);

// A check box whose clicks only switch between off and on; a greyed state (value 2) comes
// only from a stored setting.
class GreyableCheckBox : public QCheckBox
{
    Q_OBJECT
public:
    using QCheckBox::QCheckBox;
    // 0 off, 1 on, 2 greyed; other values count as on.
    int value() const;
    void setValue(int value);

protected:
    void nextCheckState() override;
};

// An option button whose long caption wraps over several lines.
class WrapRadioButton : public QRadioButton
{
    Q_OBJECT
public:
    using QRadioButton::QRadioButton;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;
};
