#include "shell/app/format_lists.h"

#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using test::RecordingMessageBox;

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
    ASSERT_TRUE(test::shownOnce(messages, QStringLiteral("欲新增之格式檔尚未點選, 無法新增."),
                                kFormatAddTitle));
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
    ASSERT_TRUE(test::shownOnce(messages, QStringLiteral("欲移除之格式檔尚未選取, 無法移除."),
                                kFormatRemoveTitle));
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
    ASSERT_TRUE(test::shownOnce(messages, QStringLiteral("欲修改標籤格式檔尚未選取, 無法修改."),
                                kEditFormatTitle));
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

} // namespace
} // namespace pelmar::app
