#include "shell/app/print_commands.h"

#include "common/run_error.h"
#include "shell/app/exit_status.h"
#include "shell/app/startup.h"
#include "shell/app/test_print_command.h"
#include "shell/shell_fakes.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using common::MessageIcon;

// The print panel opened by start-up, ready for the print button.
class PrintButtonTest : public ::testing::Test, public test::ShellFixture {
protected:
    AppContext openPanel(int printMode, QStringList arguments = {}) {
        writeStandardSettings(2, 1, printMode);
        AppContext c = context(std::move(arguments));
        EXPECT_EQ(Form_Load(c).end, FlowEnd::PrintPanel);
        window.events.clear();
        return c;
    }
};

TEST_F(PrintButtonTest, NothingSelectedSaysSoAndChangesNothing) {
    AppContext context = openPanel(0);
    const QString before = settingsText();
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.end, FlowEnd::NoFormatSelected);
    EXPECT_FALSE(result.programEnds);
    ASSERT_TRUE(test::shownOnce(messages, "標籤格式尚未選取, 無法列印.", "開始列印",
                                MessageIcon::Exclamation));
    EXPECT_EQ(window.events, QStringList{"focus:listSelectLabel"});
    EXPECT_TRUE(state.formatFileName.isEmpty());
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(settingsText(), before);
}

TEST_F(PrintButtonTest, CommandModePrintsTheChosenFormatAndSavesTheEditedPrice) {
    AppContext context = openPanel(0);
    window.selected = "SHELF.FMT";
    state.adPrice = 42; // typed into the price box
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.end, FlowEnd::Printed);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(result.tally.labels, 3);
    EXPECT_EQ(result.tally.records, 2);
    EXPECT_EQ(state.formatFileName, "SHELF.FMT");
    EXPECT_EQ(window.events.mid(0, 3), (QStringList{"print:0", "cancel:1", "window:minimized"}));
    EXPECT_TRUE(settingsText().contains("ADPrice=42"));
    EXPECT_TRUE(messages.shown.empty());
}

TEST_F(PrintButtonTest, DriverModeSavesToo) {
    AppContext context = openPanel(1);
    window.selected = "DRV.FMT";
    state.adPrice = 7;
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.end, FlowEnd::Printed);
    EXPECT_EQ(dialog.titles, QStringList{"選擇條碼機Driver"});
    EXPECT_EQ(jobs.size(), 2u);
    EXPECT_TRUE(settingsText().contains("ADPrice=7"));
}

TEST_F(PrintButtonTest, CancelledPrinterDialogRestoresThePanel) {
    AppContext context = openPanel(1);
    window.selected = "DRV.FMT";
    dialog.cancel = true;
    state.adPrice = 9;
    const QString before = settingsText();
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.end, FlowEnd::DialogCancelled);
    EXPECT_FALSE(result.programEnds);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(pageDestinations.empty());
    EXPECT_EQ(state.format.command.vTextElements.count, 0);
    EXPECT_EQ(settingsText(), before);
    EXPECT_EQ(window.events, (QStringList{"print:0", "cancel:1", "window:minimized",
                                          "window:maximized", "activate", "print:1", "cancel:0"}));
    // The operator may choose again.
    dialog.cancel = false;
    EXPECT_EQ(cmdPrint_Click(context).end, FlowEnd::Printed);
    EXPECT_EQ(jobs.size(), 2u);
}

TEST_F(PrintButtonTest, OtherErrorsAreReportedAndEndUnlessExactlyT) {
    struct Case {
        const char* commandLine;
        bool ends;
    } cases[] = {{"", true}, {"/T", false}, {"/T X", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.commandLine);
        AppContext context = openPanel(1);
        messages.shown.clear();
        window.selected = "DRV.FMT";
        state.commandLine = c.commandLine;
        context.pageFactory =
            [](const PrintDestination&) -> std::unique_ptr<print_driver::PrinterPage> {
            throw common::RunError(common::PathFileAccessError);
        };
        const QString before = settingsText();
        const FlowResult result = cmdPrint_Click(context);
        EXPECT_EQ(result.end, FlowEnd::PrintError);
        EXPECT_EQ(settingsText(), before);
        EXPECT_EQ(result.programEnds, c.ends);
        ASSERT_TRUE(test::shownOnce(messages, common::errorDescription(75),
                                    "cmdPrint->發生非預期錯誤", MessageIcon::Critical));
    }
}

