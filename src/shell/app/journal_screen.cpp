#include "shell/app/journal_screen.h"

#include "common/run_error.h"
#include "shell/app/exit_status.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>

namespace pelmar::app {

namespace {

const QString kTimeFormat = QStringLiteral("yyyy-MM-dd HH:mm:ss");

QString timeText(const QDateTime& time) {
    return time.isValid() ? time.toString(kTimeFormat) : QString();
}

QString sourceText(const journal::RunRow& run) {
    switch (run.source) {
    case journal::RunSource::Window:
        return QStringLiteral("視窗");
    case journal::RunSource::Command:
        return QStringLiteral("命令列");
    case journal::RunSource::Watch:
        return QStringLiteral("監看資料夾");
    case journal::RunSource::Reprint:
        break;
    }
    return run.reprintOf > 0 ? QStringLiteral("重印第 %1 次").arg(run.reprintOf)
                             : QStringLiteral("重印");
}

// A missing journal is a fact to tell, not a file to create: the window only reads it.
std::optional<QString> missingJournal(const QString& path) {
    if (QFileInfo(path).isFile())
        return std::nullopt;
    return QStringLiteral("還沒有列印記錄: 找不到列印記錄簿 %1")
        .arg(QDir::toNativeSeparators(path));
}

// A record number typed in a box: digits only (blanks around them allowed), 1 to 32767.
std::optional<int> recordNumber(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty() || trimmed.size() > 5 ||
        !std::all_of(trimmed.begin(), trimmed.end(),
                     [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return std::nullopt;
    const int number = trimmed.toInt();
    if (number < 1 || number > 32767)
        return std::nullopt;
    return number;
}

ReprintCheck refused(ReprintField field, const QString& problem) {
    ReprintCheck check;
    check.field = field;
    check.problem = problem;
    return check;
}

} // namespace

QStringList journalRunHeaders() {
    return {QStringLiteral("次"),     QStringLiteral("時間"), QStringLiteral("來源"),
            QStringLiteral("資料檔"), QStringLiteral("格式"), QStringLiteral("印表機"),
            QStringLiteral("張數"),   QStringLiteral("筆數"), QStringLiteral("結果")};
}

QStringList journalRecordHeaders() {
    return {QStringLiteral("筆"), QStringLiteral("張數"), QStringLiteral("狀態"),
            QStringLiteral("時間"), QStringLiteral("說明")};
}

QStringList journalRunCells(const journal::RunRow& run) {
    return {QString::number(run.id),
            timeText(run.started),
            sourceText(run),
            run.dataFileName,
            run.formatName,
            run.printer,
            QString::number(run.labels),
            QString::number(run.records),
            runOutcomeText(run)};
}

QStringList journalRecordCells(const journal::RecordRow& record) {
    return {QString::number(record.record), QString::number(record.quantity),
            recordStateText(record.state), timeText(record.time), record.reason};
}

QString recordStateText(journal::RecordState state) {
    switch (state) {
    case journal::RecordState::Pending:
        return QStringLiteral("待印");
    case journal::RecordState::Sending:
        return QStringLiteral("送出中");
    case journal::RecordState::Sent:
        return QStringLiteral("已送出");
    case journal::RecordState::Printed:
        return QStringLiteral("已印");
    case journal::RecordState::LeftOut:
        return QStringLiteral("略過");
    case journal::RecordState::InDoubt:
        return QStringLiteral("不確定");
    }
    return QString();
}

QString runOutcomeText(const journal::RunRow& run) {
    switch (run.status) {
    case -1:
        return QStringLiteral("未完成");
    case kExitPrinted:
        return QStringLiteral("已印完");
    case kExitBadSettings:
        return QStringLiteral("設定有誤, 未列印");
    case kExitDataError:
        return QStringLiteral("資料檔有誤");
    case kExitFormatError:
        return QStringLiteral("格式檔有誤");
    case kExitPrinterError:
        return QStringLiteral("印表機錯誤");
    case kExitCancelled:
        return QStringLiteral("已取消");
    case kExitRecordsLeftOut:
        return QStringLiteral("已印, 有略過的資料");
    case kExitWarnings:
        return QStringLiteral("已印, 有警告");
    case kExitSettingsNotSaved:
        return QStringLiteral("已印, 設定未儲存");
    case kExitRecordsInDoubt:
        return QStringLiteral("已印, 有不確定的資料");
    default:
        return QStringLiteral("結束 (狀態 %1)").arg(run.status);
    }
}

JournalRuns readJournalRuns(const QString& path) {
    JournalRuns read;
    if (const std::optional<QString> missing = missingJournal(path)) {
        read.problem = *missing;
        return read;
    }
    try {
        read.runs = journal::Journal::open(path)->runs();
    } catch (...) {
        read.problem = common::caughtError().description;
    }
    return read;
}

JournalRecords readJournalRecords(const QString& path, qint64 run) {
    JournalRecords read;
    if (const std::optional<QString> missing = missingJournal(path)) {
        read.problem = *missing;
        return read;
    }
    try {
        read.records = journal::Journal::open(path)->records(run);
    } catch (...) {
        read.problem = common::caughtError().description;
    }
    return read;
}

RecordRange wholeRun(const std::vector<journal::RecordRow>& records) {
    if (records.empty())
        return {};
    const auto [lowest, highest] =
        std::minmax_element(records.begin(), records.end(),
                            [](const journal::RecordRow& a, const journal::RecordRow& b) {
                                return a.record < b.record;
                            });
    return {lowest->record, highest->record};
}

std::vector<journal::RecordRow> recordsInRange(const std::vector<journal::RecordRow>& records,
                                               RecordRange range) {
    std::vector<journal::RecordRow> chosen;
    for (const journal::RecordRow& record : records)
        if (record.record >= range.first && record.record <= range.last)
            chosen.push_back(record);
    std::sort(chosen.begin(), chosen.end(),
              [](const journal::RecordRow& a, const journal::RecordRow& b) {
                  return a.record < b.record;
              });
    return chosen;
}

ReprintCheck checkReprint(qint64 run, const std::vector<journal::RecordRow>& records,
                          const QString& from, const QString& to, const QString& printer) {
    if (run <= 0)
        return refused(ReprintField::Runs, QStringLiteral("請先在列印記錄中選擇要重印的一次列印."));
    const RecordRange whole = wholeRun(records);
    if (records.empty())
        return refused(ReprintField::Runs,
                       QStringLiteral("第 %1 次列印沒有任何一筆資料的記錄, 無法重印.").arg(run));
    const struct {
        const QString& text;
        ReprintField field;
        QString name;
    } boxes[] = {{from, ReprintField::From, QStringLiteral("起始筆")},
                 {to, ReprintField::To, QStringLiteral("結束筆")}};
    int numbers[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        if (boxes[i].text.trimmed().isEmpty())
            return refused(boxes[i].field, QStringLiteral("請輸入重印的%1.").arg(boxes[i].name));
        const std::optional<int> number = recordNumber(boxes[i].text);
        if (!number)
            return refused(boxes[i].field, QStringLiteral("%1「%2」不是 1 到 32767 的資料筆數.")
                                               .arg(boxes[i].name, boxes[i].text));
        if (*number < whole.first || *number > whole.last)
            return refused(boxes[i].field,
                           QStringLiteral("%1 %2 不在第 %3 次列印的資料中 (第 %4 到 %5 筆).")
                               .arg(boxes[i].name)
                               .arg(*number)
                               .arg(run)
                               .arg(whole.first)
                               .arg(whole.last));
        numbers[i] = *number;
    }
    if (numbers[0] > numbers[1])
        return refused(ReprintField::From,
                       QStringLiteral("起始筆 %1 大於結束筆 %2.").arg(numbers[0]).arg(numbers[1]));
    if (recordsInRange(records, {numbers[0], numbers[1]}).empty())
        return refused(ReprintField::From,
                       QStringLiteral("第 %1 次列印沒有第 %2 到 %3 筆資料的記錄.")
                           .arg(run)
                           .arg(numbers[0])
                           .arg(numbers[1]));
    if (printer.trimmed().isEmpty())
        return refused(ReprintField::Printer, QStringLiteral("請選擇重印的印表機."));
    ReprintCheck check;
    check.request = ReprintRequest{run, {numbers[0], numbers[1]}, printer.trimmed()};
    return check;
}

QString reprintQuestion(const ReprintRequest& request,
                        const std::vector<journal::RecordRow>& records) {
    const std::vector<journal::RecordRow> chosen = recordsInRange(records, request.range);
    long long labels = 0;
    for (const journal::RecordRow& record : chosen)
        labels += record.quantity;
    return QStringLiteral("重印第 %1 次列印的第 %2 到 %3 筆資料 (%4 筆, %5 張標籤) 到 %6?")
        .arg(request.run)
        .arg(request.range.first)
        .arg(request.range.last)
        .arg(chosen.size())
        .arg(labels)
        .arg(request.printer);
}

} // namespace pelmar::app
