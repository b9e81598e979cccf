#include "XWinApp.h"

#include "CommandLine.h"
#include "XWnd.h"

CXWinApp* CXWinApp::current = nullptr;

CXWinApp::CXWinApp()
{
    current = this;
}

CXWinApp::~CXWinApp()
{
    if (current == this)
        current = nullptr;
}

int CXWinApp::Run(HINSTANCE instanceHandle)
{
    instance = instanceHandle;
    commandLine = ArgumentText(GetCommandLineW());

    if (!StartUp()) {
        if (mainWindow && mainWindow->Handle())
            DestroyWindow(mainWindow->Handle());
        mainWindow = nullptr;
        return ShutDown();
    }

    MSG message;
    for (;;) {
        BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {
            loopExitCode = static_cast<int>(message.wParam);
            break;
        }
        if (got == -1) {
            loopExitCode = 1;
            break;
        }
        if (PreTranslateMessage(message))
            continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return ShutDown();
}

int CXWinApp::ExitProcessing()
{
    return loopExitCode;
}
