#pragma once

#include <QByteArray>
#include <QString>

namespace platform
{

// How a text file that the user wrote was read.
enum class TextEncoding {
    Ascii,       // nothing but ASCII: the same text in every encoding
    Utf8WithBom, // starts with the UTF-8 byte-order mark
    Utf8,        // valid UTF-8 with non-ASCII text
    Cp932,       // everything else: Shift-JIS as Windows writes it
};

// The one rule for every text file the user writes (broadcast data, ticket plug-ins, the
// fare CSV): UTF-8 with a byte-order mark; otherwise valid UTF-8 that holds non-ASCII text;
// otherwise CP932. Bytes that are valid in both encodings read as UTF-8, which is what they
// almost always are; Shift-JIS Japanese text is rarely valid UTF-8 (its lead bytes are
// UTF-8 continuation bytes).
TextEncoding detectTextEncoding(const QByteArray& bytes);

struct DecodedText {
    QString text; // without the byte-order mark
    TextEncoding encoding = TextEncoding::Ascii;
    bool clean = true; // false: some bytes could not be read and became U+FFFD
};

DecodedText decodeUserText(const QByteArray& bytes);

// The encoding as the program names it to the user: "UTF-8 (BOM 付き)", "Shift-JIS (CP932)" ...
QString encodingName(TextEncoding encoding);

} // namespace platform
