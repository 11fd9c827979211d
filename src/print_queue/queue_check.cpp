#include "print_queue/queue_check.h"

#include "print_queue/queue_failure.h"

namespace pelmar::print_queue {

QueueInfo findQueue(PrintSystem& system, const QString& name) {
    try {
        return system.queue(name);
    } catch (const common::RunError&) {
        for (const QueueInfo& queue : system.queues())
            if (!queue.description.isEmpty() && queue.description == name)
                return queue;
        throw;
    }
}

void checkQueueReady(PrintSystem& system, const QString& queue) {
    const QueueInfo info = system.queue(queue);
    if (info.stopped)
        throw queueFailure(queue, QStringLiteral("印表機佇列已停止"));
    if (!info.acceptingJobs)
        throw queueFailure(queue, QStringLiteral("印表機佇列拒絕接受工作"));
}

} // namespace pelmar::print_queue
