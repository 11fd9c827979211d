#include "print_driver/print_labels_driver.h"
#include "print_driver/test_print_driver.h"

#include "common/run_error.h"
#include "print_driver/driver_fixture.h"
#include "print_driver/recording_printer_page.h"
#include "support/temp_folder.h"

#include <QFile>
#include <gtest/gtest.h>

namespace pelmar::print_driver {
namespace {

using DriverRunResult = print_command::RunResult;
using Outcome = print_command::RunOutcome;

class DriverRun : public ::testing::Test {
protected:
    DriverRun() {
        state = test::labelState();
        state.programFolder = folder.path();
    }
    DriverRunResult run() {
        DriverRunContext context{state, messages, view, clock, clock, page, test::kToday};
        return PrintLabels_Driver(context);
    }
    DriverRunResult testPrint(const QString& quantity) {
        DriverRunContext context{state, messages, view, clock, clock, page, test::kToday};
        return TestPrint_Driver(context, quantity);
    }
    QStringList printed(const RecordingPrinterPage::Job& job) const {
        QStringList texts;
        for (const QString& op : job.operations)
            if (op.startsWith(QStringLiteral("print ")) ||
                op.startsWith(QStringLiteral("barcode ")))
                texts << op;
        return texts;
    }

    test::TempFolder folder;
    state::WorkingState state;
    test::RecordingMessageBox messages;
    test::RecordingRunView view;
    test::FakeClock clock;
    RecordingPrinterPage page;
};

TEST_F(DriverRun, PausesTwoSecondsAfterEachJobUnlessTheDriverHeldItUntilPrinted) {
    // {held until printed, DriverPacing, pumps}: the clock moves 100 ms per pump; the pause ends
    // once it is later than 2 s.
    for (const auto& [held, pacing, pumps] :
         {std::tuple{false, true, 2 * 21}, {true, true, 0}, {true, false, 2 * 21}}) {
        test::setRecords(state, 1, {{"A"}, {"B"}});
        state.driverPacing = pacing;
        page.holdsJobs = held;
        test::FakeClock paused;
        DriverRunContext context{state, messages, view, paused, paused, page, test::kToday};
        PrintLabels_Driver(context);
        EXPECT_EQ(paused.pumpCalls, pumps) << held << pacing;
        EXPECT_EQ(paused.elapsed() > std::chrono::seconds(4), pumps > 0);
    }
}

TEST_F(DriverRun, EmptyTextsAreDrawnWithTheirFont) {
    test::setRecords(state, 2, {{"", "1"}});
    state.format.driver.fTextElements.append(test::cornerText("Arial", ""));
    state.format.driver.vBarcodeElements.append(
        {.x = "0", .y = "0", .font = "128", .content = "1"});
    run();
    ASSERT_EQ(page.jobs.size(), 1u);
    EXPECT_EQ(printed(page.jobs[0]), (QStringList{"barcode 128 ", "print "}));
    EXPECT_TRUE(page.jobs[0].operations.contains(QStringLiteral("fontName Arial")));
}

TEST_F(DriverRun, CancelWhileDrawingDiscardsThatPageAndStops) {
    test::setRecords(state, 1, {{"A"}, {"B"}, {"C"}});
    state.format.driver.lineElements.append(
        {.x1 = "0", .y1 = "0", .x2 = "100", .y2 = "0", .thickness = "1"});
    state.format.driver.fTextElements.append(test::cornerText("A", "fixed"));
    int lines = 0;
    page.onOperation = [&](const QString& name) {
        if (name == u"drawLine" && ++lines == 2)
            state.cancelRequested = true;
    };
    const DriverRunResult result = run();
    EXPECT_EQ(result.outcome, Outcome::Cancelled);
    EXPECT_EQ(page.jobs.size(), 1u);
    // After the line of record 2, the cancel test stops before the texts.
    const qsizetype secondLine = page.log.lastIndexOf(QStringLiteral("drawLine 0 0 100 0 0"));
    EXPECT_EQ(page.log.mid(secondLine + 1), QStringList{"abortDocument"});
    EXPECT_TRUE(page.page.isEmpty());
    EXPECT_EQ(view.printItem, QStringLiteral("2 OF 3"));
}

TEST_F(DriverRun, MissingPictureOnSecondRecordReportsAfterTheFirstPrinted) {
    test::setRecords(state, 1, {{"A"}, {"B"}, {"C"}});
    const QString logo = folder.write(QStringLiteral("logo.bmp"), "BM");
    state.format.driver.graphicElements.append(
        {.x = "0", .y = "0", .width = "10", .height = "10", .fileName = "LOGO.BMP"});
    state.format.driver.vTextElements.append(test::cornerText("A", "1"));
    clock.onEvents = [&] { QFile::remove(logo); };
    const DriverRunResult result = run();
    EXPECT_EQ(result.outcome, Outcome::Failed);
    EXPECT_EQ(result.errorNumber, common::FileNotFound);
    ASSERT_EQ(page.jobs.size(), 1u);
    EXPECT_EQ(printed(page.jobs[0]), QStringList{"print A"});
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("PrintLabels_Driver -> 發生錯誤"));
    EXPECT_EQ(messages.shown[0].icon, common::MessageIcon::Critical);
    EXPECT_EQ(page.log.last(), QStringLiteral("abortDocument"));
    EXPECT_TRUE(page.page.isEmpty());
    EXPECT_EQ(view.printItem, QStringLiteral("2 OF 3"));
}

TEST_F(DriverRun, BadInputEndsTheRunWithItsErrorNumber) {
    struct Case {
        const char* quantity;
        const char* expression;
        int error;
    } cases[] = {
        {"32767", "1", common::Overflow},         // quantity + Across - 1
        {"1", "1+x", common::InvalidArgument},    // a one-character literal
        {"1", "-1", common::SubscriptOutOfRange}, // a field below 0
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        state.across = 2;
        test::setRecords(state, 2, {{"A", c.quantity}});
        state.format.driver.vTextElements.count = 0;
        state.format.driver.vTextElements.append({.x = "0",
                                                  .y = "0",
                                                  .size = "10",
                                                  .style = "0",
                                                  .lineStyle = "0",
                                                  .face = "A",
                                                  .content = c.expression});
        const DriverRunResult result = run();
        EXPECT_EQ(result.errorNumber, c.error) << c.expression;
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(messages.shown[0].text.startsWith(common::errorDescription(c.error)))
            << messages.shown[0].text.toStdString();
    }
}

// Barcode data its font refuses, in the middle of a run: the records before it stay printed,
// the run stops there as the data's fault, and the message names the record, the format line
// and the reason in Chinese.
TEST_F(DriverRun, RefusedBarcodeDataStopsTheRunNamingRecordLineAndReason) {
    struct Case {
        const char* font;
        const char* bad;
        int line;
        const char* message;
    } cases[] = {
        {"EAN13", "4710088412373", 14,
         "第 2 筆資料, 格式檔 SHOP.FMT 第 14 行 (V_Barcode): 條碼資料無法編碼 (EAN13): "
         "檢查碼錯誤: 最後一位是 3, 應為 9"},
        {"EAN13", "47100884123A", 3,
         "第 2 筆資料, 格式檔 SHOP.FMT 第 3 行 (V_Barcode): 條碼資料無法編碼 (EAN13): "
         "第 12 個字元「A」是此條碼無法表示的字元 (只能是數字)"},
        {"128", "品名", 0,
         "第 2 筆資料, 格式檔 SHOP.FMT 的 V_Barcode 2: 條碼資料無法編碼 (128): "
         "第 1 個字元「品」是此條碼無法表示的字元 (只能是西歐拉丁字母、數字與符號)"},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        page.jobs.clear();
        state.formatFileName = QStringLiteral("SHOP.FMT");
        test::setRecords(state, 2,
                         {{"4710088412379", "1"}, {QString::fromUtf8(c.bad), "1"}, {"A1", "1"}});
        auto& barcodes = state.format.driver.vBarcodeElements;
        barcodes.count = 0;
        barcodes.append({.x = "0", .y = "0", .font = "128", .content = "'X'+2", .line = 2});
        barcodes.append({.x = "0", .y = "90", .font = c.font, .content = "1", .line = c.line});
        const DriverRunResult result = run();
        EXPECT_EQ(result.outcome, Outcome::Failed) << c.bad;
        EXPECT_EQ(result.errorNumber, common::InvalidArgument);
        EXPECT_TRUE(result.dataFailure);
        EXPECT_EQ(result.labelsRequested, 1);
        EXPECT_EQ(page.jobs.size(), 1u);
        ASSERT_TRUE(test::shownOnce(messages, QString::fromUtf8(c.message)));
        EXPECT_EQ(view.printItem, QStringLiteral("2 OF 3"));
    }
}

// An unknown font is the format's fault, not the record's.
TEST_F(DriverRun, UnknownBarcodeFontIsNoDataFailure) {
    test::setRecords(state, 1, {{"1"}});
    state.format.driver.fBarcodeElements.append(
        {.x = "0", .y = "0", .font = "QRCODE", .content = "1"});
    const DriverRunResult result = run();
    EXPECT_EQ(result.errorNumber, common::InvalidArgument);
    EXPECT_FALSE(result.dataFailure);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("的 F_Barcode 1: 未知的條碼字型")))
        << messages.shown[0].text.toStdString();
}

