#include "ColorHls.h"

#include <algorithm>

namespace {

constexpr int kHlsMax = 240;
constexpr int kRgbMax = 255;
constexpr int kHueOfGrey = 160;

int ChannelOf(int value)
{
    return (value * kRgbMax + kHlsMax / 2) / kHlsMax;
}

} // namespace

int HueToRgb(int lo, int hi, int hue)
{
    if (hue < 0)
        hue += kHlsMax;
    if (hue > kHlsMax)
        hue -= kHlsMax;
    if (hue < kHlsMax / 6)
        return lo + ((hi - lo) * hue + kHlsMax / 12) / (kHlsMax / 6);
    if (hue < kHlsMax / 2)
        return hi;
    if (hue < kHlsMax * 2 / 3)
        return lo + ((hi - lo) * (kHlsMax * 2 / 3 - hue) + kHlsMax / 12) / (kHlsMax / 6);
    return lo;
}

CHlsColor RgbToHls(int r, int g, int b)
{
    const int cMax = std::max({r, g, b});
    const int cMin = std::min({r, g, b});
    const int sum = cMax + cMin;
    CHlsColor hls;
    hls.l = (sum * kHlsMax + kRgbMax) / (2 * kRgbMax);
    if (cMax == cMin) {
        hls.s = 0;
        hls.h = kHueOfGrey;
        return hls;
    }
    const int range = cMax - cMin;
    if (hls.l <= kHlsMax / 2)
        hls.s = (range * kHlsMax + sum / 2) / sum;
    else
        hls.s = (range * kHlsMax + (2 * kRgbMax - sum) / 2) / (2 * kRgbMax - sum);

    auto distance = [&](int channel) { return ((cMax - channel) * (kHlsMax / 6) + range / 2) / range; };
    const int rd = distance(r), gd = distance(g), bd = distance(b);
    if (r == cMax)
        hls.h = bd - gd;
    else if (g == cMax)
        hls.h = kHlsMax / 3 + rd - bd;
    else
        hls.h = kHlsMax * 2 / 3 + gd - rd;
    if (hls.h < 0)
        hls.h += kHlsMax;
    if (hls.h > kHlsMax)
        hls.h -= kHlsMax;
    return hls;
}

CRgbColor HlsToRgb(int h, int l, int s)
{
    if (s == 0) {
        const int grey = l * kRgbMax / kHlsMax;
        return {grey, grey, grey};
    }
    const int hi =
        l <= kHlsMax / 2 ? (l * (kHlsMax + s) + kHlsMax / 2) / kHlsMax : l + s - (l * s + kHlsMax / 2) / kHlsMax;
    const int lo = 2 * l - hi;
    return {ChannelOf(HueToRgb(lo, hi, h + kHlsMax / 3)), ChannelOf(HueToRgb(lo, hi, h)),
            ChannelOf(HueToRgb(lo, hi, h - kHlsMax / 3))};
}

const std::vector<uint32_t>& HueSaturationField()
{
    // A function-local static: initialised once, other threads wait for it.
    static const std::vector<uint32_t> field = [] {
        std::vector<uint32_t> pixels(static_cast<size_t>(kHueFieldWidth) * kHueFieldHeight);
        for (int y = 0; y < kHueFieldHeight; ++y)
            for (int x = 0; x < kHueFieldWidth; ++x)
                pixels[static_cast<size_t>(y) * kHueFieldWidth + x] = PackPixel(HlsToRgb(x, kHlsMax / 2, kHlsMax - y));
        return pixels;
    }();
    return field;
}

std::array<uint32_t, kLightnessRows> LightnessColumn(int h, int s)
{
    std::array<uint32_t, kLightnessRows> column{};
    for (int row = 0; row < kLightnessRows; ++row)
        column[row] = PackPixel(HlsToRgb(h, kHlsMax - row, s));
    return column;
}
