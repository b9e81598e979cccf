#pragma once
// Guard of a command that must not run again while it runs: shell calls pump messages, so
// the same command can arrive from inside itself. Portable.

#include <atomic>

class CSkipRecursiveObject {
public:
    explicit CSkipRecursiveObject(std::atomic<int>& counter) : counter(counter), first(counter.fetch_add(1) == 0) {}
    ~CSkipRecursiveObject() { counter.fetch_sub(1); }
    CSkipRecursiveObject(const CSkipRecursiveObject&) = delete;
    CSkipRecursiveObject& operator=(const CSkipRecursiveObject&) = delete;

    // The work may run: nobody else is inside.
    bool IsFirst() const { return first; }

private:
    std::atomic<int>& counter;
    bool first;
};
