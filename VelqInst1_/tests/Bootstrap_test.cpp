#include "Bootstrap.h"

#include <gtest/gtest.h>

#include "PayloadTestSupport.h"

using namespace payloadtest;

namespace {

// Records the run as a list of steps and answers from its fields.
class CFakeBootstrapSystem : public CBootstrapSystem {
public:
    bool windows7 = true;
    bool mutexFree = true;
    bool is64 = true;
    bool canOpen = true;
    bool startSucceeds = true;
    std::vector<uint8_t> container;
    std::wstring temporary = L"C:\\Users\\u\\AppData\\Local\\Temp\\";
    CMemoryFolder folder;

    std::vector<std::wstring> steps;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> started;

    bool IsWindows7OrLater() override
    {
        steps.push_back(L"version");
        return windows7;
    }
    bool AcquireSingleRunMutex(const std::wstring& name) override
    {
        steps.push_back(L"mutex " + name);
        return mutexFree;
    }
    bool Is64BitWindows() override
    {
        steps.push_back(L"bitness");
        return is64;
    }
    std::unique_ptr<CPayloadSource> OpenOwnFile() override
    {
        steps.push_back(L"open");
        if (!canOpen) {
            return nullptr;
        }
        return std::make_unique<CMemoryPayloadSource>(container.data(), container.size());
    }
    std::wstring TemporaryFolder() override { return temporary; }
    void CreateFolder(const std::wstring& path) override { steps.push_back(L"folder " + path); }
    CPayloadFolder& Files() override { return folder; }
    bool StartAndWait(const std::wstring& path) override
    {
        steps.push_back(L"start " + path);
        started.push_back(path);
        return startSucceeds;
    }
    void ShowMessage(const std::wstring& text) override
    {
        steps.push_back(L"message");
        messages.push_back(text);
    }
};

const std::wstring kFolder = L"C:\\Users\\u\\AppData\\Local\\Temp\\{6588C502-F2AD-4C70-872F-0695B0D7DDEE}";
const std::wstring kNoSet64 =
    L"このインストーラーではこのコンピューターにインストールできません。\r\n64bit版のインストーラーをご利用ください。";
const std::wstring kNoSet32 =
    L"このインストーラーではこのコンピューターにインストールできません。\r\n32bit版のインストーラーをご利用ください。";

// Tags and their files; every file holds distinct random bytes.
std::vector<uint8_t> MakeContainer(const std::vector<std::pair<std::wstring, std::vector<std::wstring>>>& sets)
{
    std::vector<uint8_t> image = FakePeImage(2048, false, 5);
    std::vector<CPackData> data;
    std::vector<CPackTag> tags;
    for (const auto& [tagName, files] : sets) {
        CPackTag tag{tagName, {}};
        for (const std::wstring& name : files) {
            CPackData d;
            d.bytes = RandomBytes(1000 + 300 * data.size(), uint32_t(50 + data.size()));
            d.lastWriteTime = 0x01D9000000000000ull + data.size();
            data.push_back(std::move(d));
            tag.files.push_back({name, data.size() - 1});
        }
        tags.push_back(std::move(tag));
    }
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_TRUE(BuildPayloadContainer(image, data, tags, 0, out, error)) << error;
    return out;
}

const std::vector<std::wstring> kRelease = {L"VelqInst2.exe", L"Velquinランチャー.exe",
                                            L"Velquinランチャー設定ツール.exe",
                                            L"Velquinランチャーカスタマイズツール.exe", L"VelqSub.exe"};

} // namespace

TEST(Bootstrap, ExtractsTheSetOfTheSystemAndStartsItsFirstFile)
{
    for (bool is64 : {true, false}) {
        CFakeBootstrapSystem sys;
        sys.is64 = is64;
        sys.container = MakeContainer({{L"#x86", kRelease}, {L"#x64", kRelease}});
        EXPECT_EQ(RunBootstrap(sys), 0);

        EXPECT_TRUE(sys.messages.empty());
        std::vector<std::wstring> expectedFiles;
        for (const std::wstring& name : kRelease) {
            expectedFiles.push_back(kFolder + L"\\" + name);
        }
        EXPECT_EQ(sys.folder.created, expectedFiles);
        EXPECT_EQ(sys.steps,
                  (std::vector<std::wstring>{L"version", L"mutex OfficeKestrahl_VelqInst1_Mutex", L"bitness", L"open",
                                             L"folder " + kFolder, L"start " + kFolder + L"\\VelqInst2.exe"}));

        // The bytes are those of the chosen set.
        CPayloadDirectory dir;
        CMemoryPayloadSource source(sys.container.data(), sys.container.size());
        ASSERT_TRUE(ReadPayloadDirectory(source, dir));
        auto tag = FindPayloadTag(dir.tags, is64 ? L"#x64" : L"#x86");
        for (const auto& file : tag->files) {
            const CMemoryFile& out = sys.folder.files.at(kFolder + L"\\" + file->name);
            EXPECT_EQ(CSha256::Of(out.bytes.data(), out.bytes.size()), file->digest);
        }
    }
}

