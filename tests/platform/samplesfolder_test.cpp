#include "platform/samplesfolder.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(SamplesFolder, FoundBesideAnInstalledExecutableOnly)
{
    QTemporaryDir prefix;
    ASSERT_TRUE(prefix.isValid());
    const QString bin = prefix.filePath(QStringLiteral("bin"));
    ASSERT_TRUE(QDir().mkpath(bin));
    // A build tree: nothing installed beside the executable.
    EXPECT_TRUE(platform::installedSamplesFolder(bin).isEmpty());

    const QString samples =
        QDir::cleanPath(bin + QLatin1Char('/') + QStringLiteral(FARE_SAMPLES_DIR_FROM_BINDIR));
    if (!samples.startsWith(prefix.path()))
        GTEST_SKIP() << "the samples are installed outside the prefix";
    ASSERT_TRUE(QDir().mkpath(samples));
    EXPECT_EQ(platform::installedSamplesFolder(bin), samples);
}
