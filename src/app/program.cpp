#include "program.h"

#include "app/controlpanelwiring.h"
#include "app/exitdeadline.h"
#include "app/startup.h"
#include "app/terminationsignals.h"
#include "audio/startgate.h"
#include "dialogs/routeimportdialog.h"
#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "tickets/ticketlabels.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPointer>
#include <QScreen>
#include <QSessionManager>
#include <QTimer>

Program::Program(const QString& settingsPath, platform::WaitClock& clock,
                 platform::MessageBoxes& boxes)
    : boxes_(boxes), media_(audioOutput_, midiRenderer_, clock), display_(clock),
      wiring_(std::make_unique<ControlPanelWiring>(display_, optionValues_, sounds_, boxes,
                                                   &startGate_)),
      settings_(
          {&display_, &optionValues_, &customColors_, &wiring_->pluginChoice(), &wiring_->panel()},
          settingsPath, boxes)
{
    controlPanel().setOptionsDialogSource([this] { return &optionsDialog(); });
    display_.setControlPanel(&controlPanel());
    display_.setOptions(optionValues_);
    controlPanel().setSettingsPath(settingsPath);
    controlPanel().installEventFilter(this);
    connect(&controlPanel(), &ControlPanel::shutdownRequested, this, &Program::onShutdownRequested);
    connect(&controlPanel(), &ControlPanel::routeSet, this, &Program::saveAlongTheWay);
}

Program::~Program()
{
    // The windows close and hide while the members go; the filter must not see that.
    display_.removeEventFilter(this);
    controlPanel().removeEventFilter(this);
}

// Built on first use: most runs never open it, and its six pages are the largest part of
// the windows a start would otherwise build.
OptionsDialog& Program::optionsDialog()
{
    if (!optionsDialog_) {
        optionsDialog_ = std::make_unique<OptionsDialog>(optionValues_, wiring_->pluginChoice(),
                                                         customColors_, boxes_);
        optionsDialog_->setFareDisplay(&display_);
        wiring_->connectOptionsDialog(*optionsDialog_);
        connect(optionsDialog_.get(), &QDialog::finished, this, &Program::saveAlongTheWay);
        connect(optionsDialog_.get(), &OptionsDialog::routeImportRequested, this,
                &Program::openRouteImport);
    }
    return *optionsDialog_;
}

void Program::openRouteImport()
{
    if (!routeImport_) {
        auto folders = [this] {
            const DataFolders current = wiring_->dataFolders().current();
            return ImportFolders{current.fare, current.broadcast};
        };
        routeImport_ = new RouteImportDialog(folders, boxes_, pickers_, &optionsDialog());
        // The route is set as the operator sets it, with section 1, once the dialog is shut.
        connect(routeImport_, &RouteImportDialog::routeSetRequested, this,
                [this](const QString& route) {
                    controlPanel().setRouteFromText(route, QStringLiteral("1"));
                });
    }
    routeImport_->open();
}

ControlPanel& Program::controlPanel()
{
    return wiring_->panel();
}

core::RouteSession& Program::routeSession()
{
    return wiring_->routeSession();
}

sound::BroadcastTape& Program::tape()
{
    return wiring_->tape();
}

void Program::useDataFolderForThisRun(const QString& folder)
{
    settings_.setDataFoldersForThisRun(folder);
}

void Program::start()
{
    state_ = State::Starting;
    holdSlowWorkUntilPainted();
    blankFareElements(display_);
    applyInitialDefaults();
    controlPanel().show(); // its load: caption, keypad shapes, speech engine
    controlPanel().raise();
    placeWindowsAtDefaults();
    display_.shapeWindow();
    display_.update();
    settings_.load();
    if (endAsked_) {
        endWithoutQuestion();
        return;
    }
    display_.show();
    controlPanel().raise();
    state_ = State::Running;
}

namespace
{

// True when one of the sounds the options name is a MIDI file.
bool namesMidiSound(const core::Options& options)
{
    QStringList sounds = {options.routeSetSound(), options.resetSound(), options.stepSoundFile(),
                          options.preBroadcastFile()};
    for (int k = 1; k <= 3; ++k)
        sounds << options.stepSound(k) << options.preBroadcastSound(k);
    for (const QString& file : sounds)
        if (sound::deviceTypeOf(file) == audio::DeviceType::Sequencer)
            return true;
    return false;
}

} // namespace

