#include "formats/rubytext.h"

#include <QChar>
#include <QStringView>

namespace formats
{

namespace
{

constexpr char16_t OpenMark = u'\u300A';  // 《
constexpr char16_t CloseMark = u'\u300B'; // 》
constexpr char16_t BaseMark = u'\uFF5C';  // ｜
constexpr char16_t AsciiBaseMark = u'|';

// What a base without ｜ is made of: one run of characters of one kind.
enum class Script { Other, Kanji, Katakana, Hiragana, LatinOrDigit };

bool isKanji(char32_t c)
{
    return (c >= 0x3400 && c <= 0x4DBF)      // extension A
           || (c >= 0x4E00 && c <= 0x9FFF)   // unified ideographs
           || (c >= 0xF900 && c <= 0xFAFF)   // compatibility ideographs
           || (c >= 0x20000 && c <= 0x3FFFF) // extension B on, rare but found in names
           || c == U'々' || c == U'〆' || c == U'〇' || c == U'ヶ' || c == U'ヵ';
}

bool isKatakana(char32_t c)
{
    return (c >= 0x30A1 && c <= 0x30FA) || (c >= 0x30FC && c <= 0x30FF)     // with ー ヽ ヾ
           || (c >= 0x31F0 && c <= 0x31FF) || (c >= 0xFF66 && c <= 0xFF9F); // small, half-width
}

bool isHiragana(char32_t c)
{
    return (c >= 0x3041 && c <= 0x3096) || (c >= 0x3099 && c <= 0x309F);
}

bool isLatinOrDigit(char32_t c)
{
    if (c < 0x80)
        return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
    if (c >= 0xFF10 && c <= 0xFF19) // full-width digits
        return true;
    return QChar::isLetter(c) && QChar::script(c) == QChar::Script_Latin;
}

Script scriptOf(char32_t c)
{
    if (isKanji(c))
        return Script::Kanji;
    if (isKatakana(c))
        return Script::Katakana;
    if (isHiragana(c))
        return Script::Hiragana;
    if (isLatinOrDigit(c))
        return Script::LatinOrDigit;
    return Script::Other;
}

struct CodePoint {
    char32_t value;
    qsizetype start;
};

// The character that ends just before `end` (> 0), a surrogate pair taken as one.
CodePoint codePointBefore(const QString& text, qsizetype end)
{
    const QChar last = text[end - 1];
    if (last.isLowSurrogate() && end >= 2 && text[end - 2].isHighSurrogate())
        return {QChar::surrogateToUcs4(text[end - 2], last), end - 2};
    return {last.unicode(), end - 1};
}

// The ｜ that starts the base of the reading at `open`, or -1. An earlier 《 or 》 ends the
// search: a ｜ before it marked something else.
qsizetype baseMarkBefore(const QString& text, qsizetype floor, qsizetype open)
{
    for (qsizetype i = open; i > floor; --i) {
        const QChar c = text[i - 1];
        if (c == BaseMark || c == AsciiBaseMark)
            return i - 1;
        if (c == OpenMark || c == CloseMark)
            break;
    }
    return -1;
}

// Where the run of one script that ends at `open` starts; `open` when there is none.
qsizetype runStart(const QString& text, qsizetype floor, qsizetype open)
{
    if (open <= floor)
        return open;
    const Script script = scriptOf(codePointBefore(text, open).value);
    if (script == Script::Other)
        return open;
    qsizetype start = open;
    while (start > floor) {
        const CodePoint c = codePointBefore(text, start);
        if (scriptOf(c.value) != script)
            break;
        start = c.start;
    }
    return start;
}

} // namespace

RubyText splitReadings(const QString& text)
{
    if (!text.contains(OpenMark))
        return {text, text, false};
    RubyText result;
    const QStringView whole(text);
    qsizetype copied = 0; // the text before this is in both results
    qsizetype from = 0;   // where the next 《 is looked for
    qsizetype close = -1; // the first 》 after the current 《
    for (qsizetype open = text.indexOf(OpenMark); open >= 0; open = text.indexOf(OpenMark, from)) {
        from = open + 1;
        if (close < open)
            close = text.indexOf(CloseMark, open + 1);
        if (close < 0)
            break; // no reading is closed from here on
        const qsizetype inner = text.indexOf(OpenMark, open + 1);
        if (inner >= 0 && inner < close)
            continue; // a reading holds no 《: this one stays as written
        const qsizetype bar = baseMarkBefore(text, copied, open);
        const qsizetype start = bar >= 0 ? bar + 1 : runStart(text, copied, open);
        const QStringView reading = whole.sliced(open + 1, close - open - 1);
        if (start == open || reading.trimmed().isEmpty())
            continue;
        const QStringView before = whole.sliced(copied, (bar >= 0 ? bar : start) - copied);
        result.shown += before;
        result.shown += whole.sliced(start, open - start);
        result.spoken += before;
        result.spoken += reading;
        result.hasReadings = true;
        copied = from = close + 1;
    }
    result.shown += whole.sliced(copied);
    result.spoken += whole.sliced(copied);
    return result;
}

} // namespace formats
