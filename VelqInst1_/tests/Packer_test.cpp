// The packer program on real files: its arguments, the data order it writes and what the
// POSIX file interfaces extract from its output.

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "PayloadFile_posix.h"
#include "PayloadTestSupport.h"

using namespace payloadtest;
namespace fs = std::filesystem;

namespace {

class PackerTest : public testing::Test {
protected:
    void SetUp() override
    {
        char pattern[] = "/tmp/velq-pack-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes, time_t mtime = 0)
    {
        std::string path = dir + "/" + name;
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
        if (mtime != 0) {
            struct timespec t[2] = {{mtime, 0}, {mtime, 500}};
            utimensat(AT_FDCWD, path.c_str(), t, 0);
        }
        return path;
    }
    static std::vector<uint8_t> Load(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }
    int Pack(const std::string& args)
    {
        std::string command = std::string(VELQ_PACK_PATH) + " " + args + " 2>" + dir + "/stderr";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string dir;
};

} // namespace

TEST_F(PackerTest, PacksTagsInArgumentOrderAndDataInDataOrder)
{
    std::string image = Write("boot.exe", FakePeImage(3000));
    const char* names[] = {"VelqInst2.exe", "Velquinランチャー.exe", "VelqSub.exe"};
    std::vector<std::string> x86, x64;
    for (int i = 0; i < 3; ++i) {
        x86.push_back(Write(std::string("x86/") + names[i], RandomBytes(1000 + 70000 * i, 20 + i), 1700000000 + i));
        x64.push_back(Write(std::string("x64/") + names[i], RandomBytes(2000 + 1000 * i, 30 + i), 1600000000 + i));
    }
    std::string out = dir + "/VelqInst1a.exe";
    std::string args = "--image " + image + " --out " + out;
    // x64 data first (installer, helper, launcher), then the x86 set.
    args += " --data '" + x64[0] + "' --data '" + x64[2] + "' --data '" + x64[1] + "'";
    for (int i : {0, 2, 1}) {
        args += " --data '" + x86[i] + "'";
    }
    args += " --tag '#x86'";
    for (int i = 0; i < 3; ++i) {
        args += " --file '" + x86[i] + "'";
    }
    args += " --tag '#x64'";
    for (int i = 0; i < 3; ++i) {
        args += " --file '" + x64[i] + "'";
    }
    args += " --tag extra --file '" + x64[0] + "' --as 'renamed.exe'";
    ASSERT_EQ(Pack(args), 0) << Load(dir + "/stderr").data();

    CPosixPayloadSource source(out);
    ASSERT_TRUE(source.IsOpen());
    CPayloadDirectory directory;
    ASSERT_TRUE(ReadPayloadDirectory(source, directory));
    ASSERT_EQ(directory.tags.size(), 3u);
    EXPECT_EQ(directory.tags[0]->name, L"#x86");
    EXPECT_EQ(directory.tags[1]->name, L"#x64");
    EXPECT_EQ(directory.payloadStart, fs::file_size(image));
    const auto& x64Files = directory.tags[1]->files;
    const auto& x86Files = directory.tags[0]->files;
    EXPECT_EQ(x64Files[1]->name, L"Velquinランチャー.exe");
    EXPECT_EQ(x64Files[0]->offset, int64_t(directory.payloadStart));
    EXPECT_EQ(x64Files[2]->offset, x64Files[0]->offset + x64Files[0]->size);
    EXPECT_EQ(x64Files[1]->offset, x64Files[2]->offset + x64Files[2]->size);
    EXPECT_EQ(x86Files[0]->offset, x64Files[1]->offset + x64Files[1]->size);
    EXPECT_EQ(directory.tags[2]->files[0]->name, L"renamed.exe");
    EXPECT_EQ(directory.tags[2]->files[0]->offset, x64Files[0]->offset);
    EXPECT_EQ(x86Files[1]->attributes & 0x20u, 0x20u);

    std::string extract = dir + "/extract";
    fs::create_directories(extract);
    CPosixPayloadFolder folder;
    std::wstring wideFolder(extract.begin(), extract.end());
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(ExtractPayloadFile(source, *x86Files[i], wideFolder, folder), EExtractResult::Ok);
        std::string written = extract + "/" + names[i];
        EXPECT_EQ(Load(written), Load(x86[i]));
        struct stat a, b;
        ASSERT_EQ(stat(written.c_str(), &a), 0);
        ASSERT_EQ(stat(x86[i].c_str(), &b), 0);
        EXPECT_EQ(a.st_mtim.tv_sec, b.st_mtim.tv_sec);
        EXPECT_EQ(a.st_mtim.tv_nsec / 100, b.st_mtim.tv_nsec / 100);
    }
    EXPECT_FALSE(fs::exists(out + ".part"));
}

TEST_F(PackerTest, RefusesWhatWouldNotMakeAValidContainer)
{
    std::string image = Write("boot.exe", FakePeImage(3000));
    std::string notPe = Write("plain.bin", RandomBytes(3000, 1));
    std::string file = Write("a.exe", RandomBytes(100, 2));
    std::string out = dir + "/out.exe";
    struct Case {
        std::string args;
        int status;
    };
    const std::vector<Case> cases = {
        {"--image " + notPe + " --out " + out + " --tag '#x64' --file " + file, 1},
        {"--image " + image + " --out " + out + " --reserve 1048576 --tag '#x64' --file " + file, 1},
        {"--image " + image + " --out " + out + " --tag '#x64' --file " + file + " --as '..'", 1},
        {"--image " + image + " --out " + out + " --tag '#x64' --file " + dir + "/missing.exe", 1},
        {"--image " + image + " --out " + out + " --data " + file, 1},
        {"--image " + image + " --out " + out + " --file " + file, 1},
        {"--image " + image + " --tag '#x64' --file " + file, 2},
        {"--image " + image + " --out " + out + " --bogus x", 2},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(Pack(k.args), k.status) << k.args;
        EXPECT_FALSE(fs::exists(out)) << k.args;
    }
    EXPECT_EQ(Pack("--image " + image + " --out " + out + " --reserve 16384 --tag '#x64' --file " + file), 0);
    EXPECT_TRUE(fs::exists(out));
}
