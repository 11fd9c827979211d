#pragma once

#include "format/format_file.h"
#include "print_command/run_context.h"
#include "print_driver/print_labels_driver.h"
#include "shell/app/app_context.h"

#include <QString>

namespace pelmar::app {

// Title of the printer dialog of driver mode.
inline const QString kPrinterDialogTitle = QStringLiteral("選擇條碼機Driver");

// The real page of driver mode: a QtPrinterPage over the PDF file or the queue of `system`
// chosen; a queue's jobs are followed with `wait`. Throws RunError(482) for a queue without a
// print system.
std::unique_ptr<print_driver::PrinterPage> makeDestinationPage(const PrintDestination& destination,
                                                               common::WaitServices wait,
                                                               print_queue::PrintSystem* system);

// Holds the run's locks (AppContext::runLocks, none when empty) before a port is opened: the
// program folder, and the printer at `printerAddress` unless it is empty. Throws as
// RunLocks::holdProgramFolder.
void holdRunLocks(AppContext& context, const QString& printerAddress);

// The port address of command mode's printer (state.printerName).
QString commandPrinterAddress(const AppContext& context);

// The run context of command mode over the app's seams.
print_command::RunContext commandRunContext(AppContext& context);

// The run context of driver mode over the app's seams and a page.
print_driver::DriverRunContext driverRunContext(AppContext& context,
                                                print_driver::PrinterPage& page);

// Driver mode's preparation: the printer dialog, LoadFormat_Driver, then the page of the chosen
// printer (told in chosen when given). load holds the loader's result; the page is null when the
// load failed.
// Throws RunError(32755) when the dialog is cancelled (nothing loaded), and as holdRunLocks.
std::unique_ptr<print_driver::PrinterPage> prepareDriverPage(AppContext& context,
                                                             format::FormatLoadResult& load,
                                                             PrintDestination* chosen = nullptr);

// Loads state.formatFileName and prints every record with the loader and the run of the print
// mode; in driver mode the printer dialog comes first. The loaders and the runs report their own
// failures; the end of the run is told by reportRun, with the format's warnings among the run's.
// Returns Printed, Cancelled, PrintError, DataError (a record's value ended the run), or
// FormatError when the load failed (the run is then skipped; programEnds set when the loader
// ends the program); a PDF file or a job that cannot be
// completed is a PrintError the run has reported. Throws RunError(32755) when the dialog is
// cancelled (nothing loaded, nothing printed).
FlowResult printChosenFormat(AppContext& context);

// Writes the run settings through the context's saver (state::SaveRunSettings when empty).
// Throws RunError(75 or 5) as SaveRunSettings does.
void saveRunSettings(AppContext& context);

} // namespace pelmar::app
