#include "dialogs/digitsettingsdialog.h"
#include "elements/digitdrawing.h"
#include "elements/digitelement.h"
#include "elements/elementvalue.h"
#include "platform/colorconversion.h"
#include "support/widgetlookup.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSpinBox>
#include <QTimer>
#include <array>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>
#include <vector>

namespace
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "digit_test";
    static char* argv[] = {name, nullptr};
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

class DigitElementTest : public ::testing::Test
{
protected:
    void SetUp() override { app(); }
};

// Pixels of each digit position that carry the given colour (antialiased edges excluded).
std::vector<int> pixelsPerPosition(const QImage& image, int digitCount, const QColor& color)
{
    std::vector<int> counts(static_cast<std::size_t>(digitCount), 0);
    const int width = image.width() / digitCount;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor pixel = image.pixelColor(x, y);
            if (std::abs(pixel.red() - color.red()) < 12 &&
                std::abs(pixel.green() - color.green()) < 12 &&
                std::abs(pixel.blue() - color.blue()) < 12)
                ++counts[static_cast<std::size_t>(std::min(x / width, digitCount - 1))];
        }
    }
    return counts;
}

const QColor litColor(248, 210, 114);
const QColor unlitColor(150, 150, 150);

std::vector<int> litPixels(DigitElement& element)
{
    return pixelsPerPosition(element.grab().toImage(), element.digitCount(), litColor);
}

std::vector<int> unlitPixels(DigitElement& element)
{
    return pixelsPerPosition(element.grab().toImage(), element.digitCount(), unlitColor);
}

QString shown(const ElementValue& value, int zeroMode = 0, int fillZero = 0, int shift = 0,
              int digitCount = 4)
{
    return formatDigitValue(value, zeroMode, fillZero, shift, digitCount);
}

} // namespace

TEST(ElementValue, DefaultIsTheNumberZero)
{
    const ElementValue v;
    EXPECT_TRUE(v.isNumber());
    EXPECT_EQ(v.number(), 0.0);
    EXPECT_EQ(v.toString(), "0");
}

TEST(ElementValue, ANumberNeverEqualsAText)
{
    EXPECT_EQ(ElementValue(0), ElementValue(0.0));
    EXPECT_EQ(ElementValue(-1), ElementValue(-1.0));
    EXPECT_FALSE(ElementValue(0) == ElementValue("0"));
    EXPECT_FALSE(ElementValue(0) == ElementValue(""));
    EXPECT_FALSE(ElementValue(-1) == ElementValue("-1"));
    EXPECT_EQ(ElementValue(""), ElementValue(QString()));
    EXPECT_FALSE(ElementValue("a") == ElementValue("A"));
}

TEST(ElementValue, NumericTextsReadLikeTheOldRuntime)
{
    for (const char* text :
         {"12", " 12 ", "-3", "+4.5", ".5", "1,000", "1e3", "2D2", "&H1F", "&o17", "0"})
        EXPECT_TRUE(ElementValue(text).isNumeric()) << text;
    for (const char* text :
         {"", " ", "--", "-", ".", "1.2.3", "12a", "e5", "1e", ",1", "&H", "&HZZ", "1e999", "8 8"})
        EXPECT_FALSE(ElementValue(text).isNumeric()) << text;
    EXPECT_EQ(*ElementValue(" 1,234.5 ").numericValue(), 1234.5);
    EXPECT_EQ(*ElementValue("&H1F").numericValue(), 31.0);
    EXPECT_EQ(*ElementValue("-2.5e1").numericValue(), -25.0);
}

TEST(ElementValue, NumbersConvertToTextWithoutNeedlessDecimals)
{
    EXPECT_EQ(ElementValue(120).toString(), "120");
    EXPECT_EQ(ElementValue(120.0).toString(), "120");
    EXPECT_EQ(ElementValue(-1).toString(), "-1");
    EXPECT_EQ(ElementValue(1.5).toString(), "1.5");
    EXPECT_EQ(ElementValue(0.1 + 0.2).toString(), "0.3");
    EXPECT_EQ(ElementValue(-0.0).toString(), "0");
    EXPECT_EQ(ElementValue(123456789012345.0).toString(), "123456789012345");
    EXPECT_EQ(ElementValue(1e20).toString(), "1E+20");
    EXPECT_EQ(ElementValue(0.00001).toString(), "1E-05");
}

