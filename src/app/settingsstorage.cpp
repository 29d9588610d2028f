#include "settingsstorage.h"

#include "platform/runtimeerror.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using platform::RuntimeError;
namespace ErrorNumber = platform::ErrorNumber;

namespace
{

// <path>.bak, <path>.2.bak … <path>.99.bak: more copies kept for the user than anyone needs.
constexpr int MaxKeptCopies = 99;

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

// Writes the whole file through a temporary file that replaces it once committed. Every step
// is checked: QSaveFile buffers, so a full disk shows only at the flush or at commit().
// Returns false, having written nothing, when the folder takes no new file but the file is
// there to be written in place.
bool replaceWhole(const QString& path, const QByteArray& bytes)
{
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    errno = 0;
    if (!file.open(QIODevice::WriteOnly)) {
        const int err = errno;
        if (QFileInfo(path).isFile())
            return false;
        throw saveError(err, ErrorNumber::PermissionDenied);
    }
    errno = 0;
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const int err = errno;
        file.cancelWriting();
        throw saveError(err, ErrorNumber::DeviceIo);
    }
    errno = 0;
    if (!file.commit())
        throw saveError(errno, ErrorNumber::DeviceIo);
    return true;
}

void writeNewFile(const QString& path, const QByteArray& bytes)
{
    if (!replaceWhole(path, bytes))
        throw RuntimeError(ErrorNumber::PermissionDenied);
}

// Writes the new bytes over the old ones and then cuts the file after them: the file is never
// empty on the way, whatever moment a kill chooses.
void writeInPlace(const QString& path, const QByteArray& bytes)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        throw saveError(errno, ErrorNumber::PermissionDenied);
    qint64 done = 0;
    int err = 0;
    while (done < bytes.size()) {
        const ssize_t put = ::pwrite(fd, bytes.constData() + done, bytes.size() - done, done);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            err = put < 0 ? errno : EIO;
            break;
        }
        done += put;
    }
    if (err == 0 && (::ftruncate(fd, bytes.size()) != 0 || ::fsync(fd) != 0))
        err = errno;
    ::close(fd);
    if (err != 0)
        throw saveError(err, ErrorNumber::DeviceIo);
}

bool holds(const QString& path, const QByteArray& bytes)
{
    const SettingsFileRead read = readSettingsBytes(path);
    return read.status == SettingsFileRead::Status::Read && read.bytes == bytes;
}

// Two regular files with the same bytes, compared a block at a time.
bool sameContents(const QString& a, const QString& b)
{
    QFile first(a);
    QFile second(b);
    if (!QFileInfo(a).isFile() || !QFileInfo(b).isFile() || first.size() != second.size() ||
        !first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    while (!first.atEnd()) {
        if (first.read(65536) != second.read(65536))
            return false;
    }
    return true;
}

// Copies a regular file of at most MaxKeptCopyBytes through a temporary file.
bool copyFile(const QString& from, const QString& to)
{
    QFile source(from);
    if (!QFileInfo(from).isFile() || source.size() > MaxKeptCopyBytes ||
        !source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(to);
    if (!target.open(QIODevice::WriteOnly))
        return false;
    while (!source.atEnd()) {
        const QByteArray block = source.read(65536);
        if (block.isEmpty() || target.write(block) != block.size()) {
            target.cancelWriting();
            return false;
        }
    }
    return source.error() == QFileDevice::NoError && target.commit();
}

QString keptName(const QString& folder, const QString& fileName, int n)
{
    const QString name = n == 1 ? fileName + QStringLiteral(".bak")
                                : QStringLiteral("%1.%2.bak").arg(fileName).arg(n);
    return QDir(folder).filePath(name);
}

// A name QSaveFile gives its temporary file: "<file>.", then six letters and digits. Six
// lower-case letters are more likely a word the user chose ("fare.in4.backup").
bool isTemporaryNameOf(const QString& name, const QStringList& files)
{
    static const QRegularExpression suffix(QStringLiteral("\\.[A-Za-z0-9]{6}$"));
    static const QRegularExpression word(QStringLiteral("\\.[a-z]{6}$"));
    if (!suffix.match(name).hasMatch() || word.match(name).hasMatch())
        return false;
    return files.contains(name.chopped(7));
}

void removeTemporaryFiles(const QString& folder, const QStringList& files)
{
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    for (const QFileInfo& entry : dir.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!entry.isSymLink() && entry.size() <= MaxKeptCopyBytes &&
            isTemporaryNameOf(entry.fileName(), files))
            QFile::remove(entry.filePath());
    }
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
        result = failed(ErrorNumber::FileTooLarge);
    } else if (!readAll(fd, MaxSettingsFileBytes, result.bytes, err)) {
        result = failed(platform::errorNumberFromErrno(err));
    } else if (result.bytes.size() > MaxSettingsFileBytes) {
        result = failed(ErrorNumber::FileTooLarge);
    } else {
        result.status = SettingsFileRead::Status::Read;
    }
    ::close(fd);
    return result;
}

