// The broadcast data file: Shift-JIS or UTF-8 text, three comma-separated fields per line.
#include "fuzzcheck.h"

#include "formats/rubytext.h"
#include "formats/tapefile.h"
#include "platform/textencoding.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    platform::DecodedText decoded;
    const sound::TapeResult entries = sound::parseTapeBytes(bytes, &decoded);
    if (!entries) {
        // A file the reader refuses says where and why, within the file's lines.
        const formats::FileError& error = entries.error();
        FUZZ_CHECK(error.kind == formats::FileErrorKind::Malformed);
        FUZZ_CHECK(error.number > 0);
        FUZZ_CHECK(!error.reason.isEmpty());
        FUZZ_CHECK(error.line >= 0);
        FUZZ_CHECK(error.line <= bytes.count('\n') + bytes.count('\r') + 1);
        FUZZ_CHECK(error.description().endsWith(error.reason));
        return 0;
    }
    FUZZ_CHECK(platform::isReadable(decoded.encoding));
    FUZZ_CHECK(entries->size() == static_cast<std::size_t>(sound::countTapeLines(decoded.text)));
    for (const sound::TapeEntry& entry : *entries) {
        FUZZ_CHECK(entry.stepFlag >= -32768 && entry.stepFlag <= 32767);
        FUZZ_CHECK(entry.soundFlag >= -32768 && entry.soundFlag <= 32767);
        // Readings only ever take text away: the marks, and the base or the reading.
        const formats::RubyText readings = formats::splitReadings(entry.text);
        FUZZ_CHECK(readings.hasReadings ||
                   (readings.shown == entry.text && readings.spoken == entry.text));
        FUZZ_CHECK(!readings.hasReadings || (readings.shown.size() < entry.text.size() &&
                                             readings.spoken.size() < entry.text.size()));
    }
    return 0;
}
