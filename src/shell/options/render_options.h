#pragma once

#include "common/code_page.h"
#include "preview/network_printer.h"
#include "preview/print_mechanics.h"
#include "shell/options/option_table.h"

#include <QString>
#include <QStringList>

namespace pelmar::options {

// The options of tspl-render.
struct RenderOptions {
    QString input;  // the stream's file, "-" for standard input; empty with --listen
    QString output; // the folder of the pictures
    int dpi = 203;
    QByteArray codePage = common::CodePage::defaultName();
    bool listen = false;
    preview::NetworkPrinterOptions printer; // --listen: its address and idle timeout
    preview::MechanicsOptions mechanics;
    bool help = false;
};

// The options tspl-render takes, with their usage and their refusals.
const OptionTable& renderOptionTable();

// Usage text of tspl-render, ending with a line break.
QString renderUsage();

// Reads the arguments (without the program name) into options, or why they are not usable; an
// error without an option says the arguments lack the stream or the folder. Throws nothing.
Parsed<RenderOptions> readRenderOptions(const QStringList& arguments);

// Reads "[HOST:]PORT" into the printer's options; false when it is not an address.
bool parseListenAddress(const QString& text, preview::NetworkPrinterOptions& options);

} // namespace pelmar::options
