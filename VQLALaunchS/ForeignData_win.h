#pragma once
// Data dragged into the tool made into nodes: the tool's own format, and what other programs
// offer, tried in a fixed order (shell objects, file lists, Internet shortcuts as virtual
// files and URLs, text); the first kind that gives at least one node wins.

#include <ole2.h>

class CXParent;

// The nodes of the tool's own format into incoming (emptied first); false when the data has
// none or does not read.
bool ReadInternalData(IDataObject* data, CXParent& incoming);
// The nodes made from another program's data into incoming (emptied first); false when no
// converter made any. New shell objects and Internet shortcuts carry their pending link data.
bool ReadForeignData(IDataObject* data, CXParent& incoming);
