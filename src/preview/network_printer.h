#pragma once

#include "common/clock.h"
#include "preview/print_mechanics.h"
#include "preview/printer_memory.h"

#include <QByteArray>
#include <QHostAddress>
#include <QString>
#include <QTcpServer>
#include <QTimer>
#include <chrono>
#include <functional>
#include <memory>

namespace pelmar::preview {

struct NetworkPrinterOptions {
    QHostAddress host = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 0; // 0: any free port
    int dpi = 203;
    QByteArray codePage;
    // A connection that sends nothing for this long is closed (the printer serves one at a
    // time, so a silent client would keep everyone else out); zero: never.
    std::chrono::milliseconds idleTimeout = std::chrono::minutes(5);
    // Bytes read from the socket at a time and kept unread by the socket; with a small kernel
    // buffer this is what a sender can get ahead of a printer whose label buffer is full.
    int socketBufferBytes = 16 * 1024;
};

// The virtual printer on the network, like a printer's raw port 9100: serves TSPL connections
// one after another in the Qt event loop, renders their labels through the print mechanics,
// and answers <ESC>!?, <ESC>!S and ~!T as soon as it reads them; <ESC>!. drops the labels not
// yet printed. Each connection starts from a printer without set-up; files downloaded stay in its
// memory for later connections until the printer stops, as a printer's DRAM keeps them. While the
// mechanics hold as many labels as their buffer takes, the printer reads nothing more, so the
// sender blocks.
class NetworkPrinter {
public:
    NetworkPrinter(PrintMechanics& mechanics, common::Clock& clock, NetworkPrinterOptions options);
    ~NetworkPrinter();

    // Starts listening; on failure returns false with the reason in error.
    bool listen(QString& error);
    // HOST:PORT where the printer listens.
    QString address() const;
    quint16 port() const { return m_server.serverPort(); }

    // Ends the mechanics' fault and goes on printing.
    void clearFault();

    // Told about what a stream could not do or a client did wrong; the printer goes on.
    std::function<void(const QString&)> onWarning;
    // Told that a printed label could not be kept (RunError text); the printer has stopped.
    std::function<void(const QString&)> onFailure;
    // Told that a connection has been served to its end.
    std::function<void()> onConnectionEnd;

    long long connectionsServed() const { return m_served; }
    qint64 bytesReceived() const { return m_bytesReceived; }

private:
    class Connection;
    void accept();
    void pump();
    // Reads an immediate command (<ESC>!x) that comes next in the stream; false when none does.
    bool takeImmediate(Connection& connection);
    void tick();
    // Runs a step of the mechanics, then reads on and sets the timer; a failed label stops all.
    void drive(const std::function<void()>& step);
    void closeIdle();
    void endConnection();
    void schedule();
    void fail(const QString& text);
    void warn(const QString& text);
    void answerEscape(Connection& connection, char code);
    void answerInquiry(Connection& connection, char code);

    PrintMechanics& m_mechanics;
    common::Clock& m_clock;
    NetworkPrinterOptions m_options;
    QTcpServer m_server;
    QTimer m_tick;
    QTimer m_idle;
    std::shared_ptr<PrinterMemory> m_memory = std::make_shared<PrinterMemory>();
    std::unique_ptr<Connection> m_connection;
    bool m_failed = false;
    long long m_served = 0;
    qint64 m_bytesReceived = 0;
};

} // namespace pelmar::preview
