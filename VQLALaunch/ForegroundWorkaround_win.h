#pragma once
// The foreground workaround of the popup menus: the system lets a program bring its menu in
// front of everything only after that program received real input, so the launcher clicks
// once on a tiny window of its own at a spot that nothing else covers.

#include <windows.h>

// Runs the clicks `repetitions` times (limited to 1...10), with the cursor hidden and put back.
void RunForegroundWorkaround(int repetitions);

// The rectangle where the last moment window found a free spot; the next one starts there.
extern RECT lastGoodMomentRect;
