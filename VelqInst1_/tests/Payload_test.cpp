#include "Payload.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>

#include "PayloadTestSupport.h"
#include "PayloadWriter.h"

using namespace payloadtest;

namespace {

// A source that records the sizes asked for and can be told to come short.
class CRecordingSource : public CMemoryPayloadSource {
public:
    using CMemoryPayloadSource::CMemoryPayloadSource;
    std::vector<size_t> reads;
    size_t shortAfter = SIZE_MAX; // total bytes delivered before reads come short
    size_t delivered = 0;
    bool failSeek = false;

    bool Seek(uint64_t offset, uint64_t& reached) override
    {
        return !failSeek && CMemoryPayloadSource::Seek(offset, reached);
    }
    bool Read(void* buffer, size_t wanted, size_t& got) override
    {
        reads.push_back(wanted);
        size_t allowed = std::min(wanted, shortAfter - std::min(shortAfter, delivered));
        CMemoryPayloadSource::Read(buffer, allowed, got);
        delivered += got;
        return true;
    }
};

bool Read(const std::vector<uint8_t>& container, CPayloadDirectory& directory)
{
    CMemoryPayloadSource source(container.data(), container.size());
    return ReadPayloadDirectory(source, directory);
}

struct CPacked {
    std::vector<uint8_t> image;
    std::vector<CPackData> data;
    std::vector<CPackTag> tags;
    std::vector<uint8_t> container;
};

// The release layout in miniature: "#x86" first in the directory, x64 data first in the file,
// the x64 data in an order other than its directory order.
CPacked PackRelease(size_t imageSize, const std::vector<size_t>& sizes)
{
    CPacked p;
    p.image = FakePeImage(imageSize, false, 3);
    const size_t n = sizes.size();
    for (size_t i = 0; i < 2 * n; ++i) {
        CPackData d;
        d.bytes = RandomBytes(sizes[i % n], uint32_t(100 + i));
        d.lastWriteTime = 0x01DA0000'00000000ull + i * 12345;
        d.attributes = 0x2020 + uint32_t(i);
        p.data.push_back(std::move(d));
    }
    // data 0..n-1 are x64, reversed relative to the directory; n..2n-1 are x86.
    CPackTag x86{L"#x86", {}}, x64{L"#x64", {}};
    for (size_t i = 0; i < n; ++i) {
        std::wstring name = L"ファイル" + std::to_wstring(i) + L".exe";
        x86.files.push_back({name, n + i});
        x64.files.push_back({name, n - 1 - i});
    }
    p.tags = {x86, x64};
    std::string error;
    EXPECT_TRUE(BuildPayloadContainer(p.image, p.data, p.tags, 0, p.container, error)) << error;
    return p;
}

size_t FindMarker(const std::vector<uint8_t>& c, const char* marker)
{
    for (size_t at = c.size() - kPayloadMarkerSize + 1; at-- > 0;) {
        if (std::memcmp(c.data() + at, marker, kPayloadMarkerSize) == 0) {
            return at;
        }
    }
    return SIZE_MAX;
}

} // namespace

