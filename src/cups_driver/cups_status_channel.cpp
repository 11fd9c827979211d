#include "cups_driver/cups_status_channel.h"

#include "common/timing.h"

#include <cups/backend.h>
#include <cups/sidechannel.h>

namespace pelmar::cups_driver {

bool CupsStatusChannel::canAnswer() {
    // The backend says whether its device talks back; without a backend (cupsfilter, a test)
    // there is no side channel and the request fails.
    char answer = 0;
    int length = 1;
    const cups_sc_status_t status = cupsSideChannelDoRequest(
        CUPS_SC_CMD_GET_BIDI, &answer, &length,
        std::chrono::duration<double>(common::timing::kSideChannelAnswer).count());
    return status == CUPS_SC_STATUS_OK && length == 1 && answer == CUPS_SC_BIDI_SUPPORTED;
}

void CupsStatusChannel::ask() {
    std::fwrite("\x1b!?", 1, 3, m_output);
    std::fflush(m_output);
}

QByteArray CupsStatusChannel::take() {
    QByteArray bytes;
    char buffer[64];
    for (;;) {
        const ssize_t got = cupsBackChannelRead(buffer, sizeof buffer, 0.0);
        if (got <= 0)
            return bytes;
        bytes.append(buffer, got);
    }
}

} // namespace pelmar::cups_driver
