// The broadcast data file: Shift-JIS or UTF-8 text, three comma-separated fields per line.
#include "fuzzcheck.h"

#include "platform/runtimeerror.h"
#include "platform/textencoding.h"
#include "sound/tapefile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString text =
        platform::decodeUserText(QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)))
            .text;
    const int lines = sound::countTapeLines(text);
    FUZZ_CHECK(lines >= 0);
    try {
        const std::vector<sound::TapeEntry> entries = sound::parseTape(text);
        FUZZ_CHECK(entries.size() == static_cast<std::size_t>(lines));
        for (const sound::TapeEntry& entry : entries) {
            FUZZ_CHECK(entry.stepFlag >= -32768 && entry.stepFlag <= 32767);
            FUZZ_CHECK(entry.soundFlag >= -32768 && entry.soundFlag <= 32767);
        }
    } catch (const platform::RuntimeError& error) {
        // A file the reader refuses says why, in one of the runtime errors.
        FUZZ_CHECK(error.number() > 0);
    }
    return 0;
}
