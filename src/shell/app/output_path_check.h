#pragma once

#include "state/working_state.h"

#include <QString>
#include <optional>

namespace pelmar::app {

// Why the run may not write its output (the PDF file) at path: path is one of the run's inputs
// (the settings file, the data file dataFile, a format of LabelNames or a picture one of them
// draws; the same file under any name or link counts) or exists and is not a regular file.
// Nothing when path is another regular file or a new one. settings: as loaded from the program
// folder. Traditional Chinese naming path; nothing throws.
std::optional<QString> refusedOutputPath(const QString& path, const state::WorkingState& settings,
                                         const QString& dataFile);

} // namespace pelmar::app
