// Every way the real program ends, with whatever is open or stuck at that moment: the process
// ends within a few seconds, with the exit status it always had, a settings file that loads
// and no child left behind.
#include "formats/settingscodec.h"
#include "xsession.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <iostream>
#include <sys/stat.h>
#include <unistd.h>

namespace
{

using xtest::waitFor;
using xtest::XServer;
using xtest::XUser;

// How long an exit may take here: the program's own bound is three seconds from the cause;
// a loaded test machine gets some room, a hang does not.
constexpr int ExitLimitMs = 8000;

quint64 caughtSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    return 0;
}

// True while one of the process's threads waits in the kernel for a pipe's other end: the
// sound library opening its disk output on a named pipe nobody reads.
bool waitsForAPipeReader(qint64 pid)
{
    const QString tasks = QStringLiteral("/proc/%1/task").arg(pid);
    for (const QString& task : QDir(tasks).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile wchan(tasks + QLatin1Char('/') + task + QStringLiteral("/wchan"));
        if (wchan.open(QIODevice::ReadOnly) && wchan.readAll().contains("wait_for_partner"))
            return true;
    }
    return false;
}

class ExitPathTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { xtest::makeThisProcessTheSubreaper(); }

    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        settings_ = dir_.filePath(QStringLiteral("fare.in4"));
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("HOME"), dir_.path()); // keeps the user's own files out
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        // A sound device that opens at once and plays into nothing: speech is usable.
        env_.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("disk"));
        env_.insert(QStringLiteral("SDL_DISKAUDIOFILE"), QStringLiteral("/dev/null"));
        fare_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    void TearDown() override
    {
        if (fare_.state() != QProcess::NotRunning) {
            fare_.kill();
            fare_.waitForFinished(10000);
        }
        xtest::endOrphans(xtest::inheritedOrphans(childrenBefore_));
    }

    // The program on the test's own X server.
    void useDisplay(const XServer& server)
    {
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        env_.insert(QStringLiteral("DISPLAY"), server.display());
        // Under AddressSanitizer: libxkbcommon-x11's strndup over a keymap name that is not
        // NUL-terminated trips the strict string check, and Qt ends a process that lost its
        // display with exit(1), leaving what the libraries hold; neither is this program's.
        if (env_.contains(QStringLiteral("ASAN_OPTIONS")))
            env_.insert(QStringLiteral("ASAN_OPTIONS"),
                        env_.value(QStringLiteral("ASAN_OPTIONS")) +
                            QStringLiteral(":strict_string_checks=0:detect_leaks=0"));
    }

    // Starts fare on the bundled samples and waits until its termination handlers are in.
    void start()
    {
        childrenBefore_ = xtest::runningChildren(::getpid());
        fare_.setProcessEnvironment(env_);
        fare_.start(QStringLiteral(FARE_EXECUTABLE),
                    {QStringLiteral("--settings"), settings_, QStringLiteral("--data"),
                     QStringLiteral(FARE_SAMPLES_DIR)});
        ASSERT_TRUE(fare_.waitForStarted(10000));
        const quint64 wanted = (quint64(1) << (SIGTERM - 1)) | (quint64(1) << (SIGHUP - 1)) |
                               (quint64(1) << (SIGINT - 1));
        ASSERT_TRUE(
            waitFor([&] { return (caughtSignals(fare_.processId()) & wanted) == wanted; }, 30000))
            << "the handlers were never installed";
    }

    // A shell script of the test's own, found before any program of that name.
    bool putOnPath(const char* name, const QByteArray& script)
    {
        const QString bin = dir_.filePath(QStringLiteral("bin"));
        QFile program(bin + QLatin1Char('/') + QLatin1String(name));
        if (!QDir().mkpath(bin) || !program.open(QIODevice::WriteOnly))
            return false;
        program.write("#!/bin/sh\n" + script);
        program.close();
        program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        const QString path = env_.value(QStringLiteral("PATH"));
        if (!path.startsWith(bin + QLatin1Char(':')))
            env_.insert(QStringLiteral("PATH"), bin + QLatin1Char(':') + path);
        return true;
    }

    // Starts the clock of the exit; the process's end stops it.
    void markTheCause() { sinceCause_.start(); }

    // Waits for the end and checks what every end must leave: a settings file that loads and
    // no child of the program still running.
    void expectAnOrderlyEnd(int exitCode)
    {
        ASSERT_TRUE(fare_.waitForFinished(ExitLimitMs)) << "the process outlived its cause";
        const qint64 ms = sinceCause_.elapsed();
        std::cout << "[ NOTE     ] ended " << ms << " ms after its cause\n";
        EXPECT_EQ(fare_.exitStatus(), QProcess::NormalExit) << "it crashed";
        EXPECT_EQ(fare_.exitCode(), exitCode);
        QFile file(settings_);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << "no settings file";
        SettingsRecords saved;
        EXPECT_TRUE(decodeSettings(file.readAll(), saved)) << "the settings file does not load";
        // A child still finishing its last piece of work may take a moment to see its parent
        // gone; one that is still there after that was left behind.
        std::vector<pid_t> orphans;
        waitFor(
            [&] {
                orphans = xtest::inheritedOrphans(childrenBefore_);
                return orphans.empty();
            },
            2000);
        EXPECT_TRUE(orphans.empty()) << orphans.size() << " child process(es) left behind";
    }

    QTemporaryDir dir_;
    QString settings_;
    QProcessEnvironment env_;
    QProcess fare_;
    QElapsedTimer sinceCause_;
    std::vector<pid_t> childrenBefore_; // the X server, say: not the program's
};

