#include "MenuJson.h"

#include <algorithm>
#include <initializer_list>
#include <memory>

#include "MenuStore.h"
#include "Utf16Text.h"
#include "XArchive.h"

namespace {

constexpr char kUnitsKey[] = "utf16";

// ---------------------------------------------------------------------------
// Tree to JSON

XJson StringValue(const std::wstring& s)
{
    if (FindLoneSurrogate(s) == std::wstring::npos)
        return Utf16ToUtf8(s);
    XJson units = XJson::array();
    for (wchar_t c : s)
        units.push_back(static_cast<uint32_t>(c) & 0xFFFF);
    XJson value = XJson::object();
    value[kUnitsKey] = std::move(units);
    return value;
}

XJson HotKeyToJson(const CHotKeyTarget& hotKey)
{
    XJson j = XJson::object();
    j["modifiers"] = hotKey.modifiers;
    j["virtualKey"] = hotKey.virtualKey;
    j["keyText"] = StringValue(hotKey.keyText);
    j["hotKeyId"] = hotKey.hotKeyId;
    return j;
}

XJson ChildrenToJson(const CXParent& parent, const std::string& where);

XJson NodeToJson(const CXNode& node, const std::string& where)
{
    const CXRuntimeClass* cls = node.GetRuntimeClass();
    XJson j = XJson::object();
    if (cls == &CXSeparator::classInfo || cls == &CXNode::classInfo) {
        // No program writes a bare CXNode, but an archive may name one; it is kept as it is.
        j["class"] = cls->className;
    } else if (cls == &CXItem::classInfo || cls == &CXTextItem::classInfo) {
        const auto& item = static_cast<const CXItem&>(node);
        j["class"] = cls->className;
        j["title"] = StringValue(item.title);
        j["accelerator"] = StringValue(item.accelerator);
        j["path"] = StringValue(item.path);
        j["parameters"] = StringValue(item.parameters);
        j["workingFolder"] = StringValue(item.workingFolder);
        j["reservedFlag"] = item.reservedFlag;
        j["showCommand"] = item.showCommand;
        j["expandEnvironment"] = item.expandEnvironment;
        j["isInternal"] = item.isInternal;
        j["hotKey"] = HotKeyToJson(item.hotKey);
        if (cls == &CXTextItem::classInfo) {
            const auto& textItem = static_cast<const CXTextItem&>(node);
            j["summary"] = StringValue(textItem.summary);
            j["text"] = StringValue(textItem.text);
        }
    } else if (node.IsKindOf<CXParent>()) {
        // A root below a root is not a valid tree, but it is stored as a submenu.
        const auto& parent = static_cast<const CXParent&>(node);
        j["class"] = "CXParent";
        j["title"] = StringValue(parent.title);
        j["accelerator"] = StringValue(parent.accelerator);
        j["children"] = ChildrenToJson(parent, where);
    } else {
        throw CMenuToolError(where + ": a node of class " + cls->className + " has no JSON form");
    }
    return j;
}

XJson ChildrenToJson(const CXParent& parent, const std::string& where)
{
    XJson children = XJson::array();
    for (size_t i = 0; i < parent.children.size(); ++i) {
        std::string childWhere = (where.empty() ? "" : where + ".") + "children[" + std::to_string(i) + "]";
        children.push_back(NodeToJson(*parent.children[i], childWhere));
    }
    return children;
}

// ---------------------------------------------------------------------------
// JSON to tree

std::string Describe(const XJson& v)
{
    switch (v.type()) {
    case XJson::value_t::null:
        return "null";
    case XJson::value_t::boolean:
        return "a boolean";
    case XJson::value_t::number_float:
        return "a fractional number";
    case XJson::value_t::number_integer:
    case XJson::value_t::number_unsigned:
        return "an integer";
    case XJson::value_t::string:
        return "a string";
    case XJson::value_t::array:
        return "an array";
    case XJson::value_t::object:
        return "an object";
    default:
        return "an unsupported value";
    }
}

std::string Member(const std::string& where, std::string_view key)
{
    return where.empty() ? std::string(key) : where + "." + std::string(key);
}

[[noreturn]] void Fail(const std::string& where, const std::string& what)
{
    throw CMenuToolError((where.empty() ? std::string("the JSON root") : where) + ": " + what);
}

// The integer value of v if it is one within [lo, hi].
int32_t IntegerIn(const XJson& v, const std::string& where, int64_t lo, int64_t hi, const char* rangeText)
{
    if (!v.is_number_integer())
        Fail(where, "expected an integer, found " + Describe(v));
    bool inRange = v.is_number_unsigned() ? v.get<uint64_t>() <= static_cast<uint64_t>(hi)
                                          : v.get<int64_t>() >= lo && v.get<int64_t>() <= hi;
    if (!inRange)
        Fail(where, rangeText);
    return static_cast<int32_t>(v.get<int64_t>());
}

std::wstring StringFrom(const XJson& v, const std::string& where)
{
    if (v.is_string()) {
        auto units = Utf8ToUtf16(v.get_ref<const std::string&>());
        if (!units)
            Fail(where, "the string is not valid UTF-8");
        return *units;
    }
    if (v.is_object() && v.size() == 1 && v.contains(kUnitsKey)) {
        const XJson& units = v[kUnitsKey];
        std::string unitsWhere = Member(where, kUnitsKey);
        if (!units.is_array())
            Fail(unitsWhere, "expected an array of UTF-16 code units, found " + Describe(units));
        std::wstring s;
        for (size_t i = 0; i < units.size(); ++i) {
            s += static_cast<wchar_t>(IntegerIn(units[i], unitsWhere + "[" + std::to_string(i) + "]", 0, 0xFFFF,
                                                "a UTF-16 code unit must be between 0 and 65535"));
        }
        return s;
    }
    Fail(where, "expected a string, found " + Describe(v));
}

// The keys of one JSON object, checked against the keys its kind allows.
class CObjectReader {
public:
    CObjectReader(const XJson& value, std::string where, std::string_view kind,
                  std::initializer_list<std::string_view> allowed)
        : object(value), where(std::move(where))
    {
        if (!object.is_object())
            Fail(this->where, "expected an object, found " + Describe(object));
        for (const auto& [key, member] : object.items()) {
            if (std::find(allowed.begin(), allowed.end(), key) == allowed.end())
                Fail(Member(this->where, key), "unknown key for " + std::string(kind));
        }
    }

