// Save and Load of the largest tree the store accepts (just under 0x100000 bytes of
// archive): items, text items, separators and nested submenus with Japanese titles,
// through CXRoot::Save and CXRoot::Load against the in-memory store.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "FakePlatform.h"
#include "LargestTree.h"
#include "MenuStore.h"
#include "XNode.h"

namespace {

using largest_tree::ArchiveSize;
using largest_tree::BuildLargestTree;

// The fake platform records every saved tree; a benchmark saves thousands of times.
class CBenchPlatform : public CFakePlatform {
public:
    void NotifyTreeSaved(const CXRoot&) override {}
};

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
