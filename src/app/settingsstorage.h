#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <functional>

// The settings file's bytes on disk, without any window: reading that never blocks and never
// runs away, and writing that never leaves a damaged file behind nor loses the user's bytes.

// A settings file is at most 286 fixed bytes and 17 texts of 65537 bytes; anything larger is
// not one.
inline constexpr qint64 MaxSettingsFileBytes = 2 * 1024 * 1024;

// A file that could not be read is copied to the state folder only up to this size; a larger
// one is left where it is and never written over.
inline constexpr qint64 MaxKeptCopyBytes = 64 * 1024 * 1024;

struct SettingsFileRead {
    enum class Status { Missing, Read, Failed };
    Status status = Status::Missing;
    QByteArray bytes;
    int errorNumber = 0; // the runtime error number when Failed
};

// Reads a regular file of at most MaxSettingsFileBytes. A pipe, a device or a folder is refused
// without being read (75), so no path can hang or flood the start-up; a larger file is 54.
SettingsFileRead readSettingsBytes(const QString& path);

// The user's state folder (QStandardPaths::AppLocalDataLocation).
QString defaultStateFolder();

// Writes the settings file so that any failure leaves the previous file whole:
// 1. a path that is there but is not a regular file is refused untouched;
// 2. the previous file is copied to <path>.bak unless a .bak is already there;
// 3. the new bytes go to a temporary file that replaces the old one once written, flushed
//    and committed, every step checked. Where the folder takes no new file but the file is
//    writable, the old bytes are first copied to the state folder (inPlaceCopyPath()) and the
//    new ones written over the old, which are cut after them, never emptied first;
// 4. the file is read back and compared; on a mismatch or any failure the previous bytes
//    are put back;
// 5. the .bak made in step 2 and the state folder's copy go once the file is verified.
class SettingsWriter
{
public:
    explicit SettingsWriter(const QString& path, const QString& stateFolder = defaultStateFolder());

    const QString& path() const { return path_; }
    QString backupPath() const { return path_ + QStringLiteral(".bak"); }

    const QString& stateFolder() const { return stateFolder_; }
    void setStateFolder(const QString& folder) { stateFolder_ = folder; }
    // Where the old bytes wait while the file is written in place; named after the file's
    // whole path, so that two settings files never share it.
    QString inPlaceCopyPath() const;

    // Keeps the user's file now on disk before anything writes over it: as the first of
    // <path>.bak, <path>.2.bak, … <path>.99.bak that is free or already holds the same bytes,
    // or, where its folder takes no new file, under those names in the state folder. `read` is
    // what was read of it: a file that could not be read is renamed (its bytes are never
    // read) or, in a read-only folder, copied. Returns where the bytes are now kept; an empty
    // string when no place took them, and from then on write() refuses to replace the file.
    QString keepUsersFile(const SettingsFileRead& read);

    // What an interrupted save left behind, put right before the file is read:
    // - a file whose in-place write was cut short gets its old bytes back from the state
    //   folder, unless isWholeFile says the new bytes are all there;
    // - the temporary files of the settings file, its .bak files, the companions (other files
    //   written beside it) and the state folder's copy (<name>.XXXXXX, six letters and digits
    //   as QSaveFile makes them, not all lower-case) are removed, as are stale lock files of
    //   the companions;
    // - a .bak that holds the same bytes as the file (the save never finished) is removed.
    void removeLeftovers(const QStringList& companions,
                         const std::function<bool(const QByteArray&)>& isWholeFile);

    // Throws platform::RuntimeError with the number of what failed.
    void write(const QByteArray& bytes);

    // Runs between writing and reading back (tests: a disk that returns other bytes).
    void setBeforeVerify(std::function<void(const QString& path)> hook)
    {
        beforeVerify_ = std::move(hook);
    }

private:
    bool makeBackup(const QByteArray& previous);
    void restore(const SettingsFileRead& previous);
    QString keepCopy(const QByteArray& bytes) const;
    QString keepUnread() const;

    QString path_;
    QString stateFolder_;
    bool refuseToReplace_ = false;
    std::function<void(const QString&)> beforeVerify_;
};
