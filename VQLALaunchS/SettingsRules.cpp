#include "SettingsRules.h"

int LeadingDigitsValue(const std::wstring& text)
{
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9')
            break;
        // Past the largest level every value reads the same; stopping there keeps a pasted
        // run of digits from overflowing.
        if (value < kRetryCountMaximum)
            value = value * 10 + (c - L'0');
    }
    return value;
}

int ClampRetryCount(int count)
{
    if (count >= kRetryCountMaximum)
        return kRetryCountMaximum;
    if (count < 2)
        return kRetryCountMinimum;
    return count;
}

int RetryCountOfText(const std::wstring& text)
{
    return ClampRetryCount(LeadingDigitsValue(text));
}

std::optional<int> RetryCountToStore(const std::wstring& text, int held)
{
    const int count = RetryCountOfText(text);
    if (count == held)
        return std::nullopt;
    return count;
}

std::optional<std::wstring> AcceleratorToStore(const std::wstring& text, const std::wstring& held)
{
    if (text == held)
        return std::nullopt;
    return text;
}

CSettingsControlStates SettingsControlStates(bool workaroundTicked, bool hasScaleChangeProbe)
{
    CSettingsControlStates states;
    states.retryCountEnabled = workaroundTicked;
    states.restartShown = hasScaleChangeProbe;
    states.restartEnabled = hasScaleChangeProbe;
    return states;
}
