#pragma once

#include "elements/stopnameboard.h"

#include <array>

// The stop-name board of the fare display window: StopNameBoard that can lead the name with
// "次は" (next is), the "は" optionally smaller, in its own colour, typefaces and weight.
// The prefix is part of the strip and scrolls with the name.
class NextStopNameBoard : public StopNameBoard
{
    Q_OBJECT
    Q_PROPERTY(int prefixMode READ prefixMode WRITE setPrefixMode)
    Q_PROPERTY(QColor prefixColor READ prefixColor WRITE setPrefixColor)
    Q_PROPERTY(int prefixFontMode READ prefixFontMode WRITE setPrefixFontMode)
    Q_PROPERTY(bool prefixBold READ prefixBold WRITE setPrefixBold)

public:
    static constexpr QColor DefaultPrefixColor{255, 185, 121};

    explicit NextStopNameBoard(QWidget* parent = nullptr);
    explicit NextStopNameBoard(platform::WaitClock& clock, QWidget* parent = nullptr);

    // 0 no prefix, 1 prefix with a small "は", 2 prefix with a full-size "は"; any other
    // value is stored as 0. Takes effect at the next setStopName.
    std::int16_t prefixMode() const { return prefixMode_; }
    void setPrefixMode(std::int16_t mode);
    // Kept like the board's colours: opaque, 8 bits a channel.
    QColor prefixColor() const { return prefixColor_; }
    void setPrefixColor(const QColor& color);
    // 0 all Gothic, 1 only "は" Mincho, 2 all Mincho, 3 only "は" Gothic; others as 0.
    std::int16_t prefixFontMode() const { return prefixFontMode_; }
    void setPrefixFontMode(std::int16_t fontMode);
    bool prefixBold() const { return prefixBold_; }
    void setPrefixBold(bool bold);

    // Draws "次は" into the strip at x = 0 in prefixColor.
    void drawPrefix();

    void saveProperties(PropertyList& bag) const override;
    void loadProperties(const PropertyList& bag) override;

protected:
    bool drawName(const QByteArray& cp932Name) override;
    QList<dotboard::RasterGlyph> nameGlyphs(const QByteArray& cp932Name) const override;

private:
    // "次" and "は" as the prefix settings draw them.
    std::array<dotboard::RasterGlyph, 2> prefixGlyphs() const;

    std::int16_t prefixMode_ = 0;
    QColor prefixColor_ = DefaultPrefixColor;
    std::int16_t prefixFontMode_ = 0;
    bool prefixBold_ = false;
};
