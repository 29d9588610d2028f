#include "mdegit.h"

#include "elements/degitdraw.h"
#include "dialogs/dlg100.h"

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

M_Degit::M_Degit(QWidget* parent)
    : QWidget(parent), baseForeColor_(platform::RGB(150, 150, 150)),
      degitForeColor_(platform::RGB(248, 210, 114)), backColor_(platform::RGB(128, 128, 128))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    applySize();
}

void M_Degit::setBaseForeColor(platform::VbColor color)
{
    baseForeColor_ = color;
    redraw();
}

void M_Degit::setDegitForeColor(platform::VbColor color)
{
    degitForeColor_ = color;
    redraw();
}

void M_Degit::setFillZero(int fillZero)
{
    fillZero_ = std::min(toInt16(fillZero), keta_);
}

void M_Degit::setZeroMode(int zeroMode)
{
    const qint16 mode = toInt16(zeroMode);
    zeroMode_ = mode >= 4 ? 0 : mode;
}

void M_Degit::setShift(int shift)
{
    const qint16 limited = std::min(toInt16(shift), static_cast<qint16>(keta_ - 1));
    shift_ = std::max<qint16>(limited, 0);
}

void M_Degit::setKeta(int keta)
{
    const qint16 stored = toInt16(keta);
    keta_ = (stored < 1 || stored > 15) ? 4 : stored;
    applySize();
    redraw();
}

void M_Degit::setDegitSize(int degitSize)
{
    const qint16 stored = toInt16(degitSize);
    degitSize_ = (stored >= 1 && stored <= 3) ? stored : 0;
    applySize();
    redraw();
}

void M_Degit::setDegitStyle(int degitStyle)
{
    degitStyle_ = toInt16(degitStyle);
    redraw();
}

void M_Degit::setValue(const VbValue& value)
{
    value_ = value;
    redraw();
}

void M_Degit::setUserSet(bool userSet)
{
    userSet_ = userSet;
}

void M_Degit::setBackColor(platform::VbColor color)
{
    backColor_ = color;
    redraw();
}

int M_Degit::ShowSetDlg()
{
    qint16 zeroMode = zeroMode_;
    qint16 shift = shift_;
    qint16 fillZero = fillZero_;
    const int result = Call_dlg100(this, keta_, zeroMode, shift, fillZero);
    zeroMode_ = zeroMode;
    shift_ = shift;
    fillZero_ = fillZero;
    redraw();
    return result;
}

void M_Degit::ResetDegit(bool lampTest)
{
    const qint16 shift = shift_;
    const qint16 zeroMode = zeroMode_;
    const qint16 fillZero = fillZero_;
    setShift(0);
    setZeroMode(0);
    setFillZero(0);
    setValue(lampTest ? VbValue(QString(keta_, u'8')) : VbValue(QString()));
    setShift(shift);
    setZeroMode(zeroMode);
    setFillZero(fillZero);
}

void M_Degit::redraw()
{
    shown_ = processDegitValue(value_, zeroMode_, fillZero_, shift_, keta_);
    drawn_ = true;
    update();
}

void M_Degit::applySize()
{
    const DegitSizeClass size = degitSizeClass(degitSize_);
    setFixedSize(keta_ * size.positionWidth, size.height);
}

void M_Degit::paintEvent(QPaintEvent*)
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

void M_Degit::mouseDoubleClickEvent(QMouseEvent* event)
{
    event->accept();
    emit DblClick();
}
