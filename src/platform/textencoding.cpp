#include "platform/textencoding.h"

#include "platform/cp932.h"

#include <QStringDecoder>
#include <algorithm>
#include <optional>

namespace platform
{
namespace
{

const QByteArray Utf8Bom("\xEF\xBB\xBF");
const QByteArray Utf16LeBom("\xFF\xFE");
const QByteArray Utf16BeBom("\xFE\xFF");

bool isAscii(const QByteArray& bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The text when the bytes are valid UTF-8.
std::optional<QString> strictUtf8(QByteArrayView bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

bool isTextCharacter(QChar c)
{
    return c.unicode() >= 0x20 || c == u'\t' || c == u'\r' || c == u'\n';
}

// True when the bytes, without a byte-order mark, read as UTF-16 text in that byte order.
// Neither UTF-8 nor Shift-JIS text ever holds a zero byte, while UTF-16 gives one to every
// ASCII character, always in the same half. A quarter of the characters being ASCII is
// enough (a CSV's commas and digits, a broadcast file's flags and line ends); the decoded
// text must then be valid and free of control characters, which keeps binary files out.
bool looksLikeUtf16(const QByteArray& bytes, QStringDecoder::Encoding order)
{
    const qsizetype units = bytes.size() / 2;
    if (units == 0)
        return false;
    const int zeroHalf = order == QStringDecoder::Utf16LE ? 1 : 0;
    qsizetype zerosExpected = 0;
    qsizetype zerosElsewhere = 0;
    for (qsizetype i = 0; i < 2 * units; ++i) {
        if (bytes[i] != '\0')
            continue;
        if (i % 2 == zeroHalf)
            ++zerosExpected;
        else
            ++zerosElsewhere;
    }
    // A few zeros in the other half are kanji such as U+4E00, whose low byte is zero.
    if (zerosExpected * 4 < units || zerosElsewhere * 4 > zerosExpected)
        return false;
    QStringDecoder decoder(order, QStringDecoder::Flag::Stateless);
    const QString text = decoder.decode(QByteArrayView(bytes).first(2 * units));
    return !decoder.hasError() && std::all_of(text.begin(), text.end(), isTextCharacter);
}

} // namespace

TextEncoding detectTextEncoding(const QByteArray& bytes)
{
    if (bytes.startsWith(Utf8Bom))
        return TextEncoding::Utf8WithBom;
    if (bytes.startsWith(Utf16LeBom) || looksLikeUtf16(bytes, QStringDecoder::Utf16LE))
        return TextEncoding::Utf16LittleEndian;
    if (bytes.startsWith(Utf16BeBom) || looksLikeUtf16(bytes, QStringDecoder::Utf16BE))
        return TextEncoding::Utf16BigEndian;
    if (isAscii(bytes))
        return TextEncoding::Ascii;
    if (strictUtf8(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
}

bool isReadable(TextEncoding encoding)
{
    return encoding != TextEncoding::Utf16LittleEndian && encoding != TextEncoding::Utf16BigEndian;
}

DecodedText decodeUserText(const QByteArray& bytes)
{
    DecodedText decoded;
    decoded.encoding = detectTextEncoding(bytes);
    switch (decoded.encoding) {
    case TextEncoding::Ascii:
        decoded.text = QString::fromLatin1(bytes);
        break;
    case TextEncoding::Utf8WithBom: {
        const QByteArrayView body = QByteArrayView(bytes).sliced(Utf8Bom.size());
        if (const auto text = strictUtf8(body)) {
            decoded.text = *text;
        } else {
            decoded.text = QString::fromUtf8(body);
            decoded.clean = false;
        }
        break;
    }
    case TextEncoding::Utf8:
        decoded.text = QString::fromUtf8(bytes);
        break;
    case TextEncoding::Cp932:
        decoded.text = fromCp932(bytes);
        // CP932 has no form of U+FFFD, so every one of them stands for a byte it could not read.
        decoded.clean = !decoded.text.contains(QChar(QChar::ReplacementCharacter));
        break;
    case TextEncoding::Utf16LittleEndian:
    case TextEncoding::Utf16BigEndian:
        decoded.clean = false;
        break;
    }
    return decoded;
}

QString encodingName(TextEncoding encoding)
{
    switch (encoding) {
    case TextEncoding::Ascii:
        return QStringLiteral("ASCII");
    case TextEncoding::Utf8WithBom:
        return QStringLiteral("UTF-8 (BOM 付き)");
    case TextEncoding::Utf8:
        return QStringLiteral("UTF-8");
    case TextEncoding::Cp932:
        return QStringLiteral("Shift-JIS (CP932)");
    case TextEncoding::Utf16LittleEndian:
        return QStringLiteral("UTF-16 LE");
    case TextEncoding::Utf16BigEndian:
        return QStringLiteral("UTF-16 BE");
    }
    return QString();
}

QString unreadableEncodingReason(TextEncoding encoding)
{
    if (isReadable(encoding))
        return QString();
    return QStringLiteral(
               "%1 のテキストは読めません。UTF-8 か Shift-JIS で保存し直してください"
               "（メモ帳の「Unicode」は UTF-16 です。文字コードに UTF-8 を選んでください）")
        .arg(encodingName(encoding));
}

} // namespace platform
