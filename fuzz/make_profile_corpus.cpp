// Writes the seed inputs of the profile fuzzer into a directory: records written by the
// current writer, and records of the older versions and with narrow strings built by hand.
// Usage: profile_corpus DIRECTORY

#include <cstdio>
#include <string>
#include <vector>

#include "ArchiveBytes.h"
#include "FakePlatform.h"
#include "Profiles.h"

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

// An older record: the fields of its version, strings with the marker or as code page bytes.
std::vector<uint8_t> OldRecord(uint16_t version, bool narrow)
{
    CArchiveBytes b;
    b.UInt32(kProfileMagic).Word(version).Int32(2);
    if (narrow)
        b.AnsiStr(ToCp932(L"ＭＳ ゴシック"));
    else
        b.Str(L"Meiryo UI");
    b.Int32(90).Int32(700).Byte(1).Int32(6);
    for (uint32_t color : {0x13363Eu, 0x26ABE3u, 0x235061u, 0x1C515Bu, 0x26ABE3u, 0x1C515Bu})
        b.UInt32(color);
    if (version >= 3) {
        b.Byte(1);
        if (narrow)
            b.AnsiStr(ToCp932(L"C:\\画像\\紙.png"));
        else
            b.Str(L"C:\\画像\\紙.png");
        b.Byte(200);
    }
    if (version >= 2)
        b.Byte(1);
    b.Int32(2).Int32(50).Int32(1);
    if (version >= 1)
        b.Int32(1);
    b.UInt32(kProfileMagic);
    return b.bytes;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: profile_corpus DIRECTORY\n");
        return 2;
    }
    CFakeEnvironment environment;
    const std::string directory = argv[1];
    CODMSettings textured;
    textured.drawType = 2;
    textured.fontName = L"游ゴシック";
    textured.fontSize = 105;
    textured.fontItalic = 1;
    textured.useTexture = 1;
    textured.textureFile = L"D:\\壁紙\\" + std::wstring(260, L'x') + L".jpg";
    textured.alphaHighlight = 255;
    textured.submenuMark = 1;
    bool ok = WriteFile(directory, "defaults.bin", SerializeProfile(CODMSettings{})) &&
              WriteFile(directory, "builtin-white.bin", SerializeProfile(BuiltInProfiles()[2].settings)) &&
              WriteFile(directory, "textured.bin", SerializeProfile(textured));
    for (uint16_t version = 0; version <= 3; ++version) {
        const std::string name = "version" + std::to_string(version) + ".bin";
        ok = ok && WriteFile(directory, name.c_str(), OldRecord(version, false));
    }
    ok = ok && WriteFile(directory, "narrow.bin", OldRecord(3, true));
    if (!ok) {
        std::fprintf(stderr, "could not write into %s\n", directory.c_str());
        return 1;
    }
    return 0;
}
