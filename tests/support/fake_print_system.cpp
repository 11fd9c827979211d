#include "support/fake_print_system.h"

#include "print_queue/queue_failure.h"

#include <algorithm>

namespace pelmar::test {

print_queue::QueueInfo FakePrintSystem::queue(const QString& name) {
    for (const print_queue::QueueInfo& queue : installed)
        if (queue.name == name)
            return queue;
    throw print_queue::queueFailure(name, QStringLiteral("找不到這個印表機佇列"),
                                    QStringLiteral("The printer or class does not exist."));
}

std::optional<int> FakePrintSystem::defaultResolution(const QString& queue) {
    const auto found = resolutions.find(queue);
    return found == resolutions.end() ? std::nullopt : std::optional<int>(found->second);
}

int FakePrintSystem::submit(const print_queue::PrintJob& job) {
    if (!refusal.isEmpty())
        throw print_queue::queueFailure(job.queue, QStringLiteral("列印工作無法送出"), refusal);
    submitted.push_back(job);
    return int(submitted.size());
}

print_queue::JobStatus FakePrintSystem::jobStatus(const QString&, int job) {
    const auto readings = std::count(asked.begin(), asked.end(), job);
    asked.push_back(job);
    if (jobStates.empty())
        return {print_queue::JobState::Completed, {}, {}};
    return jobStates.at(std::min(size_t(readings), jobStates.size() - 1));
}

} // namespace pelmar::test
