#include "elements/dotraster.h"
#include "elements/nextstopnameboard.h"
#include "elements/stopnameboard.h"
#include "platform/cp932.h"
#include "platform/fontmap.h"
#include "platform/wait.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPaintEvent>
#include <QThread>
#include <QWindow>
#include <algorithm>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <vector>

using namespace dotboard;

namespace
{

const QString Block = QStringLiteral("■");

// The dots found in the strip with a cell's top-left dot at (x, y).
DotMatrix dotsAt(const DotStrip& strip, int x, int y = 0)
{
    DotMatrix dots;
    for (int i = 0; i < RasterSize; ++i) {
        for (int j = 0; j < RasterSize; ++j) {
            if (strip.isLit(x + DotPitch * i, y + DotPitch * j))
                dots.set(i, j);
        }
    }
    return dots;
}

DotMatrix glyph(const QString& text, const QString& face = platform::GothicFace, bool bold = false,
                int pixels = RasterPixels, int top = 0)
{
    GlyphRaster raster;
    raster.setFace(face);
    raster.setBold(bold);
    raster.setPixelSize(pixels);
    raster.setTop(top);
    return raster.render(text);
}

DotMatrix unite(const DotMatrix& a, const DotMatrix& b)
{
    DotMatrix both = a;
    for (int i = 0; i < RasterSize; ++i) {
        for (int j = 0; j < RasterSize; ++j) {
            if (b.lit(i, j))
                both.set(i, j);
        }
    }
    return both;
}

// Nothing lit in the strip's columns [from, to).
bool blankBetween(const DotStrip& strip, int from, int to)
{
    return strip.firstLitColumn(from, to) == -1;
}

class StopNameScroll : public ::testing::Test
{
protected:
    platform::ManualClock clock;
    NextStopNameBoard board{clock};

    // Advances the clock in frame-sized steps, running the passes as the timer would.
    void run(qint64 ms)
    {
        while (ms > 0) {
            const qint64 step = std::min<qint64>(ms, StopNameBoard::FrameIntervalMs);
            clock.advance(step);
            board.advanceScroll();
            ms -= step;
        }
    }
};

const QString NineCells = QStringLiteral("市役所前中央通り東");

} // namespace

// --- pure logic --------------------------------------------------------------------------

TEST(StopNameLayout, PlainTableSpreadsShortNamesAndLinesUpLongOnes)
{
    EXPECT_EQ(plainLayout(0), (CellLayout{0, 0, 432}));
    EXPECT_EQ(plainLayout(1), (CellLayout{188, 0, 432}));
    EXPECT_EQ(plainLayout(2), (CellLayout{81, 216, 432}));
    EXPECT_EQ(plainLayout(3), (CellLayout{54, 135, 432}));
    EXPECT_EQ(plainLayout(4), (CellLayout{27, 108, 432}));
    EXPECT_EQ(plainLayout(5), (CellLayout{27, 81, 432}));
    EXPECT_EQ(plainLayout(6), (CellLayout{0, 75, 432}));
    EXPECT_EQ(plainLayout(7), (CellLayout{0, 62, 432}));
    EXPECT_EQ(plainLayout(8), (CellLayout{0, 54, 432}));
    EXPECT_EQ(plainLayout(9), (CellLayout{0, 54, 486}));
    EXPECT_EQ(plainLayout(-3), plainLayout(0));
    EXPECT_FALSE(needsScroll(8, false));
    EXPECT_TRUE(needsScroll(9, false));
}

TEST(StopNameLayout, PrefixTableLeavesRoomForThePrefix)
{
    EXPECT_EQ(prefixLayout(1), (CellLayout{242, 0, 432}));
    EXPECT_EQ(prefixLayout(2), (CellLayout{162, 162, 432}));
    EXPECT_EQ(prefixLayout(3), (CellLayout{135, 108, 432}));
    EXPECT_EQ(prefixLayout(4), (CellLayout{135, 71, 432}));
    EXPECT_EQ(prefixLayout(5), (CellLayout{108, 67, 432}));
    EXPECT_EQ(prefixLayout(6), (CellLayout{108, 54, 432}));
    EXPECT_EQ(prefixLayout(7), (CellLayout{108, 54, 486}));
    EXPECT_EQ(prefixLayout(0), prefixLayout(1)); // a lone byte stays clear of the prefix
    EXPECT_FALSE(needsScroll(6, true));
    EXPECT_TRUE(needsScroll(7, true));
    EXPECT_FALSE(needsScroll(0, true));
}

TEST(StopNameCells, CutsIntoTwoByteCellsAndNeverThroughACharacter)
{
    // Two single-byte characters share a cell; a double-byte one that would start in the
    // second half of a cell starts the next one, a blank filling the half it leaves.
    const QByteArray name = platform::toCp932(QStringLiteral("AB市C前")); // 41 42 8E73 43 914F
    EXPECT_EQ(cutIntoCells(name), (QList<QByteArray>{"AB", "\x8E\x73", "C ", "\x91\x4F"}));
    EXPECT_EQ(cellCount(name), 4);
    EXPECT_EQ(cutIntoCells(platform::toCp932(QStringLiteral("A市B"))),
              (QList<QByteArray>{"A ", "\x8E\x73", "B"}));
    EXPECT_EQ(cellCount(platform::toCp932(QStringLiteral("A市B"))), 2);
    // A lead byte with nothing after it is left where it is.
    EXPECT_EQ(cellAlignedBytes(QByteArray("A\x8E")), QByteArray("A\x8E"));
    // Names without the case keep their bytes.
    for (const QString& plain : {QStringLiteral("市役所前"), QStringLiteral("ABCD"),
                                 QStringLiteral("AB市"), QStringLiteral("市A")})
        EXPECT_EQ(cellAlignedBytes(platform::toCp932(plain)), platform::toCp932(plain));

    const QList<QByteArray> odd = cutIntoCells(platform::toCp932(QStringLiteral("市A")));
    ASSERT_EQ(odd.size(), 2);
    EXPECT_EQ(odd[1], QByteArray("A"));
    EXPECT_EQ(cellCount(platform::toCp932(QStringLiteral("市A"))), 1);
    EXPECT_TRUE(cutIntoCells({}).isEmpty());
}

TEST(StopNameCells, VerticalFormsBecomeHorizontal)
{
    EXPECT_EQ(horizontalForms(QStringLiteral("丨")), QStringLiteral("ー"));
    EXPECT_EQ(horizontalForms(QStringLiteral("｜")), QStringLiteral("－"));
    EXPECT_EQ(horizontalForms(QStringLiteral("↓")), QStringLiteral("→"));
    EXPECT_EQ(horizontalForms(QStringLiteral("↑")), QStringLiteral("←"));
    EXPECT_EQ(horizontalForms(QStringLiteral("前")), QStringLiteral("前"));
}

