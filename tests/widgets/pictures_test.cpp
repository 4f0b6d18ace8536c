#include "pictures.h"
#include "toolpictures.h"

#include <QSet>

#include <gtest/gtest.h>

using tarvik::widgets::Pictures;
using tarvik::widgets::ToolPictures;

namespace {

int paintedPixels(const QImage& image)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(image.pixel(x, y)) > 0)
                ++count;
    return count;
}

} // namespace

TEST(Pictures, ImageListHoldsADistinctPictureForEveryIndexTheMarkupUses)
{
    const QList<QImage>& images = Pictures::imageList();
    ASSERT_EQ(images.size(), Pictures::ImageCount);
    QSet<QByteArray> seen;
    for (int i = 0; i < images.size(); ++i) {
        EXPECT_EQ(images[i].size(), QSize(16, 16)) << i;
        EXPECT_GT(paintedPixels(images[i]), 30) << i;
        seen.insert(
            QByteArray(reinterpret_cast<const char*>(images[i].constBits()), images[i].sizeInBytes()));
    }
    EXPECT_EQ(seen.size(), images.size());
}

TEST(Pictures, FinishedTaskDiffersFromOpenTaskByARedTick)
{
    const QImage done = Pictures::imageList()[Pictures::TaskDone];
    const QImage open = Pictures::imageList()[Pictures::Task];
    auto reds = [](const QImage& image) {
        int count = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x) {
                const QColor c = image.pixelColor(x, y);
                count += c.alpha() > 200 && c.red() > 180 && c.green() < 60 && c.blue() < 60;
            }
        return count;
    };
    EXPECT_EQ(reds(open), 0);
    EXPECT_GT(reds(done), 5);
    EXPECT_GT(reds(Pictures::imageList()[Pictures::BellOff]), 5) << "the bell is crossed out in red";
}

TEST(Pictures, SplashStripFillsFromEmptyToFull)
{
    const QImage first = Pictures::splashFrame(0);
    const QImage middle = Pictures::splashFrame(90);
    const QImage last = Pictures::splashFrame(Pictures::SplashFrameCount - 1);
    EXPECT_EQ(first.size(), QSize(255, 12));
    const QRgb empty = first.pixel(250, 6);
    EXPECT_EQ(first.pixel(2, 6), empty);
    EXPECT_NE(middle.pixel(2, 6), empty);
    EXPECT_EQ(middle.pixel(250, 6), empty);
    EXPECT_NE(last.pixel(250, 6), empty);
    EXPECT_NE(Pictures::splashFrame(10), Pictures::splashFrame(11)) << "every frame moves";
    EXPECT_EQ(Pictures::splashFrame(500), last) << "frames past the end show the last";
}

TEST(Pictures, BannerIconsAndToolPicturesAreDrawn)
{
    const QImage banner = Pictures::banner();
    EXPECT_EQ(banner.width(), Pictures::SplashFrameWidth);
    EXPECT_EQ(paintedPixels(banner), banner.width() * banner.height());
    EXPECT_GE(Pictures::programIcon().availableSizes().size(), 2);
    for (auto state : {Pictures::MailNew, Pictures::MailRead, Pictures::MailAnswered})
        EXPECT_GT(paintedPixels(Pictures::mailState(state)), 30);
    EXPECT_NE(Pictures::mailState(Pictures::MailNew), Pictures::mailState(Pictures::MailRead));
    EXPECT_GT(paintedPixels(Pictures::eye()), 30);
    EXPECT_GT(paintedPixels(Pictures::pencil()), 30);

    QSet<QByteArray> seen;
    using Tool = ToolPictures::Tool;
    for (Tool t : {Tool::Day, Tool::Week, Tool::Month, Tool::Tasks, Tool::Mail, Tool::Chat, Tool::Exit}) {
        const QImage image = ToolPictures::image(t);
        EXPECT_EQ(image.size(), QSize(32, 32));
        EXPECT_GT(paintedPixels(image), 200);
        seen.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()), image.sizeInBytes()));
        EXPECT_FALSE(ToolPictures::icon(t).isNull());
    }
    EXPECT_EQ(seen.size(), 7);
}
