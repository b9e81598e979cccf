#include "LinkPurge.h"

#include <gtest/gtest.h>

#include "XNode.h"

namespace {

const std::wstring kGuid = L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9}";

TEST(LinkNames, GuidFromTheBraceToTheLastClosingBrace)
{
    struct Case {
        std::wstring name;
        std::optional<std::wstring> guid;
    } cases[] = {
        {kGuid + L".lnk", kGuid},
        {kGuid + L".url", kGuid},
        {kGuid, kGuid},
        {kGuid + L".txt.bak", kGuid},
        {L"{0a1b2c3d-4e5f-6071-8293-a4b5c6d7e8f9}.lnk", kGuid}, // any case
        {L"x" + kGuid + L".lnk", std::nullopt},                 // must begin with the brace
        {L" " + kGuid, std::nullopt},
        {kGuid + L"}.lnk", std::nullopt}, // the last "}" ends it
        {L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F}.lnk", std::nullopt},
        {L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8F9", std::nullopt},
        {L"{0A1B2C3D+4E5F-6071-8293-A4B5C6D7E8F9}", std::nullopt},
        {L"{0A1B2C3D-4E5F-6071-8293-A4B5C6D7E8FG}", std::nullopt},
        {L"{}", std::nullopt},
        {L"{", std::nullopt},
        {L"", std::nullopt},
        {L"notes.txt", std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GuidOfLinkName(c.name), c.guid) << testing::PrintToString(c.name);
}

TEST(LinkNames, ItemPathsNeedThePrefix)
{
    EXPECT_EQ(GuidOfLinkPath(L"%VelquinLNKs%\\" + kGuid + L".lnk"), kGuid);
    EXPECT_EQ(GuidOfLinkPath(L"%velquinlnks%\\" + kGuid + L".url"), kGuid);
    EXPECT_EQ(GuidOfLinkPath(L"%VelquinLNKs%" + kGuid + L".lnk"), std::nullopt);
    EXPECT_EQ(GuidOfLinkPath(L"C:\\LNKs\\" + kGuid + L".lnk"), std::nullopt);
    EXPECT_EQ(GuidOfLinkPath(L"%VelquinLNKs%\\x" + kGuid + L".lnk"), std::nullopt);
    EXPECT_EQ(GuidOfLinkPath(L"%VelquinLNKs%\\"), std::nullopt);
    EXPECT_EQ(GuidOfLinkPath(L"%Velquin"), std::nullopt);
}

TEST(LinkPurge, ItemsOfBothMenusKeepTheirFiles)
{
    CXRoot left(kLeftMenuName, 1);
    CXRoot right(kRightMenuName, 2);
    auto link = [](const std::wstring& guid, const wchar_t* extension) {
        auto* item = new CXItem;
        item->isInternal = 1;
        item->path = L"%VelquinLNKs%\\" + guid + extension;
        return item;
    };
    const std::wstring g1 = L"{11111111-1111-1111-1111-111111111111}";
    const std::wstring g2 = L"{22222222-2222-2222-2222-222222222222}";
    const std::wstring g3 = L"{33333333-3333-3333-3333-33333333333A}";
    auto* submenu = new CXParent;
    left.InsertChild(0, submenu);
    submenu->InsertChild(0, link(g2, L".url"));
    left.InsertChild(1, link(g1, L".lnk"));
    right.InsertChild(0, link(g1, L".lnk")); // the same file twice
    auto* text = new CXTextItem;
    text->isInternal = 1;
    text->path = L"%VelquinLNKs%\\{33333333-3333-3333-3333-33333333333a}.txt";
    right.InsertChild(1, text);
    auto* plain = new CXItem;
    plain->path = L"C:\\Windows\\notepad.exe";
    right.InsertChild(2, plain);

    const std::vector<std::wstring> referenced = ReferencedLinkGuids(left, right);
    EXPECT_EQ(referenced, (std::vector<std::wstring>{g1, g2, g3}));

    struct Case {
        std::wstring file;
        bool deleted;
    } cases[] = {
        {g1 + L".lnk", false},
        {g2 + L".url", false},
        {g3 + L".txt", false},
        {g2 + L".lnk", false}, // the GUID counts, whatever the extension
        {L"{44444444-4444-4444-4444-444444444444}.lnk", true},
        {L"{44444444-4444-4444-4444-444444444444}", true},
        {L"keep.lnk", false},
        {L"{not a guid}.lnk", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsUnreferencedLinkFile(c.file, referenced), c.deleted) << testing::PrintToString(c.file);
}

} // namespace
