#include "print_command/print_labels.h"
#include "print_command/printer_ports.h"
#include "print_command/socket_port.h"
#include "print_command/trace_library.h"

#include "common/run_error.h"
#include "common/timing.h"
#include "print_command/sample_format.h"
#include "support/fake_clock.h"
#include "support/fake_print_system.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"
#include "support/temp_folder.h"

#include "support/loopback_listener.h"
#include <QDir>
#include <QFile>

#include <functional>
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace pelmar::print_command {
namespace {

// A TCP listener on 127.0.0.1 that accepts one peer and reads until the peer closes, or stops
// after `readLimit` bytes and closes its side.
class LoopbackPrinter {
public:
    explicit LoopbackPrinter(qsizetype readLimit = -1) {
        m_listener = test::listenOnLoopback(&port);
        m_thread = std::thread([this, readLimit] {
            const int peer = ::accept(m_listener, nullptr, nullptr);
            if (peer < 0)
                return;
            char buffer[4096];
            for (;;) {
                const ssize_t got = ::recv(peer, buffer, sizeof buffer, 0);
                if (got <= 0)
                    break;
                received.append(buffer, got);
                if (readLimit >= 0 && received.size() >= readLimit)
                    break;
            }
            ::close(peer);
        });
    }
    ~LoopbackPrinter() {
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        if (m_thread.joinable())
            m_thread.join();
    }
    // Waits for the peer to finish (its connection closed).
    QByteArray bytes() {
        if (m_thread.joinable())
            m_thread.join();
        return received;
    }

    int port = 0;
    QByteArray received;

private:
    int m_listener = -1;
    std::thread m_thread;
};

class PortRunTest : public ::testing::Test {
protected:
    PortRunTest() {
        test::setLabel(state);
        state.across = 1;
        state.format.command.boxElements.append(
            {.xStart = "10", .yStart = "10", .xEnd = "470", .yEnd = "310", .thickness = "3"});
        state.format.command.vTextElements.append(test::plainText("1"));
        cups.installed = {{QStringLiteral("TSC_Q"), QStringLiteral("TSC TTP-244")}};
        context.printSystem = &cups;
    }
    RunResult run(const QString& printerName, int records) {
        QList<QStringList> rows;
        for (int r = 1; r <= records; ++r)
            rows << QStringList{QStringLiteral("R%1").arg(r), QStringLiteral("1")};
        test::setRecords(state, rows);
        state.printerName = printerName;
        return PrintLabels(context);
    }

    state::WorkingState state;
    test::RecordingMessageBox messages;
    test::RecordingRunView view;
    test::FakeClock clock;
    test::FakePrintSystem cups;
    RunContext context{state, messages, view, clock, clock, {}, QDate(2026, 12, 7)};
};

TEST_F(PortRunTest, SocketPeerWithoutStatusReceivesTheLabelsAndIsPacedByTheWait) {
    LoopbackPrinter printer;
    state.ports = {{QStringLiteral("Shelf printer"),
                    QStringLiteral("socket://127.0.0.1:%1").arg(printer.port)}};
    const RunResult result = run(QStringLiteral("shelf PRINTER"), 2);
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_TRUE(messages.shown.empty());
    const QByteArray bytes = printer.bytes();
    // The status inquiry comes first; a printer that leaves it unanswered keeps the fixed wait.
    EXPECT_TRUE(bytes.startsWith("\x1b!?SIZE 60 mm,40 mm\r\n"));
    EXPECT_EQ(bytes.count("PRINT 1,1\r\n"), 2);
    EXPECT_EQ(bytes.count("BOX 10,10,470,310,3\r\n"), 2);
    EXPECT_GE(std::chrono::duration<double>(clock.elapsed()).count(), 2 * 4.0);
}

TEST_F(PortRunTest, SocketPeerClosingMidRunFailsTheRun) {
    // The peer takes the first label and hangs up.
    LoopbackPrinter printer(1);
    // The wait lasts a little real time, as it does for a printer, so the hang-up arrives.
    clock.onEvents = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1)); };
    state.ports = {
        {QStringLiteral("P"), QStringLiteral("socket://127.0.0.1:%1").arg(printer.port)}};
    const RunResult result = run(QStringLiteral("P"), 10);
    EXPECT_EQ(result.outcome, RunOutcome::Failed);
    EXPECT_EQ(result.errorNumber, common::PrinterError);
    EXPECT_LT(result.labelsRequested, 10);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.startsWith(u"無法連接印表機 socket://127.0.0.1:"));
    EXPECT_EQ(messages.shown[0].caption, QStringLiteral("PrintLabels -> 發生錯誤"));
}

