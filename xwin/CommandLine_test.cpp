// The argument text after the program name, as the programs read their switches.
#include "CommandLine.h"

#include <gtest/gtest.h>

namespace {
struct Case {
    const wchar_t* commandLine;
    const wchar_t* arguments;
};

const Case kCases[] = {
    {L"", L""},
    {L"prog.exe", L""},
    {L"prog.exe /exit", L"/exit"},
    {L"prog.exe \t  /exit /setting ", L"/exit /setting "},
    {L"\"C:\\Program Files\\V\\Velquinランチャー.exe\" /restart", L"/restart"},
    // A quoted name ends at its closing quote, even with more text right behind it.
    {L"\"C:\\a b\\x.exe\"/cleanup", L"/cleanup"},
    // A quote never closed takes the whole line.
    {L"\"C:\\a b\\x.exe /exit", L""},
    // Without quotes the name ends at the first blank, so a blank path splits there.
    {L"C:\\a b\\x.exe /exit", L"b\\x.exe /exit"},
    {L"x.exe\t/leftmenu", L"/leftmenu"},
};

TEST(ArgumentText, SkipsTheProgramNameAndTheBlanksAfterIt)
{
    for (const Case& c : kCases)
        EXPECT_EQ(ArgumentText(c.commandLine), c.arguments) << testing::PrintToString(std::wstring(c.commandLine));
}
} // namespace
