#include "ColorPickers.h"

#include <windowsx.h>

namespace {
void Repaint(HWND window)
{
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

class CPaint {
public:
    explicit CPaint(HWND window) : window(window) { dc = BeginPaint(window, &paint); }
    ~CPaint() { EndPaint(window, &paint); }
    CPaint(const CPaint&) = delete;
    CPaint& operator=(const CPaint&) = delete;
    HDC dc;

private:
    HWND window;
    PAINTSTRUCT paint = {};
};

// Pixels of 0x00RRGGBB: in memory blue, green, red, 0, as 32-bit RGB of GDI+.
std::shared_ptr<Gdiplus::Bitmap> WrapPixels(const uint32_t* pixels, int width, int height)
{
    auto bitmap = std::make_shared<Gdiplus::Bitmap>(width, height, width * 4, PixelFormat32bppRGB,
                                                    reinterpret_cast<BYTE*>(const_cast<uint32_t*>(pixels)));
    if (bitmap->GetLastStatus() != Gdiplus::Ok)
        return nullptr;
    return bitmap;
}

void FillBlack(Gdiplus::Graphics& graphics, const CPickerRect& r)
{
    Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
    graphics.FillRectangle(&black, r.left, r.top, r.width, r.height);
}
} // namespace

bool RegisterPickerClass()
{
    return CXWnd::RegisterWindowClass(kPickerClassName, CS_DBLCLKS, nullptr, LoadCursorW(nullptr, IDC_ARROW),
                                      nullptr);
}

bool CPickerWnd::Create(HWND parent)
{
    return CreateEx(0, kPickerClassName, L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, parent,
                    reinterpret_cast<HMENU>(static_cast<INT_PTR>(-1)));
}

HWND CPickerWnd::Owner() const
{
    return owner ? owner : GetParent(Handle());
}

LRESULT CPickerWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        CPaint paint(Handle());
        Paint(paint.dc);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(cursor);
            return TRUE;
        }
        break;
    }
    return Default(message, wParam, lParam);
}

void CPickerWnd::Notify(LPARAM value)
{
    SendMessageW(Owner(), WM_PICKER_CHANGED, GetDlgCtrlID(Handle()), value);
}

// ---- hue and saturation ----

void CColorPickerCtrl::SetHueSaturation(int hue, int saturation)
{
    h = hue;
    s = saturation;
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT CColorPickerCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        image = WrapPixels(HueSaturationField().data(), kHueFieldWidth, kHueFieldHeight);
        return 0;
    case WM_LBUTTONDOWN:
        tracking = 1;
        UpdateFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        SetCapture(Handle());
        return 0;
    case WM_MOUSEMOVE:
        if (tracking)
            UpdateFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (tracking) {
            tracking = 0;
            ReleaseCapture();
            UpdateFromPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        }
        return 0;
    case WM_CANCELMODE:
        if (tracking) {
            tracking = 0;
            Notify(MAKELPARAM(h, s));
        }
        break;
    }
    return CPickerWnd::WindowProc(message, wParam, lParam);
}

void CColorPickerCtrl::Paint(HDC dc)
{
    Gdiplus::Graphics graphics(dc);
    if (image)
        graphics.DrawImage(image.get(), Gdiplus::Rect(0, 0, kHueFieldWidth, kHueFieldHeight), 0, 0, kHueFieldWidth,
                           kHueFieldHeight, Gdiplus::UnitPixel);
    for (const CPickerRect& r : HueMarkerRects(h, s))
        FillBlack(graphics, r);
}

void CColorPickerCtrl::UpdateFromPoint(int x, int y)
{
    const CHueSat value = HuePickerValueAt(x, y);
    if (value.h != h || value.s != s) {
        h = value.h;
        s = value.s;
        Repaint(Handle());
        Notify(MAKELPARAM(h, s));
    } else if (!tracking) {
        Notify(MAKELPARAM(h, s));
    }
}

// ---- lightness ----

