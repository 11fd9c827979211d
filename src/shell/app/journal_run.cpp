#include "shell/app/journal_run.h"

#include "common/file_names.h"
#include "common/run_error.h"
#include "shell/app/exit_status.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <pwd.h>
#include <unistd.h>

namespace pelmar::app {

namespace {

using journal::RecordState;

// The user the process runs as; a service has no USER in its environment.
QString userName() {
    if (const passwd* entry = getpwuid(geteuid()); entry != nullptr && entry->pw_name != nullptr)
        return QString::fromLocal8Bit(entry->pw_name);
    return qEnvironmentVariable("USER");
}

QByteArray readWhole(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw common::RunError(
            common::PathFileAccessError,
            QStringLiteral("無法讀取 %1 以存入列印記錄簿: %2").arg(path, file.errorString()));
    return file.readAll();
}

journal::RunStart runStart(const AppContext& context, const QString& dataPath,
                           const QByteArray& dataBytes, const QByteArray& formatBytes,
                           const JournalTarget& target) {
    journal::RunStart start;
    start.source = context.runSource;
    start.user = userName();
    start.dataFileName = QFileInfo(dataPath).fileName();
    start.dataBytes = dataBytes;
    start.formatName = context.state.formatFileName;
    start.formatBytes = formatBytes;
    start.printer = target.printer;
    start.printerAddress = target.address;
    start.mode = target.mode;
    start.reprintOf = context.reprintOf;
    return start;
}

} // namespace

QString journalPath(const state::WorkingState& state) {
    const QString named = state.journalFile.trimmed();
    if (named.isEmpty())
        return common::joinPath(state.programFolder,
                                QLatin1String(journal::kDefaultJournalFileName));
    const QString path = QDir::fromNativeSeparators(QString(named).replace(u'\\', u'/'));
    return QFileInfo(path).isAbsolute() ? path : common::joinPath(state.programFolder, path);
}

JournalRun::JournalRun(AppContext& context, const QByteArray& formatBytes,
                       const JournalTarget& target)
    : m_journal(journal::Journal::open(journalPath(context.state))),
      m_firstRecord(context.firstRecord) {
    const state::WorkingState& state = context.state;
    const QString dataPath =
        common::resolveExistingFile(common::dataFilePath(state.textFileName, state.programFolder));
    const QByteArray dataBytes = readWhole(dataPath);
    const QString dataName = QFileInfo(dataPath).fileName();
    const std::optional<journal::RunRow> unfinished =
        context.runSource == journal::RunSource::Reprint
            ? std::nullopt
            : m_journal->unfinishedRun(dataName, dataBytes);
    if (!unfinished) {
        m_run = m_journal->startRun(runStart(context, dataPath, dataBytes, formatBytes, target));
        return;
    }
    m_run = unfinished->id;
    m_resumed = true;
    m_journal->markSendingInDoubt(m_run);
    int lastReached = 0;
    for (const journal::RecordRow& row : m_journal->records(m_run)) {
        if (row.state != RecordState::Pending)
            lastReached = std::max(lastReached, row.record);
        if (row.state == RecordState::InDoubt)
            m_inDoubt.push_back(row.record);
    }
    m_firstRecord = std::max(context.firstRecord, lastReached + 1);
}

void JournalRun::write(int record, RecordState state, const QString& reason) {
    m_journal->setRecord(m_run, record, record == m_labelsRecord ? int(m_labels) : 0, state,
                         reason);
}

void JournalRun::sending(int record, long long labels) {
    m_labelsRecord = record;
    m_labels = labels;
    write(record, RecordState::Sending);
}

void JournalRun::notSent(int record) {
    write(record, RecordState::Pending);
}

void JournalRun::sent(int record) {
    write(record, RecordState::Sent);
}

void JournalRun::printed(int record) {
    write(record, RecordState::Printed);
}

void JournalRun::leftOut(int record, const QString& reason) {
    write(record, RecordState::LeftOut, reason);
}

void JournalRun::finish(FlowResult& result) {
    for (const int record : m_journal->markSendingInDoubt(m_run))
        m_inDoubt.push_back(record);
    std::sort(m_inDoubt.begin(), m_inDoubt.end());
    result.tally.inDoubt = m_inDoubt;
    const int status = exitStatus(result);
    m_journal->finishRun(m_run, exitStatusWord(status), status);
}

} // namespace pelmar::app
