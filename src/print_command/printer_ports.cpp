#include "print_command/printer_ports.h"

#include "common/file_names.h"
#include "common/run_error.h"
#include "preview/preview_port.h"
#include "print_command/cups_port.h"
#include "print_command/file_port.h"
#include "print_command/port_failure.h"
#include "print_command/socket_port.h"
#include "print_command/trace_library.h"
#include "print_command/tspl_library.h"

#include <QDir>

namespace pelmar::print_command {

namespace {

constexpr int kDefaultSocketPort = 9100;

bool startsWith(const QString& text, const char* prefix) {
    return text.startsWith(QLatin1String(prefix), Qt::CaseInsensitive);
}

QString fromProgramFolder(const state::WorkingState& state, const QString& path) {
    if (path.isEmpty() || QDir::isAbsolutePath(path))
        return path;
    return common::joinPath(state.programFolder, path);
}

std::unique_ptr<common::BytePort> openSocket(const QString& address) {
    const QString rest = address.mid(int(sizeof "socket://") - 1);
    QString host = rest;
    int port = kDefaultSocketPort;
    // [v6-address]:port, host:port or host alone.
    const qsizetype colon = rest.lastIndexOf(u':');
    const qsizetype bracket = rest.lastIndexOf(u']');
    if (colon > bracket) {
        bool ok = false;
        port = rest.mid(colon + 1).toInt(&ok);
        if (!ok || port <= 0 || port > 65535)
            throwPortFailure(address, QStringLiteral("連接埠號碼不正確"));
        host = rest.left(colon);
    }
    if (host.startsWith(u'[') && host.endsWith(u']'))
        host = host.mid(1, host.size() - 2);
    if (host.isEmpty())
        throwPortFailure(address, QStringLiteral("沒有主機名稱"));
    return std::make_unique<SocketPort>(host, port);
}

// Runs f, reporting a RunError of the virtual printer as a failure of the port.
template <typename F> decltype(auto) guarded(const QString& address, F&& f) {
    try {
        return f();
    } catch (const common::RunError& error) {
        throwPortFailure(address, error.description());
    }
}

// The virtual printer, its failures reported like those of any other port.
class PreviewAddressPort : public common::BytePort {
public:
    PreviewAddressPort(const QString& address, const QString& folder,
                       const common::CodePage& codePage)
        : m_address(address), m_port(guarded(address, [&] {
              return std::make_unique<preview::PreviewPort>(folder, 203, codePage);
          })) {}

    void write(const QByteArray& bytes) override {
        guarded(m_address, [&] { m_port->write(bytes); });
    }
    void endJob() override {
        guarded(m_address, [&] { m_port->endJob(); });
    }
    void close() override {
        guarded(m_address, [&] { m_port->close(); });
    }
    bool isPhysical() const override { return false; }
    QStringList warnings() const override { return m_port->warnings(); }

private:
    QString m_address;
    std::unique_ptr<preview::PreviewPort> m_port;
};

} // namespace

QString portAddress(const state::WorkingState& state, const QString& printerName) {
    for (const auto& [name, address] : state.ports) {
        if (name.compare(printerName, Qt::CaseInsensitive) == 0)
            return address;
    }
    return printerName;
}

std::unique_ptr<common::BytePort> openBytePort(const state::WorkingState& state,
                                               const QString& address, common::WaitServices wait,
                                               print_queue::PrintSystem* printSystem) {
    if (startsWith(address, "socket://"))
        return openSocket(address);
    if (startsWith(address, "file:"))
        return std::make_unique<FilePort>(fromProgramFolder(state, address.mid(5)));
    if (address.startsWith(u'/'))
        return std::make_unique<FilePort>(address);
    if (startsWith(address, "preview:"))
        return std::make_unique<PreviewAddressPort>(
            address, fromProgramFolder(state, address.mid(8)), state.codePage);
    if (startsWith(address, "trace:"))
        throwPortFailure(address, QStringLiteral("trace: 不是位元組連接埠"));
    if (address.isEmpty())
        throwPortFailure(address, QStringLiteral("沒有指定印表機"));
    if (printSystem == nullptr)
        throwPortFailure(address, QStringLiteral("找不到這個印表機佇列 (沒有列印系統)"));
    return std::make_unique<CupsPort>(*printSystem, address, wait);
}

std::unique_ptr<PrinterLibrary> createPrinterLibrary(const state::WorkingState& state,
                                                     const QString& printerName,
                                                     common::WaitServices wait,
                                                     print_queue::PrintSystem* printSystem) {
    const QString address = portAddress(state, printerName);
    if (startsWith(address, "trace:"))
        return std::make_unique<TraceLibrary>(fromProgramFolder(state, address.mid(6)));
    return std::make_unique<TsplLibrary>(
        state.codePage, [&state, wait, printSystem](const QString& name) {
            return openBytePort(state, portAddress(state, name), wait, printSystem);
        });
}

} // namespace pelmar::print_command
