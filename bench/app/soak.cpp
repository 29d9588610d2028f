// Drives the real program for a long time: routes set again and again, stepping both ways,
// long names scrolling, display clear on and off, options applied, the tape spoken. Prints
// the resident memory each minute and the CPU used while only scrolling.
//   build/bench/app/fare_soak [minutes] [fare-data-folder]
#include "app/program.h"
#include "elements/nextstopnameboard.h"
#include "operation/controlpanel.h"
#include "options/optionsdialog.h"
#include "sound/tape.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <cstdio>
#include <ctime>

namespace
{

long residentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double cpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

// Runs the event loop for ms milliseconds, idle between events as the real program is.
void runFor(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

void setRoute(ControlPanel& panel, const QString& routeNo, int section)
{
    panel.onKeypadKey(ControlPanel::KeypadKey::Route);
    for (QChar c : routeNo)
        panel.onKeypadKey(ControlPanel::digitKey(c.digitValue()));
    panel.onKeypadKey(ControlPanel::KeypadKey::Section);
    panel.onKeypadKey(ControlPanel::digitKey(section));
    panel.setRoute(ControlPanel::EntryPanel::Keypad);
}

} // namespace

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    const double minutes = argc > 1 ? std::atof(argv[1]) : 10.0;
    platform::SystemClock clock;
    platform::DialogMessageBoxes boxes;
    Program program(QStringLiteral("/nonexistent/fare.in4"), clock, boxes);
    program.start();
    ControlPanel& panel = program.controlPanel();
    if (argc > 2) {
        program.options().setFareDataFolder(QString::fromLocal8Bit(argv[2]));
        program.options().setBroadcastDataFolder(QString::fromLocal8Bit(argv[2]));
    }
    panel.findChild<QScrollBar*>(QStringLiteral("scrollSpeedBar"))->setValue(200);
    panel.findChild<QScrollBar*>(QStringLiteral("scrollIntervalBar"))->setValue(500);

    QElapsedTimer total;
    total.start();
    long firstMinuteKb = -1;
    long maxKb = 0;
    int rounds = 0;
    const QStringList routes = {QStringLiteral("1"), QStringLiteral("12"), QStringLiteral("120")};
    while (total.elapsed() < minutes * 60000) {
        setRoute(panel, routes[rounds % routes.size()], 1);
        for (int i = 0; i < 12; ++i) {
            panel.stepStop(core::StepDirection::Forward);
            runFor(50);
        }
        panel.setDisplayCleared(true);
        runFor(20);
        panel.setDisplayCleared(false);
        for (int i = 0; i < 6; ++i)
            panel.stepStop(core::StepDirection::Back);
        program.optionsDialog().applyDisplayOptions();
        if (program.tape().isSpeechAvailable()) {
            program.tape().stepForward();
            runFor(300);
            program.tape().stopSpeech();
        }
        ++rounds;
        const long kb = residentKb();
        maxKb = std::max(maxKb, kb);
        if (firstMinuteKb < 0 && total.elapsed() >= 60000)
            firstMinuteKb = kb;
        if (rounds % 20 == 0)
            std::printf("%6.1f min  rounds %5d  RSS %ld kB\n", total.elapsed() / 60000.0, rounds,
                        kb);
        std::fflush(stdout);
    }
    const long endKb = residentKb();

    // Only scrolling: a long name stands on the board for 10 s.
    program.display().setStopName(
        QStringLiteral("県立総合医療センター・北浜町三丁目交差点・市民文化センター前"));
    const double cpuBefore = cpuSeconds();
    runFor(10000);
    const double scrollCpu = (cpuSeconds() - cpuBefore) / 10.0 * 100.0;

    std::printf("rounds %d, RSS after the first minute %ld kB, at the end %ld kB (max %ld kB), "
                "growth %.1f %%\n",
                rounds, firstMinuteKb, endKb, maxKb,
                firstMinuteKb > 0 ? 100.0 * (endKb - firstMinuteKb) / firstMinuteKb : 0.0);
    std::printf("CPU while only scrolling: %.2f %% of one core\n", scrollCpu);
    std::printf("tape spoken: %s\n", program.tape().isSpeechAvailable()
                                         ? "yes"
                                         : "no (no audio device: set SDL_AUDIODRIVER=disk)");
    return 0;
}
