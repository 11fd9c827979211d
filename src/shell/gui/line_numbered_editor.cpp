#include "shell/gui/line_numbered_editor.h"

#include <QPainter>
#include <QTextBlock>

namespace pelmar::gui {

namespace {

class Margin : public QWidget {
public:
    explicit Margin(LineNumberedEditor* editor) : QWidget(editor), m_editor(editor) {
        setObjectName(QStringLiteral("lineNumbers"));
    }
    QSize sizeHint() const override { return {m_editor->marginWidth(), 0}; }

protected:
    void paintEvent(QPaintEvent* event) override { m_editor->paintMargin(event); }

private:
    LineNumberedEditor* m_editor;
};

constexpr int kMarkWidth = 12;

} // namespace

LineNumberedEditor::LineNumberedEditor(QWidget* parent)
    : QPlainTextEdit(parent), m_margin(new Margin(this)) {
    setLineWrapMode(QPlainTextEdit::NoWrap);
    connect(this, &QPlainTextEdit::blockCountChanged, this,
            [this] { setViewportMargins(marginWidth(), 0, 0, 0); });
    connect(this, &QPlainTextEdit::updateRequest, this, &LineNumberedEditor::updateMargin);
    connect(this, &QPlainTextEdit::cursorPositionChanged, this,
            &LineNumberedEditor::lightCursorLine);
    setViewportMargins(marginWidth(), 0, 0, 0);
    lightCursorLine();
}

void LineNumberedEditor::setMarks(std::map<int, bool> marks) {
    m_marks = std::move(marks);
    m_margin->update();
}

int LineNumberedEditor::cursorLine() const {
    return textCursor().blockNumber() + 1;
}

QString LineNumberedEditor::lineText(int line) const {
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    return block.isValid() ? block.text() : QString();
}

void LineNumberedEditor::selectLine(int line) {
    const QTextBlock block = document()->findBlockByNumber(line - 1);
    if (line < 1 || !block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    setTextCursor(cursor);
    centerCursor();
}

int LineNumberedEditor::marginWidth() const {
    const int digits = int(QString::number(qMax(1, blockCount())).size());
    return kMarkWidth + 6 + fontMetrics().horizontalAdvance(u'9') * qMax(2, digits);
}

void LineNumberedEditor::resizeEvent(QResizeEvent* event) {
    QPlainTextEdit::resizeEvent(event);
    const QRect area = contentsRect();
    m_margin->setGeometry(area.left(), area.top(), marginWidth(), area.height());
}

void LineNumberedEditor::updateMargin(const QRect& rect, int dy) {
    if (dy != 0)
        m_margin->scroll(0, dy);
    else
        m_margin->update(0, rect.y(), m_margin->width(), rect.height());
}

void LineNumberedEditor::paintMargin(QPaintEvent* event) {
    QPainter painter(m_margin);
    painter.fillRect(event->rect(), QColor(0xEE, 0xEE, 0xEE));
    QTextBlock block = firstVisibleBlock();
    int top = qRound(blockBoundingGeometry(block).translated(contentOffset()).top());
    const int lineHeight = fontMetrics().height();
    while (block.isValid() && top <= event->rect().bottom()) {
        const int height = qRound(blockBoundingRect(block).height());
        if (block.isVisible() && top + height >= event->rect().top()) {
            const int line = block.blockNumber() + 1;
            if (const auto mark = m_marks.find(line); mark != m_marks.end()) {
                painter.setPen(Qt::NoPen);
                painter.setBrush(mark->second ? QColor(0xD0, 0x10, 0x10)
                                              : QColor(0xE0, 0x90, 0x00));
                const int size = qMin(kMarkWidth - 2, lineHeight - 2);
                painter.drawEllipse(2, top + (lineHeight - size) / 2, size, size);
            }
            painter.setPen(QColor(0x60, 0x60, 0x60));
            painter.drawText(kMarkWidth, top, m_margin->width() - kMarkWidth - 3, lineHeight,
                             Qt::AlignRight, QString::number(line));
        }
        block = block.next();
        top += height;
    }
}

void LineNumberedEditor::lightCursorLine() {
    QTextEdit::ExtraSelection lit;
    lit.format.setBackground(QColor(0xFF, 0xF8, 0xD0));
    lit.format.setProperty(QTextFormat::FullWidthSelection, true);
    lit.cursor = textCursor();
    lit.cursor.clearSelection();
    setExtraSelections({lit});
}

} // namespace pelmar::gui
