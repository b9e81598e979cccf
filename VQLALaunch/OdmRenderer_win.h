#pragma once
// Owner-drawn popup menus: the state of one menu show kept by the main window, and the
// texture cache that lives across menu shows. The pixel rules are in appearance/MenuMetrics.

#include <windows.h>
// Needs the types of windows.h.
#include <uxtheme.h>

#include <memory>
#include <string>
#include <vector>

#include "MenuMetrics.h"
#include "ODMSettings.h"
#include "WinHandles.h"

namespace Gdiplus {
class Bitmap;
}

// A GDI object shared by the normal and the highlight slot when the opacity is 0.
using CSharedGdiObject = std::shared_ptr<void>;

class CODMTexture {
public:
    // Rebuilds the bitmaps and brushes unless path (ignoring case), the file's last-write
    // time, colour and opacity are those of the last successful build.
    void LoadTexture(HWND window, const std::wstring& path, XColorRef color, int opacity);
    // Drops bitmaps and brushes; the cache key stays.
    void ReleaseTexture();

    HBRUSH NormalBrush() const { return static_cast<HBRUSH>(normalBrush.get()); }
    HBRUSH HighlightBrush() const { return static_cast<HBRUSH>(highlightBrush.get()); }

    CSharedGdiObject normalBitmap;
    CSharedGdiObject highlightBitmap;
    CSharedGdiObject normalBrush;
    CSharedGdiObject highlightBrush;
    RECT monitorRect = {};
    CODMTextureKey key;

private:
    HBITMAP MakeTextureBitmap(HDC dc, Gdiplus::Bitmap& image, XColorRef color, int opacity) const;
};

// Everything one menu show prepares for measuring and drawing; the settings and the texture
// are kept between shows.
struct CODMShow {
    CODMSettings settings;
    int drawType = kDrawBySystem; // the effective mode: 0, 1, 2 or 3
    CODMTexture texture;
    CTextureShift textureShift;
    std::vector<std::shared_ptr<CODMItem>> items;
    HTHEME theme = nullptr;
    CFontHandle font;
    CMemoryDCHandle memoryDC;
    HGDIOBJ memoryDCFirstBitmap = nullptr;
    CBitmapHandle memoryBitmap;
    int memoryWidth = 0;
    int memoryHeight = 0;
    CODMMetrics metrics;
    CBrushHandle backgroundBrush;

    // The "MENU" theme and its popup background colour, kept from one show to the next:
    // opening a theme costs milliseconds. Opened again after the theme changed.
    HTHEME menuTheme = nullptr;
    COLORREF menuThemeBackground = CLR_INVALID;
    bool menuThemeStale = false;
    bool bufferedPaintStarted = false;
};
