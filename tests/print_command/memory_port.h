#pragma once

#include "common/byte_port.h"
#include "common/run_error.h"

#include <QByteArray>
#include <QList>

namespace pelmar::test {

// Keeps what a run writes: `bytes` all of it, `jobs` the bytes of each ended job. Shared state
// lives in a Record the test owns, so it outlives the port the library closes and drops.
class MemoryPort : public common::BytePort {
public:
    struct Record {
        QByteArray bytes;
        QList<QByteArray> jobs;
        QByteArray pending;
        bool closed = false;
        bool physical = false;
        // Fails the n-th write (1-based); 0 never.
        int failAtWrite = 0;
        int writes = 0;
    };

    explicit MemoryPort(Record& record) : m_record(record) {}

    void write(const QByteArray& bytes) override {
        if (++m_record.writes == m_record.failAtWrite)
            throw common::RunError(common::PrinterError,
                                   QStringLiteral("無法連接印表機 memory: 寫入失敗"));
        m_record.bytes += bytes;
        m_record.pending += bytes;
    }
    void endJob() override {
        m_record.jobs << m_record.pending;
        m_record.pending.clear();
    }
    void close() override { m_record.closed = true; }
    bool isPhysical() const override { return m_record.physical; }

private:
    Record& m_record;
};

} // namespace pelmar::test
