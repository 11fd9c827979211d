#include "shell/app/claimed_run.h"

#include "common/run_error.h"
#include "common/system_error_text.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <sys/stat.h>

namespace pelmar::app {

std::optional<FinishedClaim> finishedSinceClaim(const QString& journalFile,
                                                const QString& workPath) {
    struct stat seen {};
    QFile file(workPath);
    if (::stat(QFile::encodeName(workPath).constData(), &seen) != 0 ||
        !file.open(QIODevice::ReadOnly))
        throw common::RunError(common::PathFileAccessError,
                               QStringLiteral("無法讀取 %1: %2")
                                   .arg(workPath, file.error() == QFileDevice::NoError
                                                      ? common::systemErrorText(errno)
                                                      : file.errorString()));
    // The claim renamed the file into work/, which set its change time; a coarse clock may put
    // it a tick early, never late.
    const qint64 claimedMs = qint64(seen.st_ctim.tv_sec) * 1000 + seen.st_ctim.tv_nsec / 1'000'000;
    const QByteArray sha256 =
        QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256).toHex();
    const QString name = QFileInfo(workPath).fileName();
    const auto journal = journal::Journal::open(journalFile);
    for (const journal::RunRow& run : journal->runs()) {
        if (run.source == journal::RunSource::Reprint || run.dataFileName != name ||
            run.dataSha256 != sha256 || run.started.toMSecsSinceEpoch() < claimedMs)
            continue;
        // The newest run of the claim decides.
        if (!run.ended.isValid())
            return std::nullopt;
        FinishedClaim claim{run, {}};
        for (const journal::RecordRow& record : journal->records(run.id))
            if (record.state == journal::RecordState::InDoubt)
                claim.inDoubt.push_back(record.record);
        return claim;
    }
    return std::nullopt;
}

} // namespace pelmar::app
