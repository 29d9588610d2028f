#include "platform/filelookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <sys/stat.h>

using platform::findFileIgnoringCase;

namespace
{

class FileLookupTest : public ::testing::Test
{
protected:
    void touch(const QString& name)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
};

} // namespace

TEST_F(FileLookupTest, TheExactNameComesFirst)
{
    touch(QStringLiteral("12.HY3"));
    touch(QStringLiteral("12.hy3"));
    EXPECT_EQ(findFileIgnoringCase(path(QStringLiteral("12.hy3"))), path(QStringLiteral("12.hy3")));
}

TEST_F(FileLookupTest, ANameDifferingInCaseIsFoundFirstInSortedOrder)
{
    touch(QStringLiteral("7tP.csv"));
    touch(QStringLiteral("7Tp.csv"));
    touch(QStringLiteral("7TP.CSV"));
    touch(QStringLiteral("17tp.csv"));
    EXPECT_EQ(findFileIgnoringCase(path(QStringLiteral("7tp.csv"))),
              path(QStringLiteral("7TP.CSV")));
    // A relative name looks in the working folder and stays relative.
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    EXPECT_EQ(findFileIgnoringCase(QStringLiteral("7tp.csv")), QStringLiteral("7TP.CSV"));
    QDir::setCurrent(previous);
}

TEST_F(FileLookupTest, NothingMatchingLeavesThePath)
{
    touch(QStringLiteral("12.hy3x"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("12.HY3"))); // a folder is no file
    ASSERT_EQ(::mkfifo(QFile::encodeName(path(QStringLiteral("12.Hy3"))).constData(), 0600), 0);
    EXPECT_EQ(findFileIgnoringCase(path(QStringLiteral("12.hy3"))), path(QStringLiteral("12.hy3")));
    EXPECT_EQ(findFileIgnoringCase(path(QStringLiteral("none/12.hy3"))),
              path(QStringLiteral("none/12.hy3")));
    EXPECT_EQ(findFileIgnoringCase(QString()), QString());
}

TEST(FileExists, FindsFilesOnly)
{
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/p.bmp");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(platform::fileExists(path));
    EXPECT_FALSE(platform::fileExists(dir.path() + QStringLiteral("/q.bmp")));
    EXPECT_FALSE(platform::fileExists(QString()));
    EXPECT_FALSE(platform::fileExists(dir.path())) << "a folder is no file";
}
