#include "data/data_file_reader.h"

#include "common/file_names.h"
#include "common/input_file.h"
#include "common/line_decoder.h"
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

// A line at the end of the file that is no record: empty, or the end-of-file mark Ctrl-Z (which
// old DOS programs write after the last line) with blanks.
bool isEndFiller(const QByteArray& line) {
    bool mark = false;
    for (char c : line) {
        if (c == '\x1A')
            mark = true;
        else if (c != ' ' && c != '\t')
            return false;
    }
    return mark || line.isEmpty();
}

// The lines of the data file, counted, with a UTF-8 byte-order mark taken off the first.
class DataLines {
public:
    DataLines(const QString& path, bool lineFeedEnds, const common::LineDecoder& decoder)
        : m_reader(path, lineFeedEnds, kMaxDataLineBytes), m_decoder(decoder) {}

    // The next line; false at the end of the file. Throws RunError(7) naming a line longer than
    // kMaxDataLineBytes, and RunError(5) for a byte-order mark the code page would read as data.
    bool next(QByteArray& line) {
        try {
            if (!m_reader.next(line))
                return false;
        } catch (const common::LineTooLong&) {
            throw RunError(kOutOfMemory, QStringLiteral("記憶體不足: 第 %1 行超過 %2 位元組.")
                                             .arg(m_number + 1)
                                             .arg(kMaxDataLineBytes));
        }
        if (++m_number == 1)
            m_decoder.takeByteOrderMark(line);
        return true;
    }

    // The number of the line read last, counted from 1.
    qint64 number() const { return m_number; }

private:
    common::LineReader m_reader;
    const common::LineDecoder& m_decoder;
    qint64 m_number = 0;
};

// Counts the records of the file (its lines up to the last one that is not an end filler) and
// keeps that last record line, the deciding line. Throws RunError(6) beyond kMaxDataLines
// records.
int countRecords(DataLines& lines, QByteArray& lastLine) {
    QByteArray line;
    int records = 0;
    qint64 fillers = 0; // end fillers since the last record line
    while (lines.next(line)) {
        if (isEndFiller(line)) {
            ++fillers;
            continue;
        }
        if (records + fillers >= kMaxDataLines)
            throw RunError(common::Overflow, QStringLiteral("第 %1 行: 資料檔最多只能有 %2 筆資料.")
                                                 .arg(lines.number())
                                                 .arg(kMaxDataLines));
        records += static_cast<int>(fillers) + 1;
        fillers = 0;
        std::swap(line, lastLine);
    }
    return records;
}

// Hands each record line with its row (its line number) to cut, and counts it in
// state.recordCount. The file may have grown since it was counted; a record beyond the table is
// error 9 rather than a record silently dropped.
template <typename Cut>
void forEachRecord(state::WorkingState& state, DataLines& lines, int records, Cut cut) {
    QByteArray line;
    while (lines.next(line)) {
        if (state.recordCount == records && isEndFiller(line))
            continue; // an end filler after the last record
        const int row = state.recordCount + 1;
        if (row >= state.records.rows())
            throw RunError(common::SubscriptOutOfRange,
                           QStringLiteral("第 %1 行: 資料檔在讀取時變長了, 請再讀一次.").arg(row));
        state.recordCount = static_cast<std::int16_t>(row);
        cut(line, row);
    }
}

void readDataFile(state::WorkingState& state) {
    const QString path =
        common::existingInputFile(common::dataFilePath(state.textFileName, state.programFolder),
                                  QStringLiteral("資料檔"), common::kMaxDataFileBytes);
    const bool lineFeedEnds = lineFeedEndsLine(path);
    const common::LineDecoder decoder(state.codePage, path);
    QByteArray lastLine;
    int records = 0;
    {
        DataLines counted(path, lineFeedEnds, decoder);
        records = countRecords(counted, lastLine);
    }
    if (records == 0)
        return;
    // Column 0 always exists, so a field count of 0 or less yields rows without fields.
    state.records.recreate(records + 1, std::max<int>(state.fieldCount, 0) + 1);
    DataLines lines(path, lineFeedEnds, decoder);
    if (state.fieldCutIndex == 0) {
        // Its bytes are checked when it is cut, in line order, so the first bad line is named.
        DelimiterCutter cutter(state, state.codePage.decode(lastLine), records);
        forEachRecord(state, lines, records, [&](const QByteArray& line, int row) {
            cutter.cut(decoder.decode(line, row), state.records, row);
        });
    } else {
        FixedCutter cutter(state, decoder);
        forEachRecord(state, lines, records, [&](const QByteArray& line, int row) {
            cutter.cut(line, state.records, row);
        });
    }
}

// A failed read leaves no record to print: rows cut before the failure may be cut wrongly (a
// deciding line that lost a field shifts every row above it).
void failed(state::WorkingState& state) {
    state.recordCount = 0;
    state.currentRecord = 0;
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
        failed(state);
        return report(state, messages, error.number(), error.description());
    } catch (const std::bad_alloc&) {
        failed(state);
        return report(state, messages, kOutOfMemory, QStringLiteral("記憶體不足"));
    }
    return {};
}

} // namespace pelmar::data
