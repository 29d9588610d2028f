#pragma once

#include "elements/elementvalue.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <vector>

namespace core
{
struct FareRecord;
class Options;
} // namespace core

// The window-free rules behind route setting, stepping and the display of a stop.
namespace stops
{

inline constexpr int FareElementCount = 12;
inline constexpr int RouteDigits = 5;   // keypad limit of the route display
inline constexpr int SectionDigits = 3; // keypad limit of the section display

// A folder with the separator the file name needs after it (none for an empty folder).
QString withTrailingSeparator(const QString& folder);

// A keypad digit appended to a display unless it already holds `limit` characters.
QString appendDigit(const QString& display, int digit, int limit);

// The night fare of a data value: doubled, except -1 (no fare). A double that does not fit
// 16 bits is held at the nearest 16-bit value, so a large fare never wraps round to a
// negative number.
qint16 nightFare(qint16 value, bool night);

// The ticket date and time texts: mm-dd-yyyy and 24-hour hh:mm:ss.
QString ticketDateText(const QDate& date);
QString ticketTimeText(const QTime& time);

// The date the ticket shows now, by the options' date mode.
QString currentTicketDate(const core::Options& options, const QString& keptDate,
                          const QDate& today);
// The date kept at a route setting.
QString routeSetTicketDate(const core::Options& options, const QDate& today);

// The sound a data step plays on arriving at `row`; empty for none.
QString stepSound(const core::Options& options, const core::FareRecord& row);

// One value written to fare element `element` (1..12).
struct ElementWrite {
    int element;
    ElementValue value;
};

// The fares of stop row n from element `section` on, then the information numbers over them,
// in the order they are written (a later write to the same element wins). List positions
// outside their lists (an unselected list) write nothing.
std::vector<ElementWrite> stopElementWrites(const core::FareRecord& row, int n, int section,
                                            bool night, const core::Options& options,
                                            const QString& routeText);

// The numeric value of the route text as the ticket gets it (0 when it is no number).
qint32 routeNumber(const QString& routeText);

} // namespace stops
