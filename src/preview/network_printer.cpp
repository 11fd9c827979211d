#include "preview/network_printer.h"

#include "common/run_error.h"
#include "preview/tspl_interpreter.h"

#include <QTcpSocket>
#include <algorithm>

namespace pelmar::preview {

// One client's stream: its own interpreter (its own set-up, the printer's memory), whose labels go
// to the mechanics and whose immediate commands are answered on the same socket.
class NetworkPrinter::Connection : public LabelSink, public TsplImmediateListener {
public:
    Connection(NetworkPrinter& printer, QTcpSocket* socket)
        : printer(printer), socket(socket),
          interpreter(*this, printer.m_options.dpi, common::CodePage(printer.m_options.codePage)),
          peer(QStringLiteral("%1:%2")
                   .arg(socket->peerAddress().toString())
                   .arg(socket->peerPort())) {
        interpreter.setImmediateListener(this);
        interpreter.shareMemory(printer.m_memory);
    }
    ~Connection() override {
        socket->disconnect();
        socket->deleteLater();
    }

    void label(const QImage& picture) override {
        printer.m_mechanics.add(picture,
                                labelPrintSeconds(interpreter.setup(), printer.m_options.dpi));
    }
    void escapeCommand(char code) override { printer.answerEscape(*this, code); }
    void inquiry(char code) override { printer.answerInquiry(*this, code); }

    // Hands the interpreter's warnings not yet told to the printer's listener.
    void tellWarnings() {
        const QStringList& all = interpreter.warnings();
        for (; told < all.size(); ++told)
            printer.warn(QStringLiteral("%1: %2").arg(peer, all[told]));
    }

    NetworkPrinter& printer;
    QTcpSocket* socket;
    TsplInterpreter interpreter;
    QString peer;
    // Bytes read from the socket and not yet interpreted.
    QByteArray unread;
    qsizetype unreadPos = 0;
    bool peerGone = false;
    qsizetype told = 0;
};

NetworkPrinter::NetworkPrinter(PrintMechanics& mechanics, common::Clock& clock,
                               NetworkPrinterOptions options)
    : m_mechanics(mechanics), m_clock(clock), m_options(std::move(options)) {
    m_tick.setSingleShot(true);
    m_idle.setSingleShot(true);
    QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { accept(); });
    QObject::connect(&m_tick, &QTimer::timeout, &m_tick, [this] { tick(); });
    QObject::connect(&m_idle, &QTimer::timeout, &m_idle, [this] { closeIdle(); });
}

NetworkPrinter::~NetworkPrinter() = default;

bool NetworkPrinter::listen(QString& error) {
    if (m_server.listen(m_options.host, m_options.port))
        return true;
    error = m_server.errorString();
    return false;
}

QString NetworkPrinter::address() const {
    return QStringLiteral("%1:%2").arg(m_server.serverAddress().toString()).arg(port());
}

void NetworkPrinter::warn(const QString& text) {
    if (onWarning)
        onWarning(text);
}

void NetworkPrinter::fail(const QString& text) {
    m_failed = true;
    m_tick.stop();
    m_idle.stop();
    m_server.close();
    if (onFailure)
        onFailure(text);
}

void NetworkPrinter::accept() {
    if (m_connection || m_failed)
        return;
    QTcpSocket* socket = m_server.nextPendingConnection();
    if (!socket)
        return;
    // Small buffers between the sender and the printer, so that a full printer holds it up.
    socket->setReadBufferSize(m_options.socketBufferBytes);
    // (Not smaller: a tiny window opens in steps too small to announce, and the sender then
    // waits for its persist timer, seconds at a time.)
    socket->setSocketOption(QAbstractSocket::ReceiveBufferSizeSocketOption,
                            4 * m_options.socketBufferBytes);
    m_connection = std::make_unique<Connection>(*this, socket);
    QObject::connect(socket, &QTcpSocket::readyRead, socket, [this] { pump(); });
    QObject::connect(socket, &QTcpSocket::disconnected, socket, [this] {
        if (m_connection)
            m_connection->peerGone = true;
        pump();
    });
    if (socket->state() != QAbstractSocket::ConnectedState)
        m_connection->peerGone = true;
    if (m_options.idleTimeout.count() > 0)
        m_idle.start(m_options.idleTimeout);
    pump();
}

