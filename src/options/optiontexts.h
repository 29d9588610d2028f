#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QStringList>

struct PluginInfo;

// Texts of the options dialog that need no window.

// A number as the old Str() writes it: a blank before non-negative numbers.
QString strNumber(int n);

// The twelve numbering modes of the ticket-number labels, as Combo2 lists them.
QStringList ticketNumberModeItems();
// Stop-name font options (Combo3), "次は" font options (Combo5), "次は" modes (Combo6).
QStringList stopNameFontItems();
QStringList nextStopFontItems();
QStringList nextStopModeItems();
// "1" .. "last".
QStringList numberItems(int last);

// The property list of a ticket plug-in, one line per entry.
QStringList plgPropertyLines(const PluginInfo& info);

// The fixed ticket date "yyyy/mm/dd": the year in plain decimal, month and day two-digit.
QString fixedDateText(int year, int month, int day);
QString fixedDateText(const QDate& date);

// Picker filters (NUL-separated CP932 description/pattern pairs).
QByteArray soundFilter();
QByteArray panelPictureFilter();
QByteArray pluginFilter();