TEST(Bootstrap, TemporaryPathWithoutTrailingBackslashGetsOne)
{
    CFakeBootstrapSystem sys;
    sys.temporary = L"D:\\tmp";
    sys.container = MakeContainer({{L"#x64", {L"a.exe"}}});
    RunBootstrap(sys);
    EXPECT_EQ(sys.started, (std::vector<std::wstring>{L"D:\\tmp\\{6588C502-F2AD-4C70-872F-0695B0D7DDEE}\\a.exe"}));
}

TEST(Bootstrap, EarlyEndsShowTheirMessageAndGoNoFurther)
{
    struct Case {
        const char* what;
        std::function<void(CFakeBootstrapSystem&)> setup;
        std::vector<std::wstring> messages;
        std::wstring lastStep;
    };
    const std::vector<Case> cases = {
        {"old system", [](auto& s) { s.windows7 = false; }, {kMessageNeedsWindows7}, L"message"},
        {"mutex held", [](auto& s) { s.mutexFree = false; }, {}, L"mutex OfficeKestrahl_VelqInst1_Mutex"},
        {"cannot open", [](auto& s) { s.canOpen = false; }, {L"インストーラーを開けません。"}, L"message"},
        {"no directory",
         [](auto& s) { s.container = FakePeImage(5000); },
         {L"インストーラーが壊れています。"},
         L"message"},
        {"only x86 on 64-bit",
         [](auto& s) {
             s.container = MakeContainer({{L"#x86", kRelease}});
         },
         {kNoSet64},
         L"message"},
        {"only x64 on 32-bit",
         [](auto& s) {
             s.is64 = false;
             s.container = MakeContainer({{L"#x64", kRelease}});
         },
         {kNoSet32},
         L"message"},
        {"tag without files",
         [](auto& s) {
             s.container = MakeContainer({{L"#x64", {}}, {L"#x64", kRelease}});
         },
         {kNoSet64},
         L"message"},
        {"tag name differs in case",
         [](auto& s) {
             s.container = MakeContainer({{L"#X64", kRelease}});
         },
         {kNoSet64},
         L"message"},
    };
    for (const Case& k : cases) {
        CFakeBootstrapSystem sys;
        sys.container = MakeContainer({{L"#x64", kRelease}});
        k.setup(sys);
        EXPECT_EQ(RunBootstrap(sys), 0) << k.what;
        EXPECT_EQ(sys.messages, k.messages) << k.what;
        ASSERT_FALSE(sys.steps.empty());
        EXPECT_EQ(sys.steps.back(), k.lastStep) << k.what;
        EXPECT_TRUE(sys.folder.created.empty()) << k.what;
        EXPECT_TRUE(sys.started.empty()) << k.what;
    }
}

TEST(Bootstrap, FirstExtractionFailureStopsTheRun)
{
    struct Case {
        const char* what;
        std::function<void(CFakeBootstrapSystem&)> setup;
        std::wstring message;
        size_t filesCreated;
    };
    const std::vector<Case> cases = {
        {"second file corrupted",
         [](auto& s) {
             CPayloadDirectory dir;
             CMemoryPayloadSource source(s.container.data(), s.container.size());
             ASSERT_TRUE(ReadPayloadDirectory(source, dir));
             s.container[size_t(FindPayloadTag(dir.tags, L"#x64")->files[1]->offset + 7)] ^= 0x40;
         },
         L"インストーラーが壊れています。", 2},
        {"third file cannot be created",
         [](auto& s) { s.folder.refuseCreate = kFolder + L"\\Velquinランチャー設定ツール.exe"; },
         L"テンポラリフォルダに書き込めません。", 2},
        {"writing fails", [](auto& s) { s.folder.writeLimit = 10; }, L"テンポラリファイルに書き込めません。", 1},
    };
    for (const Case& k : cases) {
        CFakeBootstrapSystem sys;
        sys.container = MakeContainer({{L"#x86", kRelease}, {L"#x64", kRelease}});
        k.setup(sys);
        RunBootstrap(sys);
        EXPECT_EQ(sys.messages, std::vector<std::wstring>{k.message}) << k.what;
        EXPECT_EQ(sys.folder.created.size(), k.filesCreated) << k.what;
        EXPECT_TRUE(sys.started.empty()) << k.what;
    }
}

TEST(Bootstrap, FailedStartEndsSilently)
{
    CFakeBootstrapSystem sys;
    sys.startSucceeds = false;
    sys.container = MakeContainer({{L"#x64", kRelease}});
    EXPECT_EQ(RunBootstrap(sys), 0);
    EXPECT_TRUE(sys.messages.empty());
    EXPECT_EQ(sys.started.size(), 1u);
}
