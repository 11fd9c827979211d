#include "common/wait.h"

#include "support/fake_clock.h"

#include <gtest/gtest.h>

namespace pelmar::common {
namespace {

using namespace std::chrono_literals;

TEST(WaitUntil, EndsOnTheConditionTheDeadlineOrTheCancelWhicheverComesFirst) {
    struct Case {
        int metAfterPolls;       // -1: never
        int cancelledAfterPolls; // -1: never
        WaitEnd end;
        int polls; // rounds of events the wait let the window work
    };
    for (const Case& c : {Case{2, -1, WaitEnd::Met, 2}, Case{-1, -1, WaitEnd::Deadline, 10},
                          Case{-1, 3, WaitEnd::Cancelled, 3}, Case{5, 5, WaitEnd::Cancelled, 5},
                          Case{0, -1, WaitEnd::Met, 0}}) {
        test::FakeClock clock; // each round of events moves it one step of 100 ms
        const WaitServices wait{clock, clock, [&] {
                                    return c.cancelledAfterPolls >= 0 &&
                                           clock.pumpCalls >= c.cancelledAfterPolls;
                                }};
        const WaitEnd end = waitFor(
            wait, 1s, [&] { return c.metAfterPolls >= 0 && clock.pumpCalls >= c.metAfterPolls; });
        EXPECT_EQ(end, c.end) << c.metAfterPolls << "/" << c.cancelledAfterPolls;
        EXPECT_EQ(clock.pumpCalls, c.polls) << c.metAfterPolls << "/" << c.cancelledAfterPolls;
    }
}

} // namespace
} // namespace pelmar::common
