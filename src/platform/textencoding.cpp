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

} // namespace

TextEncoding detectTextEncoding(const QByteArray& bytes)
{
    if (bytes.startsWith(Utf8Bom))
        return TextEncoding::Utf8WithBom;
    if (isAscii(bytes))
        return TextEncoding::Ascii;
    if (strictUtf8(bytes))
        return TextEncoding::Utf8;
    return TextEncoding::Cp932;
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
    }
    return QString();
}

} // namespace platform
