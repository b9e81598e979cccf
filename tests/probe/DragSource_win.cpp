#include "DragSource_win.h"

std::vector<uint8_t> FileList(const std::vector<std::wstring>& files)
{
    std::vector<uint8_t> bytes(sizeof(DROPFILES), 0);
    auto* header = reinterpret_cast<DROPFILES*>(bytes.data());
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    for (const std::wstring& file : files) {
        const auto* first = reinterpret_cast<const uint8_t*>(file.c_str());
        // The name with its terminating null.
        bytes.insert(bytes.end(), first, first + (file.size() + 1) * sizeof(wchar_t));
    }
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}
