#include "speech/childprocess.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <utility>

extern char** environ;

namespace speech
{

void ProcessGroups::add(pid_t group)
{
    std::lock_guard lock(mutex_);
    groups_.push_back(group);
    if (killing_)
        ::kill(-group, SIGKILL);
}

void ProcessGroups::remove(pid_t group)
{
    std::lock_guard lock(mutex_);
    std::erase(groups_, group);
}

void ProcessGroups::killAll()
{
    std::lock_guard lock(mutex_);
    killing_ = true;
    for (pid_t group : groups_)
        ::kill(-group, SIGKILL);
}

namespace
{

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

bool setNonBlocking(int fd)
{
    const int flags = ::fcntl(fd, F_GETFL);
    return flags >= 0 && ::fcntl(fd, F_SETFL, flags | O_NONBLOCK) == 0;
}

// The child starts clean: its own process group, no blocked signals, and the signals our
// process may ignore or handle back at their defaults.
void prepareAttributes(posix_spawnattr_t& attributes)
{
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                              POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
}

} // namespace

ChildProcess::~ChildProcess()
{
    end();
}

ChildProcess::ChildProcess(ChildProcess&& other) noexcept
    : pid_(std::exchange(other.pid_, -1)), input_(std::exchange(other.input_, -1)),
      output_(std::exchange(other.output_, -1)), groups_(std::exchange(other.groups_, nullptr))
{
}

ChildProcess& ChildProcess::operator=(ChildProcess&& other) noexcept
{
    if (this != &other) {
        end();
        pid_ = std::exchange(other.pid_, -1);
        input_ = std::exchange(other.input_, -1);
        output_ = std::exchange(other.output_, -1);
        groups_ = std::exchange(other.groups_, nullptr);
    }
    return *this;
}

bool ChildProcess::start(const QString& program, const QStringList& arguments,
                         ProcessGroups* groups)
{
    end();
    // A socket for the input, so that writing to a program that died gives an error rather
    // than SIGPIPE.
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, input) != 0)
        return false;
    if (::pipe2(output, O_CLOEXEC) != 0) {
        closeFd(input[0]);
        closeFd(input[1]);
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input[1], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output[1], STDOUT_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    // Descriptors of ours that lack close-on-exec stay ours: a child that outlives its run
    // must not hold a pipe of someone else's open.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
    posix_spawnattr_t attributes;
    prepareAttributes(attributes);

    std::vector<QByteArray> args{QFile::encodeName(program)};
    for (const QString& a : arguments)
        args.push_back(QFile::encodeName(a));
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = -1;
    const int result =
        posix_spawn(&pid, args[0].constData(), &actions, &attributes, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    closeFd(input[1]);
    closeFd(output[1]);
    if (result != 0 || !setNonBlocking(input[0]) || !setNonBlocking(output[0])) {
        closeFd(input[0]);
        closeFd(output[0]);
        if (result == 0) {
            pid_ = pid;
            end();
        }
        return false;
    }
    pid_ = pid;
    input_ = input[0];
    output_ = output[0];
    groups_ = groups;
    if (groups_)
        groups_->add(pid_);
    return true;
}

void ChildProcess::closeInput()
{
    closeFd(input_);
}

ChildProcess::Result ChildProcess::exchange(const QByteArray& input, QByteArray& output,
                                            qsizetype maxOutput, const StopRequested& stopRequested,
                                            Clock::time_point deadline)
{
    output.clear();
    if (output_ < 0)
        return Result::Failed;
    qsizetype sent = 0;
    if (input.isEmpty())
        closeInput();
    static constexpr size_t kChunk = 65536;
    std::vector<char> chunk(kChunk);
    for (;;) {
        const bool writing = input_ >= 0;
        pollfd fds[2] = {{output_, POLLIN, 0}, {input_, POLLOUT, 0}};
        const int ready = ::poll(fds, writing ? 2 : 1, kPollMs);
        if (ready < 0 && errno != EINTR)
            return Result::Failed;
        if (stopRequested && stopRequested())
            return Result::Stopped;
        if (Clock::now() >= deadline)
            return Result::TimedOut;
        if (ready == 0 && hasExited())
            return drainOutput(output, maxOutput);
        if (ready <= 0)
            continue;
        if (writing && fds[1].revents != 0) {
            const ssize_t wrote =
                ::send(input_, input.constData() + sent,
                       size_t(std::min<qsizetype>(input.size() - sent, qsizetype(kChunk))),
                       MSG_NOSIGNAL | MSG_DONTWAIT);
            if (wrote > 0)
                sent += wrote;
            else if (wrote < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR)
                sent = input.size(); // it stopped reading: what it wrote still counts
            if (sent == input.size())
                closeInput();
        }
        if (fds[0].revents == 0)
            continue;
        const ssize_t got = ::read(output_, chunk.data(), chunk.size());
        if (got == 0)
            return Result::Done;
        if (got < 0) {
            if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)
                continue;
            return Result::Failed;
        }
        if (output.size() + got > maxOutput)
            return Result::TooLarge;
        output.append(chunk.data(), got);
    }
}

bool ChildProcess::hasExited() const
{
    siginfo_t info{};
    // Not reaped here: the id must keep naming the group until end() has killed it.
    return ::waitid(P_PID, id_t(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == pid_;
}

ChildProcess::Result ChildProcess::drainOutput(QByteArray& output, qsizetype maxOutput)
{
    char chunk[65536];
    for (;;) {
        const ssize_t got = ::read(output_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return Result::Done;
        if (output.size() + got > maxOutput)
            return Result::TooLarge;
        output.append(chunk, got);
    }
}

void ChildProcess::end()
{
    closeFd(input_);
    closeFd(output_);
    if (pid_ <= 0)
        return;
    if (groups_)
        groups_->remove(pid_);
    groups_ = nullptr;
    // The program is not reaped yet, so its id still names its group here.
    ::kill(-pid_, SIGKILL);
    ::kill(pid_, SIGKILL);
    const auto until = Clock::now() + kReapWait;
    for (;;) {
        int status = 0;
        const pid_t reaped = ::waitpid(pid_, &status, WNOHANG);
        if (reaped == pid_ || (reaped < 0 && errno != EINTR))
            break;
        if (Clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    pid_ = -1;
}

} // namespace speech
