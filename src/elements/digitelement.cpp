#include "digitelement.h"

#include "dialogs/digitsettingsdialog.h"
#include "elements/digitdrawing.h"

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

DigitElement::DigitElement(QWidget* parent)
    : QWidget(parent), baseForeColor_(platform::RGB(150, 150, 150)),
      degitForeColor_(platform::RGB(248, 210, 114)), backColor_(platform::RGB(128, 128, 128))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    applySize();
}

void DigitElement::setUnlitColor(platform::BgrColor color)
{
    baseForeColor_ = color;
    redraw();
}

void DigitElement::setLitColor(platform::BgrColor color)
{
    degitForeColor_ = color;
    redraw();
}

void DigitElement::setFillZero(int fillZero)
{
    fillZero_ = std::min(toInt16(fillZero), keta_);
}

void DigitElement::setZeroMode(int zeroMode)
{
    const qint16 mode = toInt16(zeroMode);
    zeroMode_ = mode >= 4 ? 0 : mode;
}

void DigitElement::setShift(int shift)
{
    const qint16 limited = std::min(toInt16(shift), static_cast<qint16>(keta_ - 1));
    shift_ = std::max<qint16>(limited, 0);
}

void DigitElement::setDigitCount(int keta)
{
    const qint16 stored = toInt16(keta);
    keta_ = (stored < 1 || stored > 15) ? 4 : stored;
    applySize();
    redraw();
}

void DigitElement::setSizeClass(int degitSize)
{
    const qint16 stored = toInt16(degitSize);
    degitSize_ = (stored >= 1 && stored <= 3) ? stored : 0;
    applySize();
    redraw();
}

void DigitElement::setDigitStyle(int degitStyle)
{
    degitStyle_ = toInt16(degitStyle);
    redraw();
}

void DigitElement::setValue(const ElementValue& value)
{
    value_ = value;
    redraw();
}

void DigitElement::setUserSet(bool userSet)
{
    userSet_ = userSet;
}

void DigitElement::setBackColor(platform::BgrColor color)
{
    backColor_ = color;
    redraw();
}

int DigitElement::showSettingsDialog()
{
    qint16 zeroMode = zeroMode_;
    qint16 shift = shift_;
    qint16 fillZero = fillZero_;
    const int result = showDigitSettingsDialog(this, keta_, zeroMode, shift, fillZero);
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
    setValue(lampTest ? ElementValue(QString(keta_, u'8')) : ElementValue(QString()));
    setShift(shift);
    setZeroMode(zeroMode);
    setFillZero(fillZero);
}

void DigitElement::redraw()
{
    shown_ = processDegitValue(value_, zeroMode_, fillZero_, shift_, keta_);
    drawn_ = true;
    update();
}

void DigitElement::applySize()
{
    const DegitSizeClass size = degitSizeClass(degitSize_);
    setFixedSize(keta_ * size.positionWidth, size.height);
}

void DigitElement::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), platform::toQColor(backColor_));
    if (!drawn_)
        return;
    const DegitColors colors{platform::toQColor(baseForeColor_),
                             platform::toQColor(degitForeColor_)};
    paintDegits(painter, QRectF(rect()), shown_, keta_, degitLook(degitStyle_), colors,
                BoldGlyphs());
}

void DigitElement::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit DblClick();
}
