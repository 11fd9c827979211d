#include "common/wait.h"

namespace pelmar::common {

WaitEnd waitUntil(const WaitServices& wait, std::chrono::steady_clock::time_point deadline,
                  const std::function<bool()>& until) {
    for (;;) {
        if (wait.cancelled && wait.cancelled())
            return WaitEnd::Cancelled;
        if (until && until())
            return WaitEnd::Met;
        if (wait.clock.now() >= deadline)
            return WaitEnd::Deadline;
        wait.events.processEvents();
    }
}

WaitEnd waitFor(const WaitServices& wait, std::chrono::steady_clock::duration time,
                const std::function<bool()>& until) {
    return waitUntil(wait, wait.clock.now() + time, until);
}

} // namespace pelmar::common
