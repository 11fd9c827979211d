#pragma once

#include <QString>

namespace pelmar::app {

// The printer a driver-mode run draws on: a CUPS queue, or a PDF file.
struct PrintDestination {
    QString queue;
    QString pdfFile;
    int pdfDotsPerInch = 0; // the PDF file's printer resolution; 0: the default, 203
};

// The system's printer-selection dialog of driver mode (QPrintDialog in the window, an option in
// the headless tool).
class PrinterDialog {
public:
    virtual ~PrinterDialog() = default;
    // Shows the dialog with a title and returns the chosen printer. Throws RunError(32755) when
    // the operator cancels.
    virtual PrintDestination choosePrinter(const QString& title) = 0;
};

} // namespace pelmar::app
