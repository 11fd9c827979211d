#pragma once

#include "format/format_file.h"
#include "state/working_state.h"
#include "stored_elements.h"
#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <QStringList>
#include <algorithm>
#include <gtest/gtest.h>
#include <numeric>

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

    // One line of a format file: the keyword whose table is looked at, how many elements the
    // line stores in all (0 or 1) and, when one, that element as described().
    struct ElementLine {
        QByteArray line;
        const char16_t* kind;
        int count;
        const char16_t* row;
    };

    // Loads each line alone into a fresh format (with `load`) and checks what it stored in
    // `format` (the command or the driver elements).
    template <class Format, class Load>
    void expectStored(const std::vector<ElementLine>& cases, Format state::LoadedFormat::*format,
                      Load load) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const ElementLine& c = cases[i];
            state.format = state::LoadedFormat();
            load(c.line + "\r\n");
            const StoredKind kind = stored(state.format.*format, c.kind); // -1: no such table
            EXPECT_EQ(std::max(kind.count, 0), c.count) << "case " << i;
            if (c.count == 1) {
                EXPECT_EQ(kind.row, QString::fromUtf16(c.row)) << "case " << i;
            }
            const std::vector<int> all = counts(state.format.*format);
            EXPECT_EQ(std::accumulate(all.begin(), all.end(), 0), c.count)
                << "case " << i << ": no other kind changed";
        }
    }

    TempFolder folder;
    state::WorkingState state;
    RecordingMessageBox messages;
};

} // namespace pelmar::test
