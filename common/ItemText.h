#pragma once
// Text rules of menu entries: menu text and accelerators, environment references,
// text summaries, default titles and the launch error texts.

#include <cstdint>
#include <string>

// A printable ASCII character other than "&" and space (0x21–0x25, 0x27–0x7E).
bool IsAcceleratorChar(wchar_t c);
// title with "&" doubled, then "(&c)" for a usable accelerator.
std::wstring BuildMenuText(const std::wstring& title, const std::wstring& accelerator);
// Takes the accelerator out of an old-style title: "メモ帳(&N)" -> "メモ帳", "N".
void DeriveAccelerator(std::wstring& title, std::wstring& accelerator);

// Expands %NAME% references; %VelquinLNKs% is always the internal-links folder.
std::wstring ExpandReferences(const std::wstring& text);

// One line of at most 32 clusters, followed by "..." when the text goes on.
std::wstring BuildSummary(const std::wstring& text);
// "「" + summary + "」をコピー"
std::wstring DefaultTextItemTitle(const std::wstring& summary);
// Title from the part after the last backslash, or the whole path.
std::wstring TitleFromPath(const std::wstring& path);

// showCommand 0/1/2 -> SW_SHOWNORMAL/SW_SHOWMINIMIZED/SW_SHOWMAXIMIZED.
int ShowCommandToSw(int showCommand);
// SW_SHOWMINIMIZED -> 1, SW_SHOWMAXIMIZED -> 2, anything else -> 0.
int SwToShowCommand(int sw);
// "起動できません。%s(ShellExecute code=%d)" for a ShellExecute result of 32 or below.
std::wstring ShellExecuteErrorText(intptr_t code);

// Case-insensitive ASCII test of the last four characters.
bool EndsWithExtension(const std::wstring& text, const wchar_t* extension);

// Joins with exactly one backslash.
std::wstring JoinPath(const std::wstring& left, const std::wstring& right);

inline constexpr size_t kMaxInlineTextLength = 256;
inline constexpr wchar_t kLinksReference[] = L"%VelquinLNKs%";
