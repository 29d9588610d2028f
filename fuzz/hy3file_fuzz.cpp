// The fare data file: the record reader the program and hy3tool share, and the CSV form.
#include "fuzzcheck.h"

#include "formats/hy3csv.h"
#include "formats/hy3file.h"
#include "platform/cp932.h"

#include <QBuffer>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace
{

// Reads as the program does: the count, then at most that many records.
std::vector<hy3::Record> readAll(QBuffer& in, qint16 count, bool& complete)
{
    std::vector<hy3::Record> records;
    complete = true;
    for (int i = 0; i < count; ++i) {
        hy3::Record record;
        const hy3::ReadStatus status = hy3::readRecord(in, record);
        // A buffer never fails to read.
        FUZZ_CHECK(status != hy3::ReadStatus::Failed);
        if (status == hy3::ReadStatus::PastEnd) {
            // Nothing was left: the record is empty in every field.
            FUZZ_CHECK(record == hy3::Record{});
            complete = false;
            break;
        }
        records.push_back(record);
        if (status == hy3::ReadStatus::Truncated) {
            complete = false;
            break;
        }
    }
    return records;
}

bool namesSurviveCp932(const std::vector<hy3::Record>& records)
{
    for (const hy3::Record& record : records)
        if (platform::toCp932(platform::fromCp932(record.name)) != record.name)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    QByteArray bytes(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QBuffer in(&bytes);
    in.open(QIODevice::ReadOnly);
    const formats::FileResult<qint16> counted = hy3::readCount(in);
    FUZZ_CHECK(counted.ok());
    const qint16 count = *counted;
    bool complete = false;
    const std::vector<hy3::Record> records = readAll(in, count, complete);
    FUZZ_CHECK(records.size() <= static_cast<std::size_t>(qMax<qint16>(count, 0)));

    // A file read in full writes back to the same bytes, up to what follows the last record.
    // (A file of fewer than two bytes has no count to write back.) Such a file is fare data.
    const QString notFareData =
        hy3::notFareDataReason(bytes.left(hy3::FareDataHeadBytes), bytes.size());
    if (complete && count >= 0 && bytes.size() >= 2) {
        const formats::FileResult<QByteArray> written = hy3::encode(records);
        FUZZ_CHECK(written.ok());
        FUZZ_CHECK(*written == bytes.left(written->size()));
        FUZZ_CHECK(notFareData.isEmpty());
    }
    // Only a file the program would refuse anyway is called no fare data.
    if (!notFareData.isEmpty())
        FUZZ_CHECK(count < 0 || count > hy3::MaxRows);

    // Every record reaches the CSV form and comes back unchanged when its name is CP932.
    if (records.size() <= static_cast<std::size_t>(hy3::MaxRows) && namesSurviveCp932(records)) {
        const hy3::CsvResult back = hy3::fromCsv(hy3::toCsv(records));
        FUZZ_CHECK(back.errors.empty());
        FUZZ_CHECK(back.records == records);
    }
    return 0;
}
