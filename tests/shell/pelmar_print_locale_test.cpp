// pelmar-print under a desktop whose decimal separator is a comma: prices, the price adjustment
// and quantities keep their decimal point, on the printer and in the settings file.
#include "support/comma_locale.h"
#include "support/temp_folder.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar-print");

TEST(PelmarPrintUnderACommaLocale, PricesAmountsAndQuantitiesKeepTheirPoint) {
    const auto& locale = pelmar::test::commaLocale();
    if (!locale)
        GTEST_SKIP() << "no comma-decimal locale can be had here";
    pelmar::test::TempFolder home;
    // Quantities 3.5 and 2.5 are 4 and 2 sets (halves to the even neighbour); ADPrice=13.5 is 14.
    home.write("items.txt", "APPLE,12.50,3.5\r\nPEAR,0.25,2.5\r\nFIG,7,1\r\n");
    home.write("PRICE.FMT", "LabelWidth=60.5\r\nLabelHeight=40\r\nLabelGap=2.5\r\nPrintSpeed=4\r\n"
                            "V_Text=20,20,24,0,0,0,Arial,2+\r\n");
    home.write("Pelmar.INI", "[Files]\r\nTextFileName=items.txt\r\nLabelCount=1\r\n"
                             "LabelName01=PRICE.FMT\r\n[Printer]\r\nPrinterName=TSC Trace\r\n"
                             "[Ports]\r\nTSC Trace=trace:trace.txt\r\n[Fields]\r\nDelimiter=,\r\n"
                             "EditPrice=1\r\nEditPriceField=2\r\nADPrice=13.5\r\nFieldCount=3\r\n"
                             "Field01=N,1,10,0,0\r\nField02=P,1,10,0,0\r\nField03=Q,1,10,0,0\r\n");

    QProcess process;
    QProcessEnvironment environment = pelmar::test::commaLocaleEnvironment(*locale);
    environment.insert("PELMAR_HOME", home.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("CUPS_SERVER", "127.0.0.1:1");
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(home.path());
    process.start(kTool, QStringList());
    ASSERT_TRUE(process.waitForFinished(60000));
    const QString err = QString::fromUtf8(process.readAllStandardError());
    ASSERT_EQ(process.exitCode(), 0) << err.toStdString();

    QStringList sent;
    for (const QString& line : QString::fromUtf8(home.read("trace.txt")).split(u'\n'))
        if (line.startsWith("setup") || line.startsWith("windowsfont") ||
            line.startsWith("printlabel"))
            sent << line;
    EXPECT_EQ(sent.join(u'\n').toStdString(),
              "setup\t60.5\t40\t4\t\t0\t2.5\t0\n"
              "windowsfont\t20\t20\t24\t0\t0\t0\tArial\t26.5\nprintlabel\t4\t1\n"
              "setup\t60.5\t40\t4\t\t0\t2.5\t0\n"
              "windowsfont\t20\t20\t24\t0\t0\t0\tArial\t14.25\nprintlabel\t2\t1\n"
              "setup\t60.5\t40\t4\t\t0\t2.5\t0\n"
              "windowsfont\t20\t20\t24\t0\t0\t0\tArial\t21\nprintlabel\t1\t1");
    EXPECT_TRUE(home.read("Pelmar.INI").contains("ADPrice=14\r\n"));
}

} // namespace
