// pelmar-print in a temporary program folder with data files as shops have them: LF-only lines,
// empty lines at the end, a lone LF in a CR LF file, and Delimiter settings that cannot cut.
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

using pelmar::test::ToolRun;

// Prints items.txt (fields ITEM, NAME, QTY) with one command-mode format to the printer given.
ToolRun printData(const pelmar::test::TempFolder& home, const QByteArray& data,
                  const QByteArray& delimiter, const QString& printer) {
    home.write(QStringLiteral("items.txt"), data);
    home.write(QStringLiteral("PRICE.FMT"), "LabelWidth=60\r\nLabelHeight=40\r\nPrintSpeed=4\r\n"
                                            "LabelGap=2\r\nPrintDarken=8\r\n"
                                            "V_Text=120,20,48,0,0,0,Arial,2\r\n");
    home.write(QStringLiteral("Pelmar.INI"),
               "[Files]\r\nTextFileName=" + home.file(QStringLiteral("items.txt")).toUtf8() +
                   "\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n[Printer]\r\nPrintMode=0\r\n"
                   "PrinterName=" +
                   printer.toUtf8() +
                   "\r\n[Ports]\r\nTSC Trace=trace:trace.txt\r\nTSC File=file:out.bin\r\n"
                   "[Fields]\r\nDelimiter=" +
                   delimiter +
                   "\r\nFieldCount=3\r\nField01=ITEM,1,10,0,0\r\nField02=NAME,1,10,0,0\r\n"
                   "Field03=QTY,1,10,0,0\r\n");
    return pelmar::test::runPelmarPrint(home);
}

struct Case {
    const char* name;
    QByteArray data;
    QByteArray delimiter;
    int exitCode;
    QStringList labels; // per printed record: "name quantity" as the printer received it
};

const Case kCases[] = {
    {"LineFeedOnly",
     "1001,APPLE,2\n1002,PEAR,1\n1003,FIG,3\n",
     ",",
     0,
     {"APPLE 2", "PEAR 1", "FIG 3"}},
    // The empty lines at the end decide nothing: no item number becomes a quantity.
    {"EmptyLinesAtTheEnd", "1001,APPLE,2\r\n1002,PEAR,3\r\n\r\n", ",", 0, {"APPLE 2", "PEAR 3"}},
    {"LineFeedOnlyEmptyLinesAtTheEnd",
     "1001,APPLE,2\n1002,PEAR,3\n\n\n",
     ",",
     0,
     {"APPLE 2", "PEAR 3"}},
    // A file with CRs keeps its lone LFs in the line: one record, quantity "2\n1002" gives 2.
    {"LoneLineFeedInACarriageReturnFile", "1001,APPLE,2\n1002,PEAR,1\r\n", ",", 0, {"APPLE 2"}},
    // Delimiters that cannot cut: nothing read, nothing printed, bad settings.
    {"EmptyDelimiter", "1001,APPLE,2\r\n", "", 2, {}},
    {"DoubleByteDelimiter", "1001,APPLE,2\r\n", "\xA4\xA4", 2, {}},
};

class DataFileTool : public ::testing::TestWithParam<Case> {};

TEST_P(DataFileTool, TracePrinterGetsExactlyTheRecords) {
    const Case& c = GetParam();
    pelmar::test::TempFolder home;
    const ToolRun r = printData(home, c.data, c.delimiter, QStringLiteral("TSC Trace"));
    EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
    QStringList labels;
    QString name;
    for (const QString& line : QString::fromUtf8(home.read("trace.txt")).split(u'\n')) {
        const QStringList parts = line.split(u'\t');
        if (parts.first() == QStringLiteral("windowsfont") && parts.size() > 1)
            name = parts.last();
        if (parts.first() == QStringLiteral("printlabel") && parts.size() > 1)
            labels << name + u' ' + parts[1];
    }
    EXPECT_EQ(labels, c.labels) << home.read("trace.txt").toStdString();
    if (c.exitCode == 2) {
        EXPECT_FALSE(QFile::exists(home.file(QStringLiteral("trace.txt"))));
        EXPECT_TRUE(r.err.contains(QStringLiteral("[Fields] 的 Delimiter"))) << r.err.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Table, DataFileTool, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(DataFileTool, FilePrinterGetsOnePrintPerRecordOfALineFeedFile) {
    pelmar::test::TempFolder home;
    const ToolRun r = printData(home, "1001,APPLE,2\n1002,PEAR,1\n1003,FIG,3\n\n", ",",
                                QStringLiteral("TSC File"));
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QString bytes = QString::fromLatin1(home.read(QStringLiteral("out.bin")));
    QStringList prints;
    for (const auto& match : QRegularExpression(QStringLiteral("PRINT [^\\r]*")).globalMatch(bytes))
        prints << match.captured();
    EXPECT_EQ(prints, (QStringList{"PRINT 2,1", "PRINT 1,1", "PRINT 3,1"}));
}

} // namespace
