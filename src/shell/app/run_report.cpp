#include "shell/app/run_report.h"

#include "common/run_error.h"
#include "shell/app/print_flow.h"
#include "shell/app/startup.h"

namespace pelmar::app {

namespace {

QString endWord(FlowEnd end, bool unconfirmed) {
    switch (end) {
    case FlowEnd::Printed:
        return unconfirmed ? QStringLiteral("已送出") : QStringLiteral("列印完成");
    case FlowEnd::Cancelled:
        return QStringLiteral("列印已取消, 已列印");
    default:
        return QStringLiteral("列印中斷, 已列印");
    }
}

QString leftOutLine(const common::LeftOutRecord& record) {
    QString line = QStringLiteral("第 %1 筆").arg(record.record);
    if (!record.element.isEmpty())
        line += u' ' + record.element;
    return line + QStringLiteral(": ") + record.reason;
}

} // namespace

QString tallyText(const common::RunTally& tally) {
    return QStringLiteral("%1 張標籤, %2 筆資料").arg(tally.labels).arg(tally.records);
}

QString endOfRunStatus(const FlowResult& result) {
    QString text = kAutomaticStatus + QStringLiteral("  ") +
                   endWord(result.end, result.tally.unconfirmed) + u' ' + tallyText(result.tally);
    const std::size_t leftOut = result.tally.leftOut.size();
    if (leftOut > 0)
        text += QStringLiteral(", %1 筆資料未列印").arg(leftOut);
    if (!result.tally.inDoubt.empty())
        text += QStringLiteral(", %1 筆資料不確定是否已列印").arg(result.tally.inDoubt.size());
    if (!result.tally.warnings.isEmpty())
        text += QStringLiteral(", %1 則警告").arg(result.tally.warnings.size());
    return text;
}

QString leftOutText(const common::RunTally& tally) {
    QStringList lines;
    if (!tally.inDoubt.empty()) {
        QStringList numbers;
        for (const int record : tally.inDoubt)
            numbers << QString::number(record);
        lines << QStringLiteral(
                     "下列資料傳送時中斷, 不確定是否已列印 (%1 筆, 不會自動重印; 請查看印表機, "
                     "需要時以 --reprint 重印): 第 %2 筆")
                     .arg(tally.inDoubt.size())
                     .arg(numbers.join(QStringLiteral(", ")));
    }
    if (!tally.leftOut.empty()) {
        lines << QStringLiteral("下列資料未列印 (%1 筆):").arg(tally.leftOut.size());
        for (const common::LeftOutRecord& record : tally.leftOut)
            lines << leftOutLine(record);
    }
    if (!tally.warnings.isEmpty()) {
        lines << QStringLiteral("警告 (%1 則):").arg(tally.warnings.size());
        lines << tally.warnings;
    }
    return lines.join(u'\r');
}

void reportRun(AppContext& context, const FlowResult& result) {
    context.window.setStatusMessage(endOfRunStatus(result));
    const QString text = leftOutText(result.tally);
    if (text.isEmpty())
        return;
    common::Message message;
    message.text = text;
    message.caption = kRunReportCaption;
    message.icon = common::MessageIcon::Exclamation;
    context.messageBox.show(message);
}

void saveRunSettingsAfterRun(AppContext& context, FlowResult& result, const QString& caption) {
    try {
        saveRunSettings(context);
    } catch (...) {
        result.settingsNotSaved = true;
        common::showMessage(
            context.messageBox,
            QStringLiteral("標籤已列印 (%1), 但設定檔無法儲存:\r").arg(tallyText(result.tally)) +
                common::caughtError().description,
            caption);
    }
}

} // namespace pelmar::app
