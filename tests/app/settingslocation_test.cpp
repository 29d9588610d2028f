#include "app/settingslocation.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace
{

class SettingsLocationTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(root_.isValid());
        QDir(root_.path()).mkdir(QStringLiteral("bin"));
        exe_ = root_.filePath(QStringLiteral("bin/fare"));
        beside_ = root_.filePath(QStringLiteral("bin/fare.in4"));
        config_ = root_.filePath(QStringLiteral("home/.config/fare"));
    }

    void put(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    QByteArray contents(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    QTemporaryDir root_;
    QString exe_;
    QString beside_;
    QString config_;
};

TEST_F(SettingsLocationTest, AUsersOwnCopyKeepsItsFileBesideTheExecutable)
{
    EXPECT_EQ(settingsPathBesideExecutable(QStringLiteral("/opt/x/bin/fare")),
              QStringLiteral("/opt/x/bin/fare.in4"));
    // Whether or not the file exists yet, and whatever is in the configuration folder.
    EXPECT_EQ(locateSettingsFile(exe_, config_, true), beside_);
    put(beside_, "old");
    EXPECT_EQ(locateSettingsFile(exe_, config_, true), beside_);
    EXPECT_FALSE(QFileInfo::exists(config_));
}

TEST_F(SettingsLocationTest, AnInstalledCopyUsesTheConfigurationFolder)
{
    const QString path = locateSettingsFile(exe_, config_, false);
    EXPECT_EQ(path, config_ + QStringLiteral("/fare.in4"));
    EXPECT_TRUE(QFileInfo(config_).isDir()) << "ready for the first save";
    EXPECT_FALSE(QFileInfo::exists(path)) << "nothing to copy: the defaults";
}

TEST_F(SettingsLocationTest, TheFirstRunOfAnInstalledCopyCarriesTheOldFileOver)
{
    put(beside_, QByteArray(320, '\x01'));
    const QString preferences = root_.filePath(QStringLiteral("bin/fare.ini"));
    put(preferences, "[Speech]\nRate=90\n");
    for (const QString& file : {beside_, preferences})
        QFile::setPermissions(file, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    const QString path = locateSettingsFile(exe_, config_, false);
    EXPECT_EQ(contents(path), QByteArray(320, '\x01'));
    EXPECT_TRUE(QFileInfo(path).permissions() & QFile::WriteOwner) << "the copy can be saved";
    const QString copied = config_ + QStringLiteral("/fare.ini");
    EXPECT_EQ(contents(copied), QByteArray("[Speech]\nRate=90\n")) << "its preferences go along";
    EXPECT_TRUE(QFileInfo(copied).permissions() & QFile::WriteOwner);

    // Later runs keep what the configuration folder has.
    put(path, "newer");
    EXPECT_EQ(locateSettingsFile(exe_, config_, false), path);
    EXPECT_EQ(contents(path), QByteArray("newer"));
}

TEST_F(SettingsLocationTest, SystemFoldersAreNeverTheUsers)
{
    EXPECT_FALSE(isUsersOwnFolder(QStringLiteral("/usr/bin")));
    EXPECT_FALSE(isUsersOwnFolder(root_.filePath(QStringLiteral("missing"))));
    EXPECT_TRUE(isUsersOwnFolder(root_.filePath(QStringLiteral("bin"))));
}

} // namespace
