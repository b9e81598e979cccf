#include "ForegroundWorkaround_win.h"

#include <cstdlib>

#include "MenuBuild.h"
#include "XWnd.h"

RECT lastGoodMomentRect = {0, 0, 8, 8};

namespace {
const wchar_t kStayingClassName[] = L"VQLALaunchJustStaying";
const wchar_t kMomentClassName[] = L"VQLALaunchMoment";
constexpr UINT_PTR kMomentTimer = 100;

// Stays in front while the moment windows come and go, so that the foreground does not fall
// back to another program between two repetitions.
class CJustStayingWnd : public CXWnd {
public:
    bool Create()
    {
        RegisterWindowClass(kStayingClassName);
        return CreateEx(WS_EX_TOOLWINDOW, kStayingClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1);
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT) {
            ValidateRect(Handle(), nullptr);
            return 0;
        }
        return Default(message, wParam, lParam);
    }
};

class CMomentWnd : public CXWnd {
public:
    explicit CMomentWnd(const POINT* savedCursor) : savedCursor(savedCursor) {}

    bool Create()
    {
        RegisterWindowClass(kMomentClassName);
        const RECT& r = lastGoodMomentRect;
        return CreateEx(WS_EX_TOOLWINDOW, kMomentClassName, L"", WS_POPUP | WS_VISIBLE, r.left, r.top, r.right - r.left,
                        r.bottom - r.top);
    }

    int gotButtonUp = 0;
    int done = 0;
    int step = 0;
    DWORD startTick = 0;
    int placementAttempts = 0;
    const POINT* savedCursor = nullptr;
    RECT monitorRect = {};
    RECT workRect = {};

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        switch (message) {
        case WM_CREATE:
            OnCreate();
            return 0;
        case WM_DESTROY:
            KillTimer(Handle(), kMomentTimer);
            return Default(message, wParam, lParam);
        case WM_ACTIVATE: {
            const LRESULT result = Default(message, wParam, lParam);
            if (step == 0)
                step = 1;
            return result;
        }
        case WM_LBUTTONUP:
            gotButtonUp = 1;
            return 0;
        case WM_TIMER:
            if (wParam == kMomentTimer) {
                OnTimer();
                return 0;
            }
            return Default(message, wParam, lParam);
        default:
            return Default(message, wParam, lParam);
        }
    }

private:
    void OnCreate()
    {
        MONITORINFO info = {};
        info.cbSize = sizeof(info);
        const POINT origin = {0, 0};
        if (GetMonitorInfoW(MonitorFromPoint(origin, MONITOR_DEFAULTTOPRIMARY), &info)) {
            monitorRect = info.rcMonitor;
            workRect = info.rcWork;
        } else {
            monitorRect = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
            workRect = monitorRect;
        }
        step = 0;
        placementAttempts = 0;
        startTick = GetTickCount();
        SetTimer(Handle(), kMomentTimer, kMomentTimerMs, nullptr);
    }

    void OnTimer()
    {
        if (gotButtonUp) {
            done = 1;
            return;
        }
        if (done)
            return;
        switch (step) {
        case 1:
            FindFreeSpot();
            break;
        case 2:
            Press();
            break;
        case 3:
            Release();
            break;
        default:
            if (GetTickCount() - startTick > kMomentEndMs)
                done = 1;
            break;
        }
    }

    POINT Centre() const
    {
        RECT r;
        GetWindowRect(Handle(), &r);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }

    void FindFreeSpot()
    {
        RECT r;
        GetWindowRect(Handle(), &r);
        const POINT c = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        bool free = true;
        for (int dy = -1; dy <= 1 && free; ++dy) {
            for (int dx = -1; dx <= 1 && free; ++dx) {
                const POINT p = {c.x + dx, c.y + dy};
                if (WindowFromPoint(p) != Handle())
                    free = false;
            }
        }
        if (free) {
            lastGoodMomentRect = r;
            step = 2;
            Press();
            return;
        }
        if (++placementAttempts >= kMomentPlacementAttempts) {
            done = 1;
            return;
        }
        const int r1 = rand();
        const int r2 = rand();
        const CMenuPoint spot = MomentSpot(workRect.left, workRect.top, workRect.right - workRect.left,
                                           workRect.bottom - workRect.top, r1, r2);
        SetWindowPos(Handle(), nullptr, spot.x, spot.y, kMomentWindowSize, kMomentWindowSize,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }

    void SendAbsolute(POINT p, DWORD buttonFlags)
    {
        const int width = monitorRect.right - monitorRect.left;
        const int height = monitorRect.bottom - monitorRect.top;
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = AbsoluteInputCoordinate(p.x, width);
        input.mi.dy = AbsoluteInputCoordinate(p.y, height);
        input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttonFlags;
        SendInput(1, &input, sizeof(input));
    }

    void Press()
    {
        SendAbsolute(Centre(), MOUSEEVENTF_LEFTDOWN);
        step = 3;
    }

    void Release()
    {
        SendAbsolute(Centre(), MOUSEEVENTF_LEFTUP);
        if (savedCursor)
            SendAbsolute(*savedCursor, 0);
        step = 5;
    }
};
} // namespace

void RunForegroundWorkaround(int repetitions)
{
    CJustStayingWnd staying;
    staying.Create();
    ShowCursor(FALSE);
    POINT saved = {};
    const bool haveSaved = GetCursorPos(&saved) != FALSE;

    const int n = WorkaroundRepetitions(repetitions);
    for (int i = 0; i < n; ++i) {
        if (staying.Handle())
            SetForegroundWindow(staying.Handle());
        srand(GetTickCount());
        CMomentWnd moment(haveSaved ? &saved : nullptr);
        if (!moment.Create())
            continue;
        while (!moment.done) {
            MSG message;
            while (!moment.done && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
                if (message.message == WM_QUIT) {
                    // The application's own loop must still see it.
                    PostQuitMessage(static_cast<int>(message.wParam));
                    moment.done = 1;
                    break;
                }
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            if (!moment.done)
                WaitMessage();
        }
        moment.Destroy();
    }
    staying.Destroy();
    ShowCursor(TRUE);
}
