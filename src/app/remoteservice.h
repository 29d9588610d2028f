#pragma once

#include "operation/controlpanel.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>
#include <functional>
#include <vector>

class ObservedMessageBoxes;
class Program;

// The program on the session bus: interface jp.faretto.Fare1 at /jp/faretto/Fare. A thin
// layer over the console and the models: each method presses the console's button (so the
// sounds, the waits, the lamp test and the operator's message boxes are a click's) and
// answers when the click is done; the properties read the models and the display, and their
// changes go out as org.freedesktop.DBus.Properties.PropertiesChanged.
//
// A message box that the action opens answers the call at once with an error carrying the
// box's text, while the box stays up for the operator: the caller never waits on a person.
class RemoteService : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "jp.faretto.Fare1")
    Q_PROPERTY(QString RouteText READ routeText SCRIPTABLE true)
    Q_PROPERTY(int Section READ section SCRIPTABLE true)
    Q_PROPERTY(int StopIndex READ stopIndex SCRIPTABLE true)
    Q_PROPERTY(QString StopName READ stopName SCRIPTABLE true)
    Q_PROPERTY(QStringList Fares READ fares SCRIPTABLE true)
    Q_PROPERTY(bool NightFare READ nightFare SCRIPTABLE true)
    Q_PROPERTY(bool DisplayCleared READ displayCleared SCRIPTABLE true)
    Q_PROPERTY(int Backlight READ backlight SCRIPTABLE true)
    Q_PROPERTY(int TapePosition READ tapePosition SCRIPTABLE true)
    Q_PROPERTY(QString TapeText READ tapeText SCRIPTABLE true)
    Q_PROPERTY(bool SpeechReady READ speechReady SCRIPTABLE true)

public:
    static constexpr const char* ObjectPath = "/jp/faretto/Fare";
    static constexpr const char* InterfaceName = "jp.faretto.Fare1";
    // The errors a call can end with, besides the bus's own InvalidArgs.
    static constexpr const char* RouteNotSetError = "jp.faretto.Fare1.Error.RouteNotSet";
    static constexpr const char* NotAvailableError = "jp.faretto.Fare1.Error.NotAvailable";
    static constexpr const char* FailedError = "jp.faretto.Fare1.Error.Failed";

    // program and boxes (the boxes the program was given) outlive the service.
    RemoteService(Program& program, ObservedMessageBoxes& boxes, QObject* parent = nullptr);
    ~RemoteService() override;

    // Puts the object on the connection and takes the bus name; false when either was
    // refused (the name has another owner).
    bool registerOn(QDBusConnection connection, const QString& busName);

    // The properties, as read now.
    QString routeText() const;
    int section() const;
    int stopIndex() const;
    QString stopName() const;
    QStringList fares() const;
    bool nightFare() const;
    bool displayCleared() const;
    int backlight() const;
    int tapePosition() const;
    QString tapeText() const;
    bool speechReady() const;
    // Every property by its bus name.
    QVariantMap properties() const;

public slots:
    // The route and section typed on the keypad (digits), then "リセット".
    Q_SCRIPTABLE void SetRoute(const QString& route, const QString& section);
    Q_SCRIPTABLE void Next();
    Q_SCRIPTABLE void Back();
    Q_SCRIPTABLE void SetNightFare(bool on);
    Q_SCRIPTABLE void SetDisplayClear(bool on);
    // 0 OFF, 1 ON1, 2 ON2.
    Q_SCRIPTABLE void SetBacklight(int state);
    Q_SCRIPTABLE void TapeNext();
    Q_SCRIPTABLE void TapeBack();
    Q_SCRIPTABLE void TapeStop();
    // Shows both windows, raised and activated (a second start asks this).
    Q_SCRIPTABLE void Raise();

signals:
    // A stop is on the display: the stop index (as StopIndex) and its name.
    Q_SCRIPTABLE void StopShown(int index, const QString& name);

private:
    // A call being carried out; calls made during another's waits stack up.
    struct Call {
        QDBusMessage message; // empty when not called over the bus
        std::function<QString()> errorName;
        bool answered = false;
    };

    // Runs the action as the answer to the current call: an error if a box came up, the
    // plain reply otherwise.
    void carryOut(std::function<QString()> errorName, const std::function<void()>& action);
    // Presses a console button if it is usable now, else answers NotAvailable.
    void press(ControlPanel::Button button);
    // Sets a checkable console button to on, clicking it only when it differs.
    void setChecked(ControlPanel::Button button, bool on);
    void onMessageBox(const QString& text);
    void answer(Call& call, const QDBusMessage& reply);
    void refuse(const QString& errorName, const QString& text);
    void connectModels();
    // Sends PropertiesChanged for what differs from what was last sent.
    void publishChanges();

    Program& program_;
    ObservedMessageBoxes& boxes_;
    QDBusConnection connection_{QString()};
    bool registered_ = false;
    std::vector<Call> calls_;
    QVariantMap published_;
    QTimer publishSoon_;
    quint64 fareDataLoads_ = 0;
};
