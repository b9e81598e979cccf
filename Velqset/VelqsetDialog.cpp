#include "VelqsetDialog.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>

#include "ColorHls.h"
#include "CustomizerRules.h"
#include "InstanceBlock_win.h"
#include "LauncherProtocol.h"
#include "Profiles.h"
#include "Resource.h"
#include "SettingsStore.h"
#include "TextureImage_win.h"
#include "VelqsetApp.h"

namespace {
const wchar_t kPositionLeft[] = L"custleft";
const wchar_t kPositionTop[] = L"custtop";
constexpr int kNoPosition = static_cast<int>(0x80000000u);

const wchar_t kProfileLoadFailed[] = L"プロファイルをロードできません。";
const wchar_t kOverwriteQuestion[] = L"を上書きしますか？";
const wchar_t kDeleteQuestion[] = L"を削除しますか？";

const wchar_t* const kColorTargets[] = {L"背景色", L"文字色", L"仕切り線色", L"選択背景色", L"選択文字色", L"選択枠線色"};
const wchar_t* const kEdgeWidths[] = {L"なし", L"1ピクセル幅", L"2ピクセル幅"};
const wchar_t* const kSubmenuMarks[] = {L"三角形", L">"};
const wchar_t* const kTextureChoices[] = {L"単色", L"テクスチャ"};
const wchar_t* const kImageExtensions[] = {L"png", L"jpg", L"jpeg", L"gif", L"bmp", L"tif", L"tiff", L"exif"};
const wchar_t kImageFilterTemplate[] = L"画像ファイル(#IMGFILEEXTS)|#IMGFILEEXTS|すべてのファイル(*.*)|*||";
const wchar_t kImageExtensionsMark[] = L"#IMGFILEEXTS";

constexpr int kModeButtons[] = {IDC_DRAW_THEME, IDC_DRAW_SYSCOLOR, IDC_DRAW_CUSTOM, IDC_DRAW_SYSTEM};

// The colour edits and their ranges.
struct CColorEdit {
    int id;
    int maximum;
};
constexpr CColorEdit kColorEdits[] = {{IDC_R, kMaxRgb},      {IDC_G, kMaxRgb},        {IDC_B, kMaxRgb},
                                      {IDC_A, kMaxAlpha},    {IDC_H, kMaxHue},        {IDC_S, kMaxSaturation},
                                      {IDC_L, kMaxLightness}};

int ColorEditMaximum(int id)
{
    for (const CColorEdit& edit : kColorEdits)
        if (edit.id == id)
            return edit.maximum;
    return 0;
}

XODMValue TargetColorValue(int target)
{
    return static_cast<XODMValue>(static_cast<int>(XODMValue::ColorBack) + target);
}

RECT ChildRect(HWND dialog, HWND child)
{
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void MoveChild(HWND dialog, HWND child, int dx, int dy)
{
    const RECT r = ChildRect(dialog, child);
    SetWindowPos(child, nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void FillCombo(HWND combo, const wchar_t* const* texts, size_t count)
{
    for (size_t i = 0; i < count; ++i)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(texts[i]));
}

std::wstring ImageFilter()
{
    std::wstring extensions;
    for (const wchar_t* extension : kImageExtensions) {
        if (!extensions.empty())
            extensions += L';';
        extensions += std::wstring(L"*.") + extension;
    }
    std::wstring filter = kImageFilterTemplate;
    const std::wstring mark = kImageExtensionsMark;
    for (size_t at = filter.find(mark); at != std::wstring::npos; at = filter.find(mark, at + extensions.size()))
        filter.replace(at, mark.size(), extensions);
    std::replace(filter.begin(), filter.end(), L'|', L'\0');
    return filter;
}
} // namespace

CVelqsetDialog::CVelqsetDialog(CSettingsStore& store) : CXDialog(IDD_VELQSET), store(store)
{
    // The field image of the hue pickers, once per process.
    HueSaturationField();
}

INT_PTR CVelqsetDialog::DialogProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        const int code = HIWORD(wParam);
        if (code == EN_CHANGE || code == EN_KILLFOCUS) {
            if (ColorEditMaximum(id) > 0) {
                if (code == EN_CHANGE)
                    OnColorEditChanged(id);
                else
                    OnColorEditLeft(id);
                return TRUE;
            }
            if (id == IDC_HEX) {
                if (code == EN_CHANGE)
                    OnHexChanged();
                else
                    WriteHex();
                return TRUE;
            }
            if (code == EN_CHANGE &&
                (id == IDC_PADDING || id == IDC_SEPARATOR_HEIGHT || id == IDC_SHIFT_X || id == IDC_SHIFT_Y)) {
                OnNumberChanged(id);
                return TRUE;
            }
        }
        switch (id) {
        case IDC_DRAW_THEME:
        case IDC_DRAW_SYSCOLOR:
        case IDC_DRAW_CUSTOM:
        case IDC_DRAW_SYSTEM:
            if (code == BN_CLICKED)
                OnModeClicked();
            return TRUE;
        case IDC_COLOR_TARGET:
            if (code == CBN_SELCHANGE) {
                const LRESULT selection = SendMessageW(Item(IDC_COLOR_TARGET), CB_GETCURSEL, 0, 0);
                if (selection >= 0) {
                    colorTarget = static_cast<int>(selection);
                    OnTargetChanged();
                }
            }
            return TRUE;
        case IDC_FONT_BUTTON:
            if (code == BN_CLICKED)
                OnFontButton();
            return TRUE;
        case IDC_HIGHLIGHT_EDGE:
        case IDC_SUBMENU_MARK:
        case IDC_USE_TEXTURE:
            if (code == CBN_SELCHANGE)
                OnListChanged(id);
            return TRUE;
        case IDC_COMPACT_WIDTH:
            if (code == BN_CLICKED)
                OnListChanged(id);
            return TRUE;
        case IDC_TEXTURE_BUTTON:
            if (code == BN_CLICKED)
                OnTextureButton();
            return TRUE;
        case IDC_PROFILE:
            if (code == CBN_SELCHANGE)
                PostMessageW(Handle(), WM_PROFILE_SELECTED, IDC_PROFILE, 0);
            else if (code == CBN_EDITCHANGE)
                UpdateProfileButtons();
            else if (code == CBN_DROPDOWN)
                OnProfileDropDown();
            return TRUE;
        case IDC_PROFILE_LOAD:
            if (code == BN_CLICKED)
                LoadProfile();
            return TRUE;
        case IDC_PROFILE_SAVE:
            if (code == BN_CLICKED)
                SaveProfile();
            return TRUE;
        case IDC_PROFILE_DELETE:
            if (code == BN_CLICKED)
                DeleteProfile();
            return TRUE;
        }
        break;
    }
    case WM_PICKER_CHANGED:
        OnPickerChanged(wParam, lParam);
        return TRUE;
    case WM_PROFILE_SELECTED:
        OnProfileSelected();
        return TRUE;
    case WM_HSCROLL:
        if (reinterpret_cast<HWND>(lParam) == Item(IDC_ALPHA_SLIDER)) {
            OnOpacitySlider(wParam);
            return TRUE;
        }
        break;
    case WM_CLOSE:
        Close();
        return TRUE;
    }
    return CXDialog::DialogProc(message, wParam, lParam);
}

