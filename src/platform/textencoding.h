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
    // Recognised only to be refused by name: Notepad's "Unicode" and "Unicode big endian".
    Utf16LittleEndian,
    Utf16BigEndian,
};

// The one rule for every text file the user writes (broadcast data, ticket plug-ins, the
// fare CSV): UTF-8 with a byte-order mark; otherwise valid UTF-8 that holds non-ASCII text;
// otherwise CP932. Bytes that are valid in both encodings read as UTF-8, which is what they
// almost always are; Shift-JIS Japanese text is rarely valid UTF-8 (its lead bytes are
// UTF-8 continuation bytes). Before all that, UTF-16 is recognised by its byte-order mark, or
// without one by the zero byte that every ASCII character (digits, commas, line ends) has in
// the same half of its two bytes, so that it can be named instead of read as garbage.
TextEncoding detectTextEncoding(const QByteArray& bytes);

// False for the UTF-16 forms: the program reads none of them.
bool isReadable(TextEncoding encoding);

struct DecodedText {
    QString text; // without the byte-order mark; empty for an encoding that is not read
    TextEncoding encoding = TextEncoding::Ascii;
    bool clean = true; // false: some bytes could not be read and became U+FFFD, or none were read
};

DecodedText decodeUserText(const QByteArray& bytes);

// The encoding as the program names it to the user: "UTF-8 (BOM 付き)", "Shift-JIS (CP932)" ...
QString encodingName(TextEncoding encoding);

// For an encoding that is not read: what the user is told, naming it and how to save the file
// again. Empty for the encodings that are read.
QString unreadableEncodingReason(TextEncoding encoding);

} // namespace platform