TEST(StopNameFontMode, CodeIsSignedSixteenBit)
{
    EXPECT_EQ(signedCharCode(QStringLiteral("市")), static_cast<std::int16_t>(0x8E73));
    EXPECT_LT(signedCharCode(QStringLiteral("市")), 0);
    EXPECT_EQ(signedCharCode(QStringLiteral("あ")), static_cast<std::int16_t>(0x82A0));
    EXPECT_EQ(signedCharCode(QStringLiteral("Ａ")), static_cast<std::int16_t>(0x8260));
    EXPECT_EQ(signedCharCode(QStringLiteral("AB")), 0x41);
    EXPECT_EQ(signedCharCode(QStringLiteral("ｱ")), 0xB1); // half-width kana: one byte
    EXPECT_EQ(signedCharCode({}), 0);
}

TEST(StopNameFontMode, FaceByModeAndCode)
{
    const QString gothic = platform::GothicFace;
    const QString mincho = platform::MinchoFace;
    const auto code = [](const char* utf8) { return signedCharCode(QString::fromUtf8(utf8)); };
    // kanji, kana, full-width letter, single-byte letter
    for (const char* ch : {"駅", "あ", "Ａ", "A"}) {
        EXPECT_EQ(cellFace(0, code(ch)), gothic) << ch;
        EXPECT_EQ(cellFace(1, code(ch)), mincho) << ch;
        EXPECT_EQ(cellFace(9, code(ch)), gothic) << ch;
        EXPECT_EQ(cellFace(-1, code(ch)), gothic) << ch;
    }
    EXPECT_EQ(cellFace(2, code("駅")), gothic);
    EXPECT_EQ(cellFace(2, code("あ")), mincho);
    EXPECT_EQ(cellFace(2, code("Ａ")), mincho);
    EXPECT_EQ(cellFace(2, code("A")), gothic); // single bytes count as kanji
    EXPECT_EQ(cellFace(3, code("駅")), mincho);
    EXPECT_EQ(cellFace(3, code("あ")), gothic);
    EXPECT_EQ(cellFace(3, code("A")), mincho);
    EXPECT_EQ(cellFace(4, code("Ａ")), gothic);
    EXPECT_EQ(cellFace(4, code("０")), gothic);
    EXPECT_EQ(cellFace(4, code("ｚ")), gothic);
    EXPECT_EQ(cellFace(4, code("A")), mincho);
    EXPECT_EQ(cellFace(4, code("あ")), mincho);
    EXPECT_EQ(cellFace(4, code("駅")), mincho);
    // Boundaries of the kanji range.
    EXPECT_EQ(cellFace(2, static_cast<std::int16_t>(0x889E)), mincho);
    EXPECT_EQ(cellFace(2, static_cast<std::int16_t>(0x889F)), gothic);
    EXPECT_EQ(cellFace(2, static_cast<std::int16_t>(0xE040)), gothic);
}

TEST(StopNameFontMode, PrefixFaces)
{
    const QString gothic = platform::GothicFace;
    const QString mincho = platform::MinchoFace;
    EXPECT_EQ(firstPrefixFace(0), gothic);
    EXPECT_EQ(secondPrefixFace(0), gothic);
    EXPECT_EQ(firstPrefixFace(1), gothic);
    EXPECT_EQ(secondPrefixFace(1), mincho);
    EXPECT_EQ(firstPrefixFace(2), mincho);
    EXPECT_EQ(secondPrefixFace(2), mincho);
    EXPECT_EQ(firstPrefixFace(3), mincho);
    EXPECT_EQ(secondPrefixFace(3), gothic);
    EXPECT_EQ(firstPrefixFace(7), gothic);
    EXPECT_EQ(secondPrefixFace(-2), gothic);
}

TEST(GlyphRasterDots, GlyphFillsTheCellAndFacesDiffer)
{
    const DotMatrix gothic = glyph(QStringLiteral("駅"));
    EXPECT_GT(gothic.litCount(), 40);
    EXPECT_NE(gothic, glyph(QStringLiteral("駅"), platform::MinchoFace));
    EXPECT_NE(gothic, glyph(QStringLiteral("駅"), platform::GothicFace, true));
    EXPECT_GT(glyph(QStringLiteral("駅"), platform::GothicFace, true).litCount(),
              gothic.litCount());
    // The text stands at the top: a full block reaches the upper rows.
    const DotMatrix block = glyph(Block);
    bool upper = false;
    for (int i = 0; i < RasterSize; ++i)
        upper = upper || block.lit(i, 3);
    EXPECT_TRUE(upper);
    EXPECT_TRUE(glyph(QStringLiteral(" ")).isEmpty());
}

TEST(DotStripPlot, DotsAreTwoPixelSquaresAtPitchThreeClippedAtTheEdges)
{
    DotStrip strip;
    strip.reset(60, QColor(0, 0, 0), QColor(255, 192, 128), QColor(1, 2, 3));
    DotMatrix dots;
    dots.set(0, 0);
    dots.set(17, 17);
    strip.plot(dots, 10, 0, DotStrip::Name);
    EXPECT_TRUE(strip.isLit(10, 0) && strip.isLit(11, 1));
    EXPECT_FALSE(strip.isLit(12, 0) || strip.isLit(10, 2));
    EXPECT_FALSE(strip.isLit(59, 51)); // (10 + 51, 51) is past the width: clipped
    EXPECT_EQ(strip.colorAt(10, 0), QColor(255, 192, 128));
    strip.plot(dots, -100, -100, DotStrip::Prefix); // wholly outside: nothing, no crash
    strip.plot(dots, 59, 55, DotStrip::Prefix);
    EXPECT_EQ(strip.colorAt(59, 55), QColor(1, 2, 3));

    strip.setInkColor(DotStrip::Name, QColor(0, 255, 0));
    strip.plot(dots, 30, 0, DotStrip::Name);
    EXPECT_EQ(strip.colorAt(10, 0), QColor(255, 192, 128)); // earlier dots keep their colour
    EXPECT_EQ(strip.colorAt(30, 0), QColor(0, 255, 0));

    strip.setInkColor(DotStrip::Name, QColor(0, 0, 255, 0)); // inks are drawn opaque
    strip.plot(dots, 20, 0, DotStrip::Name);
    EXPECT_EQ(strip.colorAt(20, 0), QColor(0, 0, 255));
    EXPECT_EQ(strip.colorAt(12, 0), QColor(0, 0, 0)); // the background between dots
    EXPECT_FALSE(strip.colorAt(60, 0).isValid());     // off the strip: no colour
    EXPECT_FALSE(strip.colorAt(0, -1).isValid());
}

