#pragma once

#include "platform/textencoding.h"

#include <QString>
#include <vector>

namespace sound
{

// One line of a broadcast data file.
struct TapeEntry {
    QString text;
    int stepFlag = 0;  // 1: the announcement also steps the fare data
    int soundFlag = 0; // 1..3: pre-broadcast sound 1..3
};

// Reads comma-separated fields in sequence, line ends counting as separators, the way the
// original data files were read: a short line takes its missing fields from the next.
// Errors throw platform::RuntimeError.
class TapeFieldReader
{
public:
    explicit TapeFieldReader(const QString& text) : text_(text) {}

    // A text field: surrounding double quotes are removed and protect commas; an unquoted
    // text is trimmed.
    QString readText();
    // An integer field; empty reads as 0.
    int readInteger();
    // The line, from 1, of the next field.
    int line() const;

private:
    QString readRaw(bool* quoted);
    void skipDelimiter();

    QString text_;
    int pos_ = 0;
    mutable int countedTo_ = 0; // line() has counted the line ends before this position
    mutable int countedLine_ = 1;
};

// Number of lines as a line-by-line read counts them; blank lines at the very end are not
// counted (an editor's stray line end must not spoil the file).
int countTapeLines(const QString& text);

// Parses a whole file's text into one entry per line. On an error, `errorLine` (when given)
// gets the line the reader stood on.
std::vector<TapeEntry> parseTape(const QString& text, int* errorLine = nullptr);

// "<folder><route>tp.csv", or the file whose name differs from it only in letter case
// ("7Tp.csv" from a Windows folder); folder already ends in a separator when not empty.
QString findTapeFile(const QString& folder, const QString& route);

// Reads a broadcast data file by the rule for users' text files (Shift-JIS, or UTF-8) and
// tells which encoding it read. Throws platform::RuntimeError when the file is missing,
// empty or unreadable.
std::vector<TapeEntry> readTapeFile(const QString& path,
                                    platform::TextEncoding* encoding = nullptr);

} // namespace sound
