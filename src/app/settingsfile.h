#pragma once

#include "app/settingscodec.h"

#include <QString>

class FareDisplayWindow;
class ControlPanel;
class OptionsDialog;

// The settings file beside the executable: its folder + its base name + ".in4".
QString settingsFilePath();

// The process-wide set of records, filled from the windows before saving and pushed into
// them after loading.
SettingsRecords& settingsRecords();

// The three windows whose state the settings file carries.
struct SettingsWindows {
    FareDisplayWindow* display = nullptr;
    OptionsDialog* options = nullptr;
    ControlPanel* controlPanel = nullptr;
};

// Collects every setting from the windows and writes the file. The new contents go to a
// temporary file that replaces the old one only once complete, so a failed save keeps the
// previous settings whole. A failure shows "エラー Code:" … "内容:" … and returns false.
bool writeSettingsFile(const SettingsWindows& windows, const QString& path = settingsFilePath());

// Reads the file and applies it to the windows. No file: returns silently, nothing applied.
// A read error shows the message and applies nothing. A short file applies what it holds.
bool readSettingsFile(const SettingsWindows& windows, const QString& path = settingsFilePath());