TEST(GlyphCacheDots, OneEntryPerTextAndLookOfTheGlyph)
{
    auto cache = std::make_shared<GlyphCache>();
    GlyphRaster cached;
    cached.setCache(cache);
    const RasterGlyph gothic{QStringLiteral("駅"), platform::GothicFace};
    const QList<RasterGlyph> looks = {
        gothic,
        {gothic.text, platform::MinchoFace},
        {gothic.text, gothic.face, true},
        {gothic.text, gothic.face, false, SmallParticlePixels},
        {gothic.text, gothic.face, false, RasterPixels, SmallParticleTop},
        {QStringLiteral("前"), gothic.face}};
    for (const RasterGlyph& look : looks) {
        GlyphRaster plain;
        EXPECT_EQ(cached.render(look), plain.render(look)) << look.face.toStdString();
    }
    EXPECT_EQ(cache->size(), looks.size());
    EXPECT_EQ(cache->misses(), looks.size());
    for (const RasterGlyph& look : looks) {
        GlyphRaster plain;
        EXPECT_EQ(cached.render(look), plain.render(look));
    }
    EXPECT_EQ(cache->misses(), looks.size()); // all found

    for (int i = cache->size(); i < GlyphCache::MaxEntries; ++i)
        cache->insert(QString::number(i), DotMatrix());
    cached.render(QStringLiteral("東"));
    EXPECT_EQ(cache->size(), 1); // full: it started afresh
}

// --- the board: drawing ------------------------------------------------------------------

struct LayoutCase {
    int prefixMode;
    std::vector<int> cellX; // where each cell's left edge must be
    int stripWidth;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.cellX.size() << " cells, prefix mode " << c.prefixMode;
}

class StopNamePlacement : public ::testing::TestWithParam<LayoutCase>
{
};

TEST_P(StopNamePlacement, EveryCellSitsAtItsTableX)
{
    platform::ManualClock clock;
    const LayoutCase& c = GetParam();
    const int cells = static_cast<int>(c.cellX.size());
    NextStopNameBoard board{clock};
    board.setPrefixMode(static_cast<std::int16_t>(c.prefixMode));
    board.setStopName(Block.repeated(cells));

    EXPECT_EQ(board.stripWidth(), c.stripWidth);
    const DotMatrix block = glyph(Block);
    int firstBlockDot = 0;
    while (block.column(firstBlockDot) == 0)
        ++firstBlockDot;
    int expectedEnd = c.prefixMode != 0 ? 2 * CellWidth : 0;
    for (int k = 0; k < cells; ++k) {
        const int x = c.cellX[k];
        EXPECT_EQ(dotsAt(board.strip(), x), block) << "cell " << k + 1 << " at " << x;
        EXPECT_EQ(board.strip().firstLitColumn(expectedEnd, board.stripWidth()),
                  x + DotPitch * firstBlockDot)
            << "cell " << k + 1;
        EXPECT_EQ(board.strip().colorAt(x + DotPitch * 8, DotPitch * 8), board.foreColor());
        expectedEnd = x + CellWidth;
    }
    EXPECT_TRUE(blankBetween(board.strip(), expectedEnd, board.stripWidth()));
    EXPECT_EQ(board.isScrolling(), board.stripWidth() > BoardWidth);
    EXPECT_EQ(board.stripLeft(), 0);
}

std::vector<int> edgeToEdge(int from, int cells)
{
    std::vector<int> xs;
    for (int k = 0; k < cells; ++k)
        xs.push_back(from + k * CellWidth);
    return xs;
}

INSTANTIATE_TEST_SUITE_P(
    Cells, StopNamePlacement,
    ::testing::Values(
        LayoutCase{0, {188}, 432}, LayoutCase{0, {81, 297}, 432},
        LayoutCase{0, {54, 189, 324}, 432}, LayoutCase{0, {0, 62, 124, 186, 248, 310, 372}, 432},
        LayoutCase{0, edgeToEdge(0, 8), 432}, LayoutCase{0, edgeToEdge(0, 9), 486},
        LayoutCase{1, {242}, 432}, LayoutCase{1, {162, 324}, 432},
        LayoutCase{1, {135, 243, 351}, 432}, LayoutCase{2, {135, 206, 277, 348}, 432},
        LayoutCase{1, {108, 175, 242, 309, 376}, 432}, LayoutCase{2, edgeToEdge(108, 6), 432},
        LayoutCase{1, edgeToEdge(108, 7), 486}, LayoutCase{2, edgeToEdge(108, 9), 594}));

TEST(StopNameBoardDrawing, SevenCellsScrollOnlyWithThePrefix)
{
    platform::ManualClock clock;
    NextStopNameBoard board{clock};
    const QString seven = QStringLiteral("市役所前中央通");
    board.setStopName(seven);
    EXPECT_EQ(board.stripWidth(), 432);
    EXPECT_FALSE(board.isScrolling());
    board.setPrefixMode(1);
    board.setStopName(seven);
    EXPECT_EQ(board.stripWidth(), 486);
    EXPECT_TRUE(board.isScrolling());
}

TEST(StopNameBoardDrawing, OddBytesAndSingleByteCells)
{
    StopNameBoard board;
    // One double-byte and one single-byte character: cells = 1, both at x = 188.
    board.setStopName(QStringLiteral("市A"));
    EXPECT_EQ(dotsAt(board.strip(), 188),
              unite(glyph(QStringLiteral("市")), glyph(QStringLiteral("A"))));
    EXPECT_TRUE(blankBetween(board.strip(), 0, 188));
    // Two single-byte letters share one cell and one raster.
    board.setStopName(QStringLiteral("AB"));
    EXPECT_EQ(dotsAt(board.strip(), 188), glyph(QStringLiteral("AB")));
    // A lone byte has no whole cell and is still drawn at the first cell position.
    board.setStopName(QStringLiteral("A"));
    EXPECT_EQ(dotsAt(board.strip(), 0), glyph(QStringLiteral("A")));
}

// A board whose strip can be drawn by hand, cell by cell.
template <class Board> class HandDrawnBoard : public Board
{
public:
    using Board::resetStrip;
};

struct WholeNameCase {
    QString name;
    int prefixMode;
    QStringList cells; // what each cell shows, in order
    QString typed;     // the same name with the filling blanks typed into it
    bool scrolls;
};

void PrintTo(const WholeNameCase& c, std::ostream* os)
{
    *os << c.name.toStdString() << ", prefix mode " << c.prefixMode;
}

class StopNameWholeCharacters : public ::testing::TestWithParam<WholeNameCase>
{
};