TEST(PayloadContainer, RoundTripKeepsEveryFieldAndTheBytes)
{
    const std::vector<size_t> sizes = {0, 1, 0xFFFF, 0x10000, 0x10001, 200000};
    CPacked p = PackRelease(5000, sizes);

    CPayloadDirectory dir;
    ASSERT_TRUE(Read(p.container, dir));
    EXPECT_EQ(dir.payloadStart, p.image.size());
    TSha256Digest imageDigest;
    ASSERT_TRUE(ComputeImageDigest(p.image, imageDigest));
    EXPECT_EQ(dir.imageDigest, imageDigest);
    ASSERT_EQ(dir.tags.size(), 2u);
    EXPECT_EQ(dir.tags[0]->name, L"#x86");
    EXPECT_EQ(dir.tags[1]->name, L"#x64");
    EXPECT_EQ(FindMarker(p.container, kPayloadStartMarker) % 32, 0u);

    CMemoryPayloadSource source(p.container.data(), p.container.size());
    for (size_t t = 0; t < 2; ++t) {
        ASSERT_EQ(dir.tags[t]->files.size(), sizes.size());
        for (size_t i = 0; i < sizes.size(); ++i) {
            const TFPFile& f = *dir.tags[t]->files[i];
            const CPackFile& packed = p.tags[t].files[i];
            const CPackData& data = p.data[packed.data];
            EXPECT_EQ(f.name, packed.name);
            EXPECT_EQ(f.size, int64_t(data.bytes.size()));
            EXPECT_EQ(f.lastWriteTime, data.lastWriteTime);
            EXPECT_EQ(f.attributes, data.attributes);
            EXPECT_EQ(f.digest, CSha256::Of(data.bytes.data(), data.bytes.size()));

            CMemoryFolder folder;
            ASSERT_EQ(ExtractPayloadFile(source, f, L"C:\\T\\", folder), EExtractResult::Ok);
            const CMemoryFile& out = folder.files.at(L"C:\\T\\" + f.name);
            EXPECT_EQ(out.bytes, data.bytes);
            EXPECT_TRUE(out.timeSet);
            EXPECT_EQ(out.lastWriteTime, data.lastWriteTime);
        }
    }
}

TEST(PayloadContainer, DataLiesInDataOrderAfterTheImage)
{
    CPacked p = PackRelease(777, {10, 20, 30});
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(p.container, dir));
    // Data list order: x64 files (directory order reversed), then x86 files.
    std::vector<int64_t> offsets(p.data.size());
    for (size_t t = 0; t < 2; ++t) {
        for (size_t i = 0; i < 3; ++i) {
            offsets[p.tags[t].files[i].data] = dir.tags[t]->files[i]->offset;
        }
    }
    int64_t expected = int64_t(p.image.size());
    for (size_t i = 0; i < p.data.size(); ++i) {
        EXPECT_EQ(offsets[i], expected) << "data " << i;
        expected += int64_t(p.data[i].bytes.size());
    }
    EXPECT_TRUE(std::equal(p.image.begin(), p.image.end(), p.container.begin()));
}

TEST(PayloadContainer, FileSharedByTwoTagsIsStoredOnce)
{
    std::vector<uint8_t> image = FakePeImage(300);
    std::vector<CPackData> data(1);
    data[0].bytes = RandomBytes(1000, 9);
    std::vector<CPackTag> tags = {{L"#x86", {{L"a.exe", 0}}}, {L"#x64", {{L"b.exe", 0}}}};
    std::vector<uint8_t> c;
    std::string error;
    ASSERT_TRUE(BuildPayloadContainer(image, data, tags, 0, c, error)) << error;
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(c, dir));
    EXPECT_EQ(dir.tags[0]->files[0]->offset, dir.tags[1]->files[0]->offset);
    EXPECT_LT(c.size(), image.size() + 2 * data[0].bytes.size());
}

TEST(PayloadContainer, LargeFileFindsTheDirectoryInTheLastMegabyte)
{
    // Image sizes around the window edge, so the rounded window start moves.
    for (size_t imageSize : {size_t(0x100000 - 100), size_t(0x100000 + 1), size_t(0x180000 + 17)}) {
        CPacked p = PackRelease(imageSize, {4096, 70000});
        CPayloadDirectory dir;
        EXPECT_TRUE(Read(p.container, dir)) << imageSize;
        EXPECT_EQ(dir.tags.size(), 2u);
    }
}

