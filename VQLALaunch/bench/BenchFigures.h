#pragma once
// Figures of the benchmarks under Wine: durations in milliseconds and medians, and their
// command line.

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>
#include <vector>

using Clock = std::chrono::steady_clock;

inline double Milliseconds(Clock::duration d)
{
    return std::chrono::duration<double, std::milli>(d).count();
}

inline double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The benchmark's arguments: "-v" for a trace, a number for the repetitions.
struct CBenchArguments {
    int repetitions;
    bool verbose = false;
};
inline CBenchArguments ReadBenchArguments(int argc, wchar_t** argv, int defaultRepetitions)
{
    CBenchArguments arguments{defaultRepetitions};
    for (int i = 1; i < argc; ++i) {
        if (std::wstring(argv[i]) == L"-v")
            arguments.verbose = true;
        else
            arguments.repetitions = std::max(1, _wtoi(argv[i]));
    }
    return arguments;
}
