#pragma once

#include "print_queue/print_system.h"
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

// The queues of the print system: the queue name, and its description as the device name when
// it has one. An unreachable print system gives no queues. The print system must outlive it.
class PrintSystemDirectory : public PrinterDirectory {
public:
    explicit PrintSystemDirectory(print_queue::PrintSystem& system) : m_system(system) {}
    QList<InstalledPrinter> queues() override;

private:
    print_queue::PrintSystem& m_system;
};

// The installed printers: the system's queues followed by the printers of section [Ports].
QList<InstalledPrinter> installedPrinters(const state::WorkingState& state,
                                          PrinterDirectory& directory);

} // namespace pelmar::app
