#pragma once
// The rules of the detailed settings dialog: what the effort edit accepts, when a typed text
// is a change worth storing, and which controls the dialog enables and shows.

#include <optional>
#include <string>

// The effort levels the launcher tells apart; the edit's text is mapped into this range.
inline constexpr int kRetryCountMinimum = 1;
inline constexpr int kRetryCountMaximum = 10;

// The value of the digits the text starts with, 0 when it starts with none. A long run of
// digits saturates instead of overflowing; everything from kRetryCountMaximum up maps alike.
int LeadingDigitsValue(const std::wstring& text);
// 10 and more give 10, 2 to 9 stay, anything below 2 gives 1.
int ClampRetryCount(int count);
// The count the edit's text stands for.
int RetryCountOfText(const std::wstring& text);
// The count to store after the edit changed to this text, or nothing when it stands for the
// count already held. The text itself is left as the user typed it.
std::optional<int> RetryCountToStore(const std::wstring& text, int held);
// The accelerator text to store after its edit changed, or nothing when it equals the one
// held (compared exactly). An empty text is a value of its own: the submenu without a key.
std::optional<std::wstring> AcceleratorToStore(const std::wstring& text, const std::wstring& held);

// A check box's state as the store keeps it.
inline int FlagOfCheck(bool ticked)
{
    return ticked ? 1 : 0;
}

struct CSettingsControlStates {
    bool retryCountEnabled = false;
    // The restart on a scale change needs the system's scale-change notice.
    bool restartShown = false;
    bool restartEnabled = false;
};
CSettingsControlStates SettingsControlStates(bool workaroundTicked, bool hasScaleChangeProbe);

// Raises an update counter for its lifetime. While the dialog fills its edits by program the
// edits report changes too; the handlers ignore them while the counter is above zero.
class CInternalUpdateAnchor {
public:
    explicit CInternalUpdateAnchor(int& counter) : counter(counter) { ++counter; }
    ~CInternalUpdateAnchor() { --counter; }
    CInternalUpdateAnchor(const CInternalUpdateAnchor&) = delete;
    CInternalUpdateAnchor& operator=(const CInternalUpdateAnchor&) = delete;

private:
    int& counter;
};
