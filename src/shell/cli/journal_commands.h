#pragma once

#include "common/run_error.h"
#include "shell/app/app_context.h"
#include "shell/options/print_options.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>
#include <variant>

namespace pelmar::cli {

// pelmar-print --journal [RUN] [--json] and --journal-prune DAYS on a program folder: lists to
// standard output, says failures on standard error; returns the exit status (0, 2 for settings
// that cannot be read or a run the journal lacks, 5 for a journal that cannot be read or
// written).
int journalCommand(const options::PrintOptions& options, const QString& programFolder);

// What a reprint prints: the journal's copy of the run's data file, written under its name into
// a private folder removed with it, and the run's format (name and bytes).
struct ReprintJob {
    std::unique_ptr<QTemporaryDir> folder;
    qint64 run = 0;
    QString dataPath;
    QString formatName;
    QByteArray formatBytes;
    // What --format the run takes: the settings' entry of the run's format, else the first one
    // when several are chosen (the copy is printed whatever name chooses it); empty: none needed.
    QString formatOption;
};

// Takes run options.reprint out of the program folder's journal; why not (number 57 for a
// journal that cannot be read, description in Traditional Chinese) when the settings or the
// journal cannot be read, the journal lacks the run or the copy cannot be written.
std::variant<ReprintJob, common::CaughtError> prepareReprint(const options::PrintOptions& options,
                                                             const QString& programFolder);

// Makes the context's run the reprint of job: source reprint, the run's format copy, and the
// settings left as they are (the data file is a private copy).
void applyReprint(app::AppContext& context, const ReprintJob& job);

} // namespace pelmar::cli
