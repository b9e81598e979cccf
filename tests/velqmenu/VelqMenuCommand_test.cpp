#include "VelqMenuCommand.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "MenuJson.h"
#include "MenuStore.h"
#include "MenuTestTrees.h"
#include "ToolFiles.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace fs = std::filesystem;

namespace {

// A fresh folder per test, removed afterwards.
class VelqMenuFiles : public VelqMenuTest {
protected:
    void SetUp() override
    {
        VelqMenuTest::SetUp();
        std::random_device rd;
        folder = fs::temp_directory_path() / ("velqmenu-test-" + std::to_string(rd()));
        fs::create_directories(folder);
    }
    void TearDown() override
    {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
        VelqMenuTest::TearDown();
    }

    // Through the C library, which takes wide names on Windows (the iostreams of mingw do not).
    fs::path Write(const fs::path& name, const std::string& bytes)
    {
        fs::path path = folder / name;
        FILE* f = Open(path, true);
        EXPECT_TRUE(f) << path;
        if (f) {
            fwrite(bytes.data(), 1, bytes.size(), f);
            fclose(f);
        }
        return path;
    }
    static std::string Read(const fs::path& path)
    {
        std::string bytes;
        FILE* f = Open(path, false);
        EXPECT_TRUE(f) << path;
        if (f) {
            char buffer[4096];
            for (size_t n; (n = fread(buffer, 1, sizeof buffer, f)) > 0;)
                bytes.append(buffer, n);
            fclose(f);
        }
        return bytes;
    }
    static FILE* Open(const fs::path& path, bool write)
    {
#ifdef _WIN32
        return _wfopen(path.c_str(), write ? L"wb" : L"rb");
#else
        return fopen(path.c_str(), write ? "wb" : "rb");
#endif
    }
    std::vector<fs::path> FolderContents() const
    {
        std::vector<fs::path> names;
        for (const auto& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    }

    void RoundTripThroughFiles(const fs::path& jsonName, const fs::path& archiveName);

    fs::path folder;
};

void ExpectOneLineError(const CCommandResult& r, const std::string& mentions)
{
    EXPECT_EQ(r.exitCode, kExitError);
    EXPECT_TRUE(r.out.empty());
    ASSERT_FALSE(r.err.empty());
    EXPECT_EQ(r.err.rfind("velqmenu: ", 0), 0u) << r.err;
    EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;
    EXPECT_NE(r.err.find(mentions), std::string::npos) << r.err;
}

// Packs and dumps through files with the given names, and packs the dump again.
void VelqMenuFiles::RoundTripThroughFiles(const fs::path& jsonName, const fs::path& archiveName)
{
    CXRoot original(kLeftMenuName);
    BuildFullTree(original);
    std::string json = TreeToJson(original).dump(2);
    fs::path jsonFile = Write(jsonName, json);
    fs::path archive = folder / archiveName;

    CCommandResult packed = RunVelqMenu({"pack", jsonFile, archive});
    EXPECT_EQ(packed.exitCode, kExitOk) << packed.err;
    EXPECT_TRUE(packed.out.empty() && packed.err.empty());

    CCommandResult dumped = RunVelqMenu({"dump", archive});
    ASSERT_EQ(dumped.exitCode, kExitOk) << dumped.err;
    EXPECT_TRUE(dumped.err.empty());
    EXPECT_EQ(dumped.out, json + "\n");

    // Packing the dump again over the archive leaves the same bytes, and nothing else behind.
    std::string first = Read(archive);
    fs::path again = Write("again.json", dumped.out);
    EXPECT_EQ(RunVelqMenu({"pack", again, archive}).exitCode, kExitOk);
    EXPECT_EQ(Read(archive), first);
    std::vector<fs::path> expected = {"again.json", jsonName, archiveName};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(FolderContents(), expected);

    CXRoot loaded(kLeftMenuName);
    ASSERT_TRUE(ReadTreeArchive(loaded, std::span(reinterpret_cast<const uint8_t*>(first.data()), first.size())));
    ExpectSameTree(original, loaded);
}

TEST_F(VelqMenuFiles, PackAndDumpThroughFiles)
{
    RoundTripThroughFiles("menu.json", "menu.bin");
}

TEST_F(VelqMenuFiles, PackAndDumpWithJapaneseFileNames)
{
    // Wine stores names in the host's locale; without a UTF-8 one it cannot hold these.
    const fs::path probe = folder / u8"確認";
    FILE* f = Open(probe, true);
    if (!f)
        GTEST_SKIP() << "this system cannot create files with Japanese names";
    fclose(f);
    fs::remove(probe);
    RoundTripThroughFiles(u8"メニュー.json", u8"メニュー.bin");
}

TEST_F(VelqMenuFiles, FailedPackLeavesTheTargetAlone)
{
    const struct {
        const char* json;
        const char* mentions;
    } cases[] = {
        {"{\"children\": [}", "invalid JSON"},
        {R"({"children": [{"class": "CXWidget"}]})", "unknown class"},
        {R"({"children": [{"class": "CXItem", "title": 12}]})", "children[0].title: expected a string"},
        {R"({"children": [{"class": "CXItem", "hotKey": []}]})", "children[0].hotKey"},
        // A key with a line break still gives one line.
        {"{\"ti\\ntle\": 1}", "unknown key"},
    };
    const std::string previous = "previous archive";
    fs::path target = Write("target.bin", previous);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        fs::path jsonFile = Write("in.json", c.json);
        CCommandResult r = RunVelqMenu({"pack", jsonFile, target});
        ExpectOneLineError(r, c.mentions);
        EXPECT_NE(r.err.find("in.json"), std::string::npos) << r.err;
        EXPECT_EQ(Read(target), previous);
        EXPECT_EQ(FolderContents(), (std::vector<fs::path>{"in.json", "target.bin"}));
    }

