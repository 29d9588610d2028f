#pragma once

#include "app/faredisplaywindow.h"
#include "app/settingsfile.h"

#include <QObject>
#include <QString>
#include <memory>

class ControlPanelWiring;
class QSocketNotifier;
class ControlPanel;
class OptionsDialog;

// The running system: the fare display window, the options dialog and the control panel,
// brought up in their fixed order and taken down through the control panel.
class Program : public QObject
{
    Q_OBJECT
public:
    // settingsPath: the settings file (normally beside the executable).
    explicit Program(const QString& settingsPath = settingsFilePath());
    ~Program() override;

    // The start-up order: blank fares, built-in defaults, options loaded, control panel
    // shown, windows placed, display shaped and repainted, settings applied last.
    void start();

    FareDisplayWindow& display() { return display_; }
    OptionsDialog& options() { return *options_; }
    ControlPanel& controlPanel();

    // Ends the program as a confirmed exit does, without asking: used when the session
    // ends (SIGTERM, SIGHUP) and no one can answer.
    void shutDownWithoutQuestion();

    // Routes SIGTERM and SIGHUP to shutDownWithoutQuestion() through the event loop.
    void handleTerminationSignals();

private:
    void applyInitialDefaults();
    void placeWindowsAtDefaults();
    void saveSettings();

    QString settingsPath_;
    FareDisplayWindow display_;
    std::unique_ptr<OptionsDialog> options_;
    std::unique_ptr<ControlPanelWiring> wiring_;
    QSocketNotifier* signalNotifier_ = nullptr;
    bool settingsSaved_ = false;
};