TEST_F(DriverRun, DeviceNameWithoutBlankIsItsOwnPrefix) {
    RecordingPrinterPage queue(QStringLiteral("TSC_TTP_244"));
    test::setRecords(state, 1, {{"123"}});
    state.format.driver.vBarcodeElements.append(
        {.x = "0", .y = "0", .font = "128", .content = "1"});
    DriverRunContext context{state, messages, view, clock, clock, queue, test::kToday};
    EXPECT_EQ(PrintLabels_Driver(context).outcome, Outcome::Completed);
    ASSERT_EQ(queue.jobs.size(), 1u);
    EXPECT_TRUE(queue.jobs[0].operations.contains(QStringLiteral("fontName TSC_TTP_244 128")));
}

TEST_F(DriverRun, OutputIsCompletedOnceHoweverTheRunEnds) {
    enum class End { Completes, CancelInPause, BadBoxOnSecond };
    struct Case {
        const char* what;
        bool testPrint;
        End end;
        int finishError;
        Outcome outcome;
        int errorNumber; // of the one message, or 0 when none is shown
        std::size_t jobs;
    } cases[] = {
        {"run completes", false, End::Completes, 0, Outcome::Completed, 0, 2},
        {"run cancelled", false, End::CancelInPause, 0, Outcome::Cancelled, 0, 1},
        {"run fails, earlier job kept", false, End::BadBoxOnSecond, 0, Outcome::Failed,
         common::TypeMismatch, 1},
        {"finish of a run fails", false, End::Completes, common::PathFileAccessError,
         Outcome::Failed, common::PathFileAccessError, 2},
        {"finish of a cancelled run fails", false, End::CancelInPause, common::PathFileAccessError,
         Outcome::Failed, common::PathFileAccessError, 1},
        // The run's own failure is the one said; the finish after it is not said again.
        {"run and its finish fail", false, End::BadBoxOnSecond, common::PathFileAccessError,
         Outcome::Failed, common::TypeMismatch, 1},
        {"test print completes", true, End::Completes, 0, Outcome::Completed, 0, 1},
        {"finish of a test print fails", true, End::Completes, common::PrinterError,
         Outcome::Failed, common::PrinterError, 1},
    };
    for (const Case& c : cases) {
        test::setRecords(state, 1, {{"A"}, {"B"}});
        state.cancelRequested = false;
        state.format.driver.boxElements.count = 0;
        RecordingPrinterPage recording;
        recording.finishError = c.finishError;
        test::RecordingMessageBox shown;
        test::FakeClock pauses;
        if (c.end == End::CancelInPause)
            pauses.onEvents = [&] { state.cancelRequested = true; };
        if (c.end == End::BadBoxOnSecond) {
            state.format.driver.boxElements.append(
                {.x1 = "0", .y1 = "0", .x2 = "1", .y2 = "1", .thickness = "1"});
            pauses.onEvents = [&] {
                state.format.driver.boxElements.rows[0].x1 = QStringLiteral("x");
            };
        }
        DriverRunContext context{state, shown, view, pauses, pauses, recording, test::kToday};
        const DriverRunResult result = c.testPrint ? TestPrint_Driver(context, QStringLiteral("1"))
                                                   : PrintLabels_Driver(context);
        EXPECT_EQ(result.outcome, c.outcome) << c.what;
        // A finish that failed is tried once more as the run abandons its document.
        EXPECT_EQ(recording.finishCount,
                  c.finishError == c.errorNumber && c.finishError != 0 ? 2 : 1)
            << c.what;
        EXPECT_EQ(recording.jobs.size(), c.jobs) << c.what;
        if (c.errorNumber == 0) {
            EXPECT_TRUE(shown.shown.empty()) << c.what;
            continue;
        }
        EXPECT_EQ(result.errorNumber, c.errorNumber) << c.what;
        ASSERT_EQ(shown.shown.size(), 1u) << c.what;
        EXPECT_EQ(shown.shown[0].caption, c.testPrint
                                              ? QStringLiteral("TestPrint_Driver -> 發生錯誤")
                                              : QStringLiteral("PrintLabels_Driver -> 發生錯誤"))
            << c.what;
        EXPECT_EQ(shown.shown[0].text, common::errorDescription(c.errorNumber)) << c.what;
    }
}

