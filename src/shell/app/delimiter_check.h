#pragma once

#include "shell/app/app_context.h"

#include <QString>

namespace pelmar::app {

// Shows why the Delimiter setting cannot cut the data file's lines (critical icon, the caption
// given) and returns false; returns true without a word when they can be cut (or are cut at
// fixed positions). Call it before the data file is read or printed from.
bool delimiterCanCut(AppContext& context, const QString& caption);

} // namespace pelmar::app
