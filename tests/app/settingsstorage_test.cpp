#include "app/settingsstorage.h"
#include "filesystemfaults.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <algorithm>
#include <csignal>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using platform::RuntimeError;
namespace ErrorNumber = platform::ErrorNumber;
using Status = SettingsFileRead::Status;

namespace
{

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// The error number a write threw, or 0.
int writeError(SettingsWriter& writer, const QByteArray& bytes)
{
    try {
        writer.write(bytes);
        return 0;
    } catch (const RuntimeError& error) {
        return error.number();
    }
}

class SettingsStorageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        ASSERT_TRUE(state_.isValid());
        path_ = dir_.filePath(QStringLiteral("fare.in4"));
    }

    // Everything in the folder but the settings file and its .bak: leftovers of a save.
    QStringList leftovers() const
    {
        QStringList names = QDir(dir_.path()).entryList(QDir::Files | QDir::System);
        names.removeAll(QStringLiteral("fare.in4"));
        names.removeAll(QStringLiteral("fare.in4.bak"));
        return names;
    }

    QStringList stateFiles() const
    {
        return QDir(state_.path()).entryList(QDir::Files | QDir::Hidden | QDir::System);
    }

    QTemporaryDir dir_;
    QTemporaryDir state_; // the user's state folder
    QString path_;
    const QByteArray old_ = QByteArray(320, '\x11');
    const QByteArray new_ = QByteArray(330, '\x22');
};

// Reading.

TEST_F(SettingsStorageTest, ReadsARegularFileAndCallsAMissingOneMissing)
{
    EXPECT_EQ(readSettingsBytes(path_).status, Status::Missing);
    EXPECT_EQ(readSettingsBytes(dir_.filePath(QStringLiteral("no/such/fare.in4"))).status,
              Status::Missing);
    put(path_, old_);
    const SettingsFileRead read = readSettingsBytes(path_);
    EXPECT_EQ(read.status, Status::Read);
    EXPECT_EQ(read.bytes, old_);
}

TEST_F(SettingsStorageTest, PipesDevicesAndFoldersAreRefusedWithoutReading)
{
    // A pipe with no writer would block an ordinary open for ever; /dev/zero never ends.
    const QString pipe = dir_.filePath(QStringLiteral("pipe.in4"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString zeroLink = dir_.filePath(QStringLiteral("zero.in4"));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), zeroLink));
    for (const QString& path : {pipe, QStringLiteral("/dev/zero"), zeroLink, dir_.path()}) {
        const SettingsFileRead read = readSettingsBytes(path);
        EXPECT_EQ(read.status, Status::Failed) << path.toStdString();
        EXPECT_EQ(read.errorNumber, ErrorNumber::PathFileAccess) << path.toStdString();
        EXPECT_TRUE(read.bytes.isEmpty());
    }
}

TEST_F(SettingsStorageTest, AFileLargerThanAnySettingsFileIsRefused)
{
    put(path_, QByteArray());
    ASSERT_EQ(::truncate(QFile::encodeName(path_).constData(), MaxSettingsFileBytes + 1), 0);
    EXPECT_EQ(readSettingsBytes(path_).status, Status::Failed);
    ASSERT_EQ(::truncate(QFile::encodeName(path_).constData(), MaxSettingsFileBytes), 0);
    EXPECT_EQ(readSettingsBytes(path_).status, Status::Read);
}

// Writing.

TEST_F(SettingsStorageTest, AWriteReplacesTheFileAndLeavesNothingBehind)
{
    SettingsWriter writer(path_, state_.path());
    EXPECT_EQ(writeError(writer, old_), 0);
    EXPECT_EQ(contents(path_), old_);
    EXPECT_EQ(writeError(writer, new_), 0);
    EXPECT_EQ(contents(path_), new_);
    EXPECT_FALSE(QFileInfo::exists(writer.backupPath())) << "the .bak goes once verified";
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
}

TEST_F(SettingsStorageTest, AFullDiskKeepsTheOldFileWhole)
{
    put(path_, old_);
    SettingsWriter writer(path_, state_.path());
    int error = 0;
    {
        // The temporary file's bytes stay in QSaveFile's buffer until the flush fails.
        ScopedFileSizeLimit limit(100);
        error = writeError(writer, new_);
    }
    EXPECT_NE(error, 0);
    EXPECT_EQ(contents(path_), old_);
    EXPECT_FALSE(QFileInfo::exists(writer.backupPath()));
    EXPECT_TRUE(leftovers().isEmpty()) << leftovers().join(' ').toStdString();
}

TEST_F(SettingsStorageTest, AFullTmpfsReportsTheFullDiskAndKeepsTheOldFile)
{
    SmallTmpfs disk(64);
    if (!disk.isMounted())
        GTEST_SKIP() << "no permission to mount; the file-size limit test covers the failure";
    const QString path = disk.path() + QStringLiteral("/fare.in4");
    put(path, old_);
    disk.fill();
    SettingsWriter writer(path, state_.path());
    EXPECT_EQ(writeError(writer, new_), ErrorNumber::DiskFull);
    EXPECT_EQ(contents(path), old_);
}

