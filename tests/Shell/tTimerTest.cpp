#include <gtest/gtest.h>

#include "Shell/tTimer.h"

TEST(tTimerTest, MarksAreNumberedInOrderOfSetting) {
  tTimer& timer = tTimer::instance();
  unsigned int a = timer.setMark();
  unsigned int b = timer.setMark();
  EXPECT_EQ(a + 1, b);
}

TEST(tTimerTest, SuspendedMarkStandsStillAndSuspendingTwiceKeepsTheFirstTime) {
  tTimer& timer = tTimer::instance();
  unsigned int m = timer.setMark();
  timer.wait(2);
  timer.suspendMark(m);
  double frozen = timer.timeSinceMark(m);
  EXPECT_GT(frozen, 2.0);
  timer.wait(3);
  timer.suspendMark(m);
  EXPECT_EQ(frozen, timer.timeSinceMark(m));
  timer.advanceMark(m, 100);
  EXPECT_EQ(frozen - 100, timer.timeSinceMark(m));

  timer.resumeMark(m);  // the 3 ms spent suspended do not count
  double resumed = timer.timeSinceMark(m);
  EXPECT_GE(resumed, frozen - 100);
  EXPECT_LT(resumed, frozen - 100 + 3.0);
}

TEST(tTimerTest, ResetMarkOfASuspendedMarkRestartsIt) {
  tTimer& timer = tTimer::instance();
  unsigned int m = timer.setMark();
  timer.wait(5);
  timer.suspendMark(m);
  timer.resetMark(m);
  double t0 = timer.timeSinceMark(m);
  EXPECT_LT(t0, 5.0);
  timer.wait(1);
  EXPECT_GT(timer.timeSinceMark(m), t0);  // running again
}

TEST(tTimerTest, WaitReturnsOnlyAfterTheTimeHasPassed) {
  tTimer& timer = tTimer::instance();
  double before = timer.currentTime();
  timer.wait(4);
  EXPECT_GT(timer.currentTime() - before, 4.0);
  EXPECT_GE(timer.getElapsed(), 4.0);
}
