#pragma once

#include "audio/midirenderer.h"
#include "audio/mixer.h"
#include "controlpaneltestsupport.h"

#include "audio/mediaplayer.h"
#include "audio/startgate.h"
#include "core/announcements.h"
#include "operation/controlpanel.h"
#include "operation/keypadbutton.h"
#include "platform/msgbox.h"
#include "platform/wait.h"
#include "sound/soundplayer.h"
#include "sound/tape.h"
#include "support/widgetlookup.h"

#include <QApplication>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace paneltest
{

// A double-click at a point of the target, left button, as the mouse sends it.
inline void doubleClick(QWidget* target, QPointF at = QPointF(5, 5))
{
    QMouseEvent event(QEvent::MouseButtonDblClick, at, target->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A control panel on a stand-in display, with options in a temporary folder, a manual clock
// and recorded message boxes and media commands.
class ControlPanelTest : public ::testing::Test
{
protected:
    ControlPanelTest()
    {
        testsupport::application();
        setTestDefaults(options);
        options.setFareDataFolder(dir.path());
        options.setBroadcastDataFolder(dir.path());
        panel = std::make_unique<ControlPanel>(&display, options, DataFolderSource(options), &tape,
                                               &session, &sounds, clock, messages);
        media.setRecorder([this](const QString& command, int) { mciCommands.push_back(command); });
    }
    ~ControlPanelTest() override { media.setRecorder({}); }

    template <class T> T* widget(const QString& name) { return findWidget<T>(*panel, name); }
    QPushButton* button(const QString& name) { return widget<QPushButton>(name); }
    KeypadButton* key(int index)
    {
        return widget<KeypadButton>(QStringLiteral("keypadKey%1").arg(index));
    }
    QFrame* entryPanel(int index)
    {
        return widget<QFrame>(QStringLiteral("routeEntryPanel%1").arg(index));
    }
    QLabel* label(const QString& name) { return widget<QLabel>(name); }
    QScrollBar* scrollBar(const QString& name) { return widget<QScrollBar>(name); }

    // Shown and active, so that the keyboard focus is real.
    void showActive()
    {
        panel->show();
        panel->activateWindow();
        QApplication::processEvents();
    }
    void press(int index) { key(index)->click(); }
    void enter(const QString& routeText, const QString& section)
    {
        press(10);
        for (QChar c : routeText)
            press(c.digitValue());
        press(11);
        for (QChar c : section)
            press(c.digitValue());
    }
    void setRoute(const QString& routeText, const QString& section)
    {
        enter(routeText, section);
        button("keypadRouteSetButton")->click();
    }
    // A key pressed and released on a control of the panel (the panel itself by default).
    void type(int keyCode, QWidget* on = nullptr, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = on ? on : panel.get();
        // Printable keys carry their text, as a keyboard sends them.
        const QString text =
            keyCode >= 0x20 && keyCode < 0x7F ? QString(QChar(keyCode)).toLower() : QString();
        QKeyEvent down(QEvent::KeyPress, keyCode, modifiers, text);
        QApplication::sendEvent(target, &down);
        QKeyEvent up(QEvent::KeyRelease, keyCode, modifiers, text);
        QApplication::sendEvent(target, &up);
    }
    QString lastShown()
    {
        return display.board()->shown.empty() ? QString() : display.board()->shown.back().name;
    }
    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly);
        file.write(bytes);
        return file.fileName();
    }
    bool playedOn(const QString& channel) const
    {
        for (const QString& command : mciCommands)
            if (command.startsWith(QStringLiteral("close ")) && command.endsWith(channel))
                return true;
        return false;
    }
    // How many media commands opened a file whose name holds `name`.
    int timesOpened(const QString& name) const
    {
        int count = 0;
        for (const QString& command : mciCommands)
            count += command.startsWith(QStringLiteral("open ")) && command.contains(name);
        return count;
    }

    QTemporaryDir dir;
    platform::ManualClock clock;
    platform::MessageBoxRecorder messages;
    core::Options options;
    testsupport::StandInDisplay display;
    audio::AudioOutput output;
    audio::MidiRenderer midi;
    audio::MediaPlayer media{output, midi, clock};
    sound::SoundPlayer sounds{media};
    audio::StartGate startGate;
    core::Announcements announcements;
    sound::BroadcastTape tape{announcements, sounds, options, &startGate};
    core::RouteSession session;
    std::unique_ptr<ControlPanel> panel;
    std::vector<QString> mciCommands;
};

} // namespace paneltest