TEST(PayloadContainer, DirectoryIsFoundWithOneReadOfTheLastMegabyte)
{
    for (size_t imageSize : {size_t(5000), size_t(0x100000 + 4321), size_t(0x300000)}) {
        CPacked p = PackRelease(imageSize, {70000});
        CRecordingSource source(p.container.data(), p.container.size());
        CPayloadDirectory dir;
        ASSERT_TRUE(ReadPayloadDirectory(source, dir));
        size_t expected = std::min<size_t>(p.container.size(), kPayloadWindow);
        ASSERT_EQ(source.reads.size(), 1u) << imageSize;
        EXPECT_LE(source.reads[0], kPayloadWindow);
        EXPECT_GE(source.reads[0], expected - 31) << "the window starts at a multiple of 32";
    }
}

TEST(PayloadContainer, DirectoryOutsideTheLastMegabyteIsNotFound)
{
    CPacked p = PackRelease(2000, {100});
    std::vector<uint8_t> c = p.container;
    c.resize(c.size() + kPayloadWindow, 0);
    CPayloadDirectory dir;
    EXPECT_FALSE(Read(c, dir));
    EXPECT_TRUE(dir.tags.empty());
    // Just inside: trailing data that leaves the marker at the window start.
    size_t marker = FindMarker(p.container, kPayloadStartMarker);
    c = p.container;
    c.resize(marker + kPayloadWindow, 0);
    EXPECT_TRUE(Read(c, dir));
    c.resize(c.size() + 32, 0);
    EXPECT_FALSE(Read(c, dir));
}

TEST(PayloadContainer, WriterRefusesADirectoryThatWouldLeaveTheWindow)
{
    CPacked p = PackRelease(2000, {100});
    std::vector<uint8_t> c;
    std::string error;
    EXPECT_FALSE(BuildPayloadContainer(p.image, p.data, p.tags, kPayloadWindow, c, error));
    EXPECT_NE(error.find("1 MiB"), std::string::npos);
    EXPECT_TRUE(BuildPayloadContainer(p.image, p.data, p.tags, 4096, c, error)) << error;
}

TEST(PayloadContainer, MisalignedStartMarkerIsNotFound)
{
    CPacked p = PackRelease(1000, {64});
    size_t marker = FindMarker(p.container, kPayloadStartMarker);
    for (size_t shift : {1, 4, 8, 16, 31}) {
        std::vector<uint8_t> c = p.container;
        c.insert(c.begin() + marker, shift, 0);
        CPayloadDirectory dir;
        EXPECT_FALSE(Read(c, dir)) << "shift " << shift;
    }
    // A whole step of 32 keeps it found.
    std::vector<uint8_t> c = p.container;
    c.insert(c.begin() + marker, 32, 0);
    CPayloadDirectory dir;
    EXPECT_TRUE(Read(c, dir));
}

TEST(PayloadContainer, OfTwoStartMarkersTheOneNearerTheEndIsUsed)
{
    CPacked p = PackRelease(1000, {64});
    CRawDirectory second;
    second.tags = {{L"second", {}}};
    std::vector<uint8_t> c = Assemble(p.container, second.Encode());
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(c, dir));
    ASSERT_EQ(dir.tags.size(), 1u);
    EXPECT_EQ(dir.tags[0]->name, L"second");

    // A damaged later directory does not fall back to the earlier one.
    std::vector<uint8_t> damaged = second.Encode();
    damaged[kPayloadMarkerSize + 3] ^= 1;
    EXPECT_FALSE(Read(Assemble(p.container, damaged), dir));
}

TEST(PayloadContainer, TagWithoutFilesIsValidAndLookupIsExact)
{
    CRawDirectory raw;
    raw.tags = {{L"#x64", {}}, {L"#X86", {}}, {L"#x86", {}}, {L"#x86", {{L"later.exe", 0, 0, 0, 0, {}}}}};
    std::vector<uint8_t> c = Assemble(FakePeImage(100), raw.Encode());
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(c, dir));
    ASSERT_EQ(dir.tags.size(), 4u);
    auto x64 = FindPayloadTag(dir.tags, L"#x64");
    ASSERT_TRUE(x64);
    EXPECT_TRUE(x64->files.empty());
    EXPECT_EQ(FindPayloadTag(dir.tags, L"#x86"), dir.tags[2]); // first wins, case matters
    EXPECT_EQ(FindPayloadTag(dir.tags, L"#X64"), nullptr);
    EXPECT_EQ(FindPayloadTag(dir.tags, L"#x8"), nullptr);
    EXPECT_EQ(FindPayloadTag(dir.tags, L"#x866"), nullptr);
}

