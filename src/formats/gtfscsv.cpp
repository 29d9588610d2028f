#include "formats/gtfscsv.h"

#include "platform/runtimeerror.h"

#include <QStringDecoder>

namespace gtfs
{
namespace
{

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmed(QByteArrayView view)
{
    while (!view.isEmpty() && isBlank(view.front()))
        view = view.sliced(1);
    while (!view.isEmpty() && isBlank(view.back()))
        view.chop(1);
    return view;
}

} // namespace

CsvReader::CsvReader(const QByteArray& bytes, const QString& file, qsizetype maxRows)
    : bytes_(bytes), file_(file), maxRows_(maxRows)
{
    if (bytes_.startsWith("\xEF\xBB\xBF"))
        pos_ = 3;
}

bool CsvReader::readHeader()
{
    skipBlankLines();
    if (pos_ >= bytes_.size())
        return fail(-1, QStringLiteral("空のファイルです（1 行目に列名の見出しがいります）"));
    if (!readRecord())
        return false;
    for (int i = 0; i < int(fields_.size()); ++i)
        header_.push_back(bytes(i).toByteArray());
    return true;
}

int CsvReader::column(QLatin1StringView name) const
{
    for (int i = 0; i < int(header_.size()); ++i) {
        if (QLatin1StringView(header_[size_t(i)]) == name)
            return i;
    }
    return -1;
}

bool CsvReader::next()
{
    if (error_)
        return false;
    skipBlankLines();
    if (pos_ >= bytes_.size())
        return false;
    if (records_ == maxRows_) {
        recordLine_ = physicalLine_;
        return fail(-1, QStringLiteral("行が多すぎます（見出しのほかに %1 行まで）").arg(maxRows_));
    }
    ++records_;
    return readRecord();
}

QByteArrayView CsvReader::bytes(int column) const
{
    if (column < 0 || column >= int(fields_.size()))
        return {};
    const Span& span = fields_[size_t(column)];
    const QByteArray& source = span.inScratch ? unquoted_ : bytes_;
    return trimmed(QByteArrayView(source).sliced(span.start, span.size));
}

std::optional<QString> CsvReader::text(int column)
{
    const QByteArrayView raw = bytes(column);
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString decoded = decoder.decode(raw);
    if (decoder.hasError()) {
        fail(column, QStringLiteral("UTF-8 として読めないバイトがあります"));
        return std::nullopt;
    }
    return decoded;
}

formats::FileError CsvReader::errorAt(int column, const QString& what, int line) const
{
    return formats::FileError{formats::FileErrorKind::Malformed,
                              platform::ErrorNumber::TypeMismatch,
                              file_,
                              line > 0 ? line : recordLine_,
                              what,
                              column < 0 ? 0 : column + 1};
}

bool CsvReader::fail(int column, const QString& what, int line)
{
    if (!error_)
        error_ = errorAt(column, what, line);
    return false;
}

bool CsvReader::readRecord()
{
    recordLine_ = physicalLine_;
    fields_.clear();
    unquoted_.clear();
    for (;;) {
        if (!readField())
            return false;
        if (pos_ < bytes_.size() && bytes_[pos_] == ',') {
            ++pos_;
            continue;
        }
        skipLineEnd();
        return true;
    }
}

bool CsvReader::readField()
{
    Span span;
    qsizetype quote = pos_;
    while (quote < bytes_.size() && isBlank(bytes_[quote]))
        ++quote;
    if (quote < bytes_.size() && bytes_[quote] == '"') {
        pos_ = quote;
        fields_.push_back(span); // the field's number for errors
        if (!readQuoted(span))
            return false;
        fields_.back() = span;
        return true;
    }
    readPlain(span);
    fields_.push_back(span);
    return true;
}

bool CsvReader::readQuoted(Span& span)
{
    const int column = int(fields_.size()) - 1;
    const int openedOn = physicalLine_;
    span.inScratch = true;
    span.start = unquoted_.size();
    ++pos_;
    for (;;) {
        if (pos_ >= bytes_.size()) {
            recordLine_ = openedOn;
            return fail(column,
                        QStringLiteral("引用符 \" が閉じられないままファイルが終わっています"));
        }
        const char c = bytes_[pos_++];
        if (c == '"') {
            if (pos_ < bytes_.size() && bytes_[pos_] == '"') {
                unquoted_.append('"');
                ++pos_;
                continue;
            }
            break;
        }
        if (c == '\n' || (c == '\r' && (pos_ >= bytes_.size() || bytes_[pos_] != '\n')))
            ++physicalLine_;
        unquoted_.append(c);
    }
    span.size = unquoted_.size() - span.start;
    while (pos_ < bytes_.size() && isBlank(bytes_[pos_]))
        ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] != ',' && !atLineEnd())
        return fail(column, QStringLiteral("閉じた引用符 \" の後に , か改行以外の文字があります"));
    return true;
}

// A quote inside an unquoted field is taken as it stands, as most feeds' producers mean it.
void CsvReader::readPlain(Span& span)
{
    span.start = pos_;
    while (pos_ < bytes_.size() && bytes_[pos_] != ',' && !atLineEnd())
        ++pos_;
    span.size = pos_ - span.start;
}

bool CsvReader::atLineEnd() const
{
    return bytes_[pos_] == '\n' || bytes_[pos_] == '\r';
}

void CsvReader::skipLineEnd()
{
    if (pos_ < bytes_.size() && bytes_[pos_] == '\r')
        ++pos_;
    if (pos_ < bytes_.size() && bytes_[pos_] == '\n')
        ++pos_;
    ++physicalLine_;
}

void CsvReader::skipBlankLines()
{
    while (pos_ < bytes_.size()) {
        qsizetype end = pos_;
        while (end < bytes_.size() && isBlank(bytes_[end]))
            ++end;
        if (end < bytes_.size() && bytes_[end] != '\n' && bytes_[end] != '\r')
            return;
        pos_ = end;
        if (pos_ >= bytes_.size())
            return;
        skipLineEnd();
    }
}

QString fieldReason(QLatin1StringView column, const QString& value, const QString& what)
{
    return QStringLiteral("%1「%2」%3").arg(column, value, what);
}

} // namespace gtfs
