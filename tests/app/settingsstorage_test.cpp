#include "app/settingsstorage.h"
#include "filesystemfaults.h"
#include "platform/runtimeerror.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
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

    QTemporaryDir dir_;
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
    SettingsWriter writer(path_);
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
    SettingsWriter writer(path_);
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
    SettingsWriter writer(path);
    EXPECT_EQ(writeError(writer, new_), ErrorNumber::DiskFull);
    EXPECT_EQ(contents(path), old_);
}

TEST_F(SettingsStorageTest, AReadOnlyFolderWithAWritableFileIsWrittenInPlace)
{
    put(path_, old_);
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
    int error = 0;
    {
        ScopedPermissionChecks asUser;
        SettingsWriter writer(path_);
        error = writeError(writer, new_);
    }
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(error, 0);
    EXPECT_EQ(contents(path_), new_);
}

TEST_F(SettingsStorageTest, AReadOnlyFolderAndFileGiveTheWriteErrorAndKeepTheFile)
{
    put(path_, old_);
    ASSERT_TRUE(QFile::setPermissions(path_, QFile::ReadOwner));
    ASSERT_TRUE(QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::ExeOwner));
    int error = 0;
    {
        ScopedPermissionChecks asUser;
        SettingsWriter writer(path_);
        error = writeError(writer, new_);
    }
    QFile::setPermissions(dir_.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(error, ErrorNumber::PermissionDenied);
    EXPECT_EQ(contents(path_), old_);
}

TEST_F(SettingsStorageTest, AVerifiedWriteThatDoesNotMatchPutsTheOldFileBack)
{
    put(path_, old_);
    SettingsWriter writer(path_);
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

TEST_F(SettingsStorageTest, TheUsersOriginalIsKeptAsBakForGood)
{
    put(path_, old_);
    SettingsWriter writer(path_);
    writer.keepOriginalOnNextWrite();
    EXPECT_EQ(writeError(writer, new_), 0);
    EXPECT_EQ(contents(writer.backupPath()), old_);
    // Later writes leave it alone.
    EXPECT_EQ(writeError(writer, QByteArray(340, '\x33')), 0);
    EXPECT_EQ(contents(writer.backupPath()), old_);
    EXPECT_EQ(contents(path_), QByteArray(340, '\x33'));

    // So does a later run's writer.
    SettingsWriter nextRun(path_);
    EXPECT_EQ(writeError(nextRun, new_), 0);
    EXPECT_EQ(contents(writer.backupPath()), old_);
}

TEST_F(SettingsStorageTest, APathThatIsNotARegularFileIsRefusedUntouched)
{
    const QString pipe = dir_.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString link = dir_.filePath(QStringLiteral("link.in4"));
    ASSERT_TRUE(QFile::link(pipe, link));
    for (const QString& path : {pipe, link, dir_.path()}) {
        SettingsWriter writer(path);
        EXPECT_EQ(writeError(writer, new_), ErrorNumber::PathFileAccess) << path.toStdString();
    }
    EXPECT_TRUE(QFileInfo(link).isSymLink());
    struct stat status {
    };
    ASSERT_EQ(::stat(QFile::encodeName(pipe).constData(), &status), 0);
    EXPECT_TRUE(S_ISFIFO(status.st_mode));
}

} // namespace
