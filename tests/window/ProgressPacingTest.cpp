#include "window/ProgressPacing.h"

#include <gtest/gtest.h>

using kloxmere::window::ProgressPacing;
using std::chrono::milliseconds;

TEST(ProgressPacing, AppliesAtOnceThenWaitsOutTheIntervalRoundedUp) {
    ProgressPacing pacing;
    const auto start = ProgressPacing::Clock::now();
    EXPECT_EQ(pacing.wait(start), milliseconds(0));  // nothing shown yet
    pacing.applied(start);
    EXPECT_EQ(pacing.wait(start), ProgressPacing::kInterval);
    EXPECT_EQ(pacing.wait(start + milliseconds(15)), ProgressPacing::kInterval - milliseconds(15));
    // Less than a millisecond left still waits a whole one, never zero.
    EXPECT_EQ(pacing.wait(start + ProgressPacing::kInterval - std::chrono::microseconds(300)),
              milliseconds(1));
    EXPECT_EQ(pacing.wait(start + ProgressPacing::kInterval), milliseconds(0));
    EXPECT_EQ(pacing.wait(start + milliseconds(500)), milliseconds(0));
}
