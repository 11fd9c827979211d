#pragma once

#include "print_queue/print_system.h"

#include <map>
#include <vector>

namespace pelmar::test {

// A print system that answers what a test sets and records what was asked of it.
class FakePrintSystem : public print_queue::PrintSystem {
public:
    QList<print_queue::QueueInfo> queues() override { return installed; }
    print_queue::QueueInfo queue(const QString& name) override;
    std::optional<int> defaultResolution(const QString& queue) override;
    int submit(const print_queue::PrintJob& job) override;
    print_queue::JobStatus jobStatus(const QString& queue, int job) override;
    void cancelJob(const QString&, int job) override { cancelled.push_back(job); }

    // Set by the test: the queues, their default resolutions, the states every job reports in
    // turn (the last one for ever after; none: completed at once), and the print system's reason
    // for refusing every job (empty: it takes them).
    QList<print_queue::QueueInfo> installed;
    std::map<QString, int> resolutions;
    std::vector<print_queue::JobStatus> jobStates;
    QString refusal;

    // Recorded: the jobs submitted (job n is submitted[n - 1]), the jobs whose state was read,
    // one entry a reading, and the jobs cancelled.
    std::vector<print_queue::PrintJob> submitted;
    std::vector<int> asked;
    std::vector<int> cancelled;
};

} // namespace pelmar::test