TEST(FormatDigitValue, ZeroModeTable)
{
    const ElementValue zero(0), empty(""), minusOne(-1), zeroText("0");
    // Mode 0: zero and empty go blank.
    EXPECT_EQ(shown(zero, 0), "");
    EXPECT_EQ(shown(empty, 0), "");
    EXPECT_EQ(shown(minusOne, 0), "-1");
    EXPECT_EQ(shown(zeroText, 0), "0");
    // Mode 1: zero and empty show one zero.
    EXPECT_EQ(shown(zero, 1), "0");
    EXPECT_EQ(shown(empty, 1), "0");
    EXPECT_EQ(shown(minusOne, 1), "-1");
    // Mode 2: -1 shows zero, zero goes blank.
    EXPECT_EQ(shown(minusOne, 2), "0");
    EXPECT_EQ(shown(zero, 2), "");
    EXPECT_EQ(shown(empty, 2), "");
    EXPECT_EQ(shown(ElementValue("-1"), 2), "-1");
    // Mode 3: all three show zero.
    EXPECT_EQ(shown(minusOne, 3), "0");
    EXPECT_EQ(shown(zero, 3), "0");
    EXPECT_EQ(shown(empty, 3), "0");
    // Unknown modes change nothing.
    for (int mode : {-1, 4, 7}) {
        EXPECT_EQ(shown(zero, mode), "0");
        EXPECT_EQ(shown(minusOne, mode), "-1");
        EXPECT_EQ(shown(empty, mode), "");
    }
}

TEST(FormatDigitValue, PaddingShiftAndCutting)
{
    EXPECT_EQ(shown(120), "120");
    EXPECT_EQ(shown(5, 0, 3), "005");
    EXPECT_EQ(shown(35, 0, 0, 1), "35 ");
    EXPECT_EQ(shown(12345), "2345");
    EXPECT_EQ(shown("--"), "--");
    EXPECT_EQ(shown("--", 0, 3, 0), "--"); // not numeric: no padding
    EXPECT_EQ(shown(" 7 ", 0, 3), "007");  // numeric text is padded as a number
    EXPECT_EQ(shown(1234, 0, 2), "1234");  // longer numbers keep their digits
    EXPECT_EQ(shown(-5, 0, 3), "-005");
    EXPECT_EQ(shown(2.5, 0, 3), "003"); // halves round away from zero
    EXPECT_EQ(shown(2.4, 0, 3), "002");
    EXPECT_EQ(shown(-2.5, 0, 3), "-003");
    EXPECT_EQ(shown(1.5), "1.5"); // no padding: the fraction stays
    // Zero blanked by mode 0 is the empty text, which is not numeric, so it stays blank.
    EXPECT_EQ(shown(0, 0, 3), "");
    EXPECT_EQ(shown(0, 1, 3), "000");
    // Shifting pushes digits out on the left.
    EXPECT_EQ(shown(1234, 0, 0, 2), "34  ");
    EXPECT_EQ(shown(5, 0, 3, 3), "5   ");
    // Values the settings dialog may hand back unchecked.
    EXPECT_EQ(shown(5, 0, -2, -3), "5");
    EXPECT_EQ(shown(5, 0, 32767, 32767), "    ");
    EXPECT_EQ(shown(5, 0, 0, 0, 0), "");
    EXPECT_EQ(shown(5, 0, 0, 0, -3), "");
}

TEST(SegmentForms, EightCoversEveryOtherForm)
{
    EXPECT_EQ(segmentMask(u'8'), Segment::All);
    EXPECT_EQ(segmentMask(u'-'), Segment::G);
    EXPECT_EQ(segmentMask(u'1'), Segment::B | Segment::C);
    for (QChar c : QStringLiteral(" .aZ#　８\u0000"))
        EXPECT_EQ(segmentMask(c), 0) << int(c.unicode());
    std::array<int, 10> counts{};
    for (int d = 0; d < 10; ++d)
        counts[d] = __builtin_popcount(segmentMask(QChar(u'0' + d)));
    EXPECT_EQ(counts, (std::array<int, 10>{6, 2, 5, 5, 4, 5, 6, 4, 7, 6}));
}

