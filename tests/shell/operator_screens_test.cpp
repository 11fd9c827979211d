#include "shell/app/data_source_command.h"
#include "shell/app/field_editor.h"
#include "shell/app/format_lists.h"
#include "shell/app/password_gate.h"
#include "shell/app/screen_filling.h"

#include "common/run_error.h"
#include "shell/shell_fakes.h"
#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using test::RecordingMessageBox;

TEST(PasswordGate, UpperCasedEntryMustBeExactlyThePassword) {
    const struct {
        const char* typed;
        bool opens;
    } cases[] = {
        {"QJX", true}, {"qjx", true}, {"qJx", true},   {" QJX", false},   {"QJX ", false},
        {"", false},   {"QJ", false}, {"QJXX", false}, {"ＱＪＸ", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(passwordMatches(QString::fromUtf8(c.typed)), c.opens) << c.typed;
}

TEST(PasswordGate, TargetFollowsTheMenuChosenLast) {
    state::WorkingState state;
    EXPECT_EQ(openGate(state, PasswordTarget::Setup), QStringLiteral("[ 設定 ]"));
    EXPECT_EQ(openGate(state, PasswordTarget::TestPrint), QStringLiteral("[ 試印 ]"));
    EXPECT_EQ(state.passwordTarget, 1);
    EXPECT_EQ(gateTarget(state), PasswordTarget::TestPrint);
    openGate(state, PasswordTarget::Setup);
    EXPECT_EQ(gateTarget(state), PasswordTarget::Setup);
}

TEST(FieldEditor, EntryOfTheEditor) {
    const struct {
        const char* name;
        const char* start;
        const char* width;
        bool space;
        bool decimal;
        const char* entry;
    } cases[] = {
        {"PRICE", "31", "8", true, false, "PRICE,31,8,1,0"},
        {"A", "7a", "abc", false, true, "A,7,0,0,1"},
        {"B", "2.5", " 3", true, true, "B,2.5,3,1,1"},
        {"NAME", "", "", true, false, "NAME,0,0,1,0"},
        {"品名", "999", "-1", false, false, "品名,999,-1,0,0"},
    };
    for (const auto& c : cases) {
        const FieldEditor editor{QString::fromUtf8(c.name), QString::fromUtf8(c.start),
                                 QString::fromUtf8(c.width), c.space, c.decimal};
        EXPECT_EQ(fieldEntry(editor), QString::fromUtf8(c.entry)) << c.entry;
    }
}

TEST(FieldEditor, EntryLoadedIntoTheEditor) {
    const struct {
        const char* entry;
        const char* name;
        const char* start;
        const char* width;
        bool space;
        bool decimal;
    } cases[] = {
        {"PRICE,31,8,1,0", "PRICE", "31", "8", true, false},
        {"NAME,1,10,0,1", "NAME", "1", "10", false, true},
        // The text after the third comma starts with 1; the one after the fourth with 0.
        {"NAME,1,10,1,0,9", "NAME", "1", "10", true, false},
        {",,,,", "", "", "", false, false},
        {"SHORT,1", "SHORT", "1", "", false, false},
        {"", "", "", "", false, false},
    };
    for (const auto& c : cases) {
        const FieldEditor editor = fieldEditorOfEntry(QString::fromUtf8(c.entry));
        EXPECT_EQ(editor.name, QString::fromUtf8(c.name)) << c.entry;
        EXPECT_EQ(editor.start, QString::fromUtf8(c.start)) << c.entry;
        EXPECT_EQ(editor.width, QString::fromUtf8(c.width)) << c.entry;
        EXPECT_EQ(editor.eraseSpace, c.space) << c.entry;
        EXPECT_EQ(editor.eraseDecimal, c.decimal) << c.entry;
    }
}

TEST(FieldEditor, ChecksOfAddAndUpdateInOrder) {
    const struct {
        int cut;
        const char* name;
        const char* start;
        const char* width;
        const char* message; // empty: accepted
        FieldEditorFocus focus;
    } cases[] = {
        {0, "", "1", "2", "欄位名稱尚未輸入, ", FieldEditorFocus::TxtFldName},
        {1, "", "", "", "欄位名稱尚未輸入, ", FieldEditorFocus::TxtFldName},
        {1, "N", "", "", "起始位置尚未輸入, ", FieldEditorFocus::TxtStartPos},
        {1, "N", "1", "", "欄位寬度尚未輸入, ", FieldEditorFocus::TxtFldWidth},
        {1, "N", "1", "2", "", FieldEditorFocus::None},
        // By delimiter, start and width are not needed.
        {0, "N", "", "", "", FieldEditorFocus::None},
        {0, "A,B", "", "", "欄位名稱不可含有逗號, ", FieldEditorFocus::TxtFldName},
    };
    for (const bool add : {true, false}) {
        for (const auto& c : cases) {
            state::WorkingState state;
            state.fieldCutIndex = static_cast<std::int16_t>(c.cut);
            state.selectedFieldIndex = 1;
            QStringList list{QStringLiteral("OLD,1,1,1,0")};
            RecordingMessageBox messages;
            const FieldEditor editor{QString::fromUtf8(c.name), QString::fromUtf8(c.start),
                                     QString::fromUtf8(c.width), true, false};
            const FieldEditorFocus focus = add ? cmdFldNew_Click(state, list, editor, messages)
                                               : cmdFldUpdate_Click(state, list, editor, messages);
            const QString expected = QString::fromUtf8(c.message);
            EXPECT_EQ(focus, c.focus) << c.name << c.start << c.width;
            if (expected.isEmpty()) {
                EXPECT_TRUE(messages.shown.empty());
                EXPECT_EQ(list.size(), add ? 2 : 1);
                EXPECT_EQ(list.last(), fieldEntry(editor));
                continue;
            }
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_EQ(messages.shown[0].text,
                      expected + (add ? QStringLiteral("無法新增.") : QStringLiteral("無法更新.")));
            EXPECT_EQ(messages.shown[0].caption, add ? kFieldAddTitle : kFieldUpdateTitle);
            EXPECT_EQ(messages.shown[0].icon, common::MessageIcon::Exclamation);
            EXPECT_EQ(list, QStringList{QStringLiteral("OLD,1,1,1,0")});
        }
    }
}

TEST(FieldEditor, UpdateReplacesTheClickedEntryInPlaceAndIgnoresNoSelection) {
    state::WorkingState state;
    RecordingMessageBox messages;
    QStringList list{QStringLiteral("A,1,5,1,0"), QStringLiteral("B,6,5,1,0"),
                     QStringLiteral("C,11,5,1,0")};
    FieldEditor editor = *fldList_Click(state, list, 2);
    EXPECT_EQ(state.selectedFieldIndex, 2);
    editor.width = QStringLiteral("9");
    cmdFldUpdate_Click(state, list, editor, messages);
    EXPECT_EQ(list, (QStringList{QStringLiteral("A,1,5,1,0"), QStringLiteral("B,6,9,1,0"),
                                 QStringLiteral("C,11,5,1,0")}));
    EXPECT_EQ(state.selectedFieldIndex, 2);

    state.selectedFieldIndex = 0;
    const QStringList before = list;
    cmdFldUpdate_Click(state, list, editor, messages);
    EXPECT_EQ(list, before);
    EXPECT_TRUE(messages.shown.empty());
    EXPECT_FALSE(fldList_Click(state, list, 4).has_value());
    EXPECT_FALSE(fldList_Click(state, {}, 1).has_value());
    EXPECT_EQ(state.selectedFieldIndex, 0);
}

TEST(FieldEditor, RemoveTwiceAfterOneClick) {
    state::WorkingState state;
    RecordingMessageBox messages;
    QStringList list{QStringLiteral("A,1,5,1,0"), QStringLiteral("B,6,5,1,0")};
    fldList_Click(state, list, 1);
    EXPECT_EQ(cmdFldRemove_Click(state, list, messages), FieldEditorFocus::None);
    EXPECT_EQ(list, QStringList{QStringLiteral("B,6,5,1,0")});
    EXPECT_EQ(state.selectedFieldIndex, 0);
    EXPECT_EQ(cmdFldRemove_Click(state, list, messages), FieldEditorFocus::FldList);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("欲移除之欄位設定尚未點選, 無法移除."));
    EXPECT_EQ(messages.shown[0].caption, kFieldRemoveTitle);
    EXPECT_EQ(list.size(), 1);

    QStringList empty;
    EXPECT_EQ(cmdFldRemove_Click(state, empty, messages), FieldEditorFocus::None);
    EXPECT_EQ(messages.shown.size(), 1u);
}

TEST(FormatLists, AddingIsExactAndNeverTwice) {
    RecordingMessageBox messages;
    const QStringList files{QStringLiteral("LABEL.FMT"), QStringLiteral("label.FMT")};
    QStringList fmtList;
    EXPECT_EQ(cmdNew_Click(fmtList, files, 0, messages), FormatListFocus::None);
    EXPECT_EQ(cmdNew_Click(fmtList, files, 0, messages), FormatListFocus::None);
    EXPECT_EQ(cmdNew_Click(fmtList, files, 1, messages), FormatListFocus::None);
    EXPECT_EQ(fmtList, files);
    EXPECT_TRUE(messages.shown.empty());

    EXPECT_EQ(cmdNew_Click(fmtList, files, -1, messages), FormatListFocus::FileList);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("欲新增之格式檔尚未點選, 無法新增."));
    EXPECT_EQ(messages.shown[0].caption, kFormatAddTitle);
    // An empty file list: nothing at all, not even the message.
    EXPECT_EQ(cmdNew_Click(fmtList, {}, -1, messages), FormatListFocus::None);
    EXPECT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(fmtList, files);
}

