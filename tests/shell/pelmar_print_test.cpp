// pelmar-print run as a program in temporary program folders: the trace and the bytes at the
// port, the settings file afterwards, standard error and the exit status.
#include "support/temp_folder.h"

#include "shell/app/program_arguments.h"
#include "support/loopback_listener.h"
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <arpa/inet.h>
#include <atomic>
#include <functional>

#include <gtest/gtest.h>
#include <mutex>
#include <netinet/in.h>
#include <optional>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

const QString kTool = QStringLiteral(PELMAR_BINARY_DIR "/bin/pelmar-print");

using pelmar::test::Listener;

// A loopback port that nobody listens on.
int closedPort() {
    Listener listener;
    return listener.port();
}

struct ToolRun {
    int exitCode = -1;
    QString err;
    QString out;
};

// A program folder with a data file of three fields and a command-mode format.
class PelmarPrintTest : public ::testing::Test {
public:
    void SetUp() override {
        home().write("items.txt", "APPLE,10,2\r\nPEAR,20,1\r\nFIG,30,3\r\n");
        home().write("PRICE.FMT",
                     "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                     "PrintDarken=8\r\nV_Text=120,20,48,0,0,0,Arial,1\r\n"
                     "V_Text=20,80,24,0,0,0,Arial,2+\r\n");
        home().write("SHELF.FMT", "LabelWidth=50\r\nLabelHeight=30\r\nPrintSpeed=4\r\n"
                                  "LabelGap=2\r\nPrintDarken=8\r\n"
                                  "V_Barcode=20,100,128,80,2,0,2,4,1\r\n");
        home().write("DRV.FMT",
                     "LabelWidth=60\r\nLabelHeight=40\r\nV_Text=120,20,12,0,0,Arial,1\r\n");
    }

    // Pelmar.INI; `extra` lines go to section [Fields] after the standard keys.
    void writeSettings(const QString& formats = "LabelCount=1\r\nLabelName01=PRICE.FMT",
                       int printMode = 0, const QString& fields = "EditPrice=0") {
        const QString text = "[Files]\r\nTextFileName=" + home().file("items.txt") + "\r\n" +
                             formats + "\r\n[Printer]\r\nPrintMode=" + QString::number(printMode) +
                             "\r\nPrinterName=TSC Trace\r\n[Ports]\r\nTSC Trace=trace:trace.txt\r\n"
                             "TSC File=file:out.bin\r\n[Fields]\r\nDelimiter=,\r\n" +
                             fields +
                             "\r\nEditPriceField=2\r\nFieldCount=3\r\nField01=N,1,10,0,0\r\n"
                             "Field02=P,1,10,0,0\r\nField03=Q,1,10,0,0\r\n";
        home().write("Pelmar.INI", text.toUtf8());
        settingsBefore = home().read("Pelmar.INI");
    }

    ToolRun run(const QStringList& arguments, const std::function<void(QProcess&)>& during = {}) {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("PELMAR_HOME", home().path());
        env.insert("QT_QPA_PLATFORM", "offscreen");
        // No CUPS queues: only the printers of section [Ports].
        env.insert("CUPS_SERVER", QStringLiteral("127.0.0.1:%1").arg(closedPort()));
        process.setProcessEnvironment(env);
        if (asNobody) {
            // The superuser writes into read-only folders; an ordinary user does not.
            process.setChildProcessModifier([] {
                if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                    ::_exit(99);
            });
        }
        process.start(kTool, arguments);
        EXPECT_TRUE(process.waitForStarted());
        if (during)
            during(process);
        EXPECT_TRUE(process.waitForFinished(60000));
        ToolRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.err = QString::fromUtf8(process.readAllStandardError());
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        return result;
    }

    QStringList traceCalls(const QString& name) const {
        QStringList calls;
        for (const QString& line : QString::fromUtf8(home().read("trace.txt")).split(u'\n'))
            if (line == name || line.startsWith(name + u'\t'))
                calls << line;
        return calls;
    }

    pelmar::test::TempFolder& home() { return *m_home; }
    const pelmar::test::TempFolder& home() const { return *m_home; }
    // A fresh program folder.
    void renew() {
        m_home.emplace();
        SetUp();
    }

