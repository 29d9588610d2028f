#pragma once

#include "tickets/plugininfo.h"

#include <QByteArray>
#include <array>
#include <cstdint>

class QComboBox;
class QPaintDevice;
class QWidget;

// The numbered-ticket plug-in calls. Paths and texts are CP932 byte strings; the buffers are
// passed by reference and may be read back after the call (these calls leave them unchanged).

// Fills `info` from the plug-in at `path`; returns 0 (and leaves `info` zeroed) when the file is
// missing, unreadable, not a plug-in or inconsistent, otherwise 1.
int readPluginInfo(QByteArray& path, PluginInfo& info);

// Writes the plug-in's comment into a QPlainTextEdit, QTextEdit or QLineEdit (replacing its
// text). Nothing happens for an invalid plug-in or another kind of widget.
void showPluginComment(QByteArray& path, QWidget* textBox);

// Appends the plug-in's company names to the combo box, in the file's order.
void addPluginCompanies(QByteArray& path, QComboBox* comboBox);

// Draws the plug-in's ticket at the top-left of the device. A company position of -1 (or any
// position without a name) draws no company; an empty or invalid path draws nothing.
void drawPluginTicket(QByteArray& path, QPaintDevice* device, QByteArray& stopName,
                      QByteArray& dateText, QByteArray& timeText, std::int32_t routeNo,
                      std::int16_t ticketNo, std::int16_t stopRow, std::int16_t companyPos);
