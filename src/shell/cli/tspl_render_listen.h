#pragma once

#include "preview/network_printer.h"
#include "preview/print_mechanics.h"

#include <QString>

namespace pelmar::cli {

struct ListenSettings {
    QString output;
    preview::NetworkPrinterOptions printer;
    preview::MechanicsOptions mechanics;
};

// Serves TSPL connections until SIGTERM or SIGINT; SIGUSR1 clears a fault. Returns the exit
// code: 0 after a signal, 1 when the listener cannot start or a label cannot be written.
int runListener(const ListenSettings& settings);

} // namespace pelmar::cli
