#include "ColorHls.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

TEST(RgbToHls, PrimariesGreysBlackAndWhite)
{
    struct Case {
        CRgbColor rgb;
        CHlsColor hls;
    } cases[] = {
        {{255, 0, 0}, {0, 120, 240}},     {{0, 255, 0}, {80, 120, 240}},   {{0, 0, 255}, {160, 120, 240}},
        {{128, 128, 128}, {160, 120, 0}}, {{0, 0, 0}, {160, 0, 0}},        {{255, 255, 255}, {160, 240, 0}},
        {{1, 79, 53}, {107, 38, 234}},    {{255, 255, 0}, {40, 120, 240}}, {{255, 0, 255}, {200, 120, 240}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rgb.r << "," << c.rgb.g << "," << c.rgb.b);
        EXPECT_EQ(RgbToHls(c.rgb.r, c.rgb.g, c.rgb.b), c.hls);
    }
}

TEST(HlsToRgb, PrimariesGreysAndWhite)
{
    struct Case {
        CHlsColor hls;
        CRgbColor rgb;
    } cases[] = {
        {{0, 120, 240}, {255, 0, 0}},      {{80, 120, 240}, {0, 255, 0}},  {{160, 120, 240}, {0, 0, 255}},
        {{80, 240, 240}, {255, 255, 255}}, {{107, 38, 234}, {1, 80, 54}},  {{160, 120, 0}, {127, 127, 127}},
        {{0, 0, 240}, {0, 0, 0}},          {{240, 120, 240}, {255, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.hls.h << "," << c.hls.l << "," << c.hls.s);
        EXPECT_EQ(HlsToRgb(c.hls.h, c.hls.l, c.hls.s), c.rgb);
    }
    // Without saturation the hue does not matter.
    for (int h = 0; h <= 240; ++h)
        EXPECT_EQ(HlsToRgb(h, 120, 0), (CRgbColor{127, 127, 127})) << h;
}

TEST(HlsToRgb, NotTheInverseOfRgbToHls)
{
    const CHlsColor green = RgbToHls(1, 79, 53);
    EXPECT_EQ(green, (CHlsColor{107, 38, 234}));
    EXPECT_EQ(HlsToRgb(green.h, green.l, green.s), (CRgbColor{1, 80, 54}));
    const CHlsColor grey = RgbToHls(128, 128, 128);
    EXPECT_EQ(HlsToRgb(grey.h, grey.l, grey.s), (CRgbColor{127, 127, 127}));
}

TEST(HueToRgb, RampsAndPlateausWithTheHueWrapped)
{
    struct Case {
        int hue, value;
    } cases[] = {
        // lo 0, hi 240: rising to hue 40, flat to 120, falling to 160, lo after that.
        {0, 0},   {1, 6},   {20, 120}, {39, 234}, {40, 240}, {119, 240},  {120, 240}, {121, 234}, {140, 120},
        {159, 6}, {160, 0}, {240, 0},  {-1, 0},   {-80, 0},  {-200, 240}, {241, 6},   {320, 240}, {260, 120},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HueToRgb(0, 240, c.hue), c.value) << c.hue;
    // The ramps round half up: 10 + (10 * 1 + 20) / 40 = 10, 10 + (10 * 2 + 20) / 40 = 11.
    EXPECT_EQ(HueToRgb(10, 20, 1), 10);
    EXPECT_EQ(HueToRgb(10, 20, 2), 11);
    EXPECT_EQ(HueToRgb(10, 20, 158), 11);
    EXPECT_EQ(HueToRgb(10, 20, 159), 10);
}

TEST(HlsToRgb, EveryHlsInRangeGivesChannelsInRange)
{
    for (int h = 0; h <= 240; ++h)
        for (int l = 0; l <= 240; ++l)
            for (int s = 0; s <= 240; ++s) {
                const CRgbColor c = HlsToRgb(h, l, s);
                if (c.r < 0 || c.r > 255 || c.g < 0 || c.g > 255 || c.b < 0 || c.b > 255)
                    FAIL() << h << "," << l << "," << s << " -> " << c.r << "," << c.g << "," << c.b;
            }
}

TEST(RgbToHls, EveryRgbGivesHlsInRange)
{
    for (int r = 0; r <= 255; ++r)
        for (int g = 0; g <= 255; ++g)
            for (int b = 0; b <= 255; ++b) {
                const CHlsColor c = RgbToHls(r, g, b);
                if (c.h < 0 || c.h > 240 || c.l < 0 || c.l > 240 || c.s < 0 || c.s > 240)
                    FAIL() << r << "," << g << "," << b << " -> " << c.h << "," << c.l << "," << c.s;
            }
}

TEST(HueSaturationField, RowsOfHuesFromFullSaturationToGrey)
{
    const std::vector<uint32_t>& field = HueSaturationField();
    ASSERT_EQ(field.size(), 240u * 241u);
    auto at = [&](int x, int y) { return field[static_cast<size_t>(y) * kHueFieldWidth + x]; };
    for (int x = 0; x < kHueFieldWidth; ++x) {
        EXPECT_EQ(at(x, 240), 0x7F7F7Fu) << x;
        const CRgbColor top = HlsToRgb(x, 120, 240);
        EXPECT_EQ(at(x, 0), PackPixel(top)) << x;
        // Fully saturated at L 120: one channel at its top, one at its bottom.
        const int hi = std::max({top.r, top.g, top.b}), lo = std::min({top.r, top.g, top.b});
        EXPECT_EQ(hi, 255) << x;
        EXPECT_EQ(lo, 0) << x;
    }
    EXPECT_EQ(at(0, 0), 0xFF0000u);
    EXPECT_EQ(at(80, 0), 0x00FF00u);
    EXPECT_EQ(at(160, 0), 0x0000FFu);
    const std::pair<int, int> points[] = {{0, 0}, {239, 0}, {107, 6}, {13, 200}, {239, 240}, {120, 120}};
    for (const auto& [x, y] : points) {
        const CRgbColor c = HlsToRgb(x, 120, 240 - y);
        EXPECT_EQ(at(x, y), PackPixel(c)) << x << "," << y;
    }
    // The same vector on every call.
    EXPECT_EQ(&HueSaturationField(), &field);
}

TEST(HueSaturationField, PixelBytesAreBlueGreenRedZero)
{
    uint32_t pixel = PackPixel({0x12, 0x34, 0x56});
    EXPECT_EQ(pixel, 0x00123456u);
    // A 32-bit DIB section holds blue first; both targets are little-endian.
    uint8_t bytes[4];
    std::memcpy(bytes, &pixel, 4);
    EXPECT_EQ(bytes[0], 0x56);
    EXPECT_EQ(bytes[1], 0x34);
    EXPECT_EQ(bytes[2], 0x12);
    EXPECT_EQ(bytes[3], 0);
    // The field's red corner: red in the third byte.
    const uint32_t red = HueSaturationField()[0];
    std::memcpy(bytes, &red, 4);
    EXPECT_EQ(bytes[0], 0);
    EXPECT_EQ(bytes[1], 0);
    EXPECT_EQ(bytes[2], 0xFF);
    EXPECT_EQ(bytes[3], 0);
}

TEST(LightnessColumn, WhiteOnTopBlackAtTheBottom)
{
    struct Case {
        int h, s;
    } cases[] = {{0, 240}, {107, 234}, {160, 0}, {239, 17}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h << "," << c.s);
        const std::array<uint32_t, kLightnessRows> column = LightnessColumn(c.h, c.s);
        EXPECT_EQ(column[0], 0xFFFFFFu);
        EXPECT_EQ(column[240], 0u);
        for (int row = 0; row < kLightnessRows; ++row)
            EXPECT_EQ(column[row], PackPixel(HlsToRgb(c.h, 240 - row, c.s))) << row;
    }
    EXPECT_EQ(LightnessColumn(0, 240)[120], 0xFF0000u);
    EXPECT_EQ(LightnessColumn(160, 0)[120], 0x7F7F7Fu);
}

} // namespace
