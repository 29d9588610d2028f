#include "core/announcements.h"

#include <QDir>
#include <QFileInfo>

namespace core
{

Announcements::Announcements(QObject* parent) : QObject(parent) {}

Announcements::LoadState Announcements::load(const QString& folder, const QString& route)
{
    const QString path = sound::findTapeFile(folder, route);
    const QString shownPath = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    platform::TextEncoding encoding = platform::TextEncoding::Ascii;
    sound::TapeResult read = sound::readTapeFile(path, &encoding);
    if (!read) {
        // A missing or broken file only switches the tape off; the route still loads. The
        // file note says why, for those who look.
        const formats::FileError& error = read.error();
        entries_.clear();
        loadState_ = LoadState::Failed;
        setPosition(0);
        setFileNote(error.kind == formats::FileErrorKind::Missing
                        ? QStringLiteral("放送用データがありません: %1").arg(shownPath)
                        : QStringLiteral("放送用データを読めません: %1\n%2")
                              .arg(shownPath, error.description()));
        emit entriesChanged();
        return loadState_;
    }
    entries_ = std::move(*read);
    setFileNote(QStringLiteral("放送用データ: %1\n%2、%3 件")
                    .arg(shownPath, platform::encodingName(encoding))
                    .arg(entryCount()));
    loadState_ = entries_.empty() ? LoadState::Failed : LoadState::Loaded;
    setPosition(0);
    emit entriesChanged();
    return loadState_;
}

bool Announcements::moveForward()
{
    if (position_ + 1 > entryCount()) {
        setPosition(entryCount());
        return false;
    }
    setPosition(position_ + 1);
    return true;
}

bool Announcements::moveBack()
{
    if (position_ - 1 < 1) {
        setPosition(1);
        return false;
    }
    setPosition(position_ - 1);
    return true;
}

const sound::TapeEntry* Announcements::entry(int position) const
{
    if (position < 1 || position > entryCount())
        return nullptr;
    return &entries_[size_t(position - 1)];
}

int Announcements::stepFlag(int position) const
{
    const sound::TapeEntry* e = entry(position);
    return e ? e->stepFlag : 0;
}

int Announcements::soundFlag(int position) const
{
    const sound::TapeEntry* e = entry(position);
    return e ? e->soundFlag : 0;
}

QString Announcements::shownText(int position) const
{
    const sound::TapeEntry* e = entry(position);
    return e ? e->shownText() : QString();
}

QString Announcements::spokenText(int position) const
{
    const sound::TapeEntry* e = entry(position);
    return e ? e->spokenText() : QString();
}

void Announcements::setPosition(int position)
{
    if (position_ == position)
        return;
    position_ = position;
    emit positionChanged(position);
}

void Announcements::setFileNote(const QString& note)
{
    if (fileNote_ == note)
        return;
    fileNote_ = note;
    emit fileNoteChanged(note);
}

} // namespace core
