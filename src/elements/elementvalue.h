#pragma once

#include <QString>
#include <optional>

// A value as the display elements receive it: either a number or a text, kept exactly as
// assigned. Comparisons follow the old variant rules, so a number never equals a text: the
// number 0 is neither the text "0" nor the empty text.
class ElementValue
{
public:
    ElementValue() = default; // the integer 0
    ElementValue(int number);
    ElementValue(double number);
    ElementValue(const QString& text);
    ElementValue(const char* text);

    bool isNumber() const { return kind_ == Kind::Number; }
    bool isText() const { return kind_ == Kind::Text; }

    // The number held (0 for a text) and the text held (empty for a number).
    double number() const { return isNumber() ? number_ : 0.0; }
    QString text() const { return isText() ? text_ : QString(); }

    // A number, or a text that reads as one: blanks around, a sign, decimals, an exponent,
    // thousands commas or an &H / &O prefix.
    bool isNumeric() const;
    // The number a numeric value stands for.
    std::optional<double> numericValue() const;

    // The value as text: whole numbers without a decimal part, others with up to 15
    // significant digits ("1.5", "1E+20").
    QString toString() const;

    friend bool operator==(const ElementValue& a, const ElementValue& b);

private:
    enum class Kind { Number, Text };
    Kind kind_ = Kind::Number;
    double number_ = 0.0;
    QString text_;
};

// Reads a text as a number: blanks around, a sign, decimals, an exponent (E or D), thousands
// commas or an &H / &O prefix; nothing when it is no number (or overflows).
std::optional<double> parseNumber(const QString& text);

// A number as text: whole numbers without a decimal part, others with up to 15 significant
// digits and an upper-case exponent ("1.5", "1E+20").
QString formatNumber(double number);
