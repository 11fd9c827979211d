#include "shell/app/journal_listing.h"

#include "common/run_error.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace pelmar::app {

namespace {

using journal::RecordState;

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) : QString();
}

QString isoTime(const QDateTime& time) {
    return time.isValid() ? time.toOffsetFromUtc(time.offsetFromUtc()).toString(Qt::ISODate)
                          : QString();
}

QString progressWord(RunProgress progress) {
    switch (progress) {
    case RunProgress::Running:
        return QStringLiteral("running");
    case RunProgress::Interrupted:
        return QStringLiteral("interrupted");
    default:
        return QStringLiteral("finished");
    }
}

QString jsonLine(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// A record caught "sending" by a run no process runs any more may or may not have printed.
RecordState shownState(RecordState state, RunProgress progress) {
    return state == RecordState::Sending && progress != RunProgress::Running ? RecordState::InDoubt
                                                                             : state;
}

} // namespace

void listRuns(const journal::Journal& journal, bool json,
              const std::function<RunProgress(const journal::RunRow&)>& progress,
              const LineSink& out) {
    const std::vector<journal::RunRow> runs = journal.runs();
    if (!json)
        out(QStringLiteral("run\ttime\tsource\tfile\tformat\tprinter\tlabels\trecords\toutcome"));
    for (const journal::RunRow& run : runs) {
        const RunProgress where = run.ended.isValid() ? RunProgress::Finished : progress(run);
        const QString outcome = where == RunProgress::Finished ? run.outcome : progressWord(where);
        if (!json) {
            QString source = journal::sourceName(run.source);
            if (run.reprintOf > 0)
                source += QStringLiteral(" of %1").arg(run.reprintOf);
            out(QStringList{QString::number(run.id), timeText(run.started), source,
                            run.dataFileName, run.formatName, run.printer,
                            QString::number(run.labels), QString::number(run.records), outcome}
                    .join(u'\t'));
            continue;
        }
        QJsonObject object{{QStringLiteral("run"), run.id},
                           {QStringLiteral("time"), isoTime(run.started)},
                           {QStringLiteral("ended"), isoTime(run.ended)},
                           {QStringLiteral("source"), journal::sourceName(run.source)},
                           {QStringLiteral("user"), run.user},
                           {QStringLiteral("file"), run.dataFileName},
                           {QStringLiteral("size"), run.dataSize},
                           {QStringLiteral("sha256"), QString::fromLatin1(run.dataSha256)},
                           {QStringLiteral("format"), run.formatName},
                           {QStringLiteral("printer"), run.printer},
                           {QStringLiteral("address"), run.printerAddress},
                           {QStringLiteral("mode"), run.mode},
                           {QStringLiteral("labels"), run.labels},
                           {QStringLiteral("records"), run.records},
                           {QStringLiteral("state"), progressWord(where)},
                           {QStringLiteral("outcome"), outcome}};
        if (run.status >= 0)
            object.insert(QStringLiteral("status"), run.status);
        if (run.reprintOf > 0)
            object.insert(QStringLiteral("reprint_of"), run.reprintOf);
        out(jsonLine(object));
    }
}

void listRecords(const journal::Journal& journal, qint64 run, bool json, RunProgress progress,
                 const LineSink& out) {
    if (!journal.run(run))
        throw common::RunError(
            common::InvalidArgument,
            QStringLiteral("列印記錄簿 %1 沒有第 %2 次列印").arg(journal.path()).arg(run));
    if (!json)
        out(QStringLiteral("record\tquantity\tstate\ttime\treason"));
    for (const journal::RecordRow& record : journal.records(run)) {
        const QString state = journal::stateName(shownState(record.state, progress));
        if (!json) {
            out(QStringList{QString::number(record.record), QString::number(record.quantity), state,
                            timeText(record.time), record.reason}
                    .join(u'\t'));
            continue;
        }
        out(jsonLine({{QStringLiteral("run"), run},
                      {QStringLiteral("record"), record.record},
                      {QStringLiteral("quantity"), record.quantity},
                      {QStringLiteral("state"), state},
                      {QStringLiteral("reason"), record.reason},
                      {QStringLiteral("time"), isoTime(record.time)}}));
    }
}

} // namespace pelmar::app