TEST(PayloadContainer, AnyFlippedDirectoryByteFailsTheWholeDirectory)
{
    CPacked p = PackRelease(600, {10, 0});
    size_t marker = FindMarker(p.container, kPayloadStartMarker);
    for (size_t at = marker; at < p.container.size(); ++at) {
        for (uint8_t bit : {0x01, 0x80}) {
            std::vector<uint8_t> c = p.container;
            c[at] ^= bit;
            CPayloadDirectory dir;
            ASSERT_FALSE(Read(c, dir)) << "byte " << at - marker << " bit " << int(bit);
            ASSERT_TRUE(dir.tags.empty());
        }
    }
}

TEST(PayloadContainer, TruncatedDirectoryFailsAtEveryLength)
{
    CPacked p = PackRelease(600, {10});
    size_t marker = FindMarker(p.container, kPayloadStartMarker);
    for (size_t end = marker; end < p.container.size(); ++end) {
        std::vector<uint8_t> c(p.container.begin(), p.container.begin() + end);
        CPayloadDirectory dir;
        ASSERT_FALSE(Read(c, dir)) << "cut at " << end - marker;
    }
}

TEST(PayloadContainer, CountsBeyondTheDataReadFail)
{
    // Tag and file counts larger than the bytes read can hold.
    for (uint16_t tagCount : {uint16_t(2), uint16_t(0xFFFF)}) {
        CRawDirectory raw;
        raw.tags = {{L"#x64", {}}};
        std::vector<uint8_t> d = raw.Encode();
        d[kPayloadMarkerSize + 40] = uint8_t(tagCount);
        d[kPayloadMarkerSize + 41] = uint8_t(tagCount >> 8);
        CPayloadDirectory dir;
        EXPECT_FALSE(Read(Assemble(FakePeImage(100), d), dir)) << tagCount;
    }
    CRawDirectory raw;
    raw.tags = {{L"t", {}}};
    std::vector<uint8_t> d = raw.Encode();
    // The tag's file count follows the tag count (2) and the name (2 + 2).
    d[kPayloadMarkerSize + 42 + 4] = 0xFF;
    d[kPayloadMarkerSize + 42 + 5] = 0xFF;
    CPayloadDirectory dir;
    EXPECT_FALSE(Read(Assemble(FakePeImage(100), d), dir));
}

TEST(PayloadContainer, FlippedDataByteFailsOnlyThatFile)
{
    CPacked p = PackRelease(600, {1000, 70000, 5});
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(p.container, dir));
    const auto& files = dir.tags[1]->files;
    std::vector<uint8_t> c = p.container;
    c[size_t(files[1]->offset + 65536 + 3)] ^= 0x10;
    CPayloadDirectory again;
    ASSERT_TRUE(Read(c, again)) << "the directory does not cover file data";

    CMemoryPayloadSource source(c.data(), c.size());
    CMemoryFolder folder;
    EXPECT_EQ(ExtractPayloadFile(source, *files[0], L"D", folder), EExtractResult::Ok);
    EXPECT_EQ(ExtractPayloadFile(source, *files[1], L"D", folder), EExtractResult::DigestMismatch);
    EXPECT_EQ(ExtractPayloadFile(source, *files[2], L"D", folder), EExtractResult::Ok);
    // The damaged file is left in place, whole, without its time.
    const CMemoryFile& damaged = folder.files.at(L"D\\" + files[1]->name);
    EXPECT_EQ(damaged.bytes.size(), 70000u);
    EXPECT_FALSE(damaged.timeSet);
}