TEST_F(PortRunTest, UnreachableOrUnknownPrintersFailClearly) {
    const int unusedPort = test::unusedLoopbackPort();
    const QString names[] = {
        QStringLiteral("No Such Queue Or Port"),
        QStringLiteral("socket://127.0.0.1:%1").arg(unusedPort),
        QStringLiteral("socket://127.0.0.1:99999"),
        QStringLiteral("/no/such/folder/printer.prn"),
        QStringLiteral("preview:/proc/no-preview-here"),
    };
    for (const QString& name : names) {
        messages.shown.clear();
        const RunResult result = run(name, 1);
        EXPECT_EQ(result.outcome, RunOutcome::Failed) << name.toStdString();
        ASSERT_EQ(messages.shown.size(), 1u) << name.toStdString();
        EXPECT_TRUE(messages.shown[0].text.startsWith(u"無法連接印表機"))
            << messages.shown[0].text.toStdString();
        EXPECT_EQ(result.labelsRequested, 0);
    }
}

TEST_F(PortRunTest, CupsFailuresNameTheQueueAndCountNoLabel) {
    const std::pair<std::function<void()>, const char*> cases[] = {
        {[&] { cups.installed[0].stopped = true; }, "無法連接印表機 TSC_Q: 印表機佇列已停止"},
        {[&] { cups.installed[0].acceptingJobs = false; }, "無法連接印表機 TSC_Q: 印表機佇列拒絕"},
        {[&] { cups.refusal = QStringLiteral("Bad request"); },
         "無法連接印表機 TSC_Q: 列印工作無法送出 (Bad request)"},
    };
    for (const auto& [setUp, message] : cases) {
        cups = {};
        cups.installed = {{QStringLiteral("TSC_Q"), {}}};
        setUp();
        messages.shown.clear();
        const RunResult result = run(QStringLiteral("TSC_Q"), 2);
        EXPECT_EQ(result.errorNumber, common::PrinterError) << message;
        EXPECT_EQ(result.labelsRequested, 0);
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(messages.shown[0].text.startsWith(QString::fromUtf8(message)));
        EXPECT_TRUE(cups.submitted.empty());
    }
}

// The queue is named by its description, as start-up lists it.
TEST_F(PortRunTest, CancelWhileACupsJobIsFollowedEndsTheRunWithinOnePoll) {
    cups.jobStates = {
        {print_queue::JobState::Processing, {QStringLiteral("job-printing")}, {}, {}}};
    clock.step = std::chrono::milliseconds(10);
    std::chrono::steady_clock::duration pressedAt{};
    clock.onEvents = [&] {
        if (clock.pumpCalls == 25 && !state.cancelRequested) {
            state.cancelRequested = true;
            pressedAt = clock.elapsed();
        }
    };
    EXPECT_EQ(run(QStringLiteral("TSC TTP-244"), 3).outcome, RunOutcome::Cancelled);
    EXPECT_TRUE(messages.shown.empty());
    ASSERT_EQ(cups.submitted.size(), 1u);
    EXPECT_EQ(cups.submitted[0].queue, QStringLiteral("TSC_Q"));
    EXPECT_EQ(cups.submitted[0].format, print_queue::DocumentFormat::Raw);
    EXPECT_EQ(cups.submitted[0].document.count("PRINT 1,1\r\n"), 1);
    EXPECT_EQ(cups.cancelled, std::vector<int>{1});
    EXPECT_LE(clock.elapsed() - pressedAt, common::timing::kJobPollInterval);
}

