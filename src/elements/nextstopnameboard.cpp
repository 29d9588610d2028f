#include "elements/nextstopnameboard.h"

#include "platform/colorconversion.h"

using namespace dotboard;

NextStopNameBoard::NextStopNameBoard(QWidget* parent) : StopNameBoard(parent) {}

NextStopNameBoard::NextStopNameBoard(platform::WaitClock& clock, QWidget* parent)
    : StopNameBoard(clock, parent)
{
}

void NextStopNameBoard::setPrefixMode(std::int16_t mode)
{
    prefixMode_ = mode >= 0 && mode <= 2 ? mode : std::int16_t{0};
    markModified(QStringLiteral("prefixMode"));
}

void NextStopNameBoard::setPrefixColor(const QColor& color)
{
    prefixColor_ = platform::opaqueColor(color);
    markModified(QStringLiteral("prefixColor"));
}

void NextStopNameBoard::setPrefixFontMode(std::int16_t fontMode)
{
    prefixFontMode_ = fontMode;
    markModified(QStringLiteral("prefixFontMode"));
}

void NextStopNameBoard::setPrefixBold(bool bold)
{
    prefixBold_ = bold;
    markModified(QStringLiteral("prefixBold"));
}

bool NextStopNameBoard::drawName(const QByteArray& cp932Name)
{
    if (prefixMode_ == 0)
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

std::array<RasterGlyph, 2> NextStopNameBoard::prefixGlyphs() const
{
    const bool smallParticle = prefixMode_ == 1;
    return {RasterGlyph{QStringLiteral("次"), firstPrefixFace(prefixFontMode_), prefixBold_},
            RasterGlyph{QStringLiteral("は"), secondPrefixFace(prefixFontMode_), prefixBold_,
                        smallParticle ? SmallParticlePixels : RasterPixels,
                        smallParticle ? SmallParticleTop : 0}};
}

void NextStopNameBoard::drawPrefix()
{
    GlyphRaster& glyphs = raster();
    DotStrip& dots = stripForDrawing();
    dots.setInkColor(DotStrip::Prefix, prefixColor_);
    const std::array<RasterGlyph, 2> prefix = prefixGlyphs();
    dots.plot(glyphs.render(prefix[0]), 0, 0, DotStrip::Prefix);
    dots.plot(glyphs.render(prefix[1]), CellWidth, 0, DotStrip::Prefix);
    update();
    inkAdded();
}

QList<RasterGlyph> NextStopNameBoard::nameGlyphs(const QByteArray& cp932Name) const
{
    QList<RasterGlyph> glyphs;
    if (prefixMode_ != 0) {
        const std::array<RasterGlyph, 2> prefix = prefixGlyphs();
        glyphs.append(prefix[0]);
        glyphs.append(prefix[1]);
    }
    return glyphs + StopNameBoard::nameGlyphs(cp932Name);
}

void NextStopNameBoard::saveProperties(PropertyList& bag) const
{
    StopNameBoard::saveProperties(bag);
    if (prefixMode_ != 0)
        bag.append({QStringLiteral("prefixMode"), prefixMode_});
    saveColor(bag, QStringLiteral("prefixColor"), prefixColor_, DefaultPrefixColor);
    if (prefixFontMode_ != 0)
        bag.append({QStringLiteral("prefixFontMode"), prefixFontMode_});
    if (prefixBold_)
        bag.append({QStringLiteral("prefixBold"), true});
}

void NextStopNameBoard::loadProperties(const PropertyList& bag)
{
    StopNameBoard::loadProperties(bag);
    const int mode = savedValue(bag, QStringLiteral("prefixMode"), 0).toInt();
    prefixMode_ = static_cast<std::int16_t>(mode >= 0 && mode <= 2 ? mode : 0);
    prefixColor_ = savedColor(bag, QStringLiteral("prefixColor"), DefaultPrefixColor);
    prefixFontMode_ =
        static_cast<std::int16_t>(savedValue(bag, QStringLiteral("prefixFontMode"), 0).toInt());
    prefixBold_ = savedValue(bag, QStringLiteral("prefixBold"), false).toBool();
}