    CCommandResult missing = RunVelqMenu({"pack", folder / "absent.json", target});
    ExpectOneLineError(missing, "absent.json");
    EXPECT_EQ(Read(target), previous);
}

TEST_F(VelqMenuFiles, PackIntoAMissingFolderFails)
{
    fs::path jsonFile = Write("in.json", "{}");
    CCommandResult r = RunVelqMenu({"pack", jsonFile, folder / "no-such-folder" / "out.bin"});
    ExpectOneLineError(r, "out.bin");
    EXPECT_EQ(FolderContents(), (std::vector<fs::path>{"in.json"}));
}

TEST_F(VelqMenuFiles, PackOntoAFolderFailsWithoutLeftovers)
{
    fs::path jsonFile = Write("in.json", "{}");
    fs::create_directory(folder / "sub");
    CCommandResult r = RunVelqMenu({"pack", jsonFile, folder / "sub"});
    ExpectOneLineError(r, "sub");
    EXPECT_EQ(FolderContents(), (std::vector<fs::path>{"in.json", "sub"}));
    EXPECT_TRUE(fs::is_empty(folder / "sub"));
}

TEST_F(VelqMenuFiles, DumpFailures)
{
    fs::path corrupt = Write("corrupt.bin", std::string("\x00\x01\xFF\xFE\xFF", 5));
    fs::path empty = Write("empty.bin", "");
    ExpectOneLineError(RunVelqMenu({"dump", corrupt}), "corrupt.bin");
    ExpectOneLineError(RunVelqMenu({"dump", empty}), "empty.bin");
    ExpectOneLineError(RunVelqMenu({"dump", folder / "absent.bin"}), "absent.bin");
}

TEST_F(VelqMenuFiles, SalvageWritesWhatCanBeReadAsAnArchive)
{
    CXRoot original(kLeftMenuName);
    BuildFullTree(original);
    std::vector<uint8_t> good = *WriteTreeArchive(original);
    auto asText = [](const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); };

    // Whole: written as it was.
    fs::path whole = Write("whole.bin", asText(good));
    CCommandResult r = RunVelqMenu({"salvage", whole, folder / "out.bin"});
    EXPECT_EQ(r.exitCode, kExitOk) << r.err;
    EXPECT_EQ(r.out.rfind("the archive is not damaged: ", 0), 0u) << r.out;
    EXPECT_EQ(Read(folder / "out.bin"), asText(good));

    // Cut short in the middle: a loadable archive of the entries before the cut, and a count.
    fs::path cut = Write(u8"cut.bin", asText(std::vector(good.begin(), good.begin() + good.size() / 2)));
    r = RunVelqMenu({"salvage", cut, folder / "out.bin"});
    EXPECT_EQ(r.exitCode, kExitOk) << r.err;
    EXPECT_TRUE(r.err.empty());
    EXPECT_NE(r.out.find(" entries salvaged (0 found again after the damage at byte "), std::string::npos) << r.out;
    const std::string salvaged = Read(folder / "out.bin");
    CXRoot loaded(kLeftMenuName);
    ASSERT_TRUE(ReadTreeArchive(loaded, std::span(reinterpret_cast<const uint8_t*>(salvaged.data()), salvaged.size())));
    ASSERT_FALSE(loaded.children.empty());
    EXPECT_LT(loaded.children.size(), original.children.size());
    ExpectSameTree(*original.children[0], *loaded.children[0]);
    EXPECT_EQ(RunVelqMenu({"dump", folder / "out.bin"}).exitCode, kExitOk);

    // Nothing readable: an error, and the target stays as it was.
    fs::path noise = Write("noise.bin", std::string(4096, '\x5A'));
    r = RunVelqMenu({"salvage", noise, folder / "out.bin"});
    ExpectOneLineError(r, "noise.bin: no menu entry can be read");
    EXPECT_EQ(Read(folder / "out.bin"), salvaged);
    ExpectOneLineError(RunVelqMenu({"salvage", folder / "absent.bin", folder / "out.bin"}), "absent.bin");
}

TEST_F(VelqMenuFiles, UsageErrors)
{
    const std::vector<std::vector<fs::path>> cases = {
        {}, {"dump"}, {"pack", "a.json"}, {"dump", "a", "b"}, {"pack", "a", "b", "c"}, {"frob", "a"}, {"DUMP", "a"},
        {"salvage", "a"},  {"salvage", "a", "b", "c"},
    };
    for (const auto& args : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        CCommandResult r = RunVelqMenu(args);
        EXPECT_EQ(r.exitCode, kExitUsage);
        EXPECT_TRUE(r.out.empty());
        EXPECT_EQ(r.err, UsageText());
    }
    CCommandResult help = RunVelqMenu({"--help"});
    EXPECT_EQ(help.exitCode, kExitOk);
    EXPECT_EQ(help.out, UsageText());
    EXPECT_NE(UsageText().find("utf16"), std::string::npos);
}

#ifndef _WIN32
TEST_F(VelqMenuFiles, ReplacingKeepsTheFileMode)
{
    fs::path target = Write("menu.bin", "old");
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    const uint8_t bytes[] = {1, 2, 3};
    ReplaceFileWith(target, bytes);
    struct stat st;
    ASSERT_EQ(stat(target.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Read(target), std::string("\1\2\3"));
}
#endif

} // namespace
