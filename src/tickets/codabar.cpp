#include "tickets/codabar.h"

#include <cstring>

namespace tickets
{
namespace
{

// Seven elements per character, bar first and alternating; '1' marks a wide element.
struct Symbol {
    char character;
    const char* elements;
};
constexpr Symbol Symbols[] = {
    {'0', "0000011"}, {'1', "0000110"}, {'2', "0001001"}, {'3', "1100000"}, {'4', "0010010"},
    {'5', "1000010"}, {'6', "0100001"}, {'7', "0100100"}, {'8', "0110000"}, {'9', "1001000"},
    {'-', "0001100"}, {'$', "0011000"}, {':', "1000101"}, {'/', "1010001"}, {'.', "1010100"},
    {'+', "0010101"}, {'A', "0011010"}, {'B', "0101001"}, {'C', "0001011"}, {'D', "0001110"},
};

const char* elementsOf(char c)
{
    for (const Symbol& symbol : Symbols) {
        if (symbol.character == c)
            return symbol.elements;
    }
    return nullptr;
}

bool isGuard(char c)
{
    return c >= 'A' && c <= 'D';
}

} // namespace

QString codabarModules(const QByteArray& text, int wideModules)
{
    if (text.size() < 2 || !isGuard(text.front()) || !isGuard(text.back()) || wideModules < 2)
        return {};
    QString modules;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool inner = i > 0 && i < text.size() - 1;
        const char* elements = elementsOf(text[i]);
        if (!elements || (inner && isGuard(text[i])))
            return {};
        if (i > 0)
            modules += u'0';
        for (int e = 0; e < 7; ++e) {
            const QChar ink = e % 2 == 0 ? u'1' : u'0';
            modules += QString(elements[e] == '1' ? wideModules : 1, ink);
        }
    }
    return modules;
}

} // namespace tickets
