// pelmar-print writes what the next start reads back the same: numbers keep their decimal point
// under a desktop whose decimal separator is a comma, and a data path too long for the settings
// file is not written back.
#include "support/comma_locale.h"
#include "support/temp_folder.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

const QString kTool = QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar-print");

const QByteArray kFormat = "LabelWidth=60.5\r\nLabelHeight=40\r\nLabelGap=2.5\r\nPrintSpeed=4\r\n"
                           "PrintDarken=8\r\nV_Text=20,20,24,0,0,0,Arial,2+\r\n";

// The settings of a folder printing items.txt with PRICE.FMT to a trace printer; fields has
// the keys of [Fields] before the three field definitions.
QByteArray settings(const QByteArray& fields) {
    return "[Files]\r\nTextFileName=items.txt\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n"
           "[Printer]\r\nPrinterName=TSC Trace\r\n[Ports]\r\nTSC Trace=trace:trace.txt\r\n"
           "[Fields]\r\nDelimiter=,\r\n" +
           fields +
           "FieldCount=3\r\nField01=N,1,10,0,0\r\nField02=P,1,10,0,0\r\nField03=Q,1,10,0,0\r\n";
}

struct ToolRun {
    int exitCode = -1;
    std::string err;
};

// Runs pelmar-print on the folder, without CUPS queues.
ToolRun run(const pelmar::test::TempFolder& home, QProcessEnvironment environment,
            const QStringList& arguments = {}) {
    QProcess process;
    environment.insert("PELMAR_HOME", home.path());
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    environment.insert("CUPS_SERVER", "127.0.0.1:1");
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(home.path());
    process.start(kTool, arguments);
    EXPECT_TRUE(process.waitForFinished(60000));
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardError().toStdString()};
}

// The trace lines of the calls named.
QStringList traceCalls(const pelmar::test::TempFolder& home, const QStringList& names) {
    QStringList calls;
    for (const QString& line : QString::fromUtf8(home.read("trace.txt")).split(u'\n'))
        if (names.contains(line.section(u'\t', 0, 0)))
            calls << line;
    return calls;
}

TEST(PelmarPrintUnderACommaLocale, PricesAmountsAndQuantitiesKeepTheirPoint) {
    const auto& locale = pelmar::test::commaLocale();
    if (!locale)
        GTEST_SKIP() << "no comma-decimal locale can be had here";
    pelmar::test::TempFolder home;
    // Quantities 3.5 and 2.5 are 4 and 2 sets (halves to the even neighbour); ADPrice=13.5 is 14.
    home.write("items.txt", "APPLE,12.50,3.5\r\nPEAR,0.25,2.5\r\nFIG,7,1\r\n");
    home.write("PRICE.FMT", kFormat);
    home.write("Pelmar.INI", settings("EditPrice=1\r\nEditPriceField=2\r\nADPrice=13.5\r\n"));
    const ToolRun r = run(home, pelmar::test::commaLocaleEnvironment(*locale));
    ASSERT_EQ(r.exitCode, 0) << r.err;

    const QStringList sent = traceCalls(home, {"setup", "windowsfont", "printlabel"});
    EXPECT_EQ(sent.join(u'\n').toStdString(),
              "setup\t60.5\t40\t4\t8\t0\t2.5\t0\n"
              "windowsfont\t20\t20\t24\t0\t0\t0\tArial\t26.5\nprintlabel\t4\t1\n"
              "setup\t60.5\t40\t4\t8\t0\t2.5\t0\n"
              "windowsfont\t20\t20\t24\t0\t0\t0\tArial\t14.25\nprintlabel\t2\t1\n"
              "setup\t60.5\t40\t4\t8\t0\t2.5\t0\n"
              "windowsfont\t20\t20\t24\t0\t0\t0\tArial\t21\nprintlabel\t1\t1");
    EXPECT_TRUE(home.read("Pelmar.INI").contains("ADPrice=14\r\n"));
}

TEST(PelmarPrintReadBack, ADataPathTooLongForTheSettingsIsNotWrittenBack) {
    pelmar::test::TempFolder home;
    home.write("PRICE.FMT", kFormat);
    home.write("Pelmar.INI", settings("ADPrice=3.0\r\n"));
    const QByteArray before = home.read("Pelmar.INI");
    // 130 bytes of folder name: the path is far beyond the 127 bytes the next start reads.
    const QString folder = QString(130, QChar(u'd'));
    const QString data = home.write(folder + "/items.txt", "APPLE,10,2\r\nPEAR,20,1\r\n");
    const ToolRun r = run(home, QProcessEnvironment::systemEnvironment(), {"--data", data});

    EXPECT_EQ(traceCalls(home, {"printlabel"}),
              (QStringList{"printlabel\t2\t1", "printlabel\t1\t1"}));
    // Printed, but the settings were not saved: never the status of a clean run.
    EXPECT_NE(r.exitCode, 0) << r.err;
    EXPECT_NE(r.err.find(("TextFileName「" + data + "」").toStdString()), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("超過 127 位元組"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("TextFileName「items.txt」"), std::string::npos) << r.err;
    EXPECT_EQ(home.read("Pelmar.INI"), before);
}

} // namespace
