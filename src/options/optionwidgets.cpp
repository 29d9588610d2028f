#include "options/optionwidgets.h"
#include "platform/colorconversion.h"

#include <QPainter>
#include <QPainterPath>
#include <QStyleOptionButton>
#include <QStylePainter>

ColorButton::ColorButton(QWidget* parent) : QPushButton(parent)
{
    setFocusPolicy(Qt::TabFocus);
}

void ColorButton::setBackColor(platform::BgrColor color)
{
    if (color == color_)
        return;
    color_ = color;
    update();
    emit backColorChanged(color);
}

void ColorButton::paintEvent(QPaintEvent* event)
{
    QPushButton::paintEvent(event);
    QPainter painter(this);
    QColor face = platform::toQColor(color_);
    if (!isEnabled())
        face = QColor::fromHsv(face.hsvHue(), face.hsvSaturation() / 3, face.value());
    const QRect inner = rect().adjusted(4, 4, -4, -4);
    painter.fillRect(inner, face);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
}

PageButton::PageButton(PageIcon icon, const QString& caption, QWidget* parent)
    : QAbstractButton(parent), icon_(icon)
{
    setText(caption);
    setCheckable(true);
    setAutoExclusive(true);
}

void PageButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    option.initFrom(this);
    option.state |= (isChecked() || isDown()) ? QStyle::State_Sunken : QStyle::State_Raised;
    if (isChecked())
        option.state |= QStyle::State_On;
    if (isChecked())
        painter.fillRect(rect().adjusted(1, 1, -1, -1), palette().color(QPalette::Midlight));
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const int shift = isChecked() ? 1 : 0;
    const int iconSize = 22;
    const QRect iconRect(4 + shift, (height() - iconSize) / 2 + shift, iconSize, iconSize);
    painter.drawPixmap(iconRect, pageIconPixmap(icon_, iconSize));
    const QRect textRect(iconRect.right() + 4, 2 + shift, width() - iconRect.right() - 8,
                         height() - 4);
    QFont font = painter.font();
    font.setBold(isChecked());
    painter.setFont(font);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(textRect, Qt::AlignVCenter | Qt::AlignHCenter | Qt::TextWordWrap, text());
}

namespace
{

void drawDataIcon(QPainter& p)
{
    p.setBrush(QColor(240, 200, 80));
    p.drawRect(2, 8, 28, 20);
    p.drawRect(2, 5, 11, 4);
    p.setPen(QColor(90, 60, 0));
    for (int y = 13; y <= 23; y += 5)
        p.drawLine(6, y, 26, y);
}

void drawPanelIcon(QPainter& p)
{
    p.setBrush(Qt::black);
    p.setPen(QPen(Qt::white, 1.5));
    p.drawRoundedRect(1, 5, 30, 22, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(128, 128, 128));
    for (int i = 0; i < 3; ++i)
        p.drawRect(4 + i * 9, 15, 7, 9);
    p.setBrush(Qt::white);
    for (int i = 0; i < 3; ++i)
        p.drawRect(5 + i * 9, 9, 5, 3);
}

void drawDigitsIcon(QPainter& p)
{
    p.setBrush(QColor(128, 128, 128));
    p.drawRect(1, 4, 30, 24);
    p.setPen(QPen(QColor(248, 210, 114), 2.5, Qt::SolidLine, Qt::RoundCap));
    for (int x : {5, 18}) {
        p.drawLine(x, 8, x + 8, 8);
        p.drawLine(x + 8, 8, x + 8, 24);
        p.drawLine(x, 16, x + 8, 16);
        p.drawLine(x, 24, x + 8, 24);
        p.drawLine(x, 8, x, 24);
    }
}

void drawStopNameIcon(QPainter& p)
{
    p.setBrush(Qt::black);
    p.drawRect(1, 7, 30, 18);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 160, 40));
    static const char* rows[] = {"  #  # ", " ##### ", "  # #  ", " ##### ", "#  #  #"};
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 7; ++c)
            if (rows[r][c] == '#')
                p.drawEllipse(QRectF(5 + c * 3.2, 9.5 + r * 3, 2.4, 2.4));
}

void drawSoundIcon(QPainter& p)
{
    p.setBrush(QColor(70, 90, 140));
    QPainterPath speaker;
    speaker.moveTo(3, 12);
    speaker.lineTo(9, 12);
    speaker.lineTo(17, 5);
    speaker.lineTo(17, 27);
    speaker.lineTo(9, 20);
    speaker.lineTo(3, 20);
    speaker.closeSubpath();
    p.drawPath(speaker);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(70, 90, 140), 2));
    p.drawArc(QRectF(14, 10, 8, 12), -60 * 16, 120 * 16);
    p.drawArc(QRectF(14, 5, 14, 22), -60 * 16, 120 * 16);
}

void drawTicketIcon(QPainter& p)
{
    p.setBrush(QColor(255, 250, 235));
    p.drawRect(3, 3, 26, 26);
    p.setPen(QPen(QColor(200, 40, 40), 1.5));
    p.drawLine(7, 9, 25, 9);
    QFont font = p.font();
    font.setPixelSize(14);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::black);
    p.drawText(QRect(3, 11, 26, 18), Qt::AlignCenter, QStringLiteral("12"));
}

} // namespace

QPixmap pageIconPixmap(PageIcon icon, int size)
{
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    {
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QColor(60, 60, 60));
        switch (icon) {
        case PageIcon::Data:
            drawDataIcon(p);
            break;
        case PageIcon::Panel:
            drawPanelIcon(p);
            break;
        case PageIcon::Digits:
            drawDigitsIcon(p);
            break;
        case PageIcon::StopName:
            drawStopNameIcon(p);
            break;
        case PageIcon::Sound:
            drawSoundIcon(p);
            break;
        case PageIcon::Ticket:
            drawTicketIcon(p);
            break;
        }
    }
    return pixmap.scaled(size, size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

int GreyableCheckBox::value() const
{
    switch (checkState()) {
    case Qt::Unchecked:
        return 0;
    case Qt::PartiallyChecked:
        return 2;
    case Qt::Checked:
        break;
    }
    return 1;
}

void GreyableCheckBox::setValue(int value)
{
    setCheckState(value == 0 ? Qt::Unchecked : (value == 2 ? Qt::PartiallyChecked : Qt::Checked));
}

void GreyableCheckBox::nextCheckState()
{
    setCheckState(checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void WrapRadioButton::paintEvent(QPaintEvent*)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    const int indicator = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, &option, this);
    const int spacing = style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, &option, this);
    option.rect = QRect(0, 1, indicator + 2, indicator + 2);
    painter.drawControl(QStyle::CE_RadioButton, option);
    const QRect textRect = rect().adjusted(indicator + spacing + 2, 0, 0, 0);
    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(textRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, caption);
}

bool WrapRadioButton::hitButton(const QPoint& pos) const
{
    return rect().contains(pos);
}
