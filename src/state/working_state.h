#pragma once

#include "common/code_page.h"
#include "state/loaded_format.h"
#include "state/text_table.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <utility>
#include <vector>

namespace pelmar::state {

// The one record of everything the program knows while it runs: settings, data records, the
// loaded format, run control and a few values of the window. Passed by reference to every
// procedure; counts are read before indexing.
struct WorkingState {
    // Settings (Pelmar.INI).
    QString textFileName;
    std::int16_t labelCount = 0;
    TextList labelNames;        // 1..labelCount
    std::int16_t printMode = 0; // 0 "Send Command", 1 "Driver"
    QString printerName;
    std::int16_t across = 0;
    std::int16_t fieldCutIndex = 0; // 0 delimiter, 1 fixed byte positions
    QString delimiter;
    std::int16_t editPrice = 0;
    std::int16_t editPriceField = 0;
    std::int32_t adPrice = 0;
    std::int16_t fieldCount = 0;
    TextTable
        field; // rows 1..fieldCount, parts 0..4: name, start, width, erase blanks, erase decimals

    // Data.
    std::int16_t recordCount = 0;
    TextTable records; // rows 1..recordCount, columns 1..fieldCount
    std::int16_t currentRecord = 0;

    // Run control.
    QString commandLine; // trimmed, upper case
    QString formatFileName;
    bool cancelRequested = false;

    // Window values.
    std::int16_t selectedFormatIndex = 0;
    std::int16_t passwordTarget = 0;
    std::int16_t selectedFieldIndex = 0;

    // The format last loaded.
    LoadedFormat format;

    // Platform: the program folder (Pelmar.INI, *.FMT, pictures) and the code page of every file
    // and of the printer's texts.
    QString programFolder;
    common::CodePage codePage;
    // Section [Ports] of Pelmar.INI in file order: printer name, port address.
    std::vector<std::pair<QString, QString>> ports;
    // [Printer] StatusPacing (default 1): a printer that answers status paces the run by its
    // status instead of the estimated wait; 0 keeps the wait.
    bool statusPacing = true;
    // [Printer] DriverPacing (default 1): in driver mode, a queue whose driver holds each job
    // until it is printed paces the run by the job's completion instead of the 2-second pause; 0
    // keeps the pause.
    bool driverPacing = true;

    // Interactive mode as the handlers that test for exactly "/T" see it.
    bool commandLineIsExactlyT() const { return commandLine == QStringLiteral("/T"); }
    // The switch "/T" ends the command line or is followed by a blank: paths here are written
    // with "/", and /TMP/ITEMS.TXT must not turn automatic printing into interactive mode.
    bool commandLineHasT() const {
        for (qsizetype at = commandLine.indexOf(QStringLiteral("/T")); at >= 0;
             at = commandLine.indexOf(QStringLiteral("/T"), at + 1)) {
            if (at + 2 == commandLine.size() || commandLine[at + 2] == u' ')
                return true;
        }
        return false;
    }
};

} // namespace pelmar::state
