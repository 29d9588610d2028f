#pragma once

#include <QObject>
#include <csignal>
#include <functional>

class QSocketNotifier;

// Turns SIGTERM, SIGHUP and SIGINT into a Qt signal that the event loop delivers, also inside
// a modal box's loop. The handler only writes a byte into a socket pair; everything else
// happens on the user-interface thread. One instance at a time; the handlers that were in
// place before return when it goes.
class TerminationSignals : public QObject
{
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

    bool isActive() const { return notifier_ != nullptr; }

signals:
    void received(int signalNumber);

private:
    void onReadable();

    QSocketNotifier* notifier_ = nullptr;
    struct sigaction previous_[3] = {};
};

// Calls onLoss when Qt reports that its X connection broke, which it does just before it ends
// the process; the report then goes on to the message handler that was in place. One watch at
// a time.
class DisplayLossWatch
{
public:
    explicit DisplayLossWatch(std::function<void()> onLoss);
    ~DisplayLossWatch();
    DisplayLossWatch(const DisplayLossWatch&) = delete;
    DisplayLossWatch& operator=(const DisplayLossWatch&) = delete;
};
