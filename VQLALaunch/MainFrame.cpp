#include "MainFrame.h"

#include <shellapi.h>

#include <chrono>

#include "HotKeys_win.h"
#include "Ids.h"
#include "InstanceBlock_win.h"
#include "Platform.h"
#include "SettingsStore.h"
#include "VQLALaunchApp.h"

UINT taskbarCreatedMessage = 0;

namespace {
const wchar_t kFrameClassName[] = L"VQLALaunchMainFrame";
const wchar_t kTaskbarUnavailable[] = L"タスクバーにアクセスできません";
constexpr UINT kNotifyIconId = 1;
constexpr int kNotifyIconAttempts = 100;
constexpr DWORD kNotifyIconRetryDelayMs = 100;
// Long enough to get through many cached paths, short enough that a hotkey pressed
// meanwhile is answered without a noticeable delay.
constexpr auto kIdleImageSlice = std::chrono::milliseconds(15);

struct CImageSlice {
    std::chrono::steady_clock::time_point deadline;
    bool unfinished = false;
};

int UpdateOneItemImage(CXNode* node, intptr_t a, intptr_t)
{
    auto& slice = *reinterpret_cast<CImageSlice*>(a);
    CXItem* item = XDynamicCast<CXItem>(node);
    if (!item || item->imageIndex >= 0)
        return 1;
    if (std::chrono::steady_clock::now() >= slice.deadline) {
        slice.unfinished = true;
        return 0;
    }
    item->UpdateImages();
    return 1;
}

// A pressed fixed hotkey does what the launcher's own command of the same target does.
class CFrameHotKeyActions : public CHotKeyActions {
public:
    explicit CFrameHotKeyActions(CMainFrame& frame) : frame(frame) {}
    void ShowMenu(bool right) override { frame.RequestMenu(true, right); }
    void RunCommand(int commandId) override { SendMessageW(frame.Handle(), WM_COMMAND, commandId, 0); }
    void OpenFolder(XFixedHotKey which) override
    {
        static const int folderCommands[] = {ID_OPEN_START_MENU_USER, ID_OPEN_START_MENU_COMMON, ID_OPEN_STARTUP_USER,
                                             ID_OPEN_STARTUP_COMMON};
        RunCommand(folderCommands[which - kHotKeyUserStartMenu]);
    }

private:
    CMainFrame& frame;
};

#ifdef _WIN64
// The full current layout of the record, as the shell expects it.
static_assert(sizeof(NOTIFYICONDATAW) == 976);
#endif
} // namespace

CMainFrame::CMainFrame(bool secondStart) : secondStart(secondStart)
{
    if (!taskbarCreatedMessage)
        taskbarCreatedMessage = RegisterWindowMessageW(L"TaskbarCreated");
    if (secondStart)
        return;
    // A shell icon look-up per distinct path takes long enough, with large menus, to delay
    // start-up by seconds; the icons follow at idle time instead, and a menu opened before
    // they are all known shows at once and gets its missing ones while it is open.
    imagesAfterStartUp = true;
    ReloadFromStore(kReloadAll);
    imagesAfterStartUp = false;
}

CMainFrame::~CMainFrame() = default;

bool CMainFrame::CreateFrame()
{
    if (!RegisterWindowClass(kFrameClassName))
        return false;
    const RECT rect = {0, 0, 100, 100};
    return Create(kFrameClassName, kAppName, WS_OVERLAPPEDWINDOW, rect);
}

void CMainFrame::ReloadFromStore(unsigned flags)
{
    if (flags & kReloadLeftMenu) {
        leftRoot.DeleteChildren();
        leftRoot.Load();
        if (!imagesAfterStartUp)
            leftRoot.UpdateImages();
    }
    if (flags & kReloadRightMenu) {
        rightRoot.DeleteChildren();
        rightRoot.Load();
        if (!imagesAfterStartUp)
            rightRoot.UpdateImages();
    }
    if (flags & kReloadBehaviour)
        behaviour = LoadBehaviourSettings(Store(), App().isWindows10OrLater != 0);
    // Only the stored records are read again; what is registered stays as it is.
    if (flags & kReloadFixedHotKeys)
        LoadHotKeys(fixedHotKeys);
}

