#pragma once

#include "common/clock.h"
#include "common/message_box.h"
#include "common/run_tally.h"
#include "journal/journal.h"
#include "print_command/run_context.h"
#include "print_driver/printer_page.h"
#include "print_queue/print_system.h"
#include "shell/app/installed_printers.h"
#include "shell/app/main_window.h"
#include "shell/app/printer_dialog.h"
#include "state/working_state.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace pelmar::app {

class RunLocks;

// Makes the printer page of driver mode for the printer chosen in the printer dialog.
using PageFactory =
    std::function<std::unique_ptr<print_driver::PrinterPage>(const PrintDestination& destination)>;

// Writes the run settings before the program ends (the real one is state::SaveRunSettings).
using RunSettingsSaver = std::function<void(state::WorkingState& state)>;

// What start-up and the print commands work with: the working state and every seam to the
// outside world. Empty factories mean the real ones.
struct AppContext {
    AppContext(state::WorkingState& state, MainWindow& window, common::MessageBox& messageBox,
               common::Clock& clock, common::EventPump& events, PrinterDirectory& printers,
               PrinterDialog& printerDialog)
        : state(state), window(window), messageBox(messageBox), clock(clock), events(events),
          printers(printers), printerDialog(printerDialog) {}

    state::WorkingState& state;
    MainWindow& window;
    common::MessageBox& messageBox;
    common::Clock& clock;
    common::EventPump& events;
    PrinterDirectory& printers;
    PrinterDialog& printerDialog;

    // The process's arguments without the program name.
    QStringList arguments;
    // Headless choices made in place of the setup screen and the command line: a printer that
    // replaces PrinterName once the settings are read, and a data file (letter case kept) that
    // takes the place of a ".TXT" command line. Empty: none.
    QString printerOverride;
    QString dataFileOverride;

    // Command mode: the printer library for a printer name (empty: createPrinterLibrary).
    print_command::LibraryFactory libraryFactory;
    // Driver mode: the page for the chosen printer (empty: QtPrinterPage over a CUPS queue or a
    // PDF file).
    PageFactory pageFactory;
    // The print system whose queues the real library and page print to (empty: none, so a queue
    // cannot be printed to; pelmar and pelmar-print hand in CUPS).
    print_queue::PrintSystem* printSystem = nullptr;
    // Empty: state::SaveRunSettings.
    RunSettingsSaver saveRunSettings;
    // The date of "Date=" texts.
    QDate today = QDate::currentDate();
    // The records to print, firstRecord to lastRecord (0: the last of the data file).
    int firstRecord = 1;
    int lastRecord = 0;
    // Command mode: how a printer fault is met (see print_command::RunContext): the window asks
    // the operator, pelmar-print waits.
    std::optional<std::chrono::milliseconds> faultWait = std::nullopt;
    // The program folder and printer locks a run takes before its port is opened (empty: none,
    // as in a dry run).
    RunLocks* runLocks = nullptr;
    // Every run is recorded in the program folder's journal (off: none, as in a dry run); who
    // started it (the watched folder sets Watch); the run a reprint prints again (0: none).
    bool journaled = false;
    journal::RunSource runSource = journal::RunSource::Command;
    qint64 reprintOf = 0;
    // A cancelled run stays unfinished in the journal, so that the next run of the same file
    // goes on after its last record sent (the watched folder keeps a file it was stopped on).
    bool cancelGoesOn = false;
    // A reprint's format as its run read it: loaded in place of the chosen format file, under
    // its name (empty: the file).
    QString formatCopyName;
    std::optional<QByteArray> formatCopy;
};

// How start-up or a print command ended: the window ends or stays, the headless tool picks its
// exit status.
enum class FlowEnd {
    Interactive,      // "/T": the menus take over
    FieldsNotSet,     // no field definitions; the window stays
    NoFormat,         // warning A; the window stays
    NoDataFile,       // warning B; the window stays
    PrintPanel,       // the print panel waits for the print button
    NoFormatSelected, // print button without a chosen format
    DialogCancelled,  // the printer dialog was cancelled
    NoPrinter,        // no installed printer has "TSC" in its device name
    Printed,          // the run went through
    NothingToPrint,   // the data file has no lines
    Cancelled,        // the operator cancelled the run
    SettingsError,    // the settings file could not be read
    DataError,        // the data file could not be read, or a record's value ended the run
    BadDelimiter,     // the Delimiter cannot cut the data lines; nothing read or printed
    FormatError,      // the format file could not be read
    PrintError,       // the run failed at the printer
    Error,            // any other run-time error
};

struct FlowResult {
    FlowEnd end = FlowEnd::Interactive;
    bool programEnds = false;
    int errorNumber = 0;
    // What the run printed: labels, records, the records left out and the output's warnings.
    common::RunTally tally;
    // The run printed, but SaveRunSettings failed after it (and said so): a retry would print
    // the labels a second time.
    bool settingsNotSaved = false;
};

} // namespace pelmar::app
