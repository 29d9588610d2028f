#include "settingscodec.h"

#include "formats/optiontable.h"
#include "platform/cp932.h"

#include <QtEndian>

namespace
{

class Writer
{
public:
    void i16(qint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        out_.append(b, 2);
    }
    void i32(qint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        out_.append(b, 4);
    }
    void text(const QString& s)
    {
        QByteArray bytes = platform::toCp932(s).left(MaxSettingsTextBytes);
        char b[2];
        qToLittleEndian(static_cast<quint16>(bytes.size()), b);
        out_.append(b, 2);
        out_.append(bytes);
    }
    void field(qint16 v) { i16(v); }
    void field(qint32 v) { i32(v); }
    void field(const QString& s) { text(s); }
    void raw(const QByteArray& bytes) { out_.append(bytes); }
    QByteArray result() const { return out_; }

private:
    QByteArray out_;
};

// Reads fields while bytes remain; a field the file does not reach keeps its value.
class Reader
{
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    bool complete() const { return complete_; }
    qsizetype remaining() const { return bytes_.size() - pos_; }

    void i16(qint16& v)
    {
        if (!has(2))
            return;
        v = qFromLittleEndian<qint16>(bytes_.constData() + pos_);
        pos_ += 2;
    }
    void i32(qint32& v)
    {
        if (!has(4))
            return;
        v = qFromLittleEndian<qint32>(bytes_.constData() + pos_);
        pos_ += 4;
    }
    void text(QString& s)
    {
        if (!has(2))
            return;
        const int count = qFromLittleEndian<quint16>(bytes_.constData() + pos_);
        pos_ += 2;
        const int available = static_cast<int>(bytes_.size()) - pos_;
        if (count > available)
            complete_ = false;
        const int taken = std::min(count, available);
        s = platform::fromCp932(bytes_.mid(pos_, taken));
        pos_ += taken;
    }

    void field(qint16& v) { i16(v); }
    void field(qint32& v) { i32(v); }
    void field(QString& s) { text(s); }

private:
    bool has(int n)
    {
        if (pos_ + n <= bytes_.size())
            return true;
        pos_ = static_cast<int>(bytes_.size());
        complete_ = false;
        return false;
    }

    const QByteArray& bytes_;
    int pos_ = 0;
    bool complete_ = true;
};

// One field list serves both directions, so reading and writing cannot drift apart.
template <typename Io, typename Records> void fields(Io& io, Records& r)
{
    // The options, in the file's order as the options table declares them.
    for (const formats::OptionDeclaration& row : formats::optionTable()) {
        if (row.store != formats::OptionStore::SettingsFile)
            break;
        std::visit([&io](auto& value) { io.field(value); }, r.options.field(row.id));
    }

    auto& c = r.controlPanel;
    io.i16(c.PanelMode);
    io.i32(c.ScrollSpeed);
    io.i32(c.ScrollInterval);
    io.i16(c.NightFare);
    io.i16(c.PreviewShown);
    io.i32(c.Left);
    io.i32(c.Top);

    io.i32(r.displayPosition.left);
    io.i32(r.displayPosition.top);

    for (auto& colour : r.customColors)
        io.i32(colour);
    io.i16(r.elementCount);
    for (auto& rules : r.digitRules) {
        io.i16(rules.shift);
        io.i16(rules.zeroMode);
        io.i16(rules.fillZero);
    }
}

} // namespace

QByteArray encodeSettings(const SettingsRecords& records)
{
    Writer writer;
    SettingsRecords copy = records;
    copy.elementCount = SettingsElementCount;
    fields(writer, copy);
    return writer.result();
}

SettingsDecoding decodeSettingsRecord(const QByteArray& bytes, SettingsRecords& records)
{
    Reader reader(bytes);
    const qint16 count = records.elementCount;
    fields(reader, records);
    records.elementCount = count; // read and not used
    return {reader.complete(), reader.remaining()};
}

bool decodeSettings(const QByteArray& bytes, SettingsRecords& records)
{
    return decodeSettingsRecord(bytes, records).complete;
}
