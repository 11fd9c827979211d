#pragma once

#include "common/clock.h"

#include <functional>

namespace pelmar::test {

// A clock that only moves when the event pump runs: each processEvents call advances it by
// `step` and then runs `onEvents` (a test's stand-in for a click during a wait).
class FakeClock : public common::Clock, public common::EventPump {
public:
    std::chrono::steady_clock::time_point now() override { return m_now; }
    void processEvents() override {
        ++pumpCalls;
        m_now += step;
        if (onEvents)
            onEvents();
    }
    void advance(std::chrono::steady_clock::duration d) { m_now += d; }
    std::chrono::steady_clock::duration elapsed() const { return m_now - m_start; }

    std::chrono::steady_clock::duration step = std::chrono::milliseconds(100);
    std::function<void()> onEvents;
    int pumpCalls = 0;

private:
    std::chrono::steady_clock::time_point m_start{std::chrono::hours(1000)};
    std::chrono::steady_clock::time_point m_now{m_start};
};

} // namespace pelmar::test