QString defaultStateFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
}

SettingsWriter::SettingsWriter(const QString& path, const QString& stateFolder)
    : path_(path), stateFolder_(stateFolder)
{
}

QString SettingsWriter::inPlaceCopyPath() const
{
    if (stateFolder_.isEmpty())
        return {};
    const QByteArray where = QFile::encodeName(QFileInfo(path_).absoluteFilePath());
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(where, QCryptographicHash::Sha1).toHex().left(12));
    return QDir(stateFolder_)
        .filePath(QFileInfo(path_).fileName() + u'.' + hash + QStringLiteral(".saving"));
}

void SettingsWriter::write(const QByteArray& bytes)
{
    if (refuseToReplace_)
        throw RuntimeError(ErrorNumber::PermissionDenied);
    const QFileInfo target(path_);
    if (target.exists() && !target.isFile())
        throw RuntimeError(ErrorNumber::PathFileAccess);
    const SettingsFileRead previous = readSettingsBytes(path_);
    const bool hadPrevious = previous.status == SettingsFileRead::Status::Read;
    const bool temporaryBackup = hadPrevious && makeBackup(previous.bytes);
    const QString inPlaceCopy = inPlaceCopyPath();
    bool copiedForInPlace = false;

    try {
        if (!replaceWhole(path_, bytes)) {
            // A kill while writing in place must find the old bytes at the next start.
            if (hadPrevious && !inPlaceCopy.isEmpty() && QDir().mkpath(stateFolder_)) {
                try {
                    writeNewFile(inPlaceCopy, previous.bytes);
                    copiedForInPlace = true;
                } catch (const RuntimeError&) {
                    // The bytes held here still put a failed write right.
                }
            }
            writeInPlace(path_, bytes);
        }
        if (beforeVerify_)
            beforeVerify_(path_);
        if (!holds(path_, bytes))
            throw RuntimeError(ErrorNumber::DeviceIo);
    } catch (const RuntimeError&) {
        restore(previous);
        // A copy stays while the old file is not back whole.
        const bool back = hadPrevious && holds(path_, previous.bytes);
        if (temporaryBackup && back)
            QFile::remove(backupPath());
        if (copiedForInPlace && back)
            QFile::remove(inPlaceCopy);
        throw;
    }
    if (temporaryBackup)
        QFile::remove(backupPath());
    if (copiedForInPlace)
        QFile::remove(inPlaceCopy);
}

// Returns true when it made a .bak that is to go once the new file is verified.
bool SettingsWriter::makeBackup(const QByteArray& previous)
{
    const QString backup = backupPath();
    // A .bak already there is one kept for the user: it stays as it is.
    if (!isAbsentOrRegular(backup) || QFileInfo::exists(backup))
        return false;
    try {
        writeNewFile(backup, previous);
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
        if (!replaceWhole(path_, previous.bytes))
            writeInPlace(path_, previous.bytes);
    } catch (const RuntimeError&) {
        // The .bak or the state folder's copy, when there is one, still holds it.
    }
}

QString SettingsWriter::keepUsersFile(const SettingsFileRead& read)
{
    QString kept;
    if (read.status == SettingsFileRead::Status::Read)
        kept = keepCopy(read.bytes);
    else if (read.status == SettingsFileRead::Status::Failed && QFileInfo(path_).isFile())
        kept = keepUnread();
    else
        return {};
    refuseToReplace_ = kept.isEmpty();
    return kept;
}

