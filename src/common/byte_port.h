#pragma once

#include <QByteArray>
#include <QStringList>
#include <chrono>
#include <cstdint>
#include <optional>

namespace pelmar::common {

// Where the printer's bytes go: a CUPS queue, a TCP socket, a file or device, the virtual
// printer. Every failure throws RunError with the port's reason; nothing is reported as written
// that did not reach the port.
class BytePort {
public:
    virtual ~BytePort() = default;
    // Appends bytes to the current job.
    virtual void write(const QByteArray& bytes) = 0;
    // The job being written prints `sets` labels, each labelInches long with its gap; a port that
    // follows its jobs bounds the wait for this one by it.
    virtual void expectLabels(int /*sets*/, double /*labelInches*/) {}
    // One printed label is complete: a queue sends it as one job now.
    virtual void endJob() {}
    // Sends what is left and releases the port.
    virtual void close() = 0;
    // True when the bytes reach a physical printer, whose pace the run's wait follows.
    virtual bool isPhysical() const = 0;
    // Asks the printer for its status byte (<ESC>!?) and waits up to wait for the answer;
    // nothing from a one-way port or a printer that has not answered in time.
    virtual std::optional<std::uint8_t> askStatus(std::chrono::milliseconds) {
        return std::nullopt;
    }
    // What the output could not do as asked (the virtual printer: an element it could not
    // draw), in stream order; complete after close.
    virtual QStringList warnings() const { return {}; }
};

} // namespace pelmar::common
