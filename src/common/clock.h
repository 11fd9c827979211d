#pragma once

#include <chrono>
#include <functional>

namespace pelmar::common {

// A monotonic clock for the waits of the print runs; it never stalls at midnight.
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::steady_clock::time_point now() = 0;
};

// Lets the window process its pending events during a wait (the cancel button works then).
class EventPump {
public:
    virtual ~EventPump() = default;
    virtual void processEvents() = 0;
};

// The clock and event pump of a wait, handed to what waits on the print system, and whether the
// operator has cancelled the run (empty where nothing can cancel).
struct WaitServices {
    Clock& clock;
    EventPump& events;
    std::function<bool()> cancelled = {};
};

class SteadyClock : public Clock {
public:
    std::chrono::steady_clock::time_point now() override {
        return std::chrono::steady_clock::now();
    }
};

} // namespace pelmar::common
