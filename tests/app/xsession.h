#pragma once

// Running the real program as a desktop user would: on an X server of its own, driven
// through xdotool, with every wait bounded.

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>
#include <sys/types.h>
#include <vector>

namespace xtest
{

// Polls until done() holds or ms milliseconds have passed; a real process runs beside the
// test, so this is the one place where the test waits on the wall clock.
bool waitFor(const std::function<bool()>& done, int ms);

// An X server for one test on a display nobody else uses (Xvfb -displayfd), gone with the
// object.
class XServer
{
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool isRunning() const { return !display_.isEmpty(); }
    // ":N"
    QString display() const { return display_; }
    // The server goes away at once, as when the session's X server dies.
    void kill();

private:
    QProcess process_;
    QString display_;
};

// A user at that display: finds windows by title, clicks, types and closes them.
class XUser
{
public:
    explicit XUser(QString display) : display_(std::move(display)) {}

    // The first visible top-level window whose title matches the pattern (a regular
    // expression), waiting up to ms for it; empty when none came.
    QString waitForWindow(const QString& titlePattern, int ms = 15000) const;
    // Clicks (count times) at x, y inside the window.
    bool click(const QString& window, int x, int y, int count = 1) const;
    // Gives the window the keyboard focus and types the keys (xdotool key names).
    bool typeKeys(const QString& window, const QStringList& keys) const;
    // What a window manager's close button sends: WM_DELETE_WINDOW.
    bool askToClose(const QString& window) const;

private:
    bool xdotool(const QStringList& arguments, QString* output = nullptr) const;

    QString display_;
};

// The children of a process that are still running; only those of that name if one is given.
std::vector<pid_t> runningChildren(pid_t parent, const QByteArray& name = {});
// Once this process is their subreaper, the descendants of a program it started come to it
// when their parent ends before them: the children that were not there before.
void makeThisProcessTheSubreaper();
std::vector<pid_t> inheritedOrphans(const std::vector<pid_t>& childrenBefore);
// Kills and reaps them.
void endOrphans(const std::vector<pid_t>& orphans);

} // namespace xtest
