#include "shell/app/startup.h"

#include "common/run_error.h"
#include "shell/app/print_commands.h"
#include "shell/shell_fakes.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using common::MessageIcon;
using test::ShellFixture;

class StartupTest : public ::testing::Test, public ShellFixture {};

// Command lines and how they choose the mode and the data file.
struct CommandLineCase {
    const char* name;
    QStringList (*arguments)(const ShellFixture&);
    FlowEnd end;
    bool printed;
};

const CommandLineCase kCommandLines[] = {
    {"lower_case_t", [](const ShellFixture&) { return QStringList{"/t"}; }, FlowEnd::Interactive,
     false},
    {"path_then_T",
     [](const ShellFixture& f) {
         return QStringList{f.home.file("OTHER.TXT"), "/T"};
     },
     FlowEnd::Interactive, false},
    {"dash_x", [](const ShellFixture&) { return QStringList{"-X"}; }, FlowEnd::Printed, true},
    // The temporary folder lies under /tmp: "/TMP" is part of a path, not the switch.
    {"data_path", [](const ShellFixture& f) { return QStringList{f.dataFile}; }, FlowEnd::Printed,
     true},
    // A switch glued to the end of a path still counts; "/T." inside the path does not.
    {"glued_t", [](const ShellFixture&) { return QStringList{"/tmp/x/t.txt/t"}; },
     FlowEnd::Interactive, false},
};

TEST_F(StartupTest, CommandLineChoosesTheModeAndTheDataFile) {
    for (const CommandLineCase& c : kCommandLines) {
        SCOPED_TRACE(c.name);
        ShellFixture f;
        f.writeStandardSettings();
        AppContext context = f.context(c.arguments(f));
        const FlowResult result = Form_Load(context);
        EXPECT_EQ(result.end, c.end);
        EXPECT_EQ(result.programEnds, c.end != FlowEnd::Interactive);
        EXPECT_EQ(!f.library.named("printlabel").isEmpty(), c.printed);
        EXPECT_EQ(f.messages.shown.size(), c.end == FlowEnd::DataError ? 1u : 0u);
        // Interactive mode reads the data file of the settings, never the command line's.
        if (c.end != FlowEnd::DataError) {
            EXPECT_EQ(f.state.recordCount, 2);
        }
    }
}

TEST_F(StartupTest, DataFileOfTheCommandLineIsTakenUpperCased) {
    writeStandardSettings();
    home.write("Other.txt", "X,1,1\r\n");
    AppContext context = this->context({"  " + home.file("Other.txt") + " "});
    EXPECT_EQ(Form_Load(context).end, FlowEnd::Printed);
    EXPECT_EQ(state.textFileName, home.file("Other.txt").toUpper());
    EXPECT_EQ(state.recordCount, 1);
    // Written back by the run settings, as the command line gave it.
    EXPECT_TRUE(settingsText().contains("TextFileName=" + home.file("Other.txt").toUpper()));
}

TEST_F(StartupTest, QuotedPathKeepsItsQuotesAndFailsInTheReader) {
    writeStandardSettings();
    AppContext context = this->context({"\"" + dataFile + "\""});
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(state.textFileName, "\"" + dataFile.toUpper() + "\"");
    EXPECT_EQ(result.end, FlowEnd::DataError);
    EXPECT_TRUE(result.programEnds);
    ASSERT_EQ(messages.shown.size(), 1u); // the reader's own report
    EXPECT_TRUE(library.calls.isEmpty());
}

TEST_F(StartupTest, OnlyDeviceNamesWithUpperCaseTscAreListed) {
    writeStandardSettings();
    printers.installed = {{"q1", "TSC A"}, {"q2", "Office"}, {"q3", "my tsc"}, {"q4", "xTSCx"}};
    AppContext context = this->context({"/T"});
    Form_Load(context);
    EXPECT_EQ(window.starting("printers:"), QStringList{"printers:TSC A,xTSCx"});
}

TEST_F(StartupTest, PrinterListIncludesSectionPorts) {
    writeStandardSettings();
    home.write("Pelmar.INI", home.read("Pelmar.INI") + "[Ports]\r\nTSC Trace=trace:t.txt\r\n");
    printers.installed = {{"q2", "Office"}};
    AppContext context = this->context({"/T"});
    EXPECT_EQ(Form_Load(context).end, FlowEnd::Interactive);
    EXPECT_EQ(window.starting("printers:"), QStringList{"printers:TSC Trace"});
}

