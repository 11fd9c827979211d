#pragma once

#include <QString>

namespace pelmar::print_command {

// What the record loop tells of each record as it goes, so that every label is on record: each
// call is written before the step it allows. Every call throws RunError when it cannot record,
// which fails the run before the next record.
class RecordJournal {
public:
    virtual ~RecordJournal() = default;
    // Before the first byte of a record's label; labels: what it asks for.
    virtual void sending(int record, long long labels) = 0;
    // The record was cancelled while its label was made: nothing of it went out.
    virtual void notSent(int record) = 0;
    // After the last byte of a record's label.
    virtual void sent(int record) = 0;
    // The printer reported the record printed.
    virtual void printed(int record) = 0;
    // The record prints nothing, for reason (Traditional Chinese).
    virtual void leftOut(int record, const QString& reason) = 0;
};

} // namespace pelmar::print_command
