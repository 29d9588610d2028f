#pragma once

#include "formats/gtfsfeed.h"
#include "formats/gtfspatterns.h"
#include "formats/hy3file.h"
#include "formats/tapefile.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

// One pattern of a feed made into a route: the fare data "<route>.hy3" and the broadcast data
// "<route>tp.csv". Pure functions on values, so that a dialog can run them on a worker.
namespace gtfs
{

// The most ticket numbers a route's fare data holds, one data column each.
inline constexpr int MaxTickets = hy3::ColumnCount;

// A stop of the converted route.
struct ConvertedStop {
    QString name;    // as shown and announced: the parent station's name for a pole
    QString reading; // ja-Hrkt from translations.txt; empty when the feed has none
    QString zone;    // its own zone, else its parent station's; empty without one
    bool boarding = true;
    int ticketNo = 0; // a stop nobody boards at carries the last number issued before it
};

struct Conversion {
    QString routeNo;
    std::vector<ConvertedStop> stops;
    std::vector<hy3::Record> records;
    std::vector<sound::TapeEntry> announcements;
    QByteArray fareFile; // the bytes of "<route>.hy3"; empty when there are errors
    QByteArray tapeFile; // the bytes of "<route>tp.csv" in CP932; empty when there are errors
    std::vector<QString> errors; // why the route cannot be written: nothing is then
    std::vector<QString> notes;  // written, but worth a look: fares left 0, rules passed over
    int missingFares = 0;        // pairs of stops no rule gives a fare for

    bool ok() const { return errors.empty(); }
};

// The route number the program looks the files up by, from what the user typed: 1 to 5
// digits, leading zeros dropped ("012" → "12"); nothing for anything else.
std::optional<QString> routeFileNumber(const QString& text);

// Makes `pattern` of `feed` into route `routeNo` (as routeFileNumber gives it).
// Stops: in the pattern's order, named as shownStopName says. A name that is empty, has no
// CP932 form, is longer than a fare file's name may be, or holds what a broadcast line cannot
// (a double quote, a line break, the reading marks ｜《》) is an error; so are more than
// hy3::MaxRows stops.
// Ticket numbers: each stop where some trip lets passengers board gets the next number, from
// 1; more than MaxTickets is an error. A stop nobody boards at keeps the number issued last
// (0 before the first), which is what the display shows as the newest ticket there.
// Fares: data column i at stop j is the fare from ticket i's stop to stop j, for tickets
// issued before stop j (others 0). The fare is the price of the cheapest rule for the two
// stops' zones, rules for this route winning over rules for every route; an empty origin or
// destination matches any zone, and rules with contains_id apply when the zones passed from
// the one stop to the other (both included) are exactly the fare's contains zones. A pair no
// rule covers is 0 and counted in missingFares, the first ones listed in notes. The prices of
// the fares this route's rules name must be whole yen in JPY that fit 16 bits.
// Announcements: for every stop after the first, "次は、<name>です。" (step 1, sound 2), the
// last "次は、終点、<name>です。" (step 1, sound 3), the name written "｜<name>《<reading>》"
// where the feed has a reading that CP932 can hold.
Conversion convertPattern(const Feed& feed, const Pattern& pattern, const QString& routeNo);

// The file names the conversion writes: "<route>.hy3" and "<route>tp.csv".
QString fareFileName(const Conversion& conversion);
QString tapeFileName(const Conversion& conversion);

// Writes a conversion without errors into the two folders (empty: the working folder), each
// file written beside its target and renamed over it. Gives why it failed, or nothing.
std::optional<QString> writeConversion(const Conversion& conversion, const QString& fareFolder,
                                       const QString& tapeFolder);

} // namespace gtfs
