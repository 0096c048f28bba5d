// The timer that asks for displays: however the frame period changes (a replay at K times the
// speed, then the game handed back at its normal pace), exactly one timer is ever waiting, so the
// game never runs at twice its speed.
#include <gtest/gtest.h>

#include <GL/freeglut.h>

#include <chrono>
#include <thread>

#include "app/frame.h"
#include "tests/support/gl_context.h"

namespace {

int fired = 0;

// Stops every waiting timer from starting another and counts them as they run out: the number of
// timers that were waiting.
int waitingTimers() {
  appFrame.framePeriod = 0;
  fired = 0;
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(500);
  while (std::chrono::steady_clock::now() < end) {
    glutMainLoopEvent();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return fired;
}

}  // namespace

TEST(FrameTimer, OneTimerWaitsWhateverThePeriodIsChangedTo) {
  ASSERT_TRUE(ensureGlContext(32, 32));
  appFrame.timerHook = [](int) { ++fired; };
  setFramePeriod(25);  // from no timer: one starts
  EXPECT_EQ(waitingTimers(), 1);
  setFramePeriod(25);  // a replay at twice the speed...
  setFramePeriod(timerPeriod);  // ...that finishes while its timer waits
  EXPECT_EQ(waitingTimers(), 1);
  setFramePeriod(25);
  setFramePeriod(0);  // as fast as drawn: the waiting timer runs out and starts no other
  EXPECT_EQ(waitingTimers(), 1);
  setFramePeriod(timerPeriod);  // and back: one again
  setFramePeriod(timerPeriod);
  EXPECT_EQ(waitingTimers(), 1);
  appFrame.timerHook = nullptr;
  appFrame.framePeriod = timerPeriod;
}
