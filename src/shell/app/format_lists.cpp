#include "shell/app/format_lists.h"

#include "common/file_names.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <algorithm>

namespace pelmar::app {

namespace {

void warn(common::MessageBox& messages, const QString& title, const QString& text) {
    common::Message message;
    message.text = text;
    message.caption = title;
    message.icon = common::MessageIcon::Exclamation;
    messages.show(message);
}

} // namespace

QStringList formatFiles(const QString& folder, const QString& pattern) {
    if (folder.isEmpty())
        return {};
    QDir dir(folder);
    dir.setNameFilters({pattern});
    // Without QDir::CaseSensitive the pattern ignores letter case, as the stored names expect.
    dir.setFilter(QDir::Files | QDir::Readable | QDir::Hidden);
    dir.setSorting(QDir::Unsorted);
    QStringList names = dir.entryList();
    std::sort(names.begin(), names.end());
    return names;
}

void fmtList_Click(state::WorkingState& state, const QStringList& fmtList, int position) {
    if (position >= 1 && position <= fmtList.size())
        state.selectedFormatIndex = static_cast<std::int16_t>(position);
}

FormatListFocus cmdNew_Click(QStringList& fmtList, const QStringList& fileList, int selectedRow,
                             common::MessageBox& messages) {
    if (fileList.isEmpty())
        return FormatListFocus::None;
    if (selectedRow < 0 || selectedRow >= fileList.size()) {
        warn(messages, kFormatAddTitle, QStringLiteral("欲新增之格式檔尚未點選, 無法新增."));
        return FormatListFocus::FileList;
    }
    const QString& name = fileList[selectedRow];
    if (!fmtList.contains(name, Qt::CaseSensitive))
        fmtList << name;
    return FormatListFocus::None;
}

FormatListFocus cmdRemove_Click(state::WorkingState& state, QStringList& fmtList,
                                common::MessageBox& messages) {
    if (fmtList.isEmpty())
        return FormatListFocus::None;
    const int index = state.selectedFormatIndex;
    if (index < 1 || index > fmtList.size()) {
        warn(messages, kFormatRemoveTitle, QStringLiteral("欲移除之格式檔尚未選取, 無法移除."));
        return FormatListFocus::FmtList;
    }
    fmtList.removeAt(index - 1);
    state.selectedFormatIndex = 0;
    return FormatListFocus::None;
}

void ListLabel_Click(state::WorkingState& state, const QString& entry) {
    if (!entry.isEmpty())
        state.formatFileName = entry;
}

EditorEnvironment systemEditorEnvironment() {
    EditorEnvironment environment;
    environment.visual = qEnvironmentVariable("VISUAL");
    environment.findOnPath = [](const QString& program) {
        return QStandardPaths::findExecutable(program);
    };
    return environment;
}

QList<QStringList> editorCommands(const EditorEnvironment& environment) {
    QList<QStringList> commands;
    const QStringList visual = QProcess::splitCommand(environment.visual);
    if (!visual.isEmpty())
        commands << visual;
    for (const char* editor : {"gnome-text-editor", "gedit", "kate", "mousepad", "xed", "pluma"}) {
        const QString path = environment.findOnPath
                                 ? environment.findOnPath(QString::fromLatin1(editor))
                                 : QString();
        if (!path.isEmpty()) {
            commands << QStringList{path};
            break;
        }
    }
    commands << QStringList{QStringLiteral("xdg-open")};
    return commands;
}

std::optional<QString> chooseFormatToEdit(state::WorkingState& state, const QString& firstListed,
                                          common::MessageBox& messages) {
    if (state.formatFileName.isEmpty()) {
        if (state.labelCount != 1) {
            warn(messages, kEditFormatTitle, QStringLiteral("欲修改標籤格式檔尚未選取, 無法修改."));
            return std::nullopt;
        }
        state.formatFileName = firstListed;
    }
    const QString named = common::joinPath(state.programFolder, state.formatFileName);
    // The name may differ in letter case from the file.
    const QString resolved = common::resolveFileName(named);
    return resolved.isEmpty() ? named : resolved;
}

bool cmdEditFormat_Click(state::WorkingState& state, const QString& firstListed,
                         common::MessageBox& messages, ProgramStarter& starter,
                         const EditorEnvironment& environment) {
    // A missing file is created by the editor.
    const std::optional<QString> chosen = chooseFormatToEdit(state, firstListed, messages);
    return chosen && startOtherEditor(*chosen, messages, starter, environment);
}

bool startOtherEditor(const QString& path, common::MessageBox& messages, ProgramStarter& starter,
                      const EditorEnvironment& environment) {
    for (QStringList command : editorCommands(environment)) {
        const QString program = command.takeFirst();
        if (starter.startDetached(program, command << path))
            return true;
    }
    warn(messages, kEditFormatTitle,
         QStringLiteral("無法啟動文字編輯器, 請設定環境變數 VISUAL 或安裝文字編輯器.\r\r") + path);
    return false;
}

} // namespace pelmar::app
