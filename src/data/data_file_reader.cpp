#include "data/data_file_reader.h"

#include "common/file_names.h"
#include "common/line_reader.h"
#include "common/run_error.h"
#include "data/field_cutter.h"
#include "state/settings.h"

#include <algorithm>
#include <new>
#include <utility>

namespace pelmar::data {

using common::RunError;

namespace {

// The error a read reports when the lines do not fit into memory.
constexpr int kOutOfMemory = 7;

// How the lines of one data file end: a file without any CR (as Linux programs write them) ends
// its lines at LF; in a file with CRs a lone LF stays in its line.
bool lineFeedEndsLine(const QString& path) {
    return !common::holdsCarriageReturn(path);
}

// Counts the records of the file (its lines up to the last one that is not empty) and keeps
// that last record line. Throws RunError(6) beyond kMaxDataLines records.
int countRecords(const QString& path, bool lineFeedEnds, QByteArray& lastLine) {
    common::LineReader reader(path, lineFeedEnds, kMaxDataLineBytes);
    QByteArray line;
    int records = 0;
    qint64 emptyLines = 0; // empty lines since the last record line
    while (reader.next(line)) {
        if (line.isEmpty()) {
            ++emptyLines;
            continue;
        }
        if (records + emptyLines >= kMaxDataLines)
            throw RunError(common::Overflow);
        records += static_cast<int>(emptyLines) + 1;
        emptyLines = 0;
        std::swap(line, lastLine);
    }
    return records;
}

// Hands each record line with its row to cut, and counts it in state.recordCount. The file may
// have grown since it was counted; a record beyond the table is error 9 rather than a record
// silently dropped.
template <typename Cut>
void forEachRecord(state::WorkingState& state, const QString& path, bool lineFeedEnds, int records,
                   Cut cut) {
    common::LineReader reader(path, lineFeedEnds, kMaxDataLineBytes);
    QByteArray line;
    while (reader.next(line)) {
        if (state.recordCount == records && line.isEmpty())
            continue; // an empty line at the end of the file
        const int row = state.recordCount + 1;
        if (row >= state.records.rows())
            throw RunError(common::SubscriptOutOfRange);
        state.recordCount = static_cast<std::int16_t>(row);
        cut(line, row);
    }
}

void readDataFile(state::WorkingState& state) {
    const QString path =
        common::resolveExistingFile(common::dataFilePath(state.textFileName, state.programFolder));
    const bool lineFeedEnds = lineFeedEndsLine(path);
    QByteArray lastLine;
    const int records = countRecords(path, lineFeedEnds, lastLine);
    if (records == 0)
        return;
    // Column 0 always exists, so a field count of 0 or less yields rows without fields.
    state.records.recreate(records + 1, std::max<int>(state.fieldCount, 0) + 1);
    if (state.fieldCutIndex == 0) {
        DelimiterCutter cutter(state, state.codePage.decode(lastLine));
        forEachRecord(state, path, lineFeedEnds, records, [&](const QByteArray& line, int row) {
            cutter.cut(state.codePage.decode(line), state.records, row);
        });
    } else {
        FixedCutter cutter(state);
        forEachRecord(state, path, lineFeedEnds, records, [&](const QByteArray& line, int row) {
            cutter.cut(line, state.records, row);
        });
    }
}

DataReadResult report(const state::WorkingState& state, common::MessageBox& messages, int number,
                      const QString& description) {
    common::showMessage(messages,
                        description + QStringLiteral("\r\r文字檔名=") + state.textFileName,
                        QStringLiteral("發生非預期錯誤(%1)").arg(number));
    return {true, number, !state.commandLineIsExactlyT()};
}

} // namespace

std::optional<QString> delimiterRefusal(const state::WorkingState& state) {
    if (state.fieldCutIndex != 0 || state.fieldCount < 1 ||
        state.codePage.isSingleByteCharacter(state.delimiter))
        return std::nullopt;
    const QString where = QStringLiteral("設定檔 %1 中 [Fields] 的 Delimiter")
                              .arg(state::settingsFilePath(state.programFolder));
    const QString what =
        state.delimiter.isEmpty()
            ? QStringLiteral(" 是空的")
            : QStringLiteral("「%1」不是 %2 的單一位元組字元")
                  .arg(state.delimiter, QString::fromLatin1(state.codePage.name()));
    return where + what + QStringLiteral(", 無法以分隔符號切割資料.\r\r") +
           QStringLiteral("請執行設定, 輸入一個單一位元組的分隔符號 (例如 , 或 ;).");
}

DataReadResult LoadDataFile(state::WorkingState& state, common::MessageBox& messages) {
    state.recordCount = 0;
    try {
        if (const std::optional<QString> refusal = delimiterRefusal(state))
            throw RunError(common::InvalidArgument, *refusal);
        readDataFile(state);
    } catch (const RunError& error) {
        return report(state, messages, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        return report(state, messages, kOutOfMemory, QStringLiteral("記憶體不足"));
    }
    return {};
}

} // namespace pelmar::data
