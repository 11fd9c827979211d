#include "shell/app/run_report.h"

#include "common/run_error.h"
#include "shell/app/exit_status.h"
#include "shell/app/print_commands.h"
#include "shell/app/startup.h"
#include "shell/shell_fakes.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using common::MessageIcon;

// items.txt holds two records with the quantities 2 and 1.
TEST(RunReport, TheStatusLineTellsLabelsAndRecordsHoweverTheRunEnds) {
    enum class Stop { None, NoStatus, Cancel, PortFails };
    struct Case {
        const char* name;
        int printMode;
        int across;
        Stop stop;
        FlowEnd end;
        QString status;
    } cases[] = {
        {"command mode", 0, 1, Stop::None, FlowEnd::Printed, "列印完成 3 張標籤, 2 筆資料"},
        // Nothing confirmed the labels came out.
        {"command mode, printer without status", 0, 1, Stop::NoStatus, FlowEnd::Printed,
         "已送出 3 張標籤, 2 筆資料"},
        // Each set carries two labels side by side: 1 set for 2, 1 set for 1.
        {"command mode, two across", 0, 2, Stop::None, FlowEnd::Printed,
         "列印完成 4 張標籤, 2 筆資料"},
        {"driver mode", 1, 1, Stop::None, FlowEnd::Printed, "列印完成 3 張標籤, 2 筆資料"},
        {"cancelled after the first record", 0, 1, Stop::Cancel, FlowEnd::Cancelled,
         "列印已取消, 已列印 2 張標籤, 1 筆資料"},
        {"port failing at the second record", 0, 1, Stop::PortFails, FlowEnd::PrintError,
         "列印中斷, 已列印 2 張標籤, 1 筆資料"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ShellFixture f;
        f.writeStandardSettings(1, 0, c.printMode);
        if (c.across != 1)
            f.home.write("Pelmar.INI", f.home.read("Pelmar.INI") + "[Label]\r\nAcross=" +
                                           QByteArray::number(c.across) + "\r\n");
        if (c.stop == Stop::None)
            f.library.statuses = {0}; // the printer confirms each record printed
        if (c.stop == Stop::Cancel)
            f.clock.onEvents = [&f] { cmdDelete_Click(f.state); };
        if (c.stop == Stop::PortFails)
            f.library.onCall = [](const QString& call) {
                if (call.startsWith("printlabel|1"))
                    throw common::RunError(482, "port closed");
            };
        AppContext context = f.context();
        const FlowResult result = Form_Load(context);
        EXPECT_EQ(result.end, c.end);
        ASSERT_FALSE(f.window.starting("msg:").isEmpty());
        EXPECT_EQ(f.window.starting("msg:").last(), "msg:[自動列印]  " + c.status);
        // Only a failure has a message of its own, the run's.
        EXPECT_EQ(f.messages.shown.size(), c.stop == Stop::PortFails ? 1u : 0u);
    }
}

TEST(RunReport, EveryRecordLeftOutAndEveryWarningIsListedAfterTheRun) {
    struct Case {
        const char* name;
        std::vector<common::LeftOutRecord> leftOut;
        QStringList warnings;
        QString message; // empty: no message
        QString statusTail;
    } cases[] = {
        {"nothing to tell", {}, {}, "", ""},
        {"records left out",
         {{3, "", "數量小於 1: -3"}, {7, "VBarcode 2", "含有控制字元"}},
         {},
         "下列資料未列印 (2 筆):\r第 3 筆: 數量小於 1: -3\r第 7 筆 VBarcode 2: 含有控制字元",
         ", 2 筆資料未列印"},
        {"warnings of the virtual printer",
         {},
         {"line 9: BOX: thickness 0"},
         "警告 (1 則):\rline 9: BOX: thickness 0",
         ", 1 則警告"},
        {"both",
         {{2, "", "數量小於 1: 0"}},
         {"line 4: TEXT: font 0", "line 12: PUTPCX: no picture"},
         "下列資料未列印 (1 筆):\r第 2 筆: 數量小於 1: 0\r警告 (2 則):\r"
         "line 4: TEXT: font 0\rline 12: PUTPCX: no picture",
         ", 1 筆資料未列印, 2 則警告"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ShellFixture f;
        AppContext context = f.context();
        FlowResult result;
        result.end = FlowEnd::Printed;
        result.tally.labels = 5;
        result.tally.records = 4;
        result.tally.leftOut = c.leftOut;
        result.tally.warnings = c.warnings;
        reportRun(context, result);
        EXPECT_EQ(f.window.events,
                  QStringList{"msg:[自動列印]  列印完成 5 張標籤, 4 筆資料" + c.statusTail});
        if (c.message.isEmpty()) {
            EXPECT_TRUE(f.messages.shown.empty());
            continue;
        }
        ASSERT_TRUE(test::shownOnce(f.messages, c.message, "列印結果", MessageIcon::Exclamation));
    }
}

// The virtual printer draws what it can; a command it ignores is a warning that the run must not
// swallow.
TEST(RunReport, WarningsOfTheVirtualPrinterReachTheOperator) {
    test::ShellFixture f;
    f.writeStandardSettings();
    f.home.write("PRICE.FMT", "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                              "PrintDarken=8\r\nV_Text=120,20,48,0,0,0,Arial,1\r\nDirection=2\r\n");
    AppContext context = f.context();
    // The real library on the virtual printer's port.
    context.libraryFactory = {};
    context.printerOverride = "preview:" + f.home.file("out");
    const FlowResult result = Form_Load(context);
    ASSERT_EQ(result.end, FlowEnd::Printed)
        << (f.messages.shown.empty() ? "" : f.messages.shown[0].text.toStdString());
    ASSERT_EQ(result.tally.warnings.size(), 1) << result.tally.warnings.join('\n').toStdString();
    EXPECT_TRUE(result.tally.warnings[0].contains("DIRECTION: values are 0 or 1"));
    EXPECT_EQ(exitStatus(result), kExitWarnings);
    EXPECT_EQ(f.window.starting("msg:").last(),
              "msg:[自動列印]  列印完成 3 張標籤, 2 筆資料, 1 則警告");
    ASSERT_TRUE(test::shownOnce(f.messages, "警告 (1 則):\r" + result.tally.warnings[0]));
    // Both labels were drawn, without the picture.
    EXPECT_TRUE(QFile::exists(f.home.file("out/label-00002.png")));
}

// Settings that cannot be written after the run must not read as "nothing printed": a retry
// would print every label a second time.
TEST(RunReport, UnwritableSettingsAfterTheRunSayTheLabelsWerePrinted) {
    struct Case {
        const char* name;
        bool printButton;
        bool realSaver; // the real SaveRunSettings refusing a data path the code page lacks
        QString caption;
    } cases[] = {
        {"automatic printing", false, false, "發生錯誤"},
        {"print button", true, false, "cmdPrint->發生非預期錯誤"},
        {"automatic printing, path beyond the code page", false, true, "發生錯誤"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::ShellFixture f;
        f.writeStandardSettings(c.printButton ? 2 : 1);
        const QString before = f.settingsText();
        AppContext context = f.context();
        QString description = common::errorDescription(common::PathFileAccessError);
        if (c.realSaver) {
            const QString path =
                f.home.write(QStringLiteral("ก.txt"), "APPLE,10,2\r\nPEAR,20,1\r\n");
            context.dataFileOverride = path;
            description = QStringLiteral("「%1」").arg(path);
        } else {
            context.saveRunSettings = [](state::WorkingState&) {
                throw common::RunError(common::PathFileAccessError);
            };
        }
        FlowResult result = Form_Load(context);
        if (c.printButton) {
            ASSERT_EQ(result.end, FlowEnd::PrintPanel);
            f.window.selected = "SHELF.FMT";
            result = cmdPrint_Click(context);
        }
        EXPECT_EQ(result.end, FlowEnd::Printed);
        EXPECT_TRUE(result.settingsNotSaved);
        EXPECT_TRUE(result.programEnds);
        EXPECT_EQ(exitStatus(result), kExitSettingsNotSaved);
        EXPECT_EQ(f.library.named("printlabel").size(), 2);
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].caption, c.caption);
        EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_TRUE(f.messages.shown[0].text.startsWith(
            "標籤已列印 (3 張標籤, 2 筆資料), 但設定檔無法儲存:\r"))
            << f.messages.shown[0].text.toStdString();
        EXPECT_TRUE(f.messages.shown[0].text.contains(description))
            << f.messages.shown[0].text.toStdString();
        EXPECT_EQ(f.settingsText(), before);
    }
}

TEST(ExitStatus, FailuresOutrankWhatAPrintedRunAdds) {
    const common::LeftOutRecord zero{2, "", "數量小於 1: 0"};
    struct Case {
        const char* name;
        FlowEnd end;
        bool leftOut;
        bool warnings;
        bool notSaved;
        int status;
        bool inDoubt = false;
    } cases[] = {
        {"printed", FlowEnd::Printed, false, false, false, 0},
        {"records left out", FlowEnd::Printed, true, false, false, 7},
        {"warnings", FlowEnd::Printed, false, true, false, 8},
        {"settings not saved", FlowEnd::Printed, false, false, true, 9},
        {"left out before settings", FlowEnd::Printed, true, false, true, 7},
        {"settings before warnings", FlowEnd::Printed, false, true, true, 9},
        {"all three", FlowEnd::Printed, true, true, true, 7},
        {"cancelled with records left out", FlowEnd::Cancelled, true, true, true, 6},
        {"data error after labels", FlowEnd::DataError, true, false, false, 3},
        {"printer failure", FlowEnd::PrintError, false, true, true, 5},
        {"window stays", FlowEnd::Interactive, false, false, false, 0},
        {"in doubt before all three", FlowEnd::Printed, true, true, true, 10, true},
        {"failure before in doubt", FlowEnd::PrintError, false, false, false, 5, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FlowResult result;
        result.end = c.end;
        if (c.leftOut)
            result.tally.leftOut.push_back(zero);
        if (c.warnings)
            result.tally.warnings << QStringLiteral("line 3: BOX: thickness 0");
        result.settingsNotSaved = c.notSaved;
        if (c.inDoubt)
            result.tally.inDoubt = {4};
        EXPECT_EQ(exitStatus(result), c.status);
    }
}

} // namespace
} // namespace pelmar::app
