#pragma once

#include "common/clock.h"

#include <chrono>
#include <functional>

namespace pelmar::common {

// Why a wait ended.
enum class WaitEnd {
    Met,       // the condition held
    Deadline,  // the deadline passed first
    Cancelled, // the operator cancelled the run first
};

// Lets the window work (processes its pending events) until `until` holds, the deadline passes or
// wait.cancelled says the run was cancelled, whichever comes first; each is checked before every
// round of events, so a cancel ends the wait within one poll. An empty `until` waits for the
// deadline or the cancel only. Never throws unless `until` does.
WaitEnd waitUntil(const WaitServices& wait, std::chrono::steady_clock::time_point deadline,
                  const std::function<bool()>& until = {});

// waitUntil for a time from now.
WaitEnd waitFor(const WaitServices& wait, std::chrono::steady_clock::duration time,
                const std::function<bool()>& until = {});

} // namespace pelmar::common
