#include "sound/tapefile.h"

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

using platform::RuntimeError;
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
    if (pos_ >= text_.size())
        return;
    if (text_[pos_] == u',') {
        ++pos_;
        return;
    }
    if (text_[pos_] == u'\r')
        ++pos_;
    if (pos_ < text_.size() && text_[pos_] == u'\n')
        ++pos_;
}

QString TapeFieldReader::readRaw(bool* quoted)
{
    while (pos_ < text_.size() && isBlank(text_[pos_]))
        ++pos_;
    if (pos_ >= text_.size())
        throw RuntimeError(ErrorNumber::InputPastEnd);
    *quoted = text_[pos_] == u'"';
    QString field;
    if (*quoted) {
        const int close = text_.indexOf(u'"', pos_ + 1);
        const int end = close < 0 ? int(text_.size()) : close;
        field = text_.mid(pos_ + 1, end - pos_ - 1);
        pos_ = close < 0 ? end : close + 1;
        // Anything between the closing quote and the separator is ignored.
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
            ++pos_;
    } else {
        const int start = pos_;
        while (pos_ < text_.size() && text_[pos_] != u',' && !isLineEnd(text_[pos_]))
            ++pos_;
        field = text_.mid(start, pos_ - start).trimmed();
    }
    skipDelimiter();
    return field;
}

QString TapeFieldReader::readText()
{
    bool quoted = false;
    return readRaw(&quoted);
}

int TapeFieldReader::readInteger()
{
    bool quoted = false;
    const QString field = readRaw(&quoted).trimmed();
    if (field.isEmpty())
        return 0;
    bool ok = false;
    const double value = field.toDouble(&ok);
    if (!ok || !std::isfinite(value))
        throw RuntimeError(ErrorNumber::TypeMismatch);
    const double rounded = std::nearbyint(value);
    if (rounded < std::numeric_limits<qint16>::min() ||
        rounded > std::numeric_limits<qint16>::max())
        throw RuntimeError(ErrorNumber::Overflow);
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

std::vector<TapeEntry> parseTape(const QString& text, int* errorLine)
{
    const int count = countTapeLines(text);
    if (count == 0) {
        if (errorLine)
            *errorLine = 1;
        throw RuntimeError(ErrorNumber::InputPastEnd);
    }
    std::vector<TapeEntry> entries(static_cast<size_t>(count));
    TapeFieldReader reader(text);
    try {
        for (TapeEntry& entry : entries) {
            entry.text = reader.readText();
            entry.stepFlag = reader.readInteger();
            entry.soundFlag = reader.readInteger();
        }
    } catch (const RuntimeError&) {
        if (errorLine)
            *errorLine = reader.line();
        throw;
    }
    return entries;
}

QString findTapeFile(const QString& folder, const QString& route)
{
    return platform::findFileIgnoringCase(folder + route + QStringLiteral("tp.csv"));
}

std::vector<TapeEntry> readTapeFile(const QString& path, platform::TextEncoding* encoding)
{
    const QFileInfo info(path);
    if (!info.exists())
        throw RuntimeError(ErrorNumber::FileNotFound);
    // A folder, pipe or device is no data file; opening a pipe would block the program.
    if (!info.isFile())
        throw RuntimeError(ErrorNumber::PathFileAccess);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeError(platform::errorNumberFromErrno(errno));
    const platform::DecodedText decoded = platform::decodeUserText(file.readAll());
    if (encoding)
        *encoding = decoded.encoding;
    return parseTape(decoded.text);
}

} // namespace sound
