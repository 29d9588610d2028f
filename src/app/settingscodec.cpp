#include "settingscodec.h"

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
    auto& f = r.options.Folders;
    io.text(f.FareDataFolder);
    io.text(f.BroadcastDataFolder);

    auto& p = r.options.Panel;
    io.i16(p.AutoTicketNumbers);
    io.i32(p.TicketColorOff);
    io.i32(p.TicketColorOn1);
    io.i32(p.TicketColorOn2);
    for (qint16* v : {&p.TicketNumberMode, &p.TicketZeroPad, &p.PanelAuto, &p.PanelIndividual,
                      &p.PanelOffBuiltin, &p.PanelOffUser, &p.PanelOn1Builtin, &p.PanelOn1User,
                      &p.PanelOn2Builtin, &p.PanelOn2User})
        io.i16(*v);
    io.text(p.PanelOffPicture);
    io.text(p.PanelOn1Picture);
    io.text(p.PanelOn2Picture);

    auto& d = r.options.Digits;
    io.i32(d.DigitBackColor);
    io.i32(d.DigitUnlitColor);
    io.i32(d.DigitLitColor);
    for (qint16* v : {&d.InfoStopOrderOn, &d.InfoStopOrderCell, &d.InfoStopOrderFromZero,
                      &d.InfoTicketOn, &d.InfoTicketCell, &d.InfoRouteOn, &d.InfoRouteCell,
                      &d.InfoColumnOn, &d.InfoColumn, &d.InfoColumnCell})
        io.i16(*v);

    auto& s = r.options.StopName;
    io.i32(s.StopNameBackColor);
    io.i32(s.StopNameForeColor);
    io.i16(s.StopNameFontMode);
    io.i16(s.StopNameBold);
    io.i16(s.NextStopMode);
    io.i32(s.NextStopColor);
    io.i16(s.NextStopFontMode);
    io.i16(s.NextStopBold);

    auto& o = r.options.Sounds;
    io.text(o.RouteSetSound);
    io.text(o.ResetSound);
    io.i16(o.StepSoundAlways);
    io.i16(o.StepSoundByColumn);
    io.i16(o.StepSoundWait);
    io.i16(o.StepSoundNoWait);
    io.text(o.StepSoundFile);
    io.i16(o.StepSoundColumn);
    io.text(o.StepSound1);
    io.text(o.StepSound2);
    io.text(o.StepSound3);
    io.i16(o.PreBroadcastAlways);
    io.i16(o.PreBroadcastByFlag);
    io.i16(o.PreBroadcastWait);
    io.i16(o.PreBroadcastNoWait);
    io.text(o.PreBroadcastFile);
    io.text(o.PreBroadcastSound1);
    io.text(o.PreBroadcastSound2);
    io.text(o.PreBroadcastSound3);

    auto& t = r.options.Ticket;
    io.i16(t.UseTicketPreview);
    io.text(t.TicketPluginPath);
    io.i16(t.DateEachPrint);
    io.i16(t.DateAtRouteSet);
    io.i16(t.DateFixed);
    io.text(t.FixedDate);

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
