#pragma once
// The customizer's three colour controls: the hue/saturation field, the lightness bar and
// the sample patch. Each paints all of its area itself and reports to its owner (the parent
// unless set) with SendMessage.

#include <windows.h>
// GDI+ needs these COM types and min/max.
#include <objbase.h>
#include <ole2.h>
#include <algorithm>
using std::max;
using std::min;
#include <gdiplus.h>

#include <array>
#include <cstdint>
#include <memory>

#include "ColorHls.h"
#include "CustomizerRules.h"
#include "Resource.h"
#include "XWnd.h"

// The window class of the three controls: double-click notification, the arrow cursor, no
// background brush.
inline constexpr wchar_t kPickerClassName[] = L"VelqsetColorControl";
bool RegisterPickerClass();

// A child control of this program: made visible with id -1 and an empty rectangle, then put
// in the place of a placeholder by the dialog.
class CPickerWnd : public CXWnd {
public:
    bool Create(HWND parent);
    // The window that gets the notifications; null: the parent.
    HWND owner = nullptr;

protected:
    // Painting, the background (none: Paint covers the whole area) and the cursor.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    virtual void Paint(HDC dc) = 0;
    void Notify(LPARAM value);
    HWND Owner() const;
    HCURSOR cursor = LoadCursorW(nullptr, IDC_ARROW);
};

// Hue across, saturation upwards, at medium lightness, with a cross-hair round the chosen
// pixel. The field image is made once per process and shared.
class CColorPickerCtrl : public CPickerWnd {
public:
    int Hue() const { return h; }
    int Saturation() const { return s; }
    bool Tracking() const { return tracking != 0; }
    // Sets the marker without a notification.
    void SetHueSaturation(int hue, int saturation);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) override;
    void UpdateFromPoint(int x, int y);

    std::shared_ptr<Gdiplus::Bitmap> image;
    int h = 100;
    int s = 100;
    int tracking = 0;
    UINT notificationMessage = WM_PICKER_CHANGED;
};

// The lightness of the current hue and saturation from white (top) to black, with a mark in
// the margin at its right.
class CLightnessPickerCtrl : public CPickerWnd {
public:
    int Lightness() const { return l; }
    bool Tracking() const { return tracking != 0; }
    // Sets the bar's colour and the mark without a notification.
    void SetColor(int hue, int saturation, int lightness);
    void SetHueSaturation(int hue, int saturation) { SetColor(hue, saturation, l); }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) override;
    void BuildColumn();
    void UpdateFromPoint(int y);

    UINT notificationMessage = WM_PICKER_CHANGED;
    int h = 0;
    int s = 240;
    int l = 120;
    int built = 0;
    int builtH = 0;
    int builtS = 0;
    int width = 0;
    CLightnessBarLayout layout;
    std::array<uint32_t, kLightnessRows> column = {};
    std::shared_ptr<Gdiplus::Bitmap> columnBitmap;
    std::shared_ptr<Gdiplus::TextureBrush> columnBrush;
    int tracking = 0;
};

// The current colour with its opacity, over the texture image on black when there is one:
// what the launcher paints for a selected entry.
class CXColorSampleCtrl : public CPickerWnd {
public:
    CXColorSampleCtrl() = default;
    ~CXColorSampleCtrl() override;
    // ARGB, alpha in the top byte; the caller invalidates.
    void SetColor(uint32_t argb) { color = argb; }
    void SetTexture(std::shared_ptr<Gdiplus::Bitmap> bitmap);

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Paint(HDC dc) override;

    int width = 0;
    int height = 0;
    HBITMAP memoryBitmap = nullptr;
    int memoryWidth = 0;
    int memoryHeight = 0;
    uint32_t color = 0xFFFFFFFF;
    std::shared_ptr<Gdiplus::Bitmap> texture;
    std::shared_ptr<Gdiplus::TextureBrush> textureBrush;
};
