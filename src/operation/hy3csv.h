#pragma once

#include "operation/hy3file.h"
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

QString csvHeader();

// The records as CSV, LF line ends, no byte-order mark.
QByteArray toCsv(const std::vector<Record>& records);

struct CsvError {
    int line = 0;   // physical line of the field, from 1
    int column = 0; // field number, from 1 (1 the stop name, 2 the ticket number)
    QString what;

    QString text() const; // "<line>行目 <column>列目: <what>"
};

struct CsvResult {
    std::vector<Record> records;
    std::vector<CsvError> errors;  // every problem found; the records are unusable if any
    std::vector<int> skippedLines; // rows with nothing in them, left out
    platform::TextEncoding encoding = platform::TextEncoding::Ascii;
};

// Reads CSV as written by toCsv or a spreadsheet, in UTF-8 (with or without a byte-order
// mark) or Shift-JIS, whose stop names are kept byte for byte. CR LF or LF line ends, missing
// trailing columns (0) and a missing header line are accepted. Line 1 is taken for a header
// when it starts with "停留所名" or its second field is no number; a header other than
// "停留所名,整理券番号,1,2,…" (or the start of it) is an error. A stop name without a ticket
// number is an error; rows with nothing in them are skipped and listed.
CsvResult fromCsv(const QByteArray& bytes);

} // namespace hy3
