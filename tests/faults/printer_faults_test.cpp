// Printers that fail while a run sends to them: each run must end with its message, the port
// closed, and the message must name the last record that reached the port.
#include "print_command/print_labels.h"
#include "print_command/socket_port.h"
#include "print_command/tspl_library.h"

#include "common/run_error.h"
#include "faults/resource_probe.h"
#include "print_command/sample_format.h"
#include "support/fake_clock.h"
#include "support/loopback_listener.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <atomic>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace pelmar::print_command {
namespace {

using namespace std::chrono_literals;

const QString kCaption = QStringLiteral("PrintLabels -> 發生錯誤");

// How the loopback printer treats the connection.
enum class PeerMode {
    NeverRead,  // accepts and reads nothing until released
    CloseAfter, // reads `limit` bytes, then hangs up
    Slow,       // reads a little at a time with pauses
    // Answer every status inquiry: the first at once, later ones after 600 ms (ready), or
    // "ready" first and then "printing" for ever.
    AnswersLate,
    PrintingForever,
};

// A TCP printer on 127.0.0.1 with a small receive window. After its mode it reads on to the end
// of the connection and notes whether the run closed it.
class PeerPrinter {
public:
    PeerPrinter(PeerMode mode, qsizetype limit = 0) {
        // The sender's queue fills after a few labels.
        m_listener = test::listenOnLoopback(&port, 4096);
        m_thread = std::thread([this, mode, limit] { serve(mode, limit); });
    }
    ~PeerPrinter() {
        release();
        ::shutdown(m_listener, SHUT_RDWR);
        ::close(m_listener);
        if (m_thread.joinable())
            m_thread.join();
    }
    // Lets a NeverRead peer start reading.
    void release() { m_released = true; }
    // Waits for the connection's end; true when the run closed its side.
    bool closedByRun() {
        release();
        if (m_thread.joinable())
            m_thread.join();
        return m_closedByRun;
    }
    QString address() const { return QStringLiteral("socket://127.0.0.1:%1").arg(port); }

    int port = 0;
    QByteArray received;

private:
    void serve(PeerMode mode, qsizetype limit) {
        const int peer = ::accept(m_listener, nullptr, nullptr);
        if (peer < 0)
            return;
        char buffer[4096];
        if (mode == PeerMode::NeverRead) {
            while (!m_released)
                std::this_thread::sleep_for(5ms);
        }
        for (;;) {
            const size_t chunk = mode == PeerMode::Slow ? 512 : sizeof buffer;
            const ssize_t got = ::recv(peer, buffer, chunk, 0);
            if (got <= 0) {
                m_closedByRun = true;
                break;
            }
            received.append(buffer, got);
            answerInquiries(peer, mode);
            if (mode == PeerMode::CloseAfter && received.size() >= limit)
                break;
            if (mode == PeerMode::Slow)
                std::this_thread::sleep_for(1ms);
        }
        ::close(peer);
    }

    void answerInquiries(int peer, PeerMode mode) {
        if (mode != PeerMode::AnswersLate && mode != PeerMode::PrintingForever)
            return;
        for (qsizetype at; (at = received.indexOf("\x1b!?", m_scanned)) >= 0;) {
            m_scanned = at + 3;
            const bool first = m_answered++ == 0;
            if (mode == PeerMode::AnswersLate && !first)
                std::this_thread::sleep_for(600ms);
            const char status = mode == PeerMode::PrintingForever && !first ? 0x20 : 0x00;
            ::send(peer, &status, 1, MSG_NOSIGNAL);
        }
    }