TEST(SegmentForms, SizeClassesAndStyles)
{
    const std::array<std::pair<int, DigitSizeClass>, 6> classes = {{{0, {13, 20, 18}},
                                                                    {1, {17, 26, 24}},
                                                                    {2, {19, 29, 27}},
                                                                    {3, {11, 15, 14}},
                                                                    {5, {13, 20, 18}},
                                                                    {-1, {13, 20, 18}}}};
    for (const auto& [index, expected] : classes) {
        const DigitSizeClass size = digitSizeClass(index);
        EXPECT_EQ(size.positionWidth, expected.positionWidth) << index;
        EXPECT_EQ(size.height, expected.height) << index;
        EXPECT_EQ(size.pointSize, expected.pointSize) << index;
    }
    EXPECT_EQ(digitLook(1), DigitLook::Slanted);
    EXPECT_EQ(digitLook(2), DigitLook::Rounded);
    EXPECT_EQ(digitLook(0), DigitLook::Upright);
    EXPECT_EQ(digitLook(9), DigitLook::Upright);
}

TEST_F(DigitElementTest, Defaults)
{
    DigitElement d;
    EXPECT_EQ(d.unlitColor(), QColor(150, 150, 150));
    EXPECT_EQ(d.litColor(), QColor(248, 210, 114));
    EXPECT_EQ(d.backColor(), QColor(128, 128, 128));
    EXPECT_EQ(d.digitCount(), 4);
    EXPECT_EQ(d.fillZero(), 0);
    EXPECT_EQ(d.zeroMode(), 0);
    EXPECT_EQ(d.shift(), 0);
    EXPECT_EQ(d.sizeClass(), 0);
    EXPECT_EQ(d.digitStyle(), 0);
    EXPECT_EQ(d.value(), ElementValue(0));
    EXPECT_TRUE(d.isUserSettable());
    EXPECT_EQ(d.extraCharacterSpacing(), 0);
    EXPECT_TRUE(d.boldGlyphs());
    EXPECT_EQ(d.size(), QSize(52, 20));
    // Nothing is drawn before the first redraw: only the background.
    EXPECT_EQ(unlitPixels(d), (std::vector<int>{0, 0, 0, 0}));
}

TEST_F(DigitElementTest, PropertiesCorrectOutOfRangeValues)
{
    DigitElement d;
    for (int digitCount : {0, 16, -3, 70000}) {
        d.setDigitCount(digitCount);
        EXPECT_EQ(d.digitCount(), 4) << digitCount;
    }
    d.setDigitCount(15);
    EXPECT_EQ(d.digitCount(), 15);
    EXPECT_EQ(d.size(), QSize(15 * 13, 20));
    d.setDigitCount(4);

    d.setFillZero(9);
    EXPECT_EQ(d.fillZero(), 4);
    d.setFillZero(-2);
    EXPECT_EQ(d.fillZero(), -2); // negative padding is left alone and means none
    d.setShift(9);
    EXPECT_EQ(d.shift(), 3);
    d.setShift(-2);
    EXPECT_EQ(d.shift(), 0);
    d.setZeroMode(7);
    EXPECT_EQ(d.zeroMode(), 0);
    d.setZeroMode(3);
    EXPECT_EQ(d.zeroMode(), 3);
    d.setZeroMode(-1);
    EXPECT_EQ(d.zeroMode(), -1);
    d.setDigitStyle(9);
    EXPECT_EQ(d.digitStyle(), 9);
    d.setUserSettable(false);
    EXPECT_FALSE(d.isUserSettable());

    d.setSizeClass(5);
    EXPECT_EQ(d.sizeClass(), 0);
    EXPECT_EQ(d.size(), QSize(4 * 13, 20)); // 195 twips a position by 300
    const std::array<QSize, 4> sizes = {QSize(52, 20), QSize(68, 26), QSize(76, 29), QSize(44, 15)};
    for (int size = 0; size < 4; ++size) {
        d.setSizeClass(size);
        EXPECT_EQ(d.size(), sizes[static_cast<std::size_t>(size)]) << size;
    }
    d.setDigitCount(1);
    EXPECT_EQ(d.size(), QSize(11, 15));
    // A one-position element cannot shift.
    d.setShift(2);
    EXPECT_EQ(d.shift(), 0);
}

