#pragma once

#include "operation/hy3file.h"

#include <QByteArray>
#include <QString>
#include <vector>

// The spreadsheet form of a fare file: UTF-8 CSV with the header line
// "停留所名,整理券番号,1,2,…,150" and one line per stop, fields quoted RFC 4180 style.
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
    std::vector<CsvError> errors; // every problem found; the records are unusable if any
};

// Reads CSV as written by toCsv or a spreadsheet: a UTF-8 byte-order mark, CR LF or LF line
// ends, a missing header line, blank lines and missing trailing columns (0) are accepted.
CsvResult fromCsv(const QByteArray& utf8);

} // namespace hy3
