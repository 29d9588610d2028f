#include "operation/hy3csv.h"

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

    bool isBlank() const
    {
        return fields.size() == 1 && !fields[0].quoted && fields[0].bytes.isEmpty();
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

// Splits the bytes into rows of fields (the separators are ASCII, so UTF-8 splits safely).
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

// The first character of the text that has no CP932 form, or an empty text.
QString firstUnrepresentable(const QString& text)
{
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, width);
        if (!platform::isCp932Representable(character))
            return character;
        i += width;
    }
    return QString();
}

QString codePoint(const QString& character)
{
    return QString::number(character.toUcs4().value(0), 16).toUpper().rightJustified(4, u'0');
}

class RecordBuilder
{
public:
    explicit RecordBuilder(std::vector<CsvError>& errors) : errors_(errors) {}

    Record build(const Row& row)
    {
        Record record;
        const int fieldCount = int(row.fields.size());
        record.name = stopName(row.fields[0]);
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
        return record;
    }

private:
    QByteArray stopName(const Field& field)
    {
        const std::optional<QString> text = decodeUtf8(field.bytes);
        if (!text) {
            error(field, 1, QStringLiteral("UTF-8 として読めないバイトがあります"));
            return QByteArray();
        }
        const QString bad = firstUnrepresentable(*text);
        if (!bad.isEmpty()) {
            error(field, 1,
                  QStringLiteral("「%1」(U+%2) は Shift-JIS (CP932) で表せない文字です")
                      .arg(bad, codePoint(bad)));
            return QByteArray();
        }
        QByteArray bytes = platform::toCp932(*text);
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
        qsizetype digits = text[0] == '+' || text[0] == '-' ? 1 : 0;
        bool allDigits = digits < text.size();
        for (qsizetype i = digits; i < text.size(); ++i)
            allDigits = allDigits && text[i] >= '0' && text[i] <= '9';
        const QString shown = QString::fromUtf8(text);
        if (!allDigits) {
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

    void error(const Field& field, int column, const QString& what)
    {
        errors_.push_back({field.line, column, what});
    }

    std::vector<CsvError>& errors_;
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
    return QStringLiteral("%1行目 %2列目: %3").arg(line).arg(column).arg(what);
}

CsvResult fromCsv(const QByteArray& utf8)
{
    CsvResult result;
    Splitter splitter(utf8, result.errors);
    RecordBuilder builder(result.errors);
    bool first = true;
    while (const std::optional<Row> row = splitter.next()) {
        if (row->isBlank())
            continue;
        const bool header = first && decodeUtf8(row->fields[0].bytes) == NameHeader;
        first = false;
        if (header)
            continue;
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