class TestPrint : public DriverRun {
protected:
    TestPrint() {
        test::setRecords(state, 3, {{"A", "B", "90"}});
        state.currentRecord = 1;
        state.format.driver.vTextElements.append(test::cornerText("A", "1"));
    }
    QString printedText(const char* expression) {
        page.jobs.clear();
        state.format.driver.vTextElements.rows[0].content = QString::fromUtf8(expression);
        testPrint(QStringLiteral("1"));
        if (page.jobs.size() != 1)
            return QStringLiteral("<no job>");
        const QStringList texts = printed(page.jobs[0]);
        return texts.isEmpty() ? QStringLiteral("<nothing>") : texts[0].mid(6);
    }
};

TEST_F(TestPrint, QuantityBoxWithAcross) {
    state.across = 2;
    const char* quantities[] = {"5", "0", "abc", "1"};
    const int copies[] = {3, 1, 1, 1};
    for (int i = 0; i < 4; ++i) {
        page.jobs.clear();
        testPrint(QString::fromUtf8(quantities[i]));
        ASSERT_EQ(page.jobs.size(), 1u);
        EXPECT_EQ(page.jobs[0].copies, copies[i]) << quantities[i];
    }
    EXPECT_TRUE(view.events.isEmpty());
    EXPECT_EQ(clock.pumpCalls, 0);
}