TEST(PayloadContainer, CertificateTableAddedBySigningKeepsItValid)
{
    for (bool pe32Plus : {false, true}) {
        std::vector<uint8_t> image = FakePeImage(4096, pe32Plus, 11);
        std::vector<CPackData> data(1);
        data[0].bytes = RandomBytes(3000, 12);
        std::vector<CPackTag> tags = {{L"#x64", {{L"VelqInst2.exe", 0}}}};
        std::vector<uint8_t> c;
        std::string error;
        ASSERT_TRUE(BuildPayloadContainer(image, data, tags, 0, c, error)) << error;

        // What signing does: append the table and point the header at it.
        size_t table = (c.size() + 7) & ~size_t(7);
        c.resize(table, 0);
        std::vector<uint8_t> certificate = RandomBytes(5000, 13);
        c.insert(c.end(), certificate.begin(), certificate.end());
        Store32(c, FakeCheckSumOffset(), 0x0004A1B3);
        Store32(c, FakeCertificateEntryOffset(pe32Plus), uint32_t(table));
        Store32(c, FakeCertificateEntryOffset(pe32Plus) + 4, uint32_t(certificate.size()));

        CPayloadDirectory dir;
        ASSERT_TRUE(Read(c, dir));
        std::vector<uint8_t> signedImage(c.begin(), c.begin() + ptrdiff_t(dir.payloadStart));
        TSha256Digest digest;
        ASSERT_TRUE(ComputeImageDigest(signedImage, digest));
        EXPECT_EQ(digest, dir.imageDigest);
        EXPECT_TRUE(ImageHasCertificateEntry(signedImage));
        // Any other header byte does change the image digest.
        signedImage[FakeCheckSumOffset() + 4] ^= 1;
        ASSERT_TRUE(ComputeImageDigest(signedImage, digest));
        EXPECT_NE(digest, dir.imageDigest);

        CMemoryPayloadSource source(c.data(), c.size());
        CMemoryFolder folder;
        EXPECT_EQ(ExtractPayloadFile(source, *dir.tags[0]->files[0], L"D", folder), EExtractResult::Ok);

        // Packing a signed image is refused.
        EXPECT_FALSE(BuildPayloadContainer(signedImage, data, tags, 0, c, error));
    }
}

TEST(PayloadContainer, WriterRefusesNonPeImagesUnsafeNamesAndStrayData)
{
    std::vector<CPackData> data(2);
    std::vector<uint8_t> c;
    std::string error;
    std::vector<uint8_t> notPe(1000, 0);
    EXPECT_FALSE(BuildPayloadContainer(notPe, data, {{L"#x64", {{L"a", 0}, {L"b", 1}}}}, 0, c, error));
    std::vector<uint8_t> image = FakePeImage(1000);
    EXPECT_FALSE(BuildPayloadContainer(image, data, {{L"#x64", {{L"..", 0}, {L"b", 1}}}}, 0, c, error));
    EXPECT_FALSE(BuildPayloadContainer(image, data, {{L"#x64", {{L"a", 0}}}}, 0, c, error)) << "data 1 unused";
    EXPECT_FALSE(BuildPayloadContainer(image, data, {{L"#x64", {{L"a", 0}, {L"b", 2}}}}, 0, c, error));
    EXPECT_TRUE(BuildPayloadContainer(image, data, {{L"#x64", {{L"a", 0}, {L"b", 1}}}}, 0, c, error)) << error;
}

