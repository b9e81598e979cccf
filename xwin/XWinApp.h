#pragma once
// The application object of a program on the thin window framework: the command line,
// the main window, start-up and shut-down around one message loop.
//
//   wWinMain -> Run -> StartUp -> message loop -> ShutDown
//
// When StartUp returns false the loop never runs: the framework destroys the main window,
// if one was created, and calls ShutDown at once.

#include <windows.h>

#include <string>

class CXWnd;

class CXWinApp {
public:
    CXWinApp();
    virtual ~CXWinApp();
    CXWinApp(const CXWinApp&) = delete;
    CXWinApp& operator=(const CXWinApp&) = delete;

    // The one application object of the process (null before it is constructed).
    static CXWinApp* Current() { return current; }

    // Runs the program; the result is the process exit code.
    int Run(HINSTANCE instance);

    // True runs the message loop; false ends the program.
    virtual bool StartUp() { return true; }
    // The process exit code. The default is the framework's exit processing.
    virtual int ShutDown() { return ExitProcessing(); }

    HINSTANCE Instance() const { return instance; }
    // The text after the program name on the command line.
    const std::wstring& CommandLine() const { return commandLine; }

    // The window whose destruction ends the message loop; cleared when it is destroyed.
    CXWnd* mainWindow = nullptr;

protected:
    // The framework's own exit work; returns the exit code of the message loop.
    int ExitProcessing();
    // Gives a message to the program before it is dispatched; true when it was used up.
    virtual bool PreTranslateMessage(MSG& message)
    {
        (void)message;
        return false;
    }

private:
    static CXWinApp* current;
    HINSTANCE instance = nullptr;
    std::wstring commandLine;
    int loopExitCode = 0;
};
