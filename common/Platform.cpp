#include "Platform.h"

#include <cassert>

namespace {
CPlatform* installedPlatform = nullptr;
CSettingsStore* installedStore = nullptr;
}  // namespace

CPlatform& Platform()
{
    assert(installedPlatform);
    return *installedPlatform;
}

CSettingsStore& Store()
{
    assert(installedStore);
    return *installedStore;
}

void InstallPlatform(CPlatform* platform, CSettingsStore* store)
{
    installedPlatform = platform;
    installedStore = store;
}
