#pragma once

#include "journal/journal.h"
#include "support/temp_folder.h"

#include <QString>
#include <functional>

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

// Writes to the journal of `folder` a finished run of records 1 to `records`, record r of
// quantity(r) labels, each sent but record 3, which is in doubt; returns the run's number.
qint64 writeRunWithRecordThreeInDoubt(const TempFolder& folder, const journal::RunStart& start,
                                      int records, const std::function<int(int)>& quantity);

} // namespace pelmar::test
