#pragma once

#include "print_queue/document_route.h"
#include "print_queue/queue_failure.h"

#include <algorithm>
#include <map>
#include <vector>

namespace pelmar::test {

// A print system that answers what a test sets and records what was asked of it.
class FakePrintSystem : public print_queue::PrintSystem {
public:
    QList<print_queue::QueueInfo> queues() override { return installed; }
    print_queue::QueueInfo queue(const QString& name) override {
        for (const print_queue::QueueInfo& queue : installed)
            if (queue.name == name)
                return queue;
        throw print_queue::queueFailure(name, QStringLiteral("找不到這個印表機佇列"),
                                        QStringLiteral("The printer or class does not exist."));
    }
    std::optional<int> defaultResolution(const QString& queue) override {
        const auto found = resolutions.find(queue);
        return found == resolutions.end() ? std::nullopt : std::optional<int>(found->second);
    }
    print_queue::DocumentRoute documentRoute(const QString& queue) override {
        return print_queue::routeOf(ppds[queue], documentFormats[queue]);
    }
    int submit(const print_queue::PrintJob& job) override {
        if (!refusal.isEmpty())
            throw print_queue::queueFailure(job.queue, QStringLiteral("列印工作無法送出"), refusal);
        submitted.push_back(job);
        return int(submitted.size());
    }
    print_queue::JobStatus jobStatus(const QString&, int job) override {
        const auto readings = size_t(std::count(asked.begin(), asked.end(), job));
        asked.push_back(job);
        if (const auto ending = endings.find(job); ending != endings.end())
            return {ending->second, {}, {}, {}};
        if (jobStates.empty())
            return {print_queue::JobState::Completed, {}, {}, {}};
        return jobStates.at(std::min(readings, jobStates.size() - 1));
    }
    void cancelJob(const QString&, int job) override { cancelled.push_back(job); }

    // Set by the test: the queues, their default resolutions, the states every job reports in
    // turn (the last one for ever after; none: completed at once), and the print system's reason
    // for refusing every job (empty: it takes them); each queue's PPD and formats (none: PDF);
    // the state of particular jobs for ever, before the states in turn.
    QList<print_queue::QueueInfo> installed;
    std::map<QString, int> resolutions;
    std::map<QString, QByteArray> ppds;
    std::map<QString, QStringList> documentFormats;
    std::vector<print_queue::JobStatus> jobStates;
    std::map<int, print_queue::JobState> endings;
    QString refusal;

    // Recorded: the jobs submitted (job n is submitted[n - 1]), the jobs whose state was read,
    // one entry a reading, and the jobs cancelled.
    std::vector<print_queue::PrintJob> submitted;
    std::vector<int> asked;
    std::vector<int> cancelled;
};

} // namespace pelmar::test
