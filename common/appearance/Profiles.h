#pragma once
// The customizer's profiles: named appearance records kept as REG_BINARY values of the key
// "Profiles" below the product key, one value per profile, its name coded so that any text can
// be a value name. Also the five profiles the customizer creates on its first start.
// Portable: no windows.h.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "ODMSettings.h"

class CSettingsStore;

inline constexpr uint32_t kProfileMagic = 0x349538F6;
inline constexpr uint16_t kProfileVersion = 3;

// Value name of a profile name: every unit 0..127 other than an ASCII letter, digit, "-", ".",
// "_" or "~" becomes "%" and two upper-case hex digits; units from 128 up pass unchanged. A zero
// unit is coded as "%00" like the other control characters, so a coded name never holds one.
std::wstring EncodeProfileName(const std::wstring& name);
// Each "%" followed by two hex digits (either case) becomes the unit of that code; everything
// else, a "%" without two hex digits after it included, is copied unchanged.
std::wstring DecodeProfileName(const std::wstring& valueName);

// The record, little-endian, strings in the archive's string form:
//   magic uint32, version uint16 (3), DrawType int32, font name string, size int32,
//   weight int32, italic byte 0/1, colour count int32 (6), six colours uint32 in index order,
//   [version >= 3] use-texture byte 0/1, texture file string, alpha byte (the low byte),
//   [version >= 2] compact-width byte 0/1,
//   padding int32, separator height int32, highlight edge int32,
//   [version >= 1] submenu mark int32,
//   magic uint32 again.
std::vector<uint8_t> SerializeProfile(const CODMSettings& settings);
// Reads into `settings`, which holds the defaults (or whatever the caller set); on failure
// `settings` is left unchanged. Fields an older version lacks keep their prior values. Fails on
// a wrong magic at either end, a version above 3, a colour count other than 6, and data that
// ends early or does not read as the archive's primitives. Bytes after the closing magic are
// ignored. The three flag bytes read as 0 or 1 (any non-zero byte is set), the alpha byte as
// 0..255. A string written without the Unicode marker is read through the platform's ANSI code
// page, so that form needs an installed platform.
bool DeserializeProfile(std::span<const uint8_t> bytes, CODMSettings& settings);

// Every field matches: the flags by being both zero or both non-zero, the texture path
// ignoring case, the font name exactly, everything else by value.
bool ProfilesEqual(const CODMSettings& a, const CODMSettings& b);

struct CBuiltInProfile {
    std::wstring name;
    CODMSettings settings;
};
// "黒", "黒板", "白", "紺", "アンバー", in this order: the defaults in mode 2 with their own
// colours and highlight frame.
const std::vector<CBuiltInProfile>& BuiltInProfiles();

// Profile names compare as registry value names do (StoreNamesEqual).
bool ProfileNamesEqual(const std::wstring& a, const std::wstring& b);
// The index of the first name equal to `text` ignoring case.
std::optional<size_t> FindProfileName(const std::vector<std::wstring>& names, const std::wstring& text);

// The path of the key "Profiles": kStoreKeyPath + "\" + kSectionProfiles.
std::wstring ProfilesKeyPath();
// The decoded names of the REG_BINARY values of "Profiles" in enumeration order; values of other
// types are skipped, and a missing key gives no names (and is not created).
std::vector<std::wstring> ReadProfileNames(CSettingsStore& store);
// While "ProfileSetIntialized" in "Settings" is 0 or missing: writes the built-in profiles in
// their order, replacing values of their names, then sets it to 1 and returns true. Otherwise
// does nothing and returns false.
bool CreateBuiltInProfilesOnce(CSettingsStore& store);
// The profile read over a default record; nullopt when its value is missing, not REG_BINARY or
// does not read.
std::optional<CODMSettings> ReadProfile(CSettingsStore& store, const std::wstring& name);
// Replaces the profile's value: deleting the old one first makes the value carry the name as
// spelled now ("KURO" replaces "kuro"), then writes the record, creating the key when needed.
void WriteProfile(CSettingsStore& store, const std::wstring& name, const CODMSettings& settings);
void DeleteProfile(CSettingsStore& store, const std::wstring& name);
