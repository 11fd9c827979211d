#include "cups_driver/printer_follower.h"

#include "common/printer_status_byte.h"
#include "common/timing.h"
#include "common/wait.h"

namespace pelmar::cups_driver {

namespace {

namespace bit = common::status_bit;

// The printer-state-reasons of a status byte's faults, without repeats.
QByteArrayList reasonsOf(std::uint8_t status) {
    static const std::pair<std::uint8_t, const char*> kReasons[] = {
        {bit::kPaperOut, "media-empty-error"},
        {bit::kPaperJam, "media-jam-error"},
        {bit::kHeadOpen, "cover-open"},
        {bit::kCoverOpen, "cover-open"},
        {bit::kRibbonOut, "marker-supply-empty-error"},
        {bit::kPaused, "paused"},
        {bit::kOtherError, "other-error"},
    };
    QByteArrayList reasons;
    for (const auto& [mask, reason] : kReasons) {
        if ((status & mask) && !reasons.contains(reason))
            reasons << reason;
    }
    return reasons;
}

} // namespace

PrinterFollower::PrinterFollower(StatusChannel& channel, common::WaitServices wait,
                                 std::function<void(const QByteArray&)> tell)
    : m_channel(channel), m_wait(std::move(wait)), m_tell(std::move(tell)) {}

std::optional<std::uint8_t> PrinterFollower::answer(std::chrono::steady_clock::duration wait) {
    std::optional<std::uint8_t> last;
    common::waitFor(m_wait, wait, [&] {
        const QByteArray bytes = m_channel.take();
        if (!bytes.isEmpty())
            last = static_cast<std::uint8_t>(bytes.back()); // the newest answer counts
        return last.has_value();
    });
    return last;
}

void PrinterFollower::afterLabel() {
    using namespace common::timing;
    if (m_state == State::Silent)
        return;
    if (m_state == State::Unknown && !m_channel.canAnswer()) {
        m_state = State::Silent;
        return;
    }
    auto printingDeadline = m_wait.clock.now() + kPrintingLimitFloor;
    auto lastAnswer = m_wait.clock.now();
    for (;;) {
        m_channel.ask();
        const std::optional<std::uint8_t> status = answer(
            m_state == State::Unknown ? std::chrono::steady_clock::duration(kBackChannelFirstAnswer)
                                      : kStatusAnswerWait);
        const auto now = m_wait.clock.now();
        if (!status) {
            if (m_state == State::Unknown)
                return stopAsking("INFO: 印表機不回答狀態查詢，不等候標籤印完");
            if (now - lastAnswer >= kStatusSilenceLimit)
                return stopAsking("INFO: 印表機已停止回答狀態查詢，不再等候標籤印完");
            continue;
        }
        m_state = State::Answering;
        lastAnswer = now;
        report(*status);
        if (common::statusIsFault(*status)) {
            // A fault waits for the operator; the printing time starts again after it.
            printingDeadline = now + kPrintingLimitFloor;
            common::waitFor(m_wait, kFaultPollInterval);
            continue;
        }
        if (!common::statusIsPrinting(*status))
            return;
        if (now >= printingDeadline) {
            m_tell("INFO: 印表機仍在列印，不再等候這張標籤");
            return;
        }
        common::waitFor(m_wait, kBackChannelPollInterval);
    }
}

void PrinterFollower::report(std::uint8_t status) {
    const QByteArrayList now = reasonsOf(status);
    QByteArrayList cleared;
    for (const QByteArray& reason : m_reasons) {
        if (!now.contains(reason))
            cleared << reason;
    }
    QByteArrayList added;
    for (const QByteArray& reason : now) {
        if (!m_reasons.contains(reason))
            added << reason;
    }
    m_reasons = now;
    if (!cleared.isEmpty())
        m_tell("STATE: -" + cleared.join(','));
    if (!added.isEmpty()) {
        m_tell("STATE: +" + added.join(','));
        const bool error = (status & ~(bit::kPrinting | bit::kPaused)) != 0;
        m_tell((error ? "ERROR: 印表機：" : "INFO: 印表機：") +
               common::statusText(status & ~bit::kPrinting).toUtf8());
    } else if (!cleared.isEmpty() && now.isEmpty()) {
        m_tell("INFO: 印表機恢復正常");
    }
}

void PrinterFollower::stopAsking(const QByteArray& why) {
    m_state = State::Silent;
    m_tell(why);
    finish();
}

void PrinterFollower::finish() {
    if (!m_reasons.isEmpty())
        m_tell("STATE: -" + m_reasons.join(','));
    m_reasons.clear();
}

} // namespace pelmar::cups_driver
