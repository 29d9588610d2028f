#include "tickets/ticketlabels.h"

#include "elements/faredisplay.h"
#include "platform/fontmap.h"
#include "platform/msgbox.h"

#include <QApplication>
#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

namespace
{

QApplication& app()
{
    static int argc = 1;
    static char name[] = "tickets_labels_tests";
    static char* argv[] = {name, nullptr};
    static QApplication instance(argc, argv);
    return instance;
}

// A display with only its twelve labels; missingLabel makes one of them absent.
class LabelsOnly : public FareDisplay
{
public:
    explicit LabelsOnly(int missingLabel = 0) : missing_(missingLabel)
    {
        app();
        for (int i = 0; i < 12; ++i) {
            labels_[i] = std::make_unique<QLabel>(QStringLiteral("old%1").arg(i + 1));
            QFont font = platform::mappedFont(platform::NumC1Face, 12, true);
            labels_[i]->setFont(font);
        }
    }
    DigitElement* fareElement(int) override { return nullptr; }
    QLabel* ticketLabel(int i) override
    {
        if (i < 1 || i > 12 || i == missing_)
            return nullptr;
        return labels_[i - 1].get();
    }
    DigitElement* clockElement(int) override { return nullptr; }
    NextStopNameBoard* stopNameBoard() override { return nullptr; }
    QTimer* clockTimer() override { return nullptr; }
    QPixmap backlightPicture(int) const override { return {}; }
    void setBacklightPicture(int, const QPixmap&) override {}
    QPixmap currentPicture() const override { return {}; }
    void setCurrentPicture(const QPixmap&) override {}
    QWidget* window() override { return nullptr; }

    QStringList captions() const
    {
        QStringList out;
        for (const auto& l : labels_)
            out << l->text();
        return out;
    }
    QString family(int i) const { return labels_[i - 1]->font().family(); }
    const QLabel& label(int i) const { return *labels_[i - 1]; }

private:
    int missing_;
    std::unique_ptr<QLabel> labels_[12];
};

QStringList numbers(int from, int to, bool zeroFill)
{
    QStringList out;
    for (int n = from; n <= to; ++n)
        out << (zeroFill ? QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'))
                         : QString::number(n));
    return out;
}

struct ModeCase {
    int mode;
    QString firstCaption;
    int firstNumber; // number shown on label 2
};

} // namespace

TEST(NumberTicketLabels, EveryModeWithAndWithoutZeroFill)
{
    const QString pgothic = platform::mappedFamily(platform::PGothicFace);
    const QString numc1 = platform::mappedFamily(platform::NumC1Face);
    const ModeCase cases[] = {
        {2, QStringLiteral("な し"), 1},
        {3, QStringLiteral("な し"), 2},
        {4, QStringLiteral("無 券"), 1},
        {5, QStringLiteral("無 券"), 2},
        {6, QStringLiteral("券なし"), 1},
        {7, QStringLiteral("券なし"), 2},
        {8, QStringLiteral("券無し"), 1},
        {9, QStringLiteral("券無し"), 2},
        {10, QString(), 1},
        {11, QString(), 2},
    };
    for (int zeroFill : {0, 1}) {
        SCOPED_TRACE(zeroFill);
        LabelsOnly display;
        platform::MessageBoxRecorder boxes;

        numberTicketLabels(display, 0, zeroFill, boxes);
        EXPECT_EQ(display.captions(), numbers(1, 12, zeroFill));
        EXPECT_EQ(display.family(1), numc1);

        numberTicketLabels(display, 1, zeroFill, boxes);
        EXPECT_EQ(display.captions(), numbers(0, 11, zeroFill));
        EXPECT_EQ(display.family(1), numc1);

        for (const ModeCase& c : cases) {
            SCOPED_TRACE(c.mode);
            numberTicketLabels(display, c.mode, zeroFill, boxes);
            QStringList expected{c.firstCaption};
            expected << numbers(c.firstNumber, c.firstNumber + 10, zeroFill);
            EXPECT_EQ(display.captions(), expected);
            EXPECT_EQ(display.family(1), pgothic);
            // Only the typeface changes on label 1.
            EXPECT_TRUE(display.label(1).font().bold());
            EXPECT_EQ(display.label(1).font().pointSize(), 12);
        }
        EXPECT_TRUE(boxes.calls().empty());
    }
}