    QByteArray settingsBefore;
    bool asNobody = false;

private:
    std::optional<pelmar::test::TempFolder> m_home{std::in_place};
};

TEST_F(PelmarPrintTest, PrintsToTheTracePrinterAndWritesTheRunSettings) {
    ASSERT_TRUE(QFile::exists(kTool));
    writeSettings();
    const ToolRun r = run({});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(traceCalls("printlabel"),
              (QStringList{"printlabel\t2\t1", "printlabel\t1\t1", "printlabel\t3\t1"}));
    EXPECT_EQ(traceCalls("closeport").size(), 1);
    EXPECT_TRUE(r.err.contains("record 1 of 3\n")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("record 3 of 3\n"));
    // Quantities 2, 1 and 3: six labels from three records.
    EXPECT_TRUE(r.err.contains("pelmar-print: 6 label(s) from 3 record(s) printed\n"))
        << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("status: [自動列印]  列印完成 6 張標籤, 3 筆資料\n"));
    const QByteArray settings = home().read("Pelmar.INI");
    EXPECT_TRUE(settings.contains("ADPrice=0\r\n"));
    EXPECT_TRUE(
        settings.startsWith("[Files]\r\nTextFileName=" + home().file("items.txt").toUtf8()));
}

// A record that prints nothing is named at the end and changes the status; a quantity beyond
// 16 bits is the data's fault, not the printer's.
TEST_F(PelmarPrintTest, RecordsLeftOutAndAnOverflowingQuantityAreTheDatasFault) {
    struct Case {
        const char* name;
        QByteArray data;
        int exitCode;
        QStringList said;
        int printed; // printlabel calls
    } cases[] = {
        {"quantity below 1",
         "APPLE,10,2\r\nPEAR,20,-3\r\nFIG,30,3\r\n",
         7,
         {"列印結果: 下列資料未列印 (1 筆):\n第 2 筆", "-3",
          "5 label(s) from 2 record(s) printed; 1 record(s) left out\n"},
         2},
        {"quantity over 32,767",
         "APPLE,10,2\r\nPEAR,20,40000\r\nFIG,30,3\r\n",
         3,
         {"PrintLabels -> 發生錯誤: ", "40000",
          "a record's data stopped the run; 2 label(s) from 1 record(s) printed before\n"},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renew();
        writeSettings();
        home().write("items.txt", c.data);
        const ToolRun r = run({});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        for (const QString& text : c.said)
            EXPECT_TRUE(r.err.contains(text)) << text.toStdString() << "\n" << r.err.toStdString();
        EXPECT_EQ(traceCalls("printlabel").size(), c.printed);
    }
}

// A script that retries on failure must not print the labels twice: settings that cannot be
// written after printing have a status of their own.
TEST_F(PelmarPrintTest, SettingsNotSavedAfterPrintingHaveTheirOwnStatus) {
    enum class Spoil { DataPathBeyondTheCodePage, ReadOnlyFolder };
    for (const Spoil spoil : {Spoil::DataPathBeyondTheCodePage, Spoil::ReadOnlyFolder}) {
        SCOPED_TRACE(int(spoil));
        renew();
        writeSettings();
        pelmar::test::TempFolder output;
        const QString trace = output.file("trace.txt");
        QStringList arguments{"--printer", "trace:" + trace};
        if (spoil == Spoil::DataPathBeyondTheCodePage) {
            // Big5 has no Thai letters: the next start could not read the name back.
            arguments << "--data" << home().write("ก.txt", "KIWI,5,4\r\n");
        } else {
            // A read-only program folder keeps its journal elsewhere.
            writeSettings("LabelCount=1\r\nLabelName01=PRICE.FMT\r\nJournalFile=" +
                          output.file("Pelmar.journal"));
            QFile::setPermissions(output.path(),
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                      QFileDevice::ExeOwner | QFileDevice::ReadOther |
                                      QFileDevice::WriteOther | QFileDevice::ExeOther);
            QFile::setPermissions(home().path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                                     QFileDevice::ReadOther |
                                                     QFileDevice::ExeOther);
            asNobody = ::geteuid() == 0;
        }
        const ToolRun r = run(arguments);
        asNobody = false;
        QFile::setPermissions(home().path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                 QFileDevice::ExeOwner);
        EXPECT_EQ(r.exitCode, 9) << r.err.toStdString();
        const int labels = spoil == Spoil::ReadOnlyFolder ? 6 : 4;
        const int records = spoil == Spoil::ReadOnlyFolder ? 3 : 1;
        EXPECT_TRUE(
            r.err.contains(QStringLiteral("標籤已列印 (%1 張標籤, %2 筆資料), 但設定檔無法儲存:\n")
                               .arg(labels)
                               .arg(records)))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("%1 label(s) from %2 record(s) printed; the "
                                                  "settings could not be saved: do not print "
                                                  "again")
                                       .arg(labels)
                                       .arg(records)))
            << r.err.toStdString();
        EXPECT_FALSE(r.err.contains("nothing printed"));
        EXPECT_EQ(QString::fromUtf8(output.read("trace.txt")).count("printlabel\t"), records);
        EXPECT_EQ(home().read("Pelmar.INI"), settingsBefore);
    }
}

