#pragma once

#include <QPlainTextEdit>
#include <map>

namespace pelmar::gui {

// A plain-text editor with a margin of line numbers in which the lines with faults are marked
// (red for an error, orange for warnings only); the cursor's line is lit.
class LineNumberedEditor : public QPlainTextEdit {
    Q_OBJECT
public:
    explicit LineNumberedEditor(QWidget* parent = nullptr);

    // The marked lines (1-based), true for an error.
    void setMarks(std::map<int, bool> marks);
    // The cursor's line, 1-based.
    int cursorLine() const;
    // The text of a line (1-based), empty outside the text.
    QString lineText(int line) const;
    // Selects a whole line (1-based) and shows it; nothing outside the text.
    void selectLine(int line);

    // The margin's width in pixels and its painting (called by the margin).
    int marginWidth() const;
    void paintMargin(QPaintEvent* event);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void updateMargin(const QRect& rect, int dy);
    void lightCursorLine();

    QWidget* m_margin;
    std::map<int, bool> m_marks;
};

} // namespace pelmar::gui
