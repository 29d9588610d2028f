#include "platform/colorconversion.h"
#include "platform/fontmap.h"
#include "platform/runtimeerror.h"
#include "platform/twips.h"

#include <cerrno>
#include <gtest/gtest.h>

TEST(Twips, FifteenTwipsToAPixel)
{
    EXPECT_EQ(platform::twipsToPixels(7470), 498);
    EXPECT_EQ(platform::pixelsToTwips(248), 3720);
}

TEST(BgrColor, RedSitsInTheLowByte)
{
    EXPECT_EQ(platform::RGB(248, 210, 114), 0x72D2F8);
    const QColor c = platform::toQColor(0x72D2F8);
    EXPECT_EQ(c.red(), 248);
    EXPECT_EQ(c.green(), 210);
    EXPECT_EQ(c.blue(), 114);
    EXPECT_EQ(platform::fromQColor(QColor(192, 255, 192)), platform::RGB(192, 255, 192));
    // System-colour flags in the high byte do not disturb the colour.
    EXPECT_EQ(platform::toQColor(static_cast<platform::BgrColor>(0x80000000u | 0x0000FF)),
              QColor(255, 0, 0));
}

TEST(BgrColor, OpaqueColorIsWhatASavedColourReadsBackAs)
{
    EXPECT_EQ(platform::opaqueColor(QColor(10, 20, 30, 40)), QColor(10, 20, 30));
    EXPECT_EQ(platform::opaqueColor(QColor::fromHsv(0, 255, 255)), QColor(255, 0, 0));
    EXPECT_EQ(platform::opaqueColor(QColor::fromRgbF(0.5f, 0.5f, 0.5f)).spec(), QColor::Rgb);
    EXPECT_EQ(platform::opaqueColor(QColor()), QColor(0, 0, 0));
    const QColor odd = QColor::fromCmyk(10, 200, 30, 40);
    EXPECT_EQ(platform::toQColor(platform::fromQColor(odd)), platform::opaqueColor(odd));
}

TEST(FontMap, SystemFacesMapToIpaFonts)
{
    EXPECT_EQ(platform::mappedFamily(QStringLiteral("ＭＳ ゴシック")), "IPAGothic");
    EXPECT_EQ(platform::mappedFamily(QStringLiteral("ＭＳ 明朝")), "IPAMincho");
    EXPECT_EQ(platform::mappedFamily(QStringLiteral("ＭＳ Ｐゴシック")), "IPAPGothic");
    EXPECT_EQ(platform::mappedFamily("DejaVu Sans"), "DejaVu Sans");
    EXPECT_TRUE(platform::mappedFont(platform::GothicFace, 12, true).bold());
}

TEST(RuntimeError, NumbersAndDescriptions)
{
    EXPECT_EQ(platform::errorDescription(53), QStringLiteral("ファイルが見つかりません。"));
    EXPECT_EQ(platform::errorDescription(76), QStringLiteral("パスが見つかりません。"));
    EXPECT_EQ(platform::errorNumberFromErrno(ENOENT), 53);
    EXPECT_EQ(platform::errorNumberFromErrno(EACCES), 70);
    platform::RuntimeError e(481);
    EXPECT_EQ(e.number(), 481);
    EXPECT_EQ(e.description(), QStringLiteral("ピクチャが不正です。"));
}
