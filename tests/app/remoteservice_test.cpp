// The bus interface against a program in this process, on a bus of the test's own: what a
// call does is what the console's click does, and what it cannot do comes back as an error.
#include "app/observedmessageboxes.h"
#include "app/program.h"
#include "app/remoteclient.h"
#include "app/remoteservice.h"
#include "app/singleinstance.h"
#include "core/routesession.h"
#include "operation/controlpanel.h"
#include "platform/msgbox.h"
#include "platform/wait.h"
#include "privatebus.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <unistd.h>

namespace
{

constexpr int CallLimitMs = 30000;
const QString ServiceName = QStringLiteral("jp.faretto.Fare.test");

// What the display shows and where the route stands, after one action.
struct Shown {
    QStringList fares;
    QString stopName;
    int stopIndex = 0;
    bool operator==(const Shown&) const = default;
};

Shown shownBy(Program& program)
{
    Shown shown;
    for (int i = 1; i <= FareDisplay::FareCount; ++i)
        shown.fares << program.display().shownFare(i);
    shown.stopName = program.display().shownStopName();
    shown.stopIndex = program.routeSession().stopIndex();
    return shown;
}

// Sees the interface's signals on the client's side.
class SignalLog : public QObject
{
    Q_OBJECT
public:
    std::vector<std::pair<int, QString>> stops;
    std::vector<QVariantMap> changes;

public slots:
    void stopShown(int index, const QString& name) { stops.emplace_back(index, name); }
    void propertiesChanged(const QString&, const QVariantMap& changed, const QStringList&)
    {
        changes.push_back(changed);
    }
};

class RemoteServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(bus_.isRunning()) << "dbus-daemon did not start";
        const QString name = QStringLiteral("t%1").arg(++connections_);
        service_ = QDBusConnection::connectToBus(bus_.address(), name + QStringLiteral("s"));
        client_ = QDBusConnection::connectToBus(bus_.address(), name + QStringLiteral("c"));
        ASSERT_TRUE(service_.isConnected() && client_.isConnected());
    }

    void TearDown() override
    {
        QDBusConnection::disconnectFromBus(service_.name());
        QDBusConnection::disconnectFromBus(client_.name());
    }

    std::unique_ptr<Program> makeProgram(const QString& settingsName)
    {
        auto program =
            std::make_unique<Program>(dir_.filePath(settingsName), clock_, observedBoxes_);
        program->start();
        core::Options& options = program->options();
        options.setFareDataFolder(QStringLiteral(FARE_SAMPLES_DIR));
        options.setBroadcastDataFolder(QStringLiteral(FARE_SAMPLES_DIR));
        options.setRouteSetSound(QStringLiteral(FARE_SAMPLES_DIR "/sounds/click.wav"));
        options.setStepSoundFile(QStringLiteral(FARE_SAMPLES_DIR "/sounds/chime.wav"));
        program->media().setRecorder(
            [this](const QString& command, int) { mediaLog_.append(command); });
        return program;
    }

    // Calls a method from the client's connection and waits for its answer: the service
    // runs on this thread, so the wait lets the event loop run.
    QDBusMessage call(const QString& method, const QVariantList& arguments = {})
    {
        QDBusMessage message =
            QDBusMessage::createMethodCall(ServiceName, QLatin1String(RemoteService::ObjectPath),
                                           QLatin1String(RemoteService::InterfaceName), method);
        message.setArguments(arguments);
        return waitFor(client_.asyncCall(message, CallLimitMs));
    }

    static QDBusMessage waitFor(QDBusPendingCall pending)
    {
        const QDeadlineTimer deadline(CallLimitMs);
        while (!pending.isFinished() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        return pending.reply();
    }

    // Lets the signals sent so far arrive.
    void deliverSignals(const std::function<bool()>& done)
    {
        const QDeadlineTimer deadline(CallLimitMs);
        while (!done() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    }

    static inline int connections_ = 0;
    QTemporaryDir dir_;
    bustest::PrivateBus bus_;
    QDBusConnection service_{QString()};
    QDBusConnection client_{QString()};
    platform::ManualClock clock_;
    platform::MessageBoxRecorder boxes_{platform::MessageBox::No};
    ObservedMessageBoxes observedBoxes_{boxes_};
    QStringList mediaLog_;
};

TEST_F(RemoteServiceTest, ARouteDrivenOverTheBusSoundsAndShowsWhatClicksDo)
{
    using Button = ControlPanel::Button;
    QStringList clickedLog;
    std::vector<Shown> clicked;
    {
        auto program = makeProgram(QStringLiteral("clicks.in4"));
        ControlPanel& panel = program->controlPanel();
        panel.setRouteFromText(QStringLiteral("12"), QStringLiteral("1")); // the keypad's path
        clicked.push_back(shownBy(*program));
        for (Button button : {Button::StepForward, Button::StepForward, Button::NightFare,
                              Button::StepBack, Button::DisplayClear, Button::DisplayClear,
                              Button::BacklightOn1, Button::StepForward}) {
            panel.consoleButton(button)->click();
            clicked.push_back(shownBy(*program));
        }
        clickedLog = mediaLog_;
        mediaLog_.clear();
    }
    ASSERT_TRUE(boxes_.calls().empty()) << boxes_.calls().front().prompt.toStdString();
    ASSERT_FALSE(clickedLog.isEmpty()) << "the route's sounds were not played";
    EXPECT_EQ(clicked[1].stopIndex, 1);

    auto program = makeProgram(QStringLiteral("remote.in4"));
    RemoteService remote(*program, observedBoxes_);
    ASSERT_TRUE(remote.registerOn(service_, ServiceName));
    std::vector<Shown> remoteShown;
    const std::vector<std::pair<QString, QVariantList>> calls = {
        {QStringLiteral("SetRoute"), {QStringLiteral("12"), QStringLiteral("1")}},
        {QStringLiteral("Next"), {}},
        {QStringLiteral("Next"), {}},
        {QStringLiteral("SetNightFare"), {true}},
        {QStringLiteral("Back"), {}},
        {QStringLiteral("SetDisplayClear"), {true}},
        {QStringLiteral("SetDisplayClear"), {false}},
        {QStringLiteral("SetBacklight"), {1}},
        {QStringLiteral("Next"), {}}};
    for (const auto& [method, arguments] : calls) {
        const QDBusMessage reply = call(method, arguments);
        ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage)
            << method.toStdString() << ": " << reply.errorMessage().toStdString();
        remoteShown.push_back(shownBy(*program));
    }
    EXPECT_EQ(mediaLog_, clickedLog);
    ASSERT_EQ(remoteShown.size(), clicked.size());
    for (std::size_t i = 0; i < clicked.size(); ++i) {
        EXPECT_EQ(remoteShown[i].fares, clicked[i].fares) << "after call " << i;
        EXPECT_EQ(remoteShown[i].stopName, clicked[i].stopName) << "after call " << i;
        EXPECT_EQ(remoteShown[i].stopIndex, clicked[i].stopIndex) << "after call " << i;
    }
    // The properties read what the display shows.
    EXPECT_EQ(remote.fares(), remoteShown.back().fares);
    EXPECT_EQ(remote.stopName(), remoteShown.back().stopName);
    EXPECT_TRUE(remote.nightFare());
    EXPECT_EQ(remote.backlight(), 1);
    EXPECT_EQ(remote.routeText(), QStringLiteral("12"));
}