TEST_F(DigitElementTest, RulesTakeEffectAtTheNextRedraw)
{
    DigitElement d;
    d.setValue(5);
    EXPECT_EQ(d.displayedText(), "5");
    d.setFillZero(3);
    d.setShift(1);
    EXPECT_EQ(d.displayedText(), "5");
    d.setValue(5);
    EXPECT_EQ(d.displayedText(), "005 ");
    EXPECT_EQ(d.value(), ElementValue(5)); // the value as assigned, not as shown
    d.setZeroMode(2);
    d.setUnlitColor(QColor(10, 10, 10)); // colours redraw
    d.setValue(-1);
    EXPECT_EQ(d.displayedText(), "000 ");
}

TEST_F(DigitElementTest, ResetDigitsKeepsTheRules)
{
    DigitElement d;
    d.setDigitCount(3);
    d.setZeroMode(1);
    d.setShift(1);
    d.setFillZero(2);

    d.resetDigits(true);
    EXPECT_EQ(d.value(), ElementValue("888"));
    EXPECT_EQ(d.displayedText(), "888");
    const auto lit = litPixels(d);
    for (int count : lit)
        EXPECT_GT(count, 20);
    EXPECT_EQ(d.zeroMode(), 1);
    EXPECT_EQ(d.shift(), 1);
    EXPECT_EQ(d.fillZero(), 2);

    // The unlit eights stay visible and are as large as the lamp test's lit ones (drawn in a
    // colour that stands out from the background for counting).
    const QColor blue(0, 0, 255);
    d.setUnlitColor(blue);
    d.resetDigits(false);
    EXPECT_EQ(d.value(), ElementValue(""));
    EXPECT_EQ(d.displayedText(), "");
    EXPECT_EQ(litPixels(d), (std::vector<int>{0, 0, 0}));
    const auto unlit = pixelsPerPosition(d.grab().toImage(), 3, blue);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NEAR(unlit[i], lit[i], lit[i] / 10 + 1);
    EXPECT_EQ(d.zeroMode(), 1);
    EXPECT_EQ(d.shift(), 1);
    EXPECT_EQ(d.fillZero(), 2);
}

TEST_F(DigitElementTest, LitPixelsSitInTheRightPositions)
{
    DigitElement d;
    for (int style : {0, 1, 2}) {
        d.setDigitStyle(style);
        d.setValue(1);
        auto lit = litPixels(d);
        EXPECT_EQ(lit[0] + lit[1] + lit[2], 0) << style;
        EXPECT_GT(lit[3], 0) << style;
        const int one = lit[3];
        d.setValue("8");
        EXPECT_GT(litPixels(d)[3], 2 * one) << style;
    }
    d.setDigitStyle(0);
    d.setValue(120);
    auto lit = litPixels(d);
    EXPECT_EQ(lit[0], 0);
    EXPECT_GT(lit[1], 0);
    EXPECT_GT(lit[3], lit[1]); // a zero has more segments than a one

    d.setShift(1);
    d.setValue(35);
    lit = litPixels(d);
    EXPECT_EQ(lit[0], 0);
    EXPECT_GT(lit[1], 0);
    EXPECT_GT(lit[2], 0);
    EXPECT_EQ(lit[3], 0);

    d.setShift(0);
    d.setValue(1);
    const int one = litPixels(d)[3];
    d.setValue("--");
    lit = litPixels(d);
    EXPECT_EQ(lit[0] + lit[1], 0);
    EXPECT_GT(lit[2], 0);
    EXPECT_EQ(lit[2], lit[3]);
    // A minus is the middle segment alone: less than the two segments of a one.
    EXPECT_LT(lit[2], one);

    d.setValue(0); // zero mode 0: blank, unlit eights everywhere
    EXPECT_EQ(litPixels(d), (std::vector<int>{0, 0, 0, 0}));
    for (int count : unlitPixels(d))
        EXPECT_GT(count, 20);

    d.setZeroMode(2);
    d.setValue(-1);
    lit = litPixels(d);
    EXPECT_EQ(lit[0] + lit[1] + lit[2], 0);
    EXPECT_GT(lit[3], 0);
}

