#pragma once
// Every pixel rule of the owner-drawn menus as small pure functions: sizes, columns, the
// placement of icon, texts, marks and separators inside an entry, the texture tile and the
// EXIF turn. The Windows renderer only asks the system for text metrics and widths and
// paints where these functions say. All values are device pixels. Portable: no windows.h.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ODMSettings.h"

// Fixed pixel counts, never scaled with the display.
inline constexpr int kODMMinItemHeight = 20;
inline constexpr int kODMTextExtraHeight = 4; // added to the font's tmHeight
inline constexpr int kODMMargin = 6;          // left margin, icon-to-label gap, right margin
inline constexpr int kODMMarkWidth = 5;
inline constexpr int kODMMarkHeight = 7;
inline constexpr int kODMMarkRightInset = 11; // the mark's left column sits at W - 11
// DrawText flags: measuring (DT_SINGLELINE | DT_CALCRECT | DT_HIDEPREFIX) and drawing
// (DT_SINGLELINE | DT_VCENTER | DT_HIDEPREFIX).
inline constexpr unsigned kODMMeasureTextFlags = 0x100420;
inline constexpr unsigned kODMDrawTextFlags = 0x100024;
// Theme parts and states of the class "MENU".
inline constexpr int kMenuPartPopupBackground = 9;
inline constexpr int kMenuPartPopupItem = 14;
inline constexpr int kMenuPartPopupSeparator = 15;
inline constexpr int kMenuPartPopupSubmenu = 16;
inline constexpr int kMenuItemStateNormal = 1;
inline constexpr int kMenuItemStateHot = 2;
inline constexpr int kODMThemeProbeSize = 20; // bitmap painted to learn the theme's background
inline constexpr int kODMThemeProbePixel = 10;
inline constexpr int kSHIFTJISCharset = 128;

// One popup's shared column record: all entries appended to that popup point at it.
struct CODMCommonItem {
    int maxLabelWidth = 0;
    int maxShortcutWidth = 0;
    int maxCombinedWidth = 0;
};

// One owner-drawn entry; the menu entry's item data points at it, the menu show's item list
// owns it.
struct CODMItem {
    int imageIndex = -1;
    int separator = 0;
    int submenu = 0;
    std::wstring label;
    std::wstring shortcutText;
    int labelWidth = -1;
    int shortcutWidth = -1;
    std::shared_ptr<CODMCommonItem> common;
};

// The sizes of one menu show, from the font and the system metrics.
struct CODMMetrics {
    int iconWidth = 16;
    int iconHeight = 16;
    int itemHeight = kODMMinItemHeight;
    int separatorHeight = 7;
    int themeSeparatorHeight = 7;
    int columnGap = 0;
    int submenuArrowWidth = 16;
};

struct CODMRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const CODMRect&) const = default;
};

struct CODMSize {
    int cx = 0;
    int cy = 0;
    bool operator==(const CODMSize&) const = default;
};

// MulDiv of the platform: a * b / c in 64 bits, rounded half away from zero; -1 when c is 0
// or the result does not fit 32 bits.
int ODMMulDiv(int a, int b, int c);
// Logical font height: -MulDiv(tenths / 10 (truncated), pixels per inch, 72).
int ODMFontHeight(int fontSizeTenths, int pixelsPerInchY);
// max(tmHeight + 4, 20) + 2 * padding (padding may be negative).
int ODMItemHeight(int textHeight, int padding);
// percent * itemHeight / 100 rounded half away from zero; at least 1, and at least 2 unless
// the mode draws its own single-line separators (effective draw type 2).
int ODMSeparatorHeight(int percent, int itemHeight, int effectiveDrawType);
// 2 * tmAveCharWidth.
int ODMColumnGap(int averageCharWidth);
// Theme path: a theme separator part that measured raises the separator height to its own
// height; a failed query keeps both at the computed height.
void ApplyThemeSeparator(CODMMetrics& metrics, bool partMeasured, int partHeight);
// Submenu arrow width of the theme path: the part's width, or the icon width on failure.
int ODMSubmenuArrowWidth(bool partMeasured, int partWidth, int iconWidth);

// Adds one entry's measured widths to its popup's record.
void AccumulateODMWidths(CODMCommonItem& common, int labelWidth, int shortcutWidth, int columnGap);

// Label and shortcut text: split at the first TAB (later TABs stay in the shortcut text).
struct CODMTextSplit {
    std::wstring label;
    std::wstring shortcut;
};
CODMTextSplit SplitODMText(const std::wstring& text);

// WM_MEASUREITEM answers.
CODMSize MeasureODMSeparator(const CODMMetrics& metrics);
CODMSize MeasureODMEntry(const CODMMetrics& metrics, const CODMCommonItem& common, bool compactWidth);