TEST(PayloadContainer, EmptyFileIsExtractedEmpty)
{
    CRawDirectory raw;
    std::vector<uint8_t> image = FakePeImage(100);
    raw.payloadStart = image.size();
    CRawFile empty{L"empty.dat", int64_t(image.size()), 0, 0x01D00000'00000001ull, 0x20, CSha256::Of("", 0)};
    raw.tags = {{L"#x64", {empty}}};
    std::vector<uint8_t> c = Assemble(image, raw.Encode());
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(c, dir));
    CRecordingSource source(c.data(), c.size());
    CMemoryFolder folder;
    folder.files[L"T\\empty.dat"].bytes = {1, 2, 3}; // left over from an earlier run
    EXPECT_EQ(ExtractPayloadFile(source, *dir.tags[0]->files[0], L"T", folder), EExtractResult::Ok);
    EXPECT_TRUE(folder.files.at(L"T\\empty.dat").bytes.empty());
    EXPECT_EQ(folder.files.at(L"T\\empty.dat").lastWriteTime, empty.lastWriteTime);
    EXPECT_TRUE(source.reads.empty());
}

TEST(PayloadContainer, ExtractionReadsWholeChunksOfSixtyFourKilobytes)
{
    CPacked p = PackRelease(100, {3 * 0x10000 + 5});
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(p.container, dir));
    CRecordingSource source(p.container.data(), p.container.size());
    CMemoryFolder folder;
    ASSERT_EQ(ExtractPayloadFile(source, *dir.tags[0]->files[0], L"T", folder), EExtractResult::Ok);
    EXPECT_EQ(source.reads, (std::vector<size_t>{0x10000, 0x10000, 0x10000, 5}));
}

TEST(PayloadContainer, ExtractionFailuresReportTheirReasonAndLeaveThePartialFile)
{
    CPacked p = PackRelease(100, {200000});
    CPayloadDirectory dir;
    ASSERT_TRUE(Read(p.container, dir));
    const TFPFile& file = *dir.tags[0]->files[0];
    const std::wstring path = L"T\\" + file.name;

    struct Case {
        const char* what;
        std::function<void(CRecordingSource&, CMemoryFolder&, TFPFile&)> setup;
        EExtractResult expected;
        size_t leftBytes; // SIZE_MAX: no file created
    };
    const std::vector<Case> cases = {
        {"create refused", [&](auto&, auto& f, auto&) { f.refuseCreate = path; }, EExtractResult::CannotCreate,
         SIZE_MAX},
        {"seek fails", [](auto& s, auto&, auto&) { s.failSeek = true; }, EExtractResult::ReadFailed, 0},
        {"read comes short", [](auto& s, auto&, auto&) { s.shortAfter = 0x10000 + 10; }, EExtractResult::ReadFailed,
         0x10000},
        {"write comes short", [](auto&, auto& f, auto&) { f.writeLimit = 0x20000 + 1; }, EExtractResult::WriteFailed,
         0x20000 + 1},
        {"time refused", [](auto&, auto& f, auto&) { f.refuseTime = true; }, EExtractResult::WriteFailed, 200000},
        {"offset negative", [](auto&, auto&, auto& r) { r.offset = -1; }, EExtractResult::ReadFailed, 0},
        {"size negative", [](auto&, auto&, auto& r) { r.size = -5; }, EExtractResult::ReadFailed, 0},
        {"beyond the end", [&](auto&, auto&, auto& r) { r.offset = int64_t(p.container.size()) - 100; },
         EExtractResult::ReadFailed, 0},
        {"wrong digest", [](auto&, auto&, auto& r) { r.digest[31] ^= 1; }, EExtractResult::DigestMismatch, 200000},
    };
    for (const Case& k : cases) {
        CRecordingSource source(p.container.data(), p.container.size());
        CMemoryFolder folder;
        TFPFile record = file;
        k.setup(source, folder, record);
        EXPECT_EQ(ExtractPayloadFile(source, record, L"T", folder), k.expected) << k.what;
        if (k.leftBytes == SIZE_MAX) {
            EXPECT_TRUE(folder.files.empty()) << k.what;
        } else {
            ASSERT_EQ(folder.files.count(path), 1u) << k.what;
            EXPECT_EQ(folder.files.at(path).bytes.size(), k.leftBytes) << k.what;
            EXPECT_EQ(folder.files.at(path).timeSet, k.expected == EExtractResult::Ok) << k.what;
        }
    }
}

