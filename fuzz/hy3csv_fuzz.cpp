// The CSV form of a fare file, as hy3tool reads it from a spreadsheet.
#include "fuzzcheck.h"

#include "formats/hy3csv.h"
#include "platform/cp932.h"
#include "platform/textencoding.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray csv(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const hy3::CsvResult result = hy3::fromCsv(csv);
    for (const hy3::CsvError& error : result.errors) {
        FUZZ_CHECK(error.line >= 0);
        FUZZ_CHECK(error.column >= 0);
        FUZZ_CHECK(!error.what.isEmpty());
    }
    // A warning concerns a row of the file.
    for (const hy3::CsvError& warning : result.warnings) {
        FUZZ_CHECK(warning.line >= 1);
        FUZZ_CHECK(!warning.what.isEmpty());
    }
    if (!result.errors.empty())
        return 0;

    // What was accepted fits the fare file and survives a second trip through CSV. No fare
    // was left out between two others: the fares after it would have moved to other tickets.
    FUZZ_CHECK(result.records.size() <= static_cast<std::size_t>(hy3::MaxRows));
    for (const hy3::Record& record : result.records)
        FUZZ_CHECK(record.name.size() <= hy3::MaxNameBytes);
    FUZZ_CHECK(platform::isReadable(result.encoding));
    const hy3::CsvResult again = hy3::fromCsv(hy3::toCsv(result.records));
    FUZZ_CHECK(again.errors.empty());
    // Shift-JIS names are kept as their bytes; the few with a second form (NEC and IBM
    // duplicates) come back from the UTF-8 CSV in the first form, as hy3tool warns.
    bool sameForms = true;
    for (const hy3::Record& record : result.records)
        sameForms = sameForms && platform::toCp932(platform::fromCp932(record.name)) == record.name;
    if (sameForms)
        FUZZ_CHECK(again.records == result.records);
    return 0;
}
