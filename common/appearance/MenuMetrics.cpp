#include "MenuMetrics.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

int ODMMulDiv(int a, int b, int c)
{
    if (c == 0)
        return -1;
    int64_t product = static_cast<int64_t>(a) * b;
    int64_t divisor = c;
    bool negative = (product < 0) != (divisor < 0);
    uint64_t p = product < 0 ? static_cast<uint64_t>(-product) : static_cast<uint64_t>(product);
    uint64_t d = divisor < 0 ? static_cast<uint64_t>(-divisor) : static_cast<uint64_t>(divisor);
    uint64_t q = (p + d / 2) / d;
    if (q > static_cast<uint64_t>(INT32_MAX))
        return -1;
    return negative ? -static_cast<int>(q) : static_cast<int>(q);
}

int ODMFontHeight(int fontSizeTenths, int pixelsPerInchY)
{
    return -ODMMulDiv(fontSizeTenths / 10, pixelsPerInchY, 72);
}

namespace {

int Saturate(int64_t value)
{
    return static_cast<int>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}

} // namespace

int ODMItemHeight(int textHeight, int padding)
{
    // The padding comes unchecked from the store.
    int64_t height = std::max<int64_t>(int64_t{textHeight} + kODMTextExtraHeight, kODMMinItemHeight);
    return Saturate(height + 2 * int64_t{padding});
}

int ODMSeparatorHeight(int percent, int itemHeight, int effectiveDrawType)
{
    double exact = static_cast<double>(percent) * itemHeight / 100.0;
    double rounded = std::round(exact); // half away from zero
    int height = rounded >= INT32_MAX ? INT32_MAX : (rounded <= INT32_MIN ? INT32_MIN : static_cast<int>(rounded));
    height = std::max(height, 1);
    if (effectiveDrawType != kDrawCustomColor)
        height = std::max(height, 2);
    return height;
}

int ODMColumnGap(int averageCharWidth)
{
    return 2 * averageCharWidth;
}

void ApplyThemeSeparator(CODMMetrics& metrics, bool partMeasured, int partHeight)
{
    if (!partMeasured) {
        metrics.themeSeparatorHeight = metrics.separatorHeight;
        return;
    }
    metrics.themeSeparatorHeight = partHeight;
    if (metrics.separatorHeight < partHeight)
        metrics.separatorHeight = partHeight;
}

int ODMSubmenuArrowWidth(bool partMeasured, int partWidth, int iconWidth)
{
    return partMeasured ? partWidth : iconWidth;
}

void AccumulateODMWidths(CODMCommonItem& common, int labelWidth, int shortcutWidth, int columnGap)
{
    common.maxLabelWidth = std::max(common.maxLabelWidth, labelWidth);
    common.maxShortcutWidth = std::max(common.maxShortcutWidth, shortcutWidth);
    int combined = labelWidth + (shortcutWidth > 0 ? shortcutWidth + columnGap : 0);
    common.maxCombinedWidth = std::max(common.maxCombinedWidth, combined);
}

CODMTextSplit SplitODMText(const std::wstring& text)
{
    size_t tab = text.find(L'\t');
    if (tab == std::wstring::npos)
        return {text, {}};
    return {text.substr(0, tab), text.substr(tab + 1)};
}

CODMSize MeasureODMSeparator(const CODMMetrics& metrics)
{
    return {metrics.iconWidth + 2 * kODMMargin, metrics.separatorHeight};
}

CODMSize MeasureODMEntry(const CODMMetrics& metrics, const CODMCommonItem& common, bool compactWidth)
{
    // 6 + icon + 6 + columns + 6.
    int fixed = metrics.iconWidth + 3 * kODMMargin;
    int columns =
        compactWidth ? common.maxCombinedWidth : common.maxShortcutWidth + metrics.columnGap + common.maxLabelWidth;
    return {fixed + columns, metrics.itemHeight};
}

CODMEntryLayout LayoutODMEntry(int width, int height, const CODMMetrics& metrics, const CODMCommonItem& common,
                               int labelWidth, int shortcutWidth, bool compactWidth)
{
    (void)width;
    CODMEntryLayout layout;
    layout.icon.left = kODMMargin;
    layout.icon.right = kODMMargin + metrics.iconWidth;
    layout.icon.top = (height - metrics.iconHeight) / 2;
    layout.icon.bottom = layout.icon.top + metrics.iconHeight;

    int textLeft = metrics.iconWidth + 2 * kODMMargin;
    layout.label = {textLeft, 0, textLeft + labelWidth, height};
    if (compactWidth) {
        int right = textLeft + common.maxCombinedWidth;
        layout.shortcut = {right - shortcutWidth, 0, right, height};
    } else {
        int left = textLeft + common.maxLabelWidth + metrics.columnGap;
        layout.shortcut = {left, 0, left + shortcutWidth, height};
    }
    return layout;
}

CODMRect ODMThemeArrowRect(int width, int height, const CODMMetrics& metrics)
{
    int right = width - kODMMargin;
    return {right - metrics.submenuArrowWidth, 0, right, height};
}

CODMRect ODMThemeSeparatorRect(int width, int height, int themeSeparatorHeight)
{
    int top = (height - themeSeparatorHeight) / 2;
    return {0, top, width, top + themeSeparatorHeight};
}