TEST(FormatLists, RemoveTwiceAfterOneClick) {
    state::WorkingState state;
    RecordingMessageBox messages;
    QStringList fmtList{QStringLiteral("A.FMT"), QStringLiteral("B.FMT")};
    fmtList_Click(state, fmtList, 2);
    EXPECT_EQ(state.selectedFormatIndex, 2);
    EXPECT_EQ(cmdRemove_Click(state, fmtList, messages), FormatListFocus::None);
    EXPECT_EQ(fmtList, QStringList{QStringLiteral("A.FMT")});
    EXPECT_EQ(cmdRemove_Click(state, fmtList, messages), FormatListFocus::FmtList);
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("欲移除之格式檔尚未選取, 無法移除."));
    EXPECT_EQ(messages.shown[0].caption, kFormatRemoveTitle);
    fmtList_Click(state, fmtList, 5);
    EXPECT_EQ(state.selectedFormatIndex, 0);
}

TEST(FormatLists, FileListHoldsTheFormatFilesOfTheFolderInByteOrder) {
    test::TempFolder folder;
    for (const char* name : {"SHELF.FMT", "b.fmt", "MY LABEL.FMT", "ITEMS.TXT", "A.FMT.BAK"})
        folder.write(QString::fromLatin1(name), "x");
    EXPECT_EQ(formatFiles(folder.path(), QStringLiteral("*.FMT")),
              (QStringList{QStringLiteral("MY LABEL.FMT"), QStringLiteral("SHELF.FMT"),
                           QStringLiteral("b.fmt")}));
    EXPECT_TRUE(
        formatFiles(folder.file(QStringLiteral("missing")), QStringLiteral("*.FMT")).isEmpty());
    EXPECT_TRUE(formatFiles(QString(), QStringLiteral("*.FMT")).isEmpty());
}

