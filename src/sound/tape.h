#pragma once

#include "sound/tapefile.h"

#include <QObject>
#include <QString>
#include <memory>
#include <vector>

class QWidget;

namespace speech
{
class SpeechEngine;
}

namespace sound
{

// The broadcast tape: the announcements of the current route, stepped through and spoken
// one by one, and the state of the control panel's tape group that goes with it.
class BroadcastTape : public QObject
{
    Q_OBJECT
public:
    explicit BroadcastTape(QObject* parent = nullptr);
    ~BroadcastTape() override;

    // Creates the speech engine (control panel load) and decides the group's state.
    void InitSpeech();
    // Loads "<folder><route>tp.csv"; folder already ends in a separator when not empty.
    void LoadTape(const QString& folder, const QString& route);
    void StepTapeForward();
    void StepTapeBack();
    void SpeakEntry(int p);
    void StopSpeech();
    void ShowSpeechSettings(QWidget* owner);
    void ReleaseSpeech();

    // The tape buttons: a step, then a data step when the new position's StepFlag is 1.
    void PressTapeNext();
    void PressTapeBack();

    int TapePos() const { return tapePos_; }
    int TapeCount() const { return int(entries_.size()); }
    // 0 when p is outside 1..TapeCount.
    int StepFlag(int p) const;
    int SoundFlag(int p) const;
    QString TapeText(int p) const;
    bool SpeechAvailable() const { return speechAvailable_; }

    // State of the group grpM_Tape and its four buttons.
    bool groupEnabled() const { return groupEnabled_; }
    QString groupCaption() const { return groupCaption_; }
    bool buttonsEnabled() const { return buttonsEnabled_; }

    static QString captionUsable();   // "音合使用可"
    static QString captionUnusable(); // "音合使用不可"

signals:
    void groupEnabledChanged(bool enabled);
    void groupCaptionChanged(const QString& caption);
    void buttonsEnabledChanged(bool enabled);
    // 1 = forward ("データ送り"), 0 = back ("データ戻し").
    void dataStepRequested(int direction);

private:
    static bool onVista();
    void setGroupEnabled(bool enabled);
    void setGroupCaption(const QString& caption);
    void setButtonsEnabled(bool enabled);
    void playPreBroadcast(const QString& file, const QString& channel);
    const TapeEntry* entry(int p) const;

    std::vector<TapeEntry> entries_;
    int tapePos_ = 0;
    bool speechAvailable_ = false;
    std::unique_ptr<speech::SpeechEngine> engine_;
    bool groupEnabled_ = true;
    QString groupCaption_;
    bool buttonsEnabled_ = true;
};

// The one tape of the program.
BroadcastTape& theTape();

// True when a directory lookup of the path finds a file.
bool FileExists(const QString& path);

} // namespace sound
