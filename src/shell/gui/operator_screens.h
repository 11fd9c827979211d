#pragma once

#include "shell/app/app_context.h"
#include "shell/app/data_source_command.h"
#include "shell/app/format_lists.h"
#include "shell/app/journal_screen.h"
#include "shell/app/password_gate.h"
#include "shell/gui/preview_runner.h"
#include "state/working_state.h"

#include <QObject>
#include <QPointer>
#include <memory>
#include <optional>

namespace pelmar::gui {

class FormatEditorWindow;
class FrmPelmarChi;
class JournalScreen;
class PasswordPanel;
class SetupPanel;
class TestPrintPanel;

// Seams of the operator screens (tests); null or empty: the real ones.
struct ScreenServices {
    app::FileOpenDialog* fileDialog = nullptr;
    app::ProgramStarter* programStarter = nullptr;
    std::optional<app::EditorEnvironment> editorEnvironment;
    // The format editor's preview (app::previewLabel when empty) and its message boxes (over
    // the editor when null).
    PreviewFunction previewer;
    common::MessageBox* editorMessages = nullptr;
    // The journal screen's reprint (null: app::JournalReprinter).
    app::Reprinter* reprinter = nullptr;
};

// Everything an operator does under "/T": the menus open the password gate, the gate opens the
// test-print screen, the setup screen or the journal screen, and the buttons of those screens run
// their procedures. The panels show and signal; the decisions are the functions of shell/app. No
// exception leaves a slot: an unexpected one is reported with a critical message "發生非預期錯誤".
class OperatorScreens : public QObject {
    Q_OBJECT
public:
    // Builds the gate and the screens on the window's client area and connects the menus.
    OperatorScreens(app::AppContext& context, FrmPelmarChi& window, ScreenServices services = {});
    ~OperatorScreens() override;

    PasswordPanel* FramePassword() const { return m_gate; }
    TestPrintPanel* frameTestPrint() const { return m_testPrint; }
    SetupPanel* frameSetup() const { return m_setup; }
    JournalScreen* journalScreen() const { return m_journal; }
    // The format editor that 格式修改 opened, null when none is open.
    FormatEditorWindow* formatEditor() const;
    // A test print or a reprint is under way (their buttons are ignored meanwhile).
    bool busy() const;

    // The menus mnuTestPrint, mnuSetup and mnuJournal: open the gate for their screen.
    void mnuTestPrint_Click();
    void mnuSetup_Click();
    void mnuJournal_Click();
    void cmdPwOk_Click();
    void cmdPwCancel_Click();
    void cmdTestPrintCancel_Click();
    void cmdSetupCancel_Click();
    void cmdSetupOk_Click();

signals:
    // A procedure asked to end the program (automatic-mode rules of a reader or loader).
    void programEnds(int status);

private:
    void openGate(app::PasswordTarget target);
    void openTestPrintScreen();
    void openSetupScreen();
    void openJournalScreen();
    void journalScreenLeft();
    void onTestPrintOk();
    void onSelDataSource();
    void onEditFormat();
    void onBrowse();
    void onFieldListClicked(int position);
    void onFieldNew();
    void onFieldUpdate();
    void onFieldRemove();
    void onFormatListClicked(int position);
    void onFormatNew();
    void onFormatRemove();
    // Runs a slot's work; anything thrown is reported, never passed on to Qt.
    template <typename Work> void guarded(Work work);

    app::AppContext& m_context;
    state::WorkingState& m_state;
    FrmPelmarChi& m_window;
    std::unique_ptr<app::FileOpenDialog> m_ownFileDialog;
    std::unique_ptr<app::ProgramStarter> m_ownStarter;
    std::unique_ptr<app::Reprinter> m_ownReprinter;
    app::FileOpenDialog* m_fileDialog;
    app::ProgramStarter* m_starter;
    app::EditorEnvironment m_editorEnvironment;
    PreviewFunction m_previewer;
    common::MessageBox* m_editorMessages;
    QPointer<FormatEditorWindow> m_editor;
    PasswordPanel* m_gate;
    TestPrintPanel* m_testPrint;
    SetupPanel* m_setup;
    JournalScreen* m_journal;
    bool m_busy = false;
};

} // namespace pelmar::gui
