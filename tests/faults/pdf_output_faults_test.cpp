// A driver-mode run into a PDF file that cannot be written: a printer error naming the file,
// never exit 0 with a cut, unreadable file.
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QDir>
#include <QProcess>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

constexpr int kPrinterError = 5;

class PdfOutputFaultTest : public ::testing::Test {
protected:
    void SetUp() override {
        QByteArray lines;
        for (int i = 1; i <= 300; ++i)
            lines += "ITEM" + QByteArray::number(i) + ",1\r\n";
        home.write(QStringLiteral("items.txt"), lines);
        home.write(QStringLiteral("DRV.FMT"), "LabelWidth=60\r\nLabelHeight=40\r\n"
                                              "V_Text=120,20,12,0,0,Arial,1\r\n"
                                              "V_Barcode=120,120,128,1\r\n");
        home.write(QStringLiteral("Pelmar.INI"),
                   ("[Files]\r\nTextFileName=" + home.file(QStringLiteral("items.txt")) +
                    "\r\nLabelCount=1\r\nLabelName01=DRV.FMT\r\n[Printer]\r\nPrintMode=1\r\n"
                    "[Ports]\r\nTSC PDF=file:unused.bin\r\n[Fields]\r\nDelimiter=,\r\nFieldCount=2\r\n"
                    "Field01=N,1,10,0,0\r\nField02=Q,1,10,0,0\r\n")
                       .toUtf8());
    }

    void expectFailureNaming(const QString& pdf) {
        const pelmar::test::ToolRun r =
            pelmar::test::runPelmarPrint(home.path(), {QStringLiteral("--output"), pdf}, 120000);
        EXPECT_EQ(r.exitCode, kPrinterError) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("PrintLabels_Driver -> 發生錯誤")))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("無法寫入 PDF 檔 ") + pdf))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("300 record(s) printed")))
            << r.err.toStdString();
    }

    pelmar::test::TempFolder home;
};

TEST_F(PdfOutputFaultTest, ADeviceWithoutSpaceFailsTheRun) {
    expectFailureNaming(QStringLiteral("/dev/full"));
}

TEST_F(PdfOutputFaultTest, AFullDiskFailsTheRunWithTheFileName) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "mounting a small tmpfs needs root";
    const QString disk = home.file(QStringLiteral("disk"));
    QDir().mkpath(disk);
    if (::mount("tmpfs", disk.toUtf8().constData(), "tmpfs", 0, "size=64k") != 0)
        GTEST_SKIP() << "cannot mount a tmpfs here";
    expectFailureNaming(disk + QStringLiteral("/labels.pdf"));
    ::umount(disk.toUtf8().constData());
}

} // namespace
