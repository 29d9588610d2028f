#pragma once

#include "formats/tapefile.h"

#include <QObject>
#include <QString>
#include <vector>

namespace core
{

// The broadcast tape's announcements for the current route: the entries of its broadcast data
// file, the position reached and what the last load found. It only keeps and moves; speaking
// and sounds are the broadcast tape's, captions and enabled states the console's.
class Announcements : public QObject
{
    Q_OBJECT
public:
    // What the last load found: nothing tried yet, a file with at least one entry, or no
    // usable file (the entries are then gone).
    enum class LoadState { None, Loaded, Failed };

    explicit Announcements(QObject* parent = nullptr);

    // Reads "<folder><route>tp.csv" (or the name differing from it only in letter case);
    // folder already ends in a separator when not empty. The position goes back to 0. A
    // missing or broken file leaves no entries (the previous route's must not stay behind) and
    // says why in the file note. Emits entriesChanged after every load.
    LoadState load(const QString& folder, const QString& route);

    // One entry on; past the last one the position stays at the last and false is returned.
    bool moveForward();
    // One entry back; before the first the position is held at 1 and false is returned.
    bool moveBack();

    int position() const { return position_; }
    int entryCount() const { return int(entries_.size()); }
    // Fields of the entry at a one-based position; 0 or empty outside 1..entryCount.
    int stepFlag(int position) const;
    int soundFlag(int position) const;
    // The entry's text as the console shows it (readings left out) and as the voice speaks
    // it (readings in place of their names); empty outside 1..entryCount.
    QString shownText(int position) const;
    QString spokenText(int position) const;
    // What the entry after the current position says, empty when none follows.
    QString nextSpokenText() const { return spokenText(position_ + 1); }

    LoadState loadState() const { return loadState_; }
    // Which broadcast data file the last load read, with its encoding, or which file it
    // missed and why: a missing file switches the tape off without a message, so whoever
    // shows the tape shows this note.
    QString fileNote() const { return fileNote_; }

signals:
    void entriesChanged();
    void positionChanged(int position);
    void fileNoteChanged(const QString& note);

private:
    const sound::TapeEntry* entry(int position) const;
    void setPosition(int position);
    void setFileNote(const QString& note);

    std::vector<sound::TapeEntry> entries_;
    int position_ = 0;
    LoadState loadState_ = LoadState::None;
    QString fileNote_;
};

} // namespace core