TEST_F(PortRunTest, ACupsJobThatNeverEndsFailsAfterItsLabelsPrintingTimeNot120Seconds) {
    cups.jobStates = {
        {print_queue::JobState::Processing, {QStringLiteral("job-printing")}, {}, {}}};
    clock.step = std::chrono::milliseconds(50);
    EXPECT_EQ(run(QStringLiteral("TSC TTP-244"), 1).outcome, RunOutcome::Failed);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(messages.shown[0].text.contains(QStringLiteral("秒內沒有完成")))
        << messages.shown[0].text.toStdString();
    // One label of 40 + 2 mm: the print system's minute and about two seconds of feed.
    EXPECT_GT(clock.elapsed(), common::timing::kJobStartAllowance);
    EXPECT_LT(clock.elapsed(), std::chrono::seconds(70));
    EXPECT_EQ(cups.cancelled, std::vector<int>{1});
}

TEST_F(PortRunTest, FilePortAppendsAndIsNotPaced) {
    test::TempFolder folder;
    state.programFolder = folder.path();
    folder.write(QStringLiteral("out.prn"), "OLD\r\n");
    EXPECT_EQ(run(QStringLiteral("file:out.prn"), 2).outcome, RunOutcome::Completed);
    const QByteArray bytes = folder.read(QStringLiteral("out.prn"));
    EXPECT_TRUE(bytes.startsWith("OLD\r\nSIZE 60 mm,40 mm\r\n"));
    EXPECT_EQ(bytes.count("PRINT 1,1\r\n"), 2);
    EXPECT_EQ(clock.pumpCalls, 0);
    EXPECT_EQ(run(folder.file(QStringLiteral("abs.prn")), 1).outcome, RunOutcome::Completed);
    EXPECT_TRUE(folder.read(QStringLiteral("abs.prn")).endsWith("PRINT 1,1\r\n"));
}

TEST_F(PortRunTest, TraceRecordsEveryCall) {
    test::TempFolder folder;
    state.programFolder = folder.path();
    state.ports = {{QStringLiteral("Trace"), QStringLiteral("trace:calls.txt")}};
    state.format.command.vTextElements.rows[0].content =
        QStringLiteral("1+VBCRLF+VBTAB+\"a\\b\"+2");
    EXPECT_EQ(run(QStringLiteral("Trace"), 1).outcome, RunOutcome::Completed);
    const QStringList lines =
        QString::fromUtf8(folder.read(QStringLiteral("calls.txt"))).split(u'\n');
    EXPECT_EQ(lines, (QStringList{
                         "openport\tTrace",
                         "setup\t60\t40\t4\t8\t0\t3\t0",
                         "sendcommand\tDIRECTION 1",
                         "sendcommand\tSET STRIPE ON",
                         "sendcommand\tSET CUTTER OFF",
                         "clearbuffer",
                         "sendcommand\tBOX 10,10,470,310,3",
                         "windowsfont\t0\t0\t24\t0\t0\t0\tArial\tR1\\r\\n\\ta\\\\b1",
                         "printlabel\t1\t1",
                         "closeport",
                         "",
                     }));
    EXPECT_EQ(clock.pumpCalls, 0);
}

TEST_F(PortRunTest, PreviewWritesOnePicturePerLabel) {
    test::TempFolder folder;
    state.programFolder = folder.path();
    EXPECT_EQ(run(QStringLiteral("preview:labels"), 2).outcome, RunOutcome::Completed);
    EXPECT_TRUE(messages.shown.empty());
    const QStringList pictures =
        QDir(folder.file(QStringLiteral("labels"))).entryList({QStringLiteral("*.png")});
    EXPECT_EQ(pictures.size(), 2) << pictures.join(u' ').toStdString();
    EXPECT_EQ(clock.pumpCalls, 0);
}

TEST(PrinterPorts, AddressesOfPrinterNames) {
    state::WorkingState state;
    state.ports = {{QStringLiteral("Shelf"), QStringLiteral("socket://10.0.0.5")}};
    EXPECT_EQ(portAddress(state, QStringLiteral("SHELF")), QStringLiteral("socket://10.0.0.5"));
    EXPECT_EQ(portAddress(state, QStringLiteral("TSC TTP-244")), QStringLiteral("TSC TTP-244"));
    EXPECT_EQ(TraceLibrary::traceLine(QStringLiteral("x"), {QStringLiteral("a\tb"), QString()}),
              QByteArray("x\ta\\tb\t"));
}

} // namespace
} // namespace pelmar::print_command
