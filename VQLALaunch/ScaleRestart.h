#pragma once
// When a display-scale notification restarts the launcher. Portable, so that the rule is
// tested without a display.

// scale: the primary monitor's scale now; startupScale: at this process's start (never
// updated); restartSetting: "RestartOnMonitorScaleChange" as read at the notification.
inline bool ShouldRestartForScale(int scale, int startupScale, int restartSetting, bool hasMainWindow)
{
    return scale != startupScale && restartSetting != 0 && hasMainWindow;
}

// A failed read counts as 100 %.
inline int ScaleOrDefault(bool readSucceeded, int percent)
{
    return readSucceeded ? percent : 100;
}
