#pragma once

#include "formats/ticketpluginformat.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

class QPainter;

namespace tickets
{

// What the drawing call receives for one ticket.
struct TicketFields {
    QString stopName;
    QString date; // mm-dd-yyyy or yyyy/mm/dd, or anything else (printed as given)
    QString time; // hh:mm:ss
    std::int32_t route = 0;
    std::int16_t ticketNo = 0;
    std::int16_t stopRow = 0;
    std::int16_t companyPos = -1; // index into the plug-in's company names; -1 = none
};

// The text a field item prints, prefix and suffix included; empty when there is nothing to
// print (an empty value, no company chosen, a field the plug-in does not declare).
QString fieldText(const TicketPlugin& plugin, const TicketItem& item, const TicketFields& fields);

// The Codabar text of a barcode item, guards included; empty when the route is outside
// 1..RouteMax or the ticket number outside the stop recognition range.
QByteArray barcodeText(const PluginInfo& info, const TicketItem& item, const TicketFields& fields);

// Draws the ticket with its top-left corner at the painter's origin, one device pixel being 15
// twips.
void drawTicket(QPainter& painter, const TicketPlugin& plugin, const TicketFields& fields);

} // namespace tickets
