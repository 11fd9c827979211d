// pelmar-print through a real CUPS: a private cupsd on loopback with raw queues whose device is a
// socket printer of the test; the bytes that arrive through CUPS are compared with those that the
// same run writes to a file port. Skipped where cupsd cannot run, unless CI=true.
#include "support/pelmar_print_run.h"
#include "support/private_cups.h"
#include "support/temp_folder.h"

#include <arpa/inet.h>
#include <atomic>
#include <chrono>
#include <cstring>
#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;
using pelmar::test::inCi;
using pelmar::test::PrivateCups;
using pelmar::test::ToolRun;

// The printer behind the queues: accepts one connection per job and keeps every byte in order.
class SocketPrinter {
public:
    SocketPrinter() {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        const int on = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
        ::listen(m_fd, 8);
        socklen_t length = sizeof address;
        ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length);
        m_port = ntohs(address.sin_port);
        m_thread = std::thread([this] { serve(); });
    }
    ~SocketPrinter() {
        m_stop = true;
        m_thread.join();
        ::close(m_fd);
    }
    int port() const { return m_port; }
    QByteArray bytes() {
        const std::lock_guard<std::mutex> lock(m_mutex);
        return m_bytes;
    }
    // Waits until the bytes stop growing for a while (CUPS delivers after the tool has ended).
    QByteArray settled(std::chrono::seconds limit,
                       const std::function<bool(const QByteArray&)>& done) {
        const auto end = std::chrono::steady_clock::now() + limit;
        while (std::chrono::steady_clock::now() < end) {
            if (done(bytes()))
                break;
            std::this_thread::sleep_for(100ms);
        }
        std::this_thread::sleep_for(300ms);
        return bytes();
    }

private:
    void serve() {
        while (!m_stop) {
            pollfd p{m_fd, POLLIN, 0};
            if (::poll(&p, 1, 100) <= 0)
                continue;
            const int connection = ::accept(m_fd, nullptr, nullptr);
            char buffer[8192];
            ssize_t n;
            while ((n = ::read(connection, buffer, sizeof buffer)) > 0) {
                const std::lock_guard<std::mutex> lock(m_mutex);
                m_bytes.append(buffer, n);
            }
            ::close(connection);
        }
    }

    int m_fd = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    std::mutex m_mutex;
    QByteArray m_bytes;
    std::thread m_thread;
};

class CupsIntegration : public ::testing::Test {
protected:
    void SetUp() override {
        const QString problem = cups.start();
        if (!problem.isEmpty()) {
            if (inCi())
                FAIL() << problem.toStdString();
            GTEST_SKIP() << problem.toStdString();
        }
        home.write("items.txt", "APPLE,10,2\r\nPEAR,20,1\r\nFIG,30,3\r\n");
        home.write("PRICE.FMT", "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                                "PrintDarken=8\r\nV_Text=120,20,48,0,0,0,Arial,1\r\n"
                                "V_Barcode=20,100,128,80,2,0,2,4,2\r\n");
        home.write("DRV.FMT",
                   "LabelWidth=60\r\nLabelHeight=40\r\nV_Text=120,20,12,0,0,Arial,1\r\n");
    }

    // Settings without [Ports]: the printers are those of CUPS alone.
    void writeSettings(const QString& format, int printMode) {
        home.write("Pelmar.INI",
                   pelmar::test::cupsSettings(home.file("items.txt"), format, printMode));
    }

    ToolRun run(const QStringList& arguments) {
        return pelmar::test::runPelmarPrintWithCups(cups.server(), home.path(), arguments);
    }

    PrivateCups cups;
    pelmar::test::TempFolder home;
};

