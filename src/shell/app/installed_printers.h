#pragma once

#include "state/working_state.h"

#include <QList>
#include <QString>

namespace pelmar::app {

// One installed printer: the name a run opens, and the device name that start-up filters.
struct InstalledPrinter {
    QString name;
    QString deviceName;
};

// The system's print queues, in the system's order.
class PrinterDirectory {
public:
    virtual ~PrinterDirectory() = default;
    virtual QList<InstalledPrinter> queues() = 0;
};

// The CUPS destinations: the queue name, and its description (printer-info) as the device name
// when it has one. An unreachable CUPS server gives no queues.
class CupsPrinterDirectory : public PrinterDirectory {
public:
    QList<InstalledPrinter> queues() override;
};

// The installed printers: the system's queues followed by the printers of section [Ports].
QList<InstalledPrinter> installedPrinters(const state::WorkingState& state,
                                          PrinterDirectory& directory);

} // namespace pelmar::app
