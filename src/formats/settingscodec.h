#pragma once

#include "formats/controlpanelstate.h"
#include "formats/optiontable.h"
#include "formats/windowposition.h"
#include "platform/bgrcolor.h"

#include <QByteArray>
#include <array>

// One fare element's digit rules as the settings file keeps them.
struct DigitRules {
    qint16 shift = 0;
    qint16 zeroMode = 0;
    qint16 fillZero = 0;

    friend bool operator==(const DigitRules&, const DigitRules&) = default;
};

inline constexpr int SettingsElementCount = 12;

// Everything the settings file carries, in the file's order.
struct SettingsRecords {
    formats::OptionFileValues options;
    ControlPanelState controlPanel;
    WindowPosition displayPosition;
    std::array<platform::BgrColor, 17> customColors{};
    qint16 elementCount = SettingsElementCount; // written as 12, never used when read
    std::array<DigitRules, SettingsElementCount> digitRules{};

    friend bool operator==(const SettingsRecords&, const SettingsRecords&) = default;
};

// The file's bytes: little-endian, packed, texts as a 16-bit byte count and CP932 bytes.
// All-empty texts give 320 bytes; the last 172 bytes are always the control panel, window,
// custom colour, count and digit records.
QByteArray encodeSettings(const SettingsRecords& records);

// How a file's bytes met the record.
struct SettingsDecoding {
    bool complete = true;      // every field was present
    qsizetype bytesBeyond = 0; // bytes after the last field (a newer version's, or noise)

    bool whole() const { return complete && bytesBeyond == 0; }
};

// Reads the fields in order into `records`. A file shorter than the full sequence leaves the
// fields it does not reach as they were; a text whose count runs past the end is cut there.
// Exactly 12 digit records are read whatever the count field says; bytes after them are
// counted and left alone.
SettingsDecoding decodeSettingsRecord(const QByteArray& bytes, SettingsRecords& records);

// The same; returns true when every field was present.
bool decodeSettings(const QByteArray& bytes, SettingsRecords& records);

// Texts longer than 65535 CP932 bytes cannot be counted in 16 bits: they are cut to that
// length on writing (a file path never comes near it).
inline constexpr int MaxSettingsTextBytes = 0xFFFF;
