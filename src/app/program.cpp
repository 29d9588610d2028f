#include "program.h"

#include "app/startup.h"
#include "app/terminationsignals.h"
#include "operation/controlpanel.h"
#include "operation/controlpanelwiring.h"
#include "options/optionsdialog.h"
#include "tickets/ticketlabels.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QSessionManager>

Program::Program(const QString& settingsPath)
    : options_(std::make_unique<OptionsDialog>()),
      wiring_(std::make_unique<ControlPanelWiring>(display_, *options_)),
      settings_({&display_, options_.get(), &wiring_->panel()}, settingsPath)
{
    options_->setFareDisplay(&display_);
    display_.setControlPanel(&controlPanel());
    controlPanel().setSettingsPath(settingsPath);
    controlPanel().installEventFilter(this);
    connect(&controlPanel(), &ControlPanel::shutdownRequested, this, &Program::onShutdownRequested);
    connect(&controlPanel(), &ControlPanel::routeSet, this, &Program::saveAlongTheWay);
    connect(options_.get(), &QDialog::finished, this, &Program::saveAlongTheWay);
}

Program::~Program() = default;

ControlPanel& Program::controlPanel()
{
    return wiring_->panel();
}

void Program::useDataFolderForThisRun(const QString& folder)
{
    settings_.setDataFoldersForThisRun(folder);
}

void Program::start()
{
    state_ = State::Starting;
    blankFareElements(display_);
    applyInitialDefaults();
    // The options dialog exists from here on, loaded and hidden.
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

void Program::applyInitialDefaults()
{
    options_->applyStartupDefaults(); // ticket numbers on, the three label colours
    numberTicketLabels(display_, 0, 0);
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
    if (state_ == State::Ending || state_ == State::Ended)
        return;
    if (state_ == State::Starting && !endAsked_) {
        // A start-up message may be open: its loop ends now, and start() ends the program
        // once the settings are applied.
        endAsked_ = true;
        emit finished();
        return;
    }
    quietEnd_ = true;
    state_ = State::Ending;
    controlPanel().shutDown(); // the exit's clean-up; the save follows in onShutdownRequested
}

// The exit, confirmed or not: the clean-up is done, the settings are written last.
void Program::onShutdownRequested()
{
    state_ = State::Ending;
    settings_.save(quietEnd_ ? SettingsFile::Report::StandardError
                             : SettingsFile::Report::MessageBox);
    state_ = State::Ended;
    emit finished();
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
        connect(app, &QGuiApplication::commitDataRequest, this,
                [this] { settings_.save(SettingsFile::Report::StandardError); });
    // Nobody is there to read a message box once the display is gone.
    displayLossWatch_ = std::make_unique<DisplayLossWatch>(
        [this] { settings_.save(SettingsFile::Report::StandardError); });
}

bool Program::eventFilter(QObject* watched, QEvent* event)
{
    // Once the program ends, Qt's quit closes every window: no exit question then.
    if (watched == &controlPanel() && event->type() == QEvent::Close &&
        (state_ == State::Ending || state_ == State::Ended))
        return true;
    return QObject::eventFilter(watched, event);
}