TEST_P(StopNameWholeCharacters, EveryCharacterIsDrawnWholeInItsOwnCell)
{
    platform::ManualClock clock;
    const WholeNameCase& c = GetParam();
    const int cells = static_cast<int>(c.cells.size());
    NextStopNameBoard board{clock};
    board.setPrefixMode(static_cast<std::int16_t>(c.prefixMode));
    board.setStopName(c.name);

    const CellLayout layout = c.prefixMode != 0 ? prefixLayout(cells) : plainLayout(cells);
    EXPECT_EQ(board.stripWidth(), layout.stripWidth);
    EXPECT_EQ(board.isScrolling(), c.scrolls);
    for (int k = 0; k < cells; ++k)
        EXPECT_EQ(dotsAt(board.strip(), layout.x0 + k * layout.pitch), glyph(c.cells[k]))
            << "cell " << k + 1 << " " << c.cells[k].toStdString();
    NextStopNameBoard typed;
    typed.setPrefixMode(static_cast<std::int16_t>(c.prefixMode));
    typed.setStopName(c.typed);
    EXPECT_EQ(board.strip().image(), typed.strip().image());

    // Scrolled until the last cell is on the board: the painted board shows it whole.
    if (c.scrolls) {
        board.setBackColor(QColor(0, 0, 0));
        board.setScrollStartWait(0);
        board.setSpeed(200); // a pixel a millisecond
        board.setStopName(c.name);
        board.advanceScroll();
        const int lastX = layout.x0 + (cells - 1) * layout.pitch;
        const int scrolled = lastX - 200;
        clock.advance(scrolled);
        board.advanceScroll();
        ASSERT_EQ(board.stripLeft(), -scrolled);
        const QImage shot = board.grab().toImage();
        const int border = 2; // the sunken frame
        DotMatrix shown;
        for (int i = 0; i < RasterSize; ++i)
            for (int j = 0; j < RasterSize; ++j)
                if (shot.pixelColor(200 + DotPitch * i + border,
                                    DotPitch * j + 1 + StripTop + border) != QColor(0, 0, 0))
                    shown.set(i, j);
        EXPECT_EQ(shown, glyph(c.cells.last()));
    }
}

const QStringList KeyakiCells = {"ｹﾔ", "ｷ", "通", "り", "三", "丁", "目"};

INSTANTIATE_TEST_SUITE_P(
    Names, StopNameWholeCharacters,
    ::testing::Values(WholeNameCase{"ｹﾔｷ通り", 0, KeyakiCells.first(4), "ｹﾔｷ 通り", false},
                      WholeNameCase{"ﾊﾞｽ停", 0, {"ﾊﾞ", "ｽ", "停"}, "ﾊﾞｽ 停", false},
                      WholeNameCase{"ABC前", 0, {"AB", "C", "前"}, "ABC 前", false},
                      WholeNameCase{"ｹﾔｷ通り三丁目", 0, KeyakiCells, "ｹﾔｷ 通り三丁目", false},
                      WholeNameCase{"ｹﾔｷ通り三丁目ﾊﾞｽ停", 0,
                                    KeyakiCells + QStringList{"ﾊﾞ", "ｽ", "停"},
                                    "ｹﾔｷ 通り三丁目ﾊﾞｽ 停", true},
                      WholeNameCase{"ｹﾔｷ通り", 1, KeyakiCells.first(4), "ｹﾔｷ 通り", false},
                      WholeNameCase{"ﾊﾞｽ停", 2, {"ﾊﾞ", "ｽ", "停"}, "ﾊﾞｽ 停", false},
                      WholeNameCase{"ABC前", 1, {"AB", "C", "前"}, "ABC 前", false},
                      WholeNameCase{"ｹﾔｷ通り三丁目", 1, KeyakiCells, "ｹﾔｷ 通り三丁目", true}));

TEST(StopNameBoardDrawing, NamesWithoutAStraddlingCharacterDrawAsBefore)
{
    // The strip drawn by hand from plain two-byte slices at the table's places, as the board
    // drew every name before it kept characters whole.
    const auto drawSlices = [](StopNameBoard& board, const QByteArray& bytes,
                               const CellLayout& layout) {
        for (int k = 0; 2 * k < bytes.size(); ++k)
            board.drawCell(layout.x0 + k * layout.pitch, 0,
                           platform::fromCp932(bytes.mid(2 * k, 2)));
    };
    for (const QString& name :
         {QStringLiteral("市役所前"), QStringLiteral("ABCD市"), QStringLiteral("市A"),
          QStringLiteral("ｱｲ市ｳ"), QStringLiteral("市役所前中央通り東"), QStringLiteral("AB")}) {
        const QByteArray bytes = platform::toCp932(name);
        const int cells = static_cast<int>(bytes.size() / 2);
        StopNameBoard board;
        board.setStopName(name);
        HandDrawnBoard<StopNameBoard> plain;
        plain.resetStrip(plainLayout(cells).stripWidth);
        drawSlices(plain, bytes, plainLayout(cells));
        EXPECT_EQ(board.strip().image(), plain.strip().image()) << name.toStdString();

        NextStopNameBoard prefixed;
        prefixed.setPrefixMode(1);
        prefixed.setStopName(name);
        HandDrawnBoard<NextStopNameBoard> withPrefix;
        withPrefix.setPrefixMode(1);
        withPrefix.resetStrip(prefixLayout(cells).stripWidth);
        withPrefix.drawPrefix();
        drawSlices(withPrefix, bytes, prefixLayout(cells));
        EXPECT_EQ(prefixed.strip().image(), withPrefix.strip().image()) << name.toStdString();
    }
}

TEST(StopNameBoardDrawing, SubstitutionHappensBeforeTheFaceChoice)
{
    StopNameBoard board;
    board.setFontMode(3); // kanji Mincho, the rest Gothic
    board.setStopName(QStringLiteral("丨"));
    EXPECT_EQ(dotsAt(board.strip(), 188), glyph(QStringLiteral("ー"), platform::GothicFace));
    board.setStopName(QStringLiteral("↑"));
    EXPECT_EQ(dotsAt(board.strip(), 188), glyph(QStringLiteral("←"), platform::GothicFace));
}

TEST(StopNameBoardDrawing, FontModesPickTheFacePerCell)
{
    StopNameBoard board;
    board.setFontMode(4);
    board.setStopName(QStringLiteral("ＡA")); // 3 bytes: cells "Ａ" and "A", both at 188
    EXPECT_EQ(dotsAt(board.strip(), 188), unite(glyph(QStringLiteral("Ａ"), platform::GothicFace),
                                                glyph(QStringLiteral("A"), platform::MinchoFace)));
    board.setFontMode(2);
    board.setStopName(QStringLiteral("駅あ"));
    EXPECT_EQ(dotsAt(board.strip(), 81), glyph(QStringLiteral("駅"), platform::GothicFace));
    EXPECT_EQ(dotsAt(board.strip(), 81 + 216), glyph(QStringLiteral("あ"), platform::MinchoFace));
}

TEST(StopNameBoardDrawing, PrefixDotsFacesAndSizes)
{
    NextStopNameBoard board;
    board.setPrefixColor(QColor(10, 20, 30));
    board.setPrefixMode(1);
    board.setStopName(QStringLiteral("駅"));
    const QString firstPrefixChar = QStringLiteral("次");
    const QString secondPrefixChar = QStringLiteral("は");
    EXPECT_EQ(dotsAt(board.strip(), 0), glyph(firstPrefixChar));
    EXPECT_EQ(dotsAt(board.strip(), 54), glyph(secondPrefixChar, platform::GothicFace, false,
                                               SmallParticlePixels, SmallParticleTop));
    EXPECT_NE(dotsAt(board.strip(), 54), glyph(secondPrefixChar));
    const int x = board.strip().firstLitColumn(0, 54);
    ASSERT_GE(x, 0);
    int y = 0;
    while (!board.strip().isLit(x, y))
        ++y;
    EXPECT_EQ(board.strip().colorAt(x, y), QColor(10, 20, 30));
    EXPECT_EQ(dotsAt(board.strip(), 242), glyph(QStringLiteral("駅")));

    board.setPrefixMode(2);
    board.setPrefixFontMode(1);
    board.setStopName(QStringLiteral("駅"));
    EXPECT_EQ(dotsAt(board.strip(), 0), glyph(firstPrefixChar, platform::GothicFace));
    EXPECT_EQ(dotsAt(board.strip(), 54), glyph(secondPrefixChar, platform::MinchoFace));

    // Bold name, regular prefix.
    board.setFontBold(true);
    board.setPrefixBold(false);
    board.setStopName(QStringLiteral("駅"));
    EXPECT_EQ(dotsAt(board.strip(), 0), glyph(firstPrefixChar, platform::GothicFace, false));
    EXPECT_EQ(dotsAt(board.strip(), 242), glyph(QStringLiteral("駅"), platform::GothicFace, true));

    // An empty name shows no prefix either.
    board.setStopName({});
    EXPECT_TRUE(blankBetween(board.strip(), 0, board.stripWidth()));
}

