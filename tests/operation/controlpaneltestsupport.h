#pragma once

#include "core/routesession.h"
#include "elements/digitelement.h"
#include "operation/operationoptions.h"
#include "support/standindisplay.h"

#include <QString>
#include <array>
#include <map>
#include <vector>

namespace paneltest
{

// Options with plain fields, set directly by the tests.
struct TestOptions : OperationOptions {
    QString fareFolder, broadcastFolder, routeSetFile, resetFile, stepFile;
    bool byColumn = false;
    int soundColumn = 0;
    std::array<QString, 3> stepSounds;
    bool waitStep = false;
    bool stopOrderOn = false, stopOrderFromZero = false, ticketOn = false, routeOn = false,
         columnOn = false;
    int stopOrderCell = 0, ticketCell = 0, routeCell = 0, column = 0, columnCell = 0;
    TicketDateMode dateMode = TicketDateMode::EachPrint;
    QString fixed = QStringLiteral("2009/01/24");
    bool preview = false;
    QString plugin;
    int nextStop = 0;
    std::array<platform::BgrColor, 3> colors{0xFFFFFF, 0xC0FFC0, 0x80FF80};
    bool individual = false;
    std::array<bool, 3> user{};
    std::array<QString, 3> pictures;

    QString fareDataFolder() const override { return fareFolder; }
    QString broadcastDataFolder() const override { return broadcastFolder; }
    QString routeSetSound() const override { return routeSetFile; }
    QString resetSound() const override { return resetFile; }
    bool stepSoundByColumn() const override { return byColumn; }
    QString stepSoundFile() const override { return stepFile; }
    int stepSoundColumn() const override { return soundColumn; }
    QString stepSound(int k) const override { return stepSounds.at(size_t(k - 1)); }
    bool stepSoundWait() const override { return waitStep; }
    bool infoStopOrderOn() const override { return stopOrderOn; }
    int infoStopOrderCell() const override { return stopOrderCell; }
    bool infoStopOrderFromZero() const override { return stopOrderFromZero; }
    bool infoTicketOn() const override { return ticketOn; }
    int infoTicketCell() const override { return ticketCell; }
    bool infoRouteOn() const override { return routeOn; }
    int infoRouteCell() const override { return routeCell; }
    bool infoColumnOn() const override { return columnOn; }
    int infoColumn() const override { return column; }
    int infoColumnCell() const override { return columnCell; }
    TicketDateMode ticketDateMode() const override { return dateMode; }
    QString fixedDate() const override { return fixed; }
    bool useTicketPreview() const override { return preview; }
    QString ticketPluginPath() const override { return plugin; }
    int nextStopMode() const override { return nextStop; }
    platform::BgrColor ticketColor(int state) const override { return colors.at(size_t(state)); }
    bool panelIndividual() const override { return individual; }
    bool panelUser(int state) const override { return user.at(size_t(state)); }
    QString panelPicture(int state) const override { return pictures.at(size_t(state)); }
};

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