TEST_F(PelmarPrintTest, WarningsOfTheVirtualPrinterAreToldAndHaveTheirOwnStatus) {
    writeSettings();
    home().write("PRICE.FMT", "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                              "PrintDarken=8\r\nV_Text=120,20,48,0,0,0,Arial,1\r\nDirection=2\r\n");
    const ToolRun r = run({"--printer", "preview:labels"});
    EXPECT_EQ(r.exitCode, 8) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("列印結果: 警告 (1 則):\nline ")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("DIRECTION: values are 0 or 1; command ignored\n"));
    EXPECT_TRUE(r.err.contains(
        "6 label(s) from 3 record(s) printed; 1 warning(s) of the format or the printer output\n"));
    EXPECT_TRUE(QFile::exists(home().file("labels/label-00006.png")));
}

TEST_F(PelmarPrintTest, FilePrinterReceivesTheTsplBytes) {
    writeSettings();
    const ToolRun r = run({"--printer", "file:" + home().file("raw.bin")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QByteArray bytes = home().read("raw.bin");
    EXPECT_TRUE(bytes.startsWith("SIZE 60 mm,40 mm\r\n"));
    EXPECT_EQ(bytes.count("CLS\r\n"), 3);
    EXPECT_TRUE(bytes.contains("PRINT 2,1\r\nSIZE"));
    EXPECT_TRUE(bytes.endsWith("PRINT 3,1\r\n"));
    EXPECT_FALSE(QFile::exists(home().file("trace.txt")));
}

// A field holding line ends cannot start printer commands: a barcode, which cannot carry them,
// leaves its record out; a PDF417 carries them inside its counted content.
TEST_F(PelmarPrintTest, DataWithLineEndsStartsNoPrinterCommand) {
    struct Case {
        const char* name;
        const char* element;
        int exitCode;
        int prints;            // PRINT commands, each after a command's CR LF
        QByteArray dataOnWire; // the field's bytes, where a command carries them
    } cases[] = {
        {"barcode", "V_Barcode=20,100,128,80,2,0,2,4,1", 7, 2, {}},
        {"pdf417", "PDF417=300,100,200,200,0,E4,W3,H3,R0,C5,1", 0, 3, "x\nPRINT 5\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renew();
        writeSettings();
        home().write("PRICE.FMT", QByteArray("LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\n"
                                             "PrintSpeed=4\r\nPrintDarken=8\r\n") +
                                      c.element + "\r\n");
        // The first field keeps 10 bytes: "x\nPRINT 5\n".
        home().write("items.txt", "x\nPRINT 5\nREM,10,2\r\nPEAR,20,1\r\nFIG,30,3\r\n");
        const ToolRun r = run({"--printer", "file:" + home().file("raw.bin")});
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        const QByteArray bytes = home().read("raw.bin");
        EXPECT_EQ(bytes.count("\r\nPRINT "), c.prints) << bytes.toStdString();
        EXPECT_FALSE(bytes.contains("\r\nPRINT 5")) << bytes.toStdString();
        if (c.dataOnWire.isEmpty())
            EXPECT_FALSE(bytes.contains("PRINT 5")) << bytes.toStdString();
        else
            EXPECT_TRUE(bytes.contains(c.dataOnWire)) << bytes.toStdString();
    }
}

TEST_F(PelmarPrintTest, DataOptionReplacesTheDataFileAndIsWrittenBack) {
    writeSettings();
    home().write("sub/Week 12.csv", "KIWI,5,4\r\n");
    const ToolRun r = run({"--home", home().path(), "--data", home().file("sub/Week 12.csv")});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_EQ(traceCalls("printlabel"), QStringList{"printlabel\t4\t1"});
    EXPECT_TRUE(home()
                    .read("Pelmar.INI")
                    .contains("TextFileName=" + home().file("sub/Week 12.csv").toUtf8()));
}

TEST_F(PelmarPrintTest, PrintPanelChoicesComeFromOptions) {
    const QString two = "LabelCount=2\r\nLabelName01=PRICE.FMT\r\nLabelName02=SHELF.FMT";
    struct Case {
        QString formats;
        QString fields;
        QStringList arguments;
        int exitCode;
        QString said;
    } cases[] = {
        {two, "EditPrice=0", {}, 2, "選擇了數個格式 (PRICE.FMT, SHELF.FMT)"},
        {two, "EditPrice=0", {"--format", "NONE.FMT"}, 2, "沒有選擇格式 NONE.FMT"},
        {two, "EditPrice=0", {"--format", "shelf.fmt"}, 0, "format: SHELF.FMT"},
        {two, "EditPrice=0", {"--format", "SHELF.FMT", "--price", "3"}, 2, "--price 需要"},
        {"LabelCount=1\r\nLabelName01=PRICE.FMT",
         "EditPrice=1\r\nADPrice=5",
         {"--price", "42"},
         0,
         "售價調整 +42 (第 2 欄)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QFile::remove(home().file("trace.txt"));
        writeSettings(c.formats, 0, c.fields);
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
        EXPECT_EQ(QFile::exists(home().file("trace.txt")), c.exitCode == 0);
        if (c.exitCode != 0) {
            EXPECT_EQ(home().read("Pelmar.INI"), settingsBefore);
        }
    }
    // Last case: the adjusted price is printed ("2+" adds ADPrice) and kept in the settings.
    EXPECT_TRUE(home().read("trace.txt").contains("\tArial\t52\n"));
    EXPECT_TRUE(home().read("Pelmar.INI").contains("ADPrice=42\r\n"));
}

TEST_F(PelmarPrintTest, DriverModeWritesAPdfAndLeavesTheSettings) {
    writeSettings("LabelCount=1\r\nLabelName01=DRV.FMT", 1);
    const ToolRun missing = run({});
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("--output FILE.pdf 或 --printer"));

    const ToolRun wrongMode = run({"--output", home().file("x.pdf")});
    EXPECT_EQ(wrongMode.exitCode, 0) << wrongMode.err.toStdString();
    const QByteArray pdf = home().read("x.pdf");
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "),
              6)
        << "three records, 2 + 1 + 3 copies";
    EXPECT_EQ(home().read("Pelmar.INI"), settingsBefore);
}

TEST_F(PelmarPrintTest, OutputIsRefusedInCommandMode) {
    writeSettings();
    const ToolRun r = run({"--output", home().file("x.pdf")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_TRUE(r.err.contains("--output 只用於 Driver 模式"));
    EXPECT_FALSE(QFile::exists(home().file("x.pdf")));
}

TEST_F(PelmarPrintTest, DryRunTellsWithoutOpeningThePortOrWritingSettings) {
    writeSettings();
    const ToolRun r = run({"--dry-run"});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("record 3 of 3: FIG | quantity \"3\"")) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("dry run: 3 record(s), 6 label(s) would be printed with PRICE.FMT"));
    EXPECT_FALSE(QFile::exists(home().file("trace.txt")));
    EXPECT_EQ(home().read("Pelmar.INI"), settingsBefore);
}

// A dry run that approves what the real run refuses is worse than none.
TEST_F(PelmarPrintTest, DryRunRefusesWhatTheRealRunRefuses) {
    struct Case {
        const char* name;
        QByteArray element;
        QString said;
    } cases[] = {
        {"box thickness 0", "Box=10,10,200,200,0", "線寬必須大於 0"},
        {"font size 0", "V_Text=120,20,0,0,0,Arial,1", "字級必須大於 0"},
        {"unreadable picture", "Graphic=10,10,10,10,BAD.BMP", "圖檔 BAD.BMP 已損壞"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renew();
        writeSettings("LabelCount=1\r\nLabelName01=DRV.FMT", 1);
        home().write("BAD.BMP", "BM not a picture");
        home().write("DRV.FMT", "LabelWidth=60\r\nLabelHeight=40\r\n" + c.element + "\r\n");
        const ToolRun real = run({"--output", home().file("x.pdf")});
        const ToolRun dry = run({"--dry-run"});
        EXPECT_EQ(real.exitCode, 4) << real.err.toStdString();
        EXPECT_EQ(dry.exitCode, real.exitCode) << dry.err.toStdString();
        for (const ToolRun* r : {&real, &dry})
            EXPECT_TRUE(r->err.contains("發生非預期錯誤: 格式檔有 1 個錯誤") &&
                        r->err.contains(c.said))
                << r->err.toStdString();
        EXPECT_TRUE(dry.err.contains("dry run: the real run would end here (exit status 4)"));
        EXPECT_FALSE(dry.err.contains("would be printed"));
        EXPECT_EQ(home().read("Pelmar.INI"), settingsBefore);
    }
}

TEST_F(PelmarPrintTest, BadInputGivesItsMessageAndStatus) {
    struct Case {
        const char* name;
        std::function<void(PelmarPrintTest&)> prepare;
        QStringList arguments;
        int exitCode;
        QString said;
    } cases[] = {
        {"missing folder",
         [](PelmarPrintTest&) {},
         {"--home", "/nonexistent/pelmar"},
         2,
         "程式資料夾 /nonexistent/pelmar 不存在"},
        {"settings unreadable",
         [](PelmarPrintTest& t) {
             QFile::remove(t.home().file("Pelmar.INI"));
             t.home().write("Pelmar.INI/x", "");
         },
         {},
         2,
         "發生錯誤: "},
        {"data unreadable",
         [](PelmarPrintTest& t) { QFile::remove(t.home().file("items.txt")); },
         {},
         3,
         ""},
        {"format missing",
         [](PelmarPrintTest& t) { QFile::remove(t.home().file("PRICE.FMT")); },
         {},
         4,
         "格式檔名=PRICE.FMT"},
        {"unknown printer",
         [](PelmarPrintTest&) {},
         {"--printer", "NoSuchQueue"},
         5,
         "PrintLabels -> 發生錯誤: "},
        {"refused connection",
         [](PelmarPrintTest&) {},
         {"--printer", QStringLiteral("socket://127.0.0.1:%1").arg(closedPort())},
         5,
         "PrintLabels -> 發生錯誤: "},
        {"unknown option", [](PelmarPrintTest&) {}, {"--colour"}, 2, "不明的引數「--colour」"},
        {"preview folder under a file",
         [](PelmarPrintTest&) {},
         {"--preview", "/dev/null/pictures"},
         5,
         "無法寫入預覽資料夾 /dev/null/pictures: "},
        {"from beyond the data",
         [](PelmarPrintTest&) {},
         {"--from", "4"},
         3,
         "沒有第 4 筆資料: 資料檔只有 3 筆"},
        {"empty data file",
         [](PelmarPrintTest& t) { t.home().write("items.txt", ""); },
         {},
         0,
         "nothing to print"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        renew();
        writeSettings();
        c.prepare(*this);
        const ToolRun r = run(c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(c.said)) << r.err.toStdString();
        EXPECT_TRUE(traceCalls("printlabel").isEmpty());
        EXPECT_FALSE(r.err.contains(" label(s) printed")) << r.err.toStdString();
    }
}

// A printer on loopback that takes the first bytes of the run and hangs up.
TEST_F(PelmarPrintTest, PrinterClosingTheConnectionStopsTheRun) {
    Listener listener;
    std::atomic<long> received{0};
    std::thread printer([&] {
        const int connection = listener.accept();
        char buffer[4096];
        received = ::read(connection, buffer, sizeof buffer);
        ::close(connection);
    });
    // Many records, so that the run writes long after the hang-up.
    QByteArray lines;
    for (int i = 0; i < 2000; ++i)
        lines += "ITEM" + QByteArray::number(i) + ",1,1\r\n";
    writeSettings();
    home().write("items.txt", lines);
    const ToolRun r = run({"--printer", listener.address()});
    printer.join();
    EXPECT_EQ(r.exitCode, 5) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("PrintLabels -> 發生錯誤: ")) << r.err.toStdString();
    EXPECT_FALSE(r.err.contains("2000 label(s) printed"));
    EXPECT_GT(received.load(), 0);
}

TEST_F(PelmarPrintTest, SigtermCancelsAtTheNextCancelPointAndClosesThePort) {
    // A socket printer is paced: the run waits seconds after each label, where it is cancelled.
    Listener listener;
    std::mutex mutex;
    QByteArray bytes;
    std::thread printer([&] {
        const int connection = listener.accept();
        char buffer[4096];
        ssize_t n;
        while ((n = ::read(connection, buffer, sizeof buffer)) > 0) {
            const std::lock_guard<std::mutex> lock(mutex);
            bytes.append(buffer, n);
        }
        ::close(connection);
    });
    writeSettings();
    const ToolRun r = run({"--printer", listener.address()}, [&](QProcess& process) {
        for (int i = 0; i < 1000; ++i) {
            {
                const std::lock_guard<std::mutex> lock(mutex);
                if (bytes.contains("PRINT 2,1\r\n"))
                    break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        process.terminate();
    });
    printer.join(); // the port was closed: the printer saw the end of the connection
    EXPECT_EQ(r.exitCode, 6) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains("cancelled; 2 label(s) from 1 record(s) printed before"))
        << r.err.toStdString();
    EXPECT_EQ(bytes.count("PRINT "), 1);
    // Cancelled runs still write the run settings, as the print button does.
    EXPECT_TRUE(home().read("Pelmar.INI").contains("ADPrice=0\r\n"));
}

// The source text of a documentation file of the repository.
QString sourceText(const char* path) {
    QFile file(QStringLiteral(PELMAR_SOURCE_DIR "/") + QLatin1String(path));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << path;
    return QString::fromUtf8(file.readAll());
}

// A script author reads one of them; each must name every status the tool can end with, and the
// manual pages every option that --help names.
TEST_F(PelmarPrintTest, EveryExitStatusAndOptionIsDocumentedInTheHelpTheManualAndTheReadme) {
    const QString help = run({"--help"}).out;
    const QString man = sourceText("data/man/pelmar-print.1");
    for (const int status : {0, 2, 3, 4, 5, 6, 7, 8, 9, 10}) {
        SCOPED_TRACE(status);
        const QString n = QString::number(status);
        EXPECT_TRUE(help.contains(QRegularExpression("[:,] " + n + " [a-z(]")));
        EXPECT_TRUE(man.contains(".TP\n.B " + n + "\n"));
        for (const char* table : {"README.md", "docs/pelmar-print.md"})
            EXPECT_TRUE(sourceText(table).contains("\n| " + n + " | ")) << table;
    }
    const QRegularExpression option(QStringLiteral("(?<![\\w-])--?[A-Za-z][A-Za-z-]*"));
    for (const auto& [usage, page] :
         {std::pair{help, man}, {pelmar::app::pelmarUsage(), sourceText("data/man/pelmar.1")}}) {
        const QString manual = QString(page).replace(QStringLiteral("\\-"), QStringLiteral("-"));
        for (const auto& found : option.globalMatch(usage)) {
            const QString name = QRegularExpression::escape(found.captured());
            EXPECT_TRUE(manual.contains(QRegularExpression("(?<![\\w-])" + name + "(?![\\w-])")))
                << found.captured().toStdString();
        }
    }
}

TEST_F(PelmarPrintTest, HelpGoesToStandardOutput) {
    const ToolRun r = run({"--help"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith("usage: pelmar-print"));
}

} // namespace
