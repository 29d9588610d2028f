#include "terminationsignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace
{

constexpr int HandledSignals[3] = {SIGTERM, SIGHUP, SIGINT};

// The handler writes the signal's number into one end; the event loop reads the other.
// Process-wide because a signal handler reaches nothing else.
int signalPipe[2] = {-1, -1};
constexpr int HandlerEnd = 0;
constexpr int EventLoopEnd = 1;

void onSignal(int signalNumber)
{
    const int savedErrno = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] ssize_t written = ::write(signalPipe[HandlerEnd], &byte, 1);
    errno = savedErrno;
}

// The one watch's callback and the handler it stands in front of.
std::function<void()> displayLost;
QtMessageHandler previousMessageHandler = nullptr;

bool reportsBrokenDisplay(const QString& message)
{
    return message.startsWith(QLatin1String("The X11 connection broke"));
}

void watchMessages(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (displayLost && reportsBrokenDisplay(message) && QCoreApplication::instance() &&
        QThread::currentThread() == QCoreApplication::instance()->thread()) {
        // Once: Qt ends the process right after this report.
        auto onLoss = std::move(displayLost);
        displayLost = nullptr;
        onLoss();
    }
    if (previousMessageHandler)
        previousMessageHandler(type, context, message);
    else
        std::fputs(qPrintable(qFormatLogMessage(type, context, message) + QLatin1Char('\n')),
                   stderr);
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (signalPipe[HandlerEnd] >= 0)
        return; // another instance has them
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signalPipe) != 0)
        return;
    // A burst of signals must never block the handler.
    ::fcntl(signalPipe[HandlerEnd], F_SETFL, O_NONBLOCK);
    notifier_ = new QSocketNotifier(signalPipe[EventLoopEnd], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, &TerminationSignals::onReadable);

    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int i = 0; i < 3; ++i)
        sigaction(HandledSignals[i], &action, &previous_[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (notifier_ == nullptr)
        return;
    for (int i = 0; i < 3; ++i)
        sigaction(HandledSignals[i], &previous_[i], nullptr);
    delete notifier_;
    for (int& end : signalPipe) {
        ::close(end);
        end = -1;
    }
}

void TerminationSignals::onReadable()
{
    unsigned char byte = 0;
    if (::read(signalPipe[EventLoopEnd], &byte, 1) == 1)
        emit received(byte);
}

DisplayLossWatch::DisplayLossWatch(std::function<void()> onLoss)
{
    displayLost = std::move(onLoss);
    previousMessageHandler = qInstallMessageHandler(watchMessages);
}

DisplayLossWatch::~DisplayLossWatch()
{
    qInstallMessageHandler(previousMessageHandler);
    previousMessageHandler = nullptr;
    displayLost = nullptr;
}