// ---------------------------------------------------------------------------------------------
// A sound device that never finishes opening

const QString PanelTitle = QStringLiteral("^集中操作盤$");

// Sets a route, section 1, from the keyboard; route 12 has a broadcast tape.
bool setRoute(const XUser& user, const QString& route)
{
    const QString panel = user.waitForWindow(PanelTitle);
    QStringList keys = {QStringLiteral("r")};
    for (QChar digit : route)
        keys << QString(digit);
    keys << QStringLiteral("s") << QStringLiteral("1") << QStringLiteral("Return");
    return !panel.isEmpty() && user.typeKeys(panel, keys);
}

// The audio device opens with the first sound: sets route 12 and presses the tape's "送り"
// until the device is reached (the voice takes a moment to be ready after a route setting).
bool playTheTapeUntil(const XUser& user, const std::function<bool()>& deviceReached)
{
    if (!setRoute(user, QStringLiteral("12")))
        return false;
    const QString panel = user.waitForWindow(PanelTitle);
    return waitFor(
        [&] {
            user.typeKeys(panel, {QStringLiteral("n")});
            return waitFor(deviceReached, 1000);
        },
        30000);
}

enum class Cause { TerminationSignal, LostDisplay };

void PrintTo(Cause cause, std::ostream* out)
{
    *out << (cause == Cause::LostDisplay ? "a lost display" : "a termination signal");
}

class StuckSoundDevice : public ExitPathTest, public ::testing::WithParamInterface<Cause>
{
};

