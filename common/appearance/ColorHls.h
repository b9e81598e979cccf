#pragma once
// The customizer's colour model: RGB 0..255 and HLS on the 0..240 scale, in integers, and the
// pixels of its two pickers. Hue 0..239 is what the pickers offer, 160 is the hue given to greys.
// The conversions round, so they are not inverses of each other: a colour taken to HLS and
// back may move by a step. Portable: no windows.h.

#include <array>
#include <cstdint>
#include <vector>

struct CRgbColor {
    int r = 0, g = 0, b = 0;
    bool operator==(const CRgbColor&) const = default;
};

struct CHlsColor {
    int h = 0, l = 0, s = 0;
    bool operator==(const CHlsColor&) const = default;
};

// One channel (0..240) between lo and hi at a hue, which may lie one turn outside 0..240.
int HueToRgb(int lo, int hi, int hue);
// Channels 0..255 to H, L, S 0..240.
CHlsColor RgbToHls(int r, int g, int b);
// H, L, S 0..240 to channels 0..255.
CRgbColor HlsToRgb(int h, int l, int s);

inline constexpr int kHueFieldWidth = 240, kHueFieldHeight = 241, kLightnessRows = 241;

// Pixels as uint32 0x00RRGGBB (bytes in memory: blue, green, red, 0), the layout of a 32-bit
// top-down DIB section.
inline constexpr uint32_t PackPixel(const CRgbColor& c)
{
    return (static_cast<uint32_t>(c.r) << 16) | (static_cast<uint32_t>(c.g) << 8) | static_cast<uint32_t>(c.b);
}

// The hue and saturation picker, row-major, 241 rows of 240: pixel (x, y) is
// HlsToRgb(H = x, L = 120, S = 240 - y). Computed on the first call (thread-safe), then kept for
// the process.
const std::vector<uint32_t>& HueSaturationField();
// The lightness bar of one hue and saturation: row r (0 at the top .. 240) is HlsToRgb(h, 240 - r, s).
std::array<uint32_t, kLightnessRows> LightnessColumn(int h, int s);
