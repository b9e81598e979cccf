#pragma once
// The appearance of the owner-drawn menus: the record CODMSettings shared by the launcher's
// renderer and the customizer, the catalogue of its registry values (one table that reading,
// writing, the profiles and the customizer's controls all use) and the values kept beside it.
// Portable: no windows.h.

#include <array>
#include <climits>
#include <cstdint>
#include <string>

class CSettingsStore;

// COLORREF: 0x00BBGGRR.
using XColorRef = uint32_t;

inline constexpr int kODMColorCount = 6;
// Indices of CODMSettings::colors, also the order of the customizer's colour-target list.
enum XODMColor : int {
    kColorBack = 0,
    kColorText = 1,
    kColorSeparator = 2,
    kColorHighlightBack = 3,
    kColorHighlightText = 4,
    kColorHighlightEdge = 5,
};

// "DrawType" values.
enum XDrawType : int {
    kDrawTheme = 0,
    kDrawSysColor = 1,
    kDrawCustomColor = 2,
    kDrawBySystem = 3,
};

// One field per appearance value, in record order (also the order of a profile record).
struct CODMSettings {
    int drawType = kDrawTheme;
    std::wstring fontName = L"メイリオ";
    int fontSize = 80; // tenths of a point
    int fontWeight = 0;
    int fontItalic = 0;
    std::array<XColorRef, kODMColorCount> colors = {0x2B2B2B, 0xFFFFFF, 0x808080, 0x414141, 0xFFFFFF, 0x414141};
    int useTexture = 0;
    std::wstring textureFile;
    int alphaHighlight = 128;
    int compactWidth = 0;
    int padding = 0;
    int separatorHeight = 35; // percent of the item height
    int highlightEdge = 0;
    int submenuMark = 0; // 0 triangle, non-zero chevron

    bool operator==(const CODMSettings&) const = default;
};

// The appearance values, in record order.
enum class XODMValue : int {
    DrawType,
    FontName,
    FontSize,
    FontWeight,
    FontItalic,
    ColorBack,
    ColorText,
    ColorSeparator,
    ColorHighlightBack,
    ColorHighlightText,
    ColorHighlightEdge,
    UseTexture,
    TextureFile,
    AlphaHighlight,
    CompactWidth,
    Padding,
    SeparatorHeight,
    HighlightEdge,
    SubmenuMark,
    Count
};
inline constexpr size_t kODMValueCount = static_cast<size_t>(XODMValue::Count);

enum class XODMValueType { Int, Text };

struct CODMValueDef {
    XODMValue value;
    const wchar_t* name; // the registry value name, letter for letter
    XODMValueType type;
    int intDefault;
    const wchar_t* textDefault;
    // The values the customizer produces. The launcher checks none of them (it maps only
    // "DrawType", see EffectiveDrawType); INT_MIN..INT_MAX means whatever the source gives.
    int minimum;
    int maximum;
    // Typed input is clamped to the range ("OwnerDrawAlphaHighlight" only); other typed
    // numbers are taken as they parse.
    bool clampTyped;
};

// Indexed by XODMValue.
const std::array<CODMValueDef, kODMValueCount>& ODMValueCatalogue();
const CODMValueDef& ODMValueDef(XODMValue value);
// The order in which SaveODMSettings writes (not the record order).
const std::array<XODMValue, kODMValueCount>& ODMSaveOrder();

// Field access by catalogue entry. Colours travel as int (the registry's 32 bits).
int GetODMInt(const CODMSettings& settings, XODMValue value);
void SetODMInt(CODMSettings& settings, XODMValue value, int number);
const std::wstring& GetODMText(const CODMSettings& settings, XODMValue value);
void SetODMText(CODMSettings& settings, XODMValue value, const std::wstring& text);

// Resets the record to the defaults, then reads every value from "Settings"; a missing value
// keeps its default. How a value of another type reads is the store's rule (lenient for the
// launcher, strict for the customizer). No range check here.
void LoadODMSettings(CSettingsStore& store, CODMSettings& settings);
// The same on the process-wide store.
void LoadODMSettings(CODMSettings& settings);
// Writes every field in ODMSaveOrder; write failures are ignored.
void SaveODMSettings(CSettingsStore& store, const CODMSettings& settings);
void SaveODMSettings(const CODMSettings& settings);

// Values kept beside the record in "Settings", not part of it nor of the profiles.
inline constexpr wchar_t kTextureShiftXValue[] = L"TextureShiftX";
inline constexpr wchar_t kTextureShiftYValue[] = L"TextureShiftY";
inline constexpr int kTextureShiftDefault = 3;
inline constexpr wchar_t kProfileSetInitializedValue[] = L"ProfileSetIntialized";
inline constexpr wchar_t kLastLoadProfileValue[] = L"LastLoadProfile";

struct CTextureShift {
    int x = kTextureShiftDefault;
    int y = kTextureShiftDefault;
    bool operator==(const CTextureShift&) const = default;
};
CTextureShift LoadTextureShift(CSettingsStore& store);
CTextureShift LoadTextureShift();

// The mode the launcher draws in: 0, 2 and 3 as stored, any other value as 1.
int EffectiveDrawType(int drawType);
// The launcher's face name: the first 31 units of the stored name.
std::wstring ODMFaceName(const std::wstring& fontName);
inline constexpr size_t kODMFaceNameMax = 31;

// Customizer texts: "#RRGGBB" of a COLORREF, and "%d.%dpt" of a size in tenths.
std::wstring FormatODMColor(XColorRef color);
std::wstring FormatODMFontSize(int tenths);
// The weight from which the customizer calls a font "太字".
inline constexpr int kODMBoldWeight = 600;
// The leading decimal integer of an edit text (sign allowed); 0 when the text does not begin
// with a number. Not clamped; values beyond 32 bits saturate.
int ParseODMEditNumber(const std::wstring& text);
// The value of one hexadecimal digit of either case; -1 for anything else.
inline int HexDigitValue(wchar_t c)
{
    if (c >= L'0' && c <= L'9')
        return c - L'0';
    if (c >= L'A' && c <= L'F')
        return c - L'A' + 10;
    if (c >= L'a' && c <= L'f')
        return c - L'a' + 10;
    return -1;
}
// A typed value as the customizer stores it: clamped where the catalogue says so.
int ClampTypedODMValue(XODMValue value, int number);

inline constexpr int ODMRed(XColorRef c)
{
    return static_cast<int>(c & 0xFF);
}
inline constexpr int ODMGreen(XColorRef c)
{
    return static_cast<int>((c >> 8) & 0xFF);
}
inline constexpr int ODMBlue(XColorRef c)
{
    return static_cast<int>((c >> 16) & 0xFF);
}