void NetworkPrinter::pump() {
    if (!m_connection || m_failed)
        return;
    Connection& c = *m_connection;
    try {
        for (;;) {
            if (m_mechanics.full()) {
                // A printer answers its immediate commands even while its label buffer is full.
                if (!takeImmediate(c))
                    break;
                continue;
            }
            if (c.unreadPos >= c.unread.size()) {
                c.unread = c.socket->read(m_options.socketBufferBytes);
                c.unreadPos = 0;
                if (c.unread.isEmpty())
                    break;
                m_bytesReceived += c.unread.size();
                if (m_options.idleTimeout.count() > 0)
                    m_idle.start(m_options.idleTimeout);
            }
            // Up to the next line end at most, so that reading stops right after the PRINT that
            // filled the buffer.
            const qsizetype lineEnd = c.unread.indexOf('\n', c.unreadPos);
            const qsizetype end = lineEnd < 0 ? c.unread.size() : lineEnd + 1;
            c.interpreter.feed(c.unread.constData() + c.unreadPos, end - c.unreadPos);
            c.unreadPos = end;
        }
    } catch (const common::RunError& e) {
        fail(QString::fromUtf8(e.what()));
        return;
    }
    c.tellWarnings();
    if (c.peerGone && c.unreadPos >= c.unread.size() && c.socket->bytesAvailable() == 0)
        endConnection();
    schedule();
}

bool NetworkPrinter::takeImmediate(Connection& c) {
    static const QByteArray kLead = QByteArrayLiteral("\x1b!");
    QByteArray head = c.unread.mid(c.unreadPos, 3);
    const bool fromSocket = head.isEmpty();
    if (fromSocket)
        head = c.socket->peek(3);
    if (head.size() < 3 || !head.startsWith(kLead))
        return false;
    if (fromSocket) {
        c.socket->read(3);
        m_bytesReceived += 3;
    } else {
        c.unreadPos += 3;
    }
    c.interpreter.feed(head.constData(), head.size());
    return true;
}

void NetworkPrinter::endConnection() {
    m_connection->interpreter.finish();
    m_connection->tellWarnings();
    m_connection.reset();
    m_idle.stop();
    ++m_served;
    if (onConnectionEnd)
        onConnectionEnd();
    if (m_server.hasPendingConnections())
        accept();
}

void NetworkPrinter::closeIdle() {
    if (!m_connection)
        return;
    // A sender held up by a full or stopped printer waits for the printer, not the other way.
    if (m_mechanics.full() || m_mechanics.faulted()) {
        m_idle.start(m_options.idleTimeout);
        return;
    }
    warn(QStringLiteral("%1: nothing received for %2 s; connection closed")
             .arg(m_connection->peer)
             .arg(m_options.idleTimeout.count() / 1000.0));
    m_connection->socket->abort();
    m_connection->unread.clear();
    m_connection->unreadPos = 0;
    endConnection();
}

void NetworkPrinter::schedule() {
    if (m_failed)
        return;
    const std::optional<std::chrono::steady_clock::time_point> next = m_mechanics.nextEvent();
    if (!next) {
        m_tick.stop();
        return;
    }
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - m_clock.now());
    m_tick.start(std::max<std::chrono::milliseconds>(wait, std::chrono::milliseconds(0)));
}

void NetworkPrinter::tick() {
    drive([this] { m_mechanics.advance(); });
}

void NetworkPrinter::clearFault() {
    drive([this] { m_mechanics.clearFault(); });
}

void NetworkPrinter::drive(const std::function<void()>& step) {
    if (m_failed)
        return;
    try {
        step();
    } catch (const common::RunError& e) {
        fail(QString::fromUtf8(e.what()));
        return;
    }
    // A printed label may have made room for the sender.
    pump();
    schedule();
}

void NetworkPrinter::answerEscape(Connection& connection, char code) {
    switch (code) {
    case '?':
        connection.socket->write(QByteArray(1, statusByte(m_mechanics.condition())));
        break;
    case 'S':
        connection.socket->write(extendedStatus(m_mechanics.condition()));
        break;
    case '.':
        if (const int dropped = m_mechanics.cancel())
            warn(QStringLiteral("%1: <ESC>!. cancelled %2 label(s) not yet printed")
                     .arg(connection.peer)
                     .arg(dropped));
        break;
    default:
        // Other immediate commands (reset, feed, ...) change nothing the pictures show.
        break;
    }
}

void NetworkPrinter::answerInquiry(Connection& connection, char code) {
    if (code == 'T')
        connection.socket->write(modelName(m_options.dpi));
}

} // namespace pelmar::preview