TEST_F(PrintButtonTest, AFailureOfAnyKindIsReportedAndNeverEscapes) {
    AppContext context = openPanel(1);
    window.selected = "DRV.FMT";
    context.pageFactory =
        [](const PrintDestination&) -> std::unique_ptr<print_driver::PrinterPage> { throw 42; };
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.end, FlowEnd::PrintError);
    EXPECT_EQ(result.errorNumber, -1);
    ASSERT_TRUE(test::shownOnce(messages, "發生錯誤 -1", "cmdPrint->發生非預期錯誤"));
}

TEST_F(PrintButtonTest, OutputThatCannotBeCompletedIsAPrinterErrorOfTheRun) {
    AppContext context = openPanel(1);
    window.selected = "DRV.FMT";
    context.pageFactory = [this](const PrintDestination&) {
        auto page = std::make_unique<test::KeptRecordingPage>(jobs);
        page->finishError = common::PathFileAccessError;
        return page;
    };
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.end, FlowEnd::PrintError);
    EXPECT_EQ(exitStatus(result), kExitPrinterError);
    ASSERT_TRUE(test::shownOnce(messages, common::errorDescription(common::PathFileAccessError),
                                "PrintLabels_Driver -> 發生錯誤"));
}

TEST_F(PrintButtonTest, CancelButtonStopsTheRunWhichStillSaves) {
    AppContext context = openPanel(0);
    window.selected = "PRICE.FMT";
    state.adPrice = 11;
    clock.onEvents = [this] { cmdDelete_Click(state); };
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.end, FlowEnd::Cancelled);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(library.named("printlabel").size(), 1);
    EXPECT_TRUE(settingsText().contains("ADPrice=11"));
}

// The test-print screen as its button reads it.
TEST_F(PrintButtonTest, FormatWarningsAreToldAndGiveStatus8) {
    AppContext context = openPanel(0);
    home.write("SHELF.FMT", home.read("SHELF.FMT") + "labelwidth=1\r\n");
    window.selected = "SHELF.FMT";
    const FlowResult result = cmdPrint_Click(context);
    EXPECT_EQ(result.tally.labels, 3);
    EXPECT_EQ(result.tally.warnings,
              QStringList{"格式檔 SHELF.FMT 第 7 行 labelwidth=1: 不認得的關鍵字「labelwidth」, "
                          "這行沒有作用 (要寫成 LabelWidth, 大小寫須相符)"});
    EXPECT_EQ(exitStatus(result), kExitWarnings);
}

class FakeTestPrintScreen : public TestPrintScreen {
public:
    QString firstListedFormat() const override { return first; }
    QString quantityText() const override { return quantity; }
    void setFocus(TestPrintFocus target) override { focus << int(target); }
    QString first = QStringLiteral("PRICE.FMT");
    QString quantity = QStringLiteral("3");
    QList<int> focus;
};

class TestPrintButtonTest : public ::testing::Test, public test::ShellFixture {
protected:
    AppContext interactive(int labelCount, int printMode = 0) {
        writeStandardSettings(labelCount, 0, printMode);
        AppContext c = context({"/T"});
        EXPECT_EQ(Form_Load(c).end, FlowEnd::Interactive);
        return c;
    }
    FakeTestPrintScreen screen;
};

