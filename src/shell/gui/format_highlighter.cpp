#include "shell/gui/format_highlighter.h"

#include "shell/app/preview_reading.h"

namespace pelmar::gui {

FormatHighlighter::FormatHighlighter(QTextDocument* document) : QSyntaxHighlighter(document) {
    m_comment.setForeground(QColor(0x70, 0x70, 0x70));
    m_comment.setFontItalic(true);
    m_key.setForeground(QColor(0x00, 0x30, 0xB0));
    m_key.setFontWeight(QFont::Bold);
    m_unknownKey.setForeground(QColor(0xC0, 0x60, 0x00));
    m_unknownKey.setFontUnderline(true);
    m_quoted.setForeground(QColor(0x00, 0x80, 0x20));
}

void FormatHighlighter::highlightBlock(const QString& text) {
    if (text.startsWith(u'\'')) {
        setFormat(0, int(text.size()), m_comment);
        return;
    }
    const qsizetype equals = text.indexOf(u'=');
    if (equals < 0)
        return;
    const QString key = app::formatKeyOf(text);
    const qsizetype keyStart = text.indexOf(key);
    if (!key.isEmpty() && keyStart >= 0 && keyStart < equals)
        setFormat(int(keyStart), int(key.size()), app::isFormatKey(key) ? m_key : m_unknownKey);
    for (qsizetype open = text.indexOf(u'"', equals); open >= 0;) {
        const qsizetype close = text.indexOf(u'"', open + 1);
        const qsizetype end = close < 0 ? text.size() : close + 1;
        setFormat(int(open), int(end - open), m_quoted);
        open = close < 0 ? -1 : text.indexOf(u'"', end);
    }
}

} // namespace pelmar::gui
