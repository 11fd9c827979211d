#include "shell/gui/window_controller.h"

#include "common/run_error.h"
#include "print_queue/cups_print_system.h"
#include "shell/app/exit_status.h"
#include "shell/app/print_commands.h"
#include "shell/app/print_flow.h"
#include "shell/app/startup.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/print_panel.h"
#include "shell/gui/qt_services.h"

namespace pelmar::gui {

namespace {

// Sets a flag for the time a procedure runs.
class BusyScope {
public:
    explicit BusyScope(bool& flag) : m_flag(flag) { m_flag = true; }
    ~BusyScope() { m_flag = false; }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

private:
    bool& m_flag;
};

} // namespace

WindowController::WindowController(state::WorkingState& state, FrmPelmarChi& window,
                                   QStringList arguments, WindowServices services)
    : m_state(state), m_window(window), m_adapter(window) {
    if (services.messageBox == nullptr) {
        m_ownMessageBox = std::make_unique<QtMessageBox>(&window);
        services.messageBox = m_ownMessageBox.get();
    }
    if (services.clock == nullptr) {
        m_ownClock = std::make_unique<common::SteadyClock>();
        services.clock = m_ownClock.get();
    }
    if (services.events == nullptr) {
        m_ownEvents = std::make_unique<QtEventPump>();
        services.events = m_ownEvents.get();
    }
    if (services.printSystem == nullptr) {
        m_ownPrintSystem = std::make_unique<print_queue::CupsPrintSystem>();
        services.printSystem = m_ownPrintSystem.get();
    }
    if (services.printers == nullptr) {
        m_ownPrinters = std::make_unique<app::PrintSystemDirectory>(*services.printSystem);
        services.printers = m_ownPrinters.get();
    }
    if (services.printerDialog == nullptr) {
        m_ownPrinterDialog = std::make_unique<QtPrinterDialog>(&window);
        services.printerDialog = m_ownPrinterDialog.get();
    }
    // Seven seams, the rest assigned below.
    m_context = std::make_unique<app::AppContext>(state, m_adapter, *services.messageBox,
                                                  *services.clock, *services.events,
                                                  *services.printers, *services.printerDialog);
    m_context->arguments = std::move(arguments);
    m_context->libraryFactory = std::move(services.libraryFactory);
    m_context->pageFactory = std::move(services.pageFactory);
    m_context->printSystem = services.printSystem;
    m_context->runLocks = &m_runLocks;

    // The operator screens of "/T" (owned by the window); a reader or loader that ends the
    // program from there ends it like any procedure.
    m_screens = new OperatorScreens(*m_context, window, services.screens);
    connect(m_screens, &OperatorScreens::programEnds, this, &WindowController::endProgram);

    PrintPanel* panel = window.FramePrint();
    connect(panel, &PrintPanel::cmdPrintClicked, this, &WindowController::onPrint);
    connect(panel, &PrintPanel::cmdDeleteClicked, this, &WindowController::onDelete);
    connect(&window, &FrmPelmarChi::mnuExitClicked, this, &WindowController::onExitMenu);
    connect(&window, &FrmPelmarChi::closeBoxUsed, this, &WindowController::onCloseBox);
}

WindowController::~WindowController() = default;

bool WindowController::start(int& status) {
    app::FlowResult result;
    {
        const BusyScope busy(m_busy);
        result = app::Form_Load(*m_context);
    }
    // The start-up run has written back its settings; a window that stays holds no lock.
    m_runLocks.release();
    status = app::exitStatus(result);
    if (m_exitRequested) {
        m_exitRequested = false;
        mnuExit_Click();
    }
    if (result.programEnds || m_closeRequested || m_ended) {
        m_ended = true;
        return true;
    }
    return false;
}

void WindowController::onPrint() {
    if (m_busy || m_ended)
        return;
    app::FlowResult result;
    {
        const BusyScope busy(m_busy);
        result = app::cmdPrint_Click(*m_context);
    }
    finishProcedure(result);
}

void WindowController::onDelete() {
    app::cmdDelete_Click(m_state);
}

void WindowController::onExitMenu() {
    if (m_busy) {
        // The run on the stack stops at its next cancel point; leaving follows when it returns.
        m_state.cancelRequested = true;
        m_exitRequested = true;
        return;
    }
    mnuExit_Click();
}

void WindowController::mnuExit_Click() {
    if (m_ended)
        return;
    try {
        app::saveRunSettings(*m_context);
    } catch (...) {
        common::showMessage(m_context->messageBox, common::caughtError().description,
                            QStringLiteral("發生非預期錯誤"));
        return;
    }
    endProgram(0);
}

void WindowController::endProgram(int status) {
    if (m_ended)
        return;
    m_ended = true;
    emit programEnds(status);
}

void WindowController::onCloseBox() {
    if (m_busy) {
        // The close box ends the program; a run under way stops first so its port is closed.
        m_state.cancelRequested = true;
        m_closeRequested = true;
        return;
    }
    endProgram(0);
}

void WindowController::finishProcedure(const app::FlowResult& result) {
    if (m_exitRequested) {
        m_exitRequested = false;
        mnuExit_Click();
    }
    if (m_ended)
        return;
    if (result.programEnds || m_closeRequested)
        endProgram(result.programEnds ? app::exitStatus(result) : 0);
}

} // namespace pelmar::gui
