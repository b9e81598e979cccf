#include <gtest/gtest.h>

#include "ScaleRestart.h"

TEST(ScaleRestart, RestartsOnlyForAChangedScaleWithTheSettingOnAndAWindow)
{
    struct Case {
        int scale, startupScale, setting;
        bool window, restart;
    } cases[] = {
        {125, 100, 1, true, true},   {100, 125, 1, true, true},  {100, 100, 1, true, false},
        {125, 100, 0, true, false},  {125, 100, -1, true, true}, {125, 100, 1, false, false},
        {150, 150, 0, false, false}, {175, 100, 7, true, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ShouldRestartForScale(c.scale, c.startupScale, c.setting, c.window), c.restart)
            << c.scale << " " << c.startupScale << " " << c.setting << " " << c.window;
    }
}

TEST(ScaleRestart, FailedReadCountsAsOneHundred)
{
    EXPECT_EQ(ScaleOrDefault(false, 0), 100);
    EXPECT_EQ(ScaleOrDefault(false, 150), 100);
    EXPECT_EQ(ScaleOrDefault(true, 150), 150);
    // A launcher started at 100 % whose read fails later does not restart.
    EXPECT_FALSE(ShouldRestartForScale(ScaleOrDefault(false, 125), 100, 1, true));
}
