#include <gtest/gtest.h>

#include "FakePlatform.h"
#include "ODMSettings.h"
#include "SettingsStore.h"

namespace {

const std::wstring kSettingsPath = std::wstring(kStoreKeyPath) + L"\\Settings";

CRegValue Dword(uint32_t v)
{
    CRegValue value;
    value.type = kRegDword;
    for (int i = 0; i < 4; ++i)
        value.data.push_back(static_cast<uint8_t>(v >> (8 * i)));
    return value;
}

CRegValue Sz(const std::wstring& text)
{
    CRegValue value;
    value.type = kRegSz;
    for (wchar_t c : text) {
        value.data.push_back(static_cast<uint8_t>(c & 0xFF));
        value.data.push_back(static_cast<uint8_t>((c >> 8) & 0xFF));
    }
    value.data.push_back(0);
    value.data.push_back(0);
    return value;
}

TEST(ODMCatalogue, EveryValueInRecordOrderWithNameTypeDefaultAndRange)
{
    struct Case {
        const wchar_t* name;
        XODMValueType type;
        int intDefault;
        const wchar_t* textDefault;
        int minimum, maximum;
        bool clampTyped;
    } cases[] = {
        {L"DrawType", XODMValueType::Int, 0, nullptr, 0, 3, false},
        {L"OwnerDrawFontName", XODMValueType::Text, 0, L"メイリオ", 0, 0, false},
        {L"OwnerDrawFontSize", XODMValueType::Int, 80, nullptr, INT_MIN, INT_MAX, false},
        {L"OwnerDrawFontWeight", XODMValueType::Int, 0, nullptr, INT_MIN, INT_MAX, false},
        {L"OwnerDrawFontItalic", XODMValueType::Int, 0, nullptr, INT_MIN, INT_MAX, false},
        {L"CustomColorBack", XODMValueType::Int, 0x2B2B2B, nullptr, 0, 0xFFFFFF, false},
        {L"CustomColorText", XODMValueType::Int, 0xFFFFFF, nullptr, 0, 0xFFFFFF, false},
        {L"CustomColorSeparator", XODMValueType::Int, 0x808080, nullptr, 0, 0xFFFFFF, false},
        {L"CustomColorHighlightBack", XODMValueType::Int, 0x414141, nullptr, 0, 0xFFFFFF, false},
        {L"CustomColorHighlightText", XODMValueType::Int, 0xFFFFFF, nullptr, 0, 0xFFFFFF, false},
        {L"CustomCOlorHighlightEdge", XODMValueType::Int, 0x414141, nullptr, 0, 0xFFFFFF, false},
        {L"OwnerDrawUseTexture", XODMValueType::Int, 0, nullptr, 0, 1, false},
        {L"OwnerDrawTextureFile", XODMValueType::Text, 0, L"", 0, 0, false},
        {L"OwnerDrawAlphaHighlight", XODMValueType::Int, 128, nullptr, 0, 255, true},
        {L"OwnerDrawCompactWidth", XODMValueType::Int, 0, nullptr, 0, 1, false},
        {L"OwnerDrawPadding", XODMValueType::Int, 0, nullptr, INT_MIN, INT_MAX, false},
        {L"OwnerDrawSeparatorHeight", XODMValueType::Int, 35, nullptr, INT_MIN, INT_MAX, false},
        {L"OwnerDrawHighlightEdge", XODMValueType::Int, 0, nullptr, 0, 2, false},
        {L"OwnerDrawSubmenuMark", XODMValueType::Int, 0, nullptr, 0, 1, false},
    };
    ASSERT_EQ(std::size(cases), kODMValueCount);
    const CODMSettings defaults;
    for (size_t i = 0; i < kODMValueCount; ++i) {
        const Case& c = cases[i];
        const CODMValueDef& def = ODMValueDef(static_cast<XODMValue>(i));
        EXPECT_EQ(def.value, static_cast<XODMValue>(i));
        EXPECT_STREQ(def.name, c.name);
        EXPECT_EQ(def.type, c.type) << c.name;
        EXPECT_EQ(def.minimum, c.minimum) << c.name;
        EXPECT_EQ(def.maximum, c.maximum) << c.name;
        EXPECT_EQ(def.clampTyped, c.clampTyped) << c.name;
        // The record's initial values and the catalogue's defaults are one and the same.
        if (c.type == XODMValueType::Int) {
            EXPECT_EQ(def.intDefault, c.intDefault) << c.name;
            EXPECT_EQ(GetODMInt(defaults, def.value), c.intDefault) << c.name;
        } else {
            EXPECT_STREQ(def.textDefault, c.textDefault) << c.name;
            EXPECT_EQ(GetODMText(defaults, def.value), c.textDefault) << c.name;
        }
    }
}

TEST(ODMCatalogue, SaveOrderIsDrawTypeColoursThenTheRest)
{
    const XODMValue expected[] = {
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
    ASSERT_EQ(std::size(expected), ODMSaveOrder().size());
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(ODMSaveOrder()[i], expected[i]) << i;
}

TEST(LoadODMSettings, EmptySectionGivesTheDefaultsForBothReadings)
{
    for (XIntReading reading : {XIntReading::Lenient, XIntReading::Strict}) {
        CMemoryStore store(reading);
        CODMSettings settings;
        settings.drawType = 2;
        settings.fontName = L"stale";
        settings.colors[5] = 1;
        LoadODMSettings(store, settings);
        EXPECT_EQ(settings.drawType, 0);
        EXPECT_EQ(settings.fontName, L"メイリオ");
        EXPECT_EQ(settings.fontSize, 80);
        EXPECT_EQ(settings.fontWeight, 0);
        EXPECT_EQ(settings.fontItalic, 0);
        const std::array<XColorRef, 6> colours = {0x2B2B2B, 0xFFFFFF, 0x808080, 0x414141, 0xFFFFFF, 0x414141};
        EXPECT_EQ(settings.colors, colours);
        EXPECT_EQ(settings.useTexture, 0);
        EXPECT_EQ(settings.textureFile, L"");
        EXPECT_EQ(settings.alphaHighlight, 128);
        EXPECT_EQ(settings.compactWidth, 0);
        EXPECT_EQ(settings.padding, 0);
        EXPECT_EQ(settings.separatorHeight, 35);
        EXPECT_EQ(settings.highlightEdge, 0);
        EXPECT_EQ(settings.submenuMark, 0);
        EXPECT_EQ(LoadTextureShift(store), (CTextureShift{3, 3}));
    }
}

TEST(LoadODMSettings, ReadsEveryValueByItsName)
{
    CMemoryStore store;
    // A distinct value per field, so that a swapped name shows.
    std::vector<std::pair<std::wstring, CRegValue>> stored = {
        {L"DrawType", Dword(2)},
        {L"OwnerDrawFontName", Sz(L"ＭＳ ゴシック")},
        {L"OwnerDrawFontSize", Dword(105)},
        {L"OwnerDrawFontWeight", Dword(700)},
        {L"OwnerDrawFontItalic", Dword(1)},
        {L"CustomColorBack", Dword(0x010203)},
        {L"CustomColorText", Dword(0x040506)},
        {L"CustomColorSeparator", Dword(0x070809)},
        {L"CustomColorHighlightBack", Dword(0x0A0B0C)},
        {L"CustomColorHighlightText", Dword(0x0D0E0F)},
        {L"CustomCOlorHighlightEdge", Dword(0x00354F01)},
        {L"OwnerDrawUseTexture", Dword(1)},
        {L"OwnerDrawTextureFile", Sz(L"C:\\画像\\tex.png")},
        {L"OwnerDrawAlphaHighlight", Dword(200)},
        {L"OwnerDrawCompactWidth", Dword(1)},
        {L"OwnerDrawPadding", Dword(static_cast<uint32_t>(-5))},
        {L"OwnerDrawSeparatorHeight", Dword(60)},
        {L"OwnerDrawHighlightEdge", Dword(2)},
        {L"OwnerDrawSubmenuMark", Dword(1)},
        {L"TextureShiftX", Dword(static_cast<uint32_t>(-2))},
        {L"TextureShiftY", Dword(9)},
    };
    for (const auto& [name, value] : stored)
        ASSERT_TRUE(store.WriteValue(kSettingsPath, name, value));

    CODMSettings s;
    LoadODMSettings(store, s);
    EXPECT_EQ(s.drawType, 2);
    EXPECT_EQ(s.fontName, L"ＭＳ ゴシック");
    EXPECT_EQ(s.fontSize, 105);
    EXPECT_EQ(s.fontWeight, 700);
    EXPECT_EQ(s.fontItalic, 1);
    const std::array<XColorRef, 6> colours = {0x010203, 0x040506, 0x070809, 0x0A0B0C, 0x0D0E0F, 0x00354F01};
    EXPECT_EQ(s.colors, colours);
    EXPECT_EQ(s.useTexture, 1);
    EXPECT_EQ(s.textureFile, L"C:\\画像\\tex.png");
    EXPECT_EQ(s.alphaHighlight, 200);
    EXPECT_EQ(s.compactWidth, 1);
    EXPECT_EQ(s.padding, -5);
    EXPECT_EQ(s.separatorHeight, 60);
    EXPECT_EQ(s.highlightEdge, 2);
    EXPECT_EQ(s.submenuMark, 1);
    EXPECT_EQ(LoadTextureShift(store), (CTextureShift{-2, 9}));
}

TEST(LoadODMSettings, TheProcessStoreIsReadWithoutArgument)
{
    CFakeEnvironment env;
    ASSERT_TRUE(env.store.WriteValue(kSettingsPath, L"OwnerDrawPadding", Dword(4)));
    ASSERT_TRUE(env.store.WriteValue(kSettingsPath, L"TextureShiftY", Dword(0)));
    CODMSettings s;
    LoadODMSettings(s);
    EXPECT_EQ(s.padding, 4);
    EXPECT_EQ(LoadTextureShift(), (CTextureShift{3, 0}));
    s.submenuMark = 1;
    SaveODMSettings(s);
    CODMSettings again;
    LoadODMSettings(env.store, again);
    EXPECT_EQ(again, s);
}

TEST(LoadODMSettings, ValueNamesCompareWithoutCase)
{
    // The registry ignores case: a value written as "CustomColorHighlightEdge" is the same value.
    CMemoryStore store;
    ASSERT_TRUE(store.WriteValue(kSettingsPath, L"CustomColorHighlightEdge", Dword(0x123456)));
    CODMSettings s;
    LoadODMSettings(store, s);
    EXPECT_EQ(s.colors[kColorHighlightEdge], 0x123456u);
}

TEST(LoadODMSettings, NoRangeChecksOnReading)
{
    // The launcher maps only what its drawing rules name; the record keeps what is stored.
    CMemoryStore store;
    ASSERT_TRUE(store.WriteValue(kSettingsPath, L"DrawType", Dword(7)));
    ASSERT_TRUE(store.WriteValue(kSettingsPath, L"OwnerDrawAlphaHighlight", Dword(999)));
    ASSERT_TRUE(store.WriteValue(kSettingsPath, L"OwnerDrawHighlightEdge", Dword(5)));
    ASSERT_TRUE(store.WriteValue(kSettingsPath, L"OwnerDrawSeparatorHeight", Dword(static_cast<uint32_t>(-10))));
    ASSERT_TRUE(store.WriteValue(kSettingsPath, L"CustomColorBack", Dword(0xFF123456)));
    CODMSettings s;
    LoadODMSettings(store, s);
    EXPECT_EQ(s.drawType, 7);
    EXPECT_EQ(EffectiveDrawType(s.drawType), kDrawSysColor);
    EXPECT_EQ(s.alphaHighlight, 999);
    EXPECT_EQ(s.highlightEdge, 5);
    EXPECT_EQ(s.separatorHeight, -10);
    EXPECT_EQ(s.colors[kColorBack], 0xFF123456u);
}

TEST(LoadODMSettings, OtherTypesFollowTheStoreReadingRule)
{
    // A 2-byte binary "DrawType" and a DWORD font name.
    CRegValue shortBinary;
    shortBinary.type = kRegBinary;
    shortBinary.data = {2, 0};
    struct Case {
        XIntReading reading;
        int drawType;
    } cases[] = {
        {XIntReading::Lenient, 2}, // the launcher takes any value of up to 4 bytes
        {XIntReading::Strict, 0},  // the customizer counts it as absent
    };
    for (const Case& c : cases) {
        CMemoryStore store(c.reading);
        ASSERT_TRUE(store.WriteValue(kSettingsPath, L"DrawType", shortBinary));
        ASSERT_TRUE(store.WriteValue(kSettingsPath, L"OwnerDrawTextureFile", Dword(0x41)));
        CODMSettings s;
        LoadODMSettings(store, s);
        EXPECT_EQ(s.drawType, c.drawType);
        if (c.reading == XIntReading::Strict)
            EXPECT_EQ(s.textureFile, L"");
        else
            EXPECT_EQ(s.textureFile, L"A"); // read as text up to the first zero unit
    }
}

// Records the order of writes.
class CRecordingStore : public CMemoryStore {
public:
    bool WriteValue(const std::wstring& path, const std::wstring& name, const CRegValue& value) override
    {
        written.push_back(name);
        return CMemoryStore::WriteValue(path, name, value);
    }
    std::vector<std::wstring> written;
};

TEST(SaveODMSettings, WritesEveryFieldInSaveOrderAndLoadsBackTheSameRecord)
{
    CRecordingStore store;
    CODMSettings s;
    for (const CODMValueDef& def : ODMValueCatalogue()) {
        if (def.type == XODMValueType::Int)
            SetODMInt(s, def.value, 1000 + static_cast<int>(def.value));
        else
            SetODMText(s, def.value, std::wstring(L"t") + def.name);
    }
    SaveODMSettings(store, s);
    ASSERT_EQ(store.written.size(), kODMValueCount);
    for (size_t i = 0; i < kODMValueCount; ++i) {
        const CODMValueDef& def = ODMValueDef(ODMSaveOrder()[i]);
        EXPECT_EQ(store.written[i], def.name);
        CRegValue value;
        ASSERT_TRUE(store.ReadValue(kSettingsPath, def.name, value));
        EXPECT_EQ(value.type, def.type == XODMValueType::Int ? kRegDword : kRegSz) << def.name;
    }
    CODMSettings loaded;
    LoadODMSettings(store, loaded);
    EXPECT_EQ(loaded, s);
}

TEST(SaveODMSettings, WriteFailuresAreIgnored)
{
    CMemoryStore store;
    store.failWrites = true;
    SaveODMSettings(store, CODMSettings{});
    EXPECT_TRUE(store.Values(kSettingsPath).empty());
}

TEST(ODMValues, EffectiveDrawTypeMapsUnknownModesToSystemColours)
{
    const std::pair<int, int> cases[] = {{0, 0}, {1, 1}, {2, 2}, {3, 3}, {4, 1}, {7, 1}, {-1, 1}, {INT_MAX, 1}};
    for (auto [stored, effective] : cases)
        EXPECT_EQ(EffectiveDrawType(stored), effective) << stored;
}

TEST(ODMValues, FaceNameIsCutAt31Units)
{
    EXPECT_EQ(ODMFaceName(L"メイリオ"), L"メイリオ");
    std::wstring name31(31, L'x');
    EXPECT_EQ(ODMFaceName(name31), name31);
    EXPECT_EQ(ODMFaceName(name31 + L"yz"), name31);
    EXPECT_EQ(ODMFaceName(L""), L"");
}

TEST(ODMValues, CustomizerTexts)
{
    EXPECT_EQ(FormatODMColor(0x00354F01), L"#014F35");
    EXPECT_EQ(ODMRed(0x00354F01), 0x01);
    EXPECT_EQ(ODMGreen(0x00354F01), 0x4F);
    EXPECT_EQ(ODMBlue(0x00354F01), 0x35);
    EXPECT_EQ(FormatODMColor(0xFFFFFF), L"#FFFFFF");
    EXPECT_EQ(FormatODMColor(0), L"#000000");
    EXPECT_EQ(FormatODMFontSize(105), L"10.5pt");
    EXPECT_EQ(FormatODMFontSize(80), L"8.0pt");
}

TEST(ODMValues, EditNumbersTakeTheLeadingInteger)
{
    const std::pair<const wchar_t*, int> cases[] = {
        {L"12", 12},
        {L"12px", 12},
        {L"-5", -5},
        {L"abc", 0},
        {L"", 0},
        {L" 7", 7},
        {L"+3", 3},
        {L"-", 0},
        {L"0035", 35},
        {L"1 2", 1},
        {L"99999999999", INT_MAX},
        {L"-99999999999", INT_MIN},
    };
    for (auto [text, number] : cases)
        EXPECT_EQ(ParseODMEditNumber(text), number) << text;
}

TEST(ODMValues, OnlyTheHighlightOpacityIsClampedWhenTyped)
{
    EXPECT_EQ(ClampTypedODMValue(XODMValue::AlphaHighlight, 300), 255);
    EXPECT_EQ(ClampTypedODMValue(XODMValue::AlphaHighlight, -4), 0);
    EXPECT_EQ(ClampTypedODMValue(XODMValue::AlphaHighlight, 77), 77);
    EXPECT_EQ(ClampTypedODMValue(XODMValue::Padding, -4), -4);
    EXPECT_EQ(ClampTypedODMValue(XODMValue::SeparatorHeight, 400), 400);
}

} // namespace
