#pragma once

#include "sound/tapefile.h"

#include <QObject>
#include <QString>
#include <memory>
#include <thread>
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

    // Starts creating the speech engine (control panel load) on a worker thread, once the
    // start-up work may run. Until it is ready the group reads "音合使用不可", as after a
    // failed creation, and then switches; a tape loaded meanwhile is kept.
    void initSpeech();
    // Loads "<folder><route>tp.csv" (or the name differing from it only in letter case);
    // folder already ends in a separator when not empty.
    void loadTape(const QString& folder, const QString& route);
    // Moves one announcement on or back, plays its pre-broadcast sound and speaks it; at
    // either end the position stays and nothing sounds. After every move the entry that
    // "送り" speaks next is made ready in the background.
    void stepForward();
    void stepBack();
    void speakEntry(int position);
    void stopSpeech();
    void showSpeechSettings(QWidget* owner);
    void releaseSpeech();

    // The tape buttons "送り" and "戻し": a step, then a data step when the new position's
    // step flag is 1.
    void pressNext();
    void pressBack();

    int position() const { return position_; }
    int entryCount() const { return int(entries_.size()); }
    // Fields of the entry at a one-based position; 0 or empty outside 1..entryCount.
    int stepFlag(int position) const;
    int soundFlag(int position) const;
    QString entryText(int position) const;
    bool isSpeechAvailable() const { return speechAvailable_; }

    // State of the control panel's broadcast group and its four buttons.
    bool groupEnabled() const { return groupEnabled_; }
    QString groupCaption() const { return groupCaption_; }
    bool buttonsEnabled() const { return buttonsEnabled_; }
    // Which broadcast data file the last load read, with its encoding, or which file it
    // missed and why: a missing file switches the tape off without a message, so the
    // control panel shows this note as the group's tool tip.
    QString fileNote() const { return fileNote_; }

    static QString captionUsable();   // "音合使用可"
    static QString captionUnusable(); // "音合使用不可"

signals:
    void groupEnabledChanged(bool enabled);
    void groupCaptionChanged(const QString& caption);
    void buttonsEnabledChanged(bool enabled);
    void fileNoteChanged(const QString& note);
    // 1 = forward ("データ送り"), 0 = back ("データ戻し").
    void dataStepRequested(int direction);
    // The speech engine is created, or could not be.
    void speechDecided(bool available);

private:
    static bool isWindowsVista();
    void createEngineInBackground(quint64 generation);
    void onEngineCreated(quint64 generation, std::unique_ptr<speech::SpeechEngine> engine);
    void prepareNext();
    void setGroupEnabled(bool enabled);
    void setGroupCaption(const QString& caption);
    void setButtonsEnabled(bool enabled);
    void setFileNote(const QString& note);
    void playPreBroadcast(const QString& file, const QString& channel);
    const TapeEntry* entry(int position) const;

    std::vector<TapeEntry> entries_;
    int position_ = 0;
    bool speechAvailable_ = false;
    std::unique_ptr<speech::SpeechEngine> engine_;
    quint64 engineGeneration_ = 0; // a newer initSpeech or a release drops older creations
    std::thread engineCreator_;
    bool tapeLoaded_ = false; // the last load read a file
    bool tapeFailed_ = false; // the last load found none or a broken one
    bool groupEnabled_ = true;
    QString groupCaption_;
    bool buttonsEnabled_ = true;
    QString fileNote_;
};

// The one tape of the program.
BroadcastTape& theTape();

// True when a directory lookup of the path finds a file.
bool fileExists(const QString& path);

} // namespace sound
