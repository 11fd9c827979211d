#pragma once

#include "shell/options/option_table.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>

namespace pelmar::options {

// The options of pelmar-print.
struct PrintOptions {
    QString home;                      // program folder; empty: the usual one
    QString data;                      // data file in place of the settings' one
    QString format;                    // the format to print when the print panel would ask
    QString printer;                   // printer name, CUPS queue or port address
    std::optional<std::int32_t> price; // the price adjustment, as typed into the price box
    QString output;                    // driver mode: a PDF file in place of a printer
    QString preview;                   // a folder the labels go into as pictures, no printer
    int resolution = 0;                // --output, --preview: the printer's dots per inch (0: 203)
    int from = 1;                      // the first record to print
    int to = 0;                        // the last record to print (0: the last one)
    int faultWaitSeconds = 0;          // how long a printer fault may take to clear
    int waitLockSeconds = 0;  // how long another run's program folder or printer is awaited
    bool journal = false;     // --journal: list the journal's runs
    qint64 journalRun = 0;    // --journal RUN: list that run's records (0: the runs)
    bool json = false;        // the journal as JSON lines
    int pruneDays = -1;       // --journal-prune DAYS (-1: not asked)
    qint64 reprint = 0;       // --reprint RUN (0: none)
    QString watch;            // a folder to serve; "-": the settings' [Watch] Folder
    double settleSeconds = 2; // --watch: how long a file's size and time must stay the same
    double pollSeconds = 2;   // --watch: how often the folder is scanned
    bool dryRun = false;
    bool help = false;
    bool version = false;
};

// The options pelmar-print takes, with their usage and their refusals in Traditional Chinese.
const OptionTable& printOptionTable();

// Usage text of pelmar-print, ending with a line break.
QString printUsage();

// Reads the arguments (without the program name) into options, or why they are not usable.
// Throws nothing.
Parsed<PrintOptions> readPrintOptions(const QStringList& arguments);

} // namespace pelmar::options
