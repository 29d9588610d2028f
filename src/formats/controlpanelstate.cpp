#include "controlpanelstate.h"

#include <QtEndian>

namespace
{

template <typename T> void put(QByteArray& out, T value)
{
    char bytes[sizeof(T)];
    qToLittleEndian(value, bytes);
    out.append(bytes, sizeof(T));
}

template <typename T> T take(const char*& in)
{
    const T value = qFromLittleEndian<T>(in);
    in += sizeof(T);
    return value;
}

} // namespace

QByteArray ControlPanelState::toBytes() const
{
    QByteArray out;
    out.reserve(Size);
    put(out, PanelMode);
    put(out, ScrollSpeed);
    put(out, ScrollInterval);
    put(out, NightFare);
    put(out, PreviewShown);
    put(out, Left);
    put(out, Top);
    return out;
}

std::optional<ControlPanelState> ControlPanelState::fromBytes(const QByteArray& bytes)
{
    if (bytes.size() < Size)
        return std::nullopt;
    const char* in = bytes.constData();
    ControlPanelState info;
    info.PanelMode = take<qint16>(in);
    info.ScrollSpeed = take<qint32>(in);
    info.ScrollInterval = take<qint32>(in);
    info.NightFare = take<qint16>(in);
    info.PreviewShown = take<qint16>(in);
    info.Left = take<qint32>(in);
    info.Top = take<qint32>(in);
    return info;
}