bool CVelqsetDialog::PreTranslateMessage(MSG& message)
{
    if (message.message == WM_SYSKEYDOWN && message.wParam == 'H' && (message.lParam & (1 << 29)) &&
        (message.hwnd == Handle() || IsChild(Handle(), message.hwnd))) {
        shiftControlsShown = !shiftControlsShown;
        UpdateVisibility();
        return true;
    }
    return CXDialog::PreTranslateMessage(message);
}

// ---- initialisation ----

bool CVelqsetDialog::OnInitDialog()
{
    SetIcons();
    if (!BecomeTheInstance())
        return true;
    ReadProfileList();
    LoadODMSettings(store, settings);
    LayOut();
    PlaceCustomControls();
    FillLists();
    RefreshAll();
    ReadTextureShift();
    CheckLastProfile();
    UpdateProfileButtons();
    RestorePosition();
    return true;
}

void CVelqsetDialog::SetIcons()
{
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    icon = LoadIconW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME));
    HANDLE small = LoadImageW(instance, MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                              GetSystemMetrics(SM_CYSMICON), LR_SHARED);
    SendMessageW(Handle(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(Handle(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small ? small : icon));
}

bool CVelqsetDialog::BecomeTheInstance()
{
    if (BecomeInstanceOrBringOtherForward(kCustomizerBlockName, Handle(), instanceBlock)) {
        isTheInstance = true;
        return true;
    }
    PostMessageW(Handle(), WM_COMMAND, IDCANCEL, 0);
    return false;
}

void CVelqsetDialog::LayOut()
{
    // The picker gets its exact pixel size; the colour editor goes under it and the texture
    // controls, which take the picker's place, up to its top.
    HWND picker = Item(IDC_HUE_PICKER);
    const RECT old = ChildRect(Handle(), picker);
    SetWindowPos(picker, nullptr, 0, 0, kHueFieldWidth, kHueFieldHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    const int dx = old.left + kHueFieldWidth - old.right;
    const int dy = old.top + kHueFieldHeight - old.bottom;
    for (int id : ColorEditorGroup())
        MoveChild(Handle(), Item(id), 0, dy);

    HWND bar = Item(IDC_LIGHTNESS_PICKER);
    const RECT barRect = ChildRect(Handle(), bar);
    SetWindowPos(bar, nullptr, barRect.left + std::max(dx, 0), barRect.top, barRect.right - barRect.left,
                 kLightnessRows, SWP_NOZORDER | SWP_NOACTIVATE);

    const int textureShift = old.top - ChildRect(Handle(), Item(IDC_TEXTURE_LABEL)).top;
    for (int id : TextureGroup())
        MoveChild(Handle(), Item(id), 0, textureShift);

    RECT units = {0, 0, 0, 12};
    MapDialogRect(Handle(), &units);
    int bottom = 0;
    for (HWND child = GetWindow(Handle(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        bottom = std::max(bottom, static_cast<int>(ChildRect(Handle(), child).bottom));
    RECT client = {};
    GetClientRect(Handle(), &client);
    const int grow = std::max(0, bottom + static_cast<int>(units.bottom) - static_cast<int>(client.bottom));
    RECT window = {};
    GetWindowRect(Handle(), &window);
    if (grow > 0 || dx > 0)
        SetWindowPos(Handle(), nullptr, 0, 0, window.right - window.left + std::max(dx, 0),
                     window.bottom - window.top + grow, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CVelqsetDialog::PlaceCustomControls()
{
    RegisterPickerClass();
    CPickerWnd* controls[] = {&huePicker, &lightnessPicker, &sample};
    const int placeholders[] = {IDC_HUE_PICKER, IDC_LIGHTNESS_PICKER, IDC_COLOR_SAMPLE};
    for (int i = 0; i < 3; ++i) {
        HWND placeholder = Item(placeholders[i]);
        if (!placeholder || !controls[i]->Create(Handle()))
            continue;
        const RECT r = ChildRect(Handle(), placeholder);
        HWND before = GetWindow(placeholder, GW_HWNDPREV);
        SetWindowPos(controls[i]->Handle(), before ? before : HWND_TOP, r.left, r.top, r.right - r.left,
                     r.bottom - r.top, SWP_NOACTIVATE | SWP_SHOWWINDOW);
        DestroyWindow(placeholder);
        SetWindowLongPtrW(controls[i]->Handle(), GWLP_ID, placeholders[i]);
    }
}

void CVelqsetDialog::FillLists()
{
    FillCombo(Item(IDC_COLOR_TARGET), kColorTargets, std::size(kColorTargets));
    SendMessageW(Item(IDC_COLOR_TARGET), CB_SETCURSEL, 0, 0);
    colorTarget = 0;
    FillCombo(Item(IDC_HIGHLIGHT_EDGE), kEdgeWidths, std::size(kEdgeWidths));
    FillCombo(Item(IDC_SUBMENU_MARK), kSubmenuMarks, std::size(kSubmenuMarks));
    FillCombo(Item(IDC_USE_TEXTURE), kTextureChoices, std::size(kTextureChoices));
    SendMessageW(Item(IDC_ALPHA_SLIDER), TBM_SETRANGE, FALSE, MAKELPARAM(0, 255));
}

void CVelqsetDialog::ReadTextureShift()
{
    const CTextureShift shift = LoadTextureShift(store);
    textureShiftX = shift.x;
    textureShiftY = shift.y;
    // The shift edits store what they show at any time, which is what was read.
    SetItemText(IDC_SHIFT_X, std::to_wstring(textureShiftX));
    SetItemText(IDC_SHIFT_Y, std::to_wstring(textureShiftY));
}

void CVelqsetDialog::RestorePosition()
{
    const int left = store.GetInt(kSectionWindowPos, kPositionLeft, kNoPosition);
    if (left == kNoPosition)
        return;
    const int top = store.GetInt(kSectionWindowPos, kPositionTop, kNoPosition);
    WINDOWPLACEMENT placement = {};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(Handle(), &placement))
        return;
    RECT& r = placement.rcNormalPosition;
    OffsetRect(&r, left - r.left, top - r.top);
    placement.showCmd = SW_SHOWNORMAL;
    SetWindowPlacement(Handle(), &placement);
}

void CVelqsetDialog::Close()
{
    if (isTheInstance) {
        instanceBlock.reset();
        WINDOWPLACEMENT placement = {};
        placement.length = sizeof(placement);
        if (GetWindowPlacement(Handle(), &placement)) {
            store.SetInt(kSectionWindowPos, kPositionLeft, placement.rcNormalPosition.left);
            store.SetInt(kSectionWindowPos, kPositionTop, placement.rcNormalPosition.top);
        }
    }
    EndDialog(IDCANCEL);
}

// ---- filling the controls ----

void CVelqsetDialog::RefreshAll()
{
    CInternalUpdateAnchor anchor(&updateCounter);
    for (int i = 0; i < 4; ++i)
        CheckDlgButton(Handle(), kModeButtons[i], settings.drawType == i ? BST_CHECKED : BST_UNCHECKED);
    ShowFontDescription();
    CheckDlgButton(Handle(), IDC_COMPACT_WIDTH, settings.compactWidth != 0 ? BST_CHECKED : BST_UNCHECKED);
    SetItemText(IDC_PADDING, std::to_wstring(settings.padding));
    SetItemText(IDC_SEPARATOR_HEIGHT, std::to_wstring(settings.separatorHeight));
    SendMessageW(Item(IDC_HIGHLIGHT_EDGE), CB_SETCURSEL, settings.highlightEdge, 0);
    SendMessageW(Item(IDC_SUBMENU_MARK), CB_SETCURSEL, settings.submenuMark, 0);
    SendMessageW(Item(IDC_USE_TEXTURE), CB_SETCURSEL, settings.useTexture != 0 ? 1 : 0, 0);
    SetItemText(IDC_TEXTURE_FILE, settings.textureFile);
    PrepareTexturePreview();
    alphaMode = AlphaMode(colorTarget, settings.useTexture);
    OnTargetChanged();
}

void CVelqsetDialog::UpdateVisibility()
{
    const CCustomizerView view{settings.drawType, colorTarget, settings.useTexture, shiftControlsShown};
    for (const CControlState& control : ControlVisibility(view)) {
        HWND window = Item(control.id);
        if (!window)
            continue;
        ShowWindow(window, control.shown ? SW_SHOW : SW_HIDE);
        EnableWindow(window, control.shown);
    }
}

void CVelqsetDialog::ShowFontDescription()
{
    SetItemText(IDC_FONT_TEXT,
                DescribeFont(settings.fontName, settings.fontSize, settings.fontWeight, settings.fontItalic));
}

void CVelqsetDialog::OnTargetChanged()
{
    alphaMode = AlphaMode(colorTarget, settings.useTexture);
    const XColorRef color = settings.colors[static_cast<size_t>(colorTarget)];
    r = ODMRed(color);
    g = ODMGreen(color);
    b = ODMBlue(color);
    a = alphaMode ? settings.alphaHighlight : 255;
    const CHlsColor hls = RgbToHls(r, g, b);
    h = std::min(hls.h, kMaxHue);
    l = hls.l;
    s = hls.s;
    {
        CInternalUpdateAnchor anchor(&updateCounter);
        WriteRgbEdits();
        WriteHlsEdits();
        WriteHex();
        if (alphaMode) {
            WriteNumber(IDC_A, a);
            SendMessageW(Item(IDC_ALPHA_SLIDER), TBM_SETPOS, TRUE, a);
        }
    }
    GivePickersColor();
    UpdateSample();
    UpdateVisibility();
}

void CVelqsetDialog::UpdateSample()
{
    sample.SetColor(SampleColor(colorTarget, alphaMode, settings.useTexture, CArgb{a, r, g, b}));
    InvalidateRect(sample.Handle(), nullptr, FALSE);
}

void CVelqsetDialog::PrepareTexturePreview()
{
    texturePreview.reset();
    if (settings.useTexture != 0) {
        if (std::unique_ptr<Gdiplus::Bitmap> image = LoadTextureImage(settings.textureFile)) {
            const INT width = static_cast<INT>(image->GetWidth());
            const INT height = static_cast<INT>(image->GetHeight());
            auto copy = std::make_shared<Gdiplus::Bitmap>(width, height, PixelFormat24bppRGB);
            if (copy->GetLastStatus() == Gdiplus::Ok) {
                Gdiplus::Graphics graphics(copy.get());
                graphics.DrawImage(image.get(), Gdiplus::Rect(0, 0, width, height), 0, 0, width, height,
                                   Gdiplus::UnitPixel);
                texturePreview = std::move(copy);
            }
        }
    }
    sample.SetTexture(texturePreview);
}

// ---- writing values ----

void CVelqsetDialog::WriteValue(XODMValue value)
{
    const CODMValueDef& def = ODMValueDef(value);
    if (def.type == XODMValueType::Text)
        store.SetString(kSectionSettings, def.name, GetODMText(settings, value));
    else
        store.SetInt(kSectionSettings, def.name, GetODMInt(settings, value));
}

void CVelqsetDialog::WriteTargetColor()
{
    WriteValue(TargetColorValue(colorTarget));
}

// ---- the working colour ----

bool CVelqsetDialog::Dragging() const
{
    return huePicker.Tracking() || lightnessPicker.Tracking() || sliderDragging;
}

void CVelqsetDialog::Apply()
{
    settings.colors[static_cast<size_t>(colorTarget)] =
        static_cast<XColorRef>(r) | static_cast<XColorRef>(g) << 8 | static_cast<XColorRef>(b) << 16;
    UpdateSample();
    const bool opacity = alphaMode && colorTarget == kColorHighlightBack;
    if (opacity)
        settings.alphaHighlight = a;
    if (Dragging())
        return;
    WriteTargetColor();
    if (opacity)
        WriteValue(XODMValue::AlphaHighlight);
}

int* CVelqsetDialog::WorkingValue(int id)
{
    switch (id) {
    case IDC_R:
        return &r;
    case IDC_G:
        return &g;
    case IDC_B:
        return &b;
    case IDC_A:
        return &a;
    case IDC_H:
        return &h;
    case IDC_S:
        return &s;
    case IDC_L:
        return &l;
    }
    return nullptr;
}

int CVelqsetDialog::ReadColorEdit(int id) const
{
    return ReadColorEditNumber(ItemText(id), ColorEditMaximum(id));
}

void CVelqsetDialog::WriteNumber(int id, int value)
{
    CInternalUpdateAnchor anchor(&updateCounter);
    SetDlgItemInt(Handle(), id, static_cast<UINT>(value), FALSE);
}

void CVelqsetDialog::WriteRgbEdits()
{
    WriteNumber(IDC_R, r);
    WriteNumber(IDC_G, g);
    WriteNumber(IDC_B, b);
}

void CVelqsetDialog::WriteHlsEdits()
{
    WriteNumber(IDC_H, h);
    WriteNumber(IDC_S, s);
    WriteNumber(IDC_L, l);
}

void CVelqsetDialog::WriteHex()
{
    CInternalUpdateAnchor anchor(&updateCounter);
    SetItemText(IDC_HEX, FormatColorHex(a, r, g, b, alphaMode));
}

void CVelqsetDialog::GivePickersColor()
{
    huePicker.SetHueSaturation(h, s);
    lightnessPicker.SetColor(h, s, l);
}

void CVelqsetDialog::OnColorEditChanged(int id)
{
    if (updateCounter > 0)
        return;
    const int value = ReadColorEdit(id);
    switch (id) {
    case IDC_R:
    case IDC_G:
    case IDC_B: {
        *WorkingValue(id) = value;
        const CHlsColor hls = RgbToHls(r, g, b);
        h = std::min(hls.h, kMaxHue);
        l = hls.l;
        s = hls.s;
        WriteHlsEdits();
        GivePickersColor();
        Apply();
        WriteHex();
        break;
    }
    case IDC_A:
        a = value;
        SendMessageW(Item(IDC_ALPHA_SLIDER), TBM_SETPOS, TRUE, a);
        WriteHex();
        Apply();
        break;
    case IDC_H:
    case IDC_S:
    case IDC_L: {
        *WorkingValue(id) = value;
        const CRgbColor rgb = HlsToRgb(h, l, s);
        r = rgb.r;
        g = rgb.g;
        b = rgb.b;
        WriteRgbEdits();
        WriteHex();
        Apply();
        GivePickersColor();
        break;
    }
    }
}

void CVelqsetDialog::OnColorEditLeft(int id)
{
    if (updateCounter > 0)
        return;
    if (int* value = WorkingValue(id))
        WriteNumber(id, *value);
}

void CVelqsetDialog::OnHexChanged()
{
    if (updateCounter > 0)
        return;
    const CArgb parsed = ParseColorHex(ItemText(IDC_HEX), alphaMode);
    a = parsed.a;
    r = parsed.r;
    g = parsed.g;
    b = parsed.b;
    WriteRgbEdits();
    if (alphaMode)
        WriteNumber(IDC_A, a);
    SendMessageW(Item(IDC_ALPHA_SLIDER), TBM_SETPOS, TRUE, a);
    const CHlsColor hls = RgbToHls(r, g, b);
    h = std::min(hls.h, kMaxHue);
    l = hls.l;
    s = hls.s;
    WriteHlsEdits();
    GivePickersColor();
    Apply();
}

void CVelqsetDialog::OnPickerChanged(WPARAM id, LPARAM value)
{
    if (static_cast<int>(id) == IDC_HUE_PICKER) {
        h = LOWORD(value);
        s = HIWORD(value);
        lightnessPicker.SetHueSaturation(h, s);
    } else if (static_cast<int>(id) == IDC_LIGHTNESS_PICKER) {
        l = static_cast<int>(value & 0xFF);
    } else {
        return;
    }
    WriteHlsEdits();
    const CRgbColor rgb = HlsToRgb(h, l, s);
    r = rgb.r;
    g = rgb.g;
    b = rgb.b;
    WriteRgbEdits();
    WriteHex();
    Apply();
}

void CVelqsetDialog::OnOpacitySlider(WPARAM code)
{
    sliderDragging = LOWORD(code) != TB_ENDTRACK;
    a = static_cast<int>(SendMessageW(Item(IDC_ALPHA_SLIDER), TBM_GETPOS, 0, 0));
    WriteNumber(IDC_A, a);
    WriteHex();
    Apply();
}

// ---- the other controls ----

void CVelqsetDialog::OnModeClicked()
{
    for (int i = 0; i < 4; ++i) {
        if (IsDlgButtonChecked(Handle(), kModeButtons[i]) == BST_CHECKED) {
            settings.drawType = i;
            WriteValue(XODMValue::DrawType);
            break;
        }
    }
    UpdateVisibility();
}

void CVelqsetDialog::OnNumberChanged(int id)
{
    const bool shift = id == IDC_SHIFT_X || id == IDC_SHIFT_Y;
    if (!shift && updateCounter > 0)
        return;
    const int value = ParseODMEditNumber(ItemText(id));
    switch (id) {
    case IDC_PADDING:
        if (value != settings.padding) {
            settings.padding = value;
            WriteValue(XODMValue::Padding);
        }
        break;
    case IDC_SEPARATOR_HEIGHT:
        if (value != settings.separatorHeight) {
            settings.separatorHeight = value;
            WriteValue(XODMValue::SeparatorHeight);
        }
        break;
    case IDC_SHIFT_X:
        if (value != textureShiftX) {
            textureShiftX = value;
            store.SetInt(kSectionSettings, kTextureShiftXValue, value);
        }
        break;
    case IDC_SHIFT_Y:
        if (value != textureShiftY) {
            textureShiftY = value;
            store.SetInt(kSectionSettings, kTextureShiftYValue, value);
        }
        break;
    }
}

void CVelqsetDialog::OnListChanged(int id)
{
    if (id == IDC_COMPACT_WIDTH) {
        settings.compactWidth = IsDlgButtonChecked(Handle(), IDC_COMPACT_WIDTH) == BST_CHECKED ? 1 : 0;
        WriteValue(XODMValue::CompactWidth);
        return;
    }
    const LRESULT selection = SendMessageW(Item(id), CB_GETCURSEL, 0, 0);
    if (selection < 0)
        return;
    const int index = static_cast<int>(selection);
    switch (id) {
    case IDC_HIGHLIGHT_EDGE:
        settings.highlightEdge = index;
        WriteValue(XODMValue::HighlightEdge);
        break;
    case IDC_SUBMENU_MARK:
        settings.submenuMark = index;
        WriteValue(XODMValue::SubmenuMark);
        break;
    case IDC_USE_TEXTURE:
        settings.useTexture = index == 1 ? 1 : 0;
        WriteValue(XODMValue::UseTexture);
        // The sample shows the texture as soon as it is chosen.
        PrepareTexturePreview();
        OnTargetChanged();
        break;
    }
}

void CVelqsetDialog::OnFontButton()
{
    LOGFONTW font = {};
    {
        CWindowDCHandle dc(Handle());
        const int pixelsPerInch = dc ? GetDeviceCaps(dc.get(), LOGPIXELSY) : 96;
        font.lfHeight = -static_cast<LONG>(static_cast<long long>(settings.fontSize / 10) * pixelsPerInch / 72);
    }
    font.lfWeight = settings.fontWeight;
    font.lfItalic = settings.fontItalic != 0;
    font.lfCharSet = SHIFTJIS_CHARSET;
    const std::wstring face = ODMFaceName(settings.fontName);
    std::copy(face.begin(), face.end(), font.lfFaceName);

    CHOOSEFONTW choice = {};
    choice.lStructSize = sizeof(choice);
    choice.hwndOwner = Handle();
    choice.lpLogFont = &font;
    choice.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_NOVERTFONTS;
    if (!ChooseFontW(&choice))
        return;
    settings.fontName = font.lfFaceName;
    settings.fontSize = choice.iPointSize;
    settings.fontWeight = font.lfWeight;
    settings.fontItalic = font.lfItalic != 0 ? 1 : 0;
    WriteValue(XODMValue::FontName);
    WriteValue(XODMValue::FontSize);
    WriteValue(XODMValue::FontWeight);
    WriteValue(XODMValue::FontItalic);
    ShowFontDescription();
}

void CVelqsetDialog::OnTextureButton()
{
    const std::wstring filter = ImageFilter();
    std::vector<wchar_t> file(32768, L'\0');
    const size_t length = std::min(settings.textureFile.size(), file.size() - 1);
    std::copy_n(settings.textureFile.begin(), length, file.begin());

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof(dialog);
    dialog.hwndOwner = Handle();
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.Flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
    if (!GetOpenFileNameW(&dialog))
        return;
    settings.textureFile = file.data();
    SetItemText(IDC_TEXTURE_FILE, settings.textureFile);
    WriteValue(XODMValue::TextureFile);
    PrepareTexturePreview();
    UpdateSample();
}

// ---- profiles ----

std::wstring CVelqsetDialog::ProfileText() const
{
    return ItemText(IDC_PROFILE);
}

void CVelqsetDialog::ReadProfileList()
{
    profileNames = ReadProfileNames(store);
}

void CVelqsetDialog::CheckLastProfile()
{
    const std::wstring last = store.GetString(kSectionSettings, kLastLoadProfileValue, L"");
    if (last.empty())
        return;
    const std::optional<CODMSettings> profile = ReadProfile(store, last);
    if (profile && ProfilesEqual(*profile, settings))
        SetItemText(IDC_PROFILE, last);
}

void CVelqsetDialog::UpdateProfileButtons()
{
    const std::wstring text = ProfileText();
    const bool listed = FindProfileName(profileNames, text).has_value();
    EnableWindow(Item(IDC_PROFILE_LOAD), listed);
    EnableWindow(Item(IDC_PROFILE_DELETE), listed);
    EnableWindow(Item(IDC_PROFILE_SAVE), !text.empty());
}

void CVelqsetDialog::OnProfileDropDown()
{
    HWND combo = Item(IDC_PROFILE);
    const std::wstring text = ProfileText();
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    for (const std::wstring& name : profileNames)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    SetWindowTextW(combo, text.c_str());
}

void CVelqsetDialog::OnProfileSelected()
{
    UpdateProfileButtons();
    LoadProfile();
}

void CVelqsetDialog::LoadProfile()
{
    const std::wstring name = ProfileText();
    if (name.empty())
        return;
    const std::optional<CODMSettings> profile = ReadProfile(store, name);
    if (!profile) {
        ShowCustomizerMessage(Handle(), kProfileLoadFailed, MB_OK);
        return;
    }
    settings = *profile;
    RefreshAll();
    SaveODMSettings(store, settings);
    store.SetString(kSectionSettings, kLastLoadProfileValue, name);
}

void CVelqsetDialog::SaveProfile()
{
    const std::wstring name = ProfileText();
    if (name.empty())
        return;
    if (FindProfileName(profileNames, name) &&
        ShowCustomizerMessage(Handle(), name + kOverwriteQuestion, MB_YESNO) != IDYES)
        return;
    WriteProfile(store, name, settings);
    store.SetString(kSectionSettings, kLastLoadProfileValue, name);
    ReadProfileList();
    UpdateProfileButtons();
}

void CVelqsetDialog::DeleteProfile()
{
    const std::wstring name = ProfileText();
    if (!FindProfileName(profileNames, name))
        return;
    if (ShowCustomizerMessage(Handle(), name + kDeleteQuestion, MB_YESNO) != IDYES)
        return;
    SetItemText(IDC_PROFILE, L"");
    ::DeleteProfile(store, name);
    ReadProfileList();
    UpdateProfileButtons();
}