// The sound font and the speech engine (the control panel's load asks for it) are created
// after both windows have painted, on workers, so the windows show at once. The audio device
// waits for the first sound (MediaPlayer).
void Program::holdSlowWorkUntilPainted()
{
    startGate_.hold();
    QPointer<Program> self(this);
    startGate_.afterStartUp([self] {
        if (!self)
            return;
        // The sound font takes some 20 MB: it is loaded ahead only when the settings name a
        // MIDI sound, otherwise with the first MIDI file opened.
        if (namesMidiSound(self->optionValues_))
            self->midiRenderer_.start();
    });
    displayPainted_ = false;
    panelPainted_ = false;
    display_.installEventFilter(this); // the control panel's filter is installed for good
    // A window that never paints (minimised, covered) must not keep the sound off.
    QTimer::singleShot(2000, this, &Program::releaseSlowWork);
}

void Program::releaseSlowWork()
{
    display_.removeEventFilter(this);
    if (startGate_.isHeld())
        startGate_.release();
}

void Program::applyInitialDefaults()
{
    optionValues_.applyStartupDefaults(); // ticket numbers on, the three label colours
    numberTicketLabels(display_, 0, 0, boxes_);
    showBuiltInPanel(display_);
}

void Program::placeWindowsAtDefaults()
{
    display_.move(0, 0);
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->availableGeometry();
    const QSize panel = controlPanel().frameGeometry().size();
    controlPanel().move(area.x() + area.width() - panel.width(),
                        area.y() + area.height() - panel.height());
}

void Program::endWithoutQuestion()
{
    if (state_ == State::Ended)
        return;
    if (state_ == State::Ending) {
        // The exit's save is under way and a message of it may hold the exit up: that
        // message's loop ends now, and the exit goes on without its answer.
        emit finished();
        return;
    }
    if (state_ == State::Starting && !endAsked_) {
        // A start-up message may be open: its loop ends now, and start() ends the program
        // once the settings are applied.
        endAsked_ = true;
        emit finished();
        return;
    }
    quietEnd_ = true;
    state_ = State::Ending;
    controlPanel().shutDown(); // the save first (onShutdownRequested), then the clean-up
}

// The exit, confirmed or not, before the control panel releases anything: the settings are
// written first, so that nothing the clean-up meets can cost the user a setting.
void Program::onShutdownRequested()
{
    state_ = State::Ending;
    settings_.save(quietEnd_ ? SettingsFile::Report::StandardError
                             : SettingsFile::Report::MessageBox);
    state_ = State::Ended;
    leaveTheRestToTheProcessEnd(0);
    emit finished();
}

void Program::leaveTheRestToTheProcessEnd(int status)
{
    if (exitDeadline_.count() <= 0 || exitBounded_)
        return;
    exitBounded_ = true;
    audioOutput_.abandon();
    endProcessWithin(exitDeadline_, status);
}

void Program::saveAlongTheWay()
{
    if (state_ != State::Running)
        return;
    // A failure is told once, not at every route setting, until a save works again.
    const bool saved = settings_.save(lastSaveFailed_ ? SettingsFile::Report::Silent
                                                      : SettingsFile::Report::MessageBox);
    lastSaveFailed_ = !saved;
}

void Program::handleSessionEnd()
{
    if (terminationSignals_ != nullptr)
        return;
    terminationSignals_ = new TerminationSignals(this);
    connect(terminationSignals_, &TerminationSignals::received, this, &Program::endWithoutQuestion);
    // The session asks before it ends us; a failure can only go to standard error then.
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        connect(app, &QGuiApplication::commitDataRequest, this, &Program::saveForTheSession);
    // Nobody is there to read a message box once the display is gone; Qt ends the process
    // with status 1 right after.
    // Nothing is destroyed on that way out: the voice goes now, and the programs it runs with it.
    displayLossWatch_ = std::make_unique<DisplayLossWatch>([this] {
        saveForTheSession();
        leaveTheRestToTheProcessEnd(1);
        tape().releaseSpeech();
    });
}

void Program::saveForTheSession()
{
    // Before the settings are applied the windows hold defaults, not the user's state: the
    // file on disk is still the user's own then. Once the exit has saved, it is done.
    if (state_ == State::Running || state_ == State::Ending)
        settings_.save(SettingsFile::Report::StandardError);
}

bool Program::eventFilter(QObject* watched, QEvent* event)
{
    // Once the program ends, Qt's quit closes every window: no exit question then.
    if (watched == &controlPanel() && event->type() == QEvent::Close &&
        (state_ == State::Ending || state_ == State::Ended))
        return true;
    if (event->type() == QEvent::Paint && startGate_.isHeld() &&
        !(displayPainted_ && panelPainted_)) {
        (watched == &display_ ? displayPainted_ : panelPainted_) = true;
        // Once both have painted, after the paint has reached the screen.
        if (displayPainted_ && panelPainted_)
            QTimer::singleShot(0, this, &Program::releaseSlowWork);
    }
    return QObject::eventFilter(watched, event);
}
