#pragma once

#include "common/code_page.h"
#include "common/message_box.h"
#include "shell/app/format_text_file.h"

#include <QByteArray>
#include <QString>

namespace pelmar::app {

inline const QString kFormatEditorTitle = QStringLiteral("格式修改");

// What the editor's buttons decide about one format file: what is saved, when an edit may be
// lost, and the bytes the preview draws. The window only shows the text and forwards.
class FormatEditorSession {
public:
    // Opens the format file at path in codePage (kept by reference: the working state's); a
    // missing file starts empty. Throws RunError like readFormatText.
    FormatEditorSession(QString path, const common::CodePage& codePage);

    const QString& path() const { return m_path; }
    // The text as last read or saved.
    const QString& savedText() const { return m_saved.text; }
    bool isModified(const QString& text) const { return text != m_saved.text; }

    // The bytes of text as the file would hold them, for the preview (a character the code page
    // lacks becomes "?", as the printer would get it).
    QByteArray bytesOf(const QString& text) const;

    // Save: writes text safely; a character the code page lacks, or a file that cannot be
    // written, is said (caption "格式修改") and nothing changes. Returns whether it was saved.
    bool save(const QString& text, common::MessageBox& messages);

    // Revert: with an edit, asks before it is lost. Returns whether the saved text replaces it
    // (always when there is no edit).
    bool mayRevert(const QString& text, common::MessageBox& messages) const;

    // Close: with an edit, asks before it is lost. Returns whether the window may close.
    bool mayClose(const QString& text, common::MessageBox& messages) const;

private:
    bool askToDiscard(const QString& question, common::MessageBox& messages) const;

    QString m_path;
    const common::CodePage& m_codePage;
    FormatText m_saved;
};

} // namespace pelmar::app