TEST(StopNameBoardDrawing, ColoursAndBackground)
{
    StopNameBoard board;
    board.setStopName(Block);
    const int x = board.strip().firstLitColumn(0, 432);
    ASSERT_GE(x, 188);
    board.setForeColor(QColor(0, 0, 255));
    EXPECT_NE(board.strip().colorAt(x, 9), QColor(0, 0, 255)); // shown dots keep their colour
    board.setStopName(Block);
    EXPECT_EQ(board.strip().colorAt(x, 9), QColor(0, 0, 255));
    board.setBackColor(QColor(0, 0, 0)); // erases the board
    EXPECT_TRUE(blankBetween(board.strip(), 0, 432));
    EXPECT_EQ(board.strip().colorAt(0, 0), QColor(0, 0, 0));
}

TEST(StopNameBoardDrawing, PaintShowsTheStripInsideTheFrame)
{
    StopNameBoard board;
    board.setBackColor(QColor(0, 0, 0));
    board.setForeColor(QColor(255, 192, 128));
    board.setStopName(Block);
    const int x = board.strip().firstLitColumn(0, 432);
    int y = 0;
    while (!board.strip().isLit(x, y))
        ++y;
    // Sunken border of two pixels; the strip sits one pixel up inside the frame.
    QImage shot = board.grab().toImage();
    EXPECT_EQ(shot.size(), QSize(432, 56));
    EXPECT_EQ(shot.pixelColor(x + 2, y + 2 + StripTop), QColor(255, 192, 128));
    EXPECT_EQ(shot.pixelColor(100, 30), QColor(0, 0, 0));
    board.setAppearance(0);
    board.setStopName(Block);
    shot = board.grab().toImage();
    EXPECT_EQ(shot.pixelColor(x + 1, y + 1 + StripTop), QColor(255, 192, 128));
}

