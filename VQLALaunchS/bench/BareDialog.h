#pragma once
// Resource ids of the settings benchmark's bare dialog program; its views use the settings
// tool's control ids (Resource.h), so that the benchmark reads both programs alike. Included
// by the resource script too, so only preprocessor definitions live here.

#define IDD_BARE_DIALOG 100
