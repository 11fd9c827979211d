#include "shell/app/installed_printers.h"

#include <cups/cups.h>

namespace pelmar::app {

QList<InstalledPrinter> CupsPrinterDirectory::queues() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    QList<InstalledPrinter> result;
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance != nullptr)
            continue;
        InstalledPrinter printer;
        printer.name = QString::fromUtf8(dests[i].name);
        const char* info = cupsGetOption("printer-info", dests[i].num_options, dests[i].options);
        printer.deviceName =
            (info != nullptr && *info != '\0') ? QString::fromUtf8(info) : printer.name;
        result << printer;
    }
    cupsFreeDests(count, dests);
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
