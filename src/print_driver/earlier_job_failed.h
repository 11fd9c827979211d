#pragma once

#include "common/run_error.h"

namespace pelmar::print_driver {

// A job ended before the one being ended (the two overlapped) did not print: the failure is that
// earlier job's, and the later one was withdrawn with it.
class EarlierJobFailed : public common::RunError {
public:
    explicit EarlierJobFailed(const common::RunError& error) : common::RunError(error) {}
};

} // namespace pelmar::print_driver
