#include "MenuJson.h"

#include <gtest/gtest.h>

#include "MenuStore.h"
#include "MenuTestTrees.h"
#include "Utf16Text.h"
#include "XArchive.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A root holding one item titled A with the path B and every other field at its default.
const Bytes kOneItemArchive = {
    0x00, 0x01, 0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0x01, 0x00, 0xFF, 0xFF, 0x01, 0x00, 0x06, 0x00, 0x43,
    0x58, 0x49, 0x74, 0x65, 0x6D, 0x00, 0x06, 0xFF, 0xFE, 0xFF, 0x01, 0x41, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE,
    0xFF, 0x01, 0x42, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00,
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00};
const Bytes kEmptyRootArchive = {0x00, 0x01, 0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0x00, 0x00, 0x00};

Bytes ArchiveOf(CXRoot& root)
{
    auto bytes = WriteTreeArchive(root);
    EXPECT_TRUE(bytes.has_value());
    return bytes.value_or(Bytes{});
}

std::vector<std::string> KeysOf(const XJson& object)
{
    std::vector<std::string> keys;
    for (const auto& [key, value] : object.items())
        keys.push_back(key);
    return keys;
}

const std::vector<std::string> kItemKeys = {
    "class",        "title",       "accelerator",       "path",       "parameters", "workingFolder",
    "reservedFlag", "showCommand", "expandEnvironment", "isInternal", "hotKey"};

void ExpectCanonicalKeys(const XJson& node)
{
    const std::string& cls = node.at("class").get_ref<const std::string&>();
    std::vector<std::string> expected;
    if (cls == "CXSeparator") {
        expected = {"class"};
    } else if (cls == "CXParent") {
        expected = {"class", "title", "accelerator", "children"};
    } else {
        expected = kItemKeys;
        if (cls == "CXTextItem") {
            expected.push_back("summary");
            expected.push_back("text");
        }
        EXPECT_EQ(KeysOf(node.at("hotKey")),
                  (std::vector<std::string>{"modifiers", "virtualKey", "keyText", "hotKeyId"}));
    }
    EXPECT_EQ(KeysOf(node), expected) << cls;
    if (cls == "CXParent") {
        for (const auto& child : node.at("children"))
            ExpectCanonicalKeys(child);
    }
}

using MenuJson = VelqMenuTest;

// Windows converts with the system's ANSI code page, which is 932 only on Japanese systems
// (and in the Wine test session); elsewhere the code page 932 tests do not apply.
bool AnsiIsCodePage932(CPlatform& platform)
{
#ifdef _WIN32
    return platform.AnsiToWide("\x83\x81") == L"メ";
#else
    (void)platform;
    return true; // iconv's CP932, always
#endif
}

TEST_F(MenuJson, DumpThenPackReproducesTheArchive)
{
    CXRoot original(kLeftMenuName);
    BuildFullTree(original);
    Bytes archive = ArchiveOf(original);

    std::string text = DumpArchive(archive);
    EXPECT_EQ(PackJson(text), archive);

    // The JSON carries the tree itself, not only something that packs the same.
    CXRoot parsed(kLeftMenuName);
    JsonToTree(XJson::parse(text), parsed);
    ExpectSameTree(original, parsed);
}

TEST_F(MenuJson, DumpWritesEveryKeyInAFixedOrder)
{
    CXRoot original(kLeftMenuName);
    BuildFullTree(original);
    std::string text = DumpArchive(ArchiveOf(original));

    XJson json = XJson::parse(text);
    EXPECT_EQ(KeysOf(json), (std::vector<std::string>{"title", "accelerator", "children"}));
    for (const auto& child : json.at("children"))
        ExpectCanonicalKeys(child);
    // Pretty with two spaces, a final newline, and text as UTF-8 rather than \u escapes.
    EXPECT_EQ(text.substr(0, 4), "{\n  ");
    EXPECT_EQ(text.back(), '\n');
    EXPECT_NE(text.find("\"title\": \"メモ帳\""), std::string::npos);
    EXPECT_NE(text.find("\xF0\xA9\xB8\xBD"
                        "の住所"),
              std::string::npos);
    EXPECT_EQ(text.find("\\u"), std::string::npos);
    EXPECT_TRUE(Utf8ToUtf16(text).has_value());
}

