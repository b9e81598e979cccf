#pragma once
// A menu tree as JSON and back, for backing up, comparing and scripting menus.
//
// The root is {"title", "accelerator", "children"}; each child names its "class"
// ("CXItem", "CXTextItem", "CXSeparator", "CXParent") and carries the fields of that
// class under their member names. Keys missing on input keep the values of a new node;
// unknown keys, wrong types and out-of-range values are refused.
//
// A string that is not well-formed UTF-16 (an unpaired surrogate) has no UTF-8 form.
// It is written as {"utf16": [unit, ...]} instead of a JSON string, and every string
// field accepts that form, so that dump and pack lose nothing.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "XNode.h"

using XJson = nlohmann::ordered_json;

// An error of the tool, with its one-line text (without the program name).
class CMenuToolError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Every key of every node is written, in a fixed order.
XJson TreeToJson(const CXParent& root);
// Fills root, whose children must be empty. Throws CMenuToolError naming the offending key.
void JsonToTree(const XJson& json, CXRoot& root);

// Archive bytes to JSON text (2-space indent, UTF-8, final newline).
// Throws CMenuToolError when the archive cannot be read.
std::string DumpArchive(std::span<const uint8_t> archive);
// JSON text to archive bytes. Throws CMenuToolError for bad JSON or a tree that cannot
// be archived.
std::vector<uint8_t> PackJson(std::string_view jsonText);
