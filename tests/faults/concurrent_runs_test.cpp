// Two pelmar-print started together, on one program folder or on two folders and one printer:
// one prints every label once, whole; the other is refused with status 5 naming it. The printer
// is a FIFO the test drains only once the refused run has ended, so the two always overlap.
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QProcess>
#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

constexpr int kRounds = 50;

void writeShop(const pelmar::test::TempFolder& home, const QString& printer) {
    home.write(QStringLiteral("items.txt"), "ITEM1,2\r\nITEM2,1\r\nITEM3,3\r\n");
    home.write(QStringLiteral("PRICE.FMT"),
               "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\nPrintDarken=8\r\n"
               "V_Text=120,20,48,0,0,0,Arial,1\r\n");
    home.write(QStringLiteral("Pelmar.INI"),
               ("[Files]\r\nTextFileName=items.txt\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n"
                "[Printer]\r\nPrintMode=0\r\nPrinterName=TSC Shop\r\n[Ports]\r\nTSC Shop=" +
                printer +
                "\r\n[Fields]\r\nDelimiter=,\r\nFieldCount=2\r\n"
                "Field01=N,1,10,0,0\r\nField02=Q,1,10,0,0\r\n")
                   .toUtf8());
}

TEST(ConcurrentRunsTest, SecondRunIsRefusedAndTheFirstPrintsEveryLabelOnce) {
    pelmar::test::TempFolder home, other, printerFolder;
    const QString printer = printerFolder.file(QStringLiteral("printer"));
    writeShop(home, QStringLiteral("file:solo.prn"));
    ASSERT_EQ(pelmar::test::runPelmarPrint(home).exitCode, 0);
    const QByteArray solo = home.read(QStringLiteral("solo.prn"));
    ASSERT_EQ(solo.count("\r\nPRINT "), 3);
    writeShop(home, printer);
    writeShop(other, printer);
    ASSERT_EQ(::mkfifo(printer.toLocal8Bit().constData(), 0600), 0);
    for (int round = 0; round < kRounds; ++round) {
        // Odd rounds: the printer alone is shared.
        const bool twoFolders = round % 2 == 1;
        SCOPED_TRACE(round);
        QProcess runs[2];
        qint64 pids[2] = {};
        for (int i = 0; i < 2; ++i) {
            const QString folder = i == 1 && twoFolders ? other.path() : home.path();
            pelmar::test::startPelmarPrint(runs[i], folder, "127.0.0.1:9", {});
            runs[i].waitForStarted();
            pids[i] = runs[i].processId();
        }
        int refused = -1;
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (refused < 0 && std::chrono::steady_clock::now() < deadline) {
            for (int i = 0; i < 2 && refused < 0; ++i)
                refused = runs[i].waitForFinished(1) ? i : -1;
        }
        ASSERT_GE(refused, 0) << "neither run was refused";
        // Until now the printer had no reader: the other run waits at it, holding its locks.
        QFile reader(printer);
        ASSERT_TRUE(reader.open(QIODevice::ReadOnly | QIODevice::Unbuffered));
        EXPECT_EQ(reader.readAll(), solo);
        QProcess& printed = runs[1 - refused];
        printed.waitForFinished();
        EXPECT_EQ(printed.exitCode(), 0);
        const QString err = QString::fromUtf8(runs[refused].readAllStandardError());
        EXPECT_EQ(runs[refused].exitCode(), 5) << err.toStdString();
        EXPECT_TRUE(err.contains(QStringLiteral("%1正由另一個列印工作使用: 程序 %2 (pelmar-print)")
                                     .arg(twoFolders ? QStringLiteral(" ") + printer + u' '
                                                     : QStringLiteral(" ") + home.path() + u' ')
                                     .arg(pids[1 - refused])))
            << err.toStdString();
    }
}

} // namespace
