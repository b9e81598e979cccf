#pragma once
// The settings store on the Windows registry, below HKEY_CURRENT_USER.

#include <atomic>
#include <string>
#include <utility>
#include <vector>

#include "SettingsStore.h"
#include "WinHandles.h"

class CRegistryStore : public CSettingsStore {
public:
    explicit CRegistryStore(XIntReading reading) : CSettingsStore(reading) {}

    // Creates the key and every missing key on the way (full access).
    bool CreateKey(const std::wstring& path) override;
    // The remaining operations open existing keys only, so that reading a key (such as
    // the earlier edition's) never creates it; the typed rules create what they need.
    bool KeyExists(const std::wstring& path) override;
    bool ReadValue(const std::wstring& path, const std::wstring& name, CRegValue& value) override;
    bool WriteValue(const std::wstring& path, const std::wstring& name, const CRegValue& value) override;
    bool DeleteValue(const std::wstring& path, const std::wstring& name) override;
    std::vector<std::wstring> SubKeys(const std::wstring& path) override;
    std::vector<std::pair<std::wstring, CRegValue>> Values(const std::wstring& path) override;
    bool DeleteTree(const std::wstring& path) override;

    // In a batch, keys created or opened with full access stay open until its end. A batch
    // belongs to the thread that began it (the scale watcher reads the store on its own
    // thread): other threads meanwhile open and close their keys as without a batch.
    void BeginBatch() override;
    void EndBatch() override;

private:
    bool InBatch() const { return batchThread.load() == GetCurrentThreadId(); }
    // A key held open in the calling thread's batch, or null.
    HKEY HeldKey(const std::wstring& path) const;
    // The key of path for one call: the held one, or one opened (created when create is set)
    // into opened, which closes it after the call. Null when there is none.
    HKEY KeyForCall(const std::wstring& path, bool create, CKeyHandle& opened) const;

    std::atomic<DWORD> batchThread{0};
    // Touched by the batch's thread only.
    int batchDepth = 0;
    std::vector<std::pair<std::wstring, CKeyHandle>> heldKeys;
};
