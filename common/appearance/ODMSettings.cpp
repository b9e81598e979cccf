#include "ODMSettings.h"

#include <cassert>
#include <cstdio>

#include "Platform.h"
#include "SettingsStore.h"

namespace {

constexpr int kAny = INT_MIN;
constexpr int kAll = INT_MAX;

// Record order. Booleans carry 0–1 (the customizer writes 0 or 1; readers take non-zero as set).
constexpr std::array<CODMValueDef, kODMValueCount> kCatalogue = {{
    {XODMValue::DrawType, L"DrawType", XODMValueType::Int, kDrawTheme, nullptr, 0, 3, false},
    {XODMValue::FontName, L"OwnerDrawFontName", XODMValueType::Text, 0, L"メイリオ", 0, 0, false},
    {XODMValue::FontSize, L"OwnerDrawFontSize", XODMValueType::Int, 80, nullptr, kAny, kAll, false},
    {XODMValue::FontWeight, L"OwnerDrawFontWeight", XODMValueType::Int, 0, nullptr, kAny, kAll, false},
    {XODMValue::FontItalic, L"OwnerDrawFontItalic", XODMValueType::Int, 0, nullptr, kAny, kAll, false},
    {XODMValue::ColorBack, L"CustomColorBack", XODMValueType::Int, 0x2B2B2B, nullptr, 0, 0xFFFFFF, false},
    {XODMValue::ColorText, L"CustomColorText", XODMValueType::Int, 0xFFFFFF, nullptr, 0, 0xFFFFFF, false},
    {XODMValue::ColorSeparator, L"CustomColorSeparator", XODMValueType::Int, 0x808080, nullptr, 0, 0xFFFFFF, false},
    {XODMValue::ColorHighlightBack, L"CustomColorHighlightBack", XODMValueType::Int, 0x414141, nullptr, 0, 0xFFFFFF,
     false},
    {XODMValue::ColorHighlightText, L"CustomColorHighlightText", XODMValueType::Int, 0xFFFFFF, nullptr, 0, 0xFFFFFF,
     false},
    // Spelled with a capital O in both programs.
    {XODMValue::ColorHighlightEdge, L"CustomCOlorHighlightEdge", XODMValueType::Int, 0x414141, nullptr, 0, 0xFFFFFF,
     false},
    {XODMValue::UseTexture, L"OwnerDrawUseTexture", XODMValueType::Int, 0, nullptr, 0, 1, false},
    {XODMValue::TextureFile, L"OwnerDrawTextureFile", XODMValueType::Text, 0, L"", 0, 0, false},
    {XODMValue::AlphaHighlight, L"OwnerDrawAlphaHighlight", XODMValueType::Int, 128, nullptr, 0, 255, true},
    {XODMValue::CompactWidth, L"OwnerDrawCompactWidth", XODMValueType::Int, 0, nullptr, 0, 1, false},
    {XODMValue::Padding, L"OwnerDrawPadding", XODMValueType::Int, 0, nullptr, kAny, kAll, false},
    {XODMValue::SeparatorHeight, L"OwnerDrawSeparatorHeight", XODMValueType::Int, 35, nullptr, kAny, kAll, false},
    {XODMValue::HighlightEdge, L"OwnerDrawHighlightEdge", XODMValueType::Int, 0, nullptr, 0, 2, false},
    {XODMValue::SubmenuMark, L"OwnerDrawSubmenuMark", XODMValueType::Int, 0, nullptr, 0, 1, false},
}};

constexpr std::array<XODMValue, kODMValueCount> kSaveOrder = {
    XODMValue::DrawType,           XODMValue::ColorBack,
    XODMValue::ColorText,          XODMValue::ColorSeparator,
    XODMValue::ColorHighlightBack, XODMValue::ColorHighlightText,
    XODMValue::ColorHighlightEdge, XODMValue::FontName,
    XODMValue::FontSize,           XODMValue::FontWeight,
    XODMValue::FontItalic,         XODMValue::UseTexture,
    XODMValue::TextureFile,        XODMValue::AlphaHighlight,
    XODMValue::CompactWidth,       XODMValue::Padding,
    XODMValue::SeparatorHeight,    XODMValue::HighlightEdge,
    XODMValue::SubmenuMark,
};

constexpr int ColorIndex(XODMValue value)
{
    return static_cast<int>(value) - static_cast<int>(XODMValue::ColorBack);
}

bool IsColor(XODMValue value)
{
    return value >= XODMValue::ColorBack && value <= XODMValue::ColorHighlightEdge;
}

} // namespace

const std::array<CODMValueDef, kODMValueCount>& ODMValueCatalogue()
{
    return kCatalogue;
}

const CODMValueDef& ODMValueDef(XODMValue value)
{
    assert(value < XODMValue::Count);
    return kCatalogue[static_cast<size_t>(value)];
}

const std::array<XODMValue, kODMValueCount>& ODMSaveOrder()
{
    return kSaveOrder;
}

