#pragma once

#include "common/run_error.h"
#include "common/run_tally.h"
#include "state/working_state.h"

#include <cstdint>

namespace pelmar::print_command {

// A record's label quantity as both runs read it: the leading number of its last field rounded
// to a 16-bit whole number, 0 when there is none. Throws RunError(6) beyond 16 bits.
std::int16_t recordQuantity(const state::WorkingState& state, int record);

// The error of a record's quantity (an overflow of the sets or copies) with the record's number
// and the value added, so the operator can mend the data file.
common::RunError quantityError(const common::RunError& error, int record, const QString& value);

// The entry of a record left out because its quantity is below 0: printing it would send a
// negative count, which a printer takes as "print the last label again".
common::LeftOutRecord negativeQuantity(int record, const QString& value);

} // namespace pelmar::print_command