TEST_P(StuckSoundDevice, DoesNotHoldTheExit)
{
    // SDL's disk output opened on a named pipe that nobody reads blocks in the kernel for
    // good, as an opener waiting on a sound server that never answers does.
    const QString pipe = dir_.filePath(QStringLiteral("audio.pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    env_.insert(QStringLiteral("SDL_DISKAUDIOFILE"), pipe);
    XServer server;
    ASSERT_TRUE(server.isRunning());
    useDisplay(server);
    start();
    ASSERT_TRUE(playTheTapeUntil(XUser(server.display()), [&] {
        return waitsForAPipeReader(fare_.processId());
    })) << "the sound device was never opened";

    markTheCause();
    if (GetParam() == Cause::LostDisplay)
        server.kill();
    else
        ::kill(pid_t(fare_.processId()), SIGTERM);
    // Qt ends a process whose display went away with status 1.
    expectAnOrderlyEnd(GetParam() == Cause::LostDisplay ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Causes, StuckSoundDevice,
                         ::testing::Values(Cause::TerminationSignal, Cause::LostDisplay),
                         [](const auto& info) {
                             return info.param == Cause::LostDisplay ? "LostDisplay"
                                                                     : "TerminationSignal";
                         });

// ---------------------------------------------------------------------------------------------
// A termination signal while a dialog is open

// Where the windows are: the control panel's buttons sit at fixed places; the options
// dialog's pages and buttons at the places its layout gives them with the bundled fonts.
const QString DisplayTitle = QStringLiteral("^ファレット - ");
const QString OptionsTitle = QStringLiteral("^オプション$");

// The steps that open one dialog, true once the dialog is there.
struct DialogCase {
    const char* name;
    int signal;
    std::function<bool(const XUser&)> open;
};

void PrintTo(const DialogCase& dialog, std::ostream* out)
{
    *out << dialog.name;
}

bool openOptions(const XUser& user)
{
    const QString panel = user.waitForWindow(PanelTitle);
    return !panel.isEmpty() && user.click(panel, 261, 269) &&
           !user.waitForWindow(OptionsTitle).isEmpty();
}

// Opens the options, turns to the page whose tab is at pageY and clicks the button at x, y.
std::function<bool(const XUser&)> pickerOnOptionsPage(int pageY, int x, int y,
                                                      const QString& pickerTitle)
{
    return [=](const XUser& user) {
        if (!openOptions(user))
            return false;
        const QString options = user.waitForWindow(OptionsTitle);
        return user.click(options, 61, pageY) && user.click(options, x, y) &&
               !user.waitForWindow(pickerTitle).isEmpty();
    };
}

bool openSpeechSettingsAfterASample(const XUser& user)
{
    if (!setRoute(user, QStringLiteral("12")))
        return false;
    const QString panel = user.waitForWindow(PanelTitle);
    // "調整" works once the voice is ready: ask until the dialog opens.
    QString dialog;
    waitFor(
        [&] {
            user.click(panel, 193, 286);
            dialog = user.waitForWindow(QStringLiteral("^音声の調節$"), 500);
            return !dialog.isEmpty();
        },
        30000);
    return !dialog.isEmpty() && user.click(dialog, 37, 105); // "試聴"
}

const DialogCase DialogCases[] = {
    {"Options", SIGTERM, openOptions},
    {"FolderPicker", SIGINT,
     pickerOnOptionsPage(34, 599, 62, QStringLiteral("^フォルダーを選択してください$"))},
    {"SoundFilePicker", SIGHUP,
     pickerOnOptionsPage(257, 599, 36, QStringLiteral("^サウンドの選択$"))},
    {"ColourPicker", SIGTERM, pickerOnOptionsPage(89, 448, 164, QStringLiteral("^色の設定$"))},
    {"Version", SIGINT,
     [](const XUser& user) {
         const QString panel = user.waitForWindow(PanelTitle);
         return user.click(panel, 323, 269) &&
                !user.waitForWindow(QStringLiteral("^バージョン情報$")).isEmpty();
     }},
    {"DigitSettings", SIGHUP,
     [](const XUser& user) {
         const QString display = user.waitForWindow(DisplayTitle);
         return user.click(display, 83, 152, 2) &&
                !user.waitForWindow(QStringLiteral("^桁表示の設定$")).isEmpty();
     }},
    {"SpeechSettingsAfterASample", SIGTERM, openSpeechSettingsAfterASample},
    {"RouteErrorMessage", SIGINT,
     [](const XUser& user) {
         // No route 999 among the samples: the fare data message, titled by the program.
         return setRoute(user, QStringLiteral("999")) &&
                !user.waitForWindow(QStringLiteral("^fare$")).isEmpty();
     }},
    {"ExitQuestion", SIGHUP,
     [](const XUser& user) {
         // Without a window manager Qt now and then drops a close request that comes early:
         // ask again until the question is there.
         const QString panel = user.waitForWindow(PanelTitle);
         return waitFor(
             [&] {
                 return user.askToClose(panel) &&
                        !user.waitForWindow(QStringLiteral("^ファレットの終了確認$"), 1000)
                             .isEmpty();
             },
             20000);
     }},
};

class SignalInADialog : public ExitPathTest, public ::testing::WithParamInterface<DialogCase>
{
};

TEST_P(SignalInADialog, EndsTheProgramWithoutACrash)
{
    XServer server;
    ASSERT_TRUE(server.isRunning());
    useDisplay(server);
    start();
    const XUser user(server.display());
    ASSERT_TRUE(GetParam().open(user)) << "the dialog did not open";
    markTheCause();
    ::kill(pid_t(fare_.processId()), GetParam().signal);
    expectAnOrderlyEnd(0);
}

INSTANTIATE_TEST_SUITE_P(Dialogs, SignalInADialog, ::testing::ValuesIn(DialogCases),
                         [](const auto& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// Nothing started on the side

TEST_F(ExitPathTest, NoSessionBusIsStartedWhereTheSessionHasNone)
{
    // A dbus-launch of our own that only says it was run.
    const QString marker = dir_.filePath(QStringLiteral("dbus-launch-ran"));
    ASSERT_TRUE(putOnPath("dbus-launch", "touch '" + QFile::encodeName(marker) + "'\nexit 1\n"));
    env_.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    env_.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    // The sound device writes into a file once it is open: the voice and the sound, the
    // slow work that could look for a bus, have been started.
    const QString sound = dir_.filePath(QStringLiteral("audio.raw"));
    env_.insert(QStringLiteral("SDL_DISKAUDIOFILE"), sound);

    XServer server;
    ASSERT_TRUE(server.isRunning());
    useDisplay(server);
    start();
    ASSERT_TRUE(playTheTapeUntil(XUser(server.display()), [&] { return QFile::exists(sound); }))
        << "no sound device";
    markTheCause();
    ::kill(pid_t(fare_.processId()), SIGTERM);
    expectAnOrderlyEnd(0);
    EXPECT_FALSE(QFile::exists(marker)) << "a session bus was started for the program";
}

// ---------------------------------------------------------------------------------------------
// A lost display while the voice's program runs

TEST_F(ExitPathTest, ALostDisplayEndsTheVoicesProgramWithTheProcess)
{
    // An open_jtalk that never answers: the announcement made ready after a route setting
    // keeps it running.
    ASSERT_TRUE(putOnPath("open_jtalk", "exec sleep 120\n"));
    XServer server;
    ASSERT_TRUE(server.isRunning());
    useDisplay(server);
    start();
    ASSERT_TRUE(setRoute(XUser(server.display()), QStringLiteral("12")));
    ASSERT_TRUE(waitFor(
        [&] { return !xtest::runningChildren(pid_t(fare_.processId()), "sleep").empty(); }, 30000))
        << "the voice's program never ran";
    markTheCause();
    server.kill();
    expectAnOrderlyEnd(1);
}

// ---------------------------------------------------------------------------------------------
// The check that scripts use

TEST_F(ExitPathTest, TheSettingsCheckTellsAFileThatLoadsFromOneThatDoesNot)
{
    auto check = [this](const QString& path) {
        QProcess tool;
        tool.start(QStringLiteral(FARE_EXECUTABLE), {QStringLiteral("--check-settings"), path});
        EXPECT_TRUE(tool.waitForFinished(20000));
        return tool.exitCode();
    };
    const QByteArray whole = encodeSettings(SettingsRecords{});
    QFile file(settings_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(whole);
    file.close();
    EXPECT_EQ(check(settings_), 0);

    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(whole.left(whole.size() - 1)); // cut short, as by a kill during a write
    file.close();
    EXPECT_EQ(check(settings_), 1);
    EXPECT_EQ(check(dir_.filePath(QStringLiteral("none.in4"))), 1);
    EXPECT_EQ(check(dir_.path()), 1) << "a folder is no settings file";
}

} // namespace
