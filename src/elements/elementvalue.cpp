#include "elementvalue.h"

#include <QLocale>
#include <cmath>

ElementValue::ElementValue(int number) : number_(number) {}

ElementValue::ElementValue(double number) : number_(number) {}

ElementValue::ElementValue(const QString& text) : kind_(Kind::Text), text_(text) {}

ElementValue::ElementValue(const char* text) : kind_(Kind::Text), text_(QString::fromUtf8(text)) {}

bool ElementValue::isNumeric() const
{
    return numericValue().has_value();
}

std::optional<double> ElementValue::numericValue() const
{
    if (isNumber())
        return number_;
    return parseNumber(text_);
}

QString ElementValue::toString() const
{
    return isNumber() ? formatNumber(number_) : text_;
}

bool operator==(const ElementValue& a, const ElementValue& b)
{
    if (a.kind_ != b.kind_)
        return false;
    if (a.isNumber())
        return a.number_ == b.number_;
    return a.text_ == b.text_;
}

namespace
{

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

std::optional<double> parseRadix(QStringView digits, int base, bool negative)
{
    if (digits.isEmpty() || digits.size() > 22)
        return std::nullopt;
    bool ok = false;
    const qulonglong magnitude = digits.toULongLong(&ok, base);
    if (!ok)
        return std::nullopt;
    const double value = static_cast<double>(magnitude);
    return negative ? -value : value;
}

// Sign, digits with optional thousands commas, an optional fraction and exponent.
std::optional<double> parseDecimal(QStringView body, bool negative)
{
    QString plain;
    qsizetype i = 0;
    int digits = 0;
    while (i < body.size() && (isDigit(body[i]) || (body[i] == u',' && digits > 0))) {
        if (body[i] != u',') {
            plain += body[i];
            ++digits;
        }
        ++i;
    }
    if (i < body.size() && body[i] == u'.') {
        plain += u'.';
        ++i;
        while (i < body.size() && isDigit(body[i])) {
            plain += body[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return std::nullopt;
    if (i < body.size() && QStringLiteral("EeDd").contains(body[i])) {
        plain += u'e';
        ++i;
        if (i < body.size() && (body[i] == u'+' || body[i] == u'-'))
            plain += body[i++];
        int expDigits = 0;
        while (i < body.size() && isDigit(body[i])) {
            plain += body[i++];
            ++expDigits;
        }
        if (expDigits == 0)
            return std::nullopt;
    }
    if (i != body.size())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return negative ? -value : value;
}

} // namespace

std::optional<double> parseNumber(const QString& text)
{
    QStringView body = QStringView(text).trimmed();
    if (body.isEmpty())
        return std::nullopt;
    if (body.size() > 2 && body[0] == u'&') {
        const QChar radix = body[1].toUpper();
        if (radix == u'H')
            return parseRadix(body.mid(2), 16, false);
        if (radix == u'O')
            return parseRadix(body.mid(2), 8, false);
        return std::nullopt;
    }
    bool negative = false;
    if (body[0] == u'+' || body[0] == u'-') {
        negative = body[0] == u'-';
        body = body.mid(1);
    }
    return parseDecimal(body, negative);
}

QString formatNumber(double number)
{
    if (number == 0.0 || std::isnan(number))
        return QStringLiteral("0");
    if (std::isinf(number))
        return number > 0 ? QStringLiteral("1.#INF") : QStringLiteral("-1.#INF");
    QString text = QString::number(number, 'g', 15);
    text.replace(u'e', u'E');
    return text;
}
