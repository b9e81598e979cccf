#pragma once
// The settings tool as a drag source: the nodes of a view or a new entry of the palette,
// offered in the tool's own format only ("OfficeKestrahl_Velquin", the transfer form of a
// container whose children are the nodes) and dragged with the system's OLE loop.

#include <windows.h>

#include <cstdint>
#include <vector>

// The tool's own drag format, registered on first use.
UINT InternalDragFormat();

// Runs a drag of a transfer block with these allowed effects (DROPEFFECT_*); the effect of
// the drop, DROPEFFECT_NONE when it was cancelled or the drag could not start.
DWORD RunInternalDrag(const std::vector<uint8_t>& transferBlock, DWORD allowed);
