#pragma once

#include "elements/elementvalue.h"
#include "platform/bgrcolor.h"

#include <QString>
#include <QWidget>

// A number in the style of a segment display: every position shows its unlit segments, the
// value is lit over them, right-aligned. Out-of-range property values are corrected on
// assignment. Changing FillZero, ZeroMode or Shift shows at the next redraw (assign Value).
class DigitElement : public QWidget
{
    Q_OBJECT
public:
    explicit DigitElement(QWidget* parent = nullptr);

    platform::BgrColor unlitColor() const { return baseForeColor_; }
    void setUnlitColor(platform::BgrColor color);
    platform::BgrColor litColor() const { return degitForeColor_; }
    void setLitColor(platform::BgrColor color);
    qint16 FillZero() const { return fillZero_; }
    void setFillZero(int fillZero);
    qint16 ZeroMode() const { return zeroMode_; }
    void setZeroMode(int zeroMode);
    qint16 Shift() const { return shift_; }
    void setShift(int shift);
    qint16 digitCount() const { return keta_; }
    void setDigitCount(int keta);
    qint16 sizeClass() const { return degitSize_; }
    void setSizeClass(int degitSize);
    qint16 digitStyle() const { return degitStyle_; }
    void setDigitStyle(int degitStyle);
    ElementValue Value() const { return value_; }
    void setValue(const ElementValue& value);
    bool UserSet() const { return userSet_; }
    void setUserSet(bool userSet);
    platform::BgrColor BackColor() const { return backColor_; }
    void setBackColor(platform::BgrColor color);
    // Extra spacing between characters and bold glyphs: this platform takes 0 and bold.
    int CharExtra() const { return 0; }
    bool BoldGlyphs() const { return true; }

    // Opens the digit settings dialog; the values it hands back are taken as they are.
    // Returns the dialog's result (1 when confirmed).
    int showSettingsDialog();
    // All segments lit (lamp test) or the element blank, keeping the zero, padding and shift
    // rules.
    void resetDigits(bool lampTest);

    // The processed text now drawn; empty before the first redraw.
    QString displayedText() const { return shown_; }

signals:
    void DblClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void redraw();
    void applySize();

    platform::BgrColor baseForeColor_;
    platform::BgrColor degitForeColor_;
    qint16 fillZero_ = 0;
    qint16 zeroMode_ = 0;
    qint16 shift_ = 0;
    qint16 keta_ = 4;
    qint16 degitSize_ = 0;
    qint16 degitStyle_ = 0;
    ElementValue value_;
    bool userSet_ = true;
    platform::BgrColor backColor_;

    // What the last redraw prepared for painting.
    bool drawn_ = false;
    QString shown_;
};
