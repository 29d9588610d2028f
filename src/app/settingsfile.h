#pragma once

#include "app/settingscodec.h"

#include <QString>

class Form1;
class frmCtl;
class frmOption;

// The settings file beside the executable: its folder + its base name + ".in4".
QString settingsFilePath();

// The process-wide set of records, filled from the windows before saving and pushed into
// them after loading.
SettingsRecords& settingsRecords();

// The three windows whose state the settings file carries.
struct SettingsWindows {
    Form1* display = nullptr;
    frmOption* options = nullptr;
    frmCtl* controlPanel = nullptr;
};

// Collects every setting from the windows and writes the file. The new contents go to a
// temporary file that replaces the old one only once complete, so a failed save keeps the
// previous settings whole. A failure shows "エラー Code:" … "内容:" … and returns false.
bool SaveSettings(const SettingsWindows& windows, const QString& path = settingsFilePath());

// Reads the file and applies it to the windows. No file: returns silently, nothing applied.
// A read error shows the message and applies nothing. A short file applies what it holds.
bool LoadSettings(const SettingsWindows& windows, const QString& path = settingsFilePath());
