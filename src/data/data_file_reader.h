#pragma once

#include "common/message_box.h"
#include "state/working_state.h"

#include <QString>
#include <optional>

namespace pelmar::data {

// What a read of the data file left for its caller to do.
struct DataReadResult {
    bool failed = false;
    int errorNumber = 0;     // the run-time error number when failed
    bool endProgram = false; // failed and the command line is not exactly "/T": the program ends
};

// Most records a data file may have (empty lines at its end do not count); one more is an
// overflow (error 6).
inline constexpr int kMaxDataLines = 32767;
// Longest data line in bytes: one line is held several times over (bytes, text, fields), and a
// longer one is refused as not fitting into memory (error 7) before it is read whole.
inline constexpr qsizetype kMaxDataLineBytes = 32 * 1024 * 1024;

// The message that refuses the Delimiter setting when lines are to be cut at a delimiter that
// cannot cut them: an empty one, or one that is not a single-byte character of the code page
// (each whole line would become its label quantity). Nothing in fixed mode, without fields, or
// with a delimiter that cuts.
std::optional<QString> delimiterRefusal(const state::WorkingState& state);

// Reads state.textFileName into state.records (rows 1..recordCount, columns 1..fieldCount) and
// state.recordCount, cutting each line at the delimiter or at fixed byte positions by the field
// definitions. A file without CR ends its lines at LF. Empty lines, and lines of Ctrl-Z and
// blanks, at the end of the file are not records. A UTF-8 byte-order mark is taken off a file
// read in UTF-8. A file without records leaves records untouched with recordCount 0. A delimiter
// that cannot cut is refused (error 5) before the file is opened. Any failure (bytes the code
// page cannot read, a line with too few delimiters or more than the deciding last line, a field
// cut through a character) is reported here with one critical message naming the line, and
// leaves recordCount and currentRecord 0, so that nothing of the file prints; nothing throws.
DataReadResult LoadDataFile(state::WorkingState& state, common::MessageBox& messages);

} // namespace pelmar::data
