#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <mutex>
#include <sys/types.h>
#include <vector>

namespace speech
{

// The process groups of the child processes a voice has running, so that another thread can
// kill them all at once (an engine giving up on a worker that does not end). Thread-safe.
class ProcessGroups
{
public:
    void add(pid_t group);
    void remove(pid_t group);
    // SIGKILL to every group listed, and to every group added from then on: whoever runs
    // them is being given up, and a program it starts a moment later must not outlive it.
    // A group is taken off the list before its leader is reaped, so the ids killed here are
    // never reused ones.
    void killAll();

private:
    std::mutex mutex_;
    std::vector<pid_t> groups_;
    bool killing_ = false;
};

// A program run as a child process in a process group of its own, fed on its standard input
// and read on its standard output (its standard error goes to /dev/null). Ending it kills
// the whole group, so that the children of a wrapper script end with it, and no wait on it
// is unbounded. Used from one thread at a time.
class ChildProcess
{
public:
    using Clock = std::chrono::steady_clock;
    using StopRequested = std::function<bool()>;
    enum class Result {
        Done,     // the program closed its output or exited
        Stopped,  // stopRequested said so
        TooLarge, // the output passed its cap
        TimedOut, // the deadline passed
        Failed    // an error on the pipes
    };

    // How long end() waits for the killed program to be reaped.
    static constexpr std::chrono::milliseconds kReapWait{1000};
    // How often exchange() looks at stopRequested and the deadline.
    static constexpr int kPollMs = 20;

    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(ChildProcess&& other) noexcept;
    // Ends the program held here first.
    ChildProcess& operator=(ChildProcess&& other) noexcept;

    // Starts the program; false when it cannot be started. The group is listed in groups
    // (when given) until end().
    bool start(const QString& program, const QStringList& arguments,
               ProcessGroups* groups = nullptr);
    bool isStarted() const { return pid_ > 0; }
    // The program's process id, which is also its process group's.
    pid_t pid() const { return pid_; }

    // Writes input to the program's standard input and then closes it, while reading its
    // standard output into output until the program closes it or has exited (children of
    // a wrapper that still hold the output open are not waited for): one poll loop, so that
    // a program that writes before it has read everything never waits on us while we wait
    // on it. Ends early when stopRequested returns true (asked every kPollMs), when output would
    // grow beyond maxOutput bytes or at the deadline. A program that stops reading its input
    // early is no error: its output is still read.
    Result exchange(const QByteArray& input, QByteArray& output, qsizetype maxOutput,
                    const StopRequested& stopRequested,
                    Clock::time_point deadline = Clock::time_point::max());

    // Kills the program's whole process group and reaps the program, waiting at most
    // kReapWait (a program that does not die by then is left to the end of this process).
    void end();

private:
    void closeInput();
    bool hasExited() const;
    // What the program left in its output before it exited.
    Result drainOutput(QByteArray& output, qsizetype maxOutput);

    pid_t pid_ = -1;
    int input_ = -1;  // our end of its standard input
    int output_ = -1; // our end of its standard output
    ProcessGroups* groups_ = nullptr;
};

} // namespace speech
