#pragma once
// One system-wide hotkey binding: what the user chose and the id under which the
// running launcher registered it.

#include <cstdint>
#include <string>

class CXArchive;

class CHotKeyTarget {
public:
    CHotKeyTarget() = default;
    CHotKeyTarget(const CHotKeyTarget&) = default;
    CHotKeyTarget& operator=(const CHotKeyTarget&) = default;
    virtual ~CHotKeyTarget() = default;

    void Clear();
    bool HasKey() const { return virtualKey != 0; }
    bool IsActive() const { return HasKey() && hotKeyId != -1; }
    // virtualKey << 16 | modifiers: the form a binding travels in a register request.
    int32_t PackedKey() const;
    void Serialize(CXArchive& ar);

    int32_t modifiers = 0;   // MOD_ALT 1, MOD_CONTROL 2, MOD_SHIFT 4
    int32_t virtualKey = 0;  // 0: no hotkey
    std::wstring keyText;    // display only, never parsed
    int32_t hotKeyId = -1;   // -1: not registered

    bool operator==(const CHotKeyTarget& o) const
    {
        return modifiers == o.modifiers && virtualKey == o.virtualKey && keyText == o.keyText && hotKeyId == o.hotKeyId;
    }
};
