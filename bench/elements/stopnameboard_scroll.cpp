// Shows a NextStopNameBoard and keeps a name on it, for measuring what scrolling costs and for
// looking at the board.
//
//   stopname_scroll [--seconds S] [--speed N] [--prefix MODE] [--snapshot FILE] [--at MS] NAME
//
// Without --snapshot the board runs for S seconds (default 10) at speed N (default the
// board's 5) and the process exits; the CPU time used is printed from /proc/self/stat and
// the wake-ups (voluntary and involuntary context switches of all threads) from
// /proc/self/task. With --snapshot the board is grabbed to FILE after MS milliseconds of
// scrolling (default 0) and the process exits.

#include "elements/nextstopnameboard.h"
#include "platform/wait.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <cstdio>
#include <unistd.h>

namespace
{

// User + system CPU seconds of this process.
double processCpuSeconds()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1.0;
    const QByteArray line = stat.readAll();
    // Fields after the command name (which may hold blanks) start past the last ')'.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Context switches of all threads of this process so far.
long wakeUps()
{
    long total = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString& task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile status(tasks.filePath(task + QStringLiteral("/status")));
        if (!status.open(QIODevice::ReadOnly))
            continue;
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.contains("ctxt_switches:"))
                total += line.mid(line.indexOf(':') + 1).trimmed().toLong();
        }
    }
    return total;
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"seconds", "How long to keep scrolling.", "S", "10"});
    parser.addOption({"speed", "Scroll speed of the board.", "N", "5"});
    parser.addOption({"prefix", "Prefix mode of the board (0..2).", "MODE", "0"});
    parser.addOption({"snapshot", "Grab the board to this PNG and exit.", "FILE"});
    parser.addOption({"at", "Milliseconds of scrolling before the snapshot.", "MS", "0"});
    parser.addPositionalArgument("name", "The stop name.");
    parser.process(app);
    const QString name = parser.positionalArguments().value(0, QStringLiteral("市役所前"));

    // A manual clock puts a snapshot's scroll exactly where asked.
    platform::ManualClock manualClock;
    const bool snapshot = parser.isSet("snapshot");
    NextStopNameBoard board(snapshot ? static_cast<platform::WaitClock&>(manualClock)
                                     : platform::systemClock());
    board.setForeColor(QColor(255, 192, 128));
    board.setBackColor(Qt::black);
    board.setPrefixMode(static_cast<std::int16_t>(parser.value("prefix").toInt()));
    board.setSpeed(static_cast<std::int16_t>(parser.value("speed").toInt()));
    board.setWindowTitle(QStringLiteral("NextStopNameBoard"));

    if (snapshot) {
        board.setStopName(name);
        const int at = parser.value("at").toInt();
        for (int ms = 0; ms < at; ms += 16) {
            manualClock.advance(std::min(16, at - ms));
            board.advanceScroll();
        }
        const bool saved = board.grab().save(parser.value("snapshot"));
        std::printf("strip left %d, width %d\n", board.stripLeft(), board.stripWidth());
        return saved ? 0 : 1;
    }

    board.show();
    board.setStopName(name);
    const double cpuBefore = processCpuSeconds();
    const long wakeUpsBefore = wakeUps();
    const int seconds = parser.value("seconds").toInt();
    QTimer::singleShot(seconds * 1000, &app, [&] {
        const double used = processCpuSeconds() - cpuBefore;
        std::printf("scrolled %d s at speed %d: cpu %.3f s = %.2f %% of one core, %.1f "
                    "wake-ups/s (strip left %d)\n",
                    seconds, board.speed(), used, 100.0 * used / seconds,
                    static_cast<double>(wakeUps() - wakeUpsBefore) / seconds, board.stripLeft());
        app.quit();
    });
    return app.exec();
}
