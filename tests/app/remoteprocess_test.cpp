// One program per settings file, on the real program: a second start raises the first and
// ends, other settings files run beside it, and without a bus the lock refuses the copy.
#include "privatebus.h"
#include "xsession.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>
#include <memory>

namespace
{

using xtest::waitFor;

constexpr int RunLimitMs = 30000;

// True once the process has its handler for SIGTERM: a SIGTERM then ends it orderly.
bool catchesTerm(qint64 pid)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    if (!status.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("SigCgt:"))
            return (line.mid(7).trimmed().toULongLong(nullptr, 16) >> (SIGTERM - 1)) & 1;
    return false;
}

// The process whose id a lock file holds.
QByteArray lockHolder(const QString& lockPath)
{
    QFile lock(lockPath);
    return lock.open(QIODevice::ReadOnly) ? lock.readLine().trimmed() : QByteArray();
}

class RemoteProcessTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { xtest::makeThisProcessTheSubreaper(); }

    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        env_ = QProcessEnvironment::systemEnvironment();
        env_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env_.insert(QStringLiteral("HOME"), dir_.path());
        env_.insert(QStringLiteral("XDG_CONFIG_HOME"), dir_.filePath(QStringLiteral("config")));
        env_.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("disk"));
        env_.insert(QStringLiteral("SDL_DISKAUDIOFILE"), QStringLiteral("/dev/null"));
        env_.remove(QStringLiteral("XDG_RUNTIME_DIR"));
    }

    void TearDown() override
    {
        for (auto& fare : running_) {
            if (fare->state() != QProcess::NotRunning) {
                fare->kill();
                fare->waitForFinished(10000);
            }
        }
        xtest::endOrphans(xtest::inheritedOrphans({}));
    }

    void useBus(const bustest::PrivateBus& bus)
    {
        env_.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), bus.address());
    }
    void useNoBus() { env_.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS")); }

    QString settings(const QString& name) const { return dir_.filePath(name); }

    // Starts fare on a settings file and waits until it runs: it holds the lock, catches
    // SIGTERM and, on a bus, answers there.
    QProcess& start(const QString& settingsName)
    {
        running_.push_back(std::make_unique<QProcess>());
        QProcess& fare = *running_.back();
        fare.setProcessEnvironment(env_);
        fare.setProcessChannelMode(QProcess::ForwardedChannels);
        fare.start(QStringLiteral(FARE_EXECUTABLE),
                   {QStringLiteral("--settings"), settings(settingsName), QStringLiteral("--data"),
                    QStringLiteral(FARE_SAMPLES_DIR)});
        EXPECT_TRUE(fare.waitForStarted(RunLimitMs));
        const bool withBus = env_.contains(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        EXPECT_TRUE(waitFor(
            [&] {
                const QString lock = settings(settingsName) + QStringLiteral(".lock");
                return lockHolder(lock) == QByteArray::number(fare.processId()) &&
                       catchesTerm(fare.processId()) &&
                       (!withBus || remote(settingsName, {QStringLiteral("status")}).status == 0);
            },
            RunLimitMs))
            << "fare did not come up";
        return fare;
    }

    struct Run {
        int status = -1;
        QString out;
        QString err;
    };

    // Runs fare with arguments to its end.
    Run run(const QStringList& arguments)
    {
        QProcess process;
        process.setProcessEnvironment(env_);
        process.start(QStringLiteral(FARE_EXECUTABLE), arguments);
        Run result;
        if (!process.waitForFinished(RunLimitMs)) {
            process.kill();
            process.waitForFinished(10000);
            return result;
        }
        result.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    Run remote(const QString& settingsName, const QStringList& command)
    {
        return run(QStringList{QStringLiteral("remote"), QStringLiteral("--settings"),
                               settings(settingsName)} +
                   command);
    }

    static bool endsOrderly(QProcess& fare)
    {
        ::kill(pid_t(fare.processId()), SIGTERM);
        return fare.waitForFinished(10000) && fare.exitStatus() == QProcess::NormalExit &&
               fare.exitCode() == 0;
    }

    QTemporaryDir dir_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> running_;
};

TEST_F(RemoteProcessTest, ASecondStartRaisesTheFirstAndEnds)
{
    bustest::PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    useBus(bus);
    QProcess& first = start(QStringLiteral("fare.in4"));
    ASSERT_EQ(
        remote(QStringLiteral("fare.in4"), {QStringLiteral("route"), QStringLiteral("12")}).status,
        0);

    const Run second = run({QStringLiteral("--settings"), settings(QStringLiteral("fare.in4"))});
    EXPECT_EQ(second.status, 0) << second.err.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);
    // The first copy still has the route the remote set: the second never took over.
    const Run status = remote(QStringLiteral("fare.in4"), {QStringLiteral("status")});
    EXPECT_TRUE(status.out.contains(QStringLiteral("\"RouteText\": \"12\"")))
        << status.out.toStdString();
    EXPECT_TRUE(endsOrderly(first));
    // Once it has ended, nothing answers.
    const Run none = remote(QStringLiteral("fare.in4"), {QStringLiteral("next")});
    EXPECT_EQ(none.status, 1);
    EXPECT_TRUE(none.err.contains(QStringLiteral("動いていません"))) << none.err.toStdString();
}

TEST_F(RemoteProcessTest, TwoSettingsFilesRunSideBySideAndTheRemoteReachesEach)
{
    bustest::PrivateBus bus;
    ASSERT_TRUE(bus.isRunning());
    useBus(bus);
    QProcess& a = start(QStringLiteral("a.in4"));
    QProcess& b = start(QStringLiteral("b.in4"));
    EXPECT_EQ(a.state(), QProcess::Running);
    EXPECT_EQ(b.state(), QProcess::Running);
    ASSERT_EQ(remote(QStringLiteral("b.in4"),
                     {QStringLiteral("route"), QStringLiteral("12"), QStringLiteral("1")})
                  .status,
              0);
    EXPECT_EQ(remote(QStringLiteral("b.in4"), {QStringLiteral("next")}).status, 0);
    const Run missing =
        remote(QStringLiteral("a.in4"), {QStringLiteral("route"), QStringLiteral("999")});
    EXPECT_EQ(missing.status, 1);
    EXPECT_TRUE(missing.err.startsWith(QStringLiteral("fare remote: ")))
        << missing.err.toStdString();
    const Run statusA = remote(QStringLiteral("a.in4"), {QStringLiteral("status")});
    const Run statusB = remote(QStringLiteral("b.in4"), {QStringLiteral("status")});
    EXPECT_TRUE(statusA.out.contains(QStringLiteral("\"StopIndex\": 0")))
        << statusA.out.toStdString();
    EXPECT_TRUE(statusB.out.contains(QStringLiteral("\"StopIndex\": 1")))
        << statusB.out.toStdString();
    EXPECT_EQ(remote(QStringLiteral("b.in4"), {QStringLiteral("fly")}).status, 2);
    EXPECT_TRUE(endsOrderly(a));
    EXPECT_TRUE(endsOrderly(b));
}

TEST_F(RemoteProcessTest, WithoutABusTheLockRefusesASecondCopyUntilTheFirstIsGone)
{
    useNoBus();
    QProcess& first = start(QStringLiteral("fare.in4"));
    const Run second = run({QStringLiteral("--settings"), settings(QStringLiteral("fare.in4"))});
    EXPECT_EQ(second.status, 1);
    EXPECT_TRUE(
        second.err.contains(QStringLiteral("この設定ファイルを使うファレットがもう動いています")))
        << second.err.toStdString();
    EXPECT_EQ(first.state(), QProcess::Running);

    // A copy that was killed leaves its lock behind; the next start takes it over.
    first.kill();
    ASSERT_TRUE(first.waitForFinished(10000));
    ASSERT_TRUE(QFile::exists(settings(QStringLiteral("fare.in4.lock"))));
    QProcess& third = start(QStringLiteral("fare.in4"));
    EXPECT_EQ(third.state(), QProcess::Running);
    EXPECT_TRUE(endsOrderly(third));
}

} // namespace