TEST_F(DigitElementTest, ColoursFollowTheProperties)
{
    DigitElement d;
    d.setBackColor(QColor(0, 0, 64));
    d.setLitColor(QColor(255, 0, 0));
    d.setValue(8);
    const QImage image = d.grab().toImage();
    EXPECT_EQ(image.pixelColor(0, 0), QColor(0, 0, 64));
    EXPECT_GT(pixelsPerPosition(image, 4, QColor(255, 0, 0))[3], 20);
    EXPECT_EQ(pixelsPerPosition(image, 4, litColor)[3], 0);

    // A translucent colour is kept and painted opaque, as the settings file can hold it.
    d.setBackColor(QColor::fromHsv(120, 255, 255, 10));
    EXPECT_EQ(d.backColor(), QColor(0, 255, 0));
    EXPECT_EQ(d.grab().toImage().pixelColor(0, 0), QColor(0, 255, 0));
}

// Every position is lit exactly when the character shown there has segments (digits and
// "-"), whatever else the text holds.
void expectOnlySegmentCharactersLit(DigitElement& d, const QString& what)
{
    const QString shown = d.displayedText();
    const auto lit = litPixels(d);
    const int first = d.digitCount() - int(shown.size());
    for (int i = 0; i < d.digitCount(); ++i) {
        const bool hasSegments = i >= first && segmentMask(shown[i - first]) != 0;
        EXPECT_EQ(lit[static_cast<std::size_t>(i)] > 0, hasSegments)
            << what.toStdString() << " position " << i << " style " << d.digitStyle();
    }
}

TEST_F(DigitElementTest, AnyTextLightsOnlyItsDigits)
{
    DigitElement d;
    const std::pair<QString, QString> texts[] = {
        {QString(), QString()},
        {QString(10000, u'9'), QStringLiteral("9999")},
        {QStringLiteral("\t\r\n\u0000\u0007"), QStringLiteral("\r\n\u0000\u0007")},
        {QStringLiteral("😀1😀"), QStringLiteral("😀1😀").right(4)}, // cut inside the pair
        {QStringLiteral("運賃"), QStringLiteral("運賃")},
        {QString(QChar(0xD800)) + u'5', QString(QChar(0xD800)) + u'5'}};
    for (int style : {0, 1, 2, -7}) {
        d.setDigitStyle(style);
        for (const auto& [text, shown] : texts) {
            d.setValue(text);
            EXPECT_EQ(d.displayedText(), shown);
            expectOnlySegmentCharactersLit(d, text);
        }
    }
    d.setDigitStyle(0);
    d.setValue(1e300);
    EXPECT_EQ(d.displayedText(), "+300"); // the last four of "1E+300"
    expectOnlySegmentCharactersLit(d, "1e300");
    d.setFillZero(4);
    d.setValue(1e300); // whole numbers beyond 15 digits pad with zeros
    EXPECT_EQ(d.displayedText(), "0000");
    d.setFillZero(0);
    // Infinity reads "1.#INF", as the old runtime wrote it: no digit of it lights up.
    d.setValue(std::numeric_limits<double>::infinity());
    EXPECT_EQ(d.displayedText(), "#INF");
    EXPECT_EQ(litPixels(d), (std::vector<int>{0, 0, 0, 0}));
    d.setValue(std::numeric_limits<double>::quiet_NaN());
    EXPECT_EQ(d.displayedText(), "0");
    expectOnlySegmentCharactersLit(d, "NaN");
}

