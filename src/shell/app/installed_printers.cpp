#include "shell/app/installed_printers.h"

namespace pelmar::app {

QList<InstalledPrinter> PrintSystemDirectory::queues() {
    QList<InstalledPrinter> result;
    for (const print_queue::QueueInfo& queue : m_system.queues())
        result << InstalledPrinter{queue.name,
                                   queue.description.isEmpty() ? queue.name : queue.description};
    return result;
}

QList<InstalledPrinter> installedPrinters(const state::WorkingState& state,
                                          PrinterDirectory& directory) {
    QList<InstalledPrinter> result = directory.queues();
    for (const auto& [name, address] : state.ports)
        result << InstalledPrinter{name, name};
    return result;
}

} // namespace pelmar::app
