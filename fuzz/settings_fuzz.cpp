// The settings file read at start-up.
#include "fuzzcheck.h"

#include "app/settingscodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    SettingsRecords records;
    const bool complete = decodeSettings(bytes, records);

    // Whatever was read is written and read back unchanged; a text that had bytes CP932
    // cannot hold comes back as its "?" form, so the second trip is the one compared.
    const QByteArray written = encodeSettings(records);
    SettingsRecords once;
    FUZZ_CHECK(decodeSettings(written, once));
    SettingsRecords twice;
    FUZZ_CHECK(decodeSettings(encodeSettings(once), twice));
    FUZZ_CHECK(once == twice);
    if (complete)
        FUZZ_CHECK(written.size() <= bytes.size());
    return 0;
}
