#include "xsession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QStandardPaths>
#include <QThread>
#include <algorithm>
#include <csignal>
#include <cstring>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <xcb/xcb.h>

namespace xtest
{

bool waitFor(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QThread::msleep(20);
    }
    return true;
}

XServer::XServer()
{
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        return;
    // Its warnings would fill a pipe nobody reads, and the server would stop.
    process_.setStandardErrorFile(QProcess::nullDevice());
    // -displayfd 1: the server picks a free display and prints its number. -noreset: without
    // it the server resets when its last client leaves, and a client connecting just then
    // (a window manager while a tool polls the server) is refused.
    process_.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                          QStringLiteral("-screen"), QStringLiteral("0"),
                          QStringLiteral("1280x1024x24"), QStringLiteral("-nolisten"),
                          QStringLiteral("tcp"), QStringLiteral("-noreset")});
    if (!process_.waitForStarted(10000))
        return;
    QByteArray number;
    const bool answered = waitFor(
        [&] {
            process_.waitForReadyRead(50);
            number += process_.readAllStandardOutput();
            return number.endsWith('\n');
        },
        30000);
    if (answered)
        display_ = QStringLiteral(":") + QString::fromLatin1(number.trimmed());
}

XServer::~XServer()
{
    kill();
}

void XServer::kill()
{
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.kill();
    process_.waitForFinished(10000);
}

QString XUser::waitForWindow(const QString& titlePattern, int ms) const
{
    QString found;
    waitFor(
        [&] {
            QString ids;
            if (xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                         QStringLiteral("--name"), titlePattern},
                        &ids))
                found = ids.section(QLatin1Char('\n'), 0, 0).trimmed();
            return !found.isEmpty();
        },
        ms);
    return found;
}

bool XUser::click(const QString& window, int x, int y, int count) const
{
    return xdotool({QStringLiteral("mousemove"), QStringLiteral("--window"), window,
                    QString::number(x), QString::number(y), QStringLiteral("click"),
                    QStringLiteral("--repeat"), QString::number(count), QStringLiteral("--delay"),
                    QStringLiteral("80"), QStringLiteral("1")});
}

bool XUser::typeKeys(const QString& window, const QStringList& keys) const
{
    return xdotool({QStringLiteral("windowfocus"), QStringLiteral("--sync"), window}) &&
           xdotool(
               QStringList{QStringLiteral("key"), QStringLiteral("--delay"), QStringLiteral("60")} +
               keys);
}

bool XUser::askToClose(const QString& window) const
{
    bool ok = false;
    const xcb_window_t id = window.toUInt(&ok);
    if (!ok)
        return false;
    xcb_connection_t* x = xcb_connect(display_.toLocal8Bit().constData(), nullptr);
    if (xcb_connection_has_error(x)) {
        xcb_disconnect(x);
        return false;
    }
    auto atom = [x](const char* name) {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            x, xcb_intern_atom(x, 0, uint16_t(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    };
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = id;
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(x, 0, id, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    const bool sent = xcb_flush(x) > 0;
    xcb_disconnect(x);
    return sent;
}

bool XUser::xdotool(const QStringList& arguments, QString* output) const
{
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display_);
    tool.setProcessEnvironment(env);
    tool.start(QStringLiteral("xdotool"), arguments);
    if (!tool.waitForFinished(10000)) {
        tool.kill();
        tool.waitForFinished(5000);
        return false;
    }
    if (output)
        *output = QString::fromUtf8(tool.readAllStandardOutput());
    return tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0;
}

void makeThisProcessTheSubreaper()
{
    ::prctl(PR_SET_CHILD_SUBREAPER, 1);
}

std::vector<pid_t> runningChildren(pid_t parent, const QByteArray& name)
{
    std::vector<pid_t> children;
    const QByteArray parentPid = QByteArray::number(parent);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool isPid = false;
        const pid_t pid = entry.toInt(&isPid);
        if (!isPid)
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        if (!stat.open(QIODevice::ReadOnly))
            continue;
        // "pid (comm) state ppid ...": the name may hold blanks and brackets.
        const QByteArray line = stat.readAll();
        const qsizetype open = line.indexOf('('), close = line.lastIndexOf(')');
        const QList<QByteArray> fields = line.mid(close + 2).split(' ');
        if (open < 0 || fields.size() < 2 || fields[1] != parentPid || fields[0] == "Z")
            continue;
        if (name.isEmpty() || line.mid(open + 1, close - open - 1) == name)
            children.push_back(pid);
    }
    return children;
}

std::vector<pid_t> inheritedOrphans(const std::vector<pid_t>& childrenBefore)
{
    std::vector<pid_t> orphans;
    for (pid_t pid : runningChildren(::getpid()))
        if (std::find(childrenBefore.begin(), childrenBefore.end(), pid) == childrenBefore.end())
            orphans.push_back(pid);
    return orphans;
}

void endOrphans(const std::vector<pid_t>& orphans)
{
    for (pid_t pid : orphans)
        ::kill(pid, SIGKILL);
    for (pid_t pid : orphans)
        waitFor([pid] { return ::waitpid(pid, nullptr, WNOHANG) != 0; }, 5000);
}

} // namespace xtest