TEST_F(TestPrintButtonTest, NoFormatsDoesNothingAtAll) {
    AppContext context = interactive(0);
    screen.quantity.clear();
    EXPECT_EQ(cmdTestPrintOk_Click(context, screen).end, TestPrintEnd::NothingToDo);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(screen.focus.isEmpty());
}

TEST_F(TestPrintButtonTest, MissingChoicesAreSaidInOrder) {
    struct Case {
        int labelCount;
        bool dataFile;
        QString quantity;
        QString message;
        TestPrintFocus focus;
    } cases[] = {
        {2, true, "1", kNoTestFormatMessage, TestPrintFocus::ListLabel},
        {1, false, "1", kNoTestDataMessage, TestPrintFocus::CmdSelDataSource},
        {1, true, "", kNoTestQuantityMessage, TestPrintFocus::TxtTestPrintQty},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.message));
        test::ShellFixture f;
        f.writeStandardSettings(c.labelCount);
        AppContext context = f.context({"/T"});
        Form_Load(context);
        if (!c.dataFile)
            f.state.textFileName.clear();
        FakeTestPrintScreen s;
        s.quantity = c.quantity;
        EXPECT_EQ(cmdTestPrintOk_Click(context, s).end, TestPrintEnd::MissingInput);
        ASSERT_TRUE(test::shownOnce(f.messages, c.message, "試印", MessageIcon::Exclamation));
        EXPECT_EQ(s.focus, QList<int>{int(c.focus)});
        EXPECT_TRUE(f.library.calls.isEmpty());
    }
}

TEST_F(TestPrintButtonTest, SingleFormatIsTakenAndStaysChosen) {
    AppContext context = interactive(1);
    EXPECT_EQ(cmdTestPrintOk_Click(context, screen).end, TestPrintEnd::Printed);
    EXPECT_EQ(state.formatFileName, "PRICE.FMT");
    EXPECT_EQ(library.named("printlabel"), QStringList{"printlabel|3|1"});
    screen.first = "SHELF.FMT";
    cmdTestPrintOk_Click(context, screen);
    EXPECT_EQ(state.formatFileName, "PRICE.FMT");
}

TEST_F(TestPrintButtonTest, DriverModeDialogCancelIsSilent) {
    AppContext context = interactive(1, 1);
    screen.first = "DRV.FMT";
    dialog.cancel = true;
    EXPECT_EQ(cmdTestPrintOk_Click(context, screen).end, TestPrintEnd::DialogCancelled);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_TRUE(pageDestinations.empty());
    dialog.cancel = false;
    EXPECT_EQ(cmdTestPrintOk_Click(context, screen).end, TestPrintEnd::Printed);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].copies, 3);
}

TEST_F(TestPrintButtonTest, AFormatWithErrorsPrintsNothingUnderT) {
    for (const int printMode : {0, 1}) {
        test::ShellFixture f;
        f.writeStandardSettings(1, 0, printMode);
        f.home.write("PRICE.FMT", "LabelWidth=60\r\nBox=1,2,3\r\n");
        AppContext context = f.context({"/T"});
        Form_Load(context);
        const TestPrintResult result = cmdTestPrintOk_Click(context, screen);
        EXPECT_EQ(result.end, TestPrintEnd::FormatError);
        EXPECT_FALSE(result.programEnds);
        EXPECT_EQ(f.messages.shown.size(), 1u);
        EXPECT_TRUE(f.library.calls.isEmpty());
        EXPECT_TRUE(f.pageDestinations.empty());
    }
}

TEST_F(TestPrintButtonTest, PortFailureIsReportedAsUnexpected) {
    AppContext context = interactive(1);
    library.onCall = [](const QString& call) {
        if (call.startsWith("openport"))
            throw common::RunError(482, "no printer");
    };
    EXPECT_EQ(cmdTestPrintOk_Click(context, screen).end, TestPrintEnd::Error);
    ASSERT_TRUE(test::shownOnce(messages, "no printer", "試印->發生非預期錯誤"));
}

} // namespace
} // namespace pelmar::app
