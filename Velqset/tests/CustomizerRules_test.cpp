#include "CustomizerRules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>

namespace {

// ---- Dialog texts --------------------------------------------------------------------------

TEST(DescribeFont, FaceSizeThenBoldAndItalic)
{
    struct Case {
        std::wstring face;
        int size, weight, italic;
        std::wstring text;
    } cases[] = {
        {L"Meiryo UI", 105, 700, 1, L"Meiryo UI 10.5pt 太字 斜体"},
        {L"Meiryo UI", 80, 400, 0, L"Meiryo UI 8pt"},
        {L"メイリオ", 120, 600, 0, L"メイリオ 12pt 太字"},
        {L"メイリオ", 95, 599, -1, L"メイリオ 9.5pt 斜体"},
        {L"ＭＳ ゴシック", 5, 0, 2, L"ＭＳ ゴシック 0.5pt 斜体"},
        {L"Arial", 0, 1000, 0, L"Arial 0pt 太字"},
        {L"", 100, 0, 0, L" 10pt"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DescribeFont(c.face, c.size, c.weight, c.italic), c.text) << c.size << " " << c.weight;
}

TEST(FormatColorHex, AlphaOnlyInAlphaModeAndWhenNotOpaque)
{
    struct Case {
        int a, r, g, b;
        bool alphaMode;
        std::wstring text;
    } cases[] = {
        {255, 1, 79, 53, true, L"#014F35"},       {128, 255, 0, 0, true, L"#80FF0000"},
        {128, 255, 0, 0, false, L"#FF0000"},      {0, 0, 0, 0, true, L"#00000000"},
        {254, 171, 205, 239, true, L"#FEABCDEF"}, {255, 171, 205, 239, false, L"#ABCDEF"},
        {0, 10, 11, 12, false, L"#0A0B0C"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatColorHex(c.a, c.r, c.g, c.b, c.alphaMode), c.text) << testing::PrintToString(c.text);
}

TEST(ParseColorHex, TrimmedOneHashLongestHexPrefixOfAtMostEightDigits)
{
    struct Case {
        std::wstring text;
        bool alphaMode;
        CArgb color;
    } cases[] = {
        {L"#014F35", false, {255, 1, 79, 53}},
        {L"#014F35", true, {255, 1, 79, 53}},
        {L"#80FF0000", true, {128, 255, 0, 0}},
        {L"#FF0000", true, {255, 255, 0, 0}},
        {L"#80FF0000", false, {255, 255, 0, 0}},
        {L"#00FF0000", true, {0, 255, 0, 0}},
        {L"  # 12ab zz", false, {255, 0, 0x12, 0xAB}},
        {L"  # 12ab zz", true, {255, 0, 0x12, 0xAB}},
        {L"\t#\u3000FF8000\r\n", false, {255, 255, 0x80, 0}},
        {L"#abcdef", false, {255, 0xAB, 0xCD, 0xEF}},
        {L"0080ff00", true, {0, 0x80, 0xFF, 0}},
        // Seven digits: more than six, so the top one is alpha.
        {L"#1234567", true, {0x01, 0x23, 0x45, 0x67}},
        {L"#1234567", false, {255, 0x23, 0x45, 0x67}},
        // Digits after the eighth are ignored, not folded in.
        {L"#123456789", true, {0x12, 0x34, 0x56, 0x78}},
        {L"#123456789", false, {255, 0x34, 0x56, 0x78}},
        {L"#FFFFFFFFFF", true, {255, 255, 255, 255}},
        {L"#ff00000000", true, {255, 0, 0, 0}},
        {L"##1", false, {255, 0, 0, 0}},
        {L"##1", true, {255, 0, 0, 0}},
        {L"", true, {255, 0, 0, 0}},
        {L"#", false, {255, 0, 0, 0}},
        {L"   ", false, {255, 0, 0, 0}},
        {L"zz", false, {255, 0, 0, 0}},
        {L"#-1", true, {255, 0, 0, 0}},
        {L"0x12", false, {255, 0, 0, 0}},
        {L"12 34", false, {255, 0, 0, 0x12}},
        {L"1#2", false, {255, 0, 0, 1}},
        {L"#ＦＦ", false, {255, 0, 0, 0}}, // full-width digits are no hex digits
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + (c.alphaMode ? " alpha" : ""));
        EXPECT_EQ(ParseColorHex(c.text, c.alphaMode), c.color);
    }
}

TEST(ParseColorHex, ReadsBackWhatFormatColorHexWrites)
{
    const CArgb colors[] = {{255, 1, 79, 53}, {128, 255, 0, 0}, {0, 0, 0, 0}, {254, 1, 2, 3}, {255, 255, 255, 255}};
    for (const CArgb& c : colors)
        for (bool alphaMode : {false, true}) {
            const CArgb expected = {alphaMode ? c.a : 255, c.r, c.g, c.b};
            EXPECT_EQ(ParseColorHex(FormatColorHex(c.a, c.r, c.g, c.b, alphaMode), alphaMode), expected);
        }
}

TEST(ReadColorEditNumber, LeadingNumberClampedToTheRange)
{
    struct Case {
        std::wstring text;
        int maximum, value;
    } cases[] = {
        {L"300", kMaxRgb, 255},
        {L"-5", kMaxRgb, 0},
        {L"", kMaxRgb, 0},
        {L"abc", kMaxAlpha, 0},
        {L"239", kMaxHue, 239},
        {L"240", kMaxHue, 239},
        {L"240", kMaxSaturation, 240},
        {L"241", kMaxLightness, 240},
        {L" 12x", kMaxRgb, 12},
        {L"+7", kMaxRgb, 7},
        {L"99999999999", kMaxRgb, 255},
        {L"-99999999999", kMaxRgb, 0},
        {L"0", kMaxRgb, 0},
        {L"255", kMaxRgb, 255},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadColorEditNumber(c.text, c.maximum), c.value) << testing::PrintToString(c.text);
    EXPECT_EQ(kMaxRgb, 255);
    EXPECT_EQ(kMaxAlpha, 255);
    EXPECT_EQ(kMaxHue, 239);
    EXPECT_EQ(kMaxSaturation, 240);
    EXPECT_EQ(kMaxLightness, 240);
}

TEST(AlphaMode, HighlightBackgroundOverATextureOnly)
{
    for (int target = -1; target <= 6; ++target)
        for (int useTexture : {0, 1, -1, 2}) {
            const bool expected = target == 3 && useTexture != 0;
            EXPECT_EQ(AlphaMode(target, useTexture), expected) << target << " " << useTexture;
        }
}

TEST(SampleColor, OpaqueUnlessAlphaModeAndEmptyForTheTexturedBackground)
{
    const CArgb half = {128, 0x12, 0x34, 0x56};
    struct Case {
        int target;
        bool alphaMode;
        int useTexture;
        uint32_t argb;
    } cases[] = {
        {0, false, 1, 0},         {0, true, 1, 0},           {0, false, 0, 0xFF123456}, {0, true, 0, 0xFF123456},
        {3, true, 1, 0x80123456}, {3, false, 1, 0xFF123456}, {3, false, 0, 0xFF123456}, {1, false, 1, 0xFF123456},
        {1, true, 0, 0x80123456}, {2, false, 0, 0xFF123456}, {4, true, 1, 0x80123456},  {5, false, 1, 0xFF123456},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SampleColor(c.target, c.alphaMode, c.useTexture, half), c.argb)
            << c.target << " " << c.alphaMode << " " << c.useTexture;
    EXPECT_EQ(SampleColor(3, true, 1, {0, 255, 255, 255}), 0x00FFFFFFu);
    EXPECT_EQ(SampleColor(3, true, 1, {255, 0, 0, 0}), 0xFF000000u);
}

// ---- Visibility ----------------------------------------------------------------------------

// The control ids by group, as numbers.
const std::vector<int> kFont = {1014, 1011, 1012};
const std::vector<int> kCompact = {1040};
const std::vector<int> kPadding = {1016, 1017, 1013, 1018};
const std::vector<int> kSeparator = {1019, 1020, 1015, 1021};
const std::vector<int> kFrame = {1038, 1037};
const std::vector<int> kMark = {1039, 1042};
const std::vector<int> kColors = {1031, 1000, 1105, 1107, 1056, 1028, 1027, 1112, 1026, 1109,
                                  1023, 1110, 1024, 1111, 1025, 1113, 1102, 1114, 1103, 1115,
                                  1104, 1116, 1106, 1009, 1001, 1006, 1010, 1007, 1008, 1022};
const std::vector<int> kTarget = {1031};
const std::vector<int> kUseTexture = {1000};
const std::vector<int> kPickers = {1105, 1107};
const std::vector<int> kSample = {1056};
const std::vector<int> kAlpha = {1028, 1027, 1112, 1026};
const std::vector<int> kNumbers = {1109, 1023, 1110, 1024, 1111, 1025, 1113, 1102, 1114, 1103, 1115, 1104, 1116, 1106};
const std::vector<int> kTexturePath = {1009, 1001, 1006};
const std::vector<int> kShift = {1010, 1007, 1008, 1022};

std::set<int> Union(std::initializer_list<std::vector<int>> groups)
{
    std::set<int> ids;
    for (const std::vector<int>& group : groups)
        ids.insert(group.begin(), group.end());
    return ids;
}

TEST(ControlVisibility, EveryGovernedControlOnceAndNoOther)
{
    const std::set<int> governed = Union({kFont, kCompact, kPadding, kSeparator, kFrame, kMark, kColors});
    ASSERT_EQ(governed.size(), 46u);
    for (int drawType : {0, 1, 2, 3, 7, -1}) {
        const std::vector<CControlState> states = ControlVisibility({drawType, 0, 1, true});
        std::multiset<int> ids;
        for (const CControlState& state : states)
            ids.insert(state.id);
        EXPECT_EQ(ids.size(), governed.size()) << drawType;
        EXPECT_EQ(std::set<int>(ids.begin(), ids.end()), governed) << drawType;
        // Not governed: the mode buttons and the profile controls.
        for (int id : {1002, 1003, 1004, 1005, 1032, 1033, 1034, 1035})
            EXPECT_EQ(ids.count(id), 0u) << id;
    }
}

TEST(ControlVisibility, ByModeTargetAndTexture)
{
    const std::set<int> left = Union({kFont, kCompact, kPadding, kSeparator});
    const std::set<int> allLeft = Union({kFont, kCompact, kPadding, kSeparator, kFrame, kMark});
    auto with = [](std::set<int> ids, std::initializer_list<std::vector<int>> more) {
        for (const std::vector<int>& group : more)
            ids.insert(group.begin(), group.end());
        return ids;
    };
    struct Case {
        const char* what;
        CCustomizerView view;
        std::set<int> shown;
    } cases[] = {
        {"theme", {0, 0, 0, false}, left},
        {"theme, texture and shift set", {0, 0, 1, true}, left},
        {"system colours", {1, 3, 1, true}, left},
        {"custom, background", {2, 0, 0, false}, with(allLeft, {kTarget, kUseTexture, kPickers, kSample, kNumbers})},
        {"custom, background, shift flag without texture",
         {2, 0, 0, true},
         with(allLeft, {kTarget, kUseTexture, kPickers, kSample, kNumbers})},
        {"custom, textured background", {2, 0, 1, false}, with(allLeft, {kTarget, kUseTexture, kSample, kTexturePath})},
        {"custom, textured background, shift",
         {2, 0, 1, true},
         with(allLeft, {kTarget, kUseTexture, kSample, kTexturePath, kShift})},
        {"custom, highlight over texture",
         {2, 3, 1, true},
         with(allLeft, {kTarget, kPickers, kSample, kAlpha, kNumbers})},
        {"custom, highlight, no texture", {2, 3, 0, false}, with(allLeft, {kTarget, kPickers, kSample, kNumbers})},
        {"custom, text over texture", {2, 1, 1, true}, with(allLeft, {kTarget, kPickers, kSample, kNumbers})},
        {"custom, separator over texture", {2, 2, -1, false}, with(allLeft, {kTarget, kPickers, kSample, kNumbers})},
        {"custom, frame over texture", {2, 5, 1, true}, with(allLeft, {kTarget, kPickers, kSample, kNumbers})},
        {"by system", {3, 0, 1, true}, {}},
        {"unknown 7", {7, 3, 1, true}, {}},
        {"unknown -1", {-1, 0, 0, false}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        for (const CControlState& state : ControlVisibility(c.view))
            EXPECT_EQ(state.shown, c.shown.count(state.id) == 1) << state.id;
    }
}

TEST(ControlGroups, TheColourEditorAndTheTextureControls)
{
    EXPECT_EQ(ColorEditorGroup(), (std::vector<int>{1056, 1028, 1027, 1112, 1026, 1109, 1023, 1110, 1024, 1111, 1025,
                                                    1113, 1102, 1114, 1103, 1115, 1104, 1116, 1106}));
    EXPECT_EQ(TextureGroup(), (std::vector<int>{1009, 1001, 1006, 1010, 1007, 1008, 1022}));
}

// ---- Picker geometry -----------------------------------------------------------------------

TEST(HuePicker, ValueUnderAPointClampedToTheField)
{
    struct Case {
        int x, y;
        CHueSat value;
    } cases[] = {
        {250, -5, {239, 240}},  {-3, 300, {0, 0}},    {0, 0, {0, 240}},     {239, 240, {239, 0}},
        {240, 120, {239, 120}}, {107, 6, {107, 234}}, {160, 241, {160, 0}}, {1, 239, {1, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HuePickerValueAt(c.x, c.y), c.value) << c.x << "," << c.y;
}

TEST(LightnessPicker, ValueUnderARowClampedToTheBar)
{
    const std::pair<int, int> cases[] = {{-1, 240}, {0, 240}, {1, 239}, {120, 120},
                                         {202, 38}, {240, 0}, {241, 0}, {1000, 0}};
    for (const auto& [y, l] : cases)
        EXPECT_EQ(LightnessPickerValueAt(y), l) << y;
}

TEST(HuePicker, MarkerArmsLeaveThePixelAndAGapUncovered)
{
    struct Case {
        int h, s;
        std::array<CPickerRect, 4> rects;
    } cases[] = {
        {107, 234, {{{98, 6, 6, 1}, {110, 6, 6, 1}, {107, -3, 1, 6}, {107, 9, 1, 6}}}},
        {0, 240, {{{-9, 0, 6, 1}, {3, 0, 6, 1}, {0, -9, 1, 6}, {0, 3, 1, 6}}}},
        {239, 0, {{{230, 240, 6, 1}, {242, 240, 6, 1}, {239, 231, 1, 6}, {239, 243, 1, 6}}}},
    };
    auto covers = [](const CPickerRect& r, int x, int y) {
        return x >= r.left && x < r.left + r.width && y >= r.top && y < r.top + r.height;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.h << "," << c.s);
        const std::array<CPickerRect, 4> rects = HueMarkerRects(c.h, c.s);
        EXPECT_EQ(rects, c.rects);
        const int y0 = 240 - c.s;
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                for (const CPickerRect& r : rects)
                    EXPECT_FALSE(covers(r, c.h + dx, y0 + dy)) << dx << "," << dy;
        // The arms reach the pixels beyond the gap.
        EXPECT_TRUE(covers(rects[0], c.h - 4, y0));
        EXPECT_TRUE(covers(rects[1], c.h + 3, y0));
        EXPECT_TRUE(covers(rects[2], c.h, y0 - 4));
        EXPECT_TRUE(covers(rects[3], c.h, y0 + 3));
    }
}

TEST(LightnessPicker, BarAndMarginLayout)
{
    struct Case {
        int width;
        CLightnessBarLayout layout;
        bool drawn;
    } cases[] = {
        {20, {10, 10}, true}, {11, {1, 10}, true},   {10, {0, 10}, false},
        {5, {-5, 10}, false}, {0, {-10, 10}, false}, {31, {21, 10}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(LightnessBarLayout(c.width), c.layout) << c.width;
        EXPECT_EQ(LightnessBarDrawn(LightnessBarLayout(c.width)), c.drawn) << c.width;
    }
    EXPECT_FALSE(LightnessBarDrawn(CLightnessBarLayout{}));
}

TEST(LightnessPicker, MarkerIsOneRowOfTheMargin)
{
    struct Case {
        CLightnessBarLayout layout;
        int l;
        CPickerRect rect;
    } cases[] = {
        {{10, 10}, 120, {10, 120, 10, 1}},
        {{10, 10}, 240, {10, 0, 10, 1}},
        {{10, 10}, 0, {10, 240, 10, 1}},
        {{21, 10}, 38, {21, 202, 10, 1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LightnessMarkerRect(c.layout, c.l), c.rect) << c.l;
}

} // namespace
