#include "print_command/status_pacing.h"

#include "common/printer_status_byte.h"
#include "common/run_error.h"
#include "common/timing.h"
#include "common/wait.h"

#include <algorithm>
#include <optional>

namespace pelmar::print_command {

namespace {

using common::statusIsFault;
using common::WaitEnd;
namespace timing = common::timing;

class Pacer {
public:
    Pacer(RunContext& context, PrinterLibrary& library, int record,
          std::chrono::milliseconds printingTime, const QString& caption)
        : m_context(context), m_library(library), m_record(record),
          m_limit(std::max<std::chrono::milliseconds>(timing::kPrintingLimitFloor,
                                                      printingTime * timing::kPrintingTimeFactor)),
          m_caption(caption), m_wait{context.clock, context.events,
                                     [&state = context.state] { return state.cancelRequested; }} {}

    PaceEnd run() {
        // The time the printer takes over the record counts from the send, or from the end of
        // a fault (the operator's time does not count).
        auto deadline = m_context.clock.now() + m_limit;
        for (;;) {
            const std::optional<std::uint8_t> status = next();
            if (!status)
                return PaceEnd::Cancelled;
            if (*status == 0)
                return PaceEnd::Printed;
            if (statusIsFault(*status)) {
                if (!faultCleared(*status))
                    return PaceEnd::Cancelled;
                deadline = m_context.clock.now() + m_limit;
            } else if (m_context.clock.now() >= deadline) {
                throw common::RunError(common::PrinterError, endlessPrinting(*status));
            }
            common::waitFor(m_wait, timing::kStatusPollInterval);
        }
    }

private:
    // The printer's next status; nothing when the operator cancels meanwhile.
    std::optional<std::uint8_t> next() {
        std::optional<std::uint8_t> status;
        const WaitEnd end = common::waitFor(m_wait, timing::kStatusSilenceLimit, [&] {
            status = m_library.printerStatus(timing::kStatusAnswerWait);
            return status.has_value();
        });
        if (end == WaitEnd::Deadline)
            throw common::RunError(common::PrinterError,
                                   QStringLiteral("印表機沒有回應狀態查詢 (%1 秒)")
                                       .arg(timing::kStatusSilenceLimit.count()));
        return status;
    }

    enum class Recheck { Cleared, Faulted, Cancelled };

    // Asks again after a fault; a fault still there updates status.
    Recheck recheck(std::uint8_t& status) {
        const std::optional<std::uint8_t> now = next();
        if (!now)
            return Recheck::Cancelled;
        if (!statusIsFault(*now))
            return Recheck::Cleared;
        status = *now;
        return Recheck::Faulted;
    }

    // True when the fault has gone and the wait goes on; false when the operator cancels.
    bool faultCleared(std::uint8_t status) {
        if (m_context.faultWait)
            return waitForClearing(status, *m_context.faultWait);
        for (;;) {
            common::Message message;
            message.text = faultReport(status, m_record) +
                           QStringLiteral("\n\n排除故障後按「是」繼續列印, 按「否」取消列印.");
            message.caption = m_caption;
            message.icon = common::MessageIcon::Exclamation;
            message.buttons = common::MessageButtons::YesNo;
            message.defaultAnswer = common::MessageAnswer::No;
            if (m_context.messageBox.show(message) != common::MessageAnswer::Yes)
                return false;
            if (const Recheck again = recheck(status); again != Recheck::Faulted)
                return again == Recheck::Cleared;
        }
    }

    bool waitForClearing(std::uint8_t status, std::chrono::milliseconds wait) {
        if (wait.count() > 0)
            common::showMessage(
                m_context.messageBox,
                faultReport(status, m_record) +
                    QStringLiteral("\n等候故障排除, 最多 %1 秒 ...").arg(wait.count() / 1000.0),
                m_caption, common::MessageIcon::Exclamation);
        // Without a time to wait the fault fails the run at once, unasked again.
        std::optional<Recheck> settled;
        const WaitEnd end =
            wait.count() <= 0 ? WaitEnd::Deadline : common::waitFor(m_wait, wait, [&] {
                common::waitFor(m_wait, timing::kFaultPollInterval);
                if (const Recheck again = recheck(status); again != Recheck::Faulted)
                    settled = again;
                return settled.has_value();
            });
        if (settled)
            return *settled == Recheck::Cleared;
        if (end == WaitEnd::Cancelled)
            return false;
        throw common::RunError(common::PrinterError, faultReport(status, m_record) + resumeHint());
    }

    QString endlessPrinting(std::uint8_t status) const {
        return QStringLiteral("印表機在 %1 秒內沒有印完第 %2 筆 (印表機仍回報: %3)\n"
                              "請檢查印表機與第 %2 筆的標籤是否已印出")
            .arg(std::chrono::duration_cast<std::chrono::seconds>(m_limit).count())
            .arg(m_record)
            .arg(common::statusText(status));
    }

    QString resumeHint() const {
        const int next = m_record + 1;
        if (next > m_context.state.recordCount)
            return QStringLiteral("\n所有資料都已送到印表機");
        return QStringLiteral("\n接續列印: 從第 %1 筆開始 (pelmar-print --from %1)").arg(next);
    }

    RunContext& m_context;
    PrinterLibrary& m_library;
    int m_record;
    std::chrono::milliseconds m_limit;
    const QString& m_caption;
    // Every wait of the pacing ends at once when the operator cancels.
    common::WaitServices m_wait;
};

} // namespace

QString faultReport(std::uint8_t status, int record) {
    const bool unfinished = common::statusIsPrinting(status);
    const auto stops = static_cast<std::uint8_t>(status & ~common::status_bit::kPrinting);
    QString text = QStringLiteral("印表機停止列印: ") + common::statusText(stops);
    const int finished = unfinished ? record - 1 : record;
    if (finished > 0)
        text += QStringLiteral("\n印表機最後印完的資料: 第 %1 筆").arg(finished);
    else
        text += QStringLiteral("\n印表機尚未印完任何一筆資料");
    if (unfinished)
        text += QStringLiteral("\n第 %1 筆已送到印表機, 故障排除後印表機會把它印完").arg(record);
    return text;
}

PaceEnd waitForPrinter(RunContext& context, PrinterLibrary& library, int record,
                       std::chrono::milliseconds printingTime, const QString& caption) {
    return Pacer(context, library, record, printingTime, caption).run();
}

} // namespace pelmar::print_command
