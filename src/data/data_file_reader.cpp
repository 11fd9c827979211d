#include "data/data_file_reader.h"

#include "common/file_names.h"
#include "common/line_reader.h"
#include "common/run_error.h"
#include "data/field_cutter.h"

#include <algorithm>
#include <new>
#include <utility>

namespace pelmar::data {

using common::RunError;

namespace {

// The error a read reports when the lines do not fit into memory.
constexpr int kOutOfMemory = 7;

// Counts the lines of the file and keeps the last one. Throws RunError(6) beyond kMaxDataLines.
int countLines(const QString& path, QByteArray& lastLine) {
    common::LineReader reader(path, false, kMaxDataLineBytes);
    QByteArray line;
    int count = 0;
    while (reader.next(line)) {
        if (count == kMaxDataLines)
            throw RunError(common::Overflow);
        ++count;
        std::swap(line, lastLine);
    }
    return count;
}

// The file may have grown since it was counted; a line beyond the table is error 9 rather than
// a record silently dropped.
void checkRow(int row, const state::TextTable& records) {
    if (row >= records.rows())
        throw RunError(common::SubscriptOutOfRange);
}

void cutDelimited(state::WorkingState& state, const QString& path, const QByteArray& lastLine) {
    DelimiterCutter cutter(state, state.codePage.decode(lastLine));
    common::LineReader reader(path, false, kMaxDataLineBytes);
    QByteArray line;
    while (reader.next(line)) {
        const int row = state.recordCount + 1;
        checkRow(row, state.records);
        state.recordCount = static_cast<std::int16_t>(row);
        cutter.cut(state.codePage.decode(line), state.records, row);
    }
}

void cutFixed(state::WorkingState& state, const QString& path) {
    FixedCutter cutter(state);
    common::LineReader reader(path, false, kMaxDataLineBytes);
    QByteArray line;
    while (reader.next(line)) {
        const int row = state.recordCount + 1;
        checkRow(row, state.records);
        state.recordCount = static_cast<std::int16_t>(row);
        cutter.cut(line, state.records, row);
    }
}

void readDataFile(state::WorkingState& state) {
    const QString path = common::resolveExistingFile(state.textFileName);
    QByteArray lastLine;
    const int lines = countLines(path, lastLine);
    if (lines == 0)
        return;
    // Column 0 always exists, so a field count of 0 or less yields rows without fields.
    state.records.recreate(lines + 1, std::max<int>(state.fieldCount, 0) + 1);
    if (state.fieldCutIndex == 0)
        cutDelimited(state, path, lastLine);
    else
        cutFixed(state, path);
}

DataReadResult report(const state::WorkingState& state, common::MessageBox& messages, int number,
                      const QString& description) {
    common::Message message;
    message.text =
        description + QStringLiteral("\r\r") + QStringLiteral("文字檔名=") + state.textFileName;
    message.caption = QStringLiteral("發生非預期錯誤(") + QString::number(number) + u')';
    message.icon = common::MessageIcon::Critical;
    message.buttons = common::MessageButtons::Ok;
    messages.show(message);
    return {true, number, !state.commandLineIsExactlyT()};
}

} // namespace

DataReadResult LoadDataFile(state::WorkingState& state, common::MessageBox& messages) {
    state.recordCount = 0;
    try {
        readDataFile(state);
    } catch (const RunError& error) {
        return report(state, messages, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        return report(state, messages, kOutOfMemory, QStringLiteral("記憶體不足"));
    }
    return {};
}

} // namespace pelmar::data
