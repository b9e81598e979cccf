#include <gtest/gtest.h>

#include <climits>

#include "MenuMetrics.h"

namespace {

TEST(MenuMetrics, ItemHeightHasAMinimumOf20PlusPadding)
{
    struct Case {
        int textHeight, padding, height;
    } cases[] = {
        {14, 0, 20}, {14, 2, 24}, {14, -5, 10},           {16, 0, 20}, {17, 0, 21},
        {30, 3, 40}, {0, 0, 20},  {14, INT_MAX, INT_MAX}, // an absurd stored padding saturates instead of overflowing
    };
    for (const Case& c : cases)
        EXPECT_EQ(ODMItemHeight(c.textHeight, c.padding), c.height) << c.textHeight << " " << c.padding;
}

TEST(MenuMetrics, SeparatorHeightRoundsHalfAwayAndKeepsItsMinimums)
{
    struct Case {
        int percent, itemHeight, drawType, height;
    } cases[] = {
        {35, 20, kDrawCustomColor, 7},   {35, 20, kDrawTheme, 7},
        {30, 20, kDrawCustomColor, 6},   {10, 20, kDrawCustomColor, 2},
        {10, 20, kDrawSysColor, 2},      {1, 20, kDrawCustomColor, 1},
        {1, 20, kDrawTheme, 2},          {1, 20, kDrawSysColor, 2},
        {35, 25, kDrawCustomColor, 9},   {25, 30, kDrawCustomColor, 8},
        {0, 20, kDrawCustomColor, 1},    {-10, 20, kDrawCustomColor, 1},
        {-10, 20, kDrawTheme, 2},        {100, 24, kDrawTheme, 24},
        {250, 20, kDrawCustomColor, 50}, {INT_MAX, INT_MAX, kDrawCustomColor, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ODMSeparatorHeight(c.percent, c.itemHeight, c.drawType), c.height)
            << c.percent << "% of " << c.itemHeight << " mode " << c.drawType;
}

TEST(MenuMetrics, ThemeSeparatorPartRaisesTheHeight)
{
    struct Case {
        int computed;
        bool measured;
        int part;
        int separatorHeight, themeSeparatorHeight;
    } cases[] = {
        {2, true, 4, 4, 4},   // the theme's 4-pixel part raises 2 to 4
        {7, true, 4, 7, 4},   // a larger computed height stays; the part keeps its own height
        {7, false, 99, 7, 7}, // a failed query falls back to the computed height
    };
    for (const Case& c : cases) {
        CODMMetrics m;
        m.separatorHeight = c.computed;
        ApplyThemeSeparator(m, c.measured, c.part);
        EXPECT_EQ(m.separatorHeight, c.separatorHeight);
        EXPECT_EQ(m.themeSeparatorHeight, c.themeSeparatorHeight);
    }
    EXPECT_EQ(ODMSubmenuArrowWidth(true, 9, 16), 9);
    EXPECT_EQ(ODMSubmenuArrowWidth(false, 9, 16), 16);
}

TEST(MenuMetrics, FontHeightFromWholePoints)
{
    struct Case {
        int tenths, dpi, height;
    } cases[] = {
        {80, 96, -11},  // 8 * 96 / 72 = 10.67
        {105, 96, -13}, // 10.5 pt draws as 10 pt: 13.33
        {100, 96, -13}, {80, 144, -16}, {80, 120, -13}, {9, 96, 0}, {120, 72, -12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ODMFontHeight(c.tenths, c.dpi), c.height) << c.tenths << " at " << c.dpi;
}

TEST(MenuMetrics, MulDivRoundsHalfAwayFromZero)
{
    struct Case {
        int a, b, c, result;
    } cases[] = {
        {3, 1, 2, 2},   {-3, 1, 2, -2},      {3, -1, 2, -2},
        {-3, -1, 2, 2}, {5, 1, 4, 1},        {7, 1, 4, 2},
        {1, 1, 0, -1},  {INT_MAX, 2, 1, -1}, {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ODMMulDiv(c.a, c.b, c.c), c.result) << c.a << "*" << c.b << "/" << c.c;
}

TEST(MenuMetrics, ColumnGapIsTwoAverageCharacters)
{
    EXPECT_EQ(ODMColumnGap(6), 12);
    EXPECT_EQ(ODMColumnGap(0), 0);
}

// Icon 16, gap 12, labels of 100 and 60 pixels, a 40-pixel shortcut on the second entry.
struct CTwoEntryPopup {
    CODMMetrics metrics;
    CODMCommonItem common;
    CTwoEntryPopup()
    {
        metrics.iconWidth = 16;
        metrics.iconHeight = 16;
        metrics.itemHeight = 20;
        metrics.columnGap = 12;
        AccumulateODMWidths(common, 100, 0, metrics.columnGap);
        AccumulateODMWidths(common, 60, 40, metrics.columnGap);
    }
};

TEST(MenuMetrics, NormalLayoutKeepsAShortcutColumn)
{
    CTwoEntryPopup p;
    EXPECT_EQ(p.common.maxLabelWidth, 100);
    EXPECT_EQ(p.common.maxShortcutWidth, 40);
    EXPECT_EQ(p.common.maxCombinedWidth, 112);
    EXPECT_EQ(MeasureODMEntry(p.metrics, p.common, false), (CODMSize{186, 20}));

    CODMEntryLayout second = LayoutODMEntry(186, 20, p.metrics, p.common, 60, 40, false);
    EXPECT_EQ(second.shortcut, (CODMRect{140, 0, 180, 20}));
    EXPECT_EQ(second.label, (CODMRect{28, 0, 88, 20}));
    EXPECT_EQ(second.icon, (CODMRect{6, 2, 22, 18}));
    CODMEntryLayout first = LayoutODMEntry(186, 20, p.metrics, p.common, 100, 0, false);
    EXPECT_EQ(first.label, (CODMRect{28, 0, 128, 20}));
    EXPECT_EQ(first.shortcut.Width(), 0);
}

TEST(MenuMetrics, CompressedLayoutRightAlignsTheShortcut)
{
    CTwoEntryPopup p;
    EXPECT_EQ(MeasureODMEntry(p.metrics, p.common, true), (CODMSize{146, 20}));
    CODMEntryLayout second = LayoutODMEntry(146, 20, p.metrics, p.common, 60, 40, true);
    EXPECT_EQ(second.shortcut.right, 140);
    EXPECT_EQ(second.shortcut.left, 100);
    EXPECT_EQ(second.label, (CODMRect{28, 0, 88, 20}));
}

TEST(MenuMetrics, PopupWithoutShortcutsStillReservesTheGap)
{
    CODMMetrics m;
    m.iconWidth = 16;
    m.itemHeight = 22;
    m.columnGap = 12;
    CODMCommonItem common;
    AccumulateODMWidths(common, 80, 0, m.columnGap);
    AccumulateODMWidths(common, 50, 0, m.columnGap);
    EXPECT_EQ(common.maxCombinedWidth, 80);
    EXPECT_EQ(MeasureODMEntry(m, common, false), (CODMSize{16 + 12 + 80 + 18, 22}));
    EXPECT_EQ(MeasureODMEntry(m, common, true), (CODMSize{16 + 80 + 18, 22}));
}

TEST(MenuMetrics, SeparatorMeasure)
{
    CODMMetrics m;
    m.iconWidth = 20;
    m.separatorHeight = 9;
    EXPECT_EQ(MeasureODMSeparator(m), (CODMSize{32, 9}));
}

TEST(MenuMetrics, TextSplitsAtTheFirstTab)
{
    struct Case {
        const wchar_t* text;
        const wchar_t* label;
        const wchar_t* shortcut;
    } cases[] = {
        {L"メモ帳(&N)\tCtrl+Alt+N", L"メモ帳(&N)", L"Ctrl+Alt+N"},
        {L"a\tb\tc", L"a", L"b\tc"},
        {L"\tF5", L"", L"F5"},
        {L"plain", L"plain", L""},
        {L"trailing\t", L"trailing", L""},
        {L"", L"", L""},
    };
    for (const Case& c : cases) {
        CODMTextSplit split = SplitODMText(c.text);
        EXPECT_EQ(split.label, c.label) << c.text;
        EXPECT_EQ(split.shortcut, c.shortcut) << c.text;
    }
}

TEST(MenuMetrics, ThemeRectangles)
{
    CODMMetrics m;
    m.submenuArrowWidth = 9;
    EXPECT_EQ(ODMThemeArrowRect(200, 24, m), (CODMRect{185, 0, 194, 24}));
    struct Case {
        int height, part, top;
    } cases[] = {{7, 4, 1}, {8, 4, 2}, {4, 4, 0}, {3, 4, 0} /* -1 / 2 truncates to 0 */, {2, 5, -1}};
    for (const Case& c : cases) {
        CODMRect r = ODMThemeSeparatorRect(150, c.height, c.part);
        EXPECT_EQ(r.top, c.top) << c.height << " " << c.part;
        EXPECT_EQ(r.Height(), c.part);
        EXPECT_EQ(r.Width(), 150);
    }
}

TEST(MenuMetrics, PlainSeparatorRows)
{
    const int rows[][3] = {{7, 3, 2}, {8, 3, 3}, {2, 0, 0}, {1, 0, 0}, {20, 9, 9}};
    for (const auto& r : rows) {
        EXPECT_EQ(ODMSeparatorLineRow(r[0]), r[1]) << r[0];
        EXPECT_EQ(ODMEtchedSeparatorRow(r[0]), r[2]) << r[0];
    }
}

TEST(MenuMetrics, SelectionFrameShrinksTheBackground)
{
    EXPECT_EQ(ODMBackgroundRect(100, 20, true, 2), (CODMRect{2, 2, 98, 18}));
    EXPECT_EQ(ODMBackgroundRect(100, 20, true, 1), (CODMRect{1, 1, 99, 19}));
    EXPECT_EQ(ODMBackgroundRect(100, 20, false, 2), (CODMRect{0, 0, 100, 20}));
    EXPECT_EQ(ODMBackgroundRect(100, 20, true, 0), (CODMRect{0, 0, 100, 20}));
    EXPECT_EQ(ODMBackgroundRect(100, 20, true, -3), (CODMRect{0, 0, 100, 20}));
}

TEST(MenuMetrics, TextureBrushOriginFollowsShiftAndEntry)
{
    EXPECT_EQ(ODMTextureBrushOrigin(CTextureShift{3, 3}, 10, 40), (CODMSize{-13, -43}));
    EXPECT_EQ(ODMTextureBrushOrigin(CTextureShift{-2, 0}, 0, 0), (CODMSize{2, 0}));
}

TEST(MenuMetrics, OwnSubmenuMarkOnlyInCustomColourMode)
{
    EXPECT_TRUE(ODMDrawsOwnSubmenuMark(kDrawCustomColor, true));
    EXPECT_FALSE(ODMDrawsOwnSubmenuMark(kDrawCustomColor, false));
    EXPECT_FALSE(ODMDrawsOwnSubmenuMark(kDrawSysColor, true));
    EXPECT_FALSE(ODMDrawsOwnSubmenuMark(kDrawTheme, true));
}

TEST(MenuMetrics, SubmenuMarkPatterns)
{
    const char* triangle[] = {".#...", ".##..", ".###.", ".####", ".###.", ".##..", ".#..."};
    const char* chevron[] = {"##...", ".##..", "..##.", "...##", "..##.", ".##..", "##..."};
    for (int row = 0; row < 7; ++row) {
        EXPECT_STREQ(ODMSubmenuMarkRows(0)[row], triangle[row]);
        EXPECT_STREQ(ODMSubmenuMarkRows(1)[row], chevron[row]);
        EXPECT_STREQ(ODMSubmenuMarkRows(5)[row], chevron[row]);
    }
}

TEST(MenuMetrics, SubmenuMarkPixelsSitAtTheRightEdge)
{
    struct Case {
        int mark, width, height;
        size_t count;
        CODMSize first, last;
    } cases[] = {
        {0, 100, 21, 16, {90, 7}, {90, 13}}, // triangle: top-left cell (89, 7), first set cell one to the right
        {1, 100, 20, 14, {89, 6}, {90, 12}}, // chevron at (89, 6): (20 - 7) / 2 = 6
    };
    for (const Case& c : cases) {
        std::vector<CODMSize> pixels = ODMSubmenuMarkPixels(c.mark, c.width, c.height);
        ASSERT_EQ(pixels.size(), c.count);
        EXPECT_EQ(pixels.front(), c.first);
        EXPECT_EQ(pixels.back(), c.last);
        for (const CODMSize& p : pixels) {
            EXPECT_GE(p.cx, c.width - 11);
            EXPECT_LT(p.cx, c.width - 6);
        }
    }
    // The triangle's tip: row 4 reaches the fifth column.
    std::vector<CODMSize> tri = ODMSubmenuMarkPixels(0, 50, 27);
    EXPECT_NE(std::find(tri.begin(), tri.end(), CODMSize{43, 13}), tri.end());
}

TEST(MenuMetrics, TextureTileIsTheImageCutToTheMonitor)
{
    struct Case {
        int mw, mh, iw, ih;
        CODMSize tile;
    } cases[] = {
        {1920, 1080, 4000, 3000, {1920, 1080}},
        {1920, 1080, 64, 64, {64, 64}},
        {1920, 1080, 3000, 500, {1920, 500}},
        {1920, 1080, 8000, 8000, {1920, 1080}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ODMTextureTileSize(c.mw, c.mh, c.iw, c.ih), c.tile);
}

TEST(MenuMetrics, HighlightArgbTakesOpacityAndColourChannels)
{
    EXPECT_EQ(ODMHighlightArgb(0x00354F01, 128), 0x80014F35u);
    EXPECT_EQ(ODMHighlightArgb(0x00414141, 255), 0xFF414141u);
    EXPECT_EQ(ODMHighlightArgb(0x00FF0000, 0), 0x000000FFu);
}

TEST(MenuMetrics, ExifOrientationToRotateFlip)
{
    const std::pair<int, int> cases[] = {{1, 0}, {2, 4}, {3, 2}, {4, 6}, {5, 5}, {6, 1},
                                         {7, 7}, {8, 3}, {0, 0}, {9, 0}, {-1, 0}};
    for (auto [orientation, code] : cases)
        EXPECT_EQ(ExifRotateFlipType(orientation), code) << orientation;
}

TEST(MenuMetrics, TextureCacheKey)
{
    CODMTextureKey cached{L"C:\\Pictures\\Wood.PNG", 1234, 0x414141, 128};
    struct Case {
        bool brush;
        const wchar_t* path;
        bool timeRead;
        uint64_t time;
        XColorRef colour;
        int opacity;
        bool hit;
    } cases[] = {
        {true, L"C:\\Pictures\\Wood.PNG", true, 1234, 0x414141, 128, true},
        {true, L"c:\\pictures\\wood.png", true, 1234, 0x414141, 128, true},   // case does not matter
        {true, L"C:\\Pictures\\Wood.PNG", true, 1235, 0x414141, 128, false},  // saved again
        {true, L"C:\\Pictures\\Wood.PNG", false, 1234, 0x414141, 128, false}, // file gone
        {true, L"C:\\Pictures\\Wood2.PNG", true, 1234, 0x414141, 128, false},
        {true, L"C:\\Pictures\\Wood.PNG", true, 1234, 0x414142, 128, false},
        {true, L"C:\\Pictures\\Wood.PNG", true, 1234, 0x414141, 0, false},
        {false, L"C:\\Pictures\\Wood.PNG", true, 1234, 0x414141, 128, false}, // nothing built yet
    };
    for (const Case& c : cases)
        EXPECT_EQ(ODMTextureCacheHit(cached, c.brush, c.path, c.timeRead, c.time, c.colour, c.opacity), c.hit)
            << c.path << " " << c.time;
}

TEST(MenuMetrics, PathCaseFolding)
{
    EXPECT_TRUE(ODMPathsEqualIgnoringCase(L"C:\\ÄÖ\\ＡＢ\\Ωж", L"c:\\äö\\ａｂ\\ωЖ"));
    EXPECT_FALSE(ODMPathsEqualIgnoringCase(L"C:\\a", L"C:\\b"));
    EXPECT_FALSE(ODMPathsEqualIgnoringCase(L"C:\\a", L"C:\\a\\"));
    EXPECT_FALSE(ODMPathsEqualIgnoringCase(L"テクスチャ", L"テクスチヤ"));
}

TEST(MenuMetrics, SystemColoursReplaceFourColoursAndTheFrame)
{
    CODMSettings s;
    s.highlightEdge = 2;
    ApplySystemColors(s, {0x111111, 0x222222, 0x333333, 0x444444});
    const std::array<XColorRef, 6> expected = {0x111111, 0x222222, 0x808080, 0x333333, 0x444444, 0x414141};
    EXPECT_EQ(s.colors, expected);
    EXPECT_EQ(s.highlightEdge, 0);
}

TEST(MenuMetrics, PaletteSourceByModeAndTheme)
{
    struct Case {
        int drawType;
        bool theme;
        XODMPalette palette;
    } cases[] = {
        {0, true, XODMPalette::Theme},   {0, false, XODMPalette::System}, {1, false, XODMPalette::System},
        {1, true, XODMPalette::System},  {2, false, XODMPalette::Custom}, {2, true, XODMPalette::Custom},
        {7, false, XODMPalette::System}, {-1, true, XODMPalette::System},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ODMPaletteSource(c.drawType, c.theme), c.palette) << c.drawType << " " << c.theme;
}

TEST(MenuMetrics, TextureOnlyInCustomColourModeWithTheSwitchOn)
{
    struct Case {
        int drawType, useTexture;
        bool wanted;
    } cases[] = {{2, 1, true}, {2, 5, true}, {2, 0, false}, {0, 1, false}, {1, 1, false}, {3, 1, false}, {6, 1, false}};
    for (const Case& c : cases) {
        CODMSettings s;
        s.drawType = c.drawType;
        s.useTexture = c.useTexture;
        EXPECT_EQ(ODMTextureWanted(s), c.wanted) << c.drawType << " " << c.useTexture;
    }
}

TEST(MenuMetrics, TextureLayersByOpacity)
{
    // 0: the bare image (the highlight is the normal bitmap); 255: solid colour, no image.
    EXPECT_EQ(ODMTextureLayers(0), (CODMTextureLayers{true, false}));
    EXPECT_EQ(ODMTextureLayers(128), (CODMTextureLayers{true, true}));
    EXPECT_EQ(ODMTextureLayers(255), (CODMTextureLayers{false, true}));
    EXPECT_TRUE(ODMHighlightSharesNormal(0));
    EXPECT_FALSE(ODMHighlightSharesNormal(1));
}

} // namespace
