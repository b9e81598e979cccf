// Owner drawing of the popup menus: preparation per menu show, measuring, the theme and the
// plain drawing paths, and the texture cache (GDI+).
#include <windows.h>
// These need the types of windows.h.
#include <objbase.h>
#include <ole2.h>
#include <uxtheme.h>
#include <vssym32.h>
// GDI+ needs min/max and the COM types above.
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include "MainFrame.h"
#include "TextureImage_win.h"
#include "VQLALaunchApp.h"

namespace {
RECT Offset(const CODMRect& r, int dx, int dy)
{
    return {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

CSharedGdiObject ShareGdiObject(HGDIOBJ object)
{
    if (!object)
        return {};
    return CSharedGdiObject(object, [](void* o) { DeleteObject(static_cast<HGDIOBJ>(o)); });
}

bool ReadLastWriteTime(const std::wstring& path, uint64_t& time)
{
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return false;
    time = static_cast<uint64_t>(data.ftLastWriteTime.dwHighDateTime) << 32 | data.ftLastWriteTime.dwLowDateTime;
    return true;
}

HIMAGELIST IconList()
{
    return App().Win32Platform().imageList;
}
} // namespace

// ---- texture ----

HBITMAP CODMTexture::MakeTextureBitmap(HDC dc, Gdiplus::Bitmap& image, XColorRef color, int opacity) const
{
    const int imageWidth = static_cast<int>(image.GetWidth());
    const int imageHeight = static_cast<int>(image.GetHeight());
    const CODMSize tile = ODMTextureTileSize(monitorRect.right - monitorRect.left, monitorRect.bottom - monitorRect.top,
                                             imageWidth, imageHeight);
    if (tile.cx <= 0 || tile.cy <= 0)
        return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(dc, tile.cx, tile.cy);
    if (!bitmap)
        return nullptr;
    CMemoryDCHandle memory(CreateCompatibleDC(dc));
    if (!memory) {
        DeleteObject(bitmap);
        return nullptr;
    }
    {
        CSelectObject select(memory.get(), bitmap);
        Gdiplus::Graphics graphics(memory.get());
        // Only the tile is visible: the rest of a large image is neither filled nor decoded.
        const CODMTextureLayers layers = ODMTextureLayers(opacity);
        if (layers.blackAndImage) {
            Gdiplus::SolidBrush black(Gdiplus::Color(0xFF000000));
            graphics.FillRectangle(&black, 0, 0, tile.cx, tile.cy);
            graphics.DrawImage(&image, Gdiplus::Rect(0, 0, tile.cx, tile.cy), 0, 0, tile.cx, tile.cy,
                               Gdiplus::UnitPixel);
        }
        if (layers.colourOverlay) {
            Gdiplus::SolidBrush over(Gdiplus::Color(ODMHighlightArgb(color, opacity)));
            graphics.FillRectangle(&over, 0, 0, tile.cx, tile.cy);
        }
    }
    return bitmap;
}

void CODMTexture::ReleaseTexture()
{
    normalBitmap.reset();
    highlightBitmap.reset();
    normalBrush.reset();
    highlightBrush.reset();
}

void CODMTexture::LoadTexture(HWND window, const std::wstring& path, XColorRef color, int opacity)
{
    uint64_t writeTime = 0;
    const bool timeRead = ReadLastWriteTime(path, writeTime);
    if (ODMTextureCacheHit(key, highlightBrush != nullptr, path, timeRead, writeTime, color, opacity))
        return;

    MONITORINFO info = {};
    info.cbSize = sizeof(info);
    const POINT origin = {0, 0};
    if (GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info))
        monitorRect = info.rcMonitor;
    else
        monitorRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    ReleaseTexture();

    if (std::unique_ptr<Gdiplus::Bitmap> image = LoadTextureImage(path)) {
        CWindowDCHandle dc(window);
        if (dc) {
            normalBitmap = ShareGdiObject(MakeTextureBitmap(dc.get(), *image, 0, 0));
            if (normalBitmap)
                normalBrush = ShareGdiObject(CreatePatternBrush(static_cast<HBITMAP>(normalBitmap.get())));
            if (!ODMHighlightSharesNormal(opacity)) {
                highlightBitmap = ShareGdiObject(MakeTextureBitmap(dc.get(), *image, color, opacity));
                if (highlightBitmap)
                    highlightBrush = ShareGdiObject(CreatePatternBrush(static_cast<HBITMAP>(highlightBitmap.get())));
            } else {
                highlightBitmap = normalBitmap;
                highlightBrush = normalBrush;
            }
        }
    }
    if (!normalBrush || !highlightBrush) {
        ReleaseTexture();
        return;
    }
    key.path = path;
    if (timeRead)
        key.lastWriteTime = writeTime;
    key.highlightColor = color;
    key.highlightOpacity = opacity;
}

// ---- one menu show ----

void CMainFrame::LoadAppearanceAtCreation()
{
    LoadODMSettings(odm.settings);
    odm.drawType = EffectiveDrawType(odm.settings.drawType);
    if (ODMTextureWanted(odm.settings))
        odm.texture.LoadTexture(Handle(), odm.settings.textureFile, odm.settings.colors[kColorHighlightBack],
                                odm.settings.alphaHighlight);
    else
        odm.texture.ReleaseTexture();
}

void CMainFrame::BeginODMMenu()
{
    LoadAppearanceAtCreation();
    odm.textureShift = LoadTextureShift();
    HTHEME theme = odm.drawType == kDrawTheme ? MenuTheme() : nullptr;
    odm.theme = nullptr;
    switch (ODMPaletteSource(odm.drawType, theme != nullptr)) {
    case XODMPalette::Theme:
        odm.theme = theme;
        if (odm.menuThemeBackground != CLR_INVALID)
            odm.backgroundBrush.reset(CreateSolidBrush(odm.menuThemeBackground));
        break;
    case XODMPalette::Custom:
        odm.backgroundBrush.reset(CreateSolidBrush(odm.settings.colors[kColorBack]));
        break;
    case XODMPalette::System:
        if (odm.drawType == kDrawTheme)
            odm.drawType = kDrawSysColor; // visual styles off: the plain path in system colours
        if (odm.drawType != kDrawBySystem)
            ApplySystemColors(odm.settings, {GetSysColor(COLOR_MENU), GetSysColor(COLOR_MENUTEXT),
                                             GetSysColor(COLOR_HIGHLIGHT), GetSysColor(COLOR_HIGHLIGHTTEXT)});
        break;
    }
}

HBRUSH CMainFrame::PopupBackgroundBrush() const
{
    if (HBRUSH texture = odm.texture.NormalBrush())
        return texture;
    return odm.backgroundBrush.get();
}

void CMainFrame::AttachODMItem(MENUITEMINFOW& info, const std::shared_ptr<CODMCommonItem>& common,
                               const std::wstring& text, int imageIndex)
{
    auto item = std::make_shared<CODMItem>();
    item->common = common;
    if (info.fType & MFT_SEPARATOR) {
        item->separator = 1;
    } else {
        item->submenu = (info.fMask & MIIM_SUBMENU) && info.hSubMenu ? 1 : 0;
        CODMTextSplit split = SplitODMText(text);
        item->label = std::move(split.label);
        item->shortcutText = std::move(split.shortcut);
        item->imageIndex = imageIndex;
    }
    info.fMask |= MIIM_FTYPE | MIIM_DATA;
    info.fType |= MFT_OWNERDRAW;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(item.get());
    odm.items.push_back(std::move(item));
}

int CMainFrame::MeasureODMText(HDC dc, const std::wstring& text)
{
    if (text.empty())
        return 0;
    RECT r = {0, 0, 0, 0};
    if (odm.theme) {
        DTTOPTS options = {};
        options.dwSize = sizeof(options);
        options.dwFlags = DTT_CALCRECT;
        if (SUCCEEDED(DrawThemeTextEx(odm.theme, dc, kMenuPartPopupItem, kMenuItemStateNormal, text.c_str(), -1,
                                      kODMMeasureTextFlags, &r, &options)))
            return r.right - r.left;
        r = {0, 0, 0, 0};
    }
    DrawTextW(dc, text.c_str(), -1, &r, kODMMeasureTextFlags);
    return r.right - r.left;
}

void CMainFrame::MeasureODMItems()
{
    CODMMetrics& m = odm.metrics;
    m.iconWidth = GetSystemMetrics(SM_CXSMICON);
    m.iconHeight = GetSystemMetrics(SM_CYSMICON);
    CWindowDCHandle client(Handle());
    if (!client)
        return;
    odm.memoryDC.reset(CreateCompatibleDC(client.get()));
    odm.memoryDCFirstBitmap = nullptr;

    LOGFONTW font = {};
    font.lfHeight = ODMFontHeight(odm.settings.fontSize, GetDeviceCaps(client.get(), LOGPIXELSY));
    font.lfWeight = odm.settings.fontWeight;
    font.lfItalic = odm.settings.fontItalic != 0;
    font.lfCharSet = kSHIFTJISCharset;
    const std::wstring face = ODMFaceName(odm.settings.fontName);
    std::copy_n(face.c_str(), std::min(face.size(), size_t(LF_FACESIZE - 1)), font.lfFaceName);
    odm.font.reset(CreateFontIndirectW(&font));

    CSelectObject select(client.get(), odm.font.get());
    TEXTMETRICW tm = {};
    GetTextMetricsW(client.get(), &tm);
    m.itemHeight = ODMItemHeight(tm.tmHeight, odm.settings.padding);
    m.separatorHeight = ODMSeparatorHeight(odm.settings.separatorHeight, m.itemHeight, odm.drawType);
    m.themeSeparatorHeight = m.separatorHeight;
    m.columnGap = ODMColumnGap(tm.tmAveCharWidth);
    // The texts are measured per popup when the system first measures one of its entries
    // (MeasureODMPopupTexts): a large menu opens without measuring the thousands of texts of
    // submenus that are never opened. A popup's widths depend on its own entries only.
    if (odm.theme) {
        SIZE size = {};
        const bool separatorMeasured =
            SUCCEEDED(GetThemePartSize(odm.theme, client.get(), kMenuPartPopupSeparator, 0, nullptr, TS_TRUE, &size));
        ApplyThemeSeparator(m, separatorMeasured, size.cy);
        size = {};
        const bool arrowMeasured =
            SUCCEEDED(GetThemePartSize(odm.theme, client.get(), kMenuPartPopupSubmenu, 0, nullptr, TS_TRUE, &size));
        m.submenuArrowWidth = ODMSubmenuArrowWidth(arrowMeasured, size.cx, m.iconWidth);
    }
}

void CMainFrame::MeasureODMPopupTexts(const CODMCommonItem* common)
{
    CWindowDCHandle client(Handle());
    if (!client)
        return;
    CSelectObject select(client.get(), odm.font.get());
    // In the order of the item list, as the entries were appended.
    for (const auto& item : odm.items) {
        if (item->common.get() != common || item->labelWidth >= 0)
            continue;
        item->labelWidth = MeasureODMText(client.get(), item->label);
        item->shortcutWidth = MeasureODMText(client.get(), item->shortcutText);
        AccumulateODMWidths(*item->common, item->labelWidth, item->shortcutWidth, odm.metrics.columnGap);
    }
}

LRESULT CMainFrame::MeasureODMItem(WPARAM wParam, LPARAM lParam)
{
    auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lParam);
    if (!measure || measure->CtlID != 0 || measure->CtlType != ODT_MENU || !measure->itemData)
        return Default(WM_MEASUREITEM, wParam, lParam);
    const auto* item = reinterpret_cast<const CODMItem*>(measure->itemData);
    if (item->labelWidth < 0)
        MeasureODMPopupTexts(item->common.get());
    const CODMSize size = item->separator ? MeasureODMSeparator(odm.metrics)
                                          : MeasureODMEntry(odm.metrics, *item->common, odm.settings.compactWidth != 0);
    measure->itemWidth = static_cast<UINT>(std::max(size.cx, 0));
    measure->itemHeight = static_cast<UINT>(std::max(size.cy, 0));
    return TRUE;
}

