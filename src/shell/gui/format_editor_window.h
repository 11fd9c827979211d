#pragma once

#include "common/message_box.h"
#include "shell/app/format_editor_session.h"
#include "shell/app/label_preview.h"
#include "shell/gui/preview_runner.h"

#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QLabel;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace pelmar::gui {

class LabelPreviewView;
class LineNumberedEditor;

// What the format editor is opened with.
struct FormatEditorOpening {
    const state::WorkingState* state = nullptr; // records, print mode, code page
    std::unique_ptr<app::FormatEditorSession> session;
    PreviewFunction previewer;
    int record = 0;                         // the record chosen in the grid
    common::MessageBox* messages = nullptr; // null: message boxes over the editor
    std::function<void()> openElsewhere;    // 以其他編輯器開啟
};

// The format editor: the format's text with line numbers and its keys coloured on the left,
// the faults of the format under it, and on the right the label of the chosen record as the
// printer will print it, drawn again shortly after each change. The session decides what is
// saved and what is asked; the window only shows and forwards.
class FormatEditorWindow : public QWidget {
    Q_OBJECT
public:
    FormatEditorWindow(FormatEditorOpening opening, QWidget* parent = nullptr);
    ~FormatEditorWindow() override;

    const QString& path() const { return m_session->path(); }
    LineNumberedEditor* text() const { return m_text; }
    LabelPreviewView* preview() const { return m_view; }
    QListWidget* problems() const { return m_problems; }
    QSpinBox* recordChooser() const { return m_record; }
    QLabel* pointerPosition() const { return m_pointer; }
    QLabel* cannotDraw() const { return m_cannotDraw; }
    QPushButton* cmdSave() const { return m_save; }
    QPushButton* cmdRevert() const { return m_revert; }
    QPushButton* cmdOpenElsewhere() const { return m_openElsewhere; }
    QPushButton* cmdClose() const { return m_close; }
    // The preview last drawn.
    const app::LabelPreview& shownPreview() const { return m_shown; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void build();
    void requestPreview();
    void showPreview(const app::LabelPreview& preview);
    void outlineCursorLine();
    void showPointer(QPointF pixel);
    void onSave();
    void onRevert();
    void updateTitle();

    const state::WorkingState& m_state;
    std::unique_ptr<app::FormatEditorSession> m_session;
    std::unique_ptr<common::MessageBox> m_ownMessages;
    common::MessageBox* m_messages;
    std::function<void()> m_openElsewhereAction;
    PreviewRunner* m_runner;
    QTimer m_debounce;
    app::LabelPreview m_shown;

    LineNumberedEditor* m_text = nullptr;
    QListWidget* m_problems = nullptr;
    LabelPreviewView* m_view = nullptr;
    QSpinBox* m_record = nullptr;
    QLabel* m_recordLine = nullptr;
    QLabel* m_pointer = nullptr;
    QLabel* m_cannotDraw = nullptr;
    QPushButton* m_save = nullptr;
    QPushButton* m_revert = nullptr;
    QPushButton* m_openElsewhere = nullptr;
    QPushButton* m_close = nullptr;
};

} // namespace pelmar::gui