TEST_F(StartupTest, NoTscPrinterEndsTheProgramWithItsMessage) {
    writeStandardSettings();
    printers.installed = {{"tsc_a", "tsc a"}};
    AppContext context = this->context();
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::NoPrinter);
    EXPECT_TRUE(result.programEnds);
    ASSERT_TRUE(test::shownOnce(messages, noPrinterMessage(home.path()), "發生錯誤",
                                MessageIcon::Critical));
    EXPECT_TRUE(library.calls.isEmpty());
}

TEST_F(StartupTest, EmptyPrinterNameBecomesTheFirstDetectedPrinter) {
    writeSettings({"[Fields]", "FieldCount=1", "Field01=A,1,1,0,0"});
    printers.installed = {{"q0", "Office"}, {"q1", "TSC One"}, {"q2", "TSC Two"}};
    AppContext context = this->context({"/T"});
    Form_Load(context);
    EXPECT_EQ(state.printerName, "TSC One");
    EXPECT_EQ(window.starting("printerText:"), QStringList{"printerText:TSC One"});
    // The tooltip was set before detection, from the settings.
    EXPECT_EQ(window.starting("tooltip:"), QStringList{"tooltip:"});
}

TEST_F(StartupTest, UnknownSavedPrinterIsKeptAsTheListText) {
    writeStandardSettings();
    home.write("Pelmar.INI",
               home.read("Pelmar.INI").replace("PrinterName=TSC_A", "PrinterName=Gone Printer"));
    AppContext context = this->context({"/T"});
    Form_Load(context);
    EXPECT_EQ(state.printerName, "Gone Printer");
    EXPECT_EQ(window.starting("printers:"), QStringList{"printers:TSC A"});
    EXPECT_EQ(window.starting("printerText:"), QStringList{"printerText:Gone Printer"});
}

TEST_F(StartupTest, StartupShowsTheWindowBeforeDetection) {
    writeStandardSettings();
    AppContext context = this->context({"/T"});
    Form_Load(context);
    const QStringList expected{"tooltip:TSC_A", "fileList:" + home.path() + "|*.FMT", "show",
                               "printers:TSC A", "printerText:TSC_A"};
    EXPECT_EQ(window.events.mid(0, 5), expected);
    EXPECT_EQ(window.events.mid(5),
              (QStringList{"msg:" + kInteractiveStatus, "grid:2", "data:APPLE,10,2"}));
    EXPECT_EQ(state.currentRecord, 1);
}

TEST_F(StartupTest, InteractiveModeWithoutDataFileOrFieldsReadsNothing) {
    writeStandardSettings(1, 0, 0, 0);
    AppContext context = this->context({"/T"});
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::Interactive);
    EXPECT_FALSE(result.programEnds);
    EXPECT_TRUE(messages.shown.empty()); // no fields message under "/T"
    EXPECT_TRUE(window.starting("grid:").isEmpty());
}

TEST_F(StartupTest, FieldsNotSetWithoutTShowsTheFieldsMessageAndStays) {
    writeStandardSettings(1, 0, 0, 0);
    AppContext context = this->context();
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::FieldsNotSet);
    EXPECT_FALSE(result.programEnds);
    ASSERT_TRUE(test::shownOnce(messages, "欄位尚未設定無法列印, 請至設定項設定.", "自動列印",
                                MessageIcon::Critical));
    EXPECT_TRUE(window.starting("msg:").isEmpty());
}

TEST_F(StartupTest, WarningsAAndBLeaveTheWindowInteractive) {
    struct Case {
        int labelCount;
        bool dataFile;
        FlowEnd end;
        QString text;
    } cases[] = {
        {0, true, FlowEnd::NoFormat,
         "來源格式檔尚未設定, 無法列印.\r\r請執行設定, 選擇欲列印來源格式檔.\r\r"
         "設定完儲存離開, 請再重新列印即可."},
        {1, false, FlowEnd::NoDataFile,
         "來源文字檔尚未設定, 無法列印.\r\r請執行設定, 選擇欲列印來源文字檔.\r\r"
         "設定完儲存離開, 請再重新列印即可."},
        {2, false, FlowEnd::NoDataFile, warningNoDataFile()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.labelCount);
        ShellFixture f;
        f.writeStandardSettings(c.labelCount);
        if (!c.dataFile)
            f.home.write("Pelmar.INI",
                         f.home.read("Pelmar.INI").replace(f.dataFile.toLatin1(), QByteArray()));
        f.state.currentRecord = 7;
        AppContext context = f.context();
        const FlowResult result = Form_Load(context);
        EXPECT_EQ(result.end, c.end);
        EXPECT_FALSE(result.programEnds);
        ASSERT_TRUE(test::shownOnce(f.messages, c.text, "自動列印", MessageIcon::Exclamation));
        EXPECT_EQ(f.window.starting("msg:"),
                  (QStringList{"msg:[自動列印]", "msg:" + kInteractiveStatus}));
        EXPECT_EQ(f.state.currentRecord, 0);
        EXPECT_TRUE(f.window.starting("addFormat:").isEmpty());
    }
}

