#pragma once

#include <QSyntaxHighlighter>
#include <QTextCharFormat>

namespace pelmar::gui {

// Colours a format text: comment lines grey, the format language's keys blue, a key the
// loaders do not know orange (its line does nothing), quoted texts green.
class FormatHighlighter : public QSyntaxHighlighter {
    Q_OBJECT
public:
    explicit FormatHighlighter(QTextDocument* document);

protected:
    void highlightBlock(const QString& text) override;

private:
    QTextCharFormat m_comment;
    QTextCharFormat m_key;
    QTextCharFormat m_unknownKey;
    QTextCharFormat m_quoted;
};

} // namespace pelmar::gui
