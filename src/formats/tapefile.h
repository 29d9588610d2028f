#pragma once

#include "platform/runtimeerror.h"
#include "platform/textencoding.h"

#include <QString>
#include <vector>

namespace sound
{

// Larger broadcast data files are refused without being read: a route's announcements take a
// few kilobytes, and a file a thousand times that size would hold the windows while it is
// parsed.
inline constexpr qint64 MaxTapeFileSize = 1 << 20;

// One line of a broadcast data file.
struct TapeEntry {
    QString text;
    int stepFlag = 0;  // 1: the announcement also steps the fare data
    int soundFlag = 0; // 1..3: pre-broadcast sound 1..3
};

// A broadcast data file that cannot be used: the runtime error number it used to raise, the
// line (from 1; 0 when the fault concerns the whole file) and the reason in words for the
// user. The description is "<line>行目: <reason>", or the reason alone.
class TapeFileError : public platform::RuntimeError
{
public:
    TapeFileError(int number, int line, const QString& reason);

    int line() const { return line_; }
    const QString& reason() const { return reason_; }

private:
    int line_;
    QString reason_;
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

    // What the last field read held, as written (also when it was no number).
    const QString& lastField() const { return lastField_; }
    // Whether the last field was in quotes, and whether a line end followed it.
    bool lastQuoted() const { return lastQuoted_; }
    bool lastEndedLine() const { return lastEndedLine_; }
    // Whether the last field was quoted text running over a line end, or a quote that no
    // other closes.
    bool lastSpannedLines() const { return lastSpannedLines_; }
    bool lastUnclosed() const { return lastUnclosed_; }
    bool atEnd() const { return pos_ >= text_.size(); }

private:
    QString readRaw(bool* quoted);
    void skipDelimiter();

    QString text_;
    int pos_ = 0;
    mutable int countedTo_ = 0; // line() has counted the line ends before this position
    mutable int countedLine_ = 1;
    QString lastField_;
    bool lastQuoted_ = false;
    bool lastEndedLine_ = false;
    bool lastSpannedLines_ = false;
    bool lastUnclosed_ = false;
};

// Number of lines as a line-by-line read counts them; blank lines at the very end are not
// counted (an editor's stray line end must not spoil the file).
int countTapeLines(const QString& text);

// Parses a whole file's text into one entry per line. A file that cannot be used throws
// TapeFileError naming the line that put the reader wrong: a line with fewer or more than
// three items (its fields are then taken from, or left to, the next line), a blank line, a
// quote left open, a flag that is no number or out of range.
std::vector<TapeEntry> parseTape(const QString& text);

// Decodes a file's bytes by the rule for users' text files and parses them; UTF-16, which
// the rule does not read, is refused by name (TapeFileError). `decoded`, when given, gets the
// decoded text and its encoding.
std::vector<TapeEntry> parseTapeBytes(const QByteArray& bytes,
                                      platform::DecodedText* decoded = nullptr);

// "<folder><route>tp.csv", or the file whose name differs from it only in letter case
// ("7Tp.csv" from a Windows folder); folder already ends in a separator when not empty.
QString findTapeFile(const QString& folder, const QString& route);

// The reason for a file of `size` bytes (-1: not known) that is over MaxTapeFileSize, for the
// user.
QString tooLargeReason(qint64 size);

// Reads a broadcast data file by the rule for users' text files (Shift-JIS, or UTF-8) and
// tells which encoding it read. Throws platform::RuntimeError when the file is missing or no
// regular file, and TapeFileError when it is larger than MaxTapeFileSize (without reading
// it), empty, UTF-16 or not made of three items a line.
std::vector<TapeEntry> readTapeFile(const QString& path,
                                    platform::TextEncoding* encoding = nullptr);

} // namespace sound
