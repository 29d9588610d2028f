// The real fare executable, started as a user or a session manager would: what matters is
// that the process ends, not only that a file was written.
#include "formats/settingscodec.h"
#include "xsession.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <gtest/gtest.h>

namespace
{

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The signals whose handlers the process has installed, from /proc.
quint64 caughtSignals(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("SigCgt:"))
            return line.mid(7).trimmed().toULongLong(nullptr, 16);
    }
    return 0;
}

quint64 bit(int signal)
{
    return quint64(1) << (signal - 1);
}

using xtest::waitFor;

class FareProcessTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        settings_ = dir_.filePath(QStringLiteral("fare.in4"));
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("HOME"), dir_.path()); // keeps the user's own files out
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        fare_.setProcessEnvironment(env);
        fare_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    }

    void TearDown() override
    {
        if (fare_.state() != QProcess::NotRunning) {
            fare_.kill();
            fare_.waitForFinished();
        }
    }

    // Starts fare and waits until its three termination handlers are in place.
    void startAndWaitForHandlers(const QStringList& arguments)
    {
        fare_.start(QStringLiteral(FARE_EXECUTABLE), arguments);
        ASSERT_TRUE(fare_.waitForStarted(10000));
        const quint64 wanted = bit(SIGTERM) | bit(SIGHUP) | bit(SIGINT);
        ASSERT_TRUE(
            waitFor([&] { return (caughtSignals(fare_.processId()) & wanted) == wanted; }, 30000))
            << "the handlers were never installed";
    }

    // Sends the signal and returns how long the process took to end (-1: it did not).
    qint64 endWith(int signal)
    {
        QElapsedTimer timer;
        timer.start();
        ::kill(static_cast<pid_t>(fare_.processId()), signal);
        if (!fare_.waitForFinished(20000))
            return -1;
        return timer.elapsed();
    }

    QTemporaryDir dir_;
    QString settings_;
    QProcess fare_;
};

TEST_F(FareProcessTest, HelpAndVersionAnswerWithoutADisplay)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QLatin1String(name));
    fare_.setProcessEnvironment(env);
    for (const QString& option : {QStringLiteral("--help"), QStringLiteral("--version")}) {
        fare_.start(QStringLiteral(FARE_EXECUTABLE), {option});
        ASSERT_TRUE(fare_.waitForFinished(20000)) << option.toStdString();
        EXPECT_EQ(fare_.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(fare_.exitCode(), 0);
        EXPECT_FALSE(fare_.readAllStandardOutput().isEmpty());
    }
    fare_.start(QStringLiteral(FARE_EXECUTABLE), {QStringLiteral("--no-such-option")});
    ASSERT_TRUE(fare_.waitForFinished(20000));
    EXPECT_EQ(fare_.exitCode(), 2);
    EXPECT_TRUE(fare_.readAllStandardOutput().isEmpty()) << "errors go to standard error";
}

TEST_F(FareProcessTest, EachTerminationSignalSavesAndEndsTheProcess)
{
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) {
        QFile::remove(settings_);
        startAndWaitForHandlers({QStringLiteral("--settings"), settings_});
        const qint64 ms = endWith(signal);
        ASSERT_GE(ms, 0) << "signal " << signal << ": the process is still running";
        std::cout << "signal " << signal << " ended the process in " << ms << " ms\n";
        EXPECT_EQ(fare_.exitStatus(), QProcess::NormalExit) << signal;
        EXPECT_EQ(fare_.exitCode(), 0) << signal;
        SettingsRecords saved;
        EXPECT_TRUE(decodeSettings(contents(settings_), saved)) << signal;
    }
}

TEST_F(FareProcessTest, ASignalWhileAStartUpMessageIsOpenEndsTheProcess)
{
    // A bad value opens a message box while the settings load; nobody answers it.
    SettingsRecords records;
    records.options.set(formats::OptionId::AutoTicketNumbers, 7);
    const QByteArray original = encodeSettings(records);
    QFile file(settings_);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(original);
    file.close();

    startAndWaitForHandlers({QStringLiteral("--settings"), settings_});
    ASSERT_GE(endWith(SIGTERM), 0) << "the process is still running";
    EXPECT_EQ(fare_.exitCode(), 0);
    EXPECT_EQ(contents(settings_ + QStringLiteral(".bak")), original);
    SettingsRecords saved;
    ASSERT_TRUE(decodeSettings(contents(settings_), saved));
    EXPECT_EQ(saved.options.number(formats::OptionId::AutoTicketNumbers), 1)
        << "the default took the bad value's place";
}

TEST_F(FareProcessTest, ALostDisplaySavesBeforeTheProcessEnds)
{
    xtest::XServer server;
    ASSERT_TRUE(server.isRunning()) << "Xvfb did not start";

    QProcessEnvironment env = fare_.processEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QStringLiteral("DISPLAY"), server.display());
    // Under AddressSanitizer: libxkbcommon-x11's strndup over a keymap name that is not
    // NUL-terminated trips the strict string check, and Qt ends the process with exit(1),
    // leaving what the libraries hold; neither is this program's.
    if (env.contains(QStringLiteral("ASAN_OPTIONS")))
        env.insert(QStringLiteral("ASAN_OPTIONS"),
                   env.value(QStringLiteral("ASAN_OPTIONS")) +
                       QStringLiteral(":strict_string_checks=0:detect_leaks=0"));
    fare_.setProcessEnvironment(env);
    startAndWaitForHandlers({QStringLiteral("--settings"), settings_});
    // The windows are up once the handlers are: they come after the application object.
    QThread::msleep(500);
    server.kill();
    EXPECT_TRUE(fare_.waitForFinished(20000)) << "the process outlived its display";
    SettingsRecords saved;
    EXPECT_TRUE(decodeSettings(contents(settings_), saved));
}

} // namespace
