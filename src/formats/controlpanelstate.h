#pragma once

#include <QByteArray>
#include <QtGlobal>
#include <optional>

// The control panel's record in the settings file: 22 bytes, little-endian, no padding, in
// the order of the fields below.
struct ControlPanelState {
    static constexpr int Size = 22;

    qint16 PanelMode = 0;      // the route-entry panel sent to the back last: 0 lists, 1 keypad
    qint32 ScrollSpeed = 1;    // the scroll speed bar
    qint32 ScrollInterval = 0; // the scroll interval bar
    qint16 NightFare = 0;      // night fare: 0 off, 1 on
    qint16 PreviewShown = 0;   // ticket preview area: 0 hidden, 1 shown
    qint32 Left = 0;           // window left edge, twips
    qint32 Top = 0;            // window top edge, twips

    QByteArray toBytes() const;
    // Nothing when fewer than Size bytes are given; bytes after the record are ignored.
    static std::optional<ControlPanelState> fromBytes(const QByteArray& bytes);

    friend bool operator==(const ControlPanelState&, const ControlPanelState&) = default;
};
