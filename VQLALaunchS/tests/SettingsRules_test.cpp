#include "SettingsRules.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

TEST(RetryCountText, LeadingDigitsClampedToTheLevels)
{
    struct Case {
        std::wstring text;
        int digits;
        int count;
    } cases[] = {
        {L"", 0, 1},
        {L"0", 0, 1},
        {L"1", 1, 1},
        {L"2", 2, 2},
        {L"3", 3, 3},
        {L"9", 9, 9},
        {L"10", 10, 10},
        {L"11", 11, 10},
        {L"25", 25, 10},
        {L"007", 7, 7},
        {L"4x", 4, 4},
        {L"3.9", 3, 3},
        {L"-3", 0, 1},
        {L"+5", 0, 1},
        {L" 5", 0, 1},
        {L"abc", 0, 1},
        {L"５", 0, 1}, // a full-width digit is no digit
        {L"99999999999999999999999999", 99, 10},
        {L"00000000000000000000000008", 8, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text));
        EXPECT_EQ(LeadingDigitsValue(c.text), c.digits);
        EXPECT_EQ(RetryCountOfText(c.text), c.count);
    }
}

TEST(RetryCountText, ClampingAtBothEnds)
{
    const std::pair<int, int> cases[] = {
        {-2147483647 - 1, 1}, {-3, 1}, {0, 1}, {1, 1}, {2, 2}, {5, 5}, {9, 9}, {10, 10}, {11, 10}, {2147483647, 10}};
    for (const auto& [count, clamped] : cases)
        EXPECT_EQ(ClampRetryCount(count), clamped) << count;
}

// The edit reports every keystroke; the held count follows the texts one by one.
TEST(RetryCountText, TypedKeyByKeyStoresOnlyWhatChangesTheCount)
{
    struct Case {
        const char* name;
        int held;
        std::vector<std::wstring> texts;
        std::vector<std::optional<int>> stored;
    } cases[] = {
        {"25 into an empty edit", 3, {L"", L"2", L"25"}, {1, 2, 10}},
        {"-3", 3, {L"", L"-", L"-3"}, {1, std::nullopt, std::nullopt}},
        {"-3 after 1 was held", 1, {L"-", L"-3"}, {std::nullopt, std::nullopt}},
        {"0 stores 1", 3, {L"0"}, {1}},
        {"250 after 25", 3, {L"2", L"25", L"250"}, {2, 10, std::nullopt}},
        {"the held count again", 4, {L"4", L"04"}, {std::nullopt, std::nullopt}},
        {"back down", 10, {L"10", L"1", L""}, {std::nullopt, 1, std::nullopt}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_EQ(c.texts.size(), c.stored.size());
        int held = c.held;
        for (size_t i = 0; i < c.texts.size(); ++i) {
            const std::optional<int> stored = RetryCountToStore(c.texts[i], held);
            EXPECT_EQ(stored, c.stored[i]) << testing::PrintToString(c.texts[i]);
            if (stored)
                held = *stored;
        }
    }
}

TEST(AcceleratorText, EveryDifferentTextIsStoredTheEmptyOneToo)
{
    struct Case {
        std::wstring text;
        std::wstring held;
        std::optional<std::wstring> stored;
    } cases[] = {
        {L"M", L"M", std::nullopt}, {L"m", L"M", L"m"}, // compared exactly
        {L"", L"M", L""},           {L"", L"", std::nullopt}, {L"Q", L"", L"Q"},
        {L"QR", L"Q", L"QR"},       {L" ", L"", L" "},        {L"あ", L"M", L"あ"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.text) + " held " + testing::PrintToString(c.held));
        EXPECT_EQ(AcceleratorToStore(c.text, c.held), c.stored);
    }
}

TEST(SettingsControls, EffortFollowsTheWorkaroundAndTheRestartNeedsTheProbe)
{
    struct Case {
        bool workaround;
        bool probe;
        CSettingsControlStates states;
    } cases[] = {
        {false, false, {false, false, false}},
        {true, false, {true, false, false}},
        {false, true, {false, true, true}},
        {true, true, {true, true, true}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "workaround " << c.workaround << ", probe " << c.probe);
        const CSettingsControlStates states = SettingsControlStates(c.workaround, c.probe);
        EXPECT_EQ(states.retryCountEnabled, c.states.retryCountEnabled);
        EXPECT_EQ(states.restartShown, c.states.restartShown);
        EXPECT_EQ(states.restartEnabled, c.states.restartEnabled);
    }
}

TEST(SettingsControls, CheckStatesAsStoredFlags)
{
    EXPECT_EQ(FlagOfCheck(true), 1);
    EXPECT_EQ(FlagOfCheck(false), 0);
}

TEST(InternalUpdateAnchor, RaisesTheCounterForItsScopeAndNests)
{
    int counter = 0;
    {
        CInternalUpdateAnchor outer(counter);
        EXPECT_EQ(counter, 1);
        {
            CInternalUpdateAnchor inner(counter);
            EXPECT_EQ(counter, 2);
        }
        EXPECT_EQ(counter, 1);
    }
    EXPECT_EQ(counter, 0);
}

} // namespace