TEST(FormatLists, ChoosingTheTestPrintFormat) {
    state::WorkingState state;
    ListLabel_Click(state, QStringLiteral("SHELF.FMT"));
    EXPECT_EQ(state.formatFileName, QStringLiteral("SHELF.FMT"));
    ListLabel_Click(state, QString());
    EXPECT_EQ(state.formatFileName, QStringLiteral("SHELF.FMT"));
}

class RecordingStarter : public ProgramStarter {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started << program + u'|' + arguments.join(u'|');
        return starts.contains(program);
    }
    QStringList started;
    QStringList starts;
};

EditorEnvironment environment(const QString& visual, const QStringList& onPath) {
    return {visual, [onPath](const QString& program) {
                return onPath.contains(program) ? QStringLiteral("/usr/bin/") + program : QString();
            }};
}

TEST(EditFormat, EditorOrder) {
    EXPECT_EQ(editorCommands(environment(QStringLiteral("vim -g"), {QStringLiteral("gedit")})),
              (QList<QStringList>{{QStringLiteral("vim"), QStringLiteral("-g")},
                                  {QStringLiteral("/usr/bin/gedit")},
                                  {QStringLiteral("xdg-open")}}));
    EXPECT_EQ(
        editorCommands(environment(QString(), {QStringLiteral("pluma"), QStringLiteral("kate")})),
        (QList<QStringList>{{QStringLiteral("/usr/bin/kate")}, {QStringLiteral("xdg-open")}}));
    EXPECT_EQ(editorCommands(environment(QString(), {})),
              (QList<QStringList>{{QStringLiteral("xdg-open")}}));
}

