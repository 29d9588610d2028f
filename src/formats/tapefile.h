#pragma once

#include "formats/fileerror.h"
#include "formats/rubytext.h"
#include "platform/textencoding.h"

#include <QString>
#include <optional>
#include <vector>

namespace sound
{

// Larger broadcast data files are refused without being read: a route's announcements take a
// few kilobytes, and a file a thousand times that size would hold the windows while it is
// parsed.
inline constexpr qint64 MaxTapeFileSize = 1 << 20;

// One line of a broadcast data file.
struct TapeEntry {
    QString text;      // as written, readings in 《》 and all
    int stepFlag = 0;  // 1: the announcement also steps the fare data
    int soundFlag = 0; // 1..3: pre-broadcast sound 1..3

    // The text as it is shown, and as it is spoken: a reading written in 《》 after a name
    // takes the name's place in speech only (formats::splitReadings). Both are the text as
    // written when it holds no 《.
    QString shownText() const { return formats::splitReadings(text).shown; }
    QString spokenText() const { return formats::splitReadings(text).spoken; }
};

// Reads comma-separated fields in sequence, line ends counting as separators, the way the
// original data files were read: a short line takes its missing fields from the next.
// A field that cannot be read gives nothing, and fault() says why.
class TapeFieldReader
{
public:
    explicit TapeFieldReader(const QString& text) : text_(text) {}

    // A text field: surrounding double quotes are removed and protect commas; an unquoted
    // text is trimmed. Nothing past the end (fault() InputPastEnd).
    std::optional<QString> readText();
    // An integer field; empty reads as 0. Nothing past the end, for a text that is no number
    // (TypeMismatch) and for a number beyond 16 bits (Overflow).
    std::optional<int> readInteger();
    // The runtime error number of the last read that gave nothing; 0 while none has.
    int fault() const { return fault_; }
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
    std::optional<QString> readRaw(bool* quoted);
    template <typename T> std::optional<T> fail(int number)
    {
        fault_ = number;
        return std::nullopt;
    }
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
    int fault_ = 0;
};

// Number of lines as a line-by-line read counts them; blank lines at the very end are not
// counted (an editor's stray line end must not spoil the file).
int countTapeLines(const QString& text);

// A broadcast data file's entries, or why it cannot be used: the runtime error number it
// stands for, the line (from 1; 0 when the fault concerns the whole file) and the reason in
// words for the user.
using TapeResult = formats::FileResult<std::vector<TapeEntry>>;

// Parses a whole file's text into one entry per line. A file that cannot be used is refused
// (Malformed) naming the line that put the reader wrong: a line with fewer or more than three
// items (its fields are then taken from, or left to, the next line), a blank line, a quote
// left open, a flag that is no number or out of range.
TapeResult parseTape(const QString& text);

// Decodes a file's bytes by the rule for users' text files and parses them; UTF-16, which
// the rule does not read, is refused by name. `decoded`, when given, gets the decoded text
// and its encoding.
TapeResult parseTapeBytes(const QByteArray& bytes, platform::DecodedText* decoded = nullptr);

// The refusal of a file of `size` bytes (-1: not known) that is over MaxTapeFileSize.
formats::FileError tooLargeError(const QString& path, qint64 size);

// "<folder><route>tp.csv", or the file whose name differs from it only in letter case
// ("7Tp.csv" from a Windows folder); folder already ends in a separator when not empty.
QString findTapeFile(const QString& folder, const QString& route);

// Reads a broadcast data file by the rule for users' text files (Shift-JIS, or UTF-8) and
// tells which encoding it read. Refuses a file that is missing (Missing) or no regular file
// (NotAFile) with the number's own description, and one that is larger than MaxTapeFileSize
// (TooLarge, without reading it), empty, UTF-16 or not made of three items a line (Malformed)
// with a reason. Every refusal names the path.
TapeResult readTapeFile(const QString& path, platform::TextEncoding* encoding = nullptr);

} // namespace sound
