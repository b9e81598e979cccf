#pragma once
// The bootstrap installer's run: system test, single run, choice of the program set,
// extraction into the fixed folder below the temporary folder, start of the installer and
// the wait for it. The system it runs on is behind CBootstrapSystem, so the run is the same
// code on Windows and in the tests.

#include <memory>
#include <string>

#include "Payload.h"

inline constexpr wchar_t kBootstrapMutexName[] = L"OfficeKestrahl_VelqInst1_Mutex";
inline constexpr wchar_t kBootstrapFolderName[] = L"{6588C502-F2AD-4C70-872F-0695B0D7DDEE}";
inline constexpr wchar_t kBootstrapTag64[] = L"#x64";
inline constexpr wchar_t kBootstrapTag32[] = L"#x86";
inline constexpr wchar_t kBootstrapCaption[] = L"Velquinランチャーインストーラー";

inline constexpr wchar_t kMessageNeedsWindows7[] = L"このプログラムの動作にはWindows 7以降のOSが必要です。";
inline constexpr wchar_t kMessageCannotOpen[] = L"インストーラーを開けません。";
inline constexpr wchar_t kMessageBroken[] = L"インストーラーが壊れています。";
inline constexpr wchar_t kMessageNoSetHead[] =
    L"このインストーラーではこのコンピューターにインストールできません。\r\n";
inline constexpr wchar_t kMessageNoSetTail[] = L"bit版のインストーラーをご利用ください。";
inline constexpr wchar_t kMessageFolderNotWritable[] = L"テンポラリフォルダに書き込めません。";
inline constexpr wchar_t kMessageFileNotWritable[] = L"テンポラリファイルに書き込めません。";

class CBootstrapSystem {
public:
    virtual ~CBootstrapSystem() = default;

    virtual bool IsWindows7OrLater() = 0;
    // Creates or opens the named mutex and waits for it without time-out; true only when it
    // was acquired. It stays held until the process ends.
    virtual bool AcquireSingleRunMutex(const std::wstring& name) = 0;
    virtual bool Is64BitWindows() = 0;
    // The program's own file, open for reading with read sharing; null on failure.
    virtual std::unique_ptr<CPayloadSource> OpenOwnFile() = 0;
    virtual std::wstring TemporaryFolder() = 0;
    // Failures are ignored by the caller: they show up when the first file is created.
    virtual void CreateFolder(const std::wstring& path) = 0;
    virtual CPayloadFolder& Files() = 0;
    // Starts the program with no arguments and waits for its end when a process handle
    // came back. False when it could not be started.
    virtual bool StartAndWait(const std::wstring& path) = 0;
    // A message box with the bootstrap's caption and an OK button.
    virtual void ShowMessage(const std::wstring& text) = 0;
};

// The message for an extraction failure.
const wchar_t* ExtractFailureMessage(EExtractResult result);

// The whole run; the exit code, always 0.
int RunBootstrap(CBootstrapSystem& system);
