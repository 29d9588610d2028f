#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

struct PluginInfo;

// Texts of the options dialog that need no window.

// A number with a blank where a minus sign would stand, as the numbering-mode list shows it.
QString numberWithSignBlank(int n);

// The twelve numbering modes of the ticket-number labels, as their list shows them.
QStringList ticketNumberModeItems();
// The entries of the stop-name font list, the "次は" font list and the "次は" mode list.
QStringList stopNameFontItems();
QStringList nextStopFontItems();
QStringList nextStopModeItems();
// "1" .. "last".
QStringList numberItems(int last);

// The property list of a ticket plug-in, one line per entry.
QStringList pluginPropertyLines(const PluginInfo& info);

// The fixed ticket date "yyyy/mm/dd": the year in plain decimal, month and day two-digit.
QString fixedDateText(int year, int month, int day);
QString fixedDateText(const QDate& date);

// Picker filters (NUL-separated CP932 description/pattern pairs).
QByteArray soundFilter();
QByteArray panelPictureFilter();
QByteArray pluginFilter();
