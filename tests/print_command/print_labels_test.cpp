#include "print_command/print_labels.h"

#include "print_command/recording_library.h"
#include "print_command/run_seams.h"
#include "print_command/sample_format.h"
#include "print_command/test_print.h"
#include "print_driver/print_labels_driver.h"
#include "print_driver/recording_printer_page.h"
#include "support/fake_clock.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"
#include "support/run_error_of.h"

#include <gtest/gtest.h>
#include <tuple>

namespace pelmar::print_command {
namespace {

using namespace std::chrono_literals;

class PrintLabelsTest : public ::testing::Test, protected test::RunSeams {
protected:
    PrintLabelsTest() {
        test::setLabel(state);
        state.printerName = QStringLiteral("TSC TTP-244");
        state.across = 1;
        state.format.command.vTextElements.append(test::plainText("2"));
        context.libraryFactory = [this](const QString&) {
            ++librariesMade;
            return std::make_unique<test::ForwardingLibrary>(library);
        };
    }
    void records(int count, const QString& quantity = QStringLiteral("1")) {
        QList<QStringList> rows;
        for (int r = 1; r <= count; ++r)
            rows << QStringList{QStringLiteral("A%1").arg(r), QStringLiteral("Item %1").arg(r),
                                quantity};
        test::setRecords(state, rows);
    }
    double waitedSeconds() const { return std::chrono::duration<double>(clock.elapsed()).count(); }

    int librariesMade = 0;
};

// The record loop in both print modes (true: command mode): a recording library or page.
class BothModes : public PrintLabelsTest, public ::testing::WithParamInterface<bool> {
protected:
    BothModes() {
        state.delimiter = QStringLiteral(",");
        state.format.driver.vTextElements.append({"0", "0", "10", "0", "0", "Arial", "2"});
    }
    bool command() const { return GetParam(); }
    RunResult run() {
        library.calls.clear();
        page.jobs.clear();
        page.log.clear();
        messages.shown.clear();
        print_driver::DriverRunContext driver{state, messages, view, clock, clock, page, {}};
        std::tie(driver.firstRecord, driver.lastRecord, driver.journal) =
            std::tie(context.firstRecord, context.lastRecord, context.journal);
        return command() ? PrintLabels(context) : print_driver::PrintLabels_Driver(driver);
    }
    // Per label sent: the sets of its print request ("printlabel|S|1") or its job's copies.
    QStringList setsSent() const {
        QStringList sets;
        for (const QString& call : library.named(QStringLiteral("printlabel")))
            sets << (call.endsWith(u"|1") ? call.section(u'|', 1, 1) : call);
        for (const auto& job : page.jobs)
            sets << QString::number(job.copies);
        return sets;
    }
    // The text of field 2 on each label sent.
    QStringList namesPrinted() const {
        QStringList names;
        for (const QString& call : library.named(QStringLiteral("windowsfont")))
            names << call.section(u'|', 8);
        for (const auto& job : page.jobs)
            for (const QString& op : job.operations)
                if (op.startsWith(u"print "))
                    names << op.mid(6);
        return names;
    }
    const QStringList& outputLog() const { return command() ? library.calls : page.log; }
    QString closedLast() const { return command() ? "closeport" : "abortDocument"; }

