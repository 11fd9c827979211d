#include "print_command/output_drain.h"

#include "common/timing.h"
#include "print_command/port_failure.h"

#include <sys/ioctl.h>
#include <termios.h>
#include <thread>

namespace pelmar::print_command {

void drainOutput(int fd, std::chrono::milliseconds noProgressLimit, const QString& address,
                 const std::function<void()>& meanwhile) {
    // TIOCOUTQ is SIOCOUTQ for a socket: what the peer has not acknowledged yet.
    int left = -1;
    auto lastProgress = std::chrono::steady_clock::now();
    for (;;) {
        int queued = 0;
        if (::ioctl(fd, TIOCOUTQ, &queued) != 0 || queued <= 0)
            return;
        const auto now = std::chrono::steady_clock::now();
        if (left < 0 || queued < left) {
            left = queued;
            lastProgress = now;
        } else if (now - lastProgress >= noProgressLimit) {
            throwPortFailure(address,
                             QStringLiteral("印表機在 %1 秒內沒有收下其餘的資料 (%2 位元組未送達)")
                                 .arg(std::chrono::duration<double>(noProgressLimit).count())
                                 .arg(queued));
        }
        std::this_thread::sleep_for(common::timing::kDrainPollInterval);
        if (meanwhile)
            meanwhile();
    }
}

} // namespace pelmar::print_command