// Positions inside an entry of width W and height H, x from the entry's left edge, y from its top.
struct CODMEntryLayout {
    CODMRect icon;     // the icon cell
    CODMRect label;    // the label's text box
    CODMRect shortcut; // the shortcut's text box (zero width when there is none)
};
CODMEntryLayout LayoutODMEntry(int width, int height, const CODMMetrics& metrics, const CODMCommonItem& common,
                               int labelWidth, int shortcutWidth, bool compactWidth);
// Theme path: the submenu arrow box at the right end.
CODMRect ODMThemeArrowRect(int width, int height, const CODMMetrics& metrics);
// Theme path: the separator part's box, centred vertically (truncating division).
CODMRect ODMThemeSeparatorRect(int width, int height, int themeSeparatorHeight);
// Plain path: the row of the single separator line (mode 2), and the first of the two etched
// rows of the other modes (the second is the next row).
int ODMSeparatorLineRow(int height);
int ODMEtchedSeparatorRow(int height);
// Plain path: the rectangle left for the background once a selection frame of edge pixels
// is drawn (edge 0 or not selected: the whole entry).
CODMRect ODMBackgroundRect(int width, int height, bool selected, int highlightEdge);
// Plain path: brush origin that lets the texture inside an entry continue the popup frame's.
CODMSize ODMTextureBrushOrigin(const CTextureShift& shift, int entryLeft, int entryTop);
// Plain path: whether the program's own submenu mark is drawn (mode 2 submenu entries only);
// the entry is then excluded from the target's clipping so the system draws no arrow over it.
bool ODMDrawsOwnSubmenuMark(int effectiveDrawType, bool submenu);

// The 5 by 7 submenu marks, rows top to bottom, '#' set: mark 0 triangle, other chevron.
const std::array<const char*, kODMMarkHeight>& ODMSubmenuMarkRows(int submenuMark);
// The set pixels of the mark in an entry of width W and height H; top-left cell at
// (W - 11, (H - 7) / 2).
std::vector<CODMSize> ODMSubmenuMarkPixels(int submenuMark, int width, int height);

// Texture tile: the top-left part of the image, at most the primary monitor's size.
CODMSize ODMTextureTileSize(int monitorWidth, int monitorHeight, int imageWidth, int imageHeight);
// ARGB of the highlight laid over the texture: opacity in the top byte, then red, green, blue.
uint32_t ODMHighlightArgb(XColorRef color, int opacity);
// GDI+ RotateFlipType for an EXIF orientation (tag 0x0112); 0 (no change) for 1 and unknown values.
int ExifRotateFlipType(int orientation);
inline constexpr unsigned kExifOrientationTag = 0x0112;
inline constexpr unsigned kExifOrientationType = 3; // 16-bit unsigned

// The texture cache key and its test. Paths compare ignoring case.
struct CODMTextureKey {
    std::wstring path;
    uint64_t lastWriteTime = 0;
    XColorRef highlightColor = 0;
    int highlightOpacity = 0;
};
// True when nothing needs rebuilding: a highlight brush exists, the paths are equal ignoring
// case, the file's time could be read and equals the cached one, colour and opacity equal.
bool ODMTextureCacheHit(const CODMTextureKey& cached, bool haveHighlightBrush, const std::wstring& path, bool timeRead,
                        uint64_t lastWriteTime, XColorRef color, int opacity);
// Case-insensitive equality of two paths (ASCII, Latin-1, Greek, Cyrillic and full-width
// letters fold; everything else compares exactly).
bool ODMPathsEqualIgnoringCase(const std::wstring& a, const std::wstring& b);

// Where the colours of a menu show come from: the theme (mode 0 with a theme open), the six
// custom colours (mode 2), or the system colours (mode 1, mode 0 without a theme, any other
// value). Mode 2 alone gets a solid background brush of colour 0; the theme path a brush of
// the theme's background pixel; the system path none.
enum class XODMPalette { Theme, Custom, System };
XODMPalette ODMPaletteSource(int drawType, bool themeOpened);
// The texture step loads a texture only in mode 2 with "OwnerDrawUseTexture" set; otherwise
// the cache is released.
bool ODMTextureWanted(const CODMSettings& settings);
// What a texture bitmap is painted from: opaque black and the image below 255, the colour at
// that opacity above 0. The highlight bitmap and brush are the normal ones at opacity 0.
struct CODMTextureLayers {
    bool blackAndImage = false;
    bool colourOverlay = false;
    bool operator==(const CODMTextureLayers&) const = default;
};
CODMTextureLayers ODMTextureLayers(int opacity);
bool ODMHighlightSharesNormal(int opacity);

// Modes 1 and 0 without a theme: system colours replace colours 0, 1, 3, 4 and the selection
// frame goes. sysColors: COLOR_MENU, COLOR_MENUTEXT, COLOR_HIGHLIGHT, COLOR_HIGHLIGHTTEXT.
void ApplySystemColors(CODMSettings& settings, const std::array<XColorRef, 4>& sysColors);