TEST(NumberTicketLabels, ZeroFillWritesTwoDigits)
{
    LabelsOnly display;
    platform::MessageBoxRecorder boxes;
    numberTicketLabels(display, 1, 1, boxes);
    EXPECT_EQ(display.captions().first(), QStringLiteral("00"));
    EXPECT_EQ(display.captions().last(), QStringLiteral("11"));
    // Any non-zero switch counts as on.
    numberTicketLabels(display, 0, -1, boxes);
    EXPECT_EQ(display.captions()[6], QStringLiteral("07"));
    EXPECT_EQ(display.captions()[11], QStringLiteral("12"));
}

TEST(NumberTicketLabels, BackFromPrefixModeRestoresLabelOne)
{
    LabelsOnly display;
    platform::MessageBoxRecorder boxes;
    numberTicketLabels(display, 2, 0, boxes);
    numberTicketLabels(display, 0, 0, boxes);
    EXPECT_EQ(display.label(1).text(), QStringLiteral("1"));
    EXPECT_EQ(display.family(1), platform::mappedFamily(platform::NumC1Face));
}

TEST(NumberTicketLabels, ModesOutsideTheListTouchOnlyLabelOne)
{
    LabelsOnly display;
    platform::MessageBoxRecorder boxes;
    const QStringList before = display.captions();

    numberTicketLabels(display, 12, 1, boxes);
    QStringList expected = before;
    expected[0] = QString();
    EXPECT_EQ(display.captions(), expected);
    EXPECT_EQ(display.family(1), platform::mappedFamily(platform::PGothicFace));

    numberTicketLabels(display, -1, 0, boxes);
    EXPECT_EQ(display.captions(), expected);
    EXPECT_EQ(display.family(1), platform::mappedFamily(platform::NumC1Face));
}

TEST(NumberTicketLabels, LabelVisibilityIsLeftAlone)
{
    LabelsOnly display;
    platform::MessageBoxRecorder boxes;
    const_cast<QLabel&>(display.label(3)).setVisible(false);
    const_cast<QLabel&>(display.label(4)).setVisible(true);
    numberTicketLabels(display, 5, 0, boxes);
    EXPECT_TRUE(display.label(3).isHidden());
    EXPECT_FALSE(display.label(4).isHidden());
}

TEST(NumberTicketLabels, ErrorShowsTheCriticalMessageAndKeepsEarlierCaptions)
{
    LabelsOnly display(7);
    platform::MessageBoxRecorder boxes;
    numberTicketLabels(display, 0, 0, boxes);

    ASSERT_EQ(boxes.calls().size(), 1u);
    const platform::MessageBoxCall& call = boxes.calls().front();
    EXPECT_EQ(call.title, QStringLiteral("エラー！"));
    EXPECT_EQ(call.buttons, platform::MessageBox::Critical);
    EXPECT_TRUE(
        call.prompt.startsWith(QStringLiteral("エラーです！\r\n\r\nコード：340\r\n\r\n内容：")));
    EXPECT_TRUE(
        call.prompt.endsWith(QStringLiteral("\r\n\r\nモジュール：IniIO-SeirikenNumSet( )")));
    // Labels 1..6 were written before the missing label stopped the routine.
    const QStringList captions = display.captions();
    EXPECT_EQ(captions[5], QStringLiteral("6"));
    EXPECT_EQ(captions[7], QStringLiteral("old8"));
}

TEST(NumberTicketLabels, ErrorTextLayout)
{
    EXPECT_EQ(numberingErrorText(9, QStringLiteral("インデックスが有効範囲にありません。")),
              QStringLiteral(
                  "エラーです！\r\n\r\nコード：9\r\n\r\n内容：インデックスが有効範囲にありません。"
                  "\r\n\r\nモジュール：IniIO-SeirikenNumSet( )"));
}

TEST(TicketLabelNumbering, PureCaptionsLeaveUnwrittenLabelsOpen)
{
    const TicketLabelNumbering negative = ticketLabelNumbering(-1, 0);
    for (const auto& caption : negative.captions)
        EXPECT_FALSE(caption.has_value());
    EXPECT_EQ(negative.firstLabelFace, platform::NumC1Face);

    const TicketLabelNumbering twelve = ticketLabelNumbering(12, 0);
    ASSERT_TRUE(twelve.captions[0].has_value());
    EXPECT_TRUE(twelve.captions[0]->isEmpty());
    EXPECT_FALSE(twelve.captions[1].has_value());
    EXPECT_EQ(twelve.firstLabelFace, platform::PGothicFace);
}
