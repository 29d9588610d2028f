#include "settingsstorage.h"

#include "platform/runtimeerror.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::RuntimeError;
namespace ErrorNumber = platform::ErrorNumber;

namespace
{

SettingsFileRead failed(int errorNumber)
{
    SettingsFileRead result;
    result.status = SettingsFileRead::Status::Failed;
    result.errorNumber = errorNumber;
    return result;
}

// Errors of a path that cannot name a file: the first run's silent case.
bool isMissing(int err)
{
    return err == ENOENT || err == ENOTDIR || err == ENAMETOOLONG || err == EINVAL || err == ELOOP;
}

// Reads everything up to limit + 1 bytes from a regular file's descriptor.
bool readAll(int fd, qint64 limit, QByteArray& bytes, int& err)
{
    char buffer[65536];
    while (bytes.size() <= limit) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0)
            return true;
        if (got < 0) {
            if (errno == EINTR)
                continue;
            err = errno;
            return false;
        }
        bytes.append(buffer, got);
    }
    return true;
}

// A path that is absent or a regular file (through any links, none of them dangling).
bool isAbsentOrRegular(const QString& path)
{
    const QFileInfo info(path);
    if (info.isSymLink() && !info.exists())
        return false;
    return !info.exists() || info.isFile();
}

// The error of a failed step: errno's when it has one, else what the step usually meets.
RuntimeError saveError(int err, int usualNumber)
{
    return RuntimeError(err != 0 ? platform::errorNumberFromErrno(err) : usualNumber);
}

// Writes the whole file through a temporary file, or in place where the folder is read-only
// and inPlaceFallback allows it. Every step is checked: QSaveFile buffers, so a full disk
// shows only at the flush or at commit().
void writeWhole(const QString& path, const QByteArray& bytes, bool inPlaceFallback)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(inPlaceFallback);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly))
        throw saveError(errno, ErrorNumber::PermissionDenied);
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int err = errno;
        file.cancelWriting();
        throw saveError(err, ErrorNumber::DeviceIo);
    }
    errno = 0;
    if (!file.commit())
        throw saveError(errno, ErrorNumber::DeviceIo);
}

bool holds(const QString& path, const QByteArray& bytes)
{
    const SettingsFileRead read = readSettingsBytes(path);
    return read.status == SettingsFileRead::Status::Read && read.bytes == bytes;
}

} // namespace

SettingsFileRead readSettingsBytes(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    if (name.isEmpty() || name.contains('\0'))
        return {};
    // Look before opening: opening a device can have effects of its own.
    struct stat status {
    };
    if (::stat(name.constData(), &status) != 0)
        return isMissing(errno) ? SettingsFileRead{}
                                : failed(platform::errorNumberFromErrno(errno));
    if (!S_ISREG(status.st_mode))
        return failed(ErrorNumber::PathFileAccess);

    // O_NONBLOCK: should the path turn into a pipe meanwhile, the open does not wait for it.
    const int fd = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return isMissing(errno) ? SettingsFileRead{}
                                : failed(platform::errorNumberFromErrno(errno));
    SettingsFileRead result;
    int err = 0;
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode)) {
        result = failed(ErrorNumber::PathFileAccess);
    } else if (status.st_size > MaxSettingsFileBytes) {
        result = failed(ErrorNumber::BadFileMode);
    } else if (!readAll(fd, MaxSettingsFileBytes, result.bytes, err)) {
        result = failed(platform::errorNumberFromErrno(err));
    } else if (result.bytes.size() > MaxSettingsFileBytes) {
        result = failed(ErrorNumber::BadFileMode);
    } else {
        result.status = SettingsFileRead::Status::Read;
    }
    ::close(fd);
    return result;
}

SettingsWriter::SettingsWriter(const QString& path) : path_(path) {}

void SettingsWriter::write(const QByteArray& bytes)
{
    const QFileInfo target(path_);
    if (target.exists() && !target.isFile())
        throw RuntimeError(ErrorNumber::PathFileAccess);
    const SettingsFileRead previous = readSettingsBytes(path_);
    const bool hadPrevious = previous.status == SettingsFileRead::Status::Read;
    const bool temporaryBackup = hadPrevious && makeBackup(previous.bytes);

    try {
        writeWhole(path_, bytes, true);
        if (beforeVerify_)
            beforeVerify_(path_);
        if (!holds(path_, bytes))
            throw RuntimeError(ErrorNumber::DeviceIo);
    } catch (const RuntimeError&) {
        restore(previous);
        // A .bak stays while the old file is not back whole.
        if (temporaryBackup && hadPrevious && holds(path_, previous.bytes))
            QFile::remove(backupPath());
        throw;
    }
    if (temporaryBackup)
        QFile::remove(backupPath());
}

// Returns true when it made a .bak that is to go once the new file is verified.
bool SettingsWriter::makeBackup(const QByteArray& previous)
{
    const QString backup = backupPath();
    if (!isAbsentOrRegular(backup))
        return false;
    if (keepOriginal_) {
        keepOriginal_ = false;
        try {
            writeWhole(backup, previous, false);
        } catch (const RuntimeError&) {
            // A read-only folder has no room for it; the save itself goes on.
        }
        return false;
    }
    // A .bak already there is an earlier one kept for the user: it stays as it is.
    if (QFileInfo::exists(backup))
        return false;
    try {
        writeWhole(backup, previous, false);
        return true;
    } catch (const RuntimeError&) {
        return false;
    }
}

// Puts the previous file back, or removes a new file that failed its check when there was
// none before. A previous file that could not be read is left to whatever is there.
void SettingsWriter::restore(const SettingsFileRead& previous)
{
    if (previous.status == SettingsFileRead::Status::Missing) {
        if (QFileInfo(path_).isFile())
            QFile::remove(path_);
        return;
    }
    if (previous.status != SettingsFileRead::Status::Read || holds(path_, previous.bytes))
        return;
    try {
        writeWhole(path_, previous.bytes, true);
    } catch (const RuntimeError&) {
        // The .bak, when there is one, still holds it.
    }
}
