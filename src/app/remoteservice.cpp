#include "app/remoteservice.h"

#include "app/observedmessageboxes.h"
#include "app/program.h"
#include "core/announcements.h"
#include "core/routesession.h"
#include "sound/tape.h"

#include <QAbstractButton>
#include <QDBusConnectionInterface>
#include <QDBusError>
#include <QPointer>

namespace
{

const QString PropertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

bool isDigits(const QString& text)
{
    for (const QChar c : text)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

} // namespace

RemoteService::RemoteService(Program& program, ObservedMessageBoxes& boxes, QObject* parent)
    : QObject(parent), program_(program), boxes_(boxes)
{
    publishSoon_.setSingleShot(true);
    publishSoon_.setInterval(0);
    connect(&publishSoon_, &QTimer::timeout, this, &RemoteService::publishChanges);
    boxes_.setObserver([this](const platform::MessageBoxCall& call) { onMessageBox(call.prompt); });
    connectModels();
    published_ = properties();
}

RemoteService::~RemoteService()
{
    boxes_.setObserver({});
    if (registered_)
        connection_.unregisterObject(QLatin1String(ObjectPath));
}

bool RemoteService::registerOn(QDBusConnection connection, const QString& busName)
{
    connection_ = connection;
    registered_ = connection.registerObject(QLatin1String(ObjectPath), this,
                                            QDBusConnection::ExportScriptableContents);
    if (!registered_)
        return false;
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply =
        connection.interface()->registerService(busName, QDBusConnectionInterface::DontQueueService,
                                                QDBusConnectionInterface::DontAllowReplacement);
    return reply.isValid() && reply.value() == QDBusConnectionInterface::ServiceRegistered;
}

// ---------------------------------------------------------------------------------------------
// Properties

QString RemoteService::routeText() const
{
    return program_.routeSession().routeText();
}

int RemoteService::section() const
{
    return program_.routeSession().section();
}

int RemoteService::stopIndex() const
{
    return program_.routeSession().stopIndex();
}

QString RemoteService::stopName() const
{
    return program_.display().shownStopName();
}

QStringList RemoteService::fares() const
{
    QStringList shown;
    for (int i = 1; i <= FareDisplay::FareCount; ++i)
        shown.append(program_.display().shownFare(i));
    return shown;
}

bool RemoteService::nightFare() const
{
    return program_.controlPanel().consoleButton(ControlPanel::Button::NightFare)->isChecked();
}

bool RemoteService::displayCleared() const
{
    return program_.routeSession().displayCleared();
}

int RemoteService::backlight() const
{
    return static_cast<int>(program_.controlPanel().selectedBacklight());
}

int RemoteService::tapePosition() const
{
    return program_.tape().position();
}

QString RemoteService::tapeText() const
{
    const sound::BroadcastTape& tape = program_.tape();
    return tape.shownText(tape.position());
}

bool RemoteService::speechReady() const
{
    return program_.tape().isSpeechAvailable();
}

QVariantMap RemoteService::properties() const
{
    return {{QStringLiteral("RouteText"), routeText()},
            {QStringLiteral("Section"), section()},
            {QStringLiteral("StopIndex"), stopIndex()},
            {QStringLiteral("StopName"), stopName()},
            {QStringLiteral("Fares"), fares()},
            {QStringLiteral("NightFare"), nightFare()},
            {QStringLiteral("DisplayCleared"), displayCleared()},
            {QStringLiteral("Backlight"), backlight()},
            {QStringLiteral("TapePosition"), tapePosition()},
            {QStringLiteral("TapeText"), tapeText()},
            {QStringLiteral("SpeechReady"), speechReady()}};
}

// Every change of what the properties read comes with one of these signals; the changes are
// sent together once the event loop is back, and before each call's reply.
void RemoteService::connectModels()
{
    auto soon = [this] { publishSoon_.start(); };
    const core::RouteSession& route = program_.routeSession();
    connect(&route, &core::RouteSession::routeEntered, this, soon);
    connect(&route, &core::RouteSession::fareDataLoaded, this, [this, soon] {
        ++fareDataLoads_;
        soon();
    });
    connect(&route, &core::RouteSession::stopIndexChanged, this, soon);
    connect(&route, &core::RouteSession::displayClearedChanged, this, soon);
    const core::Announcements& announcements = program_.tape().announcements();
    connect(&announcements, &core::Announcements::entriesChanged, this, soon);
    connect(&announcements, &core::Announcements::positionChanged, this, soon);
    connect(&program_.tape(), &sound::BroadcastTape::speechAvailableChanged, this, soon);
    ControlPanel& panel = program_.controlPanel();
    connect(&panel, &ControlPanel::backlightChanged, this, soon);
    connect(panel.consoleButton(ControlPanel::Button::NightFare), &QAbstractButton::toggled, this,
            soon);
    connect(&panel, &ControlPanel::stopShown, this, [this](int index, const QString& name) {
        publishChanges();
        emit StopShown(index, name);
    });
}

void RemoteService::publishChanges()
{
    const QVariantMap now = properties();
    QVariantMap changed;
    for (auto it = now.cbegin(); it != now.cend(); ++it)
        if (published_.value(it.key()) != it.value())
            changed.insert(it.key(), it.value());
    published_ = now;
    if (changed.isEmpty() || !registered_)
        return;
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(ObjectPath), PropertiesInterface,
                                                     QStringLiteral("PropertiesChanged"));
    signal << QLatin1String(InterfaceName) << changed << QStringList();
    connection_.send(signal);
}

