#include "formats/hy3csv.h"

#include "platform/cp932.h"

#include <QList>
#include <QStringDecoder>
#include <QStringList>

#include <optional>

namespace hy3
{
namespace
{

const QString NameHeader = QStringLiteral("停留所名");

struct Field {
    QByteArray bytes;
    int line = 0;
    bool quoted = false;
};

struct Row {
    std::vector<Field> fields;
    int line = 0;

    // A blank line, or a spreadsheet row with nothing in any cell (",,,").
    bool isEmpty() const
    {
        for (const Field& field : fields) {
            if (!field.bytes.trimmed().isEmpty())
                return false;
        }
        return true;
    }
};

bool needsQuotes(const QString& text)
{
    return text.contains(u',') || text.contains(u'"') || text.contains(u'\r') ||
           text.contains(u'\n');
}

QString quoted(const QString& text)
{
    if (!needsQuotes(text))
        return text;
    QString out = text;
    out.replace(u'"', QStringLiteral("\"\""));
    return u'"' + out + u'"';
}

// Splits the bytes into rows of fields. The separators are ASCII, which never occurs inside a
// UTF-8 or a Shift-JIS character, so either splits safely.
class Splitter
{
public:
    Splitter(const QByteArray& data, std::vector<CsvError>& errors) : data_(data), errors_(errors)
    {
        if (data_.startsWith("\xEF\xBB\xBF"))
            pos_ = 3;
    }

    std::optional<Row> next()
    {
        if (pos_ >= data_.size())
            return std::nullopt;
        Row row;
        row.line = line_;
        for (;;) {
            row.fields.push_back(readField(int(row.fields.size()) + 1));
            if (pos_ < data_.size() && data_[pos_] == ',') {
                ++pos_;
                continue;
            }
            endLine();
            return row;
        }
    }

private:
    Field readField(int column)
    {
        Field field;
        field.line = line_;
        if (pos_ < data_.size() && data_[pos_] == '"')
            readQuoted(field, column);
        else
            readPlain(field, column);
        return field;
    }

    void readQuoted(Field& field, int column)
    {
        field.quoted = true;
        ++pos_;
        for (;;) {
            if (pos_ >= data_.size()) {
                errors_.push_back(
                    {field.line, column,
                     QStringLiteral("引用符 \" が閉じられないままファイルが終わっています")});
                return;
            }
            const char c = data_[pos_++];
            if (c == '"') {
                if (pos_ < data_.size() && data_[pos_] == '"') {
                    field.bytes.append('"');
                    ++pos_;
                    continue;
                }
                break;
            }
            if (c == '\n')
                ++line_;
            field.bytes.append(c);
        }
        if (pos_ < data_.size() && !isSeparator(data_[pos_])) {
            errors_.push_back(
                {line_, column,
                 QStringLiteral("閉じた引用符 \" の後に , か改行以外の文字があります")});
            skipToSeparator();
        }
    }

    void readPlain(Field& field, int column)
    {
        const qsizetype start = pos_;
        skipToSeparator();
        field.bytes = data_.mid(start, pos_ - start);
        if (field.bytes.contains('"'))
            errors_.push_back(
                {field.line, column,
                 QStringLiteral(
                     "引用符 \" を含む欄は全体を \" で囲み、\" は \"\" と書いてください")});
    }

    static bool isSeparator(char c) { return c == ',' || c == '\r' || c == '\n'; }

    void skipToSeparator()
    {
        while (pos_ < data_.size() && !isSeparator(data_[pos_]))
            ++pos_;
    }

    void endLine()
    {
        if (pos_ < data_.size() && data_[pos_] == '\r')
            ++pos_;
        if (pos_ < data_.size() && data_[pos_] == '\n')
            ++pos_;
        ++line_;
    }

