#include "program.h"

#include "app/startup.h"
#include "operation/controlpanel.h"
#include "operation/controlpanelwiring.h"
#include "options/optionsdialog.h"
#include "tickets/ticketlabels.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

// The signal handler writes a byte into one end; the event loop reads it at the other.
int terminationPipe[2] = {-1, -1};
constexpr int SignalEnd = 0;
constexpr int EventLoopEnd = 1;

void onTerminationSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] ssize_t written = ::write(terminationPipe[SignalEnd], &byte, 1);
}

} // namespace

Program::Program(const QString& settingsPath)
    : settingsPath_(settingsPath), options_(std::make_unique<OptionsDialog>())
{
    options_->setFareDisplay(&display_);
    wiring_ = std::make_unique<ControlPanelWiring>(display_, *options_);
    display_.setControlPanel(&controlPanel());
    connect(&controlPanel(), &ControlPanel::shutdownRequested, this, &Program::saveSettings);
}

Program::~Program() = default;

ControlPanel& Program::controlPanel()
{
    return wiring_->panel();
}

void Program::start()
{
    blankFareElements(display_);
    applyInitialDefaults();
    // The options dialog exists from here on, loaded and hidden.
    controlPanel().show(); // its load: caption, keypad shapes, speech engine
    controlPanel().raise();
    placeWindowsAtDefaults();
    display_.shapeWindow();
    display_.update();
    readSettingsFile({&display_, options_.get(), &controlPanel()}, settingsPath_);
    display_.show();
    controlPanel().raise();
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

void Program::saveSettings()
{
    if (settingsSaved_)
        return;
    settingsSaved_ = true;
    writeSettingsFile({&display_, options_.get(), &controlPanel()}, settingsPath_);
}

void Program::shutDownWithoutQuestion()
{
    if (!settingsSaved_)
        controlPanel().shutDown();
}

void Program::handleTerminationSignals()
{
    if (signalNotifier_ != nullptr)
        return;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, terminationPipe) != 0)
        return;
    signalNotifier_ =
        new QSocketNotifier(terminationPipe[EventLoopEnd], QSocketNotifier::Read, this);
    connect(signalNotifier_, &QSocketNotifier::activated, this, [this] {
        char byte;
        [[maybe_unused]] ssize_t got = ::read(terminationPipe[EventLoopEnd], &byte, 1);
        shutDownWithoutQuestion();
    });
    struct sigaction action = {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
}
