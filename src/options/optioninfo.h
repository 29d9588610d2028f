#pragma once

#include "platform/bgrcolor.h"

#include <QString>
#include <QtGlobal>

// The options in transfer form, filled from the options dialog before the settings file is
// written and put back into it after the file is read. Field order is the file's order.
// Check boxes: 0 off, 1 on, 2 greyed. Option buttons: -1 selected, 0 not. List positions
// count from 0, -1 = none. Colours are 0x00BBGGRR.

struct OptionFolders {
    QString FareDataFolder;
    QString BroadcastDataFolder;

    friend bool operator==(const OptionFolders&, const OptionFolders&) = default;
};

struct OptionPanel {
    qint16 AutoTicketNumbers = 0;
    platform::BgrColor TicketColorOff = 0;
    platform::BgrColor TicketColorOn1 = 0;
    platform::BgrColor TicketColorOn2 = 0;
    qint16 TicketNumberMode = 0;
    qint16 TicketZeroPad = 0;
    qint16 PanelAuto = 0;
    qint16 PanelIndividual = 0;
    qint16 PanelOffBuiltin = 0;
    qint16 PanelOffUser = 0;
    qint16 PanelOn1Builtin = 0;
    qint16 PanelOn1User = 0;
    qint16 PanelOn2Builtin = 0;
    qint16 PanelOn2User = 0;
    QString PanelOffPicture;
    QString PanelOn1Picture;
    QString PanelOn2Picture;

    friend bool operator==(const OptionPanel&, const OptionPanel&) = default;
};

struct OptionDigits {
    platform::BgrColor DigitBackColor = 0;
    platform::BgrColor DigitUnlitColor = 0;
    platform::BgrColor DigitLitColor = 0;
    qint16 InfoStopOrderOn = 0;
    qint16 InfoStopOrderCell = 0;
    qint16 InfoStopOrderFromZero = 0;
    qint16 InfoTicketOn = 0;
    qint16 InfoTicketCell = 0;
    qint16 InfoRouteOn = 0;
    qint16 InfoRouteCell = 0;
    qint16 InfoColumnOn = 0;
    qint16 InfoColumn = 0; // the data column comes before its element
    qint16 InfoColumnCell = 0;

    friend bool operator==(const OptionDigits&, const OptionDigits&) = default;
};

struct OptionStopName {
    platform::BgrColor StopNameBackColor = 0;
    platform::BgrColor StopNameForeColor = 0;
    qint16 StopNameFontMode = 0;
    qint16 StopNameBold = 0;
    qint16 NextStopMode = 0;
    platform::BgrColor NextStopColor = 0;
    qint16 NextStopFontMode = 0;
    qint16 NextStopBold = 0;

    friend bool operator==(const OptionStopName&, const OptionStopName&) = default;
};

struct OptionSounds {
    QString RouteSetSound;
    QString ResetSound;
    qint16 StepSoundAlways = 0;
    qint16 StepSoundByColumn = 0;
    qint16 StepSoundWait = 0;
    qint16 StepSoundNoWait = 0;
    QString StepSoundFile;
    qint16 StepSoundColumn = 0;
    QString StepSound1;
    QString StepSound2;
    QString StepSound3;
    qint16 PreBroadcastAlways = 0;
    qint16 PreBroadcastByFlag = 0;
    qint16 PreBroadcastWait = 0;
    qint16 PreBroadcastNoWait = 0;
    QString PreBroadcastFile;
    QString PreBroadcastSound1;
    QString PreBroadcastSound2;
    QString PreBroadcastSound3;

    friend bool operator==(const OptionSounds&, const OptionSounds&) = default;
};

struct OptionTicket {
    qint16 UseTicketPreview = 0;
    QString TicketPluginPath;
    qint16 DateEachPrint = 0;
    qint16 DateAtRouteSet = 0;
    qint16 DateFixed = 0;
    QString FixedDate; // "yyyy/mm/dd"

    friend bool operator==(const OptionTicket&, const OptionTicket&) = default;
};

struct OptionInfo {
    OptionFolders Folders;
    OptionPanel Panel;
    OptionDigits Digits;
    OptionStopName StopName;
    OptionSounds Sounds;
    OptionTicket Ticket;

    friend bool operator==(const OptionInfo&, const OptionInfo&) = default;
};
