// pelmar-print against failing printers: exit status 5 (printer error), the run's message on
// standard error naming the last record that reached the printer, and no label claimed printed.
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include "support/loopback_listener.h"
#include <arpa/inet.h>

#include <gtest/gtest.h>
#include <netinet/in.h>
#include <string>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

using namespace std::chrono_literals;

constexpr int kPrinterError = 5;

using pelmar::test::Listener;

using pelmar::test::ToolRun;

// Runs the tool with the printer "TSC Fault" at the address (start-up keeps printers named TSC).
ToolRun runTool(const pelmar::test::TempFolder& home, const QString& address) {
    home.write(QStringLiteral("Pelmar.INI"),
               ("[Files]\r\nTextFileName=" + home.file(QStringLiteral("items.txt")) +
                "\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n[Printer]\r\nPrintMode=0\r\n"
                "PrinterName=TSC Fault\r\n[Ports]\r\nTSC Fault=" +
                address +
                "\r\n[Fields]\r\nDelimiter=,\r\nFieldCount=2\r\n"
                "Field01=N,1,10,0,0\r\nField02=Q,1,10,0,0\r\n")
                   .toUtf8());
    return pelmar::test::runPelmarPrint(home, 120000);
}

class HeadlessFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        QByteArray lines;
        for (int i = 1; i <= 5; ++i)
            lines += "ITEM" + QByteArray::number(i) + ",1\r\n";
        home.write(QStringLiteral("items.txt"), lines);
        home.write(QStringLiteral("PRICE.FMT"),
                   "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\n"
                   "PrintSpeed=4\r\nPrintDarken=8\r\nV_Text=120,20,48,0,0,0,Arial,1\r\n");
    }
    pelmar::test::TempFolder home;
};

TEST_F(HeadlessFaultTest, DeviceWithoutSpaceAndRefusingSocketEndWithPrinterStatus) {
    Listener refusing;
    refusing.close();
    const QString printers[] = {QStringLiteral("/dev/full"),
                                QStringLiteral("socket://127.0.0.1:%1").arg(refusing.port())};
    for (const QString& printer : printers) {
        SCOPED_TRACE(printer.toStdString());
        const ToolRun r = runTool(home, printer);
        EXPECT_EQ(r.exitCode, kPrinterError) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u"PrintLabels -> 發生錯誤")) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(u"無法連接印表機 ")) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(u"最後送達印表機的資料")) << r.err.toStdString();
    }
}

TEST_F(HeadlessFaultTest, PrinterHangingUpAfterTheFirstLabelIsNamed) {
    Listener listener;
    std::thread printer([&] {
        const int connection = listener.accept();
        // Until the first label's print command has come, however slow the run is to make it.
        std::string received;
        char buffer[65536];
        ssize_t got = 0;
        while (received.find("PRINT ") == std::string::npos &&
               (got = ::read(connection, buffer, sizeof buffer)) > 0)
            received.append(buffer, static_cast<size_t>(got));
        // Well after the first label's end, well before the run's wait after it is over.
        std::this_thread::sleep_for(500ms);
        ::close(connection);
    });
    const ToolRun r = runTool(home, QStringLiteral("socket://127.0.0.1:%1").arg(listener.port()));
    printer.join();
    EXPECT_EQ(r.exitCode, kPrinterError) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(u"最後送達印表機的資料: 第 1 筆")) << r.err.toStdString();
}

} // namespace
