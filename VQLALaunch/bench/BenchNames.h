#pragma once
// Names shared by the launcher benchmark and its bare resident program.

// The bare program's block: the same 8-byte window-handle block as the launcher's, under a
// name of its own, so that a left-over bare program can never pass for a launcher.
inline constexpr wchar_t kBareBlockName[] = L"OfficeKestrahl_VelquinBench_FM";
inline constexpr wchar_t kBareFile[] = L"launcher_bench_bare.exe";
// Makes the bare program ask the shell for its own file icon before it publishes its block.
inline constexpr wchar_t kBareShellIconSwitch[] = L"/shellicon";
