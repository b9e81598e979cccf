#include "HotKeyTarget.h"

void CHotKeyTarget::Clear()
{
    *this = CHotKeyTarget();
}

int32_t CHotKeyTarget::PackedKey() const
{
    // Shifted as unsigned: a key code with bit 15 set must not overflow a signed shift.
    uint32_t packed = (static_cast<uint32_t>(virtualKey) << 16) | static_cast<uint32_t>(modifiers);
    return static_cast<int32_t>(packed);
}
