#pragma once

#include "shell/app/app_context.h"

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace pelmar::app {

// What a reprint prints: the journal's copy of the run's data file, written under its name into
// a private folder removed with the job, and the run's format (name and bytes).
struct ReprintJob {
    std::unique_ptr<QTemporaryDir> folder;
    qint64 run = 0;
    QString dataPath;
    QString formatName;
    QByteArray formatBytes;
    // The settings' entry naming the run's format, else the first one when several are chosen
    // (the copy is printed whatever name chooses it); empty: none needed.
    QString formatChoice;
    // The records the run went through (its first and last in the journal; 1 and 0, the whole
    // file, when it has none).
    int firstRecord = 1;
    int lastRecord = 0;
};

// Takes run out of the program folder's journal. Throws RunError(57) when the journal cannot be
// read, RunError(5) when it lacks the run, RunError(75) when the copy cannot be written, and as
// LoadSettings.
ReprintJob prepareReprint(const QString& programFolder, qint64 run);

// Makes the context's next run the reprint of job: its data file the copy, source reprint, the
// run's format in place of the chosen one, and the settings file left as it is. The context's
// firstRecord and lastRecord choose the records (set them from the job for the run's own).
void applyReprint(AppContext& context, const ReprintJob& job);

} // namespace pelmar::app
