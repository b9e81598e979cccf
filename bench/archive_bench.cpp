// Save and Load of the largest tree the store accepts (just under 0x100000 bytes of
// archive): items, text items, separators and nested submenus with Japanese titles,
// through CXRoot::Save and CXRoot::Load against the in-memory store.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "FakePlatform.h"
#include "MenuStore.h"
#include "XNode.h"

namespace {

// The fake platform records every saved tree; a benchmark saves thousands of times.
class CBenchPlatform : public CFakePlatform {
public:
    void NotifyTreeSaved(const CXRoot&) override {}
};

template <class T> T* Add(CXParent& parent, T* node)
{
    parent.InsertChild(parent.children.size(), node);
    return node;
}

CXItem* NewItem(int n)
{
    auto item = new CXItem;
    const std::wstring k = std::to_wstring(n);
    item->title = L"アプリケーション " + k;
    item->accelerator = std::wstring(1, static_cast<wchar_t>(L'A' + n % 26));
    item->path = L"%ProgramFiles%\\ベンダー\\製品" + k + L"\\program.exe";
    item->parameters = L"/open \"C:\\Users\\利用者\\文書\\" + k + L".txt\"";
    item->workingFolder = L"C:\\Users\\利用者";
    item->showCommand = n % 3;
    if (n % 5 == 0) {
        item->hotKey.modifiers = 3;
        item->hotKey.virtualKey = 0x70 + n % 12;
        item->hotKey.keyText = L"Ctrl + Alt + F" + std::to_wstring(1 + n % 12);
        item->hotKey.hotKeyId = 0xC000 + n;
    }
    return item;
}

CXTextItem* NewTextItem(int n)
{
    auto item = new CXTextItem;
    item->summary = L"定型文 " + std::to_wstring(n);
    item->text = L"いつもお世話になっております。定型文その" + std::to_wstring(n) + L"です。\r\nよろしくお願いします。";
    return item;
}

CXParent* NewSubmenu(const std::wstring& title)
{
    auto parent = new CXParent;
    parent->title = title;
    return parent;
}

// One submenu of eight entries with a nested submenu of three.
int AddGroup(CXParent& root, int group)
{
    int n = group * 100;
    CXParent* folder = Add(root, NewSubmenu(L"フォルダ " + std::to_wstring(group)));
    Add(*folder, NewItem(n++));
    Add(*folder, NewItem(n++));
    Add(*folder, new CXSeparator);
    Add(*folder, NewTextItem(n++));
    CXParent* nested = Add(*folder, NewSubmenu(L"サブメニュー"));
    Add(*nested, NewItem(n++));
    Add(*nested, new CXSeparator);
    Add(*nested, NewTextItem(n++));
    Add(*folder, NewItem(n++));
    Add(*folder, new CXSeparator);
    Add(*folder, NewItem(n++));
    return 13; // nodes added
}

int BuildTree(CXRoot& root, int groups)
{
    root.DeleteChildren();
    int nodes = 0;
    for (int g = 0; g < groups; ++g)
        nodes += AddGroup(root, g);
    return nodes;
}

size_t ArchiveSize(CXRoot& root)
{
    return WriteTreeArchive(root)->size();
}

// The most groups whose archive still fits.
int BuildLargestTree(CXRoot& root)
{
    int low = 1, high = 2;
    while (BuildTree(root, high), ArchiveSize(root) <= kMaxArchiveSize)
        high *= 2;
    while (high - low > 1) {
        const int mid = (low + high) / 2;
        BuildTree(root, mid);
        (ArchiveSize(root) <= kMaxArchiveSize ? low : high) = mid;
    }
    return BuildTree(root, low);
}

struct CLargestTree {
    CLargestTree()
    {
        InstallPlatform(&platform, &store);
        nodes = BuildLargestTree(root);
        bytes = ArchiveSize(root);
    }
    CBenchPlatform platform;
    CMemoryStore store;
    CXRoot root{kLeftMenuName};
    int nodes = 0;
    size_t bytes = 0;
};

CLargestTree& Largest()
{
    static CLargestTree* tree = new CLargestTree;
    return *tree;
}

void Report(benchmark::State& state, const CLargestTree& tree)
{
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations()) * tree.nodes);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * tree.bytes));
    state.counters["nodes"] = tree.nodes;
    state.counters["archive_bytes"] = static_cast<double>(tree.bytes);
}

void BM_SaveLargestTree(benchmark::State& state)
{
    CLargestTree& tree = Largest();
    for (auto _ : state) {
        if (!tree.root.Save()) {
            state.SkipWithError("Save failed");
            return;
        }
    }
    Report(state, tree);
}

void BM_LoadLargestTree(benchmark::State& state)
{
    CLargestTree& tree = Largest();
    if (!tree.root.Save()) {
        state.SkipWithError("Save failed");
        return;
    }
    CXRoot loaded(kLeftMenuName);
    for (auto _ : state) {
        if (!loaded.Load() || loaded.children.size() != tree.root.children.size()) {
            state.SkipWithError("Load failed");
            return;
        }
    }
    Report(state, tree);
}

// The same two directions without the store, to show what the store itself costs.
void BM_WriteArchiveOnly(benchmark::State& state)
{
    CLargestTree& tree = Largest();
    for (auto _ : state)
        benchmark::DoNotOptimize(WriteTreeArchive(tree.root));
    Report(state, tree);
}

void BM_ReadArchiveOnly(benchmark::State& state)
{
    CLargestTree& tree = Largest();
    const std::vector<uint8_t> bytes = *WriteTreeArchive(tree.root);
    CXRoot loaded(kLeftMenuName);
    for (auto _ : state) {
        if (!ReadTreeArchive(loaded, bytes)) {
            state.SkipWithError("read failed");
            return;
        }
    }
    Report(state, tree);
}

BENCHMARK(BM_SaveLargestTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LoadLargestTree)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WriteArchiveOnly)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadArchiveOnly)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
