// The settings file read at start-up.
#include "fuzzcheck.h"

#include "formats/settingscodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    SettingsRecords records;
    const SettingsDecoding decoding = decodeSettingsRecord(bytes, records);

    // Whatever was read is written and read back unchanged; a text that had bytes CP932
    // cannot hold comes back as its "?" form, so the second trip is the one compared.
    const QByteArray written = encodeSettings(records);
    SettingsRecords once;
    FUZZ_CHECK(decodeSettings(written, once));
    SettingsRecords twice;
    FUZZ_CHECK(decodeSettings(encodeSettings(once), twice));
    FUZZ_CHECK(once == twice);
    // What lies beyond the record is counted exactly: the record itself never grows.
    FUZZ_CHECK(decoding.bytesBeyond >= 0 && decoding.bytesBeyond <= bytes.size());
    if (decoding.complete)
        FUZZ_CHECK(written.size() <= bytes.size() - decoding.bytesBeyond);
    else
        FUZZ_CHECK(decoding.bytesBeyond == 0);
    return 0;
}
