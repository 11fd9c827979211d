#include "print_driver/recording_printer_page.h"

#include "common/file_names.h"
#include "common/run_error.h"
#include "print_driver/barcode_symbol.h"

namespace pelmar::print_driver {

namespace {

QString number(double value) {
    return QString::number(value, 'g', 10);
}

QString flag(bool on) {
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

RecordingPrinterPage::RecordingPrinterPage(QString deviceName)
    : m_deviceName(std::move(deviceName)) {}

QString RecordingPrinterPage::deviceName() {
    return m_deviceName;
}

void RecordingPrinterPage::setPageWidth(std::int32_t twips) {
    record(QStringLiteral("pageWidth"), {number(twips)});
}
void RecordingPrinterPage::setPageHeight(std::int32_t twips) {
    record(QStringLiteral("pageHeight"), {number(twips)});
}
void RecordingPrinterPage::setCopies(std::int16_t copies) {
    m_copies = copies;
    record(QStringLiteral("copies"), {number(copies)});
}
void RecordingPrinterPage::setLineStyle(std::int16_t style) {
    record(QStringLiteral("lineStyle"), {number(style)});
}
void RecordingPrinterPage::setLineWidth(std::int16_t dots) {
    record(QStringLiteral("lineWidth"), {number(dots)});
}
void RecordingPrinterPage::drawLine(float x1, float y1, float x2, float y2, int colour) {
    record(QStringLiteral("drawLine"),
           {number(x1), number(y1), number(x2), number(y2), number(colour)});
}
void RecordingPrinterPage::drawBox(float x1, float y1, float x2, float y2, int colour) {
    record(QStringLiteral("drawBox"),
           {number(x1), number(y1), number(x2), number(y2), number(colour)});
}
Picture RecordingPrinterPage::loadPicture(const QString& path) {
    Picture picture{common::resolveExistingFile(path), QImage()};
    record(QStringLiteral("loadPicture"), {path});
    return picture;
}
void RecordingPrinterPage::drawPicture(const Picture& picture, float x, float y, std::int32_t width,
                                       std::int32_t height) {
    record(QStringLiteral("drawPicture"),
           {picture.fileName, number(x), number(y), number(width), number(height)});
}
void RecordingPrinterPage::setCurrentX(float twips) {
    record(QStringLiteral("currentX"), {number(twips)});
}
void RecordingPrinterPage::setCurrentY(float twips) {
    record(QStringLiteral("currentY"), {number(twips)});
}
void RecordingPrinterPage::setFontName(const QString& face) {
    record(QStringLiteral("fontName"), {face});
}
void RecordingPrinterPage::setFontSize(float points) {
    record(QStringLiteral("fontSize"), {number(points)});
}
void RecordingPrinterPage::setBold(bool on) {
    record(QStringLiteral("bold"), {flag(on)});
}
void RecordingPrinterPage::setItalic(bool on) {
    record(QStringLiteral("italic"), {flag(on)});
}
void RecordingPrinterPage::setStrikethrough(bool on) {
    record(QStringLiteral("strikethrough"), {flag(on)});
}
void RecordingPrinterPage::setUnderline(bool on) {
    record(QStringLiteral("underline"), {flag(on)});
}
void RecordingPrinterPage::printText(const QString& text) {
    record(QStringLiteral("print"), {text});
}
void RecordingPrinterPage::printBarcode(const QString& fontParameter, const QString& data) {
    // A barcode font prints nothing for an empty text, but the font must exist.
    if (data.isEmpty()) {
        if (!isKnownBarcodeFont(fontParameter))
            encodeBarcode(fontParameter, data);
    } else {
        encodeBarcode(fontParameter, data);
    }
    record(QStringLiteral("barcode"), {fontParameter, data});
}
void RecordingPrinterPage::endDocument() {
    jobs.push_back(Job{page, m_copies});
    page.clear();
    log << QStringLiteral("endDocument");
    if (onOperation)
        onOperation(QStringLiteral("endDocument"));
}
void RecordingPrinterPage::abortDocument() {
    page.clear();
    log << QStringLiteral("abortDocument");
    if (onOperation)
        onOperation(QStringLiteral("abortDocument"));
}
void RecordingPrinterPage::finishDocument() {
    ++finishCount;
    if (finishError != 0)
        throw common::RunError(finishError);
}

void RecordingPrinterPage::record(const QString& name, const QStringList& values) {
    const QString entry = values.isEmpty() ? name : name + u' ' + values.join(u' ');
    page << entry;
    log << entry;
    if (onOperation)
        onOperation(name);
}

} // namespace pelmar::print_driver