LRESULT CMainFrame::DrawODMItem(WPARAM wParam, LPARAM lParam)
{
    auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
    if (!draw || draw->CtlID != 0 || draw->CtlType != ODT_MENU || !draw->itemData)
        return Default(WM_DRAWITEM, wParam, lParam);
    const auto& item = *reinterpret_cast<const CODMItem*>(draw->itemData);
    if (item.labelWidth < 0)
        MeasureODMPopupTexts(item.common.get());
    const CODMCommonItem& common = *item.common;
    const CODMMetrics& m = odm.metrics;
    const RECT R = draw->rcItem;
    const int W = R.right - R.left;
    const int H = R.bottom - R.top;
    if (W <= 0 || H <= 0)
        return TRUE;
    const bool selected = (draw->itemState & ODS_SELECTED) != 0;
    const bool compact = odm.settings.compactWidth != 0;
    HDC target = draw->hDC;
    HIMAGELIST icons = IconList();

    if (odm.theme) {
        HDC buffer = nullptr;
        HPAINTBUFFER paint = BeginBufferedPaint(target, &R, BPBF_COMPATIBLEBITMAP, nullptr, &buffer);
        HDC dc = paint ? buffer : target;
        {
            CSelectObject font(dc, odm.font.get());
            DrawThemeBackground(odm.theme, dc, kMenuPartPopupBackground, 0, &R, nullptr);
            if (item.separator) {
                const RECT s = Offset(ODMThemeSeparatorRect(W, H, m.themeSeparatorHeight), R.left, R.top);
                DrawThemeBackground(odm.theme, dc, kMenuPartPopupSeparator, 0, &s, nullptr);
            } else {
                const int state = selected ? kMenuItemStateHot : kMenuItemStateNormal;
                DrawThemeBackground(odm.theme, dc, kMenuPartPopupItem, state, &R, nullptr);
                const CODMEntryLayout layout =
                    LayoutODMEntry(W, H, m, common, item.labelWidth, item.shortcutWidth, compact);
                if (item.imageIndex >= 0 && icons) {
                    const RECT icon = Offset(layout.icon, R.left, R.top);
                    DrawThemeIcon(odm.theme, dc, kMenuPartPopupItem, state, &icon, icons, item.imageIndex);
                }
                RECT label = Offset(layout.label, R.left, R.top);
                DrawThemeText(odm.theme, dc, kMenuPartPopupSubmenu, state, item.label.c_str(), -1, kODMDrawTextFlags, 0,
                              &label);
                if (!item.shortcutText.empty()) {
                    RECT shortcut = Offset(layout.shortcut, R.left, R.top);
                    DrawThemeText(odm.theme, dc, kMenuPartPopupSubmenu, state, item.shortcutText.c_str(), -1,
                                  kODMDrawTextFlags, 0, &shortcut);
                }
                if (item.submenu) {
                    const RECT arrow = Offset(ODMThemeArrowRect(W, H, m), R.left, R.top);
                    DrawThemeBackground(odm.theme, dc, kMenuPartPopupSubmenu, kMenuItemStateNormal, &arrow, nullptr);
                }
            }
        }
        if (paint)
            EndBufferedPaint(paint, TRUE);
        // After the buffer reached the target: the system must not draw its own arrow over it.
        if (!item.separator)
            ExcludeClipRect(target, R.left, R.top, R.right, R.bottom);
        return TRUE;
    }

    // Plain path: one memory bitmap, reused while it is large enough.
    HDC memory = odm.memoryDC.get();
    if (!memory)
        return TRUE;
    if (!odm.memoryBitmap || odm.memoryWidth < W || odm.memoryHeight < H) {
        CWindowDCHandle client(Handle());
        HBITMAP bitmap = CreateCompatibleBitmap(client.get(), W, H);
        if (!bitmap)
            return TRUE;
        HGDIOBJ previous = SelectObject(memory, bitmap);
        if (!odm.memoryDCFirstBitmap)
            odm.memoryDCFirstBitmap = previous;
        odm.memoryBitmap.reset(bitmap);
        odm.memoryWidth = W;
        odm.memoryHeight = H;
    }
    const CODMSettings& s = odm.settings;
    bool markDrawn = false;
    {
        CSelectObject font(memory, odm.font.get());
        const RECT whole = {0, 0, W, H};
        const int edge = odm.drawType == kDrawCustomColor ? s.highlightEdge : 0;
        if (selected && edge > 0) {
            CBrushHandle frame(CreateSolidBrush(s.colors[kColorHighlightEdge]));
            FillRect(memory, &whole, frame.get());
        }
        const RECT back = Offset(ODMBackgroundRect(W, H, selected, edge), 0, 0);
        if (HBRUSH normal = odm.texture.NormalBrush()) {
            const CODMSize origin = ODMTextureBrushOrigin(odm.textureShift, R.left, R.top);
            POINT old = {};
            SetBrushOrgEx(memory, origin.cx, origin.cy, &old);
            FillRect(memory, &back, selected ? odm.texture.HighlightBrush() : normal);
            SetBrushOrgEx(memory, old.x, old.y, nullptr);
        } else {
            CBrushHandle fill(CreateSolidBrush(s.colors[selected ? kColorHighlightBack : kColorBack]));
            FillRect(memory, &back, fill.get());
        }
        if (item.separator) {
            if (odm.drawType == kDrawCustomColor) {
                const RECT line = {0, ODMSeparatorLineRow(H), W, ODMSeparatorLineRow(H) + 1};
                CBrushHandle pen(CreateSolidBrush(s.colors[kColorSeparator]));
                FillRect(memory, &line, pen.get());
            } else {
                const int row = ODMEtchedSeparatorRow(H);
                const RECT shadow = {0, row, W, row + 1};
                const RECT light = {0, row + 1, W, row + 2};
                FillRect(memory, &shadow, GetSysColorBrush(COLOR_BTNSHADOW));
                FillRect(memory, &light, GetSysColorBrush(COLOR_BTNHIGHLIGHT));
            }
        } else {
            const CODMEntryLayout layout =
                LayoutODMEntry(W, H, m, common, item.labelWidth, item.shortcutWidth, compact);
            if (item.imageIndex >= 0 && icons)
                ImageList_Draw(icons, item.imageIndex, memory, layout.icon.left, layout.icon.top, ILD_TRANSPARENT);
            const COLORREF textColour = s.colors[selected ? kColorHighlightText : kColorText];
            const COLORREF oldColour = SetTextColor(memory, textColour);
            const int oldMode = SetBkMode(memory, TRANSPARENT);
            RECT label = Offset(layout.label, 0, 0);
            DrawTextW(memory, item.label.c_str(), -1, &label, kODMDrawTextFlags);
            if (!item.shortcutText.empty()) {
                RECT shortcut = Offset(layout.shortcut, 0, 0);
                DrawTextW(memory, item.shortcutText.c_str(), -1, &shortcut, kODMDrawTextFlags);
            }
            SetTextColor(memory, oldColour);
            SetBkMode(memory, oldMode);
            if (ODMDrawsOwnSubmenuMark(odm.drawType, item.submenu != 0)) {
                for (const CODMSize& p : ODMSubmenuMarkPixels(s.submenuMark, W, H))
                    SetPixelV(memory, p.cx, p.cy, textColour);
                markDrawn = true;
            }
        }
    }
    BitBlt(target, R.left, R.top, W, H, memory, 0, 0, SRCCOPY);
    if (markDrawn)
        ExcludeClipRect(target, R.left, R.top, R.right, R.bottom);
    return TRUE;
}