TEST(EditFormat, ChosenFormatOrTheOnlyOneOrAMessage) {
    test::TempFolder folder;
    folder.write(QStringLiteral("price.fmt"), "x");
    state::WorkingState state;
    state.programFolder = folder.path();
    RecordingMessageBox messages;
    RecordingStarter starter;
    starter.starts << QStringLiteral("/usr/bin/gedit");
    const EditorEnvironment env = environment(QString(), {QStringLiteral("gedit")});

    // Two formats and none chosen: the message, nothing started.
    state.labelCount = 2;
    EXPECT_FALSE(cmdEditFormat_Click(state, QStringLiteral("PRICE.FMT"), messages, starter, env));
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].text, QStringLiteral("欲修改標籤格式檔尚未選取, 無法修改."));
    EXPECT_EQ(messages.shown[0].caption, kEditFormatTitle);
    EXPECT_TRUE(starter.started.isEmpty());

    // One format: it is chosen and stays chosen; the file is found whatever its letter case.
    state.labelCount = 1;
    EXPECT_TRUE(cmdEditFormat_Click(state, QStringLiteral("PRICE.FMT"), messages, starter, env));
    EXPECT_EQ(state.formatFileName, QStringLiteral("PRICE.FMT"));
    EXPECT_EQ(starter.started,
              QStringList{QStringLiteral("/usr/bin/gedit|") + folder.file("price.fmt")});

    // A format chosen earlier wins over the list.
    state.labelCount = 2;
    state.formatFileName = QStringLiteral("NEW.FMT");
    EXPECT_TRUE(cmdEditFormat_Click(state, QStringLiteral("PRICE.FMT"), messages, starter, env));
    EXPECT_EQ(starter.started.last(), QStringLiteral("/usr/bin/gedit|") + folder.file("NEW.FMT"));
}

TEST(EditFormat, NoEditorStartsSaysSo) {
    state::WorkingState state;
    state.labelCount = 1;
    RecordingMessageBox messages;
    RecordingStarter starter;
    EXPECT_FALSE(cmdEditFormat_Click(state, QStringLiteral("A.FMT"), messages, starter,
                                     environment(QStringLiteral("myeditor"), {})));
    EXPECT_EQ(starter.started.size(), 2); // $VISUAL, then xdg-open
    ASSERT_EQ(messages.shown.size(), 1u);
    EXPECT_EQ(messages.shown[0].caption, kEditFormatTitle);
    EXPECT_TRUE(messages.shown[0].text.startsWith(QStringLiteral("無法啟動文字編輯器")));
}