TEST_F(RemoteServiceTest, AMissingRouteAnswersAtOnceWithTheTextOfTheBoxTheOperatorSees)
{
    auto program = makeProgram(QStringLiteral("fare.in4"));
    RemoteService remote(*program, observedBoxes_);
    ASSERT_TRUE(remote.registerOn(service_, ServiceName));
    QDBusMessage message = QDBusMessage::createMethodCall(
        ServiceName, QLatin1String(RemoteService::ObjectPath),
        QLatin1String(RemoteService::InterfaceName), QStringLiteral("SetRoute"));
    message << QStringLiteral("999") << QStringLiteral("1");
    QDBusPendingCall pending = client_.asyncCall(message, CallLimitMs);
    // The operator's box stays up until the caller has its answer.
    bool answeredWhileTheBoxWasUp = false;
    boxes_.setResponder([&](const platform::MessageBoxCall&) {
        answeredWhileTheBoxWasUp = waitFor(pending).type() == QDBusMessage::ErrorMessage;
        return platform::MessageBox::OK;
    });
    const QDBusMessage reply = waitFor(pending);
    ASSERT_EQ(boxes_.calls().size(), 1u);
    EXPECT_TRUE(answeredWhileTheBoxWasUp);
    ASSERT_EQ(reply.type(), QDBusMessage::ErrorMessage);
    EXPECT_EQ(reply.errorName(), QLatin1String(RemoteService::RouteNotSetError));
    EXPECT_EQ(reply.errorMessage(), boxes_.calls()[0].prompt);
    EXPECT_TRUE(reply.errorMessage().contains(QStringLiteral("系統"))) << "not the box's text";

    // The next call is answered as usual.
    boxes_.setResponder({});
    EXPECT_EQ(call(QStringLiteral("SetRoute"), {QStringLiteral("12"), QStringLiteral("1")}).type(),
              QDBusMessage::ReplyMessage);
}