// ---------------------------------------------------------------------------------------------
// Calls

void RemoteService::carryOut(std::function<QString()> errorName,
                             const std::function<void()>& action)
{
    Call call;
    call.errorName = std::move(errorName);
    if (calledFromDBus()) {
        setDelayedReply(true);
        call.message = message();
    }
    calls_.push_back(call);
    const std::size_t depth = calls_.size();
    QPointer<RemoteService> self(this);
    action();
    // The program may have ended within the action's waits.
    if (!self || calls_.size() != depth)
        return;
    publishChanges();
    Call done = calls_.back();
    calls_.pop_back();
    if (!done.answered)
        answer(done, done.message.createReply());
}

void RemoteService::answer(Call& call, const QDBusMessage& reply)
{
    call.answered = true;
    if (call.message.type() == QDBusMessage::MethodCallMessage)
        connection_.send(reply);
}

// The box belongs to the innermost call: a call made during another's wait runs to its end
// before the outer one goes on.
void RemoteService::onMessageBox(const QString& text)
{
    if (calls_.empty() || calls_.back().answered)
        return;
    Call& call = calls_.back();
    publishChanges();
    answer(call, call.message.createErrorReply(call.errorName(), text));
}

void RemoteService::refuse(const QString& errorName, const QString& text)
{
    if (calledFromDBus())
        sendErrorReply(errorName, text);
}

namespace
{

QString failed()
{
    return QLatin1String(RemoteService::FailedError);
}

} // namespace

void RemoteService::press(ControlPanel::Button which)
{
    QAbstractButton* button = program_.controlPanel().consoleButton(which);
    if (!button->isEnabled()) {
        refuse(QLatin1String(NotAvailableError),
               QStringLiteral("「%1」は今は使えません。").arg(ControlPanel::buttonCaption(which)));
        return;
    }
    carryOut(failed, [button] { button->click(); });
}

void RemoteService::setChecked(ControlPanel::Button which, bool on)
{
    QAbstractButton* button = program_.controlPanel().consoleButton(which);
    if (button->isChecked() == on)
        return;
    press(which);
}

void RemoteService::SetRoute(const QString& route, const QString& section)
{
    if (route.isEmpty() || !isDigits(route) || !isDigits(section)) {
        refuse(QDBusError::errorString(QDBusError::InvalidArgs),
               QStringLiteral("系統と区間は数字で指定してください。"));
        return;
    }
    if (!program_.controlPanel().consoleButton(ControlPanel::Button::KeypadRouteSet)->isEnabled()) {
        refuse(QLatin1String(NotAvailableError),
               QStringLiteral("表示消去の間は系統を設定できません。"));
        return;
    }
    const quint64 loadsBefore = fareDataLoads_;
    carryOut(
        [this, loadsBefore] {
            return QLatin1String(fareDataLoads_ == loadsBefore ? RouteNotSetError : FailedError);
        },
        [this, route, section] { program_.controlPanel().setRouteFromText(route, section); });
}

void RemoteService::Next()
{
    press(ControlPanel::Button::StepForward);
}

void RemoteService::Back()
{
    press(ControlPanel::Button::StepBack);
}

void RemoteService::SetNightFare(bool on)
{
    setChecked(ControlPanel::Button::NightFare, on);
}

void RemoteService::SetDisplayClear(bool on)
{
    setChecked(ControlPanel::Button::DisplayClear, on);
}

void RemoteService::SetBacklight(int state)
{
    if (state < 0 || state > 2) {
        refuse(QDBusError::errorString(QDBusError::InvalidArgs),
               QStringLiteral("バックライトは 0 (OFF)、1 (ON1)、2 (ON2) のどれかです。"));
        return;
    }
    press(static_cast<ControlPanel::Button>(static_cast<int>(ControlPanel::Button::BacklightOff) +
                                            state));
}

void RemoteService::TapeNext()
{
    press(ControlPanel::Button::TapeNext);
}

void RemoteService::TapeBack()
{
    press(ControlPanel::Button::TapeBack);
}

void RemoteService::TapeStop()
{
    press(ControlPanel::Button::TapeStop);
}

void RemoteService::Raise()
{
    for (QWidget* window : {static_cast<QWidget*>(&program_.display()),
                            static_cast<QWidget*>(&program_.controlPanel())}) {
        window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
        window->show();
        window->raise();
    }
    program_.controlPanel().activateWindow();
}