    qsizetype m_scanned = 0;
    int m_answered = 0;
    int m_listener = -1;
    std::thread m_thread;
    std::atomic<bool> m_released{false};
    bool m_closedByRun = false;
};

class PrinterFaultTest : public ::testing::Test {
protected:
    PrinterFaultTest() {
        test::setLabel(state);
        state.across = 1;
        state.format.command.boxElements.append(
            {.xStart = "10", .yStart = "10", .xEnd = "470", .yEnd = "310", .thickness = "3"});
        // A large text: each label is a few kilobytes of bitmap.
        state.format.command.vTextElements.append({.x = "0",
                                                   .y = "0",
                                                   .height = "120",
                                                   .rotation = "0",
                                                   .style = "0",
                                                   .underline = "0",
                                                   .face = "Arial",
                                                   .content = "1"});
        // Real time passes during the wait, as with a printer, so a hang-up can arrive.
        clock.onEvents = [] { std::this_thread::sleep_for(50us); };
        // Fonts open their files on first use: a first label keeps them out of the counts of
        // open descriptors.
        run(QStringLiteral("/dev/null"), 1);
        messages.shown.clear();
    }
    // Runs `records` records; the socket port gives up on a write after writeTimeout.
    RunResult run(const QString& address, int records,
                  std::chrono::milliseconds writeTimeout = 60s) {
        QList<QStringList> rows;
        for (int r = 1; r <= records; ++r)
            rows << QStringList{QStringLiteral("RECORD %1 WWWWWWWW").arg(r), QStringLiteral("1")};
        test::setRecords(state, rows);
        state.printerName = QStringLiteral("Shop");
        state.ports = {{QStringLiteral("Shop"), address}};
        if (address.startsWith(u"socket://")) {
            const int port = address.section(u':', 2).toInt();
            context.libraryFactory = [this, port, writeTimeout](const QString&) {
                return std::make_unique<TsplLibrary>(state.codePage, [=](const QString&) {
                    return std::make_unique<SocketPort>(QStringLiteral("127.0.0.1"), port, 2s,
                                                        writeTimeout);
                });
            };
        }
        return PrintLabels(context);
    }
    // The one message of a failed run: caption, icon, and the last record that reached the port.
    void expectFailureMessage(const RunResult& result, const QString& start) {
        EXPECT_EQ(result.outcome, RunOutcome::Failed);
        EXPECT_EQ(result.errorNumber, common::PrinterError);
        ASSERT_EQ(messages.shown.size(), 1u);
        const common::Message& shown = messages.shown[0];
        EXPECT_EQ(shown.caption, kCaption);
        EXPECT_EQ(shown.icon, common::MessageIcon::Critical);
        EXPECT_TRUE(shown.text.startsWith(start)) << shown.text.toStdString();
        const QString sent =
            QStringLiteral("\n最後送達印表機的資料: 第 %1 筆").arg(result.labelsRequested);
        if (result.labelsRequested > 0)
            EXPECT_TRUE(shown.text.endsWith(sent)) << shown.text.toStdString();
        else
            EXPECT_FALSE(shown.text.contains(u"最後送達")) << shown.text.toStdString();
    }