TEST_F(MenuJson, KnownArchivesMapToTheirFields)
{
    XJson one = XJson::parse(DumpArchive(kOneItemArchive));
    EXPECT_EQ(one.at("title"), "");
    EXPECT_EQ(one.at("accelerator"), "");
    ASSERT_EQ(one.at("children").size(), 1u);
    const XJson& item = one.at("children")[0];
    EXPECT_EQ(item.at("class"), "CXItem");
    EXPECT_EQ(item.at("title"), "A");
    EXPECT_EQ(item.at("path"), "B");
    EXPECT_EQ(item.at("expandEnvironment"), 1);
    EXPECT_EQ(item.at("reservedFlag"), 0);
    EXPECT_EQ(item.at("hotKey").at("hotKeyId"), -1);
    EXPECT_EQ(PackJson(one.dump()), kOneItemArchive);
    // The same item with only the keys that differ from a new item.
    EXPECT_EQ(PackJson(R"({"children": [{"class": "CXItem", "title": "A", "path": "B"}]})"), kOneItemArchive);

    XJson empty = XJson::parse(DumpArchive(kEmptyRootArchive));
    EXPECT_TRUE(empty.at("children").is_array() && empty.at("children").empty());
    EXPECT_EQ(PackJson(DumpArchive(kEmptyRootArchive)), kEmptyRootArchive);
    EXPECT_EQ(PackJson("{}"), kEmptyRootArchive);
}

TEST_F(MenuJson, MissingKeysTakeTheValuesOfANewNode)
{
    std::unique_ptr<CXNode> fresh[] = {std::make_unique<CXItem>(), std::make_unique<CXTextItem>(),
                                       std::make_unique<CXSeparator>(), std::make_unique<CXParent>()};
    for (const auto& node : fresh) {
        std::string cls = node->GetRuntimeClass()->className;
        SCOPED_TRACE(cls);
        CXRoot root(kLeftMenuName);
        JsonToTree(XJson::parse(R"({"children": [{"class": ")" + cls + R"("}]})"), root);
        ASSERT_EQ(root.children.size(), 1u);
        ExpectSameTree(*node, *root.children[0]);
    }

    // An item with only some keys keeps the defaults of the others, the hotkey included.
    CXRoot root(kLeftMenuName);
    JsonToTree(XJson::parse(R"({"children": [{"class": "CXItem", "hotKey": {"virtualKey": 65}}]})"), root);
    CXItem expected;
    expected.hotKey.virtualKey = 65;
    ExpectSameTree(expected, *root.children[0]);
}

