#pragma once

#include <QByteArray>
#include <QString>
#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace pelmar::test {

// A network printer on loopback that keeps every byte each connection sent it and answers the
// status inquiry <ESC>!? at once as an idle printer (0x00); it prints nothing itself.
class RawPrinter {
public:
    RawPrinter();
    ~RawPrinter();
    RawPrinter(const RawPrinter&) = delete;
    RawPrinter& operator=(const RawPrinter&) = delete;

    QString address() const { return QStringLiteral("socket://127.0.0.1:%1").arg(m_port); }
    // The bytes of every connection so far, in the order they were accepted.
    std::vector<QByteArray> connections() const;

private:
    void serve();

    int m_listener = -1;
    int m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<QByteArray> m_received;
    std::thread m_thread;
};

} // namespace pelmar::test
