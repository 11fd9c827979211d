#pragma once

#include "common/message_box.h"
#include "state/working_state.h"

namespace pelmar::data {

// What a read of the data file left for its caller to do.
struct DataReadResult {
    bool failed = false;
    int errorNumber = 0;     // the run-time error number when failed
    bool endProgram = false; // failed and the command line is not exactly "/T": the program ends
};

// Most lines a data file may have; one more is an overflow (error 6).
inline constexpr int kMaxDataLines = 32767;
// Longest data line in bytes: one line is held several times over (bytes, text, fields), and a
// longer one is refused as not fitting into memory (error 7) before it is read whole.
inline constexpr qsizetype kMaxDataLineBytes = 32 * 1024 * 1024;

// Reads state.textFileName into state.records (rows 1..recordCount, columns 1..fieldCount) and
// state.recordCount, cutting each line at the delimiter or at fixed byte positions by the field
// definitions. A file without lines leaves records untouched with recordCount 0. Any failure is
// reported here with one critical message and returned; nothing throws.
DataReadResult LoadDataFile(state::WorkingState& state, common::MessageBox& messages);

} // namespace pelmar::data
