#include "app/panelpicture.h"

#include "app/faredisplaylayout.h"

#include <QImage>
#include <gtest/gtest.h>

namespace
{

bool isWhite(QRgb c)
{
    return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) > 200;
}

int whitePixelsIn(const QImage& image, const QRect& r)
{
    int count = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            count += isWhite(image.pixel(x, y)) ? 1 : 0;
    return count;
}

class PanelPicture : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { image_ = new QImage(drawPanelPicture()); }
    static void TearDownTestSuite() { delete image_; }
    static QImage* image_;
};
QImage* PanelPicture::image_ = nullptr;

} // namespace

TEST_F(PanelPicture, HasTheWindowsClientSize)
{
    EXPECT_EQ(image_->size(), QSize(498, 248));
}

TEST_F(PanelPicture, NoOutlineRunsUnderAnElement)
{
    using namespace displaylayout;
    EXPECT_EQ(whitePixelsIn(*image_, toPixels(stopNameBoardRect())), 0);
    for (int i = 1; i <= FareElementCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(whitePixelsIn(*image_, toPixels(fareElementRect(i))), 0);
        EXPECT_EQ(whitePixelsIn(*image_, toPixels(ticketLabelRect(i))), 0);
    }
}

TEST_F(PanelPicture, EveryElementSitsInItsOwnOutlinedCell)
{
    using namespace displaylayout;
    for (int i = 1; i <= FareElementCount; ++i) {
        SCOPED_TRACE(i);
        const QRect digit = toPixels(fareElementRect(i));
        const QRect label = toPixels(ticketLabelRect(i));
        const int midY = digit.center().y();
        // Uprights close to both sides of the fare field and a rule between label and field.
        EXPECT_TRUE(isWhite(image_->pixel(digit.left() - 2, midY)));
        EXPECT_TRUE(isWhite(image_->pixel(digit.right() + 1, midY)));
        EXPECT_TRUE(isWhite(image_->pixel(digit.center().x(), digit.top() - 1)));
        EXPECT_TRUE(isWhite(image_->pixel(digit.center().x(), label.top() - 2)));
        // Dark behind the white label text and the field.
        EXPECT_LT(qGray(image_->pixel(label.left() + 1, label.top() + 1)), 40);
        EXPECT_LT(qGray(image_->pixel(digit.left() + 1, digit.top() + 1)), 60);
    }
}

TEST_F(PanelPicture, DimEightsFillTheFareFields)
{
    // The middle bar of each "8" is lit dimly, the gaps between digits stay dark.
    const QRect digit = displaylayout::toPixels(displaylayout::fareElementRect(1));
    const int positionWidth = digit.width() / 3;
    for (int d = 0; d < 3; ++d) {
        const int x = digit.left() + d * positionWidth + positionWidth / 2;
        const QRgb bar = image_->pixel(x, digit.center().y() - 1);
        EXPECT_GT(qGray(bar), 50) << d;
        EXPECT_LT(qGray(bar), 120) << d;
    }
}

TEST_F(PanelPicture, StopFieldIsGreyAndFramedInWhite)
{
    const QRect field = displaylayout::toPixels(displaylayout::stopNameBoardRect());
    const QRgb grey = image_->pixel(field.center());
    EXPECT_EQ(qRed(grey), qGreen(grey));
    EXPECT_GT(qGray(grey), 80);
    EXPECT_LT(qGray(grey), 160);
    // The white frame runs round the board; outside the corners is no frame.
    EXPECT_TRUE(isWhite(image_->pixel(249, 2)));
    EXPECT_TRUE(isWhite(image_->pixel(2, 124)));
    EXPECT_FALSE(isWhite(image_->pixel(0, 0)));
    EXPECT_EQ(qGray(image_->pixel(20, 20)), 0);
}