HTHEME CMainFrame::MenuTheme()
{
    if (odm.menuThemeStale)
        CloseMenuTheme();
    if (odm.menuTheme)
        return odm.menuTheme;
    odm.menuTheme = OpenThemeData(Handle(), L"MENU");
    if (!odm.menuTheme)
        return nullptr;
    if (!odm.bufferedPaintStarted)
        odm.bufferedPaintStarted = SUCCEEDED(BufferedPaintInit());
    // The theme's popup background as one solid colour for the popups' frames.
    CWindowDCHandle client(Handle());
    CMemoryDCHandle memory(CreateCompatibleDC(client.get()));
    CBitmapHandle probe(CreateCompatibleBitmap(client.get(), kODMThemeProbeSize, kODMThemeProbeSize));
    if (memory && probe) {
        CSelectObject select(memory.get(), probe.get());
        RECT r = {0, 0, kODMThemeProbeSize, kODMThemeProbeSize};
        DrawThemeBackground(odm.menuTheme, memory.get(), kMenuPartPopupBackground, 0, &r, nullptr);
        odm.menuThemeBackground = GetPixel(memory.get(), kODMThemeProbePixel, kODMThemeProbePixel);
    }
    return odm.menuTheme;
}

void CMainFrame::CloseMenuTheme()
{
    if (odm.menuTheme)
        CloseThemeData(odm.menuTheme);
    odm.menuTheme = nullptr;
    odm.menuThemeBackground = CLR_INVALID;
    odm.menuThemeStale = false;
}

void CMainFrame::EndODMMenu()
{
    odm.theme = nullptr;
    odm.font.reset();
    if (odm.memoryDC && odm.memoryDCFirstBitmap)
        SelectObject(odm.memoryDC.get(), odm.memoryDCFirstBitmap);
    odm.memoryDCFirstBitmap = nullptr;
    odm.memoryDC.reset();
    odm.memoryBitmap.reset();
    odm.memoryWidth = 0;
    odm.memoryHeight = 0;
    odm.items.clear();
    odm.backgroundBrush.reset();
}
