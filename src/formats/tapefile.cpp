#include "formats/tapefile.h"

#include "platform/filelookup.h"
#include "platform/runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <cerrno>
#include <cmath>
#include <limits>

namespace sound
{

using formats::FileError;
using formats::FileErrorKind;
namespace ErrorNumber = platform::ErrorNumber;

namespace
{

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

} // namespace

void TapeFieldReader::skipDelimiter()
{
    lastEndedLine_ = false;
    if (pos_ >= text_.size())
        return;
    if (text_[pos_] == u',') {
        ++pos_;
        return;
    }
    lastEndedLine_ = true;
    if (text_[pos_] == u'\r')
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == u'\n')
        ++pos_;
}

std::optional<QString> TapeFieldReader::readRaw(bool* quoted)
{
    while (pos_ < text_.size() && isBlank(text_[pos_]))
        ++pos_;
    if (pos_ >= text_.size())
        return fail<QString>(ErrorNumber::InputPastEnd);
    *quoted = text_[pos_] == u'"';
    QString field;
    lastSpannedLines_ = false;
    lastUnclosed_ = false;
    if (*quoted) {
        const int close = text_.indexOf(u'"', pos_ + 1);
        const int end = close < 0 ? int(text_.size()) : close;
        field = text_.mid(pos_ + 1, end - pos_ - 1);
        pos_ = close < 0 ? end : close + 1;
        lastUnclosed_ = close < 0;
        lastSpannedLines_ = field.contains(u'\n') || field.contains(u'\r');
        // Anything between the closing quote and the separator is ignored.
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
            ++pos_;
    } else {
        const int start = pos_;
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
            ++pos_;
        field = text_.mid(start, pos_ - start).trimmed();
    }
    lastField_ = field;
    lastQuoted_ = *quoted;
    skipDelimiter();
    return field;
}

std::optional<QString> TapeFieldReader::readText()
{
    bool quoted = false;
    return readRaw(&quoted);
}

std::optional<int> TapeFieldReader::readInteger()
{
    bool quoted = false;
    const std::optional<QString> raw = readRaw(&quoted);
    if (!raw)
        return std::nullopt;
    const QString field = raw->trimmed();
    if (field.isEmpty())
        return 0;
    bool ok = false;
    const double value = field.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return fail<int>(ErrorNumber::TypeMismatch);
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        return fail<int>(ErrorNumber::Overflow);
    return int(rounded);
}

int TapeFieldReader::line() const
{
    // The reader only moves forward, so counting goes on from where it stopped last time.
    for (; countedTo_ < pos_ && countedTo_ < text_.size(); ++countedTo_) {
        const QChar c = text_[countedTo_];
        const bool crLf =
            c == u'\r' && countedTo_ + 1 < text_.size() && text_[countedTo_ + 1] == u'\n';
        if (c == u'\n' || (c == u'\r' && !crLf))
            ++countedLine_;
    }
    return countedLine_;
}

int countTapeLines(const QString& text)
{
    QString normalised = text;
    normalised.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    QStringList lines = normalised.split(u'\n');
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    return int(lines.size());
}

namespace
{

enum class Item { Text, StepFlag, SoundFlag };

QString itemName(Item item)
{
    switch (item) {
    case Item::Text:
        return QStringLiteral("放送の文");
    case Item::StepFlag:
        return QStringLiteral("送りフラグ");
    case Item::SoundFlag:
        return QStringLiteral("音フラグ");
    }
    return QString();
}

const QString ThreeItems = QStringLiteral("各行は「放送の文,送りフラグ,音フラグ」の 3 項目です");
const QString QuoteTheText =
    QStringLiteral("放送の文に「,」があるときは、文全体を \" で囲んでください");

// Reads the entries one by one and remembers the first line whose items did not line up with
// it: the reader then takes fields from the next line or leaves them to it, so a fault met
// later is most likely that line's doing, and that line is the one to name.
class TapeParser
{
public:
    explicit TapeParser(const QString& text) : reader_(text) {}

    // Reads one entry; false when a field could not be read (diagnose() then says why).
    bool read(TapeEntry& entry)
    {
        entryLine_ = reader_.line();
        item_ = Item::Text;
        fieldLine_ = entryLine_;
        const std::optional<QString> text = reader_.readText();
        if (!text)
            return false;
        entry.text = *text;
        textQuoted_ = reader_.lastQuoted();
        if (reader_.lastSpannedLines() && !reader_.lastUnclosed())
            noteMisalignment(
                QStringLiteral("放送の文が \" の中で改行されています（1 行に 1 件です）"), false);
        const std::optional<int> stepFlag = readFlag(Item::StepFlag);
        if (!stepFlag)
            return false;
        entry.stepFlag = *stepFlag;
        const std::optional<int> soundFlag = readFlag(Item::SoundFlag);
        if (!soundFlag)
            return false;
        entry.soundFlag = *soundFlag;
        if (!reader_.lastEndedLine() && !reader_.atEnd())
            noteMisalignment(
                QStringLiteral("項目が 4 つ以上あります（%1。%2）").arg(ThreeItems, QuoteTheText),
                true);
        return true;
    }