QString SettingsWriter::keepCopy(const QByteArray& bytes) const
{
    const QString fileName = QFileInfo(path_).fileName();
    for (const QString& folder : {QFileInfo(path_).absolutePath(), stateFolder_}) {
        if (folder.isEmpty() || !QDir().mkpath(folder))
            continue;
        for (int n = 1; n <= MaxKeptCopies; ++n) {
            const QString name = keptName(folder, fileName, n);
            if (QFileInfo::exists(name) || QFileInfo(name).isSymLink()) {
                if (holds(name, bytes))
                    return name;
                continue;
            }
            try {
                writeNewFile(name, bytes);
                return name;
            } catch (const RuntimeError&) {
                break; // this folder takes no new file
            }
        }
    }
    return {};
}

// A file that could not be read: beside it, it is renamed, which needs no reading; in a
// read-only folder it is copied to the state folder, once.
QString SettingsWriter::keepUnread() const
{
    const QString fileName = QFileInfo(path_).fileName();
    const QString folder = QFileInfo(path_).absolutePath();
    for (int n = 1; n <= MaxKeptCopies; ++n) {
        const QString name = keptName(folder, fileName, n);
        if (QFileInfo::exists(name) || QFileInfo(name).isSymLink())
            continue;
        if (::rename(QFile::encodeName(path_).constData(), QFile::encodeName(name).constData()) ==
            0)
            return name;
        break;
    }
    if (stateFolder_.isEmpty() || !QDir().mkpath(stateFolder_))
        return {};
    for (int n = 1; n <= MaxKeptCopies; ++n) {
        const QString name = keptName(stateFolder_, fileName, n);
        if (QFileInfo::exists(name) || QFileInfo(name).isSymLink()) {
            if (sameContents(name, path_))
                return name;
            continue;
        }
        return copyFile(path_, name) ? name : QString();
    }
    return {};
}

void SettingsWriter::removeLeftovers(const QStringList& companions,
                                     const std::function<bool(const QByteArray&)>& isWholeFile)
{
    const QString inPlaceCopy = inPlaceCopyPath();
    const SettingsFileRead saved =
        inPlaceCopy.isEmpty() ? SettingsFileRead{} : readSettingsBytes(inPlaceCopy);
    if (saved.status == SettingsFileRead::Status::Read) {
        const SettingsFileRead now = readSettingsBytes(path_);
        const bool newOneWhole = now.status == SettingsFileRead::Status::Read &&
                                 (now.bytes == saved.bytes || isWholeFile(now.bytes));
        if (!newOneWhole && QFileInfo(path_).isFile()) {
            try {
                writeInPlace(path_, saved.bytes);
            } catch (const RuntimeError&) {
            }
        }
        if (newOneWhole || holds(path_, saved.bytes))
            QFile::remove(inPlaceCopy);
    }

    const QFileInfo file(path_);
    QStringList besideFiles = {file.fileName()};
    for (int n = 1; n <= MaxKeptCopies; ++n)
        besideFiles << QFileInfo(keptName(QString(), file.fileName(), n)).fileName();
    for (const QString& companion : companions)
        besideFiles << QFileInfo(companion).fileName();
    removeTemporaryFiles(file.absolutePath(), besideFiles);
    if (!inPlaceCopy.isEmpty())
        removeTemporaryFiles(stateFolder_, {QFileInfo(inPlaceCopy).fileName()});

    // A lock that no living process holds is taken and so removed.
    for (const QString& companion : companions) {
        const QString lockPath = companion + QStringLiteral(".lock");
        if (!QFileInfo(lockPath).isFile())
            continue;
        QLockFile lock(lockPath);
        if (lock.tryLock(0))
            lock.unlock();
    }

    const SettingsFileRead current = readSettingsBytes(path_);
    if (current.status == SettingsFileRead::Status::Read && QFileInfo(backupPath()).isFile() &&
        !QFileInfo(backupPath()).isSymLink() && holds(backupPath(), current.bytes))
        QFile::remove(backupPath());
}