    state::WorkingState state;
    test::RecordingMessageBox messages;
    test::RecordingRunView view;
    test::FakeClock clock;
    RunContext context{state, messages, view, clock, clock, {}, QDate(2026, 12, 7)};
};

TEST_F(PrinterFaultTest, RefusingSocketFailsBeforeAnyLabel) {
    const int descriptors = test::openDescriptors();
    const int port = test::unusedLoopbackPort();
    const RunResult result = run(QStringLiteral("socket://127.0.0.1:%1").arg(port), 3);
    expectFailureMessage(result,
                         QStringLiteral("無法連接印表機 socket://127.0.0.1:%1: ").arg(port));
    EXPECT_EQ(result.labelsRequested, 0);
    EXPECT_EQ(test::openDescriptors(), descriptors);
}

TEST_F(PrinterFaultTest, PrinterThatNeverReadsTimesOutWithTheLastRecordSent) {
    PeerPrinter printer(PeerMode::NeverRead);
    const int descriptors = test::openDescriptors();
    const auto start = std::chrono::steady_clock::now();
    const RunResult result = run(printer.address(), 3000, 300ms);
    const auto took = std::chrono::steady_clock::now() - start;
    expectFailureMessage(
        result, QStringLiteral("無法連接印表機 %1: 印表機逾時未接收資料").arg(printer.address()));
    EXPECT_LT(result.labelsRequested, 3000);
    // One write timeout, not one per record.
    EXPECT_LT(took, 20s);
    EXPECT_TRUE(printer.closedByRun());
    EXPECT_EQ(test::openDescriptors(), descriptors);
}

TEST_F(PrinterFaultTest, PrinterClosingAfterSomeBytesNamesTheLastRecordSent) {
    for (const qsizetype limit : {qsizetype(1), qsizetype(20'000), qsizetype(200'000)}) {
        SCOPED_TRACE(limit);
        messages.shown.clear();
        PeerPrinter printer(PeerMode::CloseAfter, limit);
        const int descriptors = test::openDescriptors();
        const RunResult result = run(printer.address(), 3000);
        expectFailureMessage(result, QStringLiteral("無法連接印表機 %1: ").arg(printer.address()));
        EXPECT_LT(result.labelsRequested, 3000);
        printer.closedByRun(); // the printer's own side is closed too
        EXPECT_EQ(test::openDescriptors(), descriptors);
        // Every label the run counted was accepted whole by the port before the hang-up.
        EXPECT_GE(printer.received.size(), limit);
    }
}

// Printers that mislead: each row's run ends as it says, with its message, and the labels that
// reached the printer are those the run counted.
TEST_F(PrinterFaultTest, PrintersThatMisleadEndTheRunAsTheyShould) {
    struct Row {
        const char* name;
        PeerMode mode;
        int records;
        RunOutcome outcome;
        const char* message; // the start of the run's one message (%1: the address)
        int printed;         // labels the printer read whole
        bool unconfirmed;
    };
    const Row rows[] = {
        {"accepts and never reads", PeerMode::NeverRead, 2, RunOutcome::Failed,
         "無法連接印表機 %1: 印表機在 0.3 秒內沒有收下其餘的資料", -1, true},
        {"answers late", PeerMode::AnswersLate, 3, RunOutcome::Completed, "", 3, false},
        {"printing forever", PeerMode::PrintingForever, 3, RunOutcome::Failed,
         "印表機在 30 秒內沒有印完第 1 筆 (印表機仍回報: 列印中", 1, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        messages.shown.clear();
        PeerPrinter printer(row.mode);
        const RunResult result = run(printer.address(), row.records, 300ms);
        EXPECT_EQ(result.outcome, row.outcome);
        EXPECT_EQ(result.tally.unconfirmed, row.unconfirmed);
        const QString start =
            QString::fromUtf8(row.message).replace(QStringLiteral("%1"), printer.address());
        if (start.isEmpty())
            EXPECT_TRUE(messages.shown.empty());
        else
            expectFailureMessage(result, start);
        EXPECT_TRUE(printer.closedByRun());
        if (row.printed >= 0) {
            EXPECT_EQ(printer.received.count("PRINT 1,1\r\n"), row.printed);
        }
    }
}

TEST_F(PrinterFaultTest, SlowPrinterGetsEveryLabel) {
    PeerPrinter printer(PeerMode::Slow);
    const RunResult result = run(printer.address(), 40, 5s);
    EXPECT_EQ(result.outcome, RunOutcome::Completed);
    EXPECT_TRUE(result.tally.unconfirmed);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(printer.closedByRun());
    EXPECT_EQ(printer.received.count("PRINT 1,1\r\n"), 40);
}

TEST_F(PrinterFaultTest, DeviceFileWithoutSpaceFailsAtTheFirstLabel) {
    const int descriptors = test::openDescriptors();
    // /dev/full: a character device whose every write fails with "no space left".
    const RunResult result = run(QStringLiteral("/dev/full"), 3);
    expectFailureMessage(result, QStringLiteral("無法連接印表機 /dev/full: "));
    EXPECT_EQ(result.labelsRequested, 0);
    EXPECT_EQ(test::openDescriptors(), descriptors);
}

TEST_F(PrinterFaultTest, PortFileOnAFullDiskNamesTheLastRecordSent) {
    test::TempFolder folder;
    const QByteArray mountPoint = folder.path().toLocal8Bit();
    if (::mount("tmpfs", mountPoint.constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "a small tmpfs needs root (mount: " << std::strerror(errno) << ")";
    const int descriptors = test::openDescriptors();
    const RunResult result = run(folder.file(QStringLiteral("printer.prn")), 3000);
    const qint64 size = QFileInfo(folder.file(QStringLiteral("printer.prn"))).size();
    ::umount2(mountPoint.constData(), MNT_DETACH);
    expectFailureMessage(
        result,
        QStringLiteral("無法連接印表機 %1: ").arg(folder.file(QStringLiteral("printer.prn"))));
    EXPECT_GT(result.labelsRequested, 0);
    EXPECT_LT(result.labelsRequested, 3000);
    EXPECT_GT(size, 0);
    EXPECT_EQ(test::openDescriptors(), descriptors);
}

} // namespace
} // namespace pelmar::print_command