TEST(ScreenFilling, TestPrintScreen) {
    state::WorkingState state;
    state.textFileName = QStringLiteral("/data/items.txt");
    state.adPrice = -15;
    TestPrintScreenFill fill = testPrintScreenFill(state);
    EXPECT_TRUE(fill.formats.isEmpty());
    EXPECT_FALSE(fill.editFormatEnabled);
    EXPECT_FALSE(fill.testPrintEnabled);
    EXPECT_FALSE(fill.priceEnabled);
    EXPECT_EQ(fill.priceText, QStringLiteral("-15"));
    EXPECT_EQ(fill.dataSourceName, state.textFileName);

    state.labelCount = 2;
    state.labelNames.recreate(2);
    state.labelNames.set(1, QStringLiteral("A.FMT"));
    state.labelNames.set(2, QStringLiteral("B.FMT"));
    state.editPrice = 1;
    fill = testPrintScreenFill(state);
    EXPECT_EQ(fill.formats, (QStringList{QStringLiteral("A.FMT"), QStringLiteral("B.FMT")}));
    EXPECT_TRUE(fill.editFormatEnabled);
    EXPECT_FALSE(fill.testPrintEnabled); // formats but no records
    EXPECT_TRUE(fill.priceEnabled);
    state.recordCount = 3;
    EXPECT_TRUE(testPrintScreenFill(state).testPrintEnabled);
}

TEST(ScreenFilling, SetupScreenFromTheWorkingState) {
    state::WorkingState state;
    state.printMode = 1;
    state.printerName = QStringLiteral("OLD PRINTER");
    state.across = 2;
    state.fieldCutIndex = 1;
    state.delimiter = QStringLiteral(";");
    state.editPriceField = 3;
    state.fieldCount = 2;
    state.field.recreate(3, 5);
    for (int part = 0; part < 5; ++part)
        state.field.set(1, part, QStringList{"A", "1", "5", "1", "0"}[part]);
    state.labelCount = 1;
    state.labelNames.recreate(1);
    state.labelNames.set(1, QStringLiteral("A.FMT"));
    state.selectedFieldIndex = 2;
    state.selectedFormatIndex = 1;
    const SetupScreenFill fill = prepareSetupScreen(state);
    EXPECT_EQ(fill.values.optPrintMode, 1);
    EXPECT_EQ(fill.values.cboPrinter, QStringLiteral("OLD PRINTER"));
    EXPECT_EQ(fill.values.txtLabelAcross, QStringLiteral("2"));
    EXPECT_EQ(fill.values.optFieldCut, 1);
    EXPECT_EQ(fill.values.txtDelimiter, QStringLiteral(";"));
    EXPECT_EQ(fill.values.chkEditPrice, 0);
    EXPECT_EQ(fill.values.txtEditPriceField, QStringLiteral("3"));
    // A row without a definition still lists its four commas.
    EXPECT_EQ(fill.values.fldList,
              (QStringList{QStringLiteral("A,1,5,1,0"), QStringLiteral(",,,,")}));
    EXPECT_EQ(fill.values.fmtList, QStringList{QStringLiteral("A.FMT")});
    EXPECT_EQ(fill.fieldCountText, QStringLiteral("2"));
    EXPECT_EQ(fill.labelCountText, QStringLiteral("1"));
    EXPECT_TRUE(fill.eraseSpace);
    EXPECT_FALSE(fill.eraseDecimal);
    EXPECT_EQ(state.selectedFieldIndex, 0);
    EXPECT_EQ(state.selectedFormatIndex, 0);
}

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