bool CMainFrame::AddNotificationIcon()
{
    RemoveNotificationIcon();
    if (!notifyIcon) {
        notifyIcon.reset(
            static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
    }
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = Handle();
    data.uID = kNotifyIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_NOTIFY_ICON;
    data.hIcon = notifyIcon.get();
    lstrcpynW(data.szTip, kAppName, static_cast<int>(std::size(data.szTip)));

    for (int attempt = 0; attempt < kNotifyIconAttempts; ++attempt) {
        if (Shell_NotifyIconW(NIM_ADD, &data))
            return true;
        // The shell may still be starting (launcher in the Startup folder).
        Sleep(kNotifyIconRetryDelayMs);
    }
    Platform().ShowMessage(kTaskbarUnavailable);
    return false;
}

void CMainFrame::RemoveNotificationIcon()
{
    NOTIFYICONDATAW data = {};
    data.cbSize = sizeof(data);
    data.hWnd = Handle();
    data.uID = kNotifyIconId;
    Shell_NotifyIconW(NIM_DELETE, &data);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // Registered messages have no constant number.
    if (launcherMessage && message == launcherMessage)
        return OnLauncherMessage(wParam, lParam);
    if (taskbarCreatedMessage && message == taskbarCreatedMessage) {
        if (!secondStart)
            AddNotificationIcon();
        return 0;
    }
    switch (message) {
    case WM_CREATE:
        return OnCreate();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_NOTIFY_ICON:
        OnNotifyIcon(wParam, lParam);
        return 0;
    case WM_SHOW_PREPARED_MENU:
        OnShowPreparedMenu();
        return 0;
    case WM_UPDATE_IMAGES_AT_IDLE:
        OnUpdateImagesAtIdle();
        return 0;
    case WM_THEMECHANGED:
        // A menu being shown goes on drawing with its theme; the next one opens the new one.
        odm.menuThemeStale = true;
        return Default(message, wParam, lParam);
    case WM_MEASUREITEM:
        return MeasureODMItem(wParam, lParam);
    case WM_DRAWITEM:
        return DrawODMItem(wParam, lParam);
    case WM_HOTKEY:
        return OnHotKey(wParam, lParam);
    case WM_QUERYENDSESSION:
        return OnQueryEndSession();
    case WM_COMMAND:
        return OnCommand(wParam, lParam);
    default:
        return Default(message, wParam, lParam);
    }
}

LRESULT CMainFrame::OnCreate()
{
    App().Win32Platform().mainWindow = Handle();
    if (secondStart)
        return 0;
    // The first menu finds the texture ready.
    LoadAppearanceAtCreation();
    RegisterHotKeysAtStartUp();
    AddNotificationIcon();
    StartImageWarmUp();
    return 0;
}

namespace {
constexpr SIZE_T kWarmUpStackBytes = 256 * 1024;

struct CImageWarmUp {
    HWND window;
    CImageListMan* images;
    std::wstring modulePath;
};

DWORD WINAPI WarmUpImages(void* parameter)
{
    std::unique_ptr<CImageWarmUp> work(static_cast<CImageWarmUp*>(parameter));
    work->images->PrepareFixedIcons();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    SHFILEINFOW info = {};
    SHGetFileInfoW(work->modulePath.c_str(), 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
    if (SUCCEEDED(com))
        CoUninitialize();
    PostMessageW(work->window, WM_UPDATE_IMAGES_AT_IDLE, 0, 0);
    return 0;
}
} // namespace

void CMainFrame::StartImageWarmUp()
{
    auto work = std::make_unique<CImageWarmUp>(CImageWarmUp{Handle(), &App().imageListMan, App().modulePath});
    // A small stack: Wine keeps a thread's whole stack committed, and its memory after the
    // thread has ended, in the process's private bytes.
    imageWarmUp.reset(
        CreateThread(nullptr, kWarmUpStackBytes, WarmUpImages, work.get(), STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (imageWarmUp)
        work.release(); // the thread's now
    else
        PostMessageW(Handle(), WM_UPDATE_IMAGES_AT_IDLE, 0, 0);
}

void CMainFrame::OnUpdateImagesAtIdle()
{
    // The first step comes from the warm-up thread as it ends.
    if (imageWarmUp) {
        WaitForSingleObject(imageWarmUp.get(), INFINITE);
        imageWarmUp.reset();
    }
    // A request waiting behind this step goes first (a menu being shown gets its icons here).
    if (!menuBusy && HIWORD(GetQueueStatus(QS_POSTMESSAGE | QS_HOTKEY | QS_SENDMESSAGE))) {
        PostMessageW(Handle(), WM_UPDATE_IMAGES_AT_IDLE, 0, 0);
        return;
    }
    const bool startUpImagesBefore = startUpImagesDone;
    CompleteStartUpImages();
    if (menuBusy && !startUpImagesBefore)
        fixedIconsCameDuringMenu = true;
    CImageSlice slice;
    slice.deadline = std::chrono::steady_clock::now() + kIdleImageSlice;
    // A menu being shown gets its icons first.
    if (menuBusy && !UpdateShownMenuImages(slice.deadline))
        slice.unfinished = true;
    else if (leftRoot.ForEach(UpdateOneItemImage, reinterpret_cast<intptr_t>(&slice), 0))
        rightRoot.ForEach(UpdateOneItemImage, reinterpret_cast<intptr_t>(&slice), 0);
    // Posted, not looped: hotkeys, icon clicks and other programs' messages come in between.
    if (slice.unfinished)
        PostMessageW(Handle(), WM_UPDATE_IMAGES_AT_IDLE, 0, 0);
}

bool CMainFrame::CompleteStartUpImages()
{
    if (startUpImagesDone)
        return true;
    if (imageWarmUp)
        return false;
    startUpImagesDone = true;
    App().imageListMan.LoadFixedIcons();
    ownIconIndex = Platform().IconIndexFor(false, App().modulePath);
    const LONG size = GetMenuCheckMarkDimensions();
    CWindowDCHandle screen(nullptr);
    if (!screen)
        return true;
    ownIconBitmap.reset(
        static_cast<HBITMAP>(Platform().CreateMenuBitmap(screen.get(), LOWORD(size), HIWORD(size), ownIconIndex)));
    return true;
}

void CMainFrame::RegisterHotKeysAtStartUp()
{
    // The stored ids are those of the running launcher from now on: the settings tool asks
    // to release a binding by its stored id.
    CWin32HotKeyWindow window(Handle());
    if (::RegisterHotKeysAtStartUp(hotKeyManager, window, fixedHotKeys, leftRoot, rightRoot, behaviour.separate != 0))
        PostMessageW(Handle(), launcherMessage, ID_REFRESH, 0);
}

void CMainFrame::OnDestroy()
{
    Default(WM_DESTROY, 0, 0);
    // The warm-up thread fills the image list's fixed icons, which go with the process.
    if (imageWarmUp)
        WaitForSingleObject(imageWarmUp.get(), 10000);
    RemoveNotificationIcon();
    CWin32HotKeyWindow window(Handle());
    hotKeyManager.UnregisterAll(window);
    CloseToolWindows();
    CloseMenuTheme();
    if (odm.bufferedPaintStarted)
        BufferedPaintUnInit();
    odm.bufferedPaintStarted = false;
}

void CMainFrame::OnWindowGone()
{
    CWin32Platform& platform = App().Win32Platform();
    if (platform.mainWindow && !IsWindow(platform.mainWindow))
        platform.mainWindow = nullptr;
    CXFrameWnd::OnWindowGone();
}

LRESULT CMainFrame::OnLauncherMessage(WPARAM wParam, LPARAM lParam)
{
    switch (static_cast<uint32_t>(wParam)) {
    case kLauncherReload:
        ReloadFromStore(static_cast<unsigned>(lParam));
        return 1;
    case kLauncherRegisterHotKey: {
        // The reply travels sign-extended; the settings tool looks at its low 32 bits only.
        CWin32HotKeyWindow window(Handle());
        return static_cast<int32_t>(hotKeyManager.Register(window, static_cast<int32_t>(lParam)));
    }
    case kLauncherUnregisterHotKey: {
        CWin32HotKeyWindow window(Handle());
        return static_cast<int32_t>(hotKeyManager.Unregister(window, static_cast<int32_t>(lParam)));
    }
    default:
        // Any other value is a command id as a whole: 0x20008004 is not command 0x8004.
        if (wParam > 0xFFFF)
            return 0;
        return SendMessageW(Handle(), WM_COMMAND, wParam, lParam);
    }
}

void CMainFrame::OnNotifyIcon(WPARAM wParam, LPARAM lParam)
{
    (void)wParam;
    // The menu opens on the button's release.
    if (lParam == WM_LBUTTONUP)
        RequestMenu(false, false);
    else if (lParam == WM_RBUTTONUP)
        RequestMenu(false, true);
}

void CMainFrame::OnShowPreparedMenu()
{
    CompleteStartUpImages();
    ShowMenu();
}

LRESULT CMainFrame::OnHotKey(WPARAM wParam, LPARAM lParam)
{
    CFrameHotKeyActions actions(*this);
    // The whole value is the id: one with bits above an int's is nobody's.
    if (wParam <= 0x7FFFFFFF)
        DispatchHotKey(static_cast<int>(wParam), hotKeyManager.Ids(), fixedHotKeys, leftRoot, rightRoot, actions);
    return Default(WM_HOTKEY, wParam, lParam);
}

LRESULT CMainFrame::OnQueryEndSession()
{
    // A dialog of the launcher is still open: the logon may not end under it.
    return BringOwnPopupForward() ? FALSE : TRUE;
}
