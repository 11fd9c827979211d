#pragma once

#include "print_queue/print_system.h"

namespace pelmar::print_queue {

// The print system of this machine: the CUPS server that libcups finds (CUPS_SERVER, the
// client.conf, else the local one). Holds no connection of its own: each call uses libcups's
// default connection, so jobs, their states and their cancels all go the same way.
class CupsPrintSystem : public PrintSystem {
public:
    QList<QueueInfo> queues() override;
    QueueInfo queue(const QString& name) override;
    std::optional<int> defaultResolution(const QString& queue) override;
    DocumentRoute documentRoute(const QString& queue) override;
    int submit(const PrintJob& job) override;
    JobStatus jobStatus(const QString& queue, int job) override;
    void cancelJob(const QString& queue, int job) override;

private:
    // Throws the failure of a job that was created but not wholly sent, cancelling it first.
    [[noreturn]] void failSubmitted(const QString& queue, int job);
};

} // namespace pelmar::print_queue