TEST_F(CupsIntegration, CommandModeBytesArriveThroughARawQueue) {
    SocketPrinter printer;
    ASSERT_EQ(
        cups.addRawQueue("TSC_TEST", QStringLiteral("socket://127.0.0.1:%1").arg(printer.port())),
        "");
    writeSettings("PRICE.FMT", 0);
    // The same run into a file port gives the bytes to expect.
    const ToolRun reference = run({"--printer", "file:" + home.file("expected.bin")});
    ASSERT_EQ(reference.exitCode, 0) << reference.err.toStdString();
    const QByteArray expected = home.read("expected.bin");
    ASSERT_TRUE(expected.contains("PRINT 3,1\r\n"));
    // PrinterName empty: start-up takes the first CUPS queue with TSC in its name.
    writeSettings("PRICE.FMT", 0);
    const ToolRun r = run({});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    // A raw queue only tells that the bytes went out, not that labels came out.
    EXPECT_TRUE(r.err.contains("6 label(s) from 3 record(s) sent; the printer cannot confirm"))
        << r.err.toStdString();
    EXPECT_TRUE(home.read("Pelmar.INI").contains("PrinterName=\r\n"));
    const QByteArray arrived =
        printer.settled(30s, [&](const QByteArray& b) { return b.size() >= expected.size(); });
    EXPECT_EQ(arrived, expected);
}

TEST_F(CupsIntegration, AQueueIsFoundByItsDescription) {
    // The printer list shows a queue's description, so that is the name a run opens.
    SocketPrinter printer;
    ASSERT_EQ(cups.addRawQueue("LABELS",
                               QStringLiteral("socket://127.0.0.1:%1").arg(printer.port()),
                               "TSC TTP-244 Office"),
              "");
    writeSettings("PRICE.FMT", 0);
    const ToolRun r = run({});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray arrived =
        printer.settled(30s, [](const QByteArray& b) { return b.contains("PRINT 3,1\r\n"); });
    EXPECT_TRUE(arrived.contains("PRINT 3,1\r\n"));
}

TEST_F(CupsIntegration, DriverModeSendsOnePdfJobPerRecord) {
    SocketPrinter printer;
    ASSERT_EQ(
        cups.addRawQueue("TSC_PDF", QStringLiteral("socket://127.0.0.1:%1").arg(printer.port())),
        "");
    writeSettings("DRV.FMT", 1);
    const ToolRun r = run({"--printer", "TSC_PDF"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("6 label(s) from 3 record(s) printed")) << r.err.toStdString();
    const QByteArray arrived =
        printer.settled(30s, [](const QByteArray& b) { return b.count("%%EOF") >= 3; });
    EXPECT_TRUE(arrived.startsWith("%PDF-"));
    EXPECT_GE(arrived.count("%PDF-"), 3);
}

TEST_F(CupsIntegration, AStoppedOrRefusingQueueIsAPrinterError) {
    // CUPS keeps accepting jobs for a stopped queue; those labels would never print.
    for (const char* command : {"cupsdisable", "cupsreject"}) {
        SCOPED_TRACE(command);
        SocketPrinter printer;
        ASSERT_EQ(cups.addRawQueue("TSC_TEST",
                                   QStringLiteral("socket://127.0.0.1:%1").arg(printer.port())),
                  "");
        ASSERT_EQ(cups.runTool(QString::fromLatin1(command), {"TSC_TEST"}), "");
        writeSettings("PRICE.FMT", 0);
        const ToolRun r = run({"--printer", "TSC_TEST"});
        EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(std::strcmp(command, "cupsdisable") == 0
                                                         ? "印表機佇列已停止"
                                                         : "印表機佇列拒絕接受工作")))
            << r.err.toStdString();
    }
}

TEST_F(CupsIntegration, UnknownQueueIsAPrinterError) {
    writeSettings("PRICE.FMT", 0);
    ASSERT_EQ(cups.addRawQueue("TSC_TEST", "socket://127.0.0.1:9"), "");
    const ToolRun r = run({"--printer", "NO_SUCH_QUEUE"});
    EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("PrintLabels -> 發生錯誤: ")) << r.err.toStdString();
}

} // namespace
