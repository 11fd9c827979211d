// pelmar-print on the virtual network printer: status before the run, pacing by the printer, a
// fault in the middle with --fault-wait, and going on with --from.
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"
#include "support/virtual_printer.h"

#include <QElapsedTimer>
#include <gtest/gtest.h>

namespace {

using pelmar::test::ToolRun;
using pelmar::test::VirtualPrinter;

// A program folder printing items.txt (APPLE 2, PEAR 1, FIG 3: six labels of 40 + 2 mm at
// speed 4) on the printer at address.
void writeShop(const pelmar::test::TempFolder& home, const QString& address,
               const QByteArray& printerKeys = {}) {
    home.write(QStringLiteral("items.txt"), "APPLE,2\r\nPEAR,1\r\nFIG,3\r\n");
    home.write(QStringLiteral("PRICE.FMT"), "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\n"
                                            "PrintSpeed=4\r\nPrintDarken=8\r\n"
                                            "V_Text=20,20,48,0,0,0,Arial,1\r\n");
    home.write(QStringLiteral("Pelmar.INI"),
               "[Files]\r\nTextFileName=" + home.file(QStringLiteral("items.txt")).toUtf8() +
                   "\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n[Printer]\r\nPrintMode=0\r\n"
                   "PrinterName=TSC Net\r\n" +
                   printerKeys + "[Ports]\r\nTSC Net=" + address.toUtf8() +
                   "\r\n[Fields]\r\nDelimiter=,\r\nFieldCount=2\r\nField01=NAME,1,10,0,0\r\n"
                   "Field02=QTY,1,10,0,0\r\n");
}

// The shop and its printer, with the mechanics ten times faster than a printer's and the
// options given (faults).
struct Shop {
    explicit Shop(const QStringList& options = {}, const QByteArray& printerKeys = {})
        : printer(out.path(), QStringList{"--mechanics", "--time-scale", "0.1"} + options) {
        writeShop(home, printer.address(), printerKeys);
    }
    ToolRun print(const QStringList& arguments = {}) const {
        return pelmar::test::runPelmarPrint(home.path(), arguments);
    }
    pelmar::test::TempFolder home;
    pelmar::test::TempFolder out;
    VirtualPrinter printer;
};

TEST(PelmarPrintStatusTest, APrinterNotReadyAtTheStartGetsNoLabel) {
    Shop shop({"--fault", "head-open@0"});
    VirtualPrinter& printer = shop.printer;
    ASSERT_TRUE(printer.started());
    const ToolRun r = shop.print();
    EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("PrintLabels -> 發生錯誤: 印表機 TSC Net 未就緒: "
                                              "印字頭開啟")))
        << r.err.toStdString();
    printer.clearFault();
    printer.stop();
    EXPECT_EQ(printer.labels(), 0);
}

TEST(PelmarPrintStatusTest, PacedByThePrinterUnlessStatusPacingIsOff) {
    for (const bool paced : {true, false}) {
        SCOPED_TRACE(paced);
        Shop shop({}, paced ? QByteArray() : "StatusPacing=0\r\n");
        VirtualPrinter& printer = shop.printer;
        ASSERT_TRUE(printer.started());
        QElapsedTimer timer;
        timer.start();
        const ToolRun r = shop.print();
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        // The fixed wait is 4 s a record.
        if (paced) {
            EXPECT_LT(timer.elapsed(), 4000);
        } else {
            EXPECT_GE(timer.elapsed(), 3 * 4000);
        }
        printer.stop();
        EXPECT_EQ(printer.labels(), 6);
        // Only a printer that paces the run can confirm a record printed.
        const QString records = shop.print({"--journal", "1", "--json"}).out;
        EXPECT_EQ(records.count(paced ? "\"printed\"" : "\"sent\""), 3) << records.toStdString();
    }
}

// Paper runs out after APPLE's two labels: the run stops naming PEAR as the record to go on
// from; once the paper is in, --from 2 prints the rest: every label once.
TEST(PelmarPrintStatusTest, AFaultStopsTheRunAndFromGoesOnWithoutALabelTwiceOrLost) {
    Shop shop({"--fault", "paper-out@2"});
    VirtualPrinter& printer = shop.printer;
    ASSERT_TRUE(printer.started());
    const ToolRun stopped = shop.print();
    EXPECT_EQ(stopped.exitCode, 5) << stopped.err.toStdString();
    EXPECT_TRUE(stopped.err.contains(QStringLiteral("印表機停止列印: 紙張用完")));
    EXPECT_TRUE(stopped.err.contains(QStringLiteral("印表機最後印完的資料: 第 1 筆")));
    EXPECT_TRUE(stopped.err.contains(QStringLiteral("pelmar-print --from 2")))
        << stopped.err.toStdString();
    EXPECT_EQ(printer.labels(), 2);

    printer.clearFault();
    const ToolRun rest = shop.print({"--from", "2"});
    EXPECT_EQ(rest.exitCode, 0) << rest.err.toStdString();
    EXPECT_TRUE(rest.err.contains("4 label(s) from 2 record(s) printed")) << rest.err.toStdString();
    EXPECT_FALSE(rest.err.contains("record 1 of 3"));
    printer.stop();
    EXPECT_EQ(printer.labels(), 6);
}

TEST(PelmarPrintStatusTest, AFaultWaitRidesOutAFaultThatIsClearedInTime) {
    // Cleared after 5 s of the printer's time, 0.5 s scaled.
    Shop shop({"--fault", "pause@4", "--fault-clear-after", "5"});
    VirtualPrinter& printer = shop.printer;
    ASSERT_TRUE(printer.started());
    const ToolRun r = shop.print({"--fault-wait", "20"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("等候故障排除, 最多 20 秒"))) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("第 3 筆已送到印表機")));
    EXPECT_TRUE(r.err.contains("6 label(s) from 3 record(s) printed"));
    printer.stop();
    EXPECT_EQ(printer.labels(), 6);
}

} // namespace
