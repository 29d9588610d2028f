#pragma once

#include <QString>
#include <array>

// The loaded route: the fare table and the route state that goes with it. One route is loaded
// at a time; the control panel sets it, steps through it and displays it.

inline constexpr int FareTableRows = 301;
inline constexpr int FareColumnCount = 150;
inline constexpr int MaxSection = 300;

// One stop of the route, in travel order.
struct FareRecord {
    QString stopName;
    qint16 ticketNo = 0;
    std::array<qint16, FareColumnCount> columns{}; // column(1) is columns[0]

    // Data column 1..150; any other number raises platform::RuntimeError(9).
    qint16& column(int i);
    qint16 column(int i) const;
};

struct RouteState {
    QString routeText;      // as entered, leading zeros kept
    QString routeNo;        // routeNoFromText(routeText): names the fare and broadcast files
    qint16 section = 0;     // 1..300 once set
    qint16 recordCount = 0; // the count read from the last fare file opened
    qint16 stopIndex = 0;   // 0-based; the current stop is row stopIndex + 1
    // The rows the table holds from the last load that filled it, 0..301. A refused file
    // (no records, section too large, missing) leaves the route on display and this with it.
    qint16 loadedRows = 0;
};

RouteState& route();

// Row 1..301 of the fare table; any other row raises platform::RuntimeError(9).
FareRecord& fareRow(int row);

// Every row 1..301 back to name "" and all numbers 0; no rows loaded.
void clearFareTable();

// Stores one value: cell 1 the stop name, cell 2 the ticket number, cells 3..152 data columns
// 1..150. Row outside 1..301 or cell outside 1..152: RuntimeError(9). A number that does not
// fit 16 bits: RuntimeError(6); a text that is no number, for a numeric cell: RuntimeError(13).
void setFareCell(int row, int cell, const QString& value);
void setFareCell(int row, int cell, int value);

// The section as entered ("" counts as 0), rounded, then kept within 1..300.
qint16 normaliseSection(const QString& text);

// The decimal number the route text starts with, without sign or leading zeros; "0" when it
// has none ("00012" gives "12", "" gives "0"). Only digits ever reach a file name.
QString routeNoFromText(const QString& text);

// Loads "<routeNo>.hy3" from the folder into the fare table for the current section; needs
// routeNo and section set (a section of 0 counts as 1). When that name does not exist, a file
// whose name differs only in letter case is read (platform::findFileIgnoringCase). On success
// stopIndex = section - 1 and rows beyond recordCount are empty. A failure shows one OK
// message box, with the file tried in its details (and, for a file that is no fare data at
// all, hy3::notFareDataReason), and returns false, leaving:
//  - no file: the message that the route has no data; nothing is created, nothing changes;
//  - count 0, or section not below the count (count 1 or negative included): its message;
//    recordCount holds the file's count, table and stopIndex keep the previous route;
//  - any other error (a missing folder, more than 301 records, ...): the error's description;
//    with more than 301 records recordCount holds the count and the table the first 301.
// A file shorter than its count yields empty rows for the records it lacks (a record cut off
// inside keeps the fields it holds in full), without a message. The file is always closed.
bool loadFareFile(const QString& folderText);

// The last row that stepping may reach: the last stop of the route the table holds, at most
// row 301. After a refused file recordCount holds that file's count while the previous route
// stays on display, so stepping goes by the rows loaded, not by the count.
int lastUsableRow();

// A row number kept within the table, 1..301.
int clampRow(int row);