TEST(PaintDigits, NothingIsDrawnOutsideTheRectangle)
{
    const QRgb background = QColor(Qt::black).rgb();
    const QRectF rects[] = {QRectF(0, 0, 0, 10), QRectF(2, 2, 3, 3), QRectF(0, 0, 1, 1),
                            QRectF(1, 1, 8, 8)};
    for (const QRectF& rect : rects) {
        for (int digitCount : {0, 2, 15}) {
            for (DigitLook look : {DigitLook::Upright, DigitLook::Slanted, DigitLook::Rounded}) {
                QImage image(10, 10, QImage::Format_RGB32);
                image.fill(background);
                {
                    QPainter painter(&image);
                    paintDigits(painter, rect, "88", digitCount, look, {Qt::gray, Qt::red});
                }
                int inside = 0;
                int outside = 0;
                for (int y = 0; y < image.height(); ++y) {
                    for (int x = 0; x < image.width(); ++x) {
                        if (image.pixel(x, y) == background)
                            continue;
                        ++(rect.contains(QPointF(x + 0.5, y + 0.5)) ? inside : outside);
                    }
                }
                EXPECT_EQ(outside, 0) << rect.width() << " " << digitCount;
                // An empty rectangle or no positions: no paint at all.
                EXPECT_EQ(inside > 0, digitCount > 0 && rect.width() > 0) << rect.width();
            }
        }
    }
}

TEST_F(DigitElementTest, DoubleClickEmitsDoubleClicked)
{
    DigitElement d;
    int raised = 0;
    QObject::connect(&d, &DigitElement::doubleClicked, [&] { ++raised; });
    QMouseEvent event(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&d, &event);
    EXPECT_EQ(raised, 1);
}

// Gives the element its own dialog for the scope.
class ScopedDigitSettingsHandler
{
public:
    ScopedDigitSettingsHandler(DigitElement& element, DigitSettingsHandler handler)
        : element_(element)
    {
        element_.setSettingsDialog(std::move(handler));
    }
    ~ScopedDigitSettingsHandler() { element_.setSettingsDialog(nullptr); }

private:
    DigitElement& element_;
};

TEST_F(DigitElementTest, SettingsDialogValuesAreStoredAsHandedBack)
{
    DigitElement d;
    d.setDigitCount(5);
    d.setZeroMode(1);
    d.setShift(2);
    d.setFillZero(3);
    d.setValue(7);
    ASSERT_EQ(d.displayedText(), "007  ");

    int seenDigitCount = 0;
    std::array<int, 3> seen{};
    ScopedDigitSettingsHandler handler(
        d, [&](int digitCount, qint16& zeroMode, qint16& shift, qint16& fill) {
            seenDigitCount = digitCount;
            seen = {zeroMode, shift, fill};
            zeroMode = 7;
            shift = 9;
            fill = 0;
            return 1;
        });
    EXPECT_EQ(d.showSettingsDialog(), 1);
    EXPECT_EQ(seenDigitCount, 5);
    EXPECT_EQ(seen, (std::array<int, 3>{1, 2, 3}));
    // Trusted as they are, and drawn at once.
    EXPECT_EQ(d.zeroMode(), 7);
    EXPECT_EQ(d.shift(), 9);
    EXPECT_EQ(d.fillZero(), 0);
    EXPECT_EQ(d.displayedText(), "     ");

    ScopedDigitSettingsHandler cancel(d, [](int, qint16&, qint16&, qint16&) { return 0; });
    EXPECT_EQ(d.showSettingsDialog(), 0);
    EXPECT_EQ(d.zeroMode(), 7);
}

