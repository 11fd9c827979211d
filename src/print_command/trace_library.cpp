#include "print_command/trace_library.h"

#include "common/byte_writer.h"
#include "common/file_writer.h"
#include "common/run_error.h"

namespace pelmar::print_command {

namespace {

QString escaped(const QString& argument) {
    QString out;
    out.reserve(argument.size());
    for (const QChar c : argument) {
        switch (c.unicode()) {
        case u'\\':
            out += QStringLiteral("\\\\");
            break;
        case u'\t':
            out += QStringLiteral("\\t");
            break;
        case u'\r':
            out += QStringLiteral("\\r");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString number(std::int16_t value) {
    return QString::number(value);
}

} // namespace

TraceLibrary::TraceLibrary(QString path) : m_path(std::move(path)) {}

QByteArray TraceLibrary::traceLine(const QString& call, const QStringList& arguments) {
    QString line = call;
    for (const QString& argument : arguments)
        line += u'\t' + escaped(argument);
    return line.toUtf8();
}

void TraceLibrary::record(const QString& call, const QStringList& arguments) {
    if (!m_open)
        throw common::RunError(common::PrinterError,
                               QStringLiteral("無法連接印表機 trace:%1: 連接埠未開啟").arg(m_path));
    try {
        common::appendToFile(m_path, traceLine(call, arguments) + '\n');
    } catch (const common::FileWriteError& error) {
        common::throwPortFailure(QStringLiteral("trace:") + m_path, error.reason());
    }
}

void TraceLibrary::openport(const QString& printerName) {
    // A trace that cannot be appended to fails here, before any label.
    m_open = true;
    try {
        record(QStringLiteral("openport"), {printerName});
    } catch (...) {
        m_open = false;
        throw;
    }
}

void TraceLibrary::downloadpcx(const QString& path, const QString& name) {
    record(QStringLiteral("downloadpcx"), {path, name});
}

void TraceLibrary::setup(const QString& width, const QString& height, const QString& speed,
                         const QString& density, const QString& sensor, const QString& vertical,
                         const QString& offset) {
    record(QStringLiteral("setup"), {width, height, speed, density, sensor, vertical, offset});
}

void TraceLibrary::sendcommand(const QString& command) {
    record(QStringLiteral("sendcommand"), {command});
}

void TraceLibrary::clearbuffer() {
    record(QStringLiteral("clearbuffer"));
}

void TraceLibrary::barcode(const QString& x, const QString& y, const QString& type,
                           const QString& height, const QString& readable, const QString& rotation,
                           const QString& narrow, const QString& wide, const QString& code) {
    record(QStringLiteral("barcode"), {x, y, type, height, readable, rotation, narrow, wide, code});
}

void TraceLibrary::windowsfont(std::int16_t x, std::int16_t y, std::int16_t fontheight,
                               std::int16_t rotation, std::int16_t fontstyle,
                               std::int16_t underline, const QString& face,
                               const QString& content) {
    record(QStringLiteral("windowsfont"),
           {number(x), number(y), number(fontheight), number(rotation), number(fontstyle),
            number(underline), face, content});
}

void TraceLibrary::printlabel(const QString& sets, const QString& copies) {
    record(QStringLiteral("printlabel"), {sets, copies});
}

void TraceLibrary::closeport() {
    record(QStringLiteral("closeport"));
    m_open = false;
}

} // namespace pelmar::print_command
