#pragma once

#include "dialogs/digitsettingsdialog.h"
#include "elements/elementvalue.h"
#include <QColor>
#include <QString>
#include <QWidget>

// A number in the style of a segment display: every position shows its unlit segments, the
// value is lit over them, right-aligned. Out-of-range property values are corrected on
// assignment. Changing the zero padding, the zero mode or the shift shows at the next redraw
// (assign the value again).
class DigitElement : public QWidget
{
    Q_OBJECT
public:
    explicit DigitElement(QWidget* parent = nullptr);

    // Colours are kept as the settings file can hold them: opaque, 8 bits a channel (an
    // invalid colour is black).
    QColor unlitColor() const { return unlitColor_; }
    void setUnlitColor(const QColor& color);
    QColor litColor() const { return litColor_; }
    void setLitColor(const QColor& color);
    // Leading zeros a numeric value is padded to; 0 (or less) pads nothing.
    qint16 fillZero() const { return fillZero_; }
    void setFillZero(int fillZero);
    // How zero, the empty text and -1 show: 0..3.
    qint16 zeroMode() const { return zeroMode_; }
    void setZeroMode(int zeroMode);
    // Positions the value moves left, leaving blanks on the right.
    qint16 shift() const { return shift_; }
    void setShift(int shift);
    qint16 digitCount() const { return digitCount_; }
    void setDigitCount(int digitCount);
    qint16 sizeClass() const { return sizeClass_; }
    void setSizeClass(int sizeClass);
    qint16 digitStyle() const { return digitStyle_; }
    void setDigitStyle(int digitStyle);
    // The value as assigned, not as shown.
    ElementValue value() const { return value_; }
    void setValue(const ElementValue& value);
    // Whether the owner lets a double-click open the settings dialog; only stored here.
    bool isUserSettable() const { return userSettable_; }
    void setUserSettable(bool settable);
    QColor backColor() const { return backColor_; }
    void setBackColor(const QColor& color);
    // Extra spacing between characters and bold glyphs: this platform takes 0 and bold.
    int extraCharacterSpacing() const { return 0; }
    bool boldGlyphs() const { return true; }

    // Opens the digit settings dialog (or asks the one given); the values it hands back are
    // taken as they are. Returns the dialog's result (1 when confirmed).
    int showSettingsDialog();
    // What showSettingsDialog asks instead of the real dialog; nullptr restores the dialog.
    void setSettingsDialog(DigitSettingsHandler ask) { askSettings_ = std::move(ask); }
    // All segments lit (lamp test) or the element blank, keeping the zero, padding and shift
    // rules.
    void resetDigits(bool lampTest);

    // How many times its designed size the element is drawn (1 and up; fractions allowed).
    // The size class still names the designed size; the segments are drawn scaled as vectors.
    double zoom() const { return zoom_; }
    void setZoom(double zoom);

    // The processed text now drawn; empty before the first redraw.
    QString displayedText() const { return displayedText_; }

signals:
    void doubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    DigitSettingsHandler askSettings_;
    void redraw();
    void applySize();
    // The element's size at zoom 1.
    double designedWidth() const;
    double designedHeight() const;

    QColor unlitColor_{150, 150, 150};
    QColor litColor_{248, 210, 114};
    qint16 fillZero_ = 0;
    qint16 zeroMode_ = 0;
    qint16 shift_ = 0;
    qint16 digitCount_ = 4;
    qint16 sizeClass_ = 0;
    qint16 digitStyle_ = 0;
    ElementValue value_;
    bool userSettable_ = true;
    QColor backColor_{128, 128, 128};
    double zoom_ = 1.0;

    // What the last redraw prepared for painting.
    bool drawn_ = false;
    QString displayedText_;
};