    const QByteArray& data_;
    std::vector<CsvError>& errors_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

std::optional<QString> decodeUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool isInteger(const QByteArray& text)
{
    const qsizetype digits = !text.isEmpty() && (text[0] == '+' || text[0] == '-') ? 1 : 0;
    if (digits >= text.size())
        return false;
    for (qsizetype i = digits; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9')
            return false;
    }
    return true;
}

// A field's text in the file's encoding.
QString fieldText(const QByteArray& bytes, platform::TextEncoding encoding)
{
    return encoding == platform::TextEncoding::Cp932 ? platform::fromCp932(bytes)
                                                     : QString::fromUtf8(bytes);
}

// The header's name of column k: "停留所名", "整理券番号", then the data columns 1..150.
QString headerName(int column)
{
    if (column == 1)
        return NameHeader;
    if (column == 2)
        return QStringLiteral("整理券番号");
    return QString::number(column - 2);
}

// Line 1 is meant as a header when it names the first column, or when its ticket number is no
// number (a header such as "name,no,1").
bool looksLikeHeader(const Row& row, platform::TextEncoding encoding)
{
    if (fieldText(row.fields[0].bytes, encoding).trimmed() == NameHeader)
        return true;
    if (row.fields.size() < 2)
        return false;
    const QByteArray ticket = row.fields[1].bytes.trimmed();
    return !ticket.isEmpty() && !isInteger(ticket);
}

// The header's first column that differs from "停留所名,整理券番号,1,2,…,150", if any. A header
// may stop early and end in empty cells.
std::optional<CsvError> checkHeader(const Row& row, platform::TextEncoding encoding)
{
    int last = int(row.fields.size());
    while (last > 0 && row.fields[last - 1].bytes.trimmed().isEmpty())
        --last;
    for (int column = 1; column <= last; ++column) {
        const QString text = fieldText(row.fields[column - 1].bytes, encoding).trimmed();
        const QString expected =
            column <= CsvColumnCount ? headerName(column) : QStringLiteral("（なし）");
        if (text != expected)
            return CsvError{row.line, column,
                            QStringLiteral("見出しが正しくありません。「%1」のところは「%2」です"
                                           "（見出しは「停留所名,整理券番号,1,2,…,150」）")
                                .arg(text, expected)};
    }
    return std::nullopt;
}

class RecordBuilder
{
public:
    explicit RecordBuilder(CsvResult& result) : result_(result) {}

    Record build(const Row& row)
    {
        Record record;
        const int fieldCount = int(row.fields.size());
        record.name = stopName(row.fields[0]);
        // A name alone would become a stop with ticket number 0 that nobody meant.
        if (!row.fields[0].bytes.trimmed().isEmpty() &&
            (fieldCount < 2 || row.fields[1].bytes.trimmed().isEmpty()))
            error(fieldCount < 2 ? row.fields[0] : row.fields[1], 2,
                  QStringLiteral("停留所名があるのに整理券番号がありません"));
        for (int column = 2; column <= fieldCount; ++column) {
            const Field& field = row.fields[column - 1];
            if (column > CsvColumnCount) {
                if (!field.bytes.trimmed().isEmpty()) {
                    error(field, column,
                          QStringLiteral(
                              "列が多すぎます（停留所名、整理券番号、データ 150 列の計 %1 列まで）")
                              .arg(CsvColumnCount));
                    break;
                }
                continue;
            }
            const qint16 value = number(field, column);
            if (column == 2)
                record.ticketNo = value;
            else
                record.columns[column - 3] = value;
        }
        checkFares(row, record.ticketNo);
        return record;
    }

private:
    QByteArray stopName(const Field& field)
    {
        if (result_.encoding == platform::TextEncoding::Cp932)
            return cp932StopName(field);
        const std::optional<QString> text = decodeUtf8(field.bytes);
        if (!text) {
            error(field, 1, QStringLiteral("UTF-8 として読めないバイトがあります"));
            return QByteArray();
        }
        if (const QString reason = platform::nonCp932Reason(*text); !reason.isEmpty()) {
            error(field, 1, reason);
            return QByteArray();
        }
        return checkedLength(field, platform::toCp932(*text));
    }

    // Shift-JIS names go into the fare file as they stand, byte for byte.
    QByteArray cp932StopName(const Field& field)
    {
        if (platform::fromCp932(field.bytes).contains(QChar(QChar::ReplacementCharacter))) {
            error(field, 1, QStringLiteral("Shift-JIS (CP932) として読めないバイトがあります"));
            return QByteArray();
        }
        return checkedLength(field, field.bytes);
    }

    QByteArray checkedLength(const Field& field, const QByteArray& bytes)
    {
        if (bytes.size() > MaxNameBytes) {
            error(field, 1,
                  QStringLiteral("停留所名が長すぎます（Shift-JIS で %1 バイト、%2 バイトまで）")
                      .arg(bytes.size())
                      .arg(MaxNameBytes));
            return QByteArray();
        }
        return bytes;
    }

    qint16 number(const Field& field, int column)
    {
        const QByteArray text = field.bytes.trimmed();
        if (text.isEmpty())
            return 0;
        const QString shown = fieldText(text, result_.encoding);
        if (!isInteger(text)) {
            error(field, column, QStringLiteral("「%1」は整数ではありません").arg(shown));
            return 0;
        }
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok);
        if (!ok || value < -32768 || value > 32767) {
            error(field, column,
                  QStringLiteral("「%1」は -32768〜32767 の範囲を外れています").arg(shown));
            return 0;
        }
        return static_cast<qint16>(value);
    }

