#pragma once
// The rules of the customizer's dialog as plain functions: the texts of its font and colour
// fields, what a typed colour or number means, which controls each mode shows, and the geometry
// of the two colour pickers. The dialog reads its controls, asks these and writes the answers
// back. Portable: no windows.h.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// ---- Dialog texts ------------------------------------------------------------------------

// "Meiryo UI 10.5pt 太字 斜体": the face, the size in points ("8pt" for whole points), then
// " 太字" from weight 600 and " 斜体" for a non-zero italic flag.
std::wstring DescribeFont(const std::wstring& face, int sizeTenths, int weight, int italic);
// "#AARRGGBB" in alpha mode with A other than 255, else "#RRGGBB"; upper-case digits.
std::wstring FormatColorHex(int a, int r, int g, int b, bool alphaMode);

struct CArgb {
    int a = 255, r = 0, g = 0, b = 0;
    bool operator==(const CArgb&) const = default;
};
// A typed hex colour: white space trimmed (ASCII and the ideographic space U+3000), one leading
// "#" removed, trimmed again, then the longest run of hex digits, at most 8 (digits after the
// eighth are ignored like any other trailing text; no digits read as 0). R, G, B are bits 16..23,
// 8..15, 0..7. A is bits 24..31 in alpha mode when more than 6 digits were read, else 255.
CArgb ParseColorHex(const std::wstring& text, bool alphaMode);
// The leading signed decimal number of a colour edit (0 when there is none), clamped to
// 0..maximum.
int ReadColorEditNumber(const std::wstring& text, int maximum);
inline constexpr int kMaxRgb = 255, kMaxAlpha = 255, kMaxHue = 239, kMaxSaturation = 240, kMaxLightness = 240;

// The colour target list's entries, in XODMColor order: 0 background, 3 highlight background.
// Alpha mode, where the colour has an opacity of its own: the highlight background over a texture.
bool AlphaMode(int colorTarget, int useTexture);
// The sample's colour as ARGB 0xAARRGGBB. The background over a texture shows nothing (0);
// every other target is opaque unless in alpha mode, where it carries A.
uint32_t SampleColor(int colorTarget, bool alphaMode, int useTexture, const CArgb& color);

// ---- Visibility --------------------------------------------------------------------------

struct CCustomizerView {
    int drawType = 0;
    int colorTarget = 0;
    int useTexture = 0;
    bool shiftControlsShown = false;
};
struct CControlState {
    int id;
    bool shown;
};
// Every control the mode governs, once each, with whether it shows: the left half (font,
// compact width, padding, separator, frame, mark) and the whole right half (colours). The mode
// buttons and the profile controls are not governed.
std::vector<CControlState> ControlVisibility(const CCustomizerView& view);

// ---- Control groups ----------------------------------------------------------------------

// The sample and the colour edits with their labels, moved under the picker.
const std::vector<int>& ColorEditorGroup();
// The texture file and shift controls, moved up to where the picker is.
const std::vector<int>& TextureGroup();

// ---- Picker geometry ---------------------------------------------------------------------

struct CPickerRect {
    int left = 0, top = 0, width = 0, height = 0;
    bool operator==(const CPickerRect&) const = default;
};
struct CHueSat {
    int h = 0, s = 0;
    bool operator==(const CHueSat&) const = default;
};
// The hue and saturation under a point of the hue picker: H = x, S = 240 - y, clamped to the field.
CHueSat HuePickerValueAt(int x, int y);
// The lightness under a row of the lightness picker: 240 - y, clamped to 0..240.
int LightnessPickerValueAt(int y);
// The hue picker's cross: left, right, top and bottom arms around the chosen pixel
// (H, 240 - S), which stays uncovered with a gap of two pixels round it.
std::array<CPickerRect, 4> HueMarkerRects(int h, int s);

// The lightness picker: the bar on the left, a margin of 10 on the right for the marker.
struct CLightnessBarLayout {
    int barWidth = -1;
    int marginWidth = -1;
    bool operator==(const CLightnessBarLayout&) const = default;
};
inline constexpr int kLightnessMarginWidth = 10;
CLightnessBarLayout LightnessBarLayout(int clientWidth);
// A picker of 10 pixels or less has no bar.
bool LightnessBarDrawn(const CLightnessBarLayout& layout);
// The marker: one row in the margin, at 240 - L.
CPickerRect LightnessMarkerRect(const CLightnessBarLayout& layout, int l);