TEST_F(RemoteServiceTest, WhatTheConsoleCannotDoNowOrAtAllIsRefused)
{
    auto program = makeProgram(QStringLiteral("fare.in4"));
    RemoteService remote(*program, observedBoxes_);
    ASSERT_TRUE(remote.registerOn(service_, ServiceName));

    QDBusMessage reply = call(QStringLiteral("Next"));
    EXPECT_EQ(reply.errorName(), QLatin1String(RemoteService::NotAvailableError));
    EXPECT_EQ(reply.errorMessage(), QStringLiteral("「データ送り」は今は使えません。"));
    EXPECT_EQ(call(QStringLiteral("SetBacklight"), {3}).errorName(),
              QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));
    EXPECT_EQ(
        call(QStringLiteral("SetRoute"), {QStringLiteral("1a"), QStringLiteral("1")}).errorName(),
        QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"));

    ASSERT_EQ(call(QStringLiteral("SetRoute"), {QStringLiteral("12"), QStringLiteral("1")}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_EQ(call(QStringLiteral("SetDisplayClear"), {true}).type(), QDBusMessage::ReplyMessage);
    // Display clear holds the route entry, the steps and the night fare, as on the console.
    EXPECT_EQ(call(QStringLiteral("Next")).errorName(),
              QLatin1String(RemoteService::NotAvailableError));
    EXPECT_EQ(
        call(QStringLiteral("SetRoute"), {QStringLiteral("12"), QStringLiteral("1")}).errorName(),
        QLatin1String(RemoteService::NotAvailableError));
    EXPECT_EQ(call(QStringLiteral("SetNightFare"), {true}).errorName(),
              QLatin1String(RemoteService::NotAvailableError));
    // Asking for the state it is in already does nothing and succeeds.
    EXPECT_EQ(call(QStringLiteral("SetDisplayClear"), {true}).type(), QDBusMessage::ReplyMessage);
    EXPECT_TRUE(remote.displayCleared());
    EXPECT_EQ(remote.stopName(), QString());
    EXPECT_TRUE(boxes_.calls().empty());
}

TEST_F(RemoteServiceTest, StopsShownAndChangedPropertiesAreSignalled)
{
    auto program = makeProgram(QStringLiteral("fare.in4"));
    RemoteService remote(*program, observedBoxes_);
    ASSERT_TRUE(remote.registerOn(service_, ServiceName));
    SignalLog log;
    ASSERT_TRUE(client_.connect(ServiceName, QLatin1String(RemoteService::ObjectPath),
                                QLatin1String(RemoteService::InterfaceName),
                                QStringLiteral("StopShown"), &log, SLOT(stopShown(int, QString))));
    ASSERT_TRUE(client_.connect(ServiceName, QLatin1String(RemoteService::ObjectPath),
                                QStringLiteral("org.freedesktop.DBus.Properties"),
                                QStringLiteral("PropertiesChanged"), &log,
                                SLOT(propertiesChanged(QString, QVariantMap, QStringList))));

    ASSERT_EQ(call(QStringLiteral("SetRoute"), {QStringLiteral("12"), QStringLiteral("1")}).type(),
              QDBusMessage::ReplyMessage);
    ASSERT_EQ(call(QStringLiteral("Next")).type(), QDBusMessage::ReplyMessage);
    deliverSignals([&] { return log.stops.size() >= 2; });
    ASSERT_EQ(log.stops.size(), 2u);
    EXPECT_EQ(log.stops[0], std::make_pair(0, program->routeSession().row(1).stopName));
    EXPECT_EQ(log.stops[1], std::make_pair(1, program->routeSession().row(2).stopName));

    // Every property that changed was told, with its last value.
    QVariantMap latest;
    for (const QVariantMap& change : log.changes)
        latest.insert(change);
    EXPECT_EQ(latest.value(QStringLiteral("RouteText")).toString(), QStringLiteral("12"));
    EXPECT_EQ(latest.value(QStringLiteral("StopIndex")).toInt(), 1);
    EXPECT_EQ(latest.value(QStringLiteral("StopName")).toString(), remote.stopName());
    EXPECT_EQ(latest.value(QStringLiteral("Fares")).toStringList(), remote.fares());
    EXPECT_FALSE(latest.contains(QStringLiteral("Backlight"))) << "told without a change";
}

TEST_F(RemoteServiceTest, TheRemoteCarriesOutACommandAndFailsWhereNothingRuns)
{
    QFile out;
    QFile err;
    QTemporaryDir outputs;
    out.setFileName(outputs.filePath(QStringLiteral("out")));
    err.setFileName(outputs.filePath(QStringLiteral("err")));
    ASSERT_TRUE(out.open(QIODevice::ReadWrite) && err.open(QIODevice::ReadWrite));
    const RemoteCommand next = parseRemoteCommand(
        {QStringLiteral("fare"), QStringLiteral("remote"), QStringLiteral("next")});
    EXPECT_EQ(runRemoteCommand(next, client_, ServiceName, out, err), RemoteFailed);
    err.seek(0);
    EXPECT_EQ(QString::fromUtf8(err.readAll()),
              QStringLiteral("fare remote: この設定ファイルのファレットは動いていません。\n"));
}

// ---------------------------------------------------------------------------------------------
// Names, locks and the command line

TEST(SingleInstanceNames, EachSettingsFileHasItsOwnBusNameAndTheUsualOneTheShortName)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("real")));
    ASSERT_TRUE(
        QFile::link(dir.filePath(QStringLiteral("real")), dir.filePath(QStringLiteral("link"))));
    const QString usual = dir.filePath(QStringLiteral("real/fare.in4"));
    EXPECT_EQ(busNameForSettings(usual, usual), QStringLiteral("jp.faretto.Fare"));
    // The same file through a link to its folder is the same program.
    EXPECT_EQ(busNameForSettings(dir.filePath(QStringLiteral("link/fare.in4")), usual),
              QStringLiteral("jp.faretto.Fare"));
    const QString other = busNameForSettings(dir.filePath(QStringLiteral("real/b.in4")), usual);
    EXPECT_TRUE(other.startsWith(QStringLiteral("jp.faretto.Fare.s")));
    EXPECT_EQ(other.size(), QStringLiteral("jp.faretto.Fare.s").size() + 16);
    EXPECT_EQ(busNameForSettings(dir.filePath(QStringLiteral("link/b.in4")), usual), other);
    EXPECT_NE(busNameForSettings(dir.filePath(QStringLiteral("real/c.in4")), usual), other);
    EXPECT_EQ(lockPathForSettings(usual), usual + QStringLiteral(".lock"));
}

