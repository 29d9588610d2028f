#pragma once

#include "elements/chimeictl_c.h"

// The stop-name board of the fare display window: ChimeiCtl_C that can lead the name with
// "次は" (next is), the "は" optionally smaller, in its own colour, typefaces and weight.
// The prefix is part of the strip and scrolls with the name.
class ChimeiCtl_C2 : public ChimeiCtl_C
{
    Q_OBJECT
    Q_PROPERTY(int TsugiwaMode READ TsugiwaMode WRITE setTsugiwaMode)
    Q_PROPERTY(int TsugiwaColor READ TsugiwaColor WRITE setTsugiwaColor)
    Q_PROPERTY(int TsugiwaFontMode READ TsugiwaFontMode WRITE setTsugiwaFontMode)
    Q_PROPERTY(bool TsugiwaBold READ TsugiwaBold WRITE setTsugiwaBold)

public:
    static constexpr platform::VbColor DefaultTsugiwaColor = 0x79B9FF;

    explicit ChimeiCtl_C2(QWidget* parent = nullptr);

    // 0 no prefix, 1 prefix with a small "は", 2 prefix with a full-size "は"; any other
    // value is stored as 0. Takes effect at the next SetChimei.
    std::int16_t TsugiwaMode() const { return tsugiwaMode_; }
    void setTsugiwaMode(std::int16_t mode);
    platform::VbColor TsugiwaColor() const { return tsugiwaColor_; }
    void setTsugiwaColor(platform::VbColor color);
    // 0 all Gothic, 1 only "は" Mincho, 2 all Mincho, 3 only "は" Gothic; others as 0.
    std::int16_t TsugiwaFontMode() const { return tsugiwaFontMode_; }
    void setTsugiwaFontMode(std::int16_t fontMode);
    bool TsugiwaBold() const { return tsugiwaBold_; }
    void setTsugiwaBold(bool bold);

    // Draws "次は" into the strip at x = 0 in TsugiwaColor.
    void DrawTsugiwa();

    void WriteProperties(PropertyList& bag) const override;
    void ReadProperties(const PropertyList& bag) override;

protected:
    bool drawName(const QByteArray& cp932Name) override;

private:
    std::int16_t tsugiwaMode_ = 0;
    platform::VbColor tsugiwaColor_ = DefaultTsugiwaColor;
    std::int16_t tsugiwaFontMode_ = 0;
    bool tsugiwaBold_ = false;
};
