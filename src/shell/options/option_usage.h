#pragma once

#include "shell/options/option_table.h"

#include <QString>

namespace pelmar::options {

// The usage text of a program from its table: the synopsis line of each form, wrapped, with its
// description under it; the options that have help, one entry each; then the epilogue. Ends
// with a line break. Throws nothing.
QString usageText(const OptionTable& table);

} // namespace pelmar::options
