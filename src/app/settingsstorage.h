#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The settings file's bytes on disk, without any window: reading that never blocks and never
// runs away, and writing that never leaves a damaged file behind.

// A settings file is at most 286 fixed bytes and 17 texts of 65537 bytes; anything larger is
// not one.
inline constexpr qint64 MaxSettingsFileBytes = 2 * 1024 * 1024;

struct SettingsFileRead {
    enum class Status { Missing, Read, Failed };
    Status status = Status::Missing;
    QByteArray bytes;
    int errorNumber = 0; // the runtime error number when Failed
};

// Reads a regular file of at most MaxSettingsFileBytes. A pipe, a device or a folder is refused
// without being read (75), so no path can hang or flood the start-up.
SettingsFileRead readSettingsBytes(const QString& path);

// Writes the settings file so that any failure leaves the previous file whole:
// 1. a path that is there but is not a regular file is refused untouched;
// 2. the previous file is copied to <path>.bak unless a .bak is already there;
// 3. the new bytes go to a temporary file that replaces the old one once written, flushed
//    and committed, every step checked; where the folder is read-only but the file writable,
//    they are written in place;
// 4. the file is read back and compared; on a mismatch or any failure the previous bytes
//    are put back;
// 5. the .bak made in step 2 goes once the file on disk is verified.
class SettingsWriter
{
public:
    explicit SettingsWriter(const QString& path);

    const QString& path() const { return path_; }
    QString backupPath() const { return path_ + QStringLiteral(".bak"); }

    // The next write first copies the file now on disk to the .bak and leaves it there for
    // good: the user's own file after a load that failed or skipped something.
    void keepOriginalOnNextWrite() { keepOriginal_ = true; }

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

    QString path_;
    bool keepOriginal_ = false;
    std::function<void(const QString&)> beforeVerify_;
};