TEST_F(DigitElementTest, SettingsDialogEditsWithinTheDigitCount)
{
    DigitSettingsDialog dialog(4);
    dialog.setZeroMode(2);
    dialog.setShift(9);
    dialog.setFillZero(9);
    EXPECT_EQ(dialog.zeroMode(), 2);
    EXPECT_EQ(findWidget<QButtonGroup>(dialog, "zeroModeGroup")->checkedId(), 2);
    EXPECT_EQ(dialog.shift(), 3);
    EXPECT_EQ(dialog.fillZero(), 4);
    dialog.setShift(-1);
    EXPECT_EQ(dialog.shift(), 0);
    EXPECT_EQ(findWidget<QButtonGroup>(dialog, "zeroModeGroup")->buttons().size(), 4);

    // An unknown mode ticks nothing and survives unless the user picks one.
    dialog.setZeroMode(6);
    EXPECT_EQ(findWidget<QButtonGroup>(dialog, "zeroModeGroup")->checkedId(), -1);
    EXPECT_EQ(dialog.zeroMode(), 6);
    findWidget<QButtonGroup>(dialog, "zeroModeGroup")->button(3)->click();
    EXPECT_EQ(dialog.zeroMode(), 3);

    findWidget<QSpinBox>(dialog, "shiftBox")->setValue(1);
    findWidget<QSpinBox>(dialog, "fillZeroBox")->setValue(2);
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.shift(), 1);
    EXPECT_EQ(dialog.fillZero(), 2);

    DigitSettingsDialog single(1);
    EXPECT_EQ(findWidget<QSpinBox>(single, "shiftBox")->maximum(), 0);
    EXPECT_EQ(findWidget<QSpinBox>(single, "fillZeroBox")->maximum(), 1);
}

namespace
{

// Answers the next modal dialog once it is open.
void answerModalDialog(const std::function<void(DigitSettingsDialog&)>& answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<DigitSettingsDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

} // namespace

TEST_F(DigitElementTest, RealDialogWritesBackOnlyWhenConfirmed)
{
    DigitElement owner;
    qint16 zeroMode = 1, shift = 1, fillZero = 2;

    answerModalDialog([](DigitSettingsDialog& dialog) {
        EXPECT_EQ(dialog.zeroMode(), 1);
        EXPECT_EQ(dialog.shift(), 1);
        EXPECT_EQ(dialog.fillZero(), 2);
        dialog.setZeroMode(0);
        dialog.reject();
    });
    EXPECT_EQ(showDigitSettingsDialog(&owner, 4, zeroMode, shift, fillZero), 0);
    EXPECT_EQ(zeroMode, 1);
    EXPECT_EQ(shift, 1);
    EXPECT_EQ(fillZero, 2);

    answerModalDialog([](DigitSettingsDialog& dialog) {
        dialog.setZeroMode(3);
        dialog.setShift(2);
        dialog.setFillZero(0);
        dialog.accept();
    });
    EXPECT_EQ(showDigitSettingsDialog(&owner, 4, zeroMode, shift, fillZero), 1);
    EXPECT_EQ(zeroMode, 3);
    EXPECT_EQ(shift, 2);
    EXPECT_EQ(fillZero, 0);
}

// Every size, style and a few values side by side; set FARE_DIGIT_GALLERY to a PNG path to
// keep the picture for a look.
TEST_F(DigitElementTest, GalleryOfSizesAndStyles)
{
    QWidget panel;
    panel.setStyleSheet(QStringLiteral("background: rgb(64, 64, 64)"));
    const ElementValue values[] = {ElementValue(120),  ElementValue(8888), ElementValue(""),
                                   ElementValue("--"), ElementValue(1230), ElementValue(-1)};
    int y = 6;
    std::vector<DigitElement*> elements;
    for (int size = 0; size < 4; ++size) {
        int x = 6;
        int rowHeight = 0;
        for (int style = 0; style < 3; ++style) {
            for (const ElementValue& value : values) {
                auto* element = new DigitElement(&panel);
                element->setSizeClass(size);
                element->setDigitStyle(style);
                element->setValue(value);
                element->move(x, y);
                x += element->width() + 6;
                rowHeight = element->height();
                elements.push_back(element);
            }
            x += 12;
        }
        panel.resize(std::max(panel.width(), x), y + rowHeight + 6);
        y += rowHeight + 8;
    }
    const QImage image = panel.grab().toImage();
    for (DigitElement* element : elements) {
        const auto lit = litPixels(*element);
        EXPECT_EQ(lit[0] > 0, element->displayedText().size() == 4);
        EXPECT_EQ(lit[3] > 0, !element->displayedText().isEmpty());
    }
    if (const char* path = std::getenv("FARE_DIGIT_GALLERY"))
        image.scaled(image.size() * 3, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(path);
}
