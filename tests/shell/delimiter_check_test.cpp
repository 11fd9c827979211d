// A Delimiter that cannot cut the data lines (empty, or no single byte of the code page) is
// refused before the data file is read or anything printed: at start-up, by the print and
// test-print buttons and by the choice of a data source.
#include "shell/app/data_source_command.h"
#include "shell/app/print_commands.h"
#include "shell/app/startup.h"
#include "shell/app/test_print_command.h"
#include "shell/shell_fakes.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using common::MessageIcon;
using test::ShellFixture;

// The value bytes of the Delimiter line that the settings file holds.
const QByteArray kUncuttable[] = {
    "",         // present but empty
    "\xA4\xA4", // a Big5 character of two bytes (half of one stops the settings read)
};

// Standard settings with the Delimiter line replaced by Delimiter=value.
void writeDelimiter(ShellFixture& f, const QByteArray& value, int labelCount = 1,
                    int editPrice = 0) {
    f.writeStandardSettings(labelCount, editPrice);
    QByteArray settings = f.home.read(QStringLiteral("Pelmar.INI"));
    settings.replace("Delimiter=,\r\n", "Delimiter=" + value + "\r\n");
    f.home.write(QStringLiteral("Pelmar.INI"), settings);
}

void expectRefusal(const ShellFixture& f, const QString& caption) {
    ASSERT_EQ(f.messages.shown.size(), 1u);
    const common::Message& m = f.messages.shown[0];
    EXPECT_TRUE(m.text.contains(f.home.file(QStringLiteral("Pelmar.INI")) +
                                QStringLiteral(" 中 [Fields] 的 Delimiter")))
        << m.text.toStdString();
    EXPECT_EQ(m.caption, caption);
    EXPECT_EQ(m.icon, MessageIcon::Critical);
    EXPECT_TRUE(f.library.calls.isEmpty());
    EXPECT_TRUE(f.window.starting(QStringLiteral("grid:")).isEmpty());
}

TEST(DelimiterCheck, StartupRefusesBeforeReadingAndStaysOnlyUnderT) {
    const struct {
        const char* what;
        QStringList arguments;
        int labelCount;
        int editPrice;
        bool programEnds;
    } cases[] = {
        {"interactive", {"/T"}, 1, 0, false},
        {"path then /T", {"ITEMS.TXT", "/T"}, 1, 0, false},
        {"single format", {}, 1, 0, true},
        {"print panel", {}, 2, 0, true},
        {"print panel for the price", {}, 1, 1, true},
    };
    for (const auto& c : cases) {
        for (const QByteArray& value : kUncuttable) {
            SCOPED_TRACE(c.what);
            SCOPED_TRACE(value.toHex().toStdString());
            ShellFixture f;
            writeDelimiter(f, value, c.labelCount, c.editPrice);
            AppContext context = f.context(c.arguments);
            const FlowResult result = Form_Load(context);
            EXPECT_EQ(result.end, FlowEnd::BadDelimiter);
            EXPECT_EQ(result.programEnds, c.programEnds);
            EXPECT_EQ(f.state.recordCount, 0);
            EXPECT_TRUE(f.window.starting(QStringLiteral("panel:")).isEmpty());
            expectRefusal(f, kStartupErrorCaption);
        }
    }
}

TEST(DelimiterCheck, FixedPositionsNeedNoDelimiter) {
    ShellFixture f;
    writeDelimiter(f, "");
    QByteArray settings = f.home.read(QStringLiteral("Pelmar.INI"));
    settings.replace("[Fields]\r\n", "[Fields]\r\nFieldCutIndex=1\r\n");
    f.home.write(QStringLiteral("Pelmar.INI"), settings);
    AppContext context = f.context();
    EXPECT_EQ(Form_Load(context).end, FlowEnd::Printed);
    EXPECT_TRUE(f.messages.shown.empty());
    EXPECT_EQ(f.library.named(QStringLiteral("printlabel")).size(), 2);
}

// The buttons and the data source meet a Delimiter that went bad after the data was read.
class DelimiterCheckButtons : public ::testing::Test, public ShellFixture {};

TEST_F(DelimiterCheckButtons, PrintButtonRefusesAndWritesNothing) {
    writeStandardSettings(2);
    AppContext c = context();
    ASSERT_EQ(Form_Load(c).end, FlowEnd::PrintPanel);
    const QString before = settingsText();
    window.events.clear();
    window.selected = QStringLiteral("PRICE.FMT");
    state.delimiter.clear();
    const FlowResult result = cmdPrint_Click(c);
    EXPECT_EQ(result.end, FlowEnd::BadDelimiter);
    EXPECT_TRUE(result.programEnds);
    EXPECT_EQ(result.tally.labels, 0);
    EXPECT_TRUE(libraryNames.empty());
    EXPECT_EQ(settingsText(), before);
    expectRefusal(*this, kPrintCaption);
}

class QuantityScreen : public TestPrintScreen {
public:
    QString firstListedFormat() const override { return QStringLiteral("PRICE.FMT"); }
    QString quantityText() const override { return QStringLiteral("2"); }
    void setFocus(TestPrintFocus) override {}
};

TEST_F(DelimiterCheckButtons, TestPrintRefusesAndTheScreenStays) {
    writeStandardSettings(1);
    AppContext c = context({QStringLiteral("/T")});
    ASSERT_EQ(Form_Load(c).end, FlowEnd::Interactive);
    window.events.clear();
    state.delimiter = QStringLiteral("中");
    QuantityScreen screen;
    const TestPrintResult result = cmdTestPrintOk_Click(c, screen);
    EXPECT_EQ(result.end, TestPrintEnd::Error);
    EXPECT_FALSE(result.programEnds);
    expectRefusal(*this, kTestPrintCaption);
}

class NoDialog : public FileOpenDialog {
public:
    QString chooseFile(const QString&, const QString&, const QString&, const QString&) override {
        ++asked;
        return QStringLiteral("/nowhere/OTHER.TXT");
    }
    int asked = 0;
};

TEST_F(DelimiterCheckButtons, DataSourceIsNotChosenOrRead) {
    writeStandardSettings(1);
    AppContext c = context({QStringLiteral("/T")});
    ASSERT_EQ(Form_Load(c).end, FlowEnd::Interactive);
    window.events.clear();
    state.delimiter.clear();
    NoDialog dialog;
    const DataSourceResult result = cmdSelDataSource_Click(c, dialog);
    EXPECT_FALSE(result.chosen);
    EXPECT_TRUE(result.testPrintEnabled); // the records read before stay
    EXPECT_EQ(dialog.asked, 0);
    EXPECT_EQ(state.textFileName, dataFile);
    EXPECT_EQ(state.recordCount, 2);
    expectRefusal(*this, kDataSourceDialogTitle);
}

} // namespace
} // namespace pelmar::app
