#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "print_command/printer_library.h"
#include "print_driver/printer_page.h"
#include "shell/app/app_context.h"
#include "shell/app/main_window.h"
#include "shell/app/printer_dialog.h"
#include "state/working_state.h"

#include <csignal>
#include <memory>

namespace pelmar::cli {

// Set by SIGINT and SIGTERM; the event pump and the printer library hand it to the run.
extern volatile std::sig_atomic_t g_cancelSignal;

// Set once the run opens its printer or output file. Until then nothing has been sent, so SIGINT
// and SIGTERM end the program at once with status 6 (a load of a large file included); from then
// on they set g_cancelSignal and the run stops between labels.
extern volatile std::sig_atomic_t g_outputOpened;

// Installs the SIGINT and SIGTERM handlers: end at once before the output opens, else set
// g_cancelSignal.
void installCancelSignals();

// Makes the context's printer library and page factories set g_outputOpened before they open
// anything (an empty page factory becomes the one the run would use).
void markOutputOpening(app::AppContext& context);

// Copies a received cancel signal into the working state (the cancel-printing button).
void pollCancelSignal(state::WorkingState& state);

// Messages as "caption: text" lines on standard error, carriage returns as line breaks; answers
// with the message's default answer, since nobody can answer.
class StderrMessageBox : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message& message) override;
};

// Writes one line to standard error (UTF-8), prefixed "pelmar-print: ", or into the SaidLines
// that lives.
void say(const QString& text);

// While it lives, what say() and StderrMessageBox would write goes into `lines` instead of
// standard error: a watched folder logs one line per file and keeps the rest for its reason file.
class SaidLines {
public:
    SaidLines();
    ~SaidLines();
    SaidLines(const SaidLines&) = delete;
    SaidLines& operator=(const SaidLines&) = delete;

    QStringList lines;

private:
    friend void say(const QString& text);
    friend class StderrMessageBox;
    static SaidLines* s_current;
    SaidLines* m_outer;
};

// The main window without a screen: progress and status go to standard error, the print panel's
// format is the one chosen by option.
class HeadlessWindow : public app::MainWindow {
public:
    void setStatusMessage(const QString& text) override;
    void setPrintItem(const QString& text) override;
    void setPrintData(const QString&) override {}
    void showGridRow(int row) override { currentRow = row; }
    void setPrintItemToolTip(const QString&) override {}
    void pointFileList(const QString&, const QString&) override {}
    void showNow() override {}
    void setPrinterList(const QStringList&) override {}
    void setPrinterText(const QString&) override {}
    void setWindowState(app::WindowState) override {}
    void activate() override {}
    void addPrintFormat(const QString&) override {}
    QString selectedPrintFormat() const override { return selectedFormat; }
    void setSetupMenusVisible(bool) override {}
    void showPrintPanel(const QString&) override {}
    void setPrintButtonEnabled(bool) override {}
    void setCancelButtonEnabled(bool) override {}
    void setPriceBox(bool, const QString&) override {}
    void setFocus(app::FocusTarget) override {}
    void fillDataGrid(const state::WorkingState&) override {}
    int gridCurrentRow() const override { return 1; }

    QString selectedFormat;
    int currentRow = 0;
    bool quiet = false; // no progress lines (the dry run tells its own)

private:
    QString m_status;
};

// The clock and event pump of the headless runs. Real time with short sleeps while a run waits;
// virtual time (each pump call moves the clock by a second, without sleeping) when the output
// has no pace to keep, such as a PDF file. Every pump call looks for a cancel signal.
class HeadlessClock : public common::Clock, public common::EventPump {
public:
    explicit HeadlessClock(state::WorkingState& state) : m_state(state) {}
    std::chrono::steady_clock::time_point now() override;
    void processEvents() override;
    bool virtualTime = false;

private:
    state::WorkingState& m_state;
    std::chrono::steady_clock::duration m_offset{};
};

// The printer dialog answered by options: a PDF file (--output), pictures (--preview) or a CUPS
// queue (--printer).
// Without either it is cancelled with an explanation (error 32755); pelmar-print refuses such
// options before the run starts (exit status 2), so this only guards the flow.
class OptionPrinterDialog : public app::PrinterDialog {
public:
    OptionPrinterDialog(QString pdfFile, QString queue, HeadlessClock& clock, bool dryRun)
        : m_pdfFile(std::move(pdfFile)), m_queue(std::move(queue)), m_clock(clock),
          m_dryRun(dryRun) {}
    app::PrintDestination choosePrinter(const QString& title) override;

    int pdfDotsPerInch = 0; // --resolution: the PDF file's printer resolution (0: the default)
    // --preview: the pages go to pictures (the run's page factory), for the queue when one is
    // given; no pace to keep.
    bool preview = false;

private:
    QString m_pdfFile;
    QString m_queue;
    HeadlessClock& m_clock;
    bool m_dryRun;
};

// A printer library that looks for a cancel signal before each call, so that a run to a port
// without pace stops at its next cancel point too.
std::unique_ptr<print_command::PrinterLibrary>
cancelPolling(std::unique_ptr<print_command::PrinterLibrary> library, state::WorkingState& state);

// What a dry run tells per record (the run's tally gives the totals).
struct DryRunReport {
    const state::WorkingState& state;
    const HeadlessWindow& window;
    // One line for the current record: its number, its first field and name fields, its
    // quantity field and what the printer is asked for.
    void record(const QString& what, long long count);
};

// The printer library of the real run on a port that sends nothing (none is opened); tells what
// each label would print. A format or record the real run refuses is refused here too.
std::unique_ptr<print_command::PrinterLibrary> dryRunLibrary(DryRunReport& report);

// The printer page of the real run, with its checks, drawing into nothing; tells the copies of
// each page.
std::unique_ptr<print_driver::PrinterPage> dryRunPage(DryRunReport& report);

} // namespace pelmar::cli
