#include "shell/gui/format_editor_window.h"

#include "common/timing.h"
#include "data/data_grid.h"
#include "shell/app/preview_reading.h"
#include "shell/gui/format_highlighter.h"
#include "shell/gui/label_preview_view.h"
#include "shell/gui/line_numbered_editor.h"
#include "shell/gui/qt_services.h"
#include "shell/gui/window_look.h"

#include <QBoxLayout>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFontDatabase>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QSplitter>

namespace pelmar::gui {

namespace {

// Each fault's line, kept with its entry in the list.
constexpr int kLineRole = Qt::UserRole;

QPushButton* makeButton(const QString& caption, const char* name, IconKind icon, QWidget* parent) {
    auto* button = new QPushButton(makeIcon(icon), caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

} // namespace

FormatEditorWindow::FormatEditorWindow(FormatEditorOpening opening, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(*opening.state), m_session(std::move(opening.session)),
      m_messages(opening.messages), m_openElsewhereAction(std::move(opening.openElsewhere)),
      m_runner(new PreviewRunner(*opening.state, std::move(opening.previewer), this)) {
    setObjectName(QStringLiteral("formatEditor"));
    setAttribute(Qt::WA_DeleteOnClose);
    if (m_messages == nullptr) {
        m_ownMessages = std::make_unique<QtMessageBox>(this);
        m_messages = m_ownMessages.get();
    }
    build();
    m_record->setValue(opening.record);
    m_text->setPlainText(m_session->savedText());
    m_text->document()->setModified(false);

    m_debounce.setSingleShot(true);
    m_debounce.setInterval(common::timing::kPreviewDebounce);
    connect(&m_debounce, &QTimer::timeout, this, &FormatEditorWindow::requestPreview);
    connect(m_text, &QPlainTextEdit::textChanged, this, [this] {
        updateTitle();
        m_debounce.start();
    });
    connect(m_text, &QPlainTextEdit::cursorPositionChanged, this,
            &FormatEditorWindow::outlineCursorLine);
    connect(m_record, &QSpinBox::valueChanged, this, &FormatEditorWindow::requestPreview);
    connect(m_runner, &PreviewRunner::drawn, this, &FormatEditorWindow::showPreview);
    connect(m_view, &LabelPreviewView::pointerMoved, this, &FormatEditorWindow::showPointer);
    connect(m_view, &LabelPreviewView::pointerLeft, m_pointer, &QLabel::clear);
    connect(m_view, &LabelPreviewView::clicked, this, [this](QPoint pixel) {
        m_text->selectLine(app::elementLineAt(m_shown, pixel));
        m_text->setFocus();
    });
    connect(m_problems, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) {
        m_text->selectLine(item->data(kLineRole).toInt());
        m_text->setFocus();
    });
    connect(m_save, &QPushButton::clicked, this, &FormatEditorWindow::onSave);
    connect(m_revert, &QPushButton::clicked, this, &FormatEditorWindow::onRevert);
    connect(m_close, &QPushButton::clicked, this, &QWidget::close);
    connect(m_openElsewhere, &QPushButton::clicked, this, [this] {
        if (m_openElsewhereAction)
            m_openElsewhereAction();
    });
    updateTitle();
    requestPreview();
}

FormatEditorWindow::~FormatEditorWindow() = default;

void FormatEditorWindow::build() {
    setFont(windowFont(10));
    m_text = new LineNumberedEditor(this);
    m_text->setObjectName(QStringLiteral("formatText"));
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPointSizeF(11);
    m_text->setFont(fixed);
    new FormatHighlighter(m_text->document());
    m_problems = new QListWidget(this);
    m_problems->setObjectName(QStringLiteral("formatProblems"));
    m_problems->setMaximumHeight(110);

    m_view = new LabelPreviewView(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(m_view);
    scroll->setWidgetResizable(true);
    m_record = new QSpinBox(this);
    m_record->setObjectName(QStringLiteral("previewRecord"));
    m_record->setRange(m_state.recordCount > 0 ? 1 : 0, m_state.recordCount);
    m_record->setEnabled(m_state.recordCount > 0);
    m_recordLine = new QLabel(this);
    m_recordLine->setObjectName(QStringLiteral("previewRecordLine"));
    m_pointer = new QLabel(this);
    m_pointer->setObjectName(QStringLiteral("pointerPosition"));
    m_cannotDraw = new QLabel(this);
    m_cannotDraw->setObjectName(QStringLiteral("cannotDraw"));
    m_cannotDraw->setWordWrap(true);
    setTextColour(m_cannotDraw, colours::red);
    auto* recordCaption = new QLabel(QStringLiteral("資料(&D):"), this);
    recordCaption->setBuddy(m_record);

    m_save = makeButton(QStringLiteral("儲存(&S)"), "cmdFormatSave", IconKind::Save, this);
    m_revert = makeButton(QStringLiteral("還原(&R)"), "cmdFormatRevert", IconKind::Cancel, this);
    m_openElsewhere = makeButton(QStringLiteral("以其他編輯器開啟(&O)"), "cmdOpenElsewhere",
                                 IconKind::Edit, this);
    m_close = makeButton(QStringLiteral("關閉(&C)"), "cmdFormatClose", IconKind::Exit, this);

    auto* left = new QWidget(this);
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_text, 1);
    leftLayout->addWidget(m_problems);

    auto* right = new QWidget(this);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* recordRow = new QHBoxLayout;
    recordRow->addWidget(recordCaption);
    recordRow->addWidget(m_record);
    recordRow->addWidget(m_recordLine, 1);
    rightLayout->addLayout(recordRow);
    rightLayout->addWidget(scroll, 1);
    rightLayout->addWidget(m_pointer);
    rightLayout->addWidget(m_cannotDraw);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    splitter->addWidget(left);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_save);
    buttons->addWidget(m_revert);
    buttons->addStretch(1);
    buttons->addWidget(m_openElsewhere);
    buttons->addWidget(m_close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);
    resize(1100, 620);
}

void FormatEditorWindow::requestPreview() {
    m_debounce.stop();
    const int record = m_record->value();
    m_recordLine->setText(record > 0 ? data::currentRecordLine(m_state, record) : QString());
    m_runner->request(m_session->bytesOf(m_text->toPlainText()), record);
}

void FormatEditorWindow::showPreview(const app::LabelPreview& preview) {
    m_shown = preview;
    m_view->setPreview(preview);
    m_cannotDraw->setText(preview.cannotDraw);
    m_problems->clear();
    for (const app::PreviewProblem& problem : preview.problems) {
        auto* item = new QListWidgetItem(app::problemText(problem), m_problems);
        item->setData(kLineRole, problem.line);
        item->setForeground(problem.error ? colours::red : QColor(0xB0, 0x60, 0x00));
    }
    m_text->setMarks(app::problemMarks(preview));
    outlineCursorLine();
}

void FormatEditorWindow::outlineCursorLine() {
    m_view->setOutlined(app::elementBoxesOf(m_shown, m_text->cursorLine()));
}

void FormatEditorWindow::showPointer(QPointF pixel) {
    const int line = app::elementLineAt(m_shown, pixel.toPoint());
    m_pointer->setText(app::pointerPosition(m_shown, pixel, m_state.printMode,
                                            line > 0 ? m_text->lineText(line) : QString()));
}

void FormatEditorWindow::onSave() {
    if (m_session->save(m_text->toPlainText(), *m_messages))
        updateTitle();
}

void FormatEditorWindow::onRevert() {
    if (!m_session->mayRevert(m_text->toPlainText(), *m_messages))
        return;
    const int line = m_text->cursorLine();
    m_text->setPlainText(m_session->savedText());
    m_text->selectLine(line);
}

void FormatEditorWindow::updateTitle() {
    const bool modified = m_session->isModified(m_text->toPlainText());
    setWindowTitle(QStringLiteral("%1 - %2%3")
                       .arg(app::kFormatEditorTitle, QFileInfo(path()).fileName(),
                            modified ? QStringLiteral(" *") : QString()));
    m_save->setEnabled(modified);
    m_revert->setEnabled(modified);
}

void FormatEditorWindow::closeEvent(QCloseEvent* event) {
    if (m_session->mayClose(m_text->toPlainText(), *m_messages))
        event->accept();
    else
        event->ignore();
}

} // namespace pelmar::gui
