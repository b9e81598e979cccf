// Writes the seed inputs of the archive fuzzer into a directory: trees written by the
// current writer, records of older versions built by hand, and a transfer block.
// Usage: archive_corpus DIRECTORY

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "FakePlatform.h"
#include "MenuStore.h"
#include "XNode.h"

namespace {

bool WriteFile(const std::string& directory, const char* name, const std::vector<uint8_t>& bytes)
{
    const std::string path = directory + "/" + name;
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f)
        return false;
    const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

template <class T> T* Add(CXParent& parent, T* node)
{
    parent.InsertChild(parent.children.size(), node);
    return node;
}

void FillMixedTree(CXParent& root)
{
    auto notepad = Add(root, new CXItem);
    notepad->title = L"メモ帳";
    notepad->accelerator = L"N";
    notepad->path = L"%WINDIR%\\notepad.exe";
    notepad->showCommand = 2;
    notepad->hotKey.modifiers = 3;
    notepad->hotKey.virtualKey = 0x74;
    notepad->hotKey.keyText = L"Ctrl + Alt + F5";
    notepad->hotKey.hotKeyId = 0xC000;
    Add(root, new CXSeparator);
    auto tools = Add(root, new CXParent);
    tools->title = L"ツール";
    auto text = Add(*tools, new CXTextItem);
    text->summary = L"おはよう";
    text->text = L"おはようございます";
    auto deeper = Add(*tools, new CXParent);
    deeper->title = L"R&D";
    auto web = Add(*deeper, new CXItem);
    web->path = L"https://example.com/";
    web->isInternal = 1;
    Add(*deeper, new CXSeparator);
    Add(root, new CXItem)->title = L"最後";
}

// Items of versions 0, 3 and 4 in a version-0 submenu, strings partly without the marker.
std::vector<uint8_t> OldVersions()
{
    CArchiveBytes b;
    b.ParentHead(L"", 1).NewClass("CXParent").Byte(0).Byte(0).AnsiStr(ToCp932(L"古い(&O)")).Word(3);
    b.NewClass("CXItem").Byte(0).Byte(0).AnsiStr(ToCp932(L"メモ帳(&N)")).AnsiStr("notepad.exe").AnsiStr("").AnsiStr("");
    b.Int32(1);
    b.Word(0x8003).Byte(0).Byte(3).Str(L"&Paint").Str(L"mspaint.exe").Str(L"").Str(L"").Int32(0).UInt32(1);
    b.Byte(0).Int32(2).Int32(0x41).Str(L"Ctrl + A").Int32(-1).Int32(1);
    b.Word(0x8003).Byte(0).Byte(4).Str(L"Save(&S)").Str(L"").Str(L"").Str(L"").Byte(1).Byte(1).UInt32(7);
    b.Byte(0).Int32(0).Int32(0).Str(L"").Int32(-1).Byte(0).Byte(5).Str(L"obsolete");
    b.Byte(0);
    return b.bytes;
}

std::vector<uint8_t> LargeTags()
{
    CArchiveBytes b;
    b.ParentHead(L"", 3).NewClass("CXSeparator").SeparatorRecord();
    b.Word(0x7FFF).UInt32(0x80000001).SeparatorRecord();
    b.Word(0x8001).SeparatorRecord().Byte(0);
    return b.bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: archive_corpus DIRECTORY\n");
        return 2;
    }
    CFakeEnvironment environment;
    const std::string directory = argv[1];

    CXRoot empty(kLeftMenuName);
    CXRoot example(kLeftMenuName);
    auto item = Add(example, new CXItem);
    item->title = L"A";
    item->path = L"B";
    CXRoot mixed(kLeftMenuName);
    FillMixedTree(mixed);
    CXParent container;
    FillMixedTree(container);

    bool ok = WriteFile(directory, "empty-root.bin", *WriteTreeArchive(empty)) &&
              WriteFile(directory, "one-item.bin", *WriteTreeArchive(example)) &&
              WriteFile(directory, "mixed-tree.bin", *WriteTreeArchive(mixed)) &&
              WriteFile(directory, "old-versions.bin", OldVersions()) &&
              WriteFile(directory, "large-tags.bin", LargeTags()) &&
              WriteFile(directory, "transfer.bin", *SaveToTransfer(container));
    if (!ok) {
        std::fprintf(stderr, "cannot write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
