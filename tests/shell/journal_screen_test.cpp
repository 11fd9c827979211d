#include "shell/app/journal_screen.h"

#include "support/temp_folder.h"

#include <QFileInfo>
#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using journal::RecordRow;
using journal::RecordState;

// Records 3 to 7 of run 12 (a run that began at record 3), record 5 left out.
std::vector<RecordRow> runTwelve() {
    std::vector<RecordRow> records;
    for (int record = 7; record >= 3; --record)
        records.push_back(
            {12, record, record, record == 5 ? RecordState::LeftOut : RecordState::Sent, {}, {}});
    return records;
}

TEST(JournalScreen, ReprintRangeIsCheckedAgainstTheRunsRecords) {
    const struct {
        const char* name;
        qint64 run;
        bool withRecords;
        const char* from;
        const char* to;
        ReprintField field;  // the box named when refused
        const char* problem; // empty: accepted
        const char* printer = "TSC";
        int first = 0, last = 0;
    } cases[] = {
        {"whole run", 12, true, "3", "7", {}, "", "TSC", 3, 7},
        {"one record, blanks and printer trimmed", 12, true, " 5 ", "5", {}, "", " TSC ", 5, 5},
        {"no run chosen", 0, false, "1", "1", ReprintField::Runs, "請先在列印記錄中選擇"},
        {"run without records", 12, false, "1", "1", ReprintField::Runs, "沒有任何一筆"},
        {"empty from", 12, true, "", "7", ReprintField::From, "請輸入重印的起始筆"},
        {"empty to", 12, true, "3", "  ", ReprintField::To, "請輸入重印的結束筆"},
        {"not a number", 12, true, "3a", "7", ReprintField::From, "「3a」不是"},
        {"sign", 12, true, "+3", "7", ReprintField::From, "不是"},
        {"beyond 16 bits", 12, true, "3", "99999", ReprintField::To, "不是"},
        {"zero", 12, true, "0", "7", ReprintField::From, "不是"},
        {"before the run's first", 12, true, "2", "7", ReprintField::From,
         "起始筆 2 不在第 12 次列印的資料中 (第 3 到 7 筆)"},
        {"after the run's last", 12, true, "3", "8", ReprintField::To, "結束筆 8 不在"},
        {"from after to", 12, true, "6", "4", ReprintField::From, "起始筆 6 大於結束筆 4"},
        {"no printer", 12, true, "3", "7", ReprintField::Printer, "請選擇重印的印表機", " "},
    };
    for (const auto& c : cases) {
        const std::vector<RecordRow> records =
            c.withRecords ? runTwelve() : std::vector<RecordRow>{};
        const ReprintCheck check =
            checkReprint(c.run, records, QString::fromUtf8(c.from), QString::fromUtf8(c.to),
                         QString::fromUtf8(c.printer));
        if (*c.problem == '\0') {
            ASSERT_TRUE(check.request.has_value()) << c.name << ": " << check.problem.toStdString();
            EXPECT_EQ(check.request->run, c.run) << c.name;
            EXPECT_EQ(check.request->range.first, c.first) << c.name;
            EXPECT_EQ(check.request->range.last, c.last) << c.name;
            EXPECT_EQ(check.request->printer, QStringLiteral("TSC")) << c.name;
            continue;
        }
        EXPECT_FALSE(check.request.has_value()) << c.name;
        EXPECT_EQ(check.field, c.field) << c.name;
        EXPECT_TRUE(check.problem.contains(QString::fromUtf8(c.problem)))
            << c.name << ": " << check.problem.toStdString();
    }
}

TEST(JournalScreen, RangeReprintsItsRecordsInOrderWithTheirQuantities) {
    const std::vector<RecordRow> records = runTwelve();
    EXPECT_EQ(wholeRun(records).first, 3);
    EXPECT_EQ(wholeRun(records).last, 7);
    const std::vector<RecordRow> chosen = recordsInRange(records, {4, 6});
    ASSERT_EQ(chosen.size(), 3u);
    EXPECT_EQ(chosen.front().record, 4);
    EXPECT_EQ(chosen.back().record, 6);
    EXPECT_EQ(reprintQuestion({12, {4, 6}, QStringLiteral("TSC")}, records),
              QStringLiteral("重印第 12 次列印的第 4 到 6 筆資料 (3 筆, 15 張標籤) 到 TSC?"));
}

TEST(JournalScreen, RowsSayTheRunAndTheRecordInWords) {
    journal::RunRow run;
    run.id = 9;
    run.started = QDateTime(QDate(2026, 12, 10), QTime(9, 5, 7));
    run.source = journal::RunSource::Reprint;
    run.reprintOf = 4;
    run.dataFileName = QStringLiteral("ITEMS.TXT");
    run.formatName = QStringLiteral("SHOP.FMT");
    run.printer = QStringLiteral("TSC");
    run.labels = 15;
    run.records = 3;
    run.status = 10;
    EXPECT_EQ(journalRunCells(run).join(u'|'),
              QStringLiteral("9|2026-12-10 09:05:07|重印第 4 次|ITEMS.TXT|SHOP.FMT|TSC|15|3|"
                             "已印, 有不確定的資料"));
    run.status = -1;
    EXPECT_EQ(runOutcomeText(run), QStringLiteral("未完成"));
    EXPECT_EQ(journalRunCells(run).size(), journalRunHeaders().size());
    const RecordRow record{9, 2, 4, RecordState::LeftOut, QStringLiteral("條碼資料不符"), {}};
    EXPECT_EQ(journalRecordCells(record).join(u'|'), QStringLiteral("2|4|略過||條碼資料不符"));
    EXPECT_EQ(journalRecordCells(record).size(), journalRecordHeaders().size());
}

TEST(JournalScreen, MissingOrUnreadableJournalIsToldAndNeverCreated) {
    test::TempFolder folder;
    const struct {
        const char* name;
        QByteArray bytes; // empty: no file
        const char* problem;
    } cases[] = {{"missing", {}, "還沒有列印記錄"},
                 {"not a database", QByteArray(4096, 'x'), "Pelmar.journal"}};
    for (const auto& c : cases) {
        const QString path = folder.file(QStringLiteral("Pelmar.journal"));
        QFile::remove(path);
        if (!c.bytes.isEmpty())
            folder.write(QStringLiteral("Pelmar.journal"), c.bytes);
        const JournalRuns runs = readJournalRuns(path);
        EXPECT_TRUE(runs.runs.empty()) << c.name;
        EXPECT_TRUE(runs.problem.contains(QString::fromUtf8(c.problem)))
            << c.name << runs.problem.toStdString();
        EXPECT_EQ(readJournalRecords(path, 1).problem.isEmpty(), false) << c.name;
        EXPECT_EQ(QFileInfo::exists(path), !c.bytes.isEmpty()) << c.name;
    }
}

} // namespace
} // namespace pelmar::app