// In place.

TEST_F(SettingsStorageTest, AReadOnlyFolderIsWrittenInPlaceWithTheOldBytesInTheStateFolder)
{
    put(path_, old_);
    SettingsWriter writer(path_, state_.path());
    QByteArray copyWhileWriting;
    writer.setBeforeVerify(
        [&](const QString&) { copyWhileWriting = contents(writer.inPlaceCopyPath()); });
    int error = 0;
    {
        ScopedReadOnlyFolder readOnly(dir_.path());
        error = writeError(writer, new_);
    }
    EXPECT_EQ(error, 0);
    EXPECT_EQ(contents(path_), new_);
    EXPECT_EQ(copyWhileWriting, old_) << "copied before the write";
    EXPECT_TRUE(stateFiles().isEmpty()) << "and gone once verified";
}

TEST_F(SettingsStorageTest, AFailedWriteInPlacePutsTheOldBytesBack)
{
    put(path_, old_);
    SettingsWriter writer(path_, state_.path());
    int error = 0;
    {
        ScopedReadOnlyFolder readOnly(dir_.path());
        ScopedFileSizeLimit limit(old_.size() + 5); // the new bytes end past it
        error = writeError(writer, new_);
    }
    EXPECT_NE(error, 0);
    EXPECT_EQ(contents(path_), old_);
    EXPECT_TRUE(stateFiles().isEmpty());
}

TEST_F(SettingsStorageTest, AKillDuringAWriteInPlaceIsUndoneAtTheNextStart)
{
    put(path_, old_);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        // The kernel ends the process with SIGXFSZ in the middle of the new bytes.
        const rlimit noCore = {0, 0};
        ::setrlimit(RLIMIT_CORE, &noCore);
        std::signal(SIGXFSZ, SIG_DFL);
        ScopedReadOnlyFolder readOnly(dir_.path());
        const rlimit limit = {rlim_t(old_.size() + 5), rlim_t(old_.size() + 5)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        SettingsWriter writer(path_, state_.path());
        writeError(writer, new_);
        ::_exit(0);
    }
    int status = 0;
    for (int i = 0; i < 1000 && ::waitpid(child, &status, WNOHANG) == 0; ++i)
        ::usleep(10000);
    if (::waitpid(child, &status, WNOHANG) == 0) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &status, 0);
        FAIL() << "the writing process did not end";
    }
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << "status " << status;
    ASSERT_NE(contents(path_), old_);
    EXPECT_FALSE(contents(path_).isEmpty()) << "never emptied first";

    SettingsWriter nextStart(path_, state_.path());
    nextStart.removeLeftovers({}, [&](const QByteArray& bytes) { return bytes == new_; });
    EXPECT_EQ(contents(path_), old_);
    EXPECT_TRUE(stateFiles().isEmpty());

    // A write that ended but whose copy was not removed yet keeps the new bytes.
    put(nextStart.inPlaceCopyPath(), old_);
    put(path_, new_);
    nextStart.removeLeftovers({}, [&](const QByteArray& bytes) { return bytes == new_; });
    EXPECT_EQ(contents(path_), new_);
    EXPECT_TRUE(stateFiles().isEmpty());
}