TEST_F(StartupTest, SingleFormatInCommandModePrintsSavesAndEnds) {
    writeStandardSettings();
    state.cancelRequested = true; // left over; automatic printing starts afresh
    AppContext context = this->context({"-X"});
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::Printed);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(result.tally.labels, 3);
    EXPECT_EQ(result.tally.records, 2);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_EQ(state.formatFileName, "PRICE.FMT");
    EXPECT_EQ(libraryNames, std::vector<QString>{"TSC_A"});
    EXPECT_EQ(library.named("printlabel"), (QStringList{"printlabel|2|1", "printlabel|1|1"}));
    const QStringList after = window.events.mid(5);
    const QStringList expected{"msg:[自動列印]", "window:minimized", "addFormat:PRICE.FMT",
                               "menus:0",        "grid:2",           "data:APPLE,10,2",
                               "panel:[ 列印 ]", "print:0",          "focus:cmdDelete"};
    EXPECT_EQ(after.mid(0, expected.size()), expected);
    EXPECT_TRUE(window.starting("activate").isEmpty());
    // The run settings were written: ADPrice now stands in the file.
    EXPECT_TRUE(settingsText().contains("ADPrice=5"));
    EXPECT_TRUE(settingsText().contains("TextFileName=" + dataFile));
}

TEST_F(StartupTest, SingleFormatInDriverModeAsksForThePrinterAndDoesNotSave) {
    writeStandardSettings(1, 0, 1);
    const QString before = settingsText();
    AppContext context = this->context();
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::Printed);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(dialog.titles, QStringList{"選擇條碼機Driver"});
    ASSERT_EQ(pageDestinations.size(), 1u);
    EXPECT_EQ(pageDestinations[0].queue, "TSC_TTP");
    ASSERT_EQ(jobs.size(), 2u);
    EXPECT_EQ(jobs[0].copies, 2);
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(settingsText(), before);
}

TEST_F(StartupTest, CancelledPrinterDialogIsReportedAndTheWindowStays) {
    writeStandardSettings(1, 0, 1);
    dialog.cancel = true;
    const QString before = settingsText();
    AppContext context = this->context();
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::DialogCancelled);
    EXPECT_FALSE(result.programEnds);
    ASSERT_TRUE(test::shownOnce(messages, common::errorDescription(32755), "發生錯誤"));
    EXPECT_TRUE(pageDestinations.empty());
    EXPECT_EQ(state.format.command.vTextElements.count, 0);
    EXPECT_EQ(settingsText(), before);
    EXPECT_EQ(window.windowState, WindowState::Minimized);
    EXPECT_EQ(window.starting("print:"), QStringList{"print:0"});
}

