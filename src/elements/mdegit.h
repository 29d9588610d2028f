#pragma once

#include "elements/vbvalue.h"
#include "platform/vbcolor.h"

#include <QString>
#include <QWidget>

// A number in the style of a segment display: every position shows its unlit segments, the
// value is lit over them, right-aligned. Out-of-range property values are corrected on
// assignment. Changing FillZero, ZeroMode or Shift shows at the next redraw (assign Value).
class M_Degit : public QWidget
{
    Q_OBJECT
public:
    explicit M_Degit(QWidget* parent = nullptr);

    platform::VbColor BaseForeColor() const { return baseForeColor_; }
    void setBaseForeColor(platform::VbColor color);
    platform::VbColor DegitForeColor() const { return degitForeColor_; }
    void setDegitForeColor(platform::VbColor color);
    qint16 FillZero() const { return fillZero_; }
    void setFillZero(int fillZero);
    qint16 ZeroMode() const { return zeroMode_; }
    void setZeroMode(int zeroMode);
    qint16 Shift() const { return shift_; }
    void setShift(int shift);
    qint16 Keta() const { return keta_; }
    void setKeta(int keta);
    qint16 DegitSize() const { return degitSize_; }
    void setDegitSize(int degitSize);
    qint16 DegitStyle() const { return degitStyle_; }
    void setDegitStyle(int degitStyle);
    VbValue Value() const { return value_; }
    void setValue(const VbValue& value);
    bool UserSet() const { return userSet_; }
    void setUserSet(bool userSet);
    platform::VbColor BackColor() const { return backColor_; }
    void setBackColor(platform::VbColor color);
    // Extra spacing between characters and bold glyphs: this platform takes 0 and bold.
    int CharExtra() const { return 0; }
    bool BoldGlyphs() const { return true; }

    // Opens the digit settings dialog; the values it hands back are taken as they are.
    // Returns the dialog's result (1 when confirmed).
    int ShowSetDlg();
    // All segments lit (lamp test) or the element blank, keeping the zero, padding and shift
    // rules.
    void ResetDegit(bool lampTest);

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

    platform::VbColor baseForeColor_;
    platform::VbColor degitForeColor_;
    qint16 fillZero_ = 0;
    qint16 zeroMode_ = 0;
    qint16 shift_ = 0;
    qint16 keta_ = 4;
    qint16 degitSize_ = 0;
    qint16 degitStyle_ = 0;
    VbValue value_;
    bool userSet_ = true;
    platform::VbColor backColor_;

    // What the last redraw prepared for painting.
    bool drawn_ = false;
    QString shown_;
};
