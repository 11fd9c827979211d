#include "shell/app/format_editor_session.h"

#include "common/file_names.h"
#include "common/run_error.h"

#include <QFileInfo>
#include <utility>

namespace pelmar::app {

namespace {

// A format named in the settings but not written yet starts empty; saving creates it.
FormatText readOrStartFormat(const QString& path, const common::CodePage& codePage) {
    return common::resolveFileName(path).isEmpty() ? FormatText{} : readFormatText(path, codePage);
}

} // namespace

FormatEditorSession::FormatEditorSession(QString path, const common::CodePage& codePage)
    : m_path(std::move(path)), m_codePage(codePage), m_saved(readOrStartFormat(m_path, codePage)) {}

QByteArray FormatEditorSession::bytesOf(const QString& text) const {
    FormatText edited = m_saved;
    edited.text = text;
    return formatBytes(edited, m_codePage);
}

bool FormatEditorSession::save(const QString& text, common::MessageBox& messages) {
    FormatText edited = m_saved;
    edited.text = text;
    try {
        saveFormatText(m_path, edited, m_codePage);
    } catch (...) {
        common::showMessage(messages, common::caughtError().description, kFormatEditorTitle,
                            common::MessageIcon::Exclamation);
        return false;
    }
    m_saved = std::move(edited);
    return true;
}

bool FormatEditorSession::mayRevert(const QString& text, common::MessageBox& messages) const {
    return !isModified(text) ||
           askToDiscard(QStringLiteral("放棄對格式檔 %1 的修改, 回到上次儲存的內容?"), messages);
}

bool FormatEditorSession::mayClose(const QString& text, common::MessageBox& messages) const {
    return !isModified(text) ||
           askToDiscard(QStringLiteral("格式檔 %1 已修改, 尚未儲存.\r\r放棄修改並關閉?"), messages);
}

bool FormatEditorSession::askToDiscard(const QString& question,
                                       common::MessageBox& messages) const {
    common::Message message;
    message.text = question.arg(QFileInfo(m_path).fileName());
    message.caption = kFormatEditorTitle;
    message.icon = common::MessageIcon::Question;
    message.buttons = common::MessageButtons::YesNo;
    // Enter keeps the edit: losing it takes a deliberate answer.
    message.defaultAnswer = common::MessageAnswer::No;
    return messages.show(message) == common::MessageAnswer::Yes;
}

} // namespace pelmar::app