TEST(StopNameBoardDrawing, PaintShowsTheScrolledPartOfTheStrip)
{
    platform::ManualClock clock;
    StopNameBoard board{clock};
    board.setBackColor(QColor(0, 0, 0));
    board.setForeColor(QColor(255, 192, 128));
    board.setScrollStartWait(0);
    board.setSpeed(200);
    board.setStopName(NineCells);
    board.advanceScroll();
    clock.advance(137);
    board.advanceScroll();
    ASSERT_EQ(board.stripLeft(), -137);
    const QImage shot = board.grab().toImage();
    int checked = 0;
    for (int x = 137; x < 137 + 428; x += 7) {
        for (int y = 1; y < 55; y += 5) {
            const QColor expected =
                board.strip().isLit(x, y) ? QColor(255, 192, 128) : QColor(0, 0, 0);
            ASSERT_EQ(shot.pixelColor(x - 137 + 2, y + StripTop + 2), expected) << x << "," << y;
            ++checked;
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(StopNameBoardDrawing, BadInputIsDrawnOrIgnored)
{
    platform::ManualClock clock;
    NextStopNameBoard board{clock};
    board.setPrefixMode(1);
    for (const QString& name :
         {QStringLiteral("\t\n\r\x01"), QStringLiteral("😀🚌"), QStringLiteral("A市B"),
          QStringLiteral("A"), QString(QChar(0xFFFD)), QStringLiteral("\u00e9t\u00e9")}) {
        board.setStopName(name);
        EXPECT_EQ(board.stripLeft(), 0);
    }
    board.setStopName(QStringLiteral("駅").repeated(10'000));
    EXPECT_EQ(board.stripWidth(), (10'000 + 2) * CellWidth);
    EXPECT_TRUE(board.isScrolling());
    board.setStopName(QStringLiteral("駅"));
    EXPECT_FALSE(board.isScrolling());
}

// --- scrolling -----------------------------------------------------------------------------

TEST_F(StopNameScroll, PausesThenMovesSpeedOver200PixelPerMillisecond)
{
    board.setStopName(NineCells);
    EXPECT_EQ(board.stripWidth(), 486);
    EXPECT_TRUE(board.isScrolling());
    EXPECT_TRUE(board.isScrollPausing());
    EXPECT_TRUE(clock.sleeps().empty()); // the pause is timed, not slept
    run(1499);
    EXPECT_TRUE(board.isScrollPausing());
    EXPECT_EQ(board.stripLeft(), 0);
    run(1);
    EXPECT_FALSE(board.isScrollPausing());
    run(200); // 200 passes of 5/200 pixel
    EXPECT_NEAR(board.scrollPosition(), -5.0, 1e-9);
    EXPECT_EQ(board.stripLeft(), -5);
    board.setSpeed(40); // read afresh on every pass
    run(100);
    EXPECT_NEAR(board.scrollPosition(), -25.0, 1e-9);
    EXPECT_EQ(board.stripLeft(), -25);
}

TEST_F(StopNameScroll, WrapsWhenABoardWidthOfBlankHasPassedAndPausesAgain)
{
    board.setSpeed(200); // one pixel per pass
    board.setScrollStartWait(100);
    board.setStopName(NineCells);
    run(100);
    run(486 + 432 - 1);
    EXPECT_EQ(board.stripLeft(), -917);
    run(1);
    EXPECT_EQ(board.stripLeft(), 0);
    EXPECT_TRUE(board.isScrollPausing());
    run(99);
    EXPECT_EQ(board.stripLeft(), 0);
    run(1 + 10);
    EXPECT_EQ(board.stripLeft(), -10);
}

TEST_F(StopNameScroll, LongStallsDoNotHangTheBoard)
{
    board.setSpeed(200);
    board.setScrollStartWait(0);
    board.setStopName(NineCells);
    clock.advance(50'000'000);
    board.advanceScroll();
    EXPECT_TRUE(board.isScrolling());
    EXPECT_LE(board.stripLeft(), 0);
    EXPECT_GT(board.stripLeft(), -918);
}

TEST_F(StopNameScroll, SpeedZeroBecomesOneAndNegativeMovesLikeOne)
{
    board.setSpeed(0);
    board.clearPropertiesModified();
    board.setStopName(NineCells);
    run(1499);
    EXPECT_EQ(board.speed(), 0); // not before the pause is over
    EXPECT_FALSE(board.propertiesModified());
    run(201);
    EXPECT_EQ(board.speed(), 1);
    EXPECT_TRUE(board.propertiesModified());
    EXPECT_NEAR(board.scrollPosition(), -1.0, 1e-9);

    board.setSpeed(-50);
    run(200);
    EXPECT_NEAR(board.scrollPosition(), -2.0, 1e-9);
    EXPECT_EQ(board.speed(), -50);
}

TEST_F(StopNameScroll, EmptyNameBlanksButKeepsTheScrollGoing)
{
    board.setSpeed(200);
    board.setScrollStartWait(0);
    board.setStopName(NineCells);
    run(100);
    board.setStopName({});
    EXPECT_TRUE(blankBetween(board.strip(), 0, board.stripWidth()));
    EXPECT_TRUE(board.isScrolling());
    EXPECT_EQ(board.stripLeft(), -100);
    run(100);
    EXPECT_EQ(board.stripLeft(), -200);
    run(918 - 200); // wraps at the old strip's width
    EXPECT_EQ(board.stripLeft(), 0);
    EXPECT_TRUE(board.isScrolling());
}

TEST_F(StopNameScroll, ANewNameReplacesTheScroll)
{
    board.setSpeed(200);
    board.setStopName(NineCells);
    run(1600);
    EXPECT_EQ(board.stripLeft(), -100);
    board.setStopName(QStringLiteral("駅前"));
    EXPECT_FALSE(board.isScrolling());
    EXPECT_EQ(board.stripLeft(), 0);
    run(500);
    EXPECT_EQ(board.stripLeft(), 0);

    board.setStopName(NineCells);
    run(1000);
    board.setStopName(NineCells + NineCells); // its own scroll, with its own pause
    EXPECT_TRUE(board.isScrollPausing());
    EXPECT_EQ(board.stripWidth(), 18 * 54);
    run(1500 + 7);
    EXPECT_EQ(board.stripLeft(), -7);
}

TEST_F(StopNameScroll, TheScrollTimerRunsTheScroll)
{
    board.setScrollStartWait(0);
    board.setSpeed(200);
    board.setStopName(NineCells);
    clock.advance(30);
    // The timer calls the same pass runner; give it a chance to fire.
    QElapsedTimer guard;
    guard.start();
    while (board.stripLeft() == 0 && guard.elapsed() < 2000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    EXPECT_EQ(board.stripLeft(), -30);
}

// --- the pace of the scroll over time --------------------------------------------------------

// One whole-pixel move of the strip: when (clock ms) and to where.
struct StripMove {
    qint64 at;
    int left;
    bool operator==(const StripMove&) const = default;
};

// The moves of a scroll of NineCells (486 pixels, so it wraps after 918) with a 300 ms pause,
// watched for `ms` milliseconds with the board advanced every millisecond.
std::vector<StripMove> movesEveryMillisecond(int speed, qint64 ms)
{
    platform::ManualClock clock;
    NextStopNameBoard board{clock};
    board.setScrollStartWait(300);
    board.setSpeed(static_cast<std::int16_t>(speed));
    board.setStopName(NineCells);
    std::vector<StripMove> moves;
    for (qint64 t = 0; t < ms; ++t) {
        clock.advance(1);
        board.advanceScroll();
        if (moves.empty() ? board.stripLeft() != 0 : board.stripLeft() != moves.back().left)
            moves.push_back({clock.nowMs(), board.stripLeft()});
    }
    return moves;
}

// FNV-1a over the moves.
quint64 digest(const std::vector<StripMove>& moves)
{
    quint64 hash = 14695981039346656037ull;
    const auto mix = [&hash](qint64 value) {
        for (int byte = 0; byte < 8; ++byte) {
            hash ^= static_cast<quint64>(value >> (8 * byte)) & 0xFF;
            hash *= 1099511628211ull;
        }
    };
    for (const StripMove& move : moves) {
        mix(move.at);
        mix(move.left);
    }
    return hash;
}

struct RecordedPace {
    int speed;
    qint64 watchMs; // two whole cycles: pause, 918 pixels, wrap
    std::size_t moves;
    qint64 firstMoveAt;
    qint64 firstWrapAt;
    quint64 digest;
};

void PrintTo(const RecordedPace& pace, std::ostream* os)
{
    *os << "speed " << pace.speed;
}

class StopNameScrollPace : public ::testing::TestWithParam<RecordedPace>
{
};

// Recorded from the board that ran its passes from a 16 ms frame timer, advanced every
// millisecond; every later way of timing the passes must give the same moves.
TEST_P(StopNameScrollPace, MovesAtTheRecordedMilliseconds)
{
    const RecordedPace& pace = GetParam();
    const std::vector<StripMove> moves = movesEveryMillisecond(pace.speed, pace.watchMs);
    ASSERT_EQ(moves.size(), pace.moves);
    EXPECT_EQ(moves.front(), (StripMove{pace.firstMoveAt, -1}));
    const auto wrap =
        std::find_if(moves.begin(), moves.end(), [](const StripMove& m) { return m.left == 0; });
    ASSERT_NE(wrap, moves.end());
    EXPECT_EQ(wrap->at, pace.firstWrapAt);
    EXPECT_EQ((wrap - 1)->left, -917);
    EXPECT_EQ(digest(moves), pace.digest);
}

INSTANTIATE_TEST_SUITE_P(
    Speeds, StopNameScrollPace,
    ::testing::Values(RecordedPace{1, 368'000, 1836, 400, 183'801, 751172339348668520ull},
                      RecordedPace{7, 53'100, 1836, 315, 26'515, 1325508605303978379ull},
                      RecordedPace{200, 2'500, 1836, 301, 1'218, 8434582763840114790ull}));

// Two boards on one clock showing the same scroll: one advanced every millisecond (the
// recorded pace), the other only when its scroll timer is due, as the event loop runs it.
class StopNameScrollWakeUps : public ::testing::TestWithParam<int>
{
protected:
    platform::ManualClock clock;
    NextStopNameBoard everyMs{clock};
    NextStopNameBoard onTimer{clock};
    int wakeUps = 0;
    int moves = 0;

    void start(int speed)
    {
        for (NextStopNameBoard* board : {&everyMs, &onTimer}) {
            board->setScrollStartWait(300);
            board->setSpeed(static_cast<std::int16_t>(speed));
            board->setStopName(NineCells);
        }
    }

    // One millisecond; returns whether the timed board woke up.
    bool tick()
    {
        clock.advance(1);
        const int left = everyMs.stripLeft();
        everyMs.advanceScroll();
        moves += everyMs.stripLeft() != left;
        bool woke = false;
        while (onTimer.scrollTimerDue() >= 0 && onTimer.scrollTimerDue() <= clock.nowMs()) {
            onTimer.advanceScroll();
            ++wakeUps;
            woke = true;
        }
        return woke;
    }
};

TEST_P(StopNameScrollWakeUps, TheTimerWakesForEveryMoveAndOnlyThen)
{
    const int speed = GetParam();
    start(speed);
    const qint64 twoCycles = 2 * (300 + (918 * 200 + speed - 1) / speed) + 10;
    int pauseEnds = 0;
    for (qint64 t = 0; t < twoCycles; ++t) {
        const bool pausing = onTimer.isScrollPausing();
        if (tick() && pausing)
            ++pauseEnds;
        ASSERT_EQ(onTimer.stripLeft(), everyMs.stripLeft()) << "at " << clock.nowMs() << " ms";
    }
    EXPECT_EQ(pauseEnds, 2);
    EXPECT_EQ(wakeUps, moves + pauseEnds);
}

INSTANTIATE_TEST_SUITE_P(Speeds, StopNameScrollWakeUps, ::testing::Values(1, 7, 12));

TEST_F(StopNameScrollWakeUps, FastScrollsMoveOncePerFrameAtThePositionOfTheMoment)
{
    start(200);
    for (qint64 t = 0; t < 2500; ++t) {
        const qint64 lastWake = clock.nowMs();
        if (!tick())
            continue;
        ASSERT_EQ(onTimer.stripLeft(), everyMs.stripLeft()) << "at " << clock.nowMs() << " ms";
        if (!onTimer.isScrollPausing() && onTimer.stripLeft() != 0) {
            ASSERT_EQ(onTimer.scrollTimerDue() - lastWake, 1 + StopNameBoard::FrameIntervalMs);
        }
    }
    EXPECT_LE(wakeUps, 2500 / StopNameBoard::FrameIntervalMs + 4);
}

TEST_F(StopNameScrollWakeUps, PassesBeforeASpeedChangeKeepTheOldSpeed)
{
    start(1);
    while (clock.nowMs() < 1150) // 850 passes after the pause; the last move was at 1001
        tick();
    EXPECT_EQ(onTimer.stripLeft(), -4);
    for (NextStopNameBoard* board : {&everyMs, &onTimer})
        board->setSpeed(200);
    EXPECT_NEAR(onTimer.scrollPosition(), -4.25, 1e-9);
    for (int t = 0; t < 100; ++t) {
        if (tick()) {
            ASSERT_EQ(onTimer.stripLeft(), everyMs.stripLeft()) << "at " << clock.nowMs() << " ms";
        }
    }

    for (NextStopNameBoard* board : {&everyMs, &onTimer})
        board->setSpeed(0); // no pass moves the strip: no wake-up either
    EXPECT_EQ(onTimer.scrollTimerDue(), -1);
    const int stoppedAt = onTimer.stripLeft();
    for (int t = 0; t < 1000; ++t)
        tick();
    EXPECT_EQ(onTimer.stripLeft(), stoppedAt);
    onTimer.setSpeed(7);
    EXPECT_GT(onTimer.scrollTimerDue(), clock.nowMs());
    EXPECT_LE(onTimer.scrollTimerDue(), clock.nowMs() + 29);
}

TEST_F(StopNameScrollWakeUps, ABlankStripScrollsOnWithoutWakingTheBoard)
{
    start(7);
    while (clock.nowMs() < 1000)
        tick();
    for (NextStopNameBoard* board : {&everyMs, &onTimer})
        board->setStopName({}); // display clear: the scroll goes on, nothing to see
    const int wakeUpsBefore = wakeUps;
    while (clock.nowMs() < 1000 + 180'000) // almost seven cycles
        tick();
    EXPECT_LE(wakeUps - wakeUpsBefore, 6);

    // Dots drawn on the moving strip again: it is where it would have been, and moves on
    // (after a frame: the drawing was a repaint).
    for (NextStopNameBoard* board : {&everyMs, &onTimer})
        board->drawCell(0, 0, QStringLiteral("駅"));
    EXPECT_EQ(onTimer.stripLeft(), everyMs.stripLeft());
    for (int t = 0; t < 1000; ++t) {
        tick();
        if (t >= StopNameBoard::FrameIntervalMs) {
            ASSERT_EQ(onTimer.stripLeft(), everyMs.stripLeft()) << "at " << clock.nowMs() << " ms";
        }
    }
    EXPECT_GT(wakeUps - wakeUpsBefore, 30);
}

TEST_F(StopNameScroll, ANameThatFitsStopsTheTimer)
{
    board.setStopName(NineCells);
    EXPECT_EQ(board.scrollTimerDue(), 1500);
    board.setStopName(QStringLiteral("駅前"));
    EXPECT_EQ(board.scrollTimerDue(), -1);
}

TEST(StopNameBoardRepaint, AMoveRepaintsOnlyTheDotsInsideTheFrame)
{
    platform::ManualClock clock;
    QWidget window;
    window.resize(498, 248);
    auto* board = new NextStopNameBoard(clock, &window);
    auto* neighbour = new QWidget(&window);
    neighbour->setGeometry(0, 100, 100, 50);
    board->setScrollStartWait(0);
    board->setSpeed(200);
    board->setStopName(NineCells);
    window.show();
    QElapsedTimer guard;
    guard.start();
    while (!window.windowHandle()->isExposed() && guard.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    QCoreApplication::processEvents(); // the first paint

    struct PaintLog : QObject {
        std::map<QObject*, QRegion> painted;
        bool eventFilter(QObject* watched, QEvent* event) override
        {
            if (event->type() == QEvent::Paint)
                painted[watched] += static_cast<QPaintEvent*>(event)->region();
            return false;
        }
    } log;
    for (QObject* watched : {static_cast<QObject*>(&window), static_cast<QObject*>(board),
                             static_cast<QObject*>(neighbour)})
        watched->installEventFilter(&log);
    clock.advance(5);
    board->advanceScroll();
    QCoreApplication::processEvents();

    ASSERT_EQ(board->stripLeft(), -5);
    EXPECT_EQ(log.painted.count(&window), 0u);
    EXPECT_EQ(log.painted.count(neighbour), 0u);
    EXPECT_EQ(log.painted[board], QRegion(2, 2, BoardWidth - 4, FrameHeight - 4) & board->rect());
}

// --- glyphs rendered ahead ------------------------------------------------------------------

// Runs the event loop until done() holds, for at most 10 s.
bool eventually(const std::function<bool()>& done)
{
    QElapsedTimer guard;
    guard.start();
    while (!done() && guard.elapsed() < 10'000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
    return done();
}

TEST(StopNameGlyphsAhead, RenderedOnAWorkerOnlyAfterTheFirstPaint)
{
    QWidget window;
    auto* board = new NextStopNameBoard(&window);
    // Settings as the settings file applies them before the windows show.
    board->setFontMode(1);
    board->setPrefixMode(1);
    board->prepareGlyphs(NineCells);
    window.show();
    EXPECT_TRUE(board->findChildren<QThread*>().isEmpty());
    EXPECT_EQ(board->glyphCache().size(), 0);

    // "系統設定", the prefix and the nine names' cells, all rendered without the GUI thread.
    ASSERT_TRUE(eventually([board] { return board->glyphCache().size() == 4 + 2 + 9; }));
    const int missesBefore = board->glyphCache().misses();
    board->setStopName(QStringLiteral("系統設定"));
    board->setStopName(NineCells);
    EXPECT_EQ(board->glyphCache().misses(), missesBefore);
    EXPECT_EQ(dotsAt(board->strip(), 2 * CellWidth),
              glyph(QStringLiteral("市"), platform::MinchoFace));
    EXPECT_EQ(dotsAt(board->strip(), CellWidth),
              glyph(QStringLiteral("は"), platform::GothicFace, false, SmallParticlePixels,
                    SmallParticleTop));

    board->prepareGlyphs(QStringLiteral("駅北広場")); // painted before: starts at once
    EXPECT_FALSE(board->findChildren<QThread*>().isEmpty());
    EXPECT_TRUE(eventually([board] { return board->glyphCache().size() == 15 + 4; }));
    // The board may go while a worker renders: it waits for it.
    board->prepareGlyphs(QStringLiteral("大学病院前"));
    delete board;
}

// --- properties ------------------------------------------------------------------------------

TEST(StopNameProperties, CorrectionsAndModifiedMarks)
{
    NextStopNameBoard board;
    QStringList changed;
    QObject::connect(&board, &StopNameBoard::propertyChanged,
                     [&changed](const QString& name) { changed << name; });
    board.setPrefixMode(3);
    EXPECT_EQ(board.prefixMode(), 0);
    board.setPrefixMode(2);
    board.setPrefixMode(-1);
    EXPECT_EQ(board.prefixMode(), 0);
    board.setPrefixFontMode(9); // stored; drawn as 0
    EXPECT_EQ(board.prefixFontMode(), 9);
    board.setFontMode(12);
    EXPECT_EQ(board.fontMode(), 12);
    EXPECT_EQ(changed.count(), 5);
    EXPECT_TRUE(board.propertiesModified());

    board.resize(432, 56);
    board.setAppearance(0);
    EXPECT_EQ(board.appearance(), 0);
    board.setAppearance(5); // not a look: ignored
    EXPECT_EQ(board.appearance(), 0);
    EXPECT_EQ(board.size(), QSize(432, 56)); // no resize
}

TEST(StopNameProperties, DefaultsAreNotSavedAndChangesRoundTrip)
{
    NextStopNameBoard fresh;
    StopNameBoard::PropertyList bag;
    fresh.saveProperties(bag);
    EXPECT_TRUE(bag.isEmpty());
    EXPECT_EQ(fresh.backColor(), QColor(128, 128, 128));
    EXPECT_EQ(fresh.foreColor(), QColor(255, 190, 0));
    EXPECT_EQ(fresh.speed(), 5);
    EXPECT_EQ(fresh.scrollStartWait(), 1500);
    EXPECT_EQ(fresh.appearance(), 1);
    EXPECT_EQ(fresh.prefixColor(), QColor(255, 185, 121));

    NextStopNameBoard board;
    board.setForeColor(QColor(255, 192, 128));
    board.setScrollStartWait(800);
    board.setFontBold(true);
    board.setPrefixMode(1);
    board.setPrefixBold(true);
    board.saveProperties(bag);
    QStringList keys;
    for (const auto& entry : bag)
        keys << entry.first;
    EXPECT_EQ(keys, (QStringList{"foreColor", "scrollStartWait", "fontBold", "prefixMode",
                                 "prefixBold"}));

    NextStopNameBoard loaded;
    loaded.loadProperties(bag);
    EXPECT_EQ(loaded.foreColor(), QColor(255, 192, 128));
    EXPECT_EQ(loaded.scrollStartWait(), 800);
    EXPECT_TRUE(loaded.fontBold());
    EXPECT_EQ(loaded.prefixMode(), 1);
    EXPECT_TRUE(loaded.prefixBold());
    EXPECT_EQ(loaded.backColor(), QColor(128, 128, 128));
    EXPECT_FALSE(loaded.propertiesModified());
}

TEST(StopNameProperties, ColoursAreSavedAsTheIntsTheSettingsAlwaysHeld)
{
    NextStopNameBoard board;
    board.setBackColor(QColor(1, 2, 3));
    board.setForeColor(QColor(255, 192, 128));
    board.setPrefixColor(QColor(0x12, 0x34, 0x56));
    StopNameBoard::PropertyList bag;
    board.saveProperties(bag);
    ASSERT_EQ(bag.size(), 3);
    const StopNameBoard::PropertyList expected{
        {"backColor", 0x030201}, {"foreColor", 0x80C0FF}, {"prefixColor", 0x563412}};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(bag[i].first, expected[i].first);
        EXPECT_EQ(bag[i].second.typeId(), QMetaType::Int) << bag[i].first.toStdString();
        EXPECT_EQ(bag[i].second, expected[i].second) << bag[i].first.toStdString();
    }

    // A bag written by an older board: red sits in the low byte, the high byte is ignored.
    NextStopNameBoard loaded;
    loaded.loadProperties({{"backColor", 0x0000FF}, {"prefixColor", int(0x80FF0000u)}});
    EXPECT_EQ(loaded.backColor(), QColor(255, 0, 0));
    EXPECT_EQ(loaded.foreColor(), StopNameBoard::DefaultForeColor);
    EXPECT_EQ(loaded.prefixColor(), QColor(0, 0, 255));
    EXPECT_EQ(loaded.strip().colorAt(0, 0), QColor(255, 0, 0));
}

TEST(StopNameProperties, ColoursAreKeptAsTheyAreShownAndSaved)
{
    NextStopNameBoard board;
    // Through the property system too, as a designer or a script would set them.
    ASSERT_TRUE(board.setProperty("foreColor", QColor(10, 20, 30, 40)));
    EXPECT_EQ(board.property("foreColor").value<QColor>(), QColor(10, 20, 30));
    board.setBackColor(QColor::fromHsv(240, 255, 255, 0)); // fully transparent blue
    EXPECT_EQ(board.backColor(), QColor(0, 0, 255));
    EXPECT_EQ(board.backColor().spec(), QColor::Rgb);
    EXPECT_EQ(board.strip().colorAt(0, 0), QColor(0, 0, 255));
    board.setPrefixColor(QColor()); // no colour at all: black, like an empty setting
    EXPECT_EQ(board.prefixColor(), QColor(Qt::black));

    StopNameBoard::PropertyList bag;
    board.saveProperties(bag);
    NextStopNameBoard loaded;
    loaded.loadProperties(bag);
    EXPECT_EQ(loaded.backColor(), board.backColor());
    EXPECT_EQ(loaded.foreColor(), board.foreColor());
    EXPECT_EQ(loaded.prefixColor(), board.prefixColor());

    // An opaque board paints the background it reports.
    board.resize(board.sizeHint());
    const QImage painted = board.grab().toImage();
    EXPECT_EQ(painted.pixelColor(board.width() / 2, board.height() / 2), QColor(0, 0, 255));
}

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
