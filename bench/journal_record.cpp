// The journal's cost per record: the three committed transactions of a printed record
// (sending, sent, printed) on a journal with WAL and synchronous=FULL, in the folder given (the
// disk the program folder is on). Prints p50, p99 and mean in milliseconds.
// Usage: bench_journal_record [FOLDER] [RECORDS] (default: a temporary folder, 1000).
#include "journal/journal.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <numeric>
#include <vector>

int main(int argc, char** argv) {
    QCoreApplication application(argc, argv);
    QTemporaryDir own;
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : own.path();
    const int records = argc > 2 ? std::atoi(argv[2]) : 1000;
    const QString path = folder + QStringLiteral("/bench.journal");
    using pelmar::journal::RecordState;
    std::vector<double> costs;
    {
        auto journal = pelmar::journal::Journal::open(path);
        pelmar::journal::RunStart start;
        start.dataFileName = QStringLiteral("ITEMS.TXT");
        start.dataBytes = QByteArray(records * 40, 'x');
        start.formatName = QStringLiteral("PRICE.FMT");
        start.formatBytes = QByteArray(2000, 'y');
        const qint64 run = journal->startRun(start);
        for (int record = 1; record <= records; ++record) {
            const auto began = std::chrono::steady_clock::now();
            for (const RecordState state :
                 {RecordState::Sending, RecordState::Sent, RecordState::Printed})
                journal->setRecord(run, record, 1, state);
            costs.push_back(
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - began)
                    .count());
        }
        journal->finishRun(run, QStringLiteral("printed"), 0);
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
    const double mean = std::accumulate(costs.begin(), costs.end(), 0.0) / costs.size();
    std::sort(costs.begin(), costs.end());
    const auto at = [&](double share) { return costs[std::size_t(share * (costs.size() - 1))]; };
    std::printf("journal cost per record (3 commits, WAL+FULL), %d records: p50 %.2f ms, p99 %.2f "
                "ms, mean %.2f ms\n",
                records, at(0.5), at(0.99), mean);
    return 0;
}