TEST(SingleInstanceLock, ASecondClaimWithoutABusIsRefusedUntilTheFirstEnds)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString settings = dir.filePath(QStringLiteral("fare.in4"));
    QDBusConnection noBus{QString()};
    {
        SingleInstance first(settings, noBus, QStringLiteral("jp.faretto.Fare"));
        ASSERT_EQ(first.claim(0), SingleInstance::Outcome::First);
        SingleInstance second(settings, noBus, QStringLiteral("jp.faretto.Fare"));
        EXPECT_EQ(second.claim(0), SingleInstance::Outcome::Refused);
        SingleInstance other(dir.filePath(QStringLiteral("b.in4")), noBus, QStringLiteral("x.y"));
        EXPECT_EQ(other.claim(0), SingleInstance::Outcome::First);
    }
    SingleInstance later(settings, noBus, QStringLiteral("jp.faretto.Fare"));
    EXPECT_EQ(later.claim(0), SingleInstance::Outcome::First);
}

TEST(RemoteCommandLine, EveryConsoleActionHasItsCommand)
{
    auto parse = [](const QStringList& words) {
        return parseRemoteCommand(QStringList{QStringLiteral("fare"), QStringLiteral("remote")} +
                                  words);
    };
    struct Case {
        QStringList words;
        QString method;
        QVariantList arguments;
    };
    const std::vector<Case> cases = {
        {{"route", "12", "1"}, "SetRoute", {QStringLiteral("12"), QStringLiteral("1")}},
        {{"route", "012"}, "SetRoute", {QStringLiteral("012"), QStringLiteral("1")}},
        {{"next"}, "Next", {}},
        {{"back"}, "Back", {}},
        {{"night", "on"}, "SetNightFare", {true}},
        {{"night", "off"}, "SetNightFare", {false}},
        {{"clear", "on"}, "SetDisplayClear", {true}},
        {{"backlight", "2"}, "SetBacklight", {2}},
        {{"tape", "next"}, "TapeNext", {}},
        {{"tape", "back"}, "TapeBack", {}},
        {{"tape", "stop"}, "TapeStop", {}},
    };
    for (const Case& c : cases) {
        const RemoteCommand command = parse(c.words);
        EXPECT_EQ(command.action, RemoteCommand::Action::Call) << c.words.join(' ').toStdString();
        EXPECT_EQ(command.method, c.method);
        EXPECT_EQ(command.arguments, c.arguments) << c.words.join(' ').toStdString();
    }
    EXPECT_EQ(parse({"status"}).action, RemoteCommand::Action::Status);
    EXPECT_EQ(parse({"watch"}).action, RemoteCommand::Action::Watch);
    EXPECT_EQ(parse({"--help"}).action, RemoteCommand::Action::ShowHelp);
    const RemoteCommand targeted = parse({"--settings", "b.in4", "next"});
    EXPECT_EQ(targeted.method, QStringLiteral("Next"));
    EXPECT_EQ(targeted.settingsPath, QDir::current().absoluteFilePath(QStringLiteral("b.in4")));
    for (const QStringList& wrong : {QStringList{},
                                     {"fly"},
                                     {"route"},
                                     {"route", "1a"},
                                     {"route", "1", "2", "3"},
                                     {"night", "yes"},
                                     {"backlight", "3"},
                                     {"backlight", "-1"},
                                     {"tape", "play"},
                                     {"next", "now"},
                                     {"--settings"},
                                     {"--bogus", "next"}}) {
        const RemoteCommand command = parse(wrong);
        EXPECT_EQ(command.action, RemoteCommand::Action::Fail) << wrong.join(' ').toStdString();
        EXPECT_TRUE(command.message.startsWith(QStringLiteral("fare remote: ")));
    }
}

} // namespace

#include "remoteservice_test.moc"
