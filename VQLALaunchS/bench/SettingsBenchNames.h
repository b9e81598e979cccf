#pragma once
// Names shared by the settings tool's benchmark and its bare dialog program.

// The bare dialog's block: the same 8-byte window-handle block as the settings tool's, under
// a name of its own, so that a left-over bare dialog can never pass for a settings tool.
inline constexpr wchar_t kBareDialogBlockName[] = L"OfficeKestrahl_VelquinSettingsBench_FM";
inline constexpr wchar_t kBareDialogFile[] = L"settings_bench_bare.exe";

// The shape file the bare dialog fills its views from (UTF-16, one entry a line):
//   "#" chars TAB heading   a column of the lists, its width in average character widths
//   "+" slot title          a submenu whose entries follow up to its "-" line (the first is the root)
//   "*" slot title          any other entry of the trees
//   "-"                     the end of the open submenu
//   "=" slot text {TAB text} a row of the lists: a child of the root, its column texts
// where slot is one digit, the entry's place in the fixed marks of the image list.
inline constexpr wchar_t kShapeColumn = L'#';
inline constexpr wchar_t kShapeSubmenu = L'+';
inline constexpr wchar_t kShapeEntry = L'*';
inline constexpr wchar_t kShapeEnd = L'-';
inline constexpr wchar_t kShapeRow = L'=';
