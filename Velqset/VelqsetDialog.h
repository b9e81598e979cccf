#pragma once
// The customizer's dialog: every control edits one appearance value and writes it at once,
// so that the launcher's next menu shows it while the dialog stays open.

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ColorPickers.h"
#include "ODMSettings.h"
#include "WinHandles.h"
#include "XDialog.h"

class CSettingsStore;

// While one exists, the dialog is filling its own controls: their change handlers ignore the
// changes.
class CInternalUpdateAnchor {
public:
    explicit CInternalUpdateAnchor(int* counter) : counter(counter) { ++*counter; }
    ~CInternalUpdateAnchor() { --*counter; }
    CInternalUpdateAnchor(const CInternalUpdateAnchor&) = delete;
    CInternalUpdateAnchor& operator=(const CInternalUpdateAnchor&) = delete;

private:
    int* counter;
};

class CVelqsetDialog : public CXDialog {
public:
    explicit CVelqsetDialog(CSettingsStore& store);

protected:
    INT_PTR DialogProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    bool OnInitDialog() override;
    // Enter changes nothing; Esc and the close box close.
    void OnOK() override {}
    void OnCancel() override { Close(); }
    bool PreTranslateMessage(MSG& message) override;

private:
    bool BecomeTheInstance();
    void SetIcons();
    void LayOut();
    void PlaceCustomControls();
    void FillLists();
    void ReadTextureShift();
    void RestorePosition();
    void Close();

    // Filling the controls from the values
    void RefreshAll();
    void UpdateVisibility();
    void ShowFontDescription();
    void OnTargetChanged();
    void UpdateSample();
    void PrepareTexturePreview();

    // Writing single values
    void WriteValue(XODMValue value);
    void WriteTargetColor();

    // The working colour
    void Apply();
    bool Dragging() const;
    // The working colour's component that a colour edit shows; null for other controls.
    int* WorkingValue(int id);
    int ReadColorEdit(int id) const;
    void WriteNumber(int id, int value);
    void WriteRgbEdits();
    void WriteHlsEdits();
    void WriteHex();
    void GivePickersColor();
    void OnColorEditChanged(int id);
    void OnColorEditLeft(int id);
    void OnHexChanged();
    void OnPickerChanged(WPARAM id, LPARAM value);
    void OnOpacitySlider(WPARAM code);

    // The other controls
    void OnModeClicked();
    void OnNumberChanged(int id);
    void OnListChanged(int id);
    void OnFontButton();
    void OnTextureButton();

    // Profiles
    std::wstring ProfileText() const;
    void ReadProfileList();
    void CheckLastProfile();
    void UpdateProfileButtons();
    void OnProfileDropDown();
    void OnProfileSelected();
    void LoadProfile();
    void SaveProfile();
    void DeleteProfile();

    CSettingsStore& store;
    CKernelHandle instanceBlock;
    bool isTheInstance = false;
    std::vector<std::wstring> profileNames;
    CODMSettings settings;
    int textureShiftX = kTextureShiftDefault;
    int textureShiftY = kTextureShiftDefault;
    int colorTarget = 0;
    int updateCounter = 0;
    std::shared_ptr<Gdiplus::Bitmap> texturePreview;
    HICON icon = nullptr;
    bool shiftControlsShown = false;
    CColorPickerCtrl huePicker;
    CLightnessPickerCtrl lightnessPicker;
    CXColorSampleCtrl sample;
    int h = 0, s = 0, l = 0, a = 255, r = 0, g = 0, b = 0;
    bool sliderDragging = false;
    bool alphaMode = false;
};