struct NameCase {
    std::wstring name;
    bool safe;
};

class PayloadFileName : public testing::TestWithParam<NameCase> {};

TEST_P(PayloadFileName, CheckMatchesWindowsFileNameRules)
{
    EXPECT_EQ(IsSafePayloadFileName(GetParam().name), GetParam().safe);
}

INSTANTIATE_TEST_SUITE_P(
    Names, PayloadFileName,
    testing::Values(NameCase{L"VelqInst2.exe", true}, NameCase{L"Velquinランチャー設定ツール.exe", true},
                    NameCase{L"a b.c d", true}, NameCase{L".profile", true}, NameCase{L"console.txt", true},
                    NameCase{L"COM10", true}, NameCase{L"nul1", true},
                    NameCase{std::wstring(L"\xD83D\xDE00.txt"), true}, NameCase{L"", false}, NameCase{L".", false},
                    NameCase{L"..", false}, NameCase{L"a\\b", false}, NameCase{L"..\\evil.exe", false},
                    NameCase{L"a/b", false}, NameCase{L"C:evil.exe", false}, NameCase{L"\\\\server\\share", false},
                    NameCase{L"x*", false}, NameCase{L"x?", false}, NameCase{L"a\"b", false}, NameCase{L"a<b", false},
                    NameCase{L"a>b", false}, NameCase{L"a|b", false}, NameCase{std::wstring(L"a\x01", 2), false},
                    NameCase{std::wstring(L"a\0b", 3), false}, NameCase{L"name.", false}, NameCase{L"name ", false},
                    NameCase{L"NUL", false}, NameCase{L"nul.txt", false}, NameCase{L"Con", false},
                    NameCase{L"aux .log", false}, NameCase{L"COM1", false}, NameCase{L"lpt9.dat", false},
                    NameCase{L"CONOUT$", false}, NameCase{std::wstring(L"COM\xB9"), false}));

TEST(PayloadContainer, TamperedNameWithMatchingDigestIsRefusedBeforeExtraction)
{
    for (const wchar_t* hostile : {L"..\\..\\Windows\\evil.exe", L"C:\\evil.exe", L"..", L"sub\\a.exe", L"a:stream"}) {
        CRawDirectory raw;
        std::vector<uint8_t> image = FakePeImage(200);
        raw.payloadStart = image.size();
        raw.tags = {{L"#x64", {{L"ok.exe", 0, 0, 0, 0, CSha256::Of("", 0)}}},
                    {L"#x86", {{hostile, 0, 0, 0, 0, CSha256::Of("", 0)}}}};
        CPayloadDirectory dir;
        EXPECT_FALSE(Read(Assemble(image, raw.Encode()), dir)) << "the whole container is refused";
        EXPECT_TRUE(dir.tags.empty());

        // Extraction on its own refuses the name as well.
        CMemoryFolder folder;
        CMemoryPayloadSource source(image.data(), image.size());
        TFPFile file;
        file.name = hostile;
        file.digest = CSha256::Of("", 0);
        EXPECT_EQ(ExtractPayloadFile(source, file, L"T", folder), EExtractResult::CannotCreate);
        EXPECT_TRUE(folder.created.empty());
    }
}

TEST(PayloadContainer, PathsAreJoinedWithOneBackslash)
{
    EXPECT_EQ(JoinPayloadPath(L"C:\\Temp\\", L"a.exe"), L"C:\\Temp\\a.exe");
    EXPECT_EQ(JoinPayloadPath(L"C:\\Temp", L"a.exe"), L"C:\\Temp\\a.exe");
}