    // Why the last read failed, naming the line to mend.
    FileError diagnose() const
    {
        const int number = reader_.fault();
        if (item_ != Item::Text && reader_.lastUnclosed())
            return fault(number, entryLine_,
                         QStringLiteral("放送の文の \" が閉じられないまま、ファイルが"
                                        "終わっています"));
        const bool pastEnd = number == ErrorNumber::InputPastEnd;
        if (misalignedLine_ > 0 && (pastEnd || misalignmentShifts_))
            return fault(number, misalignedLine_, misalignment_);
        if (pastEnd && item_ == Item::Text)
            return fault(number, fieldLine_,
                         QStringLiteral("放送の文がありません（ファイルが途中で終わって"
                                        "います）"));
        if (pastEnd)
            return fault(number, entryLine_,
                         QStringLiteral("%1がありません（%2）").arg(itemName(item_), ThreeItems));
        return fault(number, fieldLine_, flagFault(number));
    }

    static FileError fault(int number, int line, const QString& reason)
    {
        return FileError{FileErrorKind::Malformed, number, QString(), line, reason};
    }

private:
    // Why the flag just read is no value of 16 bits.
    QString flagFault(int number) const
    {
        const QString field = reader_.lastField().trimmed();
        if (number == ErrorNumber::Overflow)
            return QStringLiteral("%1「%2」が大きすぎます（-32768〜32767 の整数です）")
                .arg(itemName(item_), field);
        QString reason = QStringLiteral("%1「%2」が数ではありません").arg(itemName(item_), field);
        // The usual cause: an unquoted comma in the text left part of it for the flag.
        if (item_ == Item::StepFlag && !textQuoted_)
            reason += QStringLiteral("（%1）").arg(QuoteTheText);
        return reason;
    }

    std::optional<int> readFlag(Item item)
    {
        // A line end before a flag means this line ran out of items and the next one lends it.
        if (reader_.lastEndedLine()) {
            const bool blankLine =
                item == Item::StepFlag && !reader_.lastQuoted() && reader_.lastField().isEmpty();
            noteMisalignment(
                blankLine ? QStringLiteral("空の行です（放送のない行は消してください）")
                          : QStringLiteral("%1がありません（%2）").arg(itemName(item), ThreeItems),
                true);
        }
        item_ = item;
        fieldLine_ = reader_.line();
        return reader_.readInteger();
    }

    void noteMisalignment(const QString& reason, bool shiftsFields)
    {
        if (misalignedLine_ > 0)
            return;
        misalignedLine_ = entryLine_;
        misalignment_ = reason;
        misalignmentShifts_ = shiftsFields;
    }

    TapeFieldReader reader_;
    int entryLine_ = 1;
    int fieldLine_ = 1;
    Item item_ = Item::Text;
    bool textQuoted_ = false;
    int misalignedLine_ = 0;
    QString misalignment_;
    bool misalignmentShifts_ = false;
};

} // namespace

TapeResult parseTape(const QString& text)
{
    const int count = countTapeLines(text);
    if (count == 0)
        return TapeParser::fault(ErrorNumber::InputPastEnd, 0,
                                 QStringLiteral("放送がありません（空のファイルです）"));
    std::vector<TapeEntry> entries(static_cast<size_t>(count));
    TapeParser parser(text);
    for (TapeEntry& entry : entries)
        if (!parser.read(entry))
            return parser.diagnose();
    return entries;
}

TapeResult parseTapeBytes(const QByteArray& bytes, platform::DecodedText* decoded)
{
    platform::DecodedText text = platform::decodeUserText(bytes);
    if (!platform::isReadable(text.encoding))
        return TapeParser::fault(ErrorNumber::TypeMismatch, 0,
                                 platform::unreadableEncodingReason(text.encoding));
    TapeResult entries = parseTape(text.text);
    if (decoded)
        *decoded = std::move(text);
    return entries;
}

QString findTapeFile(const QString& folder, const QString& route)
{
    return platform::findFileIgnoringCase(folder + route + QStringLiteral("tp.csv"));
}

FileError tooLargeError(const QString& path, qint64 size)
{
    const QString limit =
        QStringLiteral("放送用データは %1 バイト (1 MiB) までです").arg(MaxTapeFileSize);
    const QString reason =
        size < 0 ? QStringLiteral("ファイルが大きすぎます（%1）").arg(limit)
                 : QStringLiteral("ファイルが大きすぎます（%1 バイト。%2）").arg(size).arg(limit);
    return FileError{FileErrorKind::TooLarge, ErrorNumber::OutOfMemory, path, 0, reason};
}

TapeResult readTapeFile(const QString& path, platform::TextEncoding* encoding)
{
    const auto refused = [&path](FileErrorKind kind, int number) {
        return FileError{kind, number, path, 0, QString()};
    };
    const QFileInfo info(path);
    if (!info.exists())
        return refused(FileErrorKind::Missing, ErrorNumber::FileNotFound);
    // A folder, pipe or device is no data file; opening a pipe would block the program.
    if (!info.isFile())
        return refused(FileErrorKind::NotAFile, ErrorNumber::PathFileAccess);
    if (info.size() > MaxTapeFileSize)
        return tooLargeError(path, info.size());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refused(FileErrorKind::Unreadable, platform::errorNumberFromErrno(errno));
    // The file may have grown since it was measured: never more than the limit is read.
    const QByteArray bytes = file.read(MaxTapeFileSize + 1);
    if (bytes.size() > MaxTapeFileSize)
        return tooLargeError(path, file.size());
    platform::DecodedText decoded;
    TapeResult entries = parseTapeBytes(bytes, &decoded);
    if (!entries) {
        FileError error = entries.error();
        error.file = path;
        return error;
    }
    if (encoding)
        *encoding = decoded.encoding;
    return entries;
}

} // namespace sound
