// Conversions between twips and pixels.
#include "platform/screen_metrics.h"

#include <gtest/gtest.h>

namespace {

TEST(Twips, PerPixelFollowsTheLogicalDpi) {
    const struct {
        double dpi;
        double twipsPerPixel;
    } cases[] = {{96, 15}, {120, 12}, {144, 10}, {192, 7.5}, {72, 20}, {0, 15}, {-1, 15}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(platform::twipsPerPixel(c.dpi), c.twipsPerPixel) << c.dpi;
}

TEST(Twips, ToPixelsRoundsToTheNearestPixel) {
    const struct {
        double twips;
        double twipsPerPixel;
        int pixels;
    } cases[] = {
        {9600, 15, 640}, {7, 15, 0}, {8, 15, 1}, {-8, 15, -1}, {1000, 7.5, 133}, {14400, 12, 1200},
    };
    for (const auto& c : cases)
        EXPECT_EQ(platform::pixelsFromTwips(c.twips, c.twipsPerPixel), c.pixels) << c.twips;
    EXPECT_DOUBLE_EQ(platform::twipsFromPixels(640, 15), 9600);
}

} // namespace
