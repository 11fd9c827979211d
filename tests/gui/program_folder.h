#pragma once

#include "support/temp_folder.h"

#include <QString>

namespace pelmar::test {

// What a test program folder holds: ITEMS.TXT with `records` lines (barcode, name, price,
// quantity), the formats PRICE.FMT and SHELF.FMT, and Pelmar.INI choosing `labelCount` of them,
// with the printer "TSC TEST" going to trace:trace.txt of the folder.
struct ProgramFolderOptions {
    int records = 5;
    int labelCount = 1;
    int editPrice = 0;
    int printMode = 0;
    int adPrice = 0;
    bool withSettings = true;
    bool withDataFile = true;
};

// Writes the folder's files into `folder`.
void writeProgramFolder(const TempFolder& folder, const ProgramFolderOptions& options);

} // namespace pelmar::test
