#include "shell/gui/operator_screens.h"

#include "common/run_error.h"
#include "data/data_file_reader.h"
#include "data/data_grid.h"
#include "shell/app/field_editor.h"
#include "shell/app/screen_filling.h"
#include "shell/app/test_print_command.h"
#include "shell/app/window_reprint.h"
#include "shell/gui/format_editor_window.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/journal_screen.h"
#include "shell/gui/password_panel.h"
#include "shell/gui/qt_screen_services.h"
#include "shell/gui/setup_panel.h"
#include "shell/gui/test_print_panel.h"
#include "state/setup_save.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

namespace pelmar::gui {

OperatorScreens::OperatorScreens(app::AppContext& context, FrmPelmarChi& window,
                                 ScreenServices services)
    : QObject(&window), m_context(context), m_state(context.state), m_window(window),
      m_fileDialog(services.fileDialog), m_starter(services.programStarter),
      m_editorEnvironment(services.editorEnvironment ? *services.editorEnvironment
                                                     : app::systemEditorEnvironment()),
      m_previewer(services.previewer
                      ? std::move(services.previewer)
                      : PreviewFunction([](const state::WorkingState& state, const QByteArray& text,
                                           int record, const QDate& today) {
                            return app::previewLabel(state, text, record, today);
                        })),
      m_editorMessages(services.editorMessages) {
    if (m_fileDialog == nullptr) {
        m_ownFileDialog = std::make_unique<QtFileOpenDialog>(&window);
        m_fileDialog = m_ownFileDialog.get();
    }
    if (m_starter == nullptr) {
        m_ownStarter = std::make_unique<QtProgramStarter>();
        m_starter = m_ownStarter.get();
    }
    app::Reprinter* reprinter = services.reprinter;
    if (reprinter == nullptr) {
        m_ownReprinter = std::make_unique<app::JournalReprinter>();
        reprinter = m_ownReprinter.get();
    }
    QWidget* client = window.clientArea();
    m_testPrint = new TestPrintPanel(m_state, client);
    m_setup = new SetupPanel(m_state, client);
    m_gate = new PasswordPanel(client);
    // Registered in the layout rule's order; the gate last, so it lies over an open screen.
    window.registerPanel(m_testPrint, TestPrintPanel::designedSize, app::OverGrid::KeepsInUse);
    window.registerPanel(m_setup, SetupPanel::designedSize);
    m_journal = new JournalScreen(context, window, *reprinter);
    window.registerPanel(m_gate, PasswordPanel::designedSize);

    connect(&window, &FrmPelmarChi::mnuTestPrintClicked, this,
            &OperatorScreens::mnuTestPrint_Click);
    connect(&window, &FrmPelmarChi::mnuSetupClicked, this, &OperatorScreens::mnuSetup_Click);
    connect(&window, &FrmPelmarChi::mnuJournalClicked, this, &OperatorScreens::mnuJournal_Click);
    connect(m_journal, &JournalScreen::closed, this, &OperatorScreens::journalScreenLeft);
    connect(m_gate, &PasswordPanel::cmdPwOkClicked, this, &OperatorScreens::cmdPwOk_Click);
    connect(m_gate, &PasswordPanel::cmdPwCancelClicked, this, &OperatorScreens::cmdPwCancel_Click);

    connect(m_testPrint, &TestPrintPanel::ListLabelClicked, this,
            [this](const QString& entry) { app::ListLabel_Click(m_state, entry); });
    connect(m_testPrint, &TestPrintPanel::cmdSelDataSourceClicked, this,
            &OperatorScreens::onSelDataSource);
    connect(m_testPrint, &TestPrintPanel::cmdEditFormatClicked, this,
            &OperatorScreens::onEditFormat);
    connect(m_testPrint, &TestPrintPanel::cmdTestPrintOkClicked, this,
            &OperatorScreens::onTestPrintOk);
    connect(m_testPrint, &TestPrintPanel::cmdTestPrintCancelClicked, this,
            &OperatorScreens::cmdTestPrintCancel_Click);

    connect(m_setup, &SetupPanel::cmdSetupOkClicked, this, &OperatorScreens::cmdSetupOk_Click);
    connect(m_setup, &SetupPanel::cmdSetupCancelClicked, this,
            &OperatorScreens::cmdSetupCancel_Click);
    connect(m_setup, &SetupPanel::cmdBrowseClicked, this, &OperatorScreens::onBrowse);
    SetupFieldsFrame* fields = m_setup->Frame1();
    connect(fields, &SetupFieldsFrame::fldListClicked, this, &OperatorScreens::onFieldListClicked);
    connect(fields, &SetupFieldsFrame::cmdFldNewClicked, this, &OperatorScreens::onFieldNew);
    connect(fields, &SetupFieldsFrame::cmdFldUpdateClicked, this, &OperatorScreens::onFieldUpdate);
    connect(fields, &SetupFieldsFrame::cmdFldRemoveClicked, this, &OperatorScreens::onFieldRemove);
    SetupFormatsFrame* formats = m_setup->Frame2();
    connect(formats, &SetupFormatsFrame::fmtListClicked, this,
            &OperatorScreens::onFormatListClicked);
    connect(formats, &SetupFormatsFrame::cmdNewClicked, this, &OperatorScreens::onFormatNew);
    connect(formats, &SetupFormatsFrame::cmdRemoveClicked, this, &OperatorScreens::onFormatRemove);
}

OperatorScreens::~OperatorScreens() = default;

FormatEditorWindow* OperatorScreens::formatEditor() const {
    return m_editor;
}

bool OperatorScreens::busy() const {
    return m_busy || m_journal->busy();
}

template <typename Work> void OperatorScreens::guarded(Work work) {
    try {
        work();
    } catch (...) {
        common::showMessage(m_context.messageBox, common::caughtError().description,
                            QStringLiteral("發生非預期錯誤"));
    }
}

void OperatorScreens::mnuTestPrint_Click() {
    openGate(app::PasswordTarget::TestPrint);
}

void OperatorScreens::mnuSetup_Click() {
    openGate(app::PasswordTarget::Setup);
}

void OperatorScreens::mnuJournal_Click() {
    openGate(app::PasswordTarget::Journal);
}

void OperatorScreens::openGate(app::PasswordTarget target) {
    m_gate->setTitle(app::gateTitle(target));
    m_gate->show();
    m_gate->raise();
    m_gate->setButtonRoles(true);
    m_gate->txtPassword()->clear();
    m_gate->txtPassword()->setFocus();
    app::openGate(m_state, target);
}

void OperatorScreens::cmdPwOk_Click() {
    if (!app::passwordMatches(m_gate->txtPassword()->text()))
        return;
    m_gate->setButtonRoles(false);
    m_gate->hide();
    guarded([this] {
        switch (app::gateTarget(m_state)) {
        case app::PasswordTarget::TestPrint:
            openTestPrintScreen();
            break;
        case app::PasswordTarget::Journal:
            openJournalScreen();
            break;
        case app::PasswordTarget::Setup:
            openSetupScreen();
            break;
        }
    });
}

void OperatorScreens::cmdPwCancel_Click() {
    m_window.mnuTestPrint()->setEnabled(true);
    m_window.mnuSetup()->setEnabled(true);
    m_window.mnuJournal()->setEnabled(true);
    m_window.mnuExit()->setEnabled(true);
    m_gate->setButtonRoles(false);
    m_gate->hide();
}

void OperatorScreens::openTestPrintScreen() {
    m_window.mnuSetup()->setEnabled(false);
    m_window.mnuJournal()->setEnabled(false);
    m_window.mnuExit()->setEnabled(false);
    m_window.setStatusMessage(app::kTestPrintScreenStatus);
    const app::TestPrintScreenFill fill = app::testPrintScreenFill(m_state);
    m_testPrint->lblDataSourceName()->setText(fill.dataSourceName);
    m_testPrint->ListLabel()->clear();
    m_testPrint->ListLabel()->addItems(fill.formats);
    m_testPrint->cmdEditFormat()->setEnabled(fill.editFormatEnabled);
    m_testPrint->cmdTestPrintOk()->setEnabled(fill.testPrintEnabled);
    m_testPrint->txtADPrice1()->setEnabled(fill.priceEnabled);
    m_testPrint->txtADPrice1()->setText(fill.priceText);
    m_testPrint->show();
    m_testPrint->raise();
    m_testPrint->repaint();
    m_testPrint->txtTestPrintQty()->clear();
    m_testPrint->txtTestPrintQty()->setFocus();
}

void OperatorScreens::openSetupScreen() {
    m_window.mnuTestPrint()->setEnabled(false);
    m_window.mnuJournal()->setEnabled(false);
    m_window.mnuExit()->setEnabled(false);
    m_window.setStatusMessage(app::kSetupScreenStatus);
    const app::SetupScreenFill fill = app::prepareSetupScreen(m_state);
    m_setup->fill(fill, m_window.printerList(), m_state.programFolder, QStringLiteral("*.FMT"));
    m_setup->Frame1()->fldList()->clearSelection();
    m_setup->Frame2()->fmtList()->clearSelection();
    m_setup->show();
    m_setup->raise();
    m_setup->repaint();
    m_setup->cmdSetupCancel()->setFocus();
}

void OperatorScreens::openJournalScreen() {
    m_window.mnuTestPrint()->setEnabled(false);
    m_window.mnuSetup()->setEnabled(false);
    m_window.mnuExit()->setEnabled(false);
    m_journal->open();
}

void OperatorScreens::journalScreenLeft() {
    m_window.mnuTestPrint()->setEnabled(true);
    m_window.mnuSetup()->setEnabled(true);
    m_window.mnuExit()->setEnabled(true);
    m_window.setStatusMessage(app::kScreenLeftStatus);
}

void OperatorScreens::cmdTestPrintCancel_Click() {
    if (m_busy)
        return;
    m_testPrint->hide();
    m_window.mnuSetup()->setEnabled(true);
    m_window.mnuJournal()->setEnabled(true);
    m_window.mnuExit()->setEnabled(true);
    m_window.setStatusMessage(app::kScreenLeftStatus);
}

void OperatorScreens::cmdSetupCancel_Click() {
    m_setup->hide();
    m_window.mnuTestPrint()->setEnabled(true);
    m_window.mnuJournal()->setEnabled(true);
    m_window.mnuExit()->setEnabled(true);
    m_window.setStatusMessage(app::kScreenLeftStatus);
}

void OperatorScreens::cmdSetupOk_Click() {
    guarded([this] {
        const state::SetupSaveResult result =
            state::saveSetup(m_state, m_setup->values(), m_context.messageBox);
        if (!result.saved) {
            m_setup->focusControl(result.focus);
            return;
        }
        m_window.lblPrintItem()->setToolTip(result.printerToolTip);
        m_testPrint->ListLabel()->clear();
        m_window.setStatusMessage(app::kScreenLeftStatus);
        m_window.mnuTestPrint()->setEnabled(true);
        m_window.mnuJournal()->setEnabled(true);
        m_window.mnuExit()->setEnabled(true);
        m_setup->hide();
        if (m_state.textFileName.isEmpty())
            return;
        const data::DataReadResult read = data::LoadDataFile(m_state, m_context.messageBox);
        if (read.failed && read.endProgram) {
            emit programEnds(1);
            return;
        }
        m_window.fillDataGrid(m_state);
        m_window.MSFlexGrid1_Click();
    });
}

void OperatorScreens::onTestPrintOk() {
    if (m_busy)
        return;
    m_busy = true;
    app::TestPrintResult result;
    // cmdTestPrintOk_Click reports its own failures; guarded only keeps a stray one in.
    guarded([&] { result = app::cmdTestPrintOk_Click(m_context, *m_testPrint); });
    m_busy = false;
    if (result.programEnds)
        emit programEnds(1);
}

void OperatorScreens::onSelDataSource() {
    if (m_busy)
        return;
    guarded([this] {
        const app::DataSourceResult result = app::cmdSelDataSource_Click(m_context, *m_fileDialog);
        if (result.programEnds) {
            emit programEnds(1);
            return;
        }
        if (!result.chosen)
            return;
        m_testPrint->lblDataSourceName()->setText(m_state.textFileName);
        m_testPrint->cmdTestPrintOk()->setEnabled(result.testPrintEnabled);
    });
}

void OperatorScreens::onEditFormat() {
    guarded([this] {
        const std::optional<QString> path = app::chooseFormatToEdit(
            m_state, m_testPrint->firstListedFormat(), m_context.messageBox);
        if (!path)
            return;
        if (m_editor != nullptr) {
            if (m_editor->path() == *path) {
                m_editor->raise();
                m_editor->activateWindow();
                return;
            }
            if (!m_editor->close())
                return; // the operator keeps the edit of the other format
        }
        FormatEditorOpening opening;
        opening.state = &m_state;
        try {
            opening.session = std::make_unique<app::FormatEditorSession>(*path, m_state.codePage);
        } catch (...) {
            common::showMessage(m_context.messageBox, common::caughtError().description,
                                app::kEditFormatTitle, common::MessageIcon::Exclamation);
            return;
        }
        opening.previewer = m_previewer;
        opening.record = m_state.currentRecord;
        opening.messages = m_editorMessages;
        opening.openElsewhere = [this, path = *path] {
            guarded([this, &path] {
                app::startOtherEditor(path, m_context.messageBox, *m_starter, m_editorEnvironment);
            });
        };
        m_editor = new FormatEditorWindow(std::move(opening), &m_window);
        m_editor->show();
        m_editor->activateWindow();
    });
}

void OperatorScreens::onBrowse() {
    guarded([this] {
        if (const std::optional<QString> chosen = app::cmdBrowse_Click(m_state, *m_fileDialog))
            m_setup->txtFileName()->setText(*chosen);
    });
}

void OperatorScreens::onFieldListClicked(int position) {
    guarded([this, position] {
        SetupFieldsFrame* fields = m_setup->Frame1();
        if (const std::optional<app::FieldEditor> editor =
                app::fldList_Click(m_state, fields->entries(), position))
            fields->showEditor(*editor);
    });
}

void OperatorScreens::onFieldNew() {
    guarded([this] {
        SetupFieldsFrame* fields = m_setup->Frame1();
        QStringList entries = fields->entries();
        const app::FieldEditorFocus focus =
            app::cmdFldNew_Click(m_state, entries, fields->editor(), m_context.messageBox);
        fields->setEntries(entries);
        fields->focusControl(focus);
    });
}

void OperatorScreens::onFieldUpdate() {
    guarded([this] {
        SetupFieldsFrame* fields = m_setup->Frame1();
        QStringList entries = fields->entries();
        const app::FieldEditorFocus focus =
            app::cmdFldUpdate_Click(m_state, entries, fields->editor(), m_context.messageBox);
        fields->setEntries(entries);
        fields->focusControl(focus);
    });
}

void OperatorScreens::onFieldRemove() {
    guarded([this] {
        SetupFieldsFrame* fields = m_setup->Frame1();
        QStringList entries = fields->entries();
        const qsizetype before = entries.size();
        const app::FieldEditorFocus focus =
            app::cmdFldRemove_Click(m_state, entries, m_context.messageBox);
        fields->setEntries(entries);
        if (entries.size() != before)
            fields->fldList()->clearSelection();
        fields->focusControl(focus);
    });
}

void OperatorScreens::onFormatListClicked(int position) {
    app::fmtList_Click(m_state, m_setup->Frame2()->entries(), position);
}

void OperatorScreens::onFormatNew() {
    guarded([this] {
        SetupFormatsFrame* formats = m_setup->Frame2();
        QStringList entries = formats->entries();
        const app::FormatListFocus focus = app::cmdNew_Click(
            entries, formats->files(), formats->selectedFileRow(), m_context.messageBox);
        formats->setEntries(entries);
        formats->focusControl(focus);
    });
}

void OperatorScreens::onFormatRemove() {
    guarded([this] {
        SetupFormatsFrame* formats = m_setup->Frame2();
        QStringList entries = formats->entries();
        const qsizetype before = entries.size();
        const app::FormatListFocus focus =
            app::cmdRemove_Click(m_state, entries, m_context.messageBox);
        formats->setEntries(entries);
        if (entries.size() != before)
            formats->fmtList()->clearSelection();
        formats->focusControl(focus);
    });
}

} // namespace pelmar::gui
