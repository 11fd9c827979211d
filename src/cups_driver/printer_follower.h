#pragma once

#include "common/clock.h"
#include "cups_driver/status_channel.h"

#include <QByteArray>
#include <QByteArrayList>
#include <cstdint>
#include <functional>

namespace pelmar::cups_driver {

// Follows the printer after each label where the device answers status: asks <ESC>!? and holds
// the job until the printer says it is no longer printing, so that a job ends when its labels
// are out. Faults are told the CUPS way (STATE: +media-empty-error and a message; STATE: -...
// when they clear) while the job waits for them. A device that does not answer the first
// inquiry, or falls silent, is not asked again.
class PrinterFollower {
public:
    // `tell` receives each line for the print system (without line end).
    PrinterFollower(StatusChannel& channel, common::WaitServices wait,
                    std::function<void(const QByteArray&)> tell);

    // Holds until the printer has printed what was sent: as long as it reports a fault, and up
    // to common::timing::kPrintingLimitFloor while it reports printing. Never throws unless the
    // channel or `tell` does.
    void afterLabel();
    // Withdraws the faults still told (the job ends). Never throws unless `tell` does.
    void finish();

    // False once the device has shown it does not answer.
    bool asking() const { return m_state != State::Silent; }

private:
    enum class State { Unknown, Answering, Silent };
    // The last status byte answered within `wait`; nullopt when none came.
    std::optional<std::uint8_t> answer(std::chrono::steady_clock::duration wait);
    void report(std::uint8_t status);
    void stopAsking(const QByteArray& why);

    StatusChannel& m_channel;
    common::WaitServices m_wait;
    std::function<void(const QByteArray&)> m_tell;
    State m_state = State::Unknown;
    QByteArrayList m_reasons; // the printer-state-reasons told and not yet withdrawn
};

} // namespace pelmar::cups_driver
