#pragma once

#include "common/message_box.h"
#include "state/working_state.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace pelmar::app {

// Controls that get the focus after a format-list operation was refused.
enum class FormatListFocus { None, FileList, FmtList };

inline const QString kFormatAddTitle = QStringLiteral("新增格式檔");
inline const QString kFormatRemoveTitle = QStringLiteral("移除格式檔");
inline const QString kEditFormatTitle = QStringLiteral("格式修改");

// FileList: the names (without folder) of the files in folder that match pattern ("*.FMT"),
// letter case ignored as the stored names expect, in byte order of the names. An unreadable or
// missing folder lists nothing.
QStringList formatFiles(const QString& folder, const QString& pattern);

// fmtList_Click on a 1-based position: SelectedFormatIndex follows (nothing for an empty list or
// a position outside it).
void fmtList_Click(state::WorkingState& state, const QStringList& fmtList, int position);

// cmdNew_Click: appends the file selected in FileList (0-based row, -1 for none) to fmtList
// unless an entry is exactly equal (letter case counts). Nothing for an empty FileList; with no
// file selected says so ("新增格式檔") and asks for the focus on FileList.
FormatListFocus cmdNew_Click(QStringList& fmtList, const QStringList& fileList, int selectedRow,
                             common::MessageBox& messages);

// cmdRemove_Click: removes the entry at SelectedFormatIndex and sets it to 0; with nothing
// selected says so ("移除格式檔") and asks for the focus on fmtList; an empty list: nothing.
FormatListFocus cmdRemove_Click(state::WorkingState& state, QStringList& fmtList,
                                common::MessageBox& messages);

// ListLabel_Click: the clicked entry becomes FormatFileName (an empty text changes nothing).
void ListLabel_Click(state::WorkingState& state, const QString& entry);

// Starts a program without a shell and without waiting for it.
class ProgramStarter {
public:
    virtual ~ProgramStarter() = default;
    // Returns whether the program could be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments) = 0;
};

// Where the text editor comes from: $VISUAL, and the full path of a program found on PATH
// (empty when there is none).
struct EditorEnvironment {
    QString visual;
    std::function<QString(const QString& program)> findOnPath;
};

// The editor environment of this process (QStandardPaths::findExecutable on PATH).
EditorEnvironment systemEditorEnvironment();

// The programs to try for editing, in order, each with the arguments before the file path:
// $VISUAL when set (split like a command line, without a shell), otherwise the first of
// gnome-text-editor, gedit, kate, mousepad, xed, pluma found on PATH, otherwise xdg-open.
QList<QStringList> editorCommands(const EditorEnvironment& environment);

// The format file that 格式修改 edits (its path in the program folder): FormatFileName, or with
// none chosen the single format of ListLabel (LabelCount 1), which becomes FormatFileName;
// otherwise "欲修改標籤格式檔尚未選取, 無法修改." is said and nothing is chosen.
std::optional<QString> chooseFormatToEdit(state::WorkingState& state, const QString& firstListed,
                                          common::MessageBox& messages);

// 以其他編輯器開啟, and 格式修改 without the program's own editor: with no FormatFileName chosen,
// the single format of ListLabel (LabelCount 1) is chosen, otherwise "欲修改標籤格式檔尚未選取,
// 無法修改." is said; then the editor is started detached on the format file of the program folder
// (its one argument). When no editor starts, a message says so. Returns whether an editor was
// started. Nothing throws.
bool cmdEditFormat_Click(state::WorkingState& state, const QString& firstListed,
                         common::MessageBox& messages, ProgramStarter& starter,
                         const EditorEnvironment& environment);

// 以其他編輯器開啟: starts the first editor of editorCommands that starts, detached, on path;
// when none starts, a message says so. Returns whether one was started. Nothing throws.
bool startOtherEditor(const QString& path, common::MessageBox& messages, ProgramStarter& starter,
                      const EditorEnvironment& environment);

} // namespace pelmar::app