    const XJson* Find(std::string_view key) const
    {
        auto it = object.find(key);
        return it == object.end() ? nullptr : &*it;
    }

    void String(std::string_view key, std::wstring& out) const
    {
        if (const XJson* v = Find(key))
            out = StringFrom(*v, Member(where, key));
    }

    void Integer(std::string_view key, int32_t& out) const
    {
        if (const XJson* v = Find(key))
            out = IntegerIn(*v, Member(where, key), INT32_MIN, INT32_MAX, "the integer does not fit in 32 bits");
    }

    void Flag(std::string_view key, int& out) const
    {
        if (const XJson* v = Find(key))
            out = IntegerIn(*v, Member(where, key), 0, 1, "must be 0 or 1");
    }

    void ShowCommand(std::string_view key, int& out) const
    {
        if (const XJson* v = Find(key))
            out = IntegerIn(*v, Member(where, key), 0, 2, "must be 0 (normal), 1 (minimized) or 2 (maximized)");
    }

    const XJson& object;
    const std::string where;
};

void ReadHotKey(const CObjectReader& item, CHotKeyTarget& hotKey)
{
    const XJson* v = item.Find("hotKey");
    if (!v)
        return;
    CObjectReader r(*v, Member(item.where, "hotKey"), "a hotKey", {"modifiers", "virtualKey", "keyText", "hotKeyId"});
    r.Integer("modifiers", hotKey.modifiers);
    r.Integer("virtualKey", hotKey.virtualKey);
    r.String("keyText", hotKey.keyText);
    r.Integer("hotKeyId", hotKey.hotKeyId);
}

void ReadItemFields(const CObjectReader& r, CXItem& item)
{
    r.String("title", item.title);
    r.String("accelerator", item.accelerator);
    r.String("path", item.path);
    r.String("parameters", item.parameters);
    r.String("workingFolder", item.workingFolder);
    r.Flag("reservedFlag", item.reservedFlag);
    r.ShowCommand("showCommand", item.showCommand);
    r.Flag("expandEnvironment", item.expandEnvironment);
    r.Flag("isInternal", item.isInternal);
    ReadHotKey(r, item.hotKey);
}

void ReadChildren(const CObjectReader& r, CXParent& parent, int depth);

std::unique_ptr<CXNode> ReadNode(const XJson& v, const std::string& where, int depth)
{
    if (!v.is_object())
        Fail(where, "expected an object, found " + Describe(v));
    auto cls = v.find("class");
    if (cls == v.end())
        Fail(where, "the key \"class\" is missing");
    if (!cls->is_string())
        Fail(Member(where, "class"), "expected a string, found " + Describe(*cls));
    const std::string& name = cls->get_ref<const std::string&>();

    if (name == "CXItem") {
        CObjectReader r(v, where, "a CXItem",
                        {"class", "title", "accelerator", "path", "parameters", "workingFolder", "reservedFlag",
                         "showCommand", "expandEnvironment", "isInternal", "hotKey"});
        auto item = std::make_unique<CXItem>();
        ReadItemFields(r, *item);
        return item;
    }
    if (name == "CXTextItem") {
        CObjectReader r(v, where, "a CXTextItem",
                        {"class", "title", "accelerator", "path", "parameters", "workingFolder", "reservedFlag",
                         "showCommand", "expandEnvironment", "isInternal", "hotKey", "summary", "text"});
        auto item = std::make_unique<CXTextItem>();
        ReadItemFields(r, *item);
        r.String("summary", item->summary);
        r.String("text", item->text);
        return item;
    }
    if (name == "CXSeparator") {
        CObjectReader r(v, where, "a CXSeparator", {"class"});
        return std::make_unique<CXSeparator>();
    }
    if (name == "CXNode") {
        CObjectReader r(v, where, "a CXNode", {"class"});
        return std::make_unique<CXNode>();
    }
    if (name == "CXParent") {
        CObjectReader r(v, where, "a CXParent", {"class", "title", "accelerator", "children"});
        auto parent = std::make_unique<CXParent>();
        r.String("title", parent->title);
        r.String("accelerator", parent->accelerator);
        ReadChildren(r, *parent, depth + 1);
        return parent;
    }
    Fail(Member(where, "class"),
         "unknown class \"" + name + "\" (expected CXItem, CXTextItem, CXSeparator or CXParent)");
}

void ReadChildren(const CObjectReader& r, CXParent& parent, int depth)
{
    const XJson* children = r.Find("children");
    if (!children)
        return;
    std::string where = Member(r.where, "children");
    if (!children->is_array())
        Fail(where, "expected an array, found " + Describe(*children));
    // The archive refuses deeper trees as well; stopping here keeps the recursion bounded.
    if (depth > CXArchive::kMaxDepth)
        Fail(where, "submenus are nested more than " + std::to_string(CXArchive::kMaxDepth) + " deep");
    for (size_t i = 0; i < children->size(); ++i) {
        std::unique_ptr<CXNode> node = ReadNode((*children)[i], where + "[" + std::to_string(i) + "]", depth);
        parent.InsertChild(parent.children.size(), node.release());
    }
}

} // namespace

