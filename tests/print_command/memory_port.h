#pragma once

#include "common/byte_port.h"
#include "common/run_error.h"

#include <QByteArray>
#include <QList>
#include <algorithm>
#include <vector>

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
        // The printer's answers to status inquiries, one each, the last repeated; empty: a
        // one-way port.
        std::vector<std::uint8_t> statuses;
        int inquiries = 0;
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
    std::optional<std::uint8_t> askStatus(std::chrono::milliseconds) override {
        if (m_record.statuses.empty())
            return std::nullopt;
        const std::size_t at = std::min<std::size_t>(static_cast<std::size_t>(m_record.inquiries),
                                                     m_record.statuses.size() - 1);
        ++m_record.inquiries;
        return m_record.statuses[at];
    }

private:
    Record& m_record;
};

} // namespace pelmar::test
