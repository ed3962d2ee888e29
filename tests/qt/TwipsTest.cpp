#include <gtest/gtest.h>

#include "platform/qt/window/Twips.h"

namespace qz {
namespace {

struct TwipsCase {
    float twips;
    int pixels;
};

class TwipsToPixels : public testing::TestWithParam<TwipsCase> {};

TEST_P(TwipsToPixels, RoundsToTheNearestPixelWithHalvesAwayFromZero) {
    EXPECT_EQ(twipsToPixels(GetParam().twips), GetParam().pixels) << GetParam().twips << " twips";
}

INSTANTIATE_TEST_SUITE_P(Twips, TwipsToPixels,
    testing::Values(TwipsCase { 0, 0 }, TwipsCase { 15, 1 }, TwipsCase { 4995, 333 }, TwipsCase { 3210, 214 },
        TwipsCase { 3510, 234 }, TwipsCase { 5085, 339 }, TwipsCase { 7.4f, 0 }, TwipsCase { 7.5f, 1 },
        TwipsCase { 22.5f, 2 }, TwipsCase { 7102.5f, 474 }, TwipsCase { 0.5f, 0 }, TwipsCase { -7.4f, 0 },
        TwipsCase { -7.5f, -1 }, TwipsCase { -15, -1 }, TwipsCase { -3000, -200 },
        TwipsCase { -1507.5f, -101 }, TwipsCase { 32760, 2184 }, TwipsCase { -32768, -2185 }));

TEST(PixelsToTwips, IsFifteenTwipsAPixel) {
    EXPECT_EQ(pixelsToTwips(0), 0.0f);
    EXPECT_EQ(pixelsToTwips(333), 4995.0f);
    EXPECT_EQ(pixelsToTwips(234), 3510.0f);
    EXPECT_EQ(pixelsToTwips(-200), -3000.0f);
}

TEST(PixelsToTwips, RoundTripsEveryPixelCount) {
    for (int pixels = -3000; pixels <= 3000; ++pixels)
        ASSERT_EQ(twipsToPixels(pixelsToTwips(pixels)), pixels);
}

} // namespace
} // namespace qz