    print_driver::RecordingPrinterPage page;
};

INSTANTIATE_TEST_SUITE_P(RecordLoop, BothModes, ::testing::Bool());

TEST_P(BothModes, NoRecordsDoesNothingAtAll) {
    records(0);
    const RunResult result = run();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(librariesMade, 0);
    EXPECT_TRUE(outputLog().isEmpty());
    EXPECT_TRUE(view.events.isEmpty());
    EXPECT_EQ(clock.pumpCalls, 0);
}

TEST_P(BothModes, OneLabelPerRecordWithCaptionsAndGrid) {
    records(2, QStringLiteral("3"));
    state.format.command.graphicElements.append({.x = "0", .y = "0", .fileName = "logo.pcx"});
    const RunResult result = run();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.labelsRequested, 2);
    const QString mode = command() ? "" : "_Driver", separator = command() ? "\\" : ",";
    const auto line = [&](int r) {
        return QString("data:A%1|Item %1|3|").arg(r).replace('|', separator);
    };
    EXPECT_EQ(view.events,
              (QStringList{"msg:[自動列印" + mode + "]  標籤格式資料傳輸中, 請稍待 ..........",
                           "item:1 OF 2", line(1), "row:1", "item:2 OF 2", line(2), "row:2"}));
    EXPECT_EQ(setsSent(), (QStringList{"3", "3"}));
    EXPECT_EQ(namesPrinted(), (QStringList{"Item 1", "Item 2"}));
    EXPECT_TRUE(messages.shown.empty());
    for (const auto& job : page.jobs)
        EXPECT_EQ(job.operations.mid(0, 3),
                  (QStringList{"pageWidth 3402", "pageHeight 2268", "copies 3"}));
    if (!command())
        return;
    EXPECT_EQ(library.calls.first(), QStringLiteral("openport|TSC TTP-244"));
    EXPECT_TRUE(library.calls[1].startsWith(u"downloadpcx|"));
    EXPECT_EQ(library.named(QStringLiteral("setup")).size(), 2);
    EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
    EXPECT_EQ(library.named(QStringLiteral("downloadpcx")).size(), 1);
}

TEST_P(BothModes, SetsFromQuantityAndAcross) {
    struct Case {
        const char* quantity;
        int across;
        const char* sets;
        const char* copies; // empty: quantity + Across - 1 passes 16 bits, no job
    };
    const Case cases[] = {
        {"0", 1, "1", "1"}, {"", 1, "1", "1"},         {"abc", 1, "1", "1"}, {"7", 2, "4", "4"},
        {"7", 3, "3", "3"}, {"7", 0, "7", "7"},        {"6", 3, "2", "2"},   {"2.5", 1, "2", "2"},
        {"0", 4, "1", "1"}, {"32767", 2, "16384", ""}, {"8", 2, "4", "4"},   {"2.5", 2, "1", "1"},
    };
    for (const Case& c : cases) {
        records(1, QString::fromUtf8(c.quantity));
        state.across = static_cast<std::int16_t>(c.across);
        run();
        const QString sets = command() ? c.sets : c.copies;
        EXPECT_EQ(setsSent(), sets.isEmpty() ? QStringList() : QStringList{sets})
            << c.quantity << " across " << c.across;
    }
}

// Only the records of the range; an end beyond the data file sends nothing.
TEST_P(BothModes, RangeOfRecordsAndAnEndBeyondTheData) {
    records(4);
    context.firstRecord = 2;
    context.lastRecord = 3;
    EXPECT_EQ(run().outcome, RunOutcome::Completed);
    EXPECT_EQ(namesPrinted(), (QStringList{"Item 2", "Item 3"}));
    context.lastRecord = 5;
    const RunResult beyond = run();
    EXPECT_TRUE(beyond.dataFailure);
    EXPECT_TRUE(setsSent().isEmpty());
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.endsWith("沒有第 5 筆資料: 資料檔只有 4 筆"));
}

TEST_F(PrintLabelsTest, WaitFollowsFeedTimeOnAPhysicalPrinter) {
    struct Case {
        const char* height;
        const char* gap;
        const char* speed;
        const char* quantity;
        double seconds;
    };
    const Case cases[] = {
        {"100", "3", "4", "10", 103.0 * 10 / (4 * 25.4) + 3}, // about 10.1 + 3
        {"100", "3", "4", "1", 4.0},                          // below 1 s: 1 s, plus 3
        {"50.8", "0", "1", "1", 51.0 / 25.4 + 3},             // 50.8 counts as 51
        {"152", "3", "2", "2000", 155.0 * 2000 / (2 * 25.4) + 3},
    };
    for (const Case& c : cases) {
        test::setLabel(state, QString::fromUtf8(c.height), QString::fromUtf8(c.gap),
                       QString::fromUtf8(c.speed));
        records(1, QString::fromUtf8(c.quantity));
        test::FakeClock fresh;
        RunContext run{state, messages, view, fresh, fresh, context.libraryFactory, {}};
        EXPECT_EQ(PrintLabels(run).outcome, RunOutcome::Completed);
        const double waited = std::chrono::duration<double>(fresh.elapsed()).count();
        EXPECT_GE(waited, c.seconds - 1e-3) << c.height << " " << c.quantity;
        EXPECT_LT(waited, c.seconds + 0.1 + 1e-3) << c.height << " " << c.quantity;
    }
}

