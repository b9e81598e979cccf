#pragma once
// Trees and checks shared by the velqmenu tests.

#include <gtest/gtest.h>

#include <string>

#include "SettingsStore.h"
#include "ToolPlatform.h"
#include "XNode.h"

std::wstring Units(std::initializer_list<unsigned> units);

// Fills an empty root with every node class, Japanese titles, a surrogate pair, nested
// submenus (one of them empty), hotkeys and every field away from its default.
void BuildFullTree(CXRoot& root);

// Every stored field of both trees, compared node by node.
void ExpectSameTree(const CXNode& expected, const CXNode& actual, const std::string& where = "root");

// Installs the tool's platform with an in-memory store for the test's lifetime.
class VelqMenuTest : public testing::Test {
protected:
    void SetUp() override { InstallPlatform(&platform, &store); }
    void TearDown() override { InstallPlatform(nullptr, nullptr); }

    CToolPlatform platform;
    CMemoryStore store;
};
