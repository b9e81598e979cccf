#include "Bootstrap.h"

const wchar_t* ExtractFailureMessage(EExtractResult result)
{
    switch (result) {
    case EExtractResult::CannotCreate:
        return kMessageFolderNotWritable;
    case EExtractResult::WriteFailed:
        return kMessageFileNotWritable;
    case EExtractResult::ReadFailed:
    case EExtractResult::DigestMismatch:
        return kMessageBroken;
    case EExtractResult::Ok:
        break;
    }
    return nullptr;
}

int RunBootstrap(CBootstrapSystem& system)
{
    if (!system.IsWindows7OrLater()) {
        system.ShowMessage(kMessageNeedsWindows7);
        return 0;
    }
    if (!system.AcquireSingleRunMutex(kBootstrapMutexName)) {
        return 0;
    }
    const bool is64 = system.Is64BitWindows();

    std::unique_ptr<CPayloadSource> container = system.OpenOwnFile();
    if (!container) {
        system.ShowMessage(kMessageCannotOpen);
        return 0;
    }
    CPayloadDirectory directory;
    if (!ReadPayloadDirectory(*container, directory)) {
        system.ShowMessage(kMessageBroken);
        return 0;
    }

    std::wstring folder = JoinPayloadPath(system.TemporaryFolder(), kBootstrapFolderName);
    system.CreateFolder(folder);

    std::shared_ptr<TFPTag> tag = FindPayloadTag(directory.tags, is64 ? kBootstrapTag64 : kBootstrapTag32);
    if (!tag || tag->files.empty()) {
        system.ShowMessage(std::wstring(kMessageNoSetHead) + (is64 ? L"64" : L"32") + kMessageNoSetTail);
        return 0;
    }
    for (const auto& file : tag->files) {
        EExtractResult result = ExtractPayloadFile(*container, *file, folder, system.Files());
        if (result != EExtractResult::Ok) {
            system.ShowMessage(ExtractFailureMessage(result));
            return 0;
        }
    }
    // A start that fails ends the run without a message.
    system.StartAndWait(JoinPayloadPath(folder, tag->files.front()->name));
    return 0;
}
