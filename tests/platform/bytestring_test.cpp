#include "platform/bytestring.h"
#include "platform/cp932.h"

#include <gtest/gtest.h>

TEST(ByteString, LengthCountsCp932Bytes)
{
    EXPECT_EQ(byteLength(platform::toCp932(QStringLiteral("市役所前"))), 8);
    EXPECT_EQ(byteLength(platform::toCp932(QStringLiteral("A市"))), 3);
    EXPECT_EQ(byteLength(QByteArray()), 0);
}

TEST(ByteString, SliceIsOneBasedAndEmptyPastTheEnd)
{
    const QByteArray name = platform::toCp932(QStringLiteral("駅前"));
    EXPECT_EQ(byteSlice(name, 1, 2), platform::toCp932(QStringLiteral("駅")));
    EXPECT_EQ(byteSlice(name, 3, 2), platform::toCp932(QStringLiteral("前")));
    EXPECT_TRUE(byteSlice(name, 5, 2).isEmpty());
    EXPECT_TRUE(byteSlice(name, 0, 2).isEmpty());
}

TEST(ByteString, SliceMayCutADoubleByteCharacter)
{
    const QByteArray odd = platform::toCp932(QStringLiteral("A駅"));
    EXPECT_EQ(byteSlice(odd, 1, 2), QByteArray("A\x89"));
    EXPECT_EQ(byteSlice(odd, 3, 2), QByteArray("\x77"));
}