TEST_F(PrintLabelsTest, PortsThatAreNotPrintersAreNotPaced) {
    records(3);
    library.physical = false;
    EXPECT_EQ(PrintLabels(context).outcome, RunOutcome::Completed);
    EXPECT_EQ(clock.pumpCalls, 0);
    EXPECT_EQ(library.named(QStringLiteral("printlabel")).size(), 3);
}

TEST_P(BothModes, CancelDuringTheWaitOfRecordFiveEndsTheRun) {
    records(10);
    clock.onEvents = [&] {
        if (setsSent().size() == 5)
            state.cancelRequested = true;
    };
    const RunResult result = run();
    EXPECT_EQ(result.outcome, RunOutcome::Cancelled);
    EXPECT_EQ(setsSent().size(), 5);
    EXPECT_EQ(view.printItem, QStringLiteral("5 OF 10"));
    EXPECT_FALSE(outputLog().join(u'\n').contains(u"Item 6"));
    EXPECT_EQ(outputLog().last(), closedLast());
    EXPECT_TRUE(messages.shown.empty());
    // Command mode is cancelled at once; the driver's pause still lasts its 21 rounds of events.
    if (command())
        EXPECT_LT(waitedSeconds(), 5 * 4.0);
    else
        EXPECT_EQ(clock.pumpCalls, 5 * 21);
}

TEST_F(PrintLabelsTest, CancelWhileComposingSendsNoPrint) {
    records(3);
    library.onCall = [&](const QString& call) {
        if (call.startsWith(u"windowsfont") && call.endsWith(u"Item 2"))
            state.cancelRequested = true;
    };
    EXPECT_EQ(PrintLabels(context).outcome, RunOutcome::Cancelled);
    EXPECT_EQ(library.named(QStringLiteral("printlabel")).size(), 1);
    EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
}

TEST_F(PrintLabelsTest, FailureIsReportedPortClosedAndLaterRecordsNotPrinted) {
    records(4);
    // Record 3's price overflows when adjusted.
    state.editPrice = 1;
    state.editPriceField = 2;
    for (int record = 1; record <= 4; ++record)
        state.records.set(record, 2, QStringLiteral("12"));
    state.records.set(3, 2, QString(400, u'9'));
    state.format.command.vTextElements.rows[0].content = QStringLiteral("2+");
    const RunResult result = PrintLabels(context);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(result.errorNumber, common::Overflow);
    EXPECT_EQ(result.labelsRequested, 2);
    ASSERT_TRUE(test::shownOnce(messages, common::errorDescription(common::Overflow),
                                QStringLiteral("PrintLabels -> 發生錯誤"),
                                common::MessageIcon::Critical));
    EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
    EXPECT_EQ(view.printItem, QStringLiteral("3 OF 4"));
}

TEST_F(PrintLabelsTest, SpeedZeroFailsAfterTheFirstPrint) {
    test::setLabel(state, QStringLiteral("40"), QStringLiteral("3"), QStringLiteral("0"));
    records(3);
    const RunResult result = PrintLabels(context);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(result.errorNumber, common::DivisionByZero);
    EXPECT_EQ(library.named(QStringLiteral("printlabel")).size(), 1);
    EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
    ASSERT_EQ(messages.shown.size(), 1u);
}

TEST_F(PrintLabelsTest, PortThatCannotOpenIsReported) {
    records(2);
    library.onCall = [](const QString& call) {
        if (call.startsWith(u"openport"))
            throw common::RunError(common::PrinterError, QStringLiteral("無法連接印表機 X: 拒絕"));
    };
    const RunResult result = PrintLabels(context);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(result.labelsRequested, 0);
    ASSERT_TRUE(test::shownOnce(messages, QStringLiteral("無法連接印表機 X: 拒絕")));
}

