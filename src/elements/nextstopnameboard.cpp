#include "elements/nextstopnameboard.h"

using namespace dotboard;

NextStopNameBoard::NextStopNameBoard(QWidget* parent) : StopNameBoard(parent) {}

void NextStopNameBoard::setPrefixMode(std::int16_t mode)
{
    tsugiwaMode_ = mode >= 0 && mode <= 2 ? mode : std::int16_t{0};
    markModified(QStringLiteral("TsugiwaMode"));
}

void NextStopNameBoard::setPrefixColor(platform::BgrColor color)
{
    tsugiwaColor_ = color;
    markModified(QStringLiteral("TsugiwaColor"));
}

void NextStopNameBoard::setPrefixFontMode(std::int16_t fontMode)
{
    tsugiwaFontMode_ = fontMode;
    markModified(QStringLiteral("TsugiwaFontMode"));
}

void NextStopNameBoard::setPrefixBold(bool bold)
{
    tsugiwaBold_ = bold;
    markModified(QStringLiteral("TsugiwaBold"));
}

bool NextStopNameBoard::drawName(const QByteArray& cp932Name)
{
    if (tsugiwaMode_ == 0)
        return StopNameBoard::drawName(cp932Name);
    // A name of a single byte (no whole cell) is placed like a one-cell name, clear of the
    // prefix, and does not count the prefix cells.
    const int cells = cellCount(cp932Name);
    const CellLayout layout = prefixLayout(cells);
    resetStrip(layout.stripWidth);
    drawPrefix();
    drawCells(cp932Name, layout);
    return needsScroll(cells, true);
}

void NextStopNameBoard::drawPrefix()
{
    GlyphRaster& glyphs = raster();
    DotStrip& dots = stripForDrawing();
    dots.setInkColor(DotStrip::Prefix, tsugiwaColor_);

    glyphs.setPixelSize(RasterPixels);
    glyphs.setTop(0);
    glyphs.setBold(tsugiwaBold_);
    glyphs.setFace(tsugiwaFaceForTsugi(tsugiwaFontMode_));
    dots.plot(glyphs.render(QStringLiteral("次")), 0, 0, DotStrip::Prefix);

    const bool smallHa = tsugiwaMode_ == 1;
    glyphs.setPixelSize(smallHa ? SmallHaPixels : RasterPixels);
    glyphs.setTop(smallHa ? SmallHaTop : 0);
    glyphs.setFace(tsugiwaFaceForHa(tsugiwaFontMode_));
    dots.plot(glyphs.render(QStringLiteral("は")), CellWidth, 0, DotStrip::Prefix);

    glyphs.setPixelSize(RasterPixels);
    glyphs.setTop(0);
    glyphs.setBold(false);
    update();
}

void NextStopNameBoard::WriteProperties(PropertyList& bag) const
{
    StopNameBoard::WriteProperties(bag);
    if (tsugiwaMode_ != 0)
        bag.append({QStringLiteral("TsugiwaMode"), tsugiwaMode_});
    if (tsugiwaColor_ != DefaultPrefixColor)
        bag.append({QStringLiteral("TsugiwaColor"), tsugiwaColor_});
    if (tsugiwaFontMode_ != 0)
        bag.append({QStringLiteral("TsugiwaFontMode"), tsugiwaFontMode_});
    if (tsugiwaBold_)
        bag.append({QStringLiteral("TsugiwaBold"), true});
}

void NextStopNameBoard::ReadProperties(const PropertyList& bag)
{
    StopNameBoard::ReadProperties(bag);
    const int mode = savedValue(bag, QStringLiteral("TsugiwaMode"), 0).toInt();
    tsugiwaMode_ = static_cast<std::int16_t>(mode >= 0 && mode <= 2 ? mode : 0);
    tsugiwaColor_ = savedValue(bag, QStringLiteral("TsugiwaColor"), DefaultPrefixColor).toInt();
    tsugiwaFontMode_ =
        static_cast<std::int16_t>(savedValue(bag, QStringLiteral("TsugiwaFontMode"), 0).toInt());
    tsugiwaBold_ = savedValue(bag, QStringLiteral("TsugiwaBold"), false).toBool();
}
