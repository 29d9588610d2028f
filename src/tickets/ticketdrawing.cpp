#include "tickets/ticketdrawing.h"

#include "platform/colorconversion.h"
#include "platform/fontmap.h"
#include "platform/twips.h"
#include "tickets/codabar.h"

#include <QDate>
#include <QFontMetricsF>
#include <QPainter>
#include <QTime>
#include <cmath>

namespace tickets
{
namespace
{

QString formattedDate(const QString& given, const QString& format)
{
    if (format.isEmpty())
        return given;
    QDate date = QDate::fromString(given, QStringLiteral("MM-dd-yyyy"));
    if (!date.isValid())
        date = QDate::fromString(given, QStringLiteral("yyyy/MM/dd"));
    return date.isValid() ? date.toString(format) : given;
}

QString formattedTime(const QString& given, const QString& format)
{
    if (format.isEmpty())
        return given;
    const QTime time = QTime::fromString(given, QStringLiteral("hh:mm:ss"));
    return time.isValid() ? time.toString(format) : given;
}

QString padded(qint64 value, int digits)
{
    const QString number = QString::number(std::abs(value)).rightJustified(digits, u'0');
    return value < 0 ? u'-' + number : number;
}

QString fieldValue(const TicketPlugin& plugin, const TicketItem& item, const TicketFields& fields)
{
    switch (item.field) {
    case Field::StopName:
        return fields.stopName;
    case Field::Date:
        return formattedDate(fields.date, item.format);
    case Field::Time:
        return formattedTime(fields.time, item.format);
    case Field::Route:
        return padded(fields.route, item.digits);
    case Field::TicketNo:
        return padded(fields.ticketNo, item.digits);
    case Field::StopRow:
        return padded(fields.stopRow, item.digits);
    case Field::Company:
        if (fields.companyPos < 0 || fields.companyPos >= plugin.companies.size())
            return {};
        return plugin.companies[fields.companyPos];
    }
    return {};
}

int decimalDigits(std::int32_t value)
{
    return static_cast<int>(QString::number(value).size());
}

QColor colorOf(const std::optional<platform::BgrColor>& color, platform::BgrColor fallback)
{
    return platform::toQColor(color.value_or(fallback));
}

void drawFrame(QPainter& painter, const QRect& rect, int width, const QColor& color)
{
    if (width <= 0)
        return;
    painter.fillRect(QRect(rect.left(), rect.top(), rect.width(), width), color);
    painter.fillRect(QRect(rect.left(), rect.bottom() + 1 - width, rect.width(), width), color);
    painter.fillRect(QRect(rect.left(), rect.top(), width, rect.height()), color);
    painter.fillRect(QRect(rect.right() + 1 - width, rect.top(), width, rect.height()), color);
}

// Text in its rectangle, condensed sideways when it is too wide, clipped to the rectangle.
void drawLettering(QPainter& painter, const TicketItem& item, const QString& text,
                   const QColor& color)
{
    QFont font = platform::mappedFont(item.fontFace, item.pointSize);
    font.setWeight(static_cast<QFont::Weight>(item.weight));
    // The painter works in twips: a point is 20 twips.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(item.pointSize * 20.0))));
    const QFontMetricsF metrics(font);
    const QRectF box(item.rect);
    const double width = metrics.horizontalAdvance(text);
    const double squeeze = width > box.width() ? box.width() / width : 1.0;
    const double drawnWidth = width * squeeze;

    double x = box.left();
    if (item.align == HAlign::Center)
        x += (box.width() - drawnWidth) / 2;
    else if (item.align == HAlign::Right)
        x += box.width() - drawnWidth;
    double baseline = box.center().y() + (metrics.ascent() - metrics.descent()) / 2;
    if (item.valign == VAlign::Top)
        baseline = box.top() + metrics.ascent();
    else if (item.valign == VAlign::Bottom)
        baseline = box.bottom() - metrics.descent();

    painter.save();
    painter.setClipRect(box, Qt::IntersectClip);
    painter.setFont(font);
    painter.setPen(color);
    painter.translate(x, baseline);
    painter.scale(squeeze, 1.0);
    painter.drawText(QPointF(0, 0), text);
    painter.restore();
}

void drawBarcode(QPainter& painter, const TicketItem& item, const QByteArray& text,
                 const QColor& color)
{
    const QString modules = codabarModules(text, item.wideModules);
    if (modules.isEmpty())
        return;
    const int count = static_cast<int>(modules.size());
    // Whole pixels per module when there is room, so every bar has the same width.
    const int pixelsPerModule = item.rect.width() / platform::TwipsPerPixel / count;
    const double moduleWidth = pixelsPerModule >= 1
                                   ? pixelsPerModule * platform::TwipsPerPixel
                                   : static_cast<double>(item.rect.width()) / count;
    double left = item.rect.left() + (item.rect.width() - moduleWidth * count) / 2;
    if (pixelsPerModule >= 1)
        left = std::floor(left / platform::TwipsPerPixel) * platform::TwipsPerPixel;

    painter.save();
    painter.setClipRect(item.rect, Qt::IntersectClip);
    painter.setRenderHint(QPainter::Antialiasing, pixelsPerModule < 1);
    for (int i = 0; i < count;) {
        int run = 0;
        while (i + run < count && modules[i + run] == u'1')
            ++run;
        if (run > 0)
            painter.fillRect(QRectF(left + i * moduleWidth, item.rect.top(), run * moduleWidth,
                                    item.rect.height()),
                             color);
        i += std::max(run, 1);
    }
    painter.restore();
}

} // namespace

QString fieldText(const TicketPlugin& plugin, const TicketItem& item, const TicketFields& fields)
{
    if (item.kind != ItemKind::Field || !declaresField(plugin.info, item.field))
        return {};
    // A stop name from the fare data may be far longer than any text the plug-in may hold.
    const QString value = fieldValue(plugin, item, fields).left(MaxTextLength);
    return value.isEmpty() ? QString() : item.prefix + value + item.suffix;
}

QByteArray barcodeText(const PluginInfo& info, const TicketItem& item, const TicketFields& fields)
{
    if (item.kind != ItemKind::Barcode || info[PluginInfo::CanPrintBarcode] != 1)
        return {};
    const std::int32_t routeMax = info[PluginInfo::RouteMax];
    QByteArray route;
    if (fields.route >= 1 && fields.route <= routeMax) {
        route = padded(fields.route, decimalDigits(routeMax)).toLatin1();
        // Route-number mode adds the return-trip flag; the call carries no direction, so it is
        // always the outward trip.
        if (info[PluginInfo::BarcodeRouteMode] != 1)
            route += '0';
    }
    QByteArray ticket;
    if (fields.ticketNo >= info[PluginInfo::StopRangeFrom] &&
        fields.ticketNo <= info[PluginInfo::StopRangeTo])
        ticket = padded(fields.ticketNo, decimalDigits(info[PluginInfo::StopRangeTo])).toLatin1();

    QByteArray data;
    switch (item.data) {
    case BarcodeData::RouteAndTicket:
        data = route.isEmpty() || ticket.isEmpty() ? QByteArray() : route + ticket;
        break;
    case BarcodeData::Route:
        data = route;
        break;
    case BarcodeData::Ticket:
        data = ticket;
        break;
    }
    return data.isEmpty() ? QByteArray() : item.guard + data + item.guard;
}

void drawTicket(QPainter& painter, const TicketPlugin& plugin, const TicketFields& fields)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.scale(1.0 / platform::TwipsPerPixel, 1.0 / platform::TwipsPerPixel);

    const QRect paper(0, 0, plugin.paperWidth(), plugin.paperHeight());
    painter.setClipRect(paper);
    painter.fillRect(paper, platform::toQColor(plugin.paper.color));
    drawFrame(painter, paper, plugin.paper.border,
              colorOf(plugin.paper.borderColor, plugin.paper.ink));

    for (const TicketItem& item : plugin.items) {
        switch (item.kind) {
        case ItemKind::Box:
            if (item.fill)
                painter.fillRect(item.rect, platform::toQColor(*item.fill));
            drawFrame(painter, item.rect, item.frame, colorOf(item.frameColor, plugin.paper.ink));
            break;
        case ItemKind::Text:
            drawLettering(painter, item, item.text, colorOf(item.color, plugin.paper.ink));
            break;
        case ItemKind::Field:
            if (const QString text = fieldText(plugin, item, fields); !text.isEmpty())
                drawLettering(painter, item, text, colorOf(item.color, plugin.paper.ink));
            break;
        case ItemKind::Barcode:
            if (const QByteArray text = barcodeText(plugin.info, item, fields); !text.isEmpty())
                drawBarcode(painter, item, text, colorOf(item.color, plugin.paper.ink));
            break;
        }
    }
    painter.restore();
}

} // namespace tickets