TEST_P(BothModes, RecordsThatCannotPrintAreLeftOutAndTheRunGoesOn) {
    // Field 2 is the text and, in command mode, the barcode; field 3 the quantity.
    state.format.command.vBarcodeElements.append(test::cornerBarcode("128", "2"));
    test::setRecords(state, {{"A1", "Bolt", "2"},
                             {"A2", "x\nPRINT 5\nREM", "2"},
                             {"A3", "Nut", "-3"},
                             {"A4", "Pin", "-0.4"}, // rounds to 0: one set
                             {"A5", "Cap", "-1"},
                             {"A6", "Tube", "7"},
                             {"A7", "品名", "1"}}); // Code 128 cannot hold Chinese
    state.across = 2;
    const RunResult result = run();
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(setsSent(),
              (command() ? QStringList{"1", "1", "4"} : QStringList{"1", "1", "1", "4", "1"}));
    EXPECT_EQ(namesPrinted(),
              (command() ? QStringList{"Bolt", "Pin", "Tube"}
                         : QStringList{"Bolt", "x\nPRINT 5\nREM", "Pin", "Tube", "品名"}));
    EXPECT_EQ(result.tally.records, setsSent().size());
    EXPECT_EQ(result.tally.labels, command() ? (1 + 1 + 4) * 2 : 1 + 1 + 1 + 4 + 1);
    EXPECT_EQ(result.labelsRequested, result.tally.records);
    std::vector<int> leftOut;
    for (const common::LeftOutRecord& entry : result.tally.leftOut)
        leftOut.push_back(entry.record);
    EXPECT_EQ(leftOut, (command() ? std::vector<int>{2, 3, 5, 7} : std::vector<int>{3, 5}));
    const common::LeftOutRecord& negative = result.tally.leftOut[command() ? 1 : 0];
    EXPECT_TRUE(negative.element.isEmpty());
    EXPECT_EQ(negative.reason, QStringLiteral("數量 \"-3\" 小於 1, 未列印"));
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(result.dataFailure);
    if (!command())
        return;
    EXPECT_EQ(library.named(QStringLiteral("setup")).size(), 3); // nothing of the others sent
    EXPECT_FALSE(library.calls.join(u'\n').contains(u"PRINT 5"));
    EXPECT_EQ(result.tally.leftOut[0].element, QStringLiteral("V_Barcode 1"));
    EXPECT_TRUE(result.tally.leftOut[0].reason.contains(u"0x0A (LF)"));
    EXPECT_EQ(result.tally.leftOut[3].element, QStringLiteral("V_Barcode 1"));
    EXPECT_EQ(
        result.tally.leftOut[3].reason,
        QStringLiteral("第 1 個字元「品」是此條碼無法表示的字元 (只能是西歐拉丁字母、數字與符號)"));
}

// Notes each step of the record loop; throws at the step named failAt.
struct NotingJournal : RecordJournal {
    QStringList steps;
    QString failAt;
    void note(const QString& step) {
        if (step == failAt)
            throw common::RunError(common::DeviceIoError, QStringLiteral("記錄簿無法寫入"));
        steps << step;
    }
    void sending(int r, long long labels) override {
        note(QString("sending %1 %2").arg(r).arg(labels));
    }
    void notSent(int r) override { note(QString("pending %1").arg(r)); }
    void sent(int r) override { note(QString("sent %1").arg(r)); }
    void printed(int r) override { note(QString("printed %1").arg(r)); }
    void leftOut(int r, const QString&) override { note(QString("left-out %1").arg(r)); }
};

TEST_P(BothModes, JournalHearsEveryStepBeforeItAndItsFailureStopsTheRun) {
    struct Row {
        QString failAt;
        QStringList steps;
        QStringList sets;
    };
    const Row rows[] = {
        {{}, {"sending 1 2", "sent 1", "left-out 2", "sending 3 1", "sent 3"}, {"2", "1"}},
        // Nothing of a record goes out before its "sending" is on record.
        {"sending 3 1", {"sending 1 2", "sent 1", "left-out 2"}, {"2"}},
        // A record the journal cannot call sent stops the run before the next one.
        {"sent 1", {"sending 1 2"}, {"2"}},
    };
    for (const Row& row : rows) {
        test::setRecords(state, {{"A1", "Bolt", "2"}, {"A2", "Nut", "-3"}, {"A3", "Pin", "1"}});
        NotingJournal journal;
        journal.failAt = row.failAt;
        context.journal = &journal;
        const RunResult result = run();
        EXPECT_EQ(journal.steps, row.steps) << row.failAt.toStdString();
        EXPECT_EQ(setsSent(), row.sets) << row.failAt.toStdString();
        EXPECT_EQ(result.outcome,
                  row.failAt.isEmpty() ? RunOutcome::Completed : RunOutcome::Failed);
        EXPECT_EQ(messages.shown.size(), row.failAt.isEmpty() ? 0u : 1u);
    }
}

