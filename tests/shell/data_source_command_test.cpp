#include "shell/app/data_source_command.h"

#include "common/run_error.h"
#include "shell/shell_fakes.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

class ScriptedFileDialog : public FileOpenDialog {
public:
    QString chooseFile(const QString& title, const QString& description, const QString& pattern,
                       const QString& initialPath) override {
        asked << title + u'|' + description + u'|' + pattern + u'|' + initialPath;
        if (answer.isEmpty())
            throw common::RunError(common::DialogCancelled);
        return answer;
    }
    QStringList asked;
    QString answer;
};

class DataSourceTest : public ::testing::Test, protected test::ShellFixture {};

TEST_F(DataSourceTest, ChosenFileIsReadAndShown) {
    writeStandardSettings();
    AppContext c = context({QStringLiteral("/T")});
    state.commandLine = QStringLiteral("/T");
    state.fieldCount = 3;
    state.field.recreate(4, 5);
    state.delimiter = QStringLiteral(",");
    ScriptedFileDialog dialog;
    dialog.answer = home.write(QStringLiteral("other.txt"), "A,1,1\r\nB,2,1\r\nC,3,1\r\n");
    const DataSourceResult result = cmdSelDataSource_Click(c, dialog);
    EXPECT_TRUE(result.chosen);
    EXPECT_TRUE(result.testPrintEnabled);
    EXPECT_EQ(state.textFileName, dialog.answer);
    EXPECT_EQ(state.recordCount, 3);
    EXPECT_EQ(dialog.asked,
              QStringList{QStringLiteral("選擇資料來源檔|資料來源檔(*.TXT)|*.TXT|") + home.path()});
    EXPECT_EQ(window.starting(QStringLiteral("grid:")), QStringList{QStringLiteral("grid:3")});
    EXPECT_EQ(window.starting(QStringLiteral("data:")), QStringList{QStringLiteral("data:A,1,1")});
}

TEST_F(DataSourceTest, CancelledDialogChangesNothing) {
    AppContext c = context({QStringLiteral("/T")});
    state.textFileName = dataFile;
    state.recordCount = 2;
    ScriptedFileDialog dialog;
    const DataSourceResult result = cmdSelDataSource_Click(c, dialog);
    EXPECT_FALSE(result.chosen);
    EXPECT_TRUE(result.testPrintEnabled);
    EXPECT_EQ(state.textFileName, dataFile);
    EXPECT_EQ(state.recordCount, 2);
    EXPECT_TRUE(window.events.isEmpty());
    EXPECT_TRUE(messages.shown.empty());
    // The dialog starts at the data file itself.
    EXPECT_EQ(dialog.asked.front().section(u'|', 3), dataFile);
}

TEST_F(DataSourceTest, FileThatVanishedIsReportedByTheReaderAndDisablesTestPrint) {
    AppContext c = context({QStringLiteral("/T")});
    state.commandLine = QStringLiteral("/T");
    state.fieldCount = 1;
    state.delimiter = QStringLiteral(",");
    state.recordCount = 2;
    ScriptedFileDialog dialog;
    dialog.answer = home.file(QStringLiteral("gone.txt"));
    const DataSourceResult result = cmdSelDataSource_Click(c, dialog);
    EXPECT_TRUE(result.chosen);
    EXPECT_FALSE(result.testPrintEnabled);
    EXPECT_FALSE(result.programEnds);
    EXPECT_EQ(state.recordCount, 0);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].icon, common::MessageIcon::Critical);
    EXPECT_EQ(window.starting(QStringLiteral("grid:")), QStringList{QStringLiteral("grid:0")});
}

TEST_F(DataSourceTest, BrowseGivesThePathOrNothing) {
    ScriptedFileDialog dialog;
    EXPECT_FALSE(cmdBrowse_Click(state, dialog).has_value());
    dialog.answer = QStringLiteral("/x/ITEMS.TXT");
    EXPECT_EQ(cmdBrowse_Click(state, dialog), std::optional<QString>(dialog.answer));
    EXPECT_EQ(dialog.asked.last(), QStringLiteral("|文字檔(*.TXT)|*.TXT|") + home.path());
}

} // namespace
} // namespace pelmar::app
