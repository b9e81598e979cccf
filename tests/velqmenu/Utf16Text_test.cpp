#include "Utf16Text.h"

#include <gtest/gtest.h>

#include "MenuTestTrees.h"

namespace {

struct XCodecCase {
    std::wstring units;
    std::string utf8;
};

TEST(Utf16Text, ConvertsBothWays)
{
    const XCodecCase cases[] = {
        {Units({}), ""},
        {Units({'A', 'z'}), "Az"},
        {Units({0x0000}), std::string("\0", 1)},
        {Units({0x00E9}), "\xC3\xA9"},
        {Units({0x30E1, 0x30E2, 0x5E33}), "\xE3\x83\xA1\xE3\x83\xA2\xE5\xB8\xB3"}, // メモ帳
        {Units({0xFFFF}), "\xEF\xBF\xBF"},
        {Units({0xD800, 0xDC00}), "\xF0\x90\x80\x80"}, // U+10000
        {Units({0xD867, 0xDE3D, 'x'}), "\xF0\xA9\xB8\xBD"
                                       "x"},           // U+29E3D
        {Units({0xDBFF, 0xDFFF}), "\xF4\x8F\xBF\xBF"}, // U+10FFFF
        {Units({0xD83D, 0xDE00, 0xD83D, 0xDE00}), "\xF0\x9F\x98\x80\xF0\x9F\x98\x80"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.utf8);
        EXPECT_EQ(Utf16ToUtf8(c.units), c.utf8);
        auto back = Utf8ToUtf16(c.utf8);
        ASSERT_TRUE(back.has_value());
        EXPECT_EQ(*back, c.units);
        EXPECT_EQ(FindLoneSurrogate(c.units), std::wstring::npos);
    }
}

TEST(Utf16Text, RefusesIllFormedUtf8)
{
    const std::string cases[] = {
        "\x80",             // stray continuation byte
        "\xC0\x80",         // overlong NUL
        "\xC1\xBF",         // overlong
        "\xE0\x80\x80",     // overlong
        "\xF0\x80\x80\x80", // overlong
        "\xED\xA0\x80",     // encoded high surrogate
        "\xED\xBF\xBF",     // encoded low surrogate
        "\xF4\x90\x80\x80", // above U+10FFFF
        "\xF5\x80\x80\x80", // no such lead byte
        "\xFF",             //
        "\xE3\x81",         // cut off at the end
        "A\xF0\x9F\x98",    //
        "\xE3\x41\x42",     // lead byte without continuation
        "ok\xC3\xA9\xC3",   // valid text, then a cut-off sequence
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c));
        EXPECT_FALSE(Utf8ToUtf16(c).has_value());
    }
}

TEST(Utf16Text, FindsLoneSurrogates)
{
    const struct {
        std::wstring units;
        size_t expected;
    } cases[] = {
        {Units({'a', 'b'}), std::wstring::npos},
        {Units({0xD800}), 0},
        {Units({'a', 0xDC00}), 1},
        {Units({0xDC00, 0xD800}), 0}, // a pair in the wrong order
        {Units({0xD800, 0xDC00, 0xD800}), 2},
        {Units({0xD800, 'a', 0xDC00}), 0},
        {Units({'a', 'b', 0xDBFF}), 2},
        {Units({0xD800, 0xD800, 0xDC00}), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(FindLoneSurrogate(c.units), c.expected);
    }
}

TEST(Utf16Text, LoneSurrogateBecomesReplacementCharacter)
{
    EXPECT_EQ(Utf16ToUtf8(Units({'a', 0xD800, 'b'})), "a\xEF\xBF\xBD"
                                                      "b");
    EXPECT_EQ(Utf16ToUtf8(Units({0xDC00})), "\xEF\xBF\xBD");
}

} // namespace
