#pragma once

#include "formats/plugininfo.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

class QComboBox;
class QPaintDevice;
class QWidget;

namespace tickets
{
class TicketPluginCache;
}

// The numbered-ticket plug-in calls. The plug-in is named by its real path, so that a folder
// name without a CP932 form (".../Müller/") still reaches the file. The ticket's texts are
// CP932 byte strings; their buffers are passed by reference and may be read back after the
// call (these calls leave them unchanged). Each call takes the plug-in from `plugins`, which
// reads the file only when it is new or has changed since.

// Fills `info` from the plug-in at `path`; returns 0 (and leaves `info` zeroed) when the file is
// missing, unreadable, not a plug-in or inconsistent, otherwise 1.
int readPluginInfo(tickets::TicketPluginCache& plugins, const QString& path, PluginInfo& info);

// Writes the plug-in's comment into a QPlainTextEdit, QTextEdit or QLineEdit (replacing its
// text). Nothing happens for an invalid plug-in or another kind of widget.
void showPluginComment(tickets::TicketPluginCache& plugins, const QString& path, QWidget* textBox);

// The plug-in's company names, in the file's order; empty for an invalid plug-in.
QStringList pluginCompanies(tickets::TicketPluginCache& plugins, const QString& path);

// Appends the plug-in's company names to the combo box, in the file's order.
void addPluginCompanies(tickets::TicketPluginCache& plugins, const QString& path,
                        QComboBox* comboBox);

// Draws the plug-in's ticket at the top-left of the device from the CP932 texts (each up to
// its first NUL). A company position of -1 (or any position without a name) draws no
// company. Returns whether the device was drawn on: an empty or invalid path, no device or
// a device painted elsewhere leave it as it was.
bool drawPluginTicket(tickets::TicketPluginCache& plugins, const QString& path,
                      QPaintDevice* device, const QByteArray& stopName, const QByteArray& dateText,
                      const QByteArray& timeText, std::int32_t routeNo, std::int16_t ticketNo,
                      std::int16_t stopRow, std::int16_t companyPos);
