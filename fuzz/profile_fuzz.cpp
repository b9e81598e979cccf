// Arbitrary bytes as a profile record. Reading must never crash or leak, and must leave the
// record untouched when it fails. What reads must write a record that reads back to the same
// fields and writes the same bytes again; a version 3 record sets every field, so what it
// reads does not depend on the record it was read over.

#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "FakePlatform.h"
#include "Profiles.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// A record unlike the defaults in every field.
CODMSettings Sentinel()
{
    CODMSettings s;
    s.drawType = 7;
    s.fontName = L"sentinel";
    s.fontSize = -1;
    s.fontWeight = -2;
    s.fontItalic = 1;
    s.colors = {1, 2, 3, 4, 5, 6};
    s.useTexture = 1;
    s.textureFile = L"sentinel.png";
    s.alphaHighlight = 3;
    s.compactWidth = 1;
    s.padding = -3;
    s.separatorHeight = -4;
    s.highlightEdge = -5;
    s.submenuMark = -6;
    return s;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // Strings without the Unicode marker go through the platform's code page conversion.
    static CFakeEnvironment* environment = new CFakeEnvironment;
    (void)environment;
    static const CODMSettings sentinel = Sentinel();
    const std::span<const uint8_t> bytes(data, size);

    CODMSettings overSentinel = sentinel;
    const bool read = DeserializeProfile(bytes, overSentinel);
    CODMSettings overDefaults;
    Check(DeserializeProfile(bytes, overDefaults) == read);
    if (!read) {
        Check(overSentinel == sentinel);
        Check(overDefaults == CODMSettings{});
        return 0;
    }
    const uint16_t version = static_cast<uint16_t>(data[4] | (data[5] << 8));
    Check(version <= kProfileVersion);
    if (version == kProfileVersion)
        Check(overSentinel == overDefaults);

    const std::vector<uint8_t> first = SerializeProfile(overSentinel);
    CODMSettings again = sentinel;
    Check(DeserializeProfile(first, again));
    Check(again == overSentinel && ProfilesEqual(again, overSentinel));
    Check(SerializeProfile(again) == first);
    return 0;
}
