#pragma once

#include "common/run_error.h"

#include <optional>
#include <utility>

namespace pelmar::test {

// Runs the action and returns the run-time error it threw, or nullopt when it threw none; any
// other exception passes through (a test that needs the error's own class catches it itself).
template <class Action> std::optional<common::RunError> runErrorOf(Action&& action) {
    try {
        std::forward<Action>(action)();
    } catch (const common::RunError& error) {
        return error;
    }
    return std::nullopt;
}

// The number of the run-time error the action threw, 0 when it threw none.
template <class Action> int runErrorNumberOf(Action&& action) {
    const std::optional<common::RunError> error = runErrorOf(std::forward<Action>(action));
    return error ? error->number() : 0;
}

} // namespace pelmar::test