TEST_F(MenuJson, RefusesWhatIsNotAMenu)
{
    const struct {
        const char* json;
        const char* message; // part of the error text
    } cases[] = {
        {"", "invalid JSON"},
        {"{\"children\": [", "invalid JSON"},
        {"{} {}", "invalid JSON"},
        {"{\"title\": \"\xC3\"}", "invalid JSON"},
        {"[]", "the JSON root: expected an object, found an array"},
        {R"({"titel": "x"})", "titel: unknown key for the root"},
        {R"({"title": 5})", "title: expected a string, found an integer"},
        {R"({"accelerator": null})", "accelerator: expected a string, found null"},
        {R"({"children": {}})", "children: expected an array, found an object"},
        {R"({"children": ["CXItem"]})", "children[0]: expected an object, found a string"},
        {R"({"children": [{"title": "x"}]})", "children[0]: the key \"class\" is missing"},
        {R"({"children": [{"class": 1}]})", "children[0].class: expected a string, found an integer"},
        {R"({"children": [{"class": "CXRoot"}]})", "children[0].class: unknown class \"CXRoot\""},
        {R"({"children": [{"class": "cxitem"}]})", "unknown class"},
        {R"({"children": [{"class": "CXItem", "text": "x"}]})", "children[0].text: unknown key for a CXItem"},
        {R"({"children": [{"class": "CXItem", "children": []}]})", "children[0].children: unknown key"},
        {R"({"children": [{"class": "CXSeparator", "title": "x"}]})",
         "children[0].title: unknown key for a CXSeparator"},
        {R"({"children": [{"class": "CXParent", "path": "x"}]})", "children[0].path: unknown key for a CXParent"},
        {R"({"children": [{"class": "CXItem", "showCommand": "1"}]})",
         "showCommand: expected an integer, found a string"},
        {R"({"children": [{"class": "CXItem", "showCommand": 3}]})", "children[0].showCommand: must be 0 (normal)"},
        {R"({"children": [{"class": "CXItem", "showCommand": -1}]})", "showCommand: must be 0"},
        {R"({"children": [{"class": "CXItem", "reservedFlag": 2}]})", "reservedFlag: must be 0 or 1"},
        {R"({"children": [{"class": "CXItem", "expandEnvironment": true}]})",
         "expandEnvironment: expected an integer, found a boolean"},
        {R"({"children": [{"class": "CXItem", "isInternal": 1.0}]})",
         "isInternal: expected an integer, found a fractional number"},
        {R"({"children": [{"class": "CXItem", "hotKey": 0}]})",
         "children[0].hotKey: expected an object, found an integer"},
        {R"({"children": [{"class": "CXItem", "hotKey": {"modifiers": "2"}}]})",
         "hotKey.modifiers: expected an integer"},
        {R"({"children": [{"class": "CXItem", "hotKey": {"hotKeyId": 2147483648}}]})",
         "hotKey.hotKeyId: the integer does not fit in 32 bits"},
        {R"({"children": [{"class": "CXItem", "hotKey": {"virtualKey": -2147483649}}]})", "does not fit in 32 bits"},
        {R"({"children": [{"class": "CXItem", "hotKey": {"virtualKey": 18446744073709551615}}]})",
         "does not fit in 32 bits"},
        {R"({"children": [{"class": "CXItem", "hotKey": {"key": 1}}]})", "hotKey.key: unknown key for a hotKey"},
        {R"({"children": [{"class": "CXTextItem", "text": ["a"]}]})",
         "children[0].text: expected a string, found an array"},
        {R"({"children": [{"class": "CXParent", "children": [{"class": "CXParent", "children": [{"class": "X"}]}]}]})",
         "children[0].children[0].children[0].class: unknown class"},
        {R"({"title": {"utf16": [65, 65536]}})", "title.utf16[1]: a UTF-16 code unit must be between 0 and 65535"},
        {R"({"title": {"utf16": [-1]}})", "title.utf16[0]: a UTF-16 code unit"},
        {R"({"title": {"utf16": "A"}})", "title.utf16: expected an array of UTF-16 code units, found a string"},
        {R"({"title": {"utf16": [65], "x": 1}})", "title: expected a string, found an object"},
        {R"({"title": {"units": [65]}})", "title: expected a string, found an object"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        try {
            PackJson(c.json);
            ADD_FAILURE() << "accepted";
        } catch (const CMenuToolError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

TEST_F(MenuJson, RefusedJsonLeavesTheRootEmpty)
{
    CXRoot root(kLeftMenuName);
    EXPECT_THROW(JsonToTree(XJson::parse(R"({"children": [{"class": "CXItem"}, {"class": "CXBogus"}]})"), root),
                 CMenuToolError);
    EXPECT_TRUE(root.children.empty());
}

TEST_F(MenuJson, NestingIsBounded)
{
    auto build = [](int depth) {
        std::string open, close;
        for (int i = 0; i < depth; ++i) {
            open += "{\"class\": \"CXParent\", \"children\": [";
            close += "]}";
        }
        return "{\"children\": [" + open + close + "]}";
    };
    // A modest depth works both ways.
    Bytes archive = PackJson(build(20));
    EXPECT_EQ(PackJson(DumpArchive(archive)), archive);
    // A very deep one is refused with a message, without exhausting the stack.
    try {
        PackJson(build(5000));
        ADD_FAILURE() << "accepted";
    } catch (const CMenuToolError& e) {
        EXPECT_NE(std::string(e.what()).find("nested"), std::string::npos) << e.what();
    }
}

TEST_F(MenuJson, LoneSurrogatesSurviveAsCodeUnits)
{
    CXRoot original(kLeftMenuName);
    original.title = Units({'A', 0xD800, 'B'});
    auto* item = new CXItem;
    item->title = Units({0xDC00});
    item->path = Units({0xD867, 0xDE3D, 0xD867}); // a pair, then a high surrogate alone
    item->hotKey.keyText = Units({0xDBFF, 'x'});
    original.InsertChild(0, item);
    Bytes archive = ArchiveOf(original);

    std::string text = DumpArchive(archive);
    EXPECT_TRUE(Utf8ToUtf16(text).has_value()) << "the dump must stay valid UTF-8";
    XJson json = XJson::parse(text);
    EXPECT_EQ(json.at("title"), XJson::parse(R"({"utf16": [65, 55296, 66]})"));
    EXPECT_EQ(json.at("children")[0].at("title"), XJson::parse(R"({"utf16": [56320]})"));
    EXPECT_EQ(json.at("children")[0].at("path"), XJson::parse(R"({"utf16": [55399, 56893, 55399]})"));
    EXPECT_EQ(json.at("children")[0].at("hotKey").at("keyText"), XJson::parse(R"({"utf16": [56319, 120]})"));
    // Well-formed strings stay plain strings.
    EXPECT_TRUE(json.at("children")[0].at("parameters").is_string());

    EXPECT_EQ(PackJson(text), archive);
    CXRoot parsed(kLeftMenuName);
    JsonToTree(json, parsed);
    ExpectSameTree(original, parsed);

    // The code-unit form is accepted for well-formed text too.
    CXRoot plain(kLeftMenuName);
    JsonToTree(XJson::parse(R"({"title": {"utf16": [12513, 12514]}})"), plain);
    EXPECT_EQ(plain.title, L"メモ");
}

TEST_F(MenuJson, BareNodesAreKept)
{
    // Archives may name the base class; the tree keeps such a node and so does the JSON.
    const Bytes archive = {0x00, 0x01, 0xFF, 0xFE, 0xFF, 0x00, 0xFF, 0xFE, 0xFF, 0x00, 0x01, 0x00, 0xFF,
                           0xFF, 0x01, 0x00, 0x06, 0x00, 'C',  'X',  'N',  'o',  'd',  'e',  0x00, 0x00};
    XJson json = XJson::parse(DumpArchive(archive));
    EXPECT_EQ(json.at("children"), XJson::parse(R"([{"class": "CXNode"}])"));
    EXPECT_EQ(PackJson(json.dump()), archive);
    EXPECT_THROW(PackJson(R"({"children": [{"class": "CXNode", "title": "x"}]})"), CMenuToolError);
}

TEST_F(MenuJson, CorruptArchivesAreRefused)
{
    Bytes truncated(kOneItemArchive.begin(), kOneItemArchive.end() - 8);
    Bytes unknownClass = kOneItemArchive;
    unknownClass[20] = 'Y'; // "CXItem" becomes "CXYtem"
    Bytes badSchema = kOneItemArchive;
    badSchema[14] = 0x02;
    const Bytes cases[] = {{}, {0x00}, {0x00, 0x01, 0xFF}, truncated, unknownClass, badSchema};
    for (const auto& bytes : cases) {
        SCOPED_TRACE(testing::PrintToString(bytes));
        EXPECT_THROW(DumpArchive(bytes), CMenuToolError);
    }
}

TEST_F(MenuJson, OldAnsiStringsAreReadAsCodePage932)
{
    if (!AnsiIsCodePage932(platform))
        GTEST_SKIP() << "the ANSI code page is not 932";
    // An empty root whose title was written without the Unicode marker: "メモ" in code page 932.
    const Bytes archive = {0x00, 0x01, 0x04, 0x83, 0x81, 0x83, 0x82, 0xFF, 0xFE, 0xFF, 0x00, 0x00, 0x00, 0x00};
    XJson json = XJson::parse(DumpArchive(archive));
    EXPECT_EQ(json.at("title"), "メモ");
    // Packing writes the current form, which reads back the same.
    XJson again = XJson::parse(DumpArchive(PackJson(json.dump())));
    EXPECT_EQ(again, json);
}

TEST_F(MenuJson, PlatformConvertsCodePage932)
{
    if (!AnsiIsCodePage932(platform))
        GTEST_SKIP() << "the ANSI code page is not 932";
    const struct {
        std::string bytes;
        std::wstring text;
    } cases[] = {
        {"", L""},
        {"abc", L"abc"},
        {"\x83\x81\x83\x82\x92\xA0", L"メモ帳"},
        {"\xB1\xB2", L"ｱｲ"},         // half-width katakana are single bytes
        {"C:\\\x95\x5C", L"C:\\表"}, // a trail byte equal to the backslash
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(platform.AnsiToWide(c.bytes), c.text);
    }
}

TEST_F(MenuJson, ArchivesLargerThanAMenuMayBeAreRefused)
{
    // The text length that brings the archive to the limit is found from the archive of an
    // empty text; each code unit adds two bytes, a long string's length prefix six more.
    CXRoot probe(kLeftMenuName);
    probe.InsertChild(0, new CXTextItem);
    size_t base = ArchiveOf(probe).size() + 6;
    size_t longest = (kMaxArchiveSize - base) / 2;

    auto json = [](size_t length) {
        XJson j = XJson::parse(R"({"children": [{"class": "CXTextItem"}]})");
        j["children"][0]["text"] = std::string(length, 'a');
        return j.dump();
    };
    Bytes fits = PackJson(json(longest));
    EXPECT_LE(fits.size(), kMaxArchiveSize);
    EXPECT_GT(fits.size() + 2, kMaxArchiveSize);
    try {
        PackJson(json(longest + 1));
        ADD_FAILURE() << "accepted";
    } catch (const CMenuToolError& e) {
        EXPECT_NE(std::string(e.what()).find(std::to_string(kMaxArchiveSize)), std::string::npos) << e.what();
    }
}

} // namespace
