#include <gtest/gtest.h>

#include "Shell/tTimer.h"

TEST(tTimerTest, SuspendAdvanceResumeAndReset) {
  tTimer& timer = tTimer::instance();
  const unsigned int m = timer.setMark();
  timer.wait(2);
  timer.suspendMark(m);
  const double frozen = timer.timeSinceMark(m);
  EXPECT_GT(frozen, 2.0);
  timer.wait(3);
  timer.suspendMark(m);  // suspending twice keeps the first time
  EXPECT_EQ(frozen, timer.timeSinceMark(m));
  timer.advanceMark(m, 100);
  EXPECT_EQ(frozen - 100, timer.timeSinceMark(m));

  timer.resumeMark(m);  // the 3 ms spent suspended do not count
  const double resumed = timer.timeSinceMark(m);
  EXPECT_GE(resumed, frozen - 100);
  EXPECT_LT(resumed, frozen - 100 + 3.0);

  timer.wait(5);
  timer.suspendMark(m);
  timer.resetMark(m);  // restarts a suspended mark, running
  const double restarted = timer.timeSinceMark(m);
  EXPECT_LT(restarted, 5.0);
  timer.wait(1);
  EXPECT_GT(timer.timeSinceMark(m), restarted);
}

TEST(tTimerTest, WaitReturnsOnlyAfterTheTimeHasPassed) {
  tTimer& timer = tTimer::instance();
  const double before = timer.currentTime();
  timer.wait(4);
  EXPECT_GT(timer.currentTime() - before, 4.0);
  EXPECT_GE(timer.getElapsed(), 4.0);
}
