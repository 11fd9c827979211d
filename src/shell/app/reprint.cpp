#include "shell/app/reprint.h"

#include "common/run_error.h"
#include "shell/app/journal_run.h"
#include "state/settings.h"

#include <QFile>
#include <QFileInfo>

namespace pelmar::app {

namespace {

QString formatChoice(const state::WorkingState& settings, const QString& formatName) {
    for (int i = 1; i <= settings.labelCount; ++i)
        if (settings.labelNames.at(i).compare(formatName, Qt::CaseInsensitive) == 0)
            return settings.labelNames.at(i);
    return settings.labelCount > 1 ? settings.labelNames.at(1) : QString();
}

} // namespace

ReprintJob prepareReprint(const QString& programFolder, qint64 run) {
    state::WorkingState settings;
    settings.programFolder = programFolder;
    state::LoadSettings(settings);
    const std::unique_ptr<journal::Journal> journal = journal::Journal::open(journalPath(settings));
    const std::optional<journal::RunRow> row = journal->run(run);
    if (!row)
        throw common::RunError(
            common::InvalidArgument,
            QStringLiteral("列印記錄簿 %1 沒有第 %2 次列印").arg(journal->path()).arg(run));
    ReprintJob job;
    job.run = run;
    job.folder = std::make_unique<QTemporaryDir>();
    // Only the base name is kept, so the copy cannot land outside its folder.
    const QString name = QFileInfo(row->dataFileName).fileName();
    job.dataPath = job.folder->filePath(name.isEmpty() ? QStringLiteral("data.txt") : name);
    QFile copy(job.dataPath);
    if (!job.folder->isValid() || !copy.open(QIODevice::WriteOnly) ||
        copy.write(journal->dataBytes(run)) < 0 || !copy.flush())
        throw common::RunError(common::PathFileAccessError,
                               QStringLiteral("無法寫入第 %1 次列印的資料檔副本 %2: %3")
                                   .arg(run)
                                   .arg(job.dataPath, job.folder->isValid()
                                                          ? copy.errorString()
                                                          : job.folder->errorString()));
    job.formatName = row->formatName;
    job.formatBytes = journal->formatBytes(run);
    job.formatChoice = formatChoice(settings, row->formatName);
    const std::vector<journal::RecordRow> records = journal->records(run);
    if (!records.empty()) {
        job.firstRecord = records.front().record;
        job.lastRecord = records.back().record;
    }
    return job;
}

void applyReprint(AppContext& context, const ReprintJob& job) {
    context.dataFileOverride = job.dataPath;
    context.runSource = journal::RunSource::Reprint;
    context.reprintOf = job.run;
    context.formatCopyName = job.formatName;
    context.formatCopy = job.formatBytes;
    context.saveRunSettings = [](state::WorkingState&) {};
}

} // namespace pelmar::app
