#include "shell/app/field_editor.h"

#include "support/recording_message_box.h"

#include <gtest/gtest.h>

namespace pelmar::app {
namespace {

using test::RecordingMessageBox;

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
            ASSERT_TRUE(test::shownOnce(
                messages,
                expected + (add ? QStringLiteral("無法新增.") : QStringLiteral("無法更新.")),
                add ? kFieldAddTitle : kFieldUpdateTitle, common::MessageIcon::Exclamation));
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
    ASSERT_TRUE(test::shownOnce(messages, QStringLiteral("欲移除之欄位設定尚未點選, 無法移除."),
                                kFieldRemoveTitle));
    EXPECT_EQ(list.size(), 1);

    QStringList empty;
    EXPECT_EQ(cmdFldRemove_Click(state, empty, messages), FieldEditorFocus::None);
    EXPECT_EQ(messages.shown.size(), 1u);
}

} // namespace
} // namespace pelmar::app