void CLightnessPickerCtrl::SetColor(int hue, int saturation, int lightness)
{
    h = hue;
    s = saturation;
    l = lightness;
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT CLightnessPickerCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        width = LOWORD(lParam);
        layout = LightnessBarLayout(width);
        InvalidateRect(Handle(), nullptr, FALSE);
        return 0;
    case WM_LBUTTONDOWN:
        tracking = 1;
        UpdateFromPoint(GET_Y_LPARAM(lParam));
        SetCapture(Handle());
        return 0;
    case WM_MOUSEMOVE:
        if (tracking)
            UpdateFromPoint(GET_Y_LPARAM(lParam));
        return 0;
    case WM_LBUTTONUP:
        if (tracking) {
            tracking = 0;
            UpdateFromPoint(GET_Y_LPARAM(lParam));
            ReleaseCapture();
        }
        return 0;
    case WM_CANCELMODE:
        if (tracking) {
            tracking = 0;
            Notify(l);
        }
        break;
    }
    return CPickerWnd::WindowProc(message, wParam, lParam);
}

void CLightnessPickerCtrl::BuildColumn()
{
    builtH = h;
    builtS = s;
    column = LightnessColumn(h, s);
    columnBrush.reset();
    columnBitmap = WrapPixels(column.data(), 1, kLightnessRows);
    if (columnBitmap)
        columnBrush = std::make_shared<Gdiplus::TextureBrush>(columnBitmap.get(), Gdiplus::WrapModeTile);
    built = 1;
}

void CLightnessPickerCtrl::Paint(HDC dc)
{
    if (!LightnessBarDrawn(layout))
        return;
    if (!built || h != builtH || s != builtS)
        BuildColumn();
    {
        Gdiplus::Graphics graphics(dc);
        if (columnBrush)
            graphics.FillRectangle(columnBrush.get(), 0, 0, layout.barWidth, kLightnessRows);
    }
    const RECT margin = {layout.barWidth, 0, layout.barWidth + layout.marginWidth, kLightnessRows};
    FillRect(dc, &margin, GetSysColorBrush(COLOR_BTNFACE));
    const CPickerRect mark = LightnessMarkerRect(layout, l);
    const RECT line = {mark.left, mark.top, mark.left + mark.width, mark.top + mark.height};
    FillRect(dc, &line, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

void CLightnessPickerCtrl::UpdateFromPoint(int y)
{
    const int value = LightnessPickerValueAt(y);
    if (value != l) {
        l = value;
        Repaint(Handle());
        Notify(l);
    } else if (!tracking) {
        Notify(l);
    }
}

// ---- sample ----

CXColorSampleCtrl::~CXColorSampleCtrl()
{
    if (memoryBitmap)
        DeleteObject(memoryBitmap);
}

void CXColorSampleCtrl::SetTexture(std::shared_ptr<Gdiplus::Bitmap> bitmap)
{
    textureBrush.reset();
    texture = std::move(bitmap);
    if (texture) {
        const Gdiplus::Rect whole(0, 0, static_cast<INT>(texture->GetWidth()), static_cast<INT>(texture->GetHeight()));
        auto brush = std::make_shared<Gdiplus::TextureBrush>(texture.get(), whole);
        if (brush->GetLastStatus() == Gdiplus::Ok) {
            brush->SetWrapMode(Gdiplus::WrapModeTile);
            textureBrush = std::move(brush);
        }
    }
    InvalidateRect(Handle(), nullptr, FALSE);
}

LRESULT CXColorSampleCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SIZE:
        width = LOWORD(lParam);
        height = HIWORD(lParam);
        return 0;
    }
    return CPickerWnd::WindowProc(message, wParam, lParam);
}

void CXColorSampleCtrl::Paint(HDC dc)
{
    if (width <= 0 || height <= 0)
        return;
    if (!memoryBitmap || memoryWidth < width || memoryHeight < height) {
        if (memoryBitmap)
            DeleteObject(memoryBitmap);
        memoryBitmap = CreateCompatibleBitmap(dc, width, height);
        memoryWidth = memoryBitmap ? width : 0;
        memoryHeight = memoryBitmap ? height : 0;
        if (!memoryBitmap)
            return;
    }
    HDC memory = CreateCompatibleDC(dc);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, memoryBitmap);
    {
        Gdiplus::Graphics graphics(memory);
        if (textureBrush && (color >> 24) != 255) {
            Gdiplus::SolidBrush black(Gdiplus::Color(255, 0, 0, 0));
            graphics.FillRectangle(&black, 0, 0, width, height);
            graphics.FillRectangle(textureBrush.get(), 0, 0, width, height);
        }
        Gdiplus::SolidBrush solid{Gdiplus::Color(color)};
        graphics.FillRectangle(&solid, 0, 0, width, height);
    }
    BitBlt(dc, 0, 0, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}
