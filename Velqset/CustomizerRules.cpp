#include "CustomizerRules.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <span>

#include "ODMSettings.h"
#include "Resource.h"

namespace {

bool IsWhiteSpace(wchar_t c)
{
    return c == L' ' || c == L'\t' || c == L'\r' || c == L'\n' || c == L'\v' || c == L'\f' || c == 0x3000;
}

std::wstring Trim(const std::wstring& text)
{
    size_t begin = 0, end = text.size();
    while (begin < end && IsWhiteSpace(text[begin]))
        ++begin;
    while (end > begin && IsWhiteSpace(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

constexpr size_t kMaxHexDigits = 8;
constexpr size_t kRgbHexDigits = 6;

uint32_t Argb(int a, int r, int g, int b)
{
    return (static_cast<uint32_t>(a & 0xFF) << 24) | (static_cast<uint32_t>(r & 0xFF) << 16) |
           (static_cast<uint32_t>(g & 0xFF) << 8) | static_cast<uint32_t>(b & 0xFF);
}

constexpr int kTargetBack = kColorBack;
constexpr int kTargetHighlightBack = kColorHighlightBack;

// The groups, in the order ControlVisibility lists them. Arrays, so that they are constant
// before any dynamic initialisation runs.
constexpr int kFontGroup[] = {IDC_FONT_LABEL, IDC_FONT_TEXT, IDC_FONT_BUTTON};
constexpr int kCompactGroup[] = {IDC_COMPACT_WIDTH};
constexpr int kPaddingGroup[] = {IDC_PADDING_LABEL, IDC_PADDING_EACH, IDC_PADDING, IDC_PADDING_UNIT};
constexpr int kSeparatorGroup[] = {IDC_SEPARATOR_LABEL, IDC_SEPARATOR_OF, IDC_SEPARATOR_HEIGHT, IDC_SEPARATOR_UNIT};
constexpr int kFrameGroup[] = {IDC_EDGE_LABEL, IDC_HIGHLIGHT_EDGE};
constexpr int kMarkGroup[] = {IDC_MARK_LABEL, IDC_SUBMENU_MARK};
constexpr int kColorEditorGroup[] = {
    IDC_COLOR_SAMPLE,
    IDC_ALPHA_LABEL,
    IDC_ALPHA_SLIDER,
    IDC_A_LABEL,
    IDC_A,
    IDC_R_LABEL,
    IDC_R,
    IDC_G_LABEL,
    IDC_G,
    IDC_B_LABEL,
    IDC_B,
    IDC_H_LABEL,
    IDC_H,
    IDC_S_LABEL,
    IDC_S,
    IDC_L_LABEL,
    IDC_L,
    IDC_HEX_LABEL,
    IDC_HEX,
};
constexpr int kTextureGroup[] = {IDC_TEXTURE_LABEL, IDC_TEXTURE_FILE, IDC_TEXTURE_BUTTON, IDC_SHIFT_LABEL,
                                 IDC_SHIFT_X,       IDC_SHIFT_Y,      IDC_SHIFT_NOTE};

// Within the colours of mode 2: when each one shows.
enum class XColorRule { Always, BackTarget, OutsideTexture, AlphaMode, InTexture, InTextureWithShift };

struct CColorControl {
    int id;
    XColorRule rule;
};

constexpr CColorControl kColorControls[] = {
    {IDC_COLOR_TARGET, XColorRule::Always},
    {IDC_USE_TEXTURE, XColorRule::BackTarget},
    {IDC_HUE_PICKER, XColorRule::OutsideTexture},
    {IDC_LIGHTNESS_PICKER, XColorRule::OutsideTexture},
    {IDC_COLOR_SAMPLE, XColorRule::Always},
    {IDC_ALPHA_LABEL, XColorRule::AlphaMode},
    {IDC_ALPHA_SLIDER, XColorRule::AlphaMode},
    {IDC_A_LABEL, XColorRule::AlphaMode},
    {IDC_A, XColorRule::AlphaMode},
    {IDC_R_LABEL, XColorRule::OutsideTexture},
    {IDC_R, XColorRule::OutsideTexture},
    {IDC_G_LABEL, XColorRule::OutsideTexture},
    {IDC_G, XColorRule::OutsideTexture},
    {IDC_B_LABEL, XColorRule::OutsideTexture},
    {IDC_B, XColorRule::OutsideTexture},
    {IDC_H_LABEL, XColorRule::OutsideTexture},
    {IDC_H, XColorRule::OutsideTexture},
    {IDC_S_LABEL, XColorRule::OutsideTexture},
    {IDC_S, XColorRule::OutsideTexture},
    {IDC_L_LABEL, XColorRule::OutsideTexture},
    {IDC_L, XColorRule::OutsideTexture},
    {IDC_HEX_LABEL, XColorRule::OutsideTexture},
    {IDC_HEX, XColorRule::OutsideTexture},
    {IDC_TEXTURE_LABEL, XColorRule::InTexture},
    {IDC_TEXTURE_FILE, XColorRule::InTexture},
    {IDC_TEXTURE_BUTTON, XColorRule::InTexture},
    {IDC_SHIFT_LABEL, XColorRule::InTextureWithShift},
    {IDC_SHIFT_X, XColorRule::InTextureWithShift},
    {IDC_SHIFT_Y, XColorRule::InTextureWithShift},
    {IDC_SHIFT_NOTE, XColorRule::InTextureWithShift},
};

bool ColorControlShown(XColorRule rule, const CCustomizerView& view)
{
    // Texture mode: the background is a picture, so there is no colour to pick for it.
    const bool textureMode = view.colorTarget == kTargetBack && view.useTexture != 0;
    switch (rule) {
    case XColorRule::Always:
        return true;
    case XColorRule::BackTarget:
        return view.colorTarget == kTargetBack;
    case XColorRule::OutsideTexture:
        return !textureMode;
    case XColorRule::AlphaMode:
        return AlphaMode(view.colorTarget, view.useTexture);
    case XColorRule::InTexture:
        return textureMode;
    case XColorRule::InTextureWithShift:
        return textureMode && view.shiftControlsShown;
    }
    return false;
}

void Append(std::vector<CControlState>& states, std::span<const int> ids, bool shown)
{
    for (int id : ids)
        states.push_back({id, shown});
}

constexpr int kFieldMax = 240;

} // namespace

std::wstring DescribeFont(const std::wstring& face, int sizeTenths, int weight, int italic)
{
    std::wstring text = face + L" ";
    if (sizeTenths % 10 != 0) {
        text += FormatODMFontSize(sizeTenths);
    } else {
        wchar_t size[32];
        std::swprintf(size, 32, L"%dpt", sizeTenths / 10);
        text += size;
    }
    if (weight >= kODMBoldWeight)
        text += L" 太字";
    if (italic != 0)
        text += L" 斜体";
    return text;
}

std::wstring FormatColorHex(int a, int r, int g, int b, bool alphaMode)
{
    wchar_t text[32];
    if (alphaMode && a != kMaxAlpha)
        std::swprintf(text, 32, L"#%02X%02X%02X%02X", static_cast<unsigned>(a), static_cast<unsigned>(r),
                      static_cast<unsigned>(g), static_cast<unsigned>(b));
    else
        std::swprintf(text, 32, L"#%02X%02X%02X", static_cast<unsigned>(r), static_cast<unsigned>(g),
                      static_cast<unsigned>(b));
    return text;
}

CArgb ParseColorHex(const std::wstring& text, bool alphaMode)
{
    std::wstring rest = Trim(text);
    if (!rest.empty() && rest[0] == L'#')
        rest = Trim(rest.substr(1));
    uint32_t value = 0;
    size_t digits = 0;
    for (; digits < rest.size() && digits < kMaxHexDigits; ++digits) {
        const int digit = HexDigitValue(rest[digits]);
        if (digit < 0)
            break;
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    CArgb color;
    color.a = (alphaMode && digits > kRgbHexDigits) ? static_cast<int>(value >> 24) : kMaxAlpha;
    color.r = static_cast<int>((value >> 16) & 0xFF);
    color.g = static_cast<int>((value >> 8) & 0xFF);
    color.b = static_cast<int>(value & 0xFF);
    return color;
}

int ReadColorEditNumber(const std::wstring& text, int maximum)
{
    return std::clamp(ParseODMEditNumber(text), 0, maximum);
}

bool AlphaMode(int colorTarget, int useTexture)
{
    return colorTarget == kTargetHighlightBack && useTexture != 0;
}

uint32_t SampleColor(int colorTarget, bool alphaMode, int useTexture, const CArgb& color)
{
    if (colorTarget == kTargetBack)
        return useTexture != 0 ? 0 : Argb(kMaxAlpha, color.r, color.g, color.b);
    return Argb(alphaMode ? color.a : kMaxAlpha, color.r, color.g, color.b);
}

std::vector<CControlState> ControlVisibility(const CCustomizerView& view)
{
    const bool left =
        view.drawType == kDrawTheme || view.drawType == kDrawSysColor || view.drawType == kDrawCustomColor;
    const bool custom = view.drawType == kDrawCustomColor;
    std::vector<CControlState> states;
    Append(states, kFontGroup, left);
    Append(states, kCompactGroup, left);
    Append(states, kPaddingGroup, left);
    Append(states, kSeparatorGroup, left);
    Append(states, kFrameGroup, custom);
    Append(states, kMarkGroup, custom);
    for (const CColorControl& control : kColorControls)
        states.push_back({control.id, custom && ColorControlShown(control.rule, view)});
    return states;
}

const std::vector<int>& ColorEditorGroup()
{
    static const std::vector<int> group(std::begin(kColorEditorGroup), std::end(kColorEditorGroup));
    return group;
}

const std::vector<int>& TextureGroup()
{
    static const std::vector<int> group(std::begin(kTextureGroup), std::end(kTextureGroup));
    return group;
}

CHueSat HuePickerValueAt(int x, int y)
{
    return {std::clamp(x, 0, kMaxHue), std::clamp(kFieldMax - y, 0, kMaxSaturation)};
}

int LightnessPickerValueAt(int y)
{
    return std::clamp(kFieldMax - y, 0, kMaxLightness);
}

std::array<CPickerRect, 4> HueMarkerRects(int h, int s)
{
    const int y0 = kFieldMax - s;
    return {{
        {h - 9, y0, 6, 1},
        {h + 3, y0, 6, 1},
        {h, y0 - 9, 1, 6},
        {h, y0 + 3, 1, 6},
    }};
}

CLightnessBarLayout LightnessBarLayout(int clientWidth)
{
    return {clientWidth - kLightnessMarginWidth, kLightnessMarginWidth};
}

bool LightnessBarDrawn(const CLightnessBarLayout& layout)
{
    return layout.barWidth > 0;
}

CPickerRect LightnessMarkerRect(const CLightnessBarLayout& layout, int l)
{
    return {layout.barWidth, kFieldMax - l, kLightnessMarginWidth, 1};
}
