#pragma once

#include "format/format_file.h"
#include "state/working_state.h"
#include "stored_elements.h"
#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace pelmar::test {

// A program folder with one format file, a working state pointing at it and a recording
// message box; interactive mode ("/T") unless a test says otherwise.
class LoaderFixture : public ::testing::Test {
protected:
    LoaderFixture() {
        state.programFolder = folder.path();
        state.formatFileName = QStringLiteral("TEST.FMT");
        state.commandLine = QStringLiteral("/T");
    }

    void writeFormat(const QByteArray& bytes) { folder.write(state.formatFileName, bytes); }

    static std::vector<int> counts(const state::CommandFormat& f) {
        return {f.lineElements.count,   f.boxElements.count,      f.fTextElements.count,
                f.vTextElements.count,  f.fBarcodeElements.count, f.vBarcodeElements.count,
                f.pdf417Elements.count, f.dMatrixElements.count,  f.graphicElements.count};
    }

    static std::vector<int> counts(const state::DriverFormat& f) {
        return {f.lineElements.count,   f.boxElements.count,      f.fTextElements.count,
                f.vTextElements.count,  f.fBarcodeElements.count, f.vBarcodeElements.count,
                f.graphicElements.count};
    }

    // count lines "Box=i,..." numbered from 1.
    static QByteArray boxLines(int count) {
        QByteArray bytes;
        for (int i = 1; i <= count; ++i)
            bytes += "Box=" + QByteArray::number(i) + ",2,3,4,5\r\n";
        return bytes;
    }

    TempFolder folder;
    state::WorkingState state;
    RecordingMessageBox messages;
};

} // namespace pelmar::test
