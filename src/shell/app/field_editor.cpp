#include "shell/app/field_editor.h"

#include "common/numbers.h"

namespace pelmar::app {

namespace {

enum class FieldOperation { Add, Update };

FieldEditorFocus refuse(common::MessageBox& messages, const QString& title, const QString& text,
                        FieldEditorFocus focus) {
    common::Message message;
    message.text = text;
    message.caption = title;
    message.icon = common::MessageIcon::Exclamation;
    messages.show(message);
    return focus;
}

// The checks shared by adding and updating; nothing when the editor may be stored.
std::optional<FieldEditorFocus> checkEditor(const state::WorkingState& state,
                                            const FieldEditor& editor, FieldOperation operation,
                                            common::MessageBox& messages) {
    const bool add = operation == FieldOperation::Add;
    const QString& title = add ? kFieldAddTitle : kFieldUpdateTitle;
    const QString cannot = add ? QStringLiteral("無法新增.") : QStringLiteral("無法更新.");
    if (editor.name.isEmpty())
        return refuse(messages, title, QStringLiteral("欄位名稱尚未輸入, ") + cannot,
                      FieldEditorFocus::TxtFldName);
    // A comma would shift every later part of the definition when it is read back.
    if (editor.name.contains(u','))
        return refuse(messages, title, QStringLiteral("欄位名稱不可含有逗號, ") + cannot,
                      FieldEditorFocus::TxtFldName);
    if (state.fieldCutIndex == 1 && editor.start.isEmpty())
        return refuse(messages, title, QStringLiteral("起始位置尚未輸入, ") + cannot,
                      FieldEditorFocus::TxtStartPos);
    if (state.fieldCutIndex == 1 && editor.width.isEmpty())
        return refuse(messages, title, QStringLiteral("欄位寬度尚未輸入, ") + cannot,
                      FieldEditorFocus::TxtFldWidth);
    return std::nullopt;
}

// The text of an entry from `from` up to the next comma (or its end); `from` moves past it.
QString nextPart(const QString& entry, qsizetype& from) {
    if (from > entry.size())
        return QString();
    qsizetype comma = entry.indexOf(u',', from);
    if (comma < 0)
        comma = entry.size();
    const QString part = entry.mid(from, comma - from);
    from = comma + 1;
    return part;
}

} // namespace

QString entryNumber(const QString& text) {
    return common::shortestDecimal(common::leadingNumber(text));
}

QString fieldEntry(const FieldEditor& editor) {
    return QStringList{editor.name, entryNumber(editor.start), entryNumber(editor.width),
                       editor.eraseSpace ? QStringLiteral("1") : QStringLiteral("0"),
                       editor.eraseDecimal ? QStringLiteral("1") : QStringLiteral("0")}
        .join(u',');
}

FieldEditor fieldEditorOfEntry(const QString& entry) {
    FieldEditor editor;
    qsizetype from = 0;
    editor.name = nextPart(entry, from);
    editor.start = nextPart(entry, from);
    editor.width = nextPart(entry, from);
    // The flags are the numbers the rest of the entry starts with, commas and all.
    const QString afterThird = from <= entry.size() ? entry.mid(from) : QString();
    nextPart(entry, from);
    const QString afterFourth = from <= entry.size() ? entry.mid(from) : QString();
    editor.eraseSpace = common::leadingNumber(afterThird) != 0;
    editor.eraseDecimal = common::leadingNumber(afterFourth) != 0;
    return editor;
}

FieldEditorFocus cmdFldNew_Click(const state::WorkingState& state, QStringList& fldList,
                                 const FieldEditor& editor, common::MessageBox& messages) {
    if (const auto refused = checkEditor(state, editor, FieldOperation::Add, messages))
        return *refused;
    fldList << fieldEntry(editor);
    return FieldEditorFocus::None;
}

FieldEditorFocus cmdFldUpdate_Click(const state::WorkingState& state, QStringList& fldList,
                                    const FieldEditor& editor, common::MessageBox& messages) {
    if (const auto refused = checkEditor(state, editor, FieldOperation::Update, messages))
        return *refused;
    const int index = state.selectedFieldIndex;
    if (index >= 1 && index <= fldList.size())
        fldList[index - 1] = fieldEntry(editor);
    return FieldEditorFocus::None;
}

FieldEditorFocus cmdFldRemove_Click(state::WorkingState& state, QStringList& fldList,
                                    common::MessageBox& messages) {
    if (fldList.isEmpty())
        return FieldEditorFocus::None;
    const int index = state.selectedFieldIndex;
    if (index < 1 || index > fldList.size())
        return refuse(messages, kFieldRemoveTitle,
                      QStringLiteral("欲移除之欄位設定尚未點選, 無法移除."),
                      FieldEditorFocus::FldList);
    fldList.removeAt(index - 1);
    state.selectedFieldIndex = 0;
    return FieldEditorFocus::None;
}

std::optional<FieldEditor> fldList_Click(state::WorkingState& state, const QStringList& fldList,
                                         int position) {
    if (position < 1 || position > fldList.size())
        return std::nullopt;
    state.selectedFieldIndex = static_cast<std::int16_t>(position);
    return fieldEditorOfEntry(fldList[position - 1]);
}

} // namespace pelmar::app
