// pelmar-print and its journal on a file: port: reprints from the journal's copies, the journal
// as JSON lines, a run taken up again after a crash, and a journal that cannot be written.
#include "journal/journal.h"
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

using pelmar::test::jsonLines;
using pelmar::test::ToolRun;

const QByteArray kItems = "APPLE,2\r\nPEAR,1\r\nFIG,3\r\n";

class JournalReprintTest : public ::testing::Test {
protected:
    void SetUp() override {
        home.write("items.txt", kItems);
        writeFormat("V_Text=20,20,48,0,0,0,Arial,1\r\n");
        writeSettings({});
    }
    void writeFormat(const QByteArray& element) {
        home.write("PRICE.FMT", "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                                "PrintDarken=8\r\n" +
                                    element);
    }
    void writeSettings(const QByteArray& journalKey) {
        home.write("Pelmar.INI", "[Files]\r\nTextFileName=" + home.file("items.txt").toUtf8() +
                                     "\r\nLabelCount=1\r\nLabelName01=PRICE.FMT\r\n" + journalKey +
                                     "[Printer]\r\nPrintMode=0\r\nPrinterName=TSC File\r\n"
                                     "[Ports]\r\nTSC File=file:unused.bin\r\n[Fields]\r\n"
                                     "Delimiter=,\r\nFieldCount=2\r\nField01=NAME,1,10,0,0\r\n"
                                     "Field02=QTY,1,10,0,0\r\n");
    }
    // pelmar-print with the options, printing into the file named `to` of the program folder.
    ToolRun print(const QString& to, const QStringList& options = {}) {
        return pelmar::test::runPelmarPrint(
            home.path(), QStringList{"--printer", "file:" + home.file(to)} + options);
    }
    ToolRun tool(const QStringList& options) {
        return pelmar::test::runPelmarPrint(home.path(), options);
    }
    // Per JSON line of out, the values of the keys (named with blanks between) joined by blanks;
    // a number missing is 0.
    static QStringList values(const QString& out, const QString& keys) {
        QStringList lines;
        for (const QJsonObject& object : jsonLines(out)) {
            QStringList line;
            for (const QString& key : keys.split(u' ')) {
                const QJsonValue value = object[key];
                line << (value.isString() ? value.toString() : QString::number(value.toInteger()));
            }
            lines << line.join(u' ');
        }
        return lines;
    }
    pelmar::test::TempFolder home;
};

TEST_F(JournalReprintTest, AReprintPrintsTheRunsOwnBytesEvenAfterTheFormatChanged) {
    ASSERT_EQ(print("whole.bin").exitCode, 0);                       // run 1
    ASSERT_EQ(print("range.bin", {"--records", "2-3"}).exitCode, 0); // run 2
    writeFormat("V_Text=20,20,48,0,0,0,Arial,2\r\n");
    ASSERT_EQ(print("changed.bin", {"--records", "2-3"}).exitCode, 0); // run 3
    ASSERT_NE(home.read("changed.bin"), home.read("range.bin"));
    int file = 0;
    for (const QStringList& options :
         {QStringList{"--reprint", "1", "--records", "2-3"}, QStringList{"--reprint", "2"}}) {
        const QString to = QStringLiteral("reprint%1.bin").arg(++file);
        const ToolRun r = print(to, options);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(home.read(to), home.read("range.bin")) << options.join(' ').toStdString();
    }

    const ToolRun listed = tool({"--journal", "--json"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const QString columns = "file state outcome labels records reprint_of source";
    EXPECT_EQ(values(listed.out, "run " + columns),
              (QStringList{"5 items.txt finished printed 4 2 2 reprint",
                           "4 items.txt finished printed 4 2 1 reprint",
                           "3 items.txt finished printed 4 2 0 command",
                           "2 items.txt finished printed 4 2 0 command",
                           "1 items.txt finished printed 6 3 0 command"}));
    // A file: port cannot confirm that a record printed.
    EXPECT_EQ(values(tool({"--journal", "1", "--json"}).out, "run record quantity state"),
              (QStringList{"1 1 2 sent", "1 2 1 sent", "1 3 3 sent"}));
    EXPECT_EQ(tool({"--reprint", "9"}).exitCode, 2);
}

TEST_F(JournalReprintTest, ARunCutOffMidRecordGoesOnAfterItAndNamesItInDoubt) {
    qint64 run = 0;
    {
        // What a process killed while record 2 went out leaves behind.
        auto journal = pelmar::journal::Journal::open(home.file("Pelmar.journal"));
        pelmar::journal::RunStart start;
        start.dataFileName = "items.txt";
        start.dataBytes = kItems;
        start.formatName = "PRICE.FMT";
        start.formatBytes = home.read("PRICE.FMT");
        run = journal->startRun(start);
        journal->setRecord(run, 1, 2, pelmar::journal::RecordState::Sending);
        journal->setRecord(run, 1, 2, pelmar::journal::RecordState::Sent);
        journal->setRecord(run, 2, 1, pelmar::journal::RecordState::Sending);
    }
    EXPECT_EQ(tool({"--journal", "1", "--json"}).out.count("in-doubt"), 1); // no process runs it

    const ToolRun resumed = print("resumed.bin");
    EXPECT_EQ(resumed.exitCode, 10) << resumed.err.toStdString();
    EXPECT_TRUE(resumed.err.contains("第 2 筆")) << resumed.err.toStdString();
    ASSERT_EQ(print("third.bin", {"--records", "3"}).exitCode, 0);
    EXPECT_EQ(home.read("resumed.bin"), home.read("third.bin")); // record 3 alone, once

    EXPECT_EQ(values(tool({"--journal", "1", "--json"}).out, "state"),
              (QStringList{"sent", "in-doubt", "sent"}));
    const std::vector<QJsonObject> runs = jsonLines(tool({"--journal", "--json"}).out);
    EXPECT_EQ(runs.back()["status"].toInt(), 10);
    // Finished, it is not taken up again: the same file prints whole as a new run.
    ASSERT_EQ(print("again.bin").exitCode, 0);
    EXPECT_EQ(jsonLines(tool({"--journal", "--json"}).out).front()["records"].toInt(), 3);
}

TEST_F(JournalReprintTest, AJournalThatCannotBeWrittenPrintsNothing) {
    writeSettings("JournalFile=" + home.file("no/such/folder/Pelmar.journal").toUtf8() + "\r\n");
    const ToolRun r = print("out.bin");
    EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("列印記錄簿 " + home.file("no/such/folder/Pelmar.journal")))
        << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(home.file("out.bin")));
}

} // namespace