TEST_F(StartupTest, PrintPanelWaitsForTheOperator) {
    struct Case {
        int labelCount;
        int editPrice;
        int printMode;
        QString price;
        QString caption;
    } cases[] = {
        {2, 0, 0, "price:0|5", "panel:[ 列印_Send Command ]"},
        {1, 1, 0, "price:1|5", "panel:[ 列印_Send Command ]"},
        {2, 1, 1, "price:1|5", "panel:[ 列印_Driver ]"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(qPrintable(c.caption + c.price));
        ShellFixture f;
        f.writeStandardSettings(c.labelCount, c.editPrice, c.printMode);
        AppContext context = f.context();
        const FlowResult result = Form_Load(context);
        EXPECT_EQ(result.end, FlowEnd::PrintPanel);
        EXPECT_FALSE(result.programEnds);
        QStringList expected{"msg:[自動列印]", "window:maximized", "activate"};
        for (const QString& name : f.window.printFormats)
            expected << "addFormat:" + name;
        expected << "menus:0"
                 << "grid:2"
                 << "data:APPLE,10,2" << c.price << c.caption << "cancel:0"
                 << "focus:listSelectLabel";
        EXPECT_EQ(f.window.events.mid(5), expected);
        EXPECT_EQ(f.window.printFormats.size(), c.labelCount);
        EXPECT_TRUE(f.library.calls.isEmpty());
        EXPECT_TRUE(f.dialog.titles.isEmpty());
        EXPECT_TRUE(f.messages.shown.empty());
    }
}

TEST_F(StartupTest, EmptyDataFileEndsTheProgramSilently) {
    for (int labelCount : {1, 2}) {
        ShellFixture f;
        f.writeStandardSettings(labelCount);
        f.home.write("items.txt", "");
        AppContext context = f.context();
        const FlowResult result = Form_Load(context);
        EXPECT_EQ(result.end, FlowEnd::NothingToPrint);
        EXPECT_TRUE(result.programEnds);
        EXPECT_TRUE(f.messages.shown.empty());
        EXPECT_TRUE(f.library.calls.isEmpty());
        EXPECT_TRUE(f.window.starting("panel:").isEmpty());
    }
}

TEST_F(StartupTest, SettingsErrorEndsTheProgramOnlyWithT) {
    for (const char* argument : {"-X", "x.txt /t"}) {
        SCOPED_TRACE(argument);
        ShellFixture f;
        f.writeSettings({"[Fields]", "ADPrice=99999999999", "FieldCount=1"});
        AppContext context = f.context({argument});
        const FlowResult result = Form_Load(context);
        EXPECT_EQ(result.end, FlowEnd::SettingsError);
        EXPECT_EQ(result.errorNumber, 6);
        EXPECT_EQ(result.programEnds, QString(argument).contains("/t"));
        ASSERT_EQ(f.messages.shown.size(), 1u);
        EXPECT_EQ(f.messages.shown[0].caption, "發生錯誤");
        EXPECT_EQ(f.messages.shown[0].icon, MessageIcon::Critical);
        EXPECT_TRUE(f.window.starting("show").isEmpty());
    }
}

TEST_F(StartupTest, MissingFormatFileEndsTheProgramWithoutPrintingOrSaving) {
    writeStandardSettings();
    home.write("Pelmar.INI", home.read("Pelmar.INI").replace("PRICE.FMT", "NONE.FMT"));
    const QString before = settingsText();
    AppContext context = this->context();
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::FormatError);
    EXPECT_EQ(result.errorNumber, 53);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_TRUE(library.calls.isEmpty());
    EXPECT_EQ(settingsText(), before);
}

TEST_F(StartupTest, FailedRunIsReportedByTheRunAndTheProgramStillEnds) {
    writeStandardSettings();
    library.onCall = [](const QString& call) {
        if (call.startsWith("printlabel|1"))
            throw common::RunError(482, "port closed");
    };
    AppContext context = this->context();
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::PrintError);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(result.tally.records, 1); // the second label never reached the port
    EXPECT_EQ(result.tally.labels, 2);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, "PrintLabels -> 發生錯誤");
    EXPECT_TRUE(settingsText().contains("ADPrice=5"));
}

TEST_F(StartupTest, CancelDuringTheRunStopsAfterTheLabelAndSaves) {
    writeStandardSettings();
    clock.onEvents = [this] { cmdDelete_Click(state); };
    AppContext context = this->context();
    const FlowResult result = Form_Load(context);
    EXPECT_EQ(result.end, FlowEnd::Cancelled);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(library.named("printlabel").size(), 1);
    EXPECT_EQ(library.calls.last(), "closeport");
    EXPECT_TRUE(settingsText().contains("ADPrice=5"));
}

TEST_F(StartupTest, HeadlessOverridesReplacePrinterAndDataFile) {
    writeStandardSettings();
    home.write("sub/Mixed.Txt", "Z,1,3\r\n");
    AppContext context = this->context();
    context.printerOverride = "trace:x";
    context.dataFileOverride = home.file("sub/Mixed.Txt");
    EXPECT_EQ(Form_Load(context).end, FlowEnd::Printed);
    EXPECT_EQ(state.textFileName, home.file("sub/Mixed.Txt"));
    EXPECT_EQ(libraryNames, std::vector<QString>{"trace:x"});
    EXPECT_EQ(library.named("printlabel"), QStringList{"printlabel|3|1"});
}

} // namespace
} // namespace pelmar::app
