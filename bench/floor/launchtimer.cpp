// Starts a program and prints how long it took to show itself, measured from outside:
//
//   launch_timer --windows N [--timeout MS] -- PROGRAM [ARGS...]
//       until N top-level windows of the program are mapped on $DISPLAY (a bare X server such
//       as Xvfb: with a window manager the windows are mapped inside its frames)
//   launch_timer --line [--timeout MS] -- PROGRAM [ARGS...]
//       until the program writes its first line to standard output
//
// Prints "<milliseconds> <pid>" as soon as it knows, then stays until the program ends and
// exits with its status, so the caller can end the program by its pid and reap it here.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <poll.h>
#include <set>
#include <signal.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace
{

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int usage()
{
    std::fprintf(
        stderr, "usage: launch_timer (--windows N | --line) [--timeout MS] -- PROGRAM [ARGS...]\n");
    return 2;
}

xcb_atom_t atom(xcb_connection_t* x, const char* name)
{
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(x, xcb_intern_atom(x, 0, std::strlen(name), name), nullptr);
    xcb_atom_t result = XCB_ATOM_NONE;
    if (reply != nullptr)
        result = reply->atom;
    std::free(reply);
    return result;
}

// The _NET_WM_PID of a window, or -1.
long windowPid(xcb_connection_t* x, xcb_window_t window, xcb_atom_t pidAtom)
{
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        x, xcb_get_property(x, 0, window, pidAtom, XCB_ATOM_CARDINAL, 0, 1), nullptr);
    long pid = -1;
    if (reply != nullptr && xcb_get_property_value_length(reply) == 4)
        pid = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
    std::free(reply);
    return pid;
}

pid_t launch(char** argv, int stdoutFd)
{
    const pid_t pid = fork();
    if (pid == 0) {
        if (stdoutFd >= 0)
            dup2(stdoutFd, STDOUT_FILENO);
        execvp(argv[0], argv);
        std::perror(argv[0]);
        _exit(127);
    }
    return pid;
}

// Milliseconds until `count` windows of the program are mapped, or a negative number.
double waitForWindows(char** argv, int count, int timeoutMs, pid_t& pid)
{
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "launch_timer: cannot open the display\n");
        return -1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t pidAtom = atom(x, "_NET_WM_PID"); // a round trip: the mask is in effect

    const Clock::time_point start = Clock::now();
    pid = launch(argv, -1);
    std::set<xcb_window_t> shown;
    pollfd fd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (static_cast<int>(shown.size()) < count) {
        xcb_generic_event_t* event = xcb_poll_for_event(x);
        if (event == nullptr) {
            const int left = timeoutMs - static_cast<int>(msSince(start));
            if (left <= 0 || xcb_connection_has_error(x) || poll(&fd, 1, left) < 0)
                return -1;
            continue;
        }
        if ((event->response_type & 0x7F) == XCB_MAP_NOTIFY) {
            const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
            if (!map->override_redirect && windowPid(x, map->window, pidAtom) == pid)
                shown.insert(map->window);
        }
        std::free(event);
    }
    const double ms = msSince(start);
    xcb_disconnect(x);
    return ms;
}

// Milliseconds until the program's first line of output, or a negative number.
double waitForLine(char** argv, int timeoutMs, pid_t& pid, int& readEnd)
{
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    const Clock::time_point start = Clock::now();
    pid = launch(argv, pipeFds[1]);
    close(pipeFds[1]);
    readEnd = pipeFds[0];
    pollfd fd{readEnd, POLLIN, 0};
    char c = 0;
    while (c != '\n') {
        const int left = timeoutMs - static_cast<int>(msSince(start));
        if (left <= 0 || poll(&fd, 1, left) <= 0 || read(readEnd, &c, 1) != 1)
            return -1;
    }
    return msSince(start);
}

} // namespace

int main(int argc, char** argv)
{
    int windows = 0;
    bool line = false;
    int timeoutMs = 20000;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--windows") == 0 && i + 1 < argc)
            windows = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--line") == 0)
            line = true;
        else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc)
            timeoutMs = std::atoi(argv[++i]);
        else
            return usage();
    }
    if (i + 1 >= argc || (windows > 0) == line)
        return usage();
    char** program = argv + i + 1;

    pid_t pid = -1;
    int readEnd = -1;
    const double ms = line ? waitForLine(program, timeoutMs, pid, readEnd)
                           : waitForWindows(program, windows, timeoutMs, pid);
    if (ms < 0) {
        std::fprintf(stderr, "launch_timer: %s did not show itself in %d ms\n", program[0],
                     timeoutMs);
        if (pid > 0)
            kill(pid, SIGKILL);
    } else {
        std::printf("%.1f %d\n", ms, static_cast<int>(pid));
        std::fflush(stdout);
    }
    // Keep reading the program's output so that it never blocks on a full pipe.
    char buffer[4096];
    while (readEnd >= 0 && read(readEnd, buffer, sizeof buffer) > 0) {
    }
    int status = 0;
    if (pid > 0)
        waitpid(pid, &status, 0);
    if (ms < 0)
        return 1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}
