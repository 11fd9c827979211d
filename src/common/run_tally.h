#pragma once

#include <QString>
#include <QStringList>

#include <vector>

namespace pelmar::common {

// A record that a run printed nothing for, and why: the run goes on with the next record and
// tells every one of these at its end.
struct LeftOutRecord {
    int record = 0;  // 1-based record number (the data file's line number)
    QString element; // the format element at fault ("VBarcode 2"), empty for the whole record
    QString reason;  // Traditional Chinese, names the value at fault
};

// What a print run printed, in both modes: labels that reached the printer, the records they
// came from, the records left out and the warnings of the output (the virtual printer's).
struct RunTally {
    long long labels = 0; // printed labels: sets x Across (command mode) or copies (driver mode)
    int records = 0;      // records that printed at least one label
    std::vector<LeftOutRecord> leftOut;
    QStringList warnings;
    // The labels went to a printer that could not confirm printing them (no status): sent,
    // not known to have come out.
    bool unconfirmed = false;
    // Records whose labels were being sent when their run broke off (a crash, a port that
    // failed mid-label): they may or may not have printed, and are never sent again by
    // themselves. Record numbers, ascending.
    std::vector<int> inDoubt;
};

} // namespace pelmar::common