TEST_P(BothModes, QuantityOverflowEndsTheRunNamingTheRecord) {
    // Command mode forms the sets of 32767 across 2 in 32 bits (see SetsFromQuantityAndAcross).
    for (const QString& quantity :
         command() ? QStringList{"40000"} : QStringList{"40000", "32767"}) {
        state.across = quantity == u"40000" ? 1 : 2;
        test::setRecords(state, {{"A1", "Bolt", "2"}, {"A2", "Nut", quantity}, {"A3", "Pin", "1"}});
        const RunResult result = run();
        EXPECT_EQ(result.outcome, RunOutcome::Failed);
        EXPECT_EQ(result.errorNumber, common::Overflow);
        EXPECT_TRUE(result.dataFailure);
        EXPECT_EQ(setsSent(), QStringList{state.across > 1 ? "1" : "2"});
        EXPECT_EQ(namesPrinted(), QStringList{"Bolt"}); // no half label of record 2
        EXPECT_EQ(library.named(QStringLiteral("setup")).size(), command() ? 1 : 0);
        EXPECT_EQ(result.tally.records, 1);
        ASSERT_TRUE(test::shownOnce(
            messages, QStringLiteral("溢位: 第 2 筆資料的數量 \"%1\" 超過 32767").arg(quantity)));
        EXPECT_EQ(outputLog().last(), closedLast());
    }
}

class TestPrintTest : public PrintLabelsTest {};

TEST_F(TestPrintTest, PrintsTheCurrentRecordWithTheTypedQuantity) {
    records(3, QStringLiteral("9"));
    state.across = 3;
    state.currentRecord = 2;
    state.cancelRequested = true; // never read by the test print
    state.format.command.vBarcodeElements.append(test::cornerBarcode("128M", "9"));
    state.format.command.vBarcodeElements.append(test::cornerBarcode("128M", "1"));
    TestPrint(context, QStringLiteral("5"));
    EXPECT_EQ(view.events,
              (QStringList{"msg:[試印] 標籤格式資料傳輸中, 請稍待 ..........",
                           "msg:[試印-測試列印] [設定-設定來源檔案] [離開-結束執行]"}));
    EXPECT_EQ(library.named(QStringLiteral("barcode")),
              (QStringList{"barcode|0|0|128M|50|1|0|2|4|9", "barcode|0|0|128M|50|1|0|2|4|A2"}));
    EXPECT_EQ(library.named(QStringLiteral("windowsfont")),
              QStringList{"windowsfont|0|0|24|0|0|0|Arial|Item 2"});
    EXPECT_EQ(library.named(QStringLiteral("printlabel")), QStringList{"printlabel|5|1"});
    EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
    EXPECT_EQ(clock.pumpCalls, 0);
}

TEST_F(TestPrintTest, QuantityGoesOutAsTyped) {
    records(1);
    state.currentRecord = 0; // nothing selected: variable elements skipped
    TestPrint(context, QStringLiteral(" 2x"));
    EXPECT_EQ(library.named(QStringLiteral("printlabel")), QStringList{"printlabel| 2x|1"});
    EXPECT_TRUE(library.named(QStringLiteral("windowsfont")).isEmpty());
}

TEST_F(TestPrintTest, FailureClosesThePortAndPropagates) {
    records(1, QStringLiteral("1"));
    state.currentRecord = 1;
    state.format.command.vTextElements.rows[0].content = QStringLiteral("-1");
    EXPECT_EQ(test::runErrorNumberOf([&] { TestPrint(context, QStringLiteral("1")); }),
              common::InvalidArgument);
    EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
    EXPECT_TRUE(library.named(QStringLiteral("printlabel")).isEmpty());
    EXPECT_EQ(view.statusMessage, QStringLiteral("[試印] 標籤格式資料傳輸中, 請稍待 .........."));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(TestPrintTest, RecordThatNoCommandCanCarryPrintsNothing) {
    records(1);
    state.currentRecord = 1;
    state.records.set(1, 2, QStringLiteral("x\rCLS"));
    state.format.command.vBarcodeElements.append(test::cornerBarcode("128", "2"));
    const auto error = test::runErrorOf([&] { TestPrint(context, QStringLiteral("1")); });
    ASSERT_TRUE(error) << "no error";
    EXPECT_EQ(error->number(), common::InvalidArgument);
    EXPECT_TRUE(error->description().startsWith(u"V_Barcode 1: 含控制字元 0x0D (CR)"));
    EXPECT_TRUE(library.named(QStringLiteral("setup")).isEmpty());
    EXPECT_TRUE(library.named(QStringLiteral("printlabel")).isEmpty());
    EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
}

} // namespace
} // namespace pelmar::print_command
