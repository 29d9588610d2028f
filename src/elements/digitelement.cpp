#include "digitelement.h"

#include "dialogs/digitsettingsdialog.h"
#include "elements/digitdrawing.h"
#include "platform/colorconversion.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace
{

// Properties are 16-bit; wider arguments saturate before the element's own rules apply.
qint16 toInt16(int value)
{
    return static_cast<qint16>(std::clamp(value, -32768, 32767));
}

} // namespace

DigitElement::DigitElement(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    applySize();
}

void DigitElement::setUnlitColor(const QColor& color)
{
    unlitColor_ = platform::opaqueColor(color);
    redraw();
}

void DigitElement::setLitColor(const QColor& color)
{
    litColor_ = platform::opaqueColor(color);
    redraw();
}

void DigitElement::setFillZero(int fillZero)
{
    fillZero_ = std::min(toInt16(fillZero), digitCount_);
}

void DigitElement::setZeroMode(int zeroMode)
{
    const qint16 mode = toInt16(zeroMode);
    zeroMode_ = mode >= 4 ? 0 : mode;
}

void DigitElement::setShift(int shift)
{
    const qint16 limited = std::min(toInt16(shift), static_cast<qint16>(digitCount_ - 1));
    shift_ = std::max<qint16>(limited, 0);
}

void DigitElement::setDigitCount(int digitCount)
{
    const qint16 stored = toInt16(digitCount);
    digitCount_ = (stored < 1 || stored > 15) ? 4 : stored;
    applySize();
    redraw();
}

void DigitElement::setSizeClass(int sizeClass)
{
    const qint16 stored = toInt16(sizeClass);
    sizeClass_ = (stored >= 1 && stored <= 3) ? stored : 0;
    applySize();
    redraw();
}

void DigitElement::setDigitStyle(int digitStyle)
{
    digitStyle_ = toInt16(digitStyle);
    redraw();
}

void DigitElement::setValue(const ElementValue& value)
{
    value_ = value;
    redraw();
}

void DigitElement::setZoom(double zoom)
{
    zoom_ = zoom > 0 ? zoom : 1.0;
    applySize();
    update();
}

void DigitElement::setUserSettable(bool settable)
{
    userSettable_ = settable;
}

void DigitElement::setBackColor(const QColor& color)
{
    backColor_ = platform::opaqueColor(color);
    redraw();
}

int DigitElement::showSettingsDialog()
{
    qint16 zeroMode = zeroMode_;
    qint16 shift = shift_;
    qint16 fillZero = fillZero_;
    const int result = askSettings_
                           ? askSettings_(digitCount_, zeroMode, shift, fillZero)
                           : showDigitSettingsDialog(this, digitCount_, zeroMode, shift, fillZero);
    zeroMode_ = zeroMode;
    shift_ = shift;
    fillZero_ = fillZero;
    redraw();
    return result;
}

void DigitElement::resetDigits(bool lampTest)
{
    const qint16 shift = shift_;
    const qint16 zeroMode = zeroMode_;
    const qint16 fillZero = fillZero_;
    setShift(0);
    setZeroMode(0);
    setFillZero(0);
    setValue(lampTest ? ElementValue(QString(digitCount_, u'8')) : ElementValue(QString()));
    setShift(shift);
    setZeroMode(zeroMode);
    setFillZero(fillZero);
}

void DigitElement::redraw()
{
    displayedText_ = formatDigitValue(value_, zeroMode_, fillZero_, shift_, digitCount_);
    drawn_ = true;
    update();
}

void DigitElement::applySize()
{
    const DigitSizeClass size = digitSizeClass(sizeClass_);
    const QSizeF designed(digitCount_ * size.positionWidth, size.height);
    setFixedSize((designed * zoom_).toSize());
}

double DigitElement::designedWidth() const
{
    return digitCount_ * digitSizeClass(sizeClass_).positionWidth;
}

double DigitElement::designedHeight() const
{
    return digitSizeClass(sizeClass_).height;
}

void DigitElement::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), backColor_);
    if (!drawn_)
        return;
    const DigitColors colors{unlitColor_, litColor_};
    // The designed drawing, scaled whole: the segments keep their proportions at any zoom.
    painter.scale(width() / designedWidth(), height() / designedHeight());
    const QRectF designed(0, 0, designedWidth(), designedHeight());
    paintDigits(painter, designed, displayedText_, digitCount_, digitLook(digitStyle_), colors,
                boldGlyphs());
}

void DigitElement::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit doubleClicked();
}
