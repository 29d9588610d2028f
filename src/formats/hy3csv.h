#pragma once

#include "formats/hy3file.h"
#include "platform/textencoding.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The spreadsheet form of a fare file: CSV with the header line "停留所名,整理券番号,1,2,…,150"
// and one line per stop, fields quoted RFC 4180 style. Written as UTF-8; read by the rule for
// users' text files, so a Japanese spreadsheet's Shift-JIS is read too.
namespace hy3
{

inline constexpr int CsvColumnCount = 2 + ColumnCount;
// The data columns that the twelve fare elements show: the fares of a stop, by ticket number.
inline constexpr int FareColumnCount = 12;

QString csvHeader();

// The records as CSV, LF line ends, no byte-order mark.
QByteArray toCsv(const std::vector<Record>& records);

struct CsvError {
    int line = 0;   // physical line of the field, from 1; 0 for the whole file
    int column = 0; // field number, from 1 (1 the stop name, 2 the ticket number); 0 for a row
    QString what;

    // "<line>行目 <column>列目: <what>", "<line>行目: <what>" or <what> alone.
    QString text() const;
};

struct CsvResult {
    std::vector<Record> records;
    std::vector<CsvError> errors;   // every problem found; the records are unusable if any
    std::vector<CsvError> warnings; // usable, but likely not what was meant
    std::vector<int> skippedLines;  // rows with nothing in them, left out
    platform::TextEncoding encoding = platform::TextEncoding::Ascii;
};

// Reads CSV as written by toCsv or a spreadsheet, in UTF-8 (with or without a byte-order
// mark) or Shift-JIS, whose stop names are kept byte for byte. CR LF or LF line ends, missing
// trailing columns (0) and a missing header line are accepted. Line 1 is taken for a header
// when it starts with "停留所名" or its second field is no number; a header other than
// "停留所名,整理券番号,1,2,…" (or the start of it) is an error. A stop name without a ticket
// number is an error; rows with nothing in them are skipped and listed.
// Fares (data columns 1..12) are checked against the ticket number, because a fare left out
// would move the ones after it to other tickets: an empty fare followed by another is an
// error, and a row that ends before the fares of every earlier ticket (1..ticket number - 1,
// at most 12) is given is a warning. A UTF-16 file is one error that names the encoding, and
// a file with a zero byte among its first four (a fare file) one that says it is no CSV.
CsvResult fromCsv(const QByteArray& bytes);

} // namespace hy3
