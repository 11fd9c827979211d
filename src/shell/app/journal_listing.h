#pragma once

#include "journal/journal.h"

#include <QString>
#include <functional>

namespace pelmar::app {

// Where an unfinished run stands: "running" while a live process holds its program folder's
// run lock, else "interrupted"; "finished" once it has ended.
enum class RunProgress { Finished, Running, Interrupted };

// What a listing writes, one line at a time (without the line break).
using LineSink = std::function<void(const QString& line)>;

// Lists the journal's runs, newest first: a heading, then per run its number, start time,
// source, data file, format, printer, labels, records and outcome; with json one object a line
// (run, time, ended, source, user, file, size, sha256, format, printer, address, mode, labels,
// records, state, outcome, status, reprint_of). progress tells an unfinished run. Throws
// RunError(57).
void listRuns(const journal::Journal& journal, bool json,
              const std::function<RunProgress(const journal::RunRow&)>& progress,
              const LineSink& out);

// Lists one run's records in record order (record, quantity, state, time, reason); with json
// one object a line (run, record, quantity, state, reason, time). A record "sending" of a run no
// process runs shows as in-doubt. Throws RunError(57), and RunError(5) for a run the journal
// does not hold.
void listRecords(const journal::Journal& journal, qint64 run, bool json, RunProgress progress,
                 const LineSink& out);

} // namespace pelmar::app
