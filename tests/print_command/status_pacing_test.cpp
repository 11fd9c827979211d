#include "print_command/status_pacing.h"

#include "common/timing.h"
#include "print_command/print_labels.h"
#include "print_command/recording_library.h"
#include "print_command/run_seams.h"
#include "print_command/sample_format.h"
#include "print_command/test_print.h"
#include "support/fake_clock.h"
#include "support/loopback_listener.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"
#include "support/virtual_printer.h"

#include <QRegularExpression>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <thread>

namespace pelmar::print_command {
namespace {

using namespace std::chrono_literals;
using common::MessageAnswer;
using Status = std::optional<std::uint8_t>;

constexpr std::uint8_t kReady = 0x00;
constexpr std::uint8_t kPrinting = 0x20;
constexpr std::uint8_t kPaperOutPrinting = 0x24;
constexpr std::uint8_t kPausedIdle = 0x10;

// A run of records R1..Rn, one label each, on a printer that answers status as scripted.
class StatusPacingTest : public ::testing::Test, protected test::RunSeams {
protected:
    StatusPacingTest() {
        test::setLabel(state);
        state.printerName = QStringLiteral("TSC");
        state.format.command.boxElements.append(
            {.xStart = "10", .yStart = "10", .xEnd = "470", .yEnd = "310", .thickness = "3"});
        context.libraryFactory = [this](const QString&) {
            return std::make_unique<test::ForwardingLibrary>(library);
        };
        clock.step = 10ms;
    }
    RunResult run(int records, std::vector<Status> statuses) {
        QList<QStringList> rows;
        for (int r = 1; r <= records; ++r)
            rows << QStringList{QStringLiteral("R%1").arg(r), QStringLiteral("1")};
        test::setRecords(state, rows);
        library.statuses = std::move(statuses);
        return PrintLabels(context);
    }
    int printed() const {
        return static_cast<int>(library.named(QStringLiteral("printlabel")).size());
    }
};

TEST_F(StatusPacingTest, TheWaitEndsWhenThePrinterHasPrintedTheRecord) {
    const RunResult result = run(3, {kPrinting, kPrinting, kReady, kPrinting, kReady, kReady});
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(printed(), 3);
    // Each record is sent only after the printer has printed the one before.
    EXPECT_EQ(
        library.calls.filter(QRegularExpression(QStringLiteral("^(printlabel|status)"))).join(u' '),
        QStringLiteral("printlabel|1|1 status|32 status|0 printlabel|1|1 status|32 "
                       "status|0 printlabel|1|1 status|0"));
    // Far below the fixed wait of 4 s a record.
    EXPECT_LT(std::chrono::duration<double>(clock.elapsed()).count(), 0.5);
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(StatusPacingTest, WithPacingOffOrWithoutStatusTheFixedWaitStays) {
    for (const bool answers : {true, false}) {
        SCOPED_TRACE(answers);
        test::FakeClock fresh;
        RunContext paced{state, messages, view, fresh, fresh, context.libraryFactory, {}};
        state.statusPacing = !answers;
        library.calls.clear();
        QList<QStringList> rows{{"R1", "1"}, {"R2", "1"}};
        test::setRecords(state, rows);
        library.statuses = answers ? std::vector<Status>{kReady} : std::vector<Status>{};
        EXPECT_EQ(PrintLabels(paced).outcome, RunOutcome::Completed);
        EXPECT_TRUE(library.named(QStringLiteral("status")).isEmpty());
        EXPECT_GE(std::chrono::duration<double>(fresh.elapsed()).count(), 2 * 4.0);
    }
}

// A fault while record 2 prints, in the window: the operator fixes it and goes on, cancels, or
// goes on before it is fixed and is asked again.
TEST_F(StatusPacingTest, AFaultInTheWindowGoesOnWithoutSendingAgainOrCancels) {
    struct Case {
        const char* name;
        std::vector<MessageAnswer> answers;
        std::vector<Status> statuses;
        RunOutcome outcome;
        int printed;
        std::size_t messages;
    };
    const Case cases[] = {
        {"fixed, go on",
         {MessageAnswer::Yes},
         {kReady, kPaperOutPrinting, kPrinting, kReady},
         RunOutcome::Completed,
         3,
         1},
        {"cancel", {MessageAnswer::No}, {kReady, kPaperOutPrinting}, RunOutcome::Cancelled, 2, 1},
        {"go on too early, then fixed",
         {MessageAnswer::Yes, MessageAnswer::Yes},
         {kReady, kPaperOutPrinting, kPaperOutPrinting, kReady},
         RunOutcome::Completed,
         3,
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        library.calls.clear();
        library.statusesAsked = 0;
        messages.shown.clear();
        messages.answers = c.answers;
        const RunResult result = run(3, c.statuses);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(printed(), c.printed);
        EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
        ASSERT_EQ(messages.shown.size(), c.messages);
        const common::Message& shown = messages.shown[0];
        EXPECT_EQ(shown.caption, QStringLiteral("PrintLabels -> 發生錯誤"));
        EXPECT_EQ(shown.buttons, common::MessageButtons::YesNo);
        EXPECT_EQ(shown.defaultAnswer, MessageAnswer::No);
        EXPECT_EQ(shown.text, QStringLiteral("印表機停止列印: 紙張用完\n"
                                             "印表機最後印完的資料: 第 1 筆\n"
                                             "第 2 筆已送到印表機, 故障排除後印表機會把它印完\n\n"
                                             "排除故障後按「是」繼續列印, 按「否」取消列印."));
    }
}

// pelmar-print: a fault waits the time given, then fails naming the record to resume from.
TEST_F(StatusPacingTest, AFaultWithAFaultWaitClearsInTimeOrFailsNamingTheRecordToResumeFrom) {
    struct Case {
        const char* name;
        std::chrono::milliseconds wait;
        std::vector<Status> statuses;
        int records;
        RunOutcome outcome;
        const char* lastMessage; // a part of it
    };
    const Case cases[] = {
        {"at once",
         0ms,
         {kReady, kPaperOutPrinting},
         3,
         RunOutcome::Failed,
         "接續列印: 從第 3 筆開始 (pelmar-print --from 3)"},
        {"not cleared in time",
         1000ms,
         {kReady, kPaperOutPrinting},
         3,
         RunOutcome::Failed,
         "第 2 筆已送到印表機"},
        {"cleared in time",
         5000ms,
         {kReady, kPaperOutPrinting, kPaperOutPrinting, kPaperOutPrinting, kPrinting, kReady},
         3,
         RunOutcome::Completed,
         "等候故障排除, 最多 5 秒"},
        {"head open", 0ms, {kReady, 0x21}, 3, RunOutcome::Failed, "印表機停止列印: 印字頭開啟\n"},
        {"paper jam", 0ms, {kReady, 0x22}, 3, RunOutcome::Failed, "印表機停止列印: 卡紙\n"},
        {"ribbon out", 0ms, {kReady, 0x28}, 3, RunOutcome::Failed, "印表機停止列印: 碳帶用完\n"},
        {"cover open and other error",
         0ms,
         {kReady, 0xc0},
         3,
         RunOutcome::Failed,
         "印表機停止列印: 上蓋開啟、其他錯誤\n印表機最後印完的資料: 第 2 筆"},
        {"paused after the last record",
         0ms,
         {kReady, kPausedIdle},
         2,
         RunOutcome::Failed,
         "印表機停止列印: 暫停\n印表機最後印完的資料: 第 2 筆\n所有資料都已送到印表機"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        library.calls.clear();
        library.statusesAsked = 0;
        messages.shown.clear();
        context.faultWait = c.wait;
        const RunResult result = run(c.records, c.statuses);
        EXPECT_EQ(result.outcome, c.outcome);
        EXPECT_EQ(printed(), c.outcome == RunOutcome::Completed ? c.records : 2);
        ASSERT_FALSE(messages.shown.empty());
        EXPECT_TRUE(messages.shown.back().text.contains(QString::fromUtf8(c.lastMessage)))
            << messages.shown.back().text.toStdString();
        if (c.outcome == RunOutcome::Failed) {
            EXPECT_EQ(result.errorNumber, common::PrinterError);
            EXPECT_EQ(messages.shown.back().caption, QStringLiteral("PrintLabels -> 發生錯誤"));
        }
    }
}

// The cancel button (or SIGINT for pelmar-print) while the printer prints, is silent, or waits
// for a fault to be cleared: the run ends at once, nothing more is sent.
TEST_F(StatusPacingTest, CancelWhileThePrinterPrintsIsSilentOrFaultedEndsTheRunAtOnce) {
    struct Case {
        const char* name;
        Status status;
        std::optional<std::chrono::milliseconds> faultWait;
        std::size_t messages;
    };
    const Case cases[] = {
        {"printing", kPrinting, std::nullopt, 0},
        {"silent", Status(), std::nullopt, 0},
        {"waiting for a fault to clear", kPaperOutPrinting, 60000ms, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        library.calls.clear();
        library.statusesAsked = 0;
        messages.shown.clear();
        state.cancelRequested = false;
        context.faultWait = c.faultWait;
        clock.onEvents = [this] {
            if (clock.pumpCalls == 5)
                state.cancelRequested = true;
        };
        clock.pumpCalls = 0;
        const RunResult result = run(3, {c.status});
        EXPECT_EQ(result.outcome, RunOutcome::Cancelled);
        EXPECT_EQ(printed(), 1);
        EXPECT_EQ(library.calls.last(), QStringLiteral("closeport"));
        EXPECT_EQ(messages.shown.size(), c.messages);
        EXPECT_LT(clock.elapsed(), 1s);
    }
}

TEST_F(StatusPacingTest, APrinterThatFallsSilentFailsTheRun) {
    const RunResult result = run(3, {kReady, Status()});
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(printed(), 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(
        messages.shown[0].text.startsWith(QStringLiteral("印表機沒有回應狀態查詢 (30 秒)")));
    EXPECT_GE(clock.elapsed(), common::timing::kStatusSilenceLimit);
}

TEST_F(StatusPacingTest, FromARecordPrintsThatRecordToTheEndAndBeyondTheLastIsADataFailure) {
    context.firstRecord = 3;
    RunResult result = run(5, {kReady});
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_EQ(result.tally.records, 3);
    EXPECT_EQ(printed(), 3);
    EXPECT_EQ(view.events.filter(QStringLiteral("item:")).first(), QStringLiteral("item:3 OF 5"));

    library.calls.clear();
    context.firstRecord = 6;
    result = run(5, {kReady});
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_TRUE(result.dataFailure);
    EXPECT_TRUE(library.calls.isEmpty());
    ASSERT_TRUE(test::shownOnce(messages, QStringLiteral("沒有第 6 筆資料: 資料檔只有 5 筆")));
}

} // namespace
} // namespace pelmar::print_command

namespace pelmar::print_command {
namespace {

using namespace std::chrono_literals;

// Real time in small steps, as the window's event loop gives it.
class SleepingPump : public common::EventPump {
public:
    void processEvents() override { std::this_thread::sleep_for(1ms); }
};

// The operator at the window: at a fault, fixes the printer (or not) and answers.
class Operator : public common::MessageBox {
public:
    Operator(test::VirtualPrinter& printer, common::MessageAnswer answer)
        : m_printer(printer), m_answer(answer) {}
    common::MessageAnswer show(const common::Message& message) override {
        shown.push_back(message);
        labelsAtFault = m_printer.labels();
        if (m_answer == common::MessageAnswer::Yes)
            m_printer.clearFault();
        return m_answer;
    }
    std::vector<common::Message> shown;
    int labelsAtFault = -1;

private:
    test::VirtualPrinter& m_printer;
    common::MessageAnswer m_answer;
};

// Three records of 2, 1 and 3 labels through the real printer library to the virtual network
// printer with its mechanics (a label in about 41 ms).
TEST(StatusPacingPrinterTest, RunsAgainstTheVirtualNetworkPrinter) {
    struct Case {
        const char* name;
        QStringList options;
        common::MessageAnswer answer;
        RunOutcome outcome;
        int labels;          // printed in the end
        const char* message; // a part of the first message; empty: none
    };
    const Case cases[] = {
        {"ready", {}, common::MessageAnswer::Yes, RunOutcome::Completed, 6, ""},
        {"head open at the start",
         {"--fault", "head-open@0"},
         common::MessageAnswer::Yes,
         RunOutcome::Failed,
         0,
         "未就緒: 印字頭開啟"},
        {"paper out between records, fixed",
         {"--fault", "paper-out@2"},
         common::MessageAnswer::Yes,
         RunOutcome::Completed,
         6,
         "印表機最後印完的資料: 第 1 筆"},
        {"paused within record 3, fixed",
         {"--fault", "pause@4"},
         common::MessageAnswer::Yes,
         RunOutcome::Completed,
         6,
         "第 3 筆已送到印表機"},
        {"head open within record 3, fixed",
         {"--fault", "head-open@5"},
         common::MessageAnswer::Yes,
         RunOutcome::Completed,
         6,
         "印表機停止列印: 印字頭開啟"},
        {"paused within record 3, cancelled",
         {"--fault", "pause@4"},
         common::MessageAnswer::No,
         RunOutcome::Cancelled,
         4,
         "印表機停止列印: 暫停"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::TempFolder out;
        test::VirtualPrinter printer(out.path(),
                                     QStringList{"--mechanics", "--time-scale", "0.1"} + c.options);
        ASSERT_TRUE(printer.started());
        state::WorkingState state;
        test::setLabel(state, QStringLiteral("40"), QStringLiteral("2"));
        state.format.command.boxElements.append(
            {.xStart = "10", .yStart = "10", .xEnd = "470", .yEnd = "310", .thickness = "3"});
        test::setRecords(state, {{"R1", "2"}, {"R2", "1"}, {"R3", "3"}});
        state.printerName = printer.address();
        Operator window(printer, c.answer);
        test::RecordingRunView view;
        common::SteadyClock clock;
        SleepingPump pump;
        RunContext context{state, window, view, clock, pump, {}, QDate(2026, 12, 7)};
        const auto start = std::chrono::steady_clock::now();
        const RunResult result = PrintLabels(context);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_EQ(result.outcome, c.outcome);
        if (c.outcome == RunOutcome::Completed) {
            // Paced by the printer, not by the fixed wait of 4 s a record.
            EXPECT_LT(seconds, 4.0);
            EXPECT_EQ(printer.labels(), 6);
        }
        if (c.outcome == RunOutcome::Cancelled) {
            EXPECT_EQ(window.labelsAtFault, 4);
        }
        printer.clearFault(); // what was sent before a cancel still prints, once
        const int expected = c.outcome == RunOutcome::Cancelled ? 6 : c.labels;
        printer.waitForLabels(expected);
        const QString said = printer.stop();
        EXPECT_EQ(printer.labels(), expected) << said.toStdString();
        if (*c.message == 0) {
            EXPECT_TRUE(window.shown.empty());
            continue;
        }
        ASSERT_FALSE(window.shown.empty());
        EXPECT_TRUE(window.shown[0].text.contains(QString::fromUtf8(c.message)))
            << window.shown[0].text.toStdString();
        EXPECT_EQ(window.shown[0].caption, QStringLiteral("PrintLabels -> 發生錯誤"));
    }
}

// The test print meets the same check before the run: its handler reports under its caption.
TEST(StatusPacingPrinterTest, ATestPrintOnAPrinterNotReadyThrowsBeforeAnyLabel) {
    test::TempFolder out;
    test::VirtualPrinter printer(out.path(), {"--fault", "paper-out@0"});
    ASSERT_TRUE(printer.started());
    test::RunSeams seams;
    test::setLabel(seams.state);
    seams.state.printerName = printer.address();
    const auto error = test::runErrorOf([&] { TestPrint(seams.context, QStringLiteral("5")); });
    printer.clearFault();
    printer.stop();
    EXPECT_EQ(printer.labels(), 0);
    ASSERT_TRUE(error) << "the test print went on";
    EXPECT_EQ(error->number(), common::PrinterError);
    EXPECT_TRUE(error->description().endsWith(QStringLiteral("未就緒: 紙張用完"))) << error->what();
}

// A printer that answers status and hangs up while it prints: the run fails naming the port.
TEST(StatusPacingPrinterTest, APrinterThatHangsUpWhilePrintingFailsTheRun) {
    test::Listener listener;
    std::thread printer([&listener] {
        const int peer = listener.accept();
        QByteArray heard;
        char buffer[4096];
        bool answeredReady = false;
        for (;;) {
            const ssize_t got = ::recv(peer, buffer, sizeof buffer, 0);
            if (got <= 0)
                break;
            heard.append(buffer, got);
            if (!answeredReady && heard.contains("\x1b!?")) {
                const char ready = 0;
                ::send(peer, &ready, 1, MSG_NOSIGNAL);
                answeredReady = true;
            }
            // Hangs up when asked how the first label is doing.
            const qsizetype print = heard.indexOf("PRINT");
            if (print >= 0 && heard.indexOf("\x1b!?", print) >= 0)
                break;
        }
        ::close(peer);
    });
    state::WorkingState state;
    test::setLabel(state);
    state.format.command.boxElements.append(
        {.xStart = "10", .yStart = "10", .xEnd = "470", .yEnd = "310", .thickness = "3"});
    test::setRecords(state, {{"R1", "1"}, {"R2", "1"}});
    state.printerName = listener.address();
    test::RecordingMessageBox messages;
    test::RecordingRunView view;
    common::SteadyClock clock;
    SleepingPump pump;
    RunContext context{state, messages, view, clock, pump, {}, QDate(2026, 12, 7)};
    const RunResult result = PrintLabels(context);
    printer.join();
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(result.labelsRequested, 1);
    ASSERT_EQ(messages.shown.size(), 1u);
    // A hang-up ("印表機已中斷連線") or a reset, depending on what the peer had left unread.
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("無法連接印表機 socket://")))
        << messages.shown[0].text.toStdString();
    EXPECT_TRUE(messages.shown[0].text.endsWith(QStringLiteral("最後送達印表機的資料: 第 1 筆")));
}

} // namespace
} // namespace pelmar::print_command
