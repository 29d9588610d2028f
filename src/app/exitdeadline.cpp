#include "app/exitdeadline.h"

#include <thread>
#include <unistd.h>

void endProcessWithin(std::chrono::milliseconds time, int status)
{
    std::thread([time, status] {
        std::this_thread::sleep_for(time);
        // Only calls that are safe while the rest of the process is tearing down.
        static constexpr char message[] = "fare: the exit did not finish in time; ending now\n";
        [[maybe_unused]] const ssize_t written =
            ::write(STDERR_FILENO, message, sizeof message - 1);
        ::_exit(status);
    }).detach();
}