int ODMSeparatorLineRow(int height)
{
    return (height - 1) / 2;
}

int ODMEtchedSeparatorRow(int height)
{
    return (height - 2) / 2;
}

CODMRect ODMBackgroundRect(int width, int height, bool selected, int highlightEdge)
{
    CODMRect rect{0, 0, width, height};
    if (selected && highlightEdge > 0) {
        rect.left += highlightEdge;
        rect.top += highlightEdge;
        rect.right -= highlightEdge;
        rect.bottom -= highlightEdge;
    }
    return rect;
}

CODMSize ODMTextureBrushOrigin(const CTextureShift& shift, int entryLeft, int entryTop)
{
    return {-(shift.x + entryLeft), -(shift.y + entryTop)};
}

bool ODMDrawsOwnSubmenuMark(int effectiveDrawType, bool submenu)
{
    return submenu && effectiveDrawType == kDrawCustomColor;
}

const std::array<const char*, kODMMarkHeight>& ODMSubmenuMarkRows(int submenuMark)
{
    static constexpr std::array<const char*, kODMMarkHeight> kTriangle = {
        ".#...", ".##..", ".###.", ".####", ".###.", ".##..", ".#...",
    };
    static constexpr std::array<const char*, kODMMarkHeight> kChevron = {
        "##...", ".##..", "..##.", "...##", "..##.", ".##..", "##...",
    };
    return submenuMark == 0 ? kTriangle : kChevron;
}

std::vector<CODMSize> ODMSubmenuMarkPixels(int submenuMark, int width, int height)
{
    std::vector<CODMSize> pixels;
    const auto& rows = ODMSubmenuMarkRows(submenuMark);
    int left = width - kODMMarkRightInset;
    int top = (height - kODMMarkHeight) / 2;
    for (int y = 0; y < kODMMarkHeight; ++y)
        for (int x = 0; x < kODMMarkWidth; ++x)
            if (rows[y][x] == '#')
                pixels.push_back({left + x, top + y});
    return pixels;
}

CODMSize ODMTextureTileSize(int monitorWidth, int monitorHeight, int imageWidth, int imageHeight)
{
    return {std::min(monitorWidth, imageWidth), std::min(monitorHeight, imageHeight)};
}

uint32_t ODMHighlightArgb(XColorRef color, int opacity)
{
    return (static_cast<uint32_t>(opacity & 0xFF) << 24) | (static_cast<uint32_t>(ODMRed(color)) << 16) |
           (static_cast<uint32_t>(ODMGreen(color)) << 8) | static_cast<uint32_t>(ODMBlue(color));
}

int ExifRotateFlipType(int orientation)
{
    // RotateNoneFlipX 4, Rotate180FlipNone 2, Rotate180FlipX 6, Rotate90FlipX 5,
    // Rotate90FlipNone 1, Rotate270FlipX 7, Rotate270FlipNone 3.
    static constexpr int kCodes[] = {4, 2, 6, 5, 1, 7, 3};
    if (orientation < 2 || orientation > 8)
        return 0;
    return kCodes[orientation - 2];
}

namespace {

wchar_t FoldCase(wchar_t c)
{
    if (c >= L'A' && c <= L'Z')
        return static_cast<wchar_t>(c + 0x20);
    if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) || (c >= 0x410 && c <= 0x42F))
        return static_cast<wchar_t>(c + 0x20);
    if (c >= 0x400 && c <= 0x40F)
        return static_cast<wchar_t>(c + 0x50);
    if (c >= 0xFF21 && c <= 0xFF3A)
        return static_cast<wchar_t>(c + 0x20);
    return c;
}

} // namespace

bool ODMPathsEqualIgnoringCase(const std::wstring& a, const std::wstring& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (FoldCase(a[i]) != FoldCase(b[i]))
            return false;
    return true;
}

bool ODMTextureCacheHit(const CODMTextureKey& cached, bool haveHighlightBrush, const std::wstring& path, bool timeRead,
                        uint64_t lastWriteTime, XColorRef color, int opacity)
{
    return haveHighlightBrush && ODMPathsEqualIgnoringCase(cached.path, path) && timeRead &&
           cached.lastWriteTime == lastWriteTime && cached.highlightColor == color &&
           cached.highlightOpacity == opacity;
}

void ApplySystemColors(CODMSettings& settings, const std::array<XColorRef, 4>& sysColors)
{
    settings.colors[kColorBack] = sysColors[0];
    settings.colors[kColorText] = sysColors[1];
    settings.colors[kColorHighlightBack] = sysColors[2];
    settings.colors[kColorHighlightText] = sysColors[3];
    settings.highlightEdge = 0;
}

XODMPalette ODMPaletteSource(int drawType, bool themeOpened)
{
    if (drawType == kDrawTheme && themeOpened)
        return XODMPalette::Theme;
    if (drawType == kDrawCustomColor)
        return XODMPalette::Custom;
    return XODMPalette::System;
}

bool ODMTextureWanted(const CODMSettings& settings)
{
    return settings.drawType == kDrawCustomColor && settings.useTexture != 0;
}

CODMTextureLayers ODMTextureLayers(int opacity)
{
    return {opacity<255, opacity> 0};
}

bool ODMHighlightSharesNormal(int opacity)
{
    return opacity == 0;
}