int GetODMInt(const CODMSettings& s, XODMValue value)
{
    if (IsColor(value))
        return static_cast<int>(s.colors[ColorIndex(value)]);
    switch (value) {
    case XODMValue::DrawType:
        return s.drawType;
    case XODMValue::FontSize:
        return s.fontSize;
    case XODMValue::FontWeight:
        return s.fontWeight;
    case XODMValue::FontItalic:
        return s.fontItalic;
    case XODMValue::UseTexture:
        return s.useTexture;
    case XODMValue::AlphaHighlight:
        return s.alphaHighlight;
    case XODMValue::CompactWidth:
        return s.compactWidth;
    case XODMValue::Padding:
        return s.padding;
    case XODMValue::SeparatorHeight:
        return s.separatorHeight;
    case XODMValue::HighlightEdge:
        return s.highlightEdge;
    case XODMValue::SubmenuMark:
        return s.submenuMark;
    default:
        assert(!"not an integer value");
        return 0;
    }
}

void SetODMInt(CODMSettings& s, XODMValue value, int number)
{
    if (IsColor(value)) {
        s.colors[ColorIndex(value)] = static_cast<XColorRef>(number);
        return;
    }
    switch (value) {
    case XODMValue::DrawType:
        s.drawType = number;
        break;
    case XODMValue::FontSize:
        s.fontSize = number;
        break;
    case XODMValue::FontWeight:
        s.fontWeight = number;
        break;
    case XODMValue::FontItalic:
        s.fontItalic = number;
        break;
    case XODMValue::UseTexture:
        s.useTexture = number;
        break;
    case XODMValue::AlphaHighlight:
        s.alphaHighlight = number;
        break;
    case XODMValue::CompactWidth:
        s.compactWidth = number;
        break;
    case XODMValue::Padding:
        s.padding = number;
        break;
    case XODMValue::SeparatorHeight:
        s.separatorHeight = number;
        break;
    case XODMValue::HighlightEdge:
        s.highlightEdge = number;
        break;
    case XODMValue::SubmenuMark:
        s.submenuMark = number;
        break;
    default:
        assert(!"not an integer value");
        break;
    }
}

const std::wstring& GetODMText(const CODMSettings& s, XODMValue value)
{
    assert(value == XODMValue::FontName || value == XODMValue::TextureFile);
    return value == XODMValue::FontName ? s.fontName : s.textureFile;
}

void SetODMText(CODMSettings& s, XODMValue value, const std::wstring& text)
{
    assert(value == XODMValue::FontName || value == XODMValue::TextureFile);
    (value == XODMValue::FontName ? s.fontName : s.textureFile) = text;
}

void LoadODMSettings(CSettingsStore& store, CODMSettings& settings)
{
    CStoreBatch batch(store);
    settings = CODMSettings{};
    for (const CODMValueDef& def : kCatalogue) {
        if (def.type == XODMValueType::Int)
            SetODMInt(settings, def.value, store.GetInt(kSectionSettings, def.name, def.intDefault));
        else
            SetODMText(settings, def.value, store.GetString(kSectionSettings, def.name, def.textDefault));
    }
}

void LoadODMSettings(CODMSettings& settings)
{
    LoadODMSettings(Store(), settings);
}

void SaveODMSettings(CSettingsStore& store, const CODMSettings& settings)
{
    CStoreBatch batch(store);
    for (XODMValue value : kSaveOrder) {
        const CODMValueDef& def = ODMValueDef(value);
        if (def.type == XODMValueType::Int)
            store.SetInt(kSectionSettings, def.name, GetODMInt(settings, value));
        else
            store.SetString(kSectionSettings, def.name, GetODMText(settings, value));
    }
}

void SaveODMSettings(const CODMSettings& settings)
{
    SaveODMSettings(Store(), settings);
}

CTextureShift LoadTextureShift(CSettingsStore& store)
{
    CStoreBatch batch(store);
    CTextureShift shift;
    shift.x = store.GetInt(kSectionSettings, kTextureShiftXValue, kTextureShiftDefault);
    shift.y = store.GetInt(kSectionSettings, kTextureShiftYValue, kTextureShiftDefault);
    return shift;
}

CTextureShift LoadTextureShift()
{
    return LoadTextureShift(Store());
}

int EffectiveDrawType(int drawType)
{
    return (drawType == kDrawTheme || drawType == kDrawCustomColor || drawType == kDrawBySystem) ? drawType
                                                                                                 : kDrawSysColor;
}

std::wstring ODMFaceName(const std::wstring& fontName)
{
    return fontName.substr(0, kODMFaceNameMax);
}

std::wstring FormatODMColor(XColorRef color)
{
    wchar_t text[16];
    std::swprintf(text, 16, L"#%02X%02X%02X", ODMRed(color), ODMGreen(color), ODMBlue(color));
    return text;
}

std::wstring FormatODMFontSize(int tenths)
{
    wchar_t text[32];
    std::swprintf(text, 32, L"%d.%dpt", tenths / 10, tenths % 10);
    return text;
}

int ParseODMEditNumber(const std::wstring& text)
{
    size_t i = 0;
    while (i < text.size() && (text[i] == L' ' || text[i] == L'\t' || text[i] == L'\r' || text[i] == L'\n'))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == L'-' || text[i] == L'+'))
        negative = text[i++] == L'-';
    long long value = 0;
    for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
        value = value * 10 + (text[i] - L'0');
        if (value > static_cast<long long>(INT_MAX) + 1)
            value = static_cast<long long>(INT_MAX) + 1;
    }
    if (negative)
        value = -value;
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

int ClampTypedODMValue(XODMValue value, int number)
{
    const CODMValueDef& def = ODMValueDef(value);
    if (!def.clampTyped)
        return number;
    return number < def.minimum ? def.minimum : (number > def.maximum ? def.maximum : number);
}
