#pragma once

#include "core/options.h"
#include "core/routesession.h"
#include "elements/digitelement.h"
#include "support/standindisplay.h"

#include <QString>
#include <array>
#include <map>
#include <vector>

namespace paneltest
{

// The model's defaults with what the panel tests assert on told apart: the three ticket
// colours differ, the "次は" mode is the list's first and the fixed date is the tests' own.
inline void setTestDefaults(core::Options& options)
{
    options.setTicketColorOff(0xFFFFFF);
    options.setTicketColorOn1(0xC0FFC0);
    options.setTicketColorOn2(0x80FF80);
    options.setNextStopMode(0);
    options.setFixedDate(QStringLiteral("2009/01/24"));
}

// Selects one button of the ticket date group.
inline void selectDateMode(core::Options& options, core::TicketDateMode mode)
{
    options.setDateEachPrint(mode == core::TicketDateMode::EachPrint);
    options.setDateAtRouteSet(mode == core::TicketDateMode::AtRouteSet);
    options.setDateFixed(mode == core::TicketDateMode::Fixed);
}

// Every step plays the one step sound, or the data column chooses among the three.
inline void selectStepSoundByColumn(core::Options& options, bool byColumn)
{
    options.setStepSoundAlways(!byColumn);
    options.setStepSoundByColumn(byColumn);
}

inline void selectStepSoundWait(core::Options& options, bool wait)
{
    options.setStepSoundWait(wait);
    options.setStepSoundNoWait(!wait);
}

// Panel pictures by backlight state, and whether each state shows the user's picture.
inline void selectUserPanels(core::Options& options, std::array<bool, 3> user)
{
    options.setPanelAuto(false);
    options.setPanelIndividual(true);
    options.setPanelOffUser(user[0]);
    options.setPanelOffBuiltin(!user[0]);
    options.setPanelOn1User(user[1]);
    options.setPanelOn1Builtin(!user[1]);
    options.setPanelOn2User(user[2]);
    options.setPanelOn2Builtin(!user[2]);
}

inline void setStepSounds(core::Options& options, std::array<QString, 3> files)
{
    options.setStepSound1(files[0]);
    options.setStepSound2(files[1]);
    options.setStepSound3(files[2]);
}

// A stop of a route to be written to a fare file.
struct Stop {
    QString name;
    qint16 ticketNo = 0;
    std::map<int, qint16> columns; // column number -> value
};

// Writes "<folder>/<route>.hy3".
void writeRoute(const QString& folder, const QString& routeNo, const std::vector<Stop>& stops);
// Stops named 停留所1.. with ticket number k and column i = 100 * k + i.
std::vector<Stop> numberedStops(int count);

} // namespace paneltest