TEST_F(SettingsStorageTest, AReadOnlyFolderAndFileGiveTheWriteErrorAndKeepTheFile)
{
    put(path_, old_);
    ASSERT_TRUE(QFile::setPermissions(path_, QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
    int error = 0;
    {
        ScopedPermissionChecks asUser;
        SettingsWriter writer(path_, state_.path());
        error = writeError(writer, new_);
    }
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(error, ErrorNumber::PermissionDenied);
    EXPECT_EQ(contents(path_), old_);
}

TEST_F(SettingsStorageTest, AVerifiedWriteThatDoesNotMatchPutsTheOldFileBack)
{
    put(path_, old_);
    SettingsWriter writer(path_, state_.path());
    bool backupWhileVerifying = false;
    writer.setBeforeVerify([&](const QString& path) {
        backupWhileVerifying = contents(writer.backupPath()) == old_;
        put(path, new_.left(200)); // the disk returns less than it was given
    });
    EXPECT_EQ(writeError(writer, new_), ErrorNumber::DeviceIo);
    EXPECT_TRUE(backupWhileVerifying) << "the old file is kept as .bak until verified";
    EXPECT_EQ(contents(path_), old_);
    EXPECT_FALSE(QFileInfo::exists(writer.backupPath())) << "the old file is back whole";

    // With no file before, a file that failed its check does not stay to be read.
    QFile::remove(path_);
    EXPECT_EQ(writeError(writer, new_), ErrorNumber::DeviceIo);
    EXPECT_FALSE(QFileInfo::exists(path_));
}

TEST_F(SettingsStorageTest, APathThatIsNotARegularFileIsRefusedUntouched)
{
    const QString pipe = dir_.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString link = dir_.filePath(QStringLiteral("link.in4"));
    ASSERT_TRUE(QFile::link(pipe, link));
    for (const QString& path : {pipe, link, dir_.path()}) {
        SettingsWriter writer(path, state_.path());
        EXPECT_EQ(writeError(writer, new_), ErrorNumber::PathFileAccess) << path.toStdString();
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat status {
    };
    ASSERT_EQ(::stat(QFile::encodeName(pipe).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

// Keeping the user's file.

TEST_F(SettingsStorageTest, AReadFileIsCopiedOnceAndNeverOverAnotherKeptFile)
{
    put(path_, old_);
    SettingsWriter writer(path_, state_.path());
    const SettingsFileRead read = readSettingsBytes(path_);
    EXPECT_EQ(writer.keepUsersFile(read), writer.backupPath());
    EXPECT_EQ(writer.keepUsersFile(read), writer.backupPath()) << "the same bytes, the same copy";
    EXPECT_EQ(contents(path_), old_) << "the file stays until a save replaces it";

    // Later writes leave the kept copy alone, in this run and the next.
    EXPECT_EQ(writeError(writer, new_), 0);
    SettingsWriter nextRun(path_, state_.path());
    EXPECT_EQ(writeError(nextRun, QByteArray(340, '\x33')), 0);
    EXPECT_EQ(contents(writer.backupPath()), old_);

    // Another file of the user's goes beside it, not over it.
    const QByteArray other(400, '\x44');
    put(path_, other);
    const QString second = nextRun.keepUsersFile(readSettingsBytes(path_));
    EXPECT_EQ(second, dir_.filePath(QStringLiteral("fare.in4.2.bak")));
    EXPECT_EQ(contents(second), other);
    EXPECT_EQ(contents(writer.backupPath()), old_);
}

TEST_F(SettingsStorageTest, InAReadOnlyFolderTheUsersFileIsKeptInTheStateFolder)
{
    const QByteArray large(MaxSettingsFileBytes + 1, '\x55');
    put(path_, large);
    SettingsWriter writer(path_, state_.path());
    QString first;
    QString again;
    {
        ScopedReadOnlyFolder readOnly(dir_.path());
        const SettingsFileRead read = readSettingsBytes(path_);
        ASSERT_EQ(read.errorNumber, ErrorNumber::FileTooLarge);
        first = writer.keepUsersFile(read);
        again = writer.keepUsersFile(read); // the next start, before any save
        EXPECT_EQ(writeError(writer, new_), 0);
    }
    EXPECT_EQ(first, QDir(state_.path()).filePath(QStringLiteral("fare.in4.bak")));
    EXPECT_EQ(again, first) << "not copied twice";
    EXPECT_EQ(contents(first), large);
    EXPECT_EQ(contents(path_), new_);
    EXPECT_EQ(stateFiles(), QStringList{QStringLiteral("fare.in4.bak")});
}

TEST_F(SettingsStorageTest, AFileWithNoPlaceToBeKeptIsNeverWrittenOver)
{
    put(path_, old_);
    SettingsWriter writer(path_, QString()); // no state folder
    int error = 0;
    {
        ScopedReadOnlyFolder readOnly(dir_.path());
        EXPECT_TRUE(writer.keepUsersFile(readSettingsBytes(path_)).isEmpty());
        error = writeError(writer, new_);
    }
    EXPECT_EQ(error, ErrorNumber::PermissionDenied);
    EXPECT_EQ(contents(path_), old_);
}

// Left-overs.

TEST_F(SettingsStorageTest, TheStartRemovesWhatAnInterruptedSaveLeftAndNothingElse)
{
    put(path_, old_);
    const QString ini = dir_.filePath(QStringLiteral("fare.ini"));
    const QStringList ours = {QStringLiteral("fare.in4.hSJXcg"), QStringLiteral("fare.in4.A1b2C3"),
                              QStringLiteral("fare.in4.bak.Zq09xy"),
                              QStringLiteral("fare.in4.2.bak.K9zzzz"),
                              QStringLiteral("fare.ini.0a1B2c")};
    const QStringList users = {QStringLiteral("fare.in4.backup"), QStringLiteral("fare.in4.A1b2C"),
                               QStringLiteral("fare.in4.A1b2C3D"),
                               QStringLiteral("other.in4.A1b2C3"),
                               QStringLiteral("fare.in4.2.bak")};
    for (const QString& name : ours + users)
        put(dir_.filePath(name), new_);
    put(path_ + QStringLiteral(".bak"), old_); // a save that never got to the end
    // A lock of the preferences whose process is gone.
    put(ini + QStringLiteral(".lock"), "999999999\nfare\n\n");

    SettingsWriter writer(path_, state_.path());
    writer.removeLeftovers({ini}, [](const QByteArray&) { return true; });
    QStringList left = QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden);
    left.removeAll(QStringLiteral("fare.in4"));
    QStringList expected = users;
    std::sort(expected.begin(), expected.end());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, expected);

    // A .bak with other bytes than the file is the user's.
    put(path_ + QStringLiteral(".bak"), new_);
    writer.removeLeftovers({ini}, [](const QByteArray&) { return true; });
    EXPECT_EQ(contents(path_ + QStringLiteral(".bak")), new_);
}

} // namespace