TEST_F(TestPrint, FieldExpressionsOfCommandMode) {
    state.editPrice = 1;
    state.editPriceField = 3;
    state.adPrice = 10;
    struct Case {
        const char* expression;
        const char* text;
    } cases[] = {
        {"1+-+2", "A-B"},      {"1+'-'+2", "A-B"}, {"1+VBCRLF+2", "A\r\nB"},
        {"1+vbtab+2", "A\tB"}, {"3+' '", "100 "},  {"3", "90"},
        {"7", "90"},           {"0", "<nothing>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(printedText(c.expression), QString::fromUtf8(c.text)) << c.expression;
}

TEST_F(TestPrint, CurrentRecordZeroReadsRowZero) {
    state.currentRecord = 0;
    state.records.set(0, 1, QStringLiteral("row zero"));
    EXPECT_EQ(printedText("1"), QStringLiteral("row zero"));
}

TEST_F(TestPrint, NoRecordsPrintsNothing) {
    test::setRecords(state, 3, {});
    state.format.driver.fTextElements.append(test::cornerText("A", "fixed"));
    testPrint(QStringLiteral("1"));
    EXPECT_TRUE(page.log.isEmpty());
}

TEST_F(TestPrint, FailureIsReportedAndThePageAborted) {
    state.format.driver.boxElements.append(
        {.x1 = "x", .y1 = "0", .x2 = "1", .y2 = "1", .thickness = "1"});
    const DriverRunResult result = testPrint(QStringLiteral("1"));
    EXPECT_EQ(result.errorNumber, common::TypeMismatch);
    ASSERT_TRUE(test::shownOnce(messages, common::errorDescription(common::TypeMismatch),
                                QStringLiteral("TestPrint_Driver -> 發生錯誤")));
    EXPECT_EQ(page.log.last(), QStringLiteral("abortDocument"));
    EXPECT_TRUE(page.jobs.empty());
}

} // namespace
} // namespace pelmar::print_driver
