// pelmar-print and its journal on a file: port: reprints from the journal's copies, the journal
// as JSON lines, a run taken up again after a crash, and a journal that cannot be written.
#include "journal/journal.h"
#include "support/pelmar_print_run.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <gtest/gtest.h>

namespace {

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
    // Every line of standard output as a JSON object.
    static std::vector<QJsonObject> jsonLines(const QString& out) {
        std::vector<QJsonObject> objects;
        for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) {
            QJsonParseError error;
            const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            objects.push_back(document.object());
        }
        return objects;
    }
    pelmar::test::TempFolder home;
};

TEST_F(JournalReprintTest, AReprintPrintsTheRunsOwnBytesEvenAfterTheFormatChanged) {
    ASSERT_EQ(print("whole.bin").exitCode, 0);                       // run 1
    ASSERT_EQ(print("range.bin", {"--records", "2-3"}).exitCode, 0); // run 2
    writeFormat("V_Text=20,20,48,0,0,0,Arial,2\r\n");
    ASSERT_EQ(print("changed.bin", {"--records", "2-3"}).exitCode, 0); // run 3
    ASSERT_NE(home.read("changed.bin"), home.read("range.bin"));
    struct Row {
        QStringList options;
        int reprinted;
    };
    const Row rows[] = {{{"--reprint", "1", "--records", "2-3"}, 1}, {{"--reprint", "2"}, 2}};
    int file = 0;
    for (const Row& row : rows) {
        const QString to = QStringLiteral("reprint%1.bin").arg(++file);
        const ToolRun r = print(to, row.options);
        EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        EXPECT_EQ(home.read(to), home.read("range.bin")) << row.options.join(' ').toStdString();
    }

    const ToolRun listed = tool({"--journal", "--json"});
    ASSERT_EQ(listed.exitCode, 0) << listed.err.toStdString();
    const std::vector<QJsonObject> runs = jsonLines(listed.out);
    ASSERT_EQ(runs.size(), 5u);
    const int newestFirst[] = {5, 4, 3, 2, 1}, reprintOf[] = {2, 1, 0, 0, 0};
    const int labels[] = {4, 4, 4, 4, 6}, records[] = {2, 2, 2, 2, 3};
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const QJsonObject& run = runs[i];
        EXPECT_EQ(run["run"].toInt(), newestFirst[i]);
        EXPECT_EQ(run["file"].toString(), "items.txt");
        EXPECT_EQ(run["state"].toString(), "finished");
        EXPECT_EQ(run["outcome"].toString(), "printed");
        EXPECT_EQ(run["labels"].toInt(), labels[i]);
        EXPECT_EQ(run["records"].toInt(), records[i]);
        EXPECT_EQ(run["reprint_of"].toInt(), reprintOf[i]);
        EXPECT_EQ(run["source"].toString(), reprintOf[i] ? "reprint" : "command");
    }
    const std::vector<QJsonObject> recordsOfFirst =
        jsonLines(tool({"--journal", "1", "--json"}).out);
    ASSERT_EQ(recordsOfFirst.size(), 3u);
    const int quantities[] = {2, 1, 3};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(recordsOfFirst[i]["run"].toInt(), 1);
        EXPECT_EQ(recordsOfFirst[i]["record"].toInt(), i + 1);
        EXPECT_EQ(recordsOfFirst[i]["quantity"].toInt(), quantities[i]);
        EXPECT_EQ(recordsOfFirst[i]["state"].toString(), "sent"); // a file: port cannot confirm
    }
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

    QStringList states;
    for (const QJsonObject& record : jsonLines(tool({"--journal", "1", "--json"}).out))
        states << record["state"].toString();
    EXPECT_EQ(states, (QStringList{"sent", "in-doubt", "sent"}));
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
