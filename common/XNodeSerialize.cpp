// PLACEHOLDER until the archive lands.
#include "XNode.h"
#include "XArchive.h"
void CHotKeyTarget::Serialize(CXArchive&) {}
void CXNode::Serialize(CXArchive&) {}
void CXItem::Serialize(CXArchive&) {}
void CXTextItem::Serialize(CXArchive&) {}
void CXSeparator::Serialize(CXArchive&) {}
void CXParent::Serialize(CXArchive&) {}
void CXRoot::Serialize(CXArchive&) {}
bool CXRoot::Save() { return false; }
bool CXRoot::Load() { return false; }
