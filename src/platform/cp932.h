#pragma once

#include <QByteArray>
#include <QString>

namespace platform
{

// Every file and library string of the system is Windows Shift-JIS (code page 932).
// A character with no CP932 form becomes "?", as the Windows conversion does.
QByteArray toCp932(const QString& text);

// Invalid or incomplete byte sequences decode to U+FFFD, one per offending byte.
QString fromCp932(const QByteArray& bytes);

// Length of the text in CP932 bytes.
int cp932Length(const QString& text);

// True when the byte starts a double-byte CP932 character.
constexpr bool isCp932LeadByte(unsigned char b)
{
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// True when every character of the text has a CP932 form.
bool isCp932Representable(const QString& text);

// Why the text has no CP932 form, naming its first such character and code point:
// "「…」(U+XXXX) は Shift-JIS (CP932) で表せない文字です"; empty when it has one.
QString nonCp932Reason(const QString& text);

// True when the text comes back unchanged from CP932, as a text stored in the settings file
// must (a few characters have a form that reads back as another character).
bool survivesCp932(const QString& text);

} // namespace platform
