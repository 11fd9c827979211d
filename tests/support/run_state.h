#pragma once

#include "data/data_file_reader.h"
#include "state/settings.h"
#include "support/recording_message_box.h"

#include <QDir>
#include <gtest/gtest.h>

namespace pelmar::test {

// Reads into state the settings and the data file of the program folder home, as a run started
// in that folder does (a relative data file name is taken from it); a data file that cannot be
// read fails the test. Callers wrap it in ASSERT_NO_FATAL_FAILURE.
inline void loadRunState(const QString& home, state::WorkingState& state) {
    state.programFolder = home;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(home);
    state::LoadSettings(state);
    RecordingMessageBox messages;
    const bool failed = data::LoadDataFile(state, messages).failed;
    QDir::setCurrent(saved);
    ASSERT_FALSE(failed) << home.toStdString();
}

} // namespace pelmar::test
