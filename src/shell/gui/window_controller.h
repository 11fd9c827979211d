#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "shell/app/app_context.h"
#include "shell/app/installed_printers.h"
#include "shell/app/printer_dialog.h"
#include "shell/app/run_locks.h"
#include "shell/gui/main_window_adapter.h"
#include "shell/gui/operator_screens.h"
#include "state/working_state.h"

#include <QObject>
#include <QStringList>
#include <memory>

namespace pelmar::gui {

class FrmPelmarChi;

// Seams the controller uses instead of the real ones (tests); null or empty: the real one.
struct WindowServices {
    common::MessageBox* messageBox = nullptr;
    common::Clock* clock = nullptr;
    common::EventPump* events = nullptr;
    print_queue::PrintSystem* printSystem = nullptr;
    app::PrinterDirectory* printers = nullptr;
    app::PrinterDialog* printerDialog = nullptr;
    print_command::LibraryFactory libraryFactory;
    app::PageFactory pageFactory;
    // The operator screens' file dialog, program starter and editor environment.
    ScreenServices screens;
};

// Connects the window to start-up and the print commands: runs Form_Load, forwards the print,
// cancel-printing and exit commands, and says when the program ends. Decides nothing the core
// decides; it only keeps a running procedure from being entered twice.
class WindowController : public QObject {
    Q_OBJECT
public:
    // Arguments: the process's arguments without the program name.
    WindowController(state::WorkingState& state, FrmPelmarChi& window, QStringList arguments,
                     WindowServices services = {});
    ~WindowController() override;

    // Form_Load. Returns whether the program ends right after it (its exit status in status).
    bool start(int& status);

    app::AppContext& context() { return *m_context; }
    // The password gate and the test-print and setup screens of interactive mode.
    OperatorScreens* screens() const { return m_screens; }
    bool busy() const { return m_busy; }

    // mnuExit_Click: writes the run settings and ends the program. A file that cannot be written
    // is reported and the program stays, so nothing is lost.
    void mnuExit_Click();

    // Ends the program with an exit status (once; later calls do nothing). For the screens whose
    // procedures can end it (a format loader in automatic printing).
    void endProgram(int status);

signals:
    // The program ends now with this exit status.
    void programEnds(int status);

private:
    void onPrint();
    void onDelete();
    void onExitMenu();
    void onCloseBox();
    // After a procedure returned: ends the program when it or the operator asked for that.
    void finishProcedure(const app::FlowResult& result);

    state::WorkingState& m_state;
    FrmPelmarChi& m_window;
    MainWindowAdapter m_adapter;
    std::unique_ptr<common::MessageBox> m_ownMessageBox;
    std::unique_ptr<common::Clock> m_ownClock;
    std::unique_ptr<common::EventPump> m_ownEvents;
    std::unique_ptr<print_queue::PrintSystem> m_ownPrintSystem;
    std::unique_ptr<app::PrinterDirectory> m_ownPrinters;
    std::unique_ptr<app::PrinterDialog> m_ownPrinterDialog;
    // Another run holding the program folder or the printer is refused at once, in a message box.
    app::RunLocks m_runLocks{QStringLiteral("pelmar"), std::chrono::milliseconds(0)};
    std::unique_ptr<app::AppContext> m_context;
    OperatorScreens* m_screens = nullptr;
    bool m_busy = false;
    bool m_ended = false;
    bool m_closeRequested = false;
    bool m_exitRequested = false;
};

} // namespace pelmar::gui
