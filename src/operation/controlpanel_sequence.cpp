// Route setting, stepping, display clear and the display of one stop.
#include "controlpanel.h"

#include "core/options.h"
#include "elements/faredisplay.h"
#include "operation/stopsequencer.h"
#include "platform/cp932.h"
#include "platform/msgbox.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "tickets/ticketplugin.h"
#include "tickets/ticketpreview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

namespace
{

constexpr int LampTestMs = 3000;
constexpr sound::Channel ChannelOperating = sound::Channel::S1;
constexpr sound::Channel ChannelStep = sound::Channel::S2;

QString selectedDigits(const QListWidget* const* lists, int count)
{
    QString digits;
    for (int i = 0; i < count; ++i) {
        const QList<QListWidgetItem*> selected = lists[i]->selectedItems();
        if (!selected.isEmpty())
            digits += selected.first()->text();
    }
    return digits;
}

} // namespace

void ControlPanel::setRouteFromText(const QString& route, const QString& section)
{
    routeDisplay_->setText(route);
    sectionDisplay_->setText(section);
    setRoute(EntryPanel::Keypad);
}

void ControlPanel::setRoute(EntryPanel panel)
{
    const DataFolders folders = dataFolders_.current();
    const QString fareFolder = stops::withTrailingSeparator(folders.fare);
    const QString broadcastFolder = stops::withTrailingSeparator(folders.broadcast);
    playSound(options_->routeSetSound(), ChannelOperating, sound::SoundPlayer::Wait::No);

    if (panel == EntryPanel::Keypad)
        route_->enterRoute(routeDisplay_->text(), sectionDisplay_->text());
    else
        route_->enterRoute(
            selectedDigits(routeDigitLists_.data(), int(routeDigitLists_.size())),
            selectedDigits(sectionDigitLists_.data(), int(sectionDigitLists_.size())));

    if (tape_) {
        tape_->loadTape(broadcastFolder, route_->routeNo());
        showTapeEntry();
    }
    if (const auto refusal = route_->loadFareData(fareFolder)) {
        boxes_.show(core::routeLoadMessage(*refusal), platform::MessageBox::OKOnly, QString(),
                    nullptr, refusal->details);
        return;
    }
    if (!display_)
        return;

    savedPrefixMode_ = static_cast<std::int16_t>(display_->nextStopPrefix());
    display_->setStopNameWithoutPrefix(QStringLiteral("系統設定"));

    // Lamp test: every segment lit long enough to be seen, then zeros.
    display_->lightAllFareSegments();
    platform::processPendingEvents();
    clock_.sleep(LampTestMs);
    ticketDate_ = stops::routeSetTicketDate(*options_, QDate::currentDate());
    // Display clear switched on meanwhile (a click run in the pause) is the operator's last
    // word: the display stays blank, and switching it off shows the route's stop.
    if (displayClearButton_->isChecked()) {
        emit routeSet();
        return;
    }
    for (int i = 1; i <= stops::FareElementCount; ++i)
        display_->showFare(i, ElementValue(0));

    stepBackButton_->setEnabled(true);
    stepForwardButton_->setEnabled(true);
    displayClearButton_->setEnabled(true);

    display_->setNextStopPrefix(static_cast<NextStopPrefix>(savedPrefixMode_));
    // The row of the route state now: a step run in the pause moved it.
    showStop(route_->currentRow());
    emit routeSet();
}

void ControlPanel::stepStop(core::StepDirection direction)
{
    if (!route_->step(direction))
        return;
    const quint64 request = displayRequests_;
    playSound(stops::stepSound(*options_, route_->row(route_->currentRow())), ChannelStep,
              options_->stepSoundWait() ? sound::SoundPlayer::Wait::UntilEnd
                                        : sound::SoundPlayer::Wait::No);
    // A click run while the sound was waited for has shown its own stop already.
    if (request != displayRequests_)
        return;
    showStop(route_->currentRow());
}

void ControlPanel::setDisplayCleared(bool on)
{
    route_->setDisplayCleared(on);
}

void ControlPanel::showDisplayCleared(bool on)
{
    updateTapeGroup();
    if (on) {
        ++displayRequests_;
        if (display_) {
            display_->setStopName(QString());
            display_->blankFares();
            display_->stopClock();
        }
        for (QWidget* control :
             {static_cast<QWidget*>(routeEntryPanels_[0]),
              static_cast<QWidget*>(routeEntryPanels_[1]), static_cast<QWidget*>(stepBackButton_),
              static_cast<QWidget*>(stepForwardButton_), static_cast<QWidget*>(scrollFrame_)})
            control->setEnabled(false);
        return;
    }
    for (QWidget* control :
         {static_cast<QWidget*>(routeEntryPanels_[0]), static_cast<QWidget*>(routeEntryPanels_[1]),
          static_cast<QWidget*>(stepBackButton_), static_cast<QWidget*>(stepForwardButton_),
          static_cast<QWidget*>(scrollFrame_)})
        control->setEnabled(true);
    if (display_)
        display_->resumeClock();
    showStop(route_->currentRow());
}

void ControlPanel::showStop(int n)
{
    n = core::clampRow(n);
    const quint64 request = ++displayRequests_;

    if (display_) {
        const auto writes =
            stops::stopElementWrites(route_->row(n), n, route_->section(),
                                     nightFareCheck_->isChecked(), *options_, route_->routeText());
        for (const stops::ElementWrite& write : writes)
            display_->showFare(write.element, write.value);
    }

    drawTicketPreview(n);
    platform::processPendingEvents();
    // A click run just now showed its own stop, or cleared the display: the name of this
    // row would stand over its fares.
    if (request != displayRequests_)
        return;
    showStopName(n);
    emit stopShown(n - 1, route_->row(n).stopName);
}

void ControlPanel::drawTicketPreview(int n)
{
    const QString dateText = stops::currentTicketDate(*options_, ticketDate_, QDate::currentDate());
    ticketPreview_->clear();
    if (core::isOn(options_->useTicketPreview())) {
        const core::FareRecord& row = route_->row(n);
        ticketDrawer_(options_->ticketPluginPath(), &ticketPreview_->image(),
                      platform::toCp932(row.stopName), platform::toCp932(dateText),
                      platform::toCp932(stops::ticketTimeText(QTime::currentTime())),
                      stops::routeNumber(route_->routeText()), row.ticketNo,
                      static_cast<std::int16_t>(n),
                      static_cast<std::int16_t>(companyList_->currentIndex()));
    }
    ticketPreview_->update();
}

void ControlPanel::showStopName(int n)
{
    if (!display_)
        return;
    const auto mode = static_cast<std::int16_t>(options_->nextStopMode());
    const QString name = route_->row(n).stopName;
    display_->setNextStopPrefix(static_cast<NextStopPrefix>(mode));
    if (n < 2) {
        // The first stop of a route is never announced with "次は".
        savedPrefixMode_ = mode;
        display_->setStopNameWithoutPrefix(name);
    } else {
        display_->setStopName(name);
    }
}
