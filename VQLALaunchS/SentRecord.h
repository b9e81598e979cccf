#pragma once
// The records that the private messages carry by pointer (a change notice, a list of nodes)
// live only while their message is being sent within this process. A receiver takes a
// pointer only while its record is being sent, so that the same message numbers posted by
// another program, with whatever lParam, are ignored instead of followed.

#include <windows.h>

#include <algorithm>
#include <vector>

template <class T> class CSentRecord {
public:
    explicit CSentRecord(const T& record) : record(record) { Live().push_back(&record); }
    ~CSentRecord() { Live().erase(std::find(Live().begin(), Live().end(), &record)); }
    CSentRecord(const CSentRecord&) = delete;
    CSentRecord& operator=(const CSentRecord&) = delete;

    LPARAM Param() const { return reinterpret_cast<LPARAM>(&record); }
    // The record behind lParam while it is being sent; null for any other value.
    static const T* Accept(LPARAM lParam)
    {
        for (const T* live : Live()) {
            if (reinterpret_cast<LPARAM>(live) == lParam)
                return live;
        }
        return nullptr;
    }

private:
    static std::vector<const T*>& Live()
    {
        static std::vector<const T*> live;
        return live;
    }
    const T& record;
};
