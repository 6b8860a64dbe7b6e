#include "platform/Timer.h"

#include <string>
#include <vector>

#include "platform/Exceptions.h"
#include "support/SimFixture.h"

namespace pendulon::sim {
namespace {

class TimerTest : public SimTest {
 protected:
  void RunUntil(std::int64_t utc) { platform.RunUntil(utc); }

  std::vector<std::int64_t> ticks;
  std::vector<std::string> errors;
  TTimer timer{platform, 1, [this](std::exception_ptr e) { errors.push_back(ErrorText(e)); }};
};

TEST_F(TimerTest, CountsOnlyWhileEnabledWithAnIntervalAndAHandler) {
  const std::int64_t start = world.Now();
  RunUntil(start + 5000);
  EXPECT_TRUE(ticks.empty()) << "no handler yet";

  timer.SetOnTimer([&] { ticks.push_back(world.Now() - start); });
  RunUntil(start + 7500);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{6000, 7000}))
      << "counts from the moment the handler is set";

  timer.SetInterval(0);
  RunUntil(start + 20000);
  EXPECT_EQ(ticks.size(), 2u);
  timer.SetInterval(2000);
  timer.SetEnabled(false);
  RunUntil(start + 30000);
  EXPECT_EQ(ticks.size(), 2u);
  timer.SetEnabled(true);
  RunUntil(start + 32500);
  EXPECT_EQ(ticks.back(), 32000);
}

TEST_F(TimerTest, AChangeRestartsTheIntervalButTheSameValueDoesNot) {
  const std::int64_t start = world.Now();
  timer.SetOnTimer([&] { ticks.push_back(world.Now() - start); });
  RunUntil(start + 1500);
  timer.SetInterval(1000);  // unchanged: the tick at 2000 stays
  timer.SetEnabled(true);
  RunUntil(start + 2100);
  EXPECT_EQ(ticks.back(), 2000);
  timer.SetInterval(3000);
  RunUntil(start + 5200);
  EXPECT_EQ(ticks.back(), 5100);
  timer.Rearm(3000);  // same interval, counted anew
  RunUntil(start + 8250);
  EXPECT_EQ(ticks.back(), 8200);
}

TEST_F(TimerTest, TicksDueWhileBusyWaitAsOne) {
  const std::int64_t start = world.Now();
  timer.SetOnTimer([&] { ticks.push_back(world.Now() - start); });
  world.AdvanceBy(10500);  // the thread is busy for ten periods
  RunUntil(start + 11500);
  EXPECT_EQ(ticks, (std::vector<std::int64_t>{10500, 11000}));
}

TEST_F(TimerTest, AnErrorEndsOnlyItsTick) {
  timer.SetOnTimer([&] {
    ticks.push_back(world.Now());
    if (ticks.size() == 1)
      throw EStringListError(3);
  });
  RunUntil(world.Now() + 2500);
  EXPECT_EQ(ticks.size(), 2u);
  EXPECT_EQ(errors, std::vector<std::string>{"List index out of bounds (3)"});
}

TEST_F(TimerTest, ARefusedTimerRaisesNotEnoughTimers) {
  world.refusedTimerIntervals = {60000};
  timer.SetOnTimer([] {});
  try {
    timer.SetInterval(60000);
    FAIL();
  } catch (const EOutOfResources& e) {
    EXPECT_EQ(e.Message(), "Not enough timers available");
  }
  EXPECT_FALSE(timer.Counting());
}

}  // namespace
}  // namespace pendulon::sim
