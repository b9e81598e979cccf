#pragma once
// The launcher's hidden main window: the notification icon, the two menu trees, the
// launcher's commands and the registered-message protocol of the other programs.

#include <windows.h>
// KNOWNFOLDERID
#include <shlobj.h>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <unordered_map>
#include <vector>

#include "HotKeyList.h"
#include "MenuBuild.h"
#include "OdmRenderer_win.h"
#include "Settings.h"
#include "WinHandles.h"
#include "XNode.h"
#include "XWnd.h"

// The number of "TaskbarCreated" in this process.
extern UINT taskbarCreatedMessage;

class CMainFrame : public CXFrameWnd {
public:
    // A second start only posts its command and ends while another launcher runs: its
    // frame reads nothing from the store, registers no hotkey, saves nothing and shows no
    // icon, so that the running launcher's registrations and stored ids stay as they are.
    explicit CMainFrame(bool secondStart);
    ~CMainFrame() override;

    // Creates the hidden window (never shown).
    bool CreateFrame();

    void ReloadFromStore(unsigned flags);
    // The one entry point of the popup menus: byHotkey places the menu at the "MenuPos"
    // corner, otherwise at the cursor; the menu itself opens from the posted 32779.
    void RequestMenu(bool byHotkey, bool right);
    bool AddNotificationIcon();
    void RemoveNotificationIcon();

    int refreshPending = 0;
    CXRoot leftRoot{kLeftMenuName, 1};
    CXRoot rightRoot{kRightMenuName, 2};
    // "Separate", "ExitPos", "MenuPos", "ShowHotKey", the workaround pair, "AvoidTaskBar",
    // "TheSubMenuAccelerator".
    CBehaviourSettings behaviour;
    CHotKeyManager hotKeyManager;
    CFixedHotKeys fixedHotKeys;
    POINT menuAnchor = {};
    int menuCorner = 0;
    int menuIsRight = 0;
    int menuRequests = 0; // requests that got past the guard
    int ownIconIndex = -1;
    CBitmapHandle ownIconBitmap;

    // Process-wide guards: a request preparing a menu, a menu being built and tracked.
    static inline int menuRequestBusy = 0;
    static inline int menuBusy = 0;
    // One menu show (MenuShow_win.cpp): the clones behind the ids 40000 + k, the popups and
    // the item bitmaps of the system-drawn mode, one per image index.
    std::vector<std::unique_ptr<CXItem>> itemSlots;
    // Where each slot's entry is: its popup and position (a null popup: not inserted).
    struct CSlotPlace {
        HMENU menu = nullptr;
        UINT position = 0;
    };
    std::vector<CSlotPlace> slotPlaces;
    std::vector<CMenuHandle> openMenus;
    std::unordered_map<int, CBitmapHandle> itemBitmaps;
    // Owner drawing (OdmRenderer_win.cpp).
    CODMShow odm;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    LRESULT OnCreate();
    void OnDestroy();
    LRESULT OnLauncherMessage(WPARAM wParam, LPARAM lParam);
    void OnNotifyIcon(WPARAM wParam, LPARAM lParam);
    void OnShowPreparedMenu();

    // Popup menus (MenuShow_win.cpp)
    void ShowMenu();
    HMENU NewPopup();
    // The popups of a plan, the first being the tree's menu (null when it could not be made).
    HMENU BuildMenus(const CMenuPlan& plan, HDC dc, SIZE checkMark);
    HBITMAP ItemBitmap(const CXItem& item, HDC dc, SIZE checkMark);
    // A menu opens at once with the icons known so far; the missing ones are looked up at
    // idle time while it is shown, those of the open popups first, and each entry shows its
    // icon as soon as it is known. False when the deadline came first.
    bool UpdateShownMenuImages(std::chrono::steady_clock::time_point deadline);
    void ShowItemImage(const CSlotPlace& place, const CXItem& item, HDC dc, SIZE checkMark);
    // An entry's icon: the owner-drawn record's image index, or the system-drawn bitmap.
    void SetEntryImage(const CSlotPlace& place, int imageIndex, HBITMAP bitmap);
    void ReleaseMenuShow();

    // Owner drawing (OdmRenderer_win.cpp)
    void LoadAppearanceAtCreation();
    void BeginODMMenu();
    // Makes the drawing record of an entry about to be inserted with info (its type, and its
    // submenu if any, already set), and marks the entry owner-drawn with the record as its data.
    void AttachODMItem(MENUITEMINFOW& info, const std::shared_ptr<CODMCommonItem>& common, const std::wstring& text,
                       int imageIndex);
    void MeasureODMItems();
    int MeasureODMText(HDC dc, const std::wstring& text);
    void MeasureODMPopupTexts(const CODMCommonItem* common);
    LRESULT MeasureODMItem(WPARAM wParam, LPARAM lParam);
    LRESULT DrawODMItem(WPARAM wParam, LPARAM lParam);
    void EndODMMenu();
    // The kept "MENU" theme, opened when there is none or the theme changed; null without
    // visual styles.
    HTHEME MenuTheme();
    void CloseMenuTheme();
    HBRUSH PopupBackgroundBrush() const;
    LRESULT OnHotKey(WPARAM wParam, LPARAM lParam);
    LRESULT OnQueryEndSession();
    LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
    void OnWindowGone() override;

    // Commands (MainFrameCommands.cpp)
    bool RunCommand(unsigned id);
    void OnSettings();
    void OnCustomize();
    void OnOpenKnownFolder(const KNOWNFOLDERID& folder);
    void OnHomePage();
    void OnRefresh();
    void OnAppExit();
    void OnRestart();
    void OnForceClose();
    void OnDeleteSettingsAndClose();
    // A message box or dialog of the launcher in front of the main window, brought to the
    // foreground with a beep; null when there is none.
    HWND BringOwnPopupForward();
    void StartProgramBeside(const wchar_t* fileName);

    // The fixed icons of the image list and the launcher's own icon for its submenu, made
    // after start-up (the shell's first icon costs tens of milliseconds, the fixed icons
    // several), in the first idle step or by the first menu that comes sooner.
    // False while the warm-up thread runs (nothing is done then).
    bool CompleteStartUpImages();
    // Looks up the icons of both trees that are still unknown, for a short while per call;
    // posts itself again until none is left.
    void OnUpdateImagesAtIdle();
    // Registers every binding, then stores the fixed list and both trees with the new ids.
    void RegisterHotKeysAtStartUp();

    // Loads the fixed icons and asks the shell for the launcher's own icon on a thread of its
    // own: the shell's first answer in a process takes tens of milliseconds, which a menu
    // opened right after start would otherwise wait for. The thread posts the first idle step
    // when it ends.
    void StartImageWarmUp();

    bool secondStart;
    // While the constructor loads the trees: their icons are looked up after start-up.
    bool imagesAfterStartUp = false;
    bool startUpImagesDone = false;
    CKernelHandle imageWarmUp; // the warm-up thread until the first idle step has seen it end
    // The own submenu's entry in the menu being shown, when it went in before its icon was
    // known; and whether the fixed icons came while the menu was shown.
    CSlotPlace ownEntryPending;
    bool fixedIconsCameDuringMenu = false;
    CIconHandle notifyIcon;
    std::atomic<int> settingsGuard{0};
    std::atomic<int> customizeGuard{0};
    std::atomic<int> homePageGuard{0};
    std::atomic<int> refreshGuard{0};
};
