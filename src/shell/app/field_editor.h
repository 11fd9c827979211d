#pragma once

#include "common/message_box.h"
#include "state/working_state.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace pelmar::app {

// The field editor of the setup screen: txtFldName, txtStartPos, txtFldWidth and the two check
// boxes chkEraseSpace and chkEraseDecimal.
struct FieldEditor {
    QString name;
    QString start;
    QString width;
    bool eraseSpace = true;
    bool eraseDecimal = false;
};

// Controls that get the focus after a field-list operation was refused.
enum class FieldEditorFocus { None, TxtFldName, TxtStartPos, TxtFldWidth, FldList };

// Message titles of the three operations.
inline const QString kFieldAddTitle = QStringLiteral("新增欄位設定");
inline const QString kFieldUpdateTitle = QStringLiteral("更新欄位設定");
inline const QString kFieldRemoveTitle = QStringLiteral("移除欄位設定");

// The number part of an entry: the decimal text of the number the text starts with (2.5 stays
// 2.5, "7a" gives 7, "abc" gives 0).
QString entryNumber(const QString& text);

// The fldList entry of the editor: name, start, width, "1"/"0", "1"/"0" joined by ",".
QString fieldEntry(const FieldEditor& editor);

// fldList_Click: the editor loaded from an entry (text before the first comma, between the first
// and second, between the second and third; the check boxes from the numbers that the texts
// after the third and the fourth comma start with). Missing parts are empty or unticked.
FieldEditor fieldEditorOfEntry(const QString& entry);

// cmdFldNew_Click: checks the editor (title "新增欄位設定") and appends its entry to fldList.
// The start and width are required only when the saved FieldCutIndex is 1. Returns the control
// to focus after a refusal (None when the entry was added).
FieldEditorFocus cmdFldNew_Click(const state::WorkingState& state, QStringList& fldList,
                                 const FieldEditor& editor, common::MessageBox& messages);

// cmdFldUpdate_Click: the same checks (title "更新欄位設定"), then replaces the entry at
// SelectedFieldIndex; a press with no entry selected changes nothing.
FieldEditorFocus cmdFldUpdate_Click(const state::WorkingState& state, QStringList& fldList,
                                    const FieldEditor& editor, common::MessageBox& messages);

// cmdFldRemove_Click: removes the entry at SelectedFieldIndex and sets it to 0; with nothing
// selected says so ("移除欄位設定") and asks for the focus on fldList; an empty list: nothing.
FieldEditorFocus cmdFldRemove_Click(state::WorkingState& state, QStringList& fldList,
                                    common::MessageBox& messages);

// fldList_Click on a 1-based position: SelectedFieldIndex follows, and the editor to show is
// returned; nothing (and no change) for an empty list or a position outside it.
std::optional<FieldEditor> fldList_Click(state::WorkingState& state, const QStringList& fldList,
                                         int position);

} // namespace pelmar::app
