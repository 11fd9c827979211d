#include "print_command/tspl_library.h"

#include "common/file_names.h"
#include "common/numbers.h"
#include "common/printer_status_byte.h"
#include "common/run_error.h"
#include "common/timing.h"
#include "common/units.h"
#include "print_command/tspl_strings.h"

#include <QFile>
#include <algorithm>

namespace pelmar::print_command {

namespace {

const QByteArray kLineEnd = QByteArrayLiteral("\r\n");

} // namespace

TsplLibrary::TsplLibrary(common::CodePage codePage, PortOpener opener)
    : m_codePage(std::move(codePage)), m_opener(std::move(opener)) {}

TsplLibrary::~TsplLibrary() {
    if (m_port) {
        try {
            m_port->close();
        } catch (const common::RunError&) {
            // A destructor cannot report; the run that lost the port has reported already.
        }
    }
}

QByteArray TsplLibrary::quoted(const QString& value) const {
    const QByteArray bytes = text(value);
    const QString refusal = quotedRefusal(bytes);
    if (!refusal.isEmpty())
        throw common::RunError(common::InvalidArgument, refusal);
    return '"' + text(escapeQuotes(value)) + '"';
}

void TsplLibrary::send(const QByteArray& bytes) {
    if (!m_port)
        throw common::RunError(common::PrinterError,
                               QStringLiteral("無法連接印表機: 印表機連接埠未開啟"));
    m_port->write(bytes);
}

void TsplLibrary::openport(const QString& printerName) {
    if (m_port)
        closeport();
    m_port = m_opener(printerName);
    if (!m_port)
        throw common::RunError(common::PrinterError,
                               QStringLiteral("無法連接印表機 %1").arg(printerName));
    m_answersStatus = false;
    const std::optional<std::uint8_t> status = m_port->askStatus(common::timing::kStatusAnswerWait);
    if (!status)
        return;
    m_answersStatus = true;
    if (*status != 0)
        throw common::RunError(
            common::PrinterError,
            QStringLiteral("印表機 %1 未就緒: %2").arg(printerName, common::statusText(*status)));
}

std::optional<std::uint8_t> TsplLibrary::printerStatus(std::chrono::milliseconds wait) {
    if (!answersStatus())
        return std::nullopt;
    return m_port->askStatus(wait);
}

void TsplLibrary::downloadpcx(const QString& path, const QString& name) {
    const QString found = common::resolveFileName(path);
    if (found.isEmpty())
        return;
    QFile file(found);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray content = file.readAll();
    send("DOWNLOAD " + quoted(name) + ',' + QByteArray::number(content.size()) + ',' + content);
}

void TsplLibrary::setup(const QString& width, const QString& height, const QString& speed,
                        const QString& density, const QString& sensor, const QString& vertical,
                        const QString& offset) {
    const double feed = common::leadingNumber(height) +
                        (sensor == u"0" || sensor == u"1" ? common::leadingNumber(vertical) : 0.0);
    m_labelInches = feed / common::kMillimetresPerInch;
    QByteArray bytes = "SIZE " + text(width) + " mm," + text(height) + " mm" + kLineEnd;
    bytes += "SPEED " + text(speed) + kLineEnd;
    bytes += "DENSITY " + text(density) + kLineEnd;
    if (sensor == u"0")
        bytes += "GAP " + text(vertical) + " mm, " + text(offset) + " mm" + kLineEnd;
    else if (sensor == u"1")
        bytes += "BLINE " + text(vertical) + " mm, " + text(offset) + " mm" + kLineEnd;
    send(bytes);
}

void TsplLibrary::sendcommand(const QString& command) {
    send(text(command) + kLineEnd);
}

void TsplLibrary::clearbuffer() {
    send(QByteArrayLiteral("CLS") + kLineEnd);
}

void TsplLibrary::barcode(const QString& x, const QString& y, const QString& type,
                          const QString& height, const QString& readable, const QString& rotation,
                          const QString& narrow, const QString& wide, const QString& code) {
    send("BARCODE " + text(x) + ',' + text(y) + ',' + quoted(type) + ',' + text(height) + ',' +
         text(readable) + ',' + text(rotation) + ',' + text(narrow) + ',' + text(wide) + ',' +
         quoted(code) + kLineEnd);
}

QByteArray TsplLibrary::bitmapCommand(const TextBitmap& bitmap) {
    return "BITMAP " + QByteArray::number(bitmap.x) + ',' + QByteArray::number(bitmap.y) + ',' +
           QByteArray::number(bitmap.widthBytes) + ',' + QByteArray::number(bitmap.height) + ",1," +
           bitmap.data + kLineEnd;
}

void TsplLibrary::windowsfont(std::int16_t x, std::int16_t y, std::int16_t fontheight,
                              std::int16_t rotation, std::int16_t fontstyle, std::int16_t underline,
                              const QString& face, const QString& content) {
    const TextBitmap bitmap =
        m_renderer.render(x, y, fontheight, rotation, fontstyle, underline, face, content);
    if (bitmap.isEmpty())
        return;
    QByteArray bytes;
    for (const TextBitmap& strip : splitIntoStrips(bitmap))
        bytes += bitmapCommand(strip);
    send(bytes);
}

void TsplLibrary::printlabel(const QString& sets, const QString& copies) {
    send("PRINT " + text(sets) + ',' + text(copies) + kLineEnd);
    // A set count beyond what any run asks for is held to it, not cast beyond int.
    m_port->expectLabels(static_cast<int>(std::clamp(common::leadingNumber(sets), 0.0, 1e6)),
                         m_labelInches);
    m_port->endJob();
}

void TsplLibrary::closeport() {
    if (!m_port)
        return;
    // Released before close() can throw, so a failing port is not closed twice.
    std::unique_ptr<common::BytePort> port = std::move(m_port);
    try {
        port->close();
    } catch (const std::exception&) {
        m_warnings += port->warnings();
        throw;
    }
    m_warnings += port->warnings();
}

bool TsplLibrary::isPhysical() const {
    return m_port && m_port->isPhysical();
}

} // namespace pelmar::print_command
