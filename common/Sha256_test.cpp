#include "Sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <numeric>
#include <random>
#include <string>
#include <vector>

namespace {

std::string Hex(const TSha256Digest& d)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (uint8_t b : d) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

std::vector<CSha256::EEngine> Engines()
{
    std::vector<CSha256::EEngine> engines{CSha256::EEngine::Portable};
    if (CSha256::HasExtensions()) {
        engines.push_back(CSha256::EEngine::Extensions);
    }
    return engines;
}

// Feeds the data in pieces of random sizes (including empty ones).
TSha256Digest ChunkedDigest(CSha256::EEngine engine, const std::vector<uint8_t>& data, std::mt19937& rng)
{
    CSha256 sha(engine);
    std::uniform_int_distribution<size_t> piece(0, 130);
    size_t at = 0;
    while (at < data.size()) {
        size_t n = std::min(piece(rng), data.size() - at);
        sha.Update(data.data() + at, n);
        at += n;
    }
    return sha.Final();
}

#ifndef _WIN32
// The digest computed by coreutils from a temporary file.
std::string SystemDigest(const std::vector<uint8_t>& data)
{
    char path[] = "/tmp/velq-sha-XXXXXX";
    int fd = mkstemp(path);
    if (fd < 0) {
        return "";
    }
    FILE* f = fdopen(fd, "wb");
    if (!data.empty()) {
        fwrite(data.data(), 1, data.size(), f);
    }
    fclose(f);
    std::string command = std::string("sha256sum ") + path;
    FILE* p = popen(command.c_str(), "r");
    char line[200] = {};
    if (p == nullptr || fgets(line, sizeof line, p) == nullptr) {
        line[0] = 0;
    }
    if (p != nullptr) {
        pclose(p);
    }
    remove(path);
    return std::string(line).substr(0, 64);
}
#endif

} // namespace

struct NistVector {
    std::string message;
    size_t repeat;
    const char* digest;
};

class Sha256Nist : public testing::TestWithParam<NistVector> {};

TEST_P(Sha256Nist, EveryEngineGivesTheKnownDigest)
{
    const NistVector& v = GetParam();
    for (CSha256::EEngine engine : Engines()) {
        CSha256 sha(engine);
        for (size_t i = 0; i < v.repeat; ++i) {
            sha.Update(v.message.data(), v.message.size());
        }
        EXPECT_EQ(Hex(sha.Final()), v.digest) << "engine " << int(engine);
    }
}

INSTANTIATE_TEST_SUITE_P(
    FipsExamples, Sha256Nist,
    testing::Values(
        NistVector{"", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        NistVector{"abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        NistVector{"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq", 1,
                   "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        NistVector{
            "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmnhijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrs"
            "tnopqrstu",
            1, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        NistVector{"a", 1000000, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"}));

TEST(Sha256, RandomInputsAgreeAcrossEnginesChunkingsAndCoreutils)
{
    std::mt19937 rng(20261209);
    // Every length up to a few blocks, then lengths around the groups of four blocks the
    // portable engine hashes together (a whole group followed by a part of one, and so on).
    std::vector<size_t> lengths(301);
    std::iota(lengths.begin(), lengths.end(), 0);
    for (size_t length : {319, 320, 321, 383, 384, 447, 448, 511, 512, 513, 575, 576, 577, 1023, 1087})
        lengths.push_back(length);
    for (size_t length : lengths) {
        std::vector<uint8_t> data(length);
        for (uint8_t& b : data) {
            b = uint8_t(rng());
        }
        TSha256Digest whole = CSha256::Of(data.data(), data.size(), CSha256::EEngine::Portable);
        for (CSha256::EEngine engine : Engines()) {
            EXPECT_EQ(ChunkedDigest(engine, data, rng), whole) << "length " << length << " engine " << int(engine);
        }
#ifndef _WIN32
        EXPECT_EQ(Hex(whole), SystemDigest(data)) << "length " << length;
#endif
    }
}

TEST(Sha256, LargeInputMatchesCoreutilsOnEveryEngine)
{
    std::mt19937 rng(7);
    std::vector<uint8_t> data(1 << 20 | 37);
    for (uint8_t& b : data) {
        b = uint8_t(rng());
    }
#ifndef _WIN32
    std::string expected = SystemDigest(data);
#else
    std::string expected = Hex(CSha256::Of(data.data(), data.size(), CSha256::EEngine::Portable));
#endif
    for (CSha256::EEngine engine : Engines()) {
        EXPECT_EQ(Hex(ChunkedDigest(engine, data, rng)), expected) << "engine " << int(engine);
        EXPECT_EQ(Hex(CSha256::Of(data.data(), data.size(), engine)), expected) << "engine " << int(engine);
    }
}

TEST(Sha256, FinalStartsOver)
{
    CSha256 sha;
    sha.Update("xyz", 3);
    sha.Final();
    sha.Update("abc", 3);
    EXPECT_EQ(Hex(sha.Final()), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TEST(Sha256, BestEngineIsTheExtensionsWhenPresent)
{
    EXPECT_EQ(CSha256().UsesExtensions(), CSha256::HasExtensions());
    EXPECT_FALSE(CSha256(CSha256::EEngine::Portable).UsesExtensions());
}
