#pragma once

#include "common/run_error.h"

#include <QString>
#include <QStringList>
#include <functional>

namespace pelmar::print_command {

// What one record asks its output for, and the labels that makes.
struct LabelQuantity {
    int sets = 0;         // print sets (command mode) or page copies (driver mode)
    long long labels = 0; // the labels they print, for the run's tally
};

// The texts of a run that differ between the print modes.
struct OutputWording {
    QString sending;        // the status line while the labels go out
    QString failureCaption; // the caption of the message that tells the run's failure
    QString fieldSeparator; // what follows each field on the window's record line
};

// How one print mode puts a run's labels out; the record loop (printRecords) does the rest.
class LabelOutput {
public:
    virtual ~LabelOutput() = default;

    virtual OutputWording wording() const = 0;
    // What the output must know before the run says it is sending. Throws RunError.
    virtual void prepare() {}
    // Opens the output before the first record. Throws RunError.
    virtual void open() = 0;
    // The sets a record asks for, its quantity being 0 or more. Throws RunError(6) beyond 16 bits.
    virtual LabelQuantity quantity(int record) = 0;
    // Sends a record's label. False when the operator cancelled while it was made (nothing of it
    // printed). Throws LabelRefused to leave the record out, RunError to fail the run.
    virtual bool sendLabel(int record, int sets) = 0;
    // The wait after a record's label went out; true when the operator cancelled before or
    // during it. Throws RunError.
    virtual bool waitAfterRecord(int record, int sets) = 0;
    // Completes the output after the last record, or after the run stopped on a cancel; returns
    // whether the run ended cancelled. Throws RunError.
    virtual bool finish(bool stoppedOnCancel) = 0;
    // Gives the output up after a failure; `report` shows the failure's text, at the point in the
    // giving up that the mode tells it. Nothing of the output throws.
    virtual void abandon(const common::CaughtError& error,
                         const std::function<void(const QString& text)>& report) = 0;
    // Whether the failure was the fault of a record's value rather than of the output.
    virtual bool failedOnData() const { return false; }
    // Whether labels went to a printer that could not confirm printing them: sent, not known
    // printed.
    virtual bool unconfirmed() const { return false; }
    // Whether the printer reported the record last waited for printed (read after its wait).
    virtual bool confirmedPrinted() const { return false; }
    // What the output could not do as asked, read once it is finished or abandoned.
    virtual QStringList warnings() const { return {}; }
};

} // namespace pelmar::print_command