    // The fares are data columns 1..12, one for each earlier ticket number. An empty one
    // before another is a fare left out or one too many commas: either way the fares after
    // it would belong to other tickets. Fewer than the ticket number asks for is the same
    // fault at the end of the row, or fares that are truly 0; so it is only a warning.
    void checkFares(const Row& row, qint16 ticketNo)
    {
        const auto isEmpty = [&row](int dataColumn) {
            const qsizetype index = dataColumn + 1;
            return index >= qsizetype(row.fields.size()) ||
                   row.fields[index].bytes.trimmed().isEmpty();
        };
        int given = FareColumnCount;
        while (given > 0 && isEmpty(given))
            --given;
        for (int dataColumn = 1; dataColumn < given; ++dataColumn) {
            if (isEmpty(dataColumn)) {
                error(row.fields[dataColumn + 1], dataColumn + 2,
                      QStringLiteral("運賃が空欄です。この後の運賃が別の整理券番号の列に"
                                     "ずれていないか確かめてください（0 なら 0 と書きます）"));
                break;
            }
        }
        const int needed = qMin(int(ticketNo) - 1, FareColumnCount);
        if (given < needed)
            result_.warnings.push_back(
                {row.line, 0,
                 QStringLiteral("整理券番号 %1 の停留所なのに運賃が %2 個しかありません（それより"
                                "前の整理券の運賃が %3 個いります）。足りない分は 0 になります")
                     .arg(ticketNo)
                     .arg(given)
                     .arg(needed)});
    }

    void error(const Field& field, int column, const QString& what)
    {
        result_.errors.push_back({field.line, column, what});
    }

    CsvResult& result_;
};

} // namespace

QString csvHeader()
{
    QStringList names{NameHeader, QStringLiteral("整理券番号")};
    for (int i = 1; i <= ColumnCount; ++i)
        names << QString::number(i);
    return names.join(u',');
}

QByteArray toCsv(const std::vector<Record>& records)
{
    QString out = csvHeader() + u'\n';
    for (const Record& record : records) {
        out += quoted(platform::fromCp932(record.name));
        out += u',' + QString::number(record.ticketNo);
        for (qint16 value : record.columns)
            out += u',' + QString::number(value);
        out += u'\n';
    }
    return out.toUtf8();
}

QString CsvError::text() const
{
    if (line <= 0)
        return what;
    if (column <= 0)
        return QStringLiteral("%1行目: %2").arg(line).arg(what);
    return QStringLiteral("%1行目 %2列目: %3").arg(line).arg(column).arg(what);
}

CsvResult fromCsv(const QByteArray& bytes)
{
    CsvResult result;
    result.encoding = platform::detectTextEncoding(bytes);
    // One clear error instead of one for every line of a file read in the wrong encoding.
    if (!platform::isReadable(result.encoding)) {
        result.errors.push_back({0, 0, platform::unreadableEncodingReason(result.encoding)});
        return result;
    }
    // A fare file starts with its count and the first name's length, 16-bit numbers whose
    // high bytes are zero; no text does. (A zero byte further on may be part of a stop name.)
    if (bytes.left(4).contains('\0')) {
        result.errors.push_back(
            {0, 0,
             QStringLiteral("CSV ではありません（先頭にテキストにない 0 のバイトがあります。"
                            "運賃データ (*.hy3) なら to-csv で CSV にできます）")});
        return result;
    }
    Splitter splitter(bytes, result.errors);
    RecordBuilder builder(result);
    bool first = true;
    while (const std::optional<Row> row = splitter.next()) {
        if (row->isEmpty()) {
            result.skippedLines.push_back(row->line);
            continue;
        }
        const bool header = first && looksLikeHeader(*row, result.encoding);
        first = false;
        if (header) {
            if (const auto wrong = checkHeader(*row, result.encoding))
                result.errors.push_back(*wrong);
            continue;
        }
        if (int(result.records.size()) == MaxRows) {
            result.errors.push_back(
                {row->line, 1,
                 QStringLiteral("停留所が %1 件を超えています（この行が %2 件目）")
                     .arg(MaxRows)
                     .arg(MaxRows + 1)});
            break;
        }
        result.records.push_back(builder.build(*row));
    }
    return result;
}

} // namespace hy3