XJson TreeToJson(const CXParent& root)
{
    XJson j = XJson::object();
    j["title"] = StringValue(root.title);
    j["accelerator"] = StringValue(root.accelerator);
    j["children"] = ChildrenToJson(root, "");
    return j;
}

void JsonToTree(const XJson& json, CXRoot& root)
{
    try {
        CObjectReader r(json, "", "the root", {"title", "accelerator", "children"});
        r.String("title", root.title);
        r.String("accelerator", root.accelerator);
        ReadChildren(r, root, 1);
    } catch (...) {
        root.DeleteChildren();
        throw;
    }
}

std::string DumpArchive(std::span<const uint8_t> archive)
{
    CXRoot root(kLeftMenuName);
    if (!ReadTreeArchive(root, archive))
        throw CMenuToolError("not a menu archive, or a damaged one");
    return TreeToJson(root).dump(2) + "\n";
}

std::vector<uint8_t> PackJson(std::string_view jsonText)
{
    XJson json;
    try {
        json = XJson::parse(jsonText);
    } catch (const XJson::parse_error& e) {
        // Drop the library's "[json.exception.parse_error.101] " prefix.
        std::string what = e.what();
        if (size_t end = what.find("] "); !what.empty() && what[0] == '[' && end != std::string::npos)
            what.erase(0, end + 2);
        throw CMenuToolError("invalid JSON: " + what);
    }

    CXRoot root(kLeftMenuName);
    JsonToTree(json, root);
    std::optional<std::vector<uint8_t>> archive = WriteTreeArchive(root);
    if (!archive)
        throw CMenuToolError("the tree cannot be written as an archive");
    // The programs refuse to store a larger tree; a file they could not store is no backup.
    if (archive->size() > kMaxArchiveSize) {
        throw CMenuToolError("the archive would be " + std::to_string(archive->size()) + " bytes, more than the " +
                             std::to_string(kMaxArchiveSize) + " a menu may have");
    }
    return std::move(*archive);
}
