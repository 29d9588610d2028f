// Measures the start of the real program: from process start to both windows shown with the
// settings loaded. Run it under /usr/bin/time -v for the resident memory:
//   /usr/bin/time -v build/bench/app/fare_startup [settings-file]
#include "app/program.h"
#include "operation/controlpanel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTextStream>
#include <cstdio>
#include <ctime>
#include <unistd.h>

namespace
{

// Milliseconds since the kernel started this process.
double msSinceProcessStart()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double startTicks = fields.value(19).toDouble(); // field 22 of the whole line
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    const double nowMs = now.tv_sec * 1000.0 + now.tv_nsec / 1e6;
    return nowMs - startTicks * 1000.0 / sysconf(_SC_CLK_TCK);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("fare"));
    const QString settings =
        argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("/nonexistent/fare.in4");
    platform::SystemClock clock;
    platform::DialogMessageBoxes boxes;
    Program program(settings, clock, boxes);
    program.start();
    while (!program.display().isVisible() || !program.controlPanel().isVisible())
        QApplication::processEvents();
    QApplication::processEvents(); // first paint of both windows
    std::printf("start to both windows shown: %.0f ms\n", msSinceProcessStart());
    return 0;
}
