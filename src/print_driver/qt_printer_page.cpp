#include "print_driver/qt_printer_page.h"
#include "common/units.h"

#include "common/file_names.h"
#include "common/pcx_decoder.h"
#include "common/run_error.h"
#include "print_driver/barcode_symbol.h"

#include <QFile>
#include <QFileInfo>
#include <QPainter>

namespace pelmar::print_driver {

namespace {

using common::RunError;

Qt::PenStyle penStyleOf(int lineStyle) {
    switch (lineStyle) {
    case 1:
        return Qt::DashLine;
    case 2:
        return Qt::DotLine;
    case 3:
        return Qt::DashDotLine;
    case 4:
        return Qt::DashDotDotLine;
    case 5:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

QImage decodePicture(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw RunError(common::PathFileAccessError,
                       QStringLiteral("%1: %2").arg(
                           common::errorDescription(common::PathFileAccessError), fileName));
    const QByteArray bytes = file.readAll();
    QImage image;
    // A PCX file starts with the byte 10; BMP and other kinds are Qt's.
    if (fileName.endsWith(QStringLiteral(".pcx"), Qt::CaseInsensitive) ||
        (!bytes.isEmpty() && bytes[0] == '\x0a')) {
        try {
            image = common::decodePcx(bytes);
        } catch (const RunError& error) {
            throw RunError(error.number(),
                           QStringLiteral("%1: %2").arg(error.description(), fileName));
        }
    } else {
        image = QImage::fromData(bytes);
    }
    if (image.isNull())
        throw RunError(common::InvalidPicture,
                       QStringLiteral("%1: %2").arg(
                           common::errorDescription(common::InvalidPicture), fileName));
    return image;
}

} // namespace

QtPrinterPage::QtPrinterPage(std::unique_ptr<PageSink> sink) : m_sink(std::move(sink)) {}

QString QtPrinterPage::deviceName() {
    if (!m_haveDeviceName) {
        m_deviceName = m_sink->deviceName();
        m_haveDeviceName = true;
    }
    return m_deviceName;
}

int QtPrinterPage::printerDotsPerInch() {
    if (m_dotsPerInch <= 0)
        m_dotsPerInch = m_sink->dotsPerInch();
    return m_dotsPerInch;
}

PageContent& QtPrinterPage::page() {
    if (!m_page) {
        m_page.emplace();
        m_copies = 1;
        m_lineStyle = 0;
        m_lineWidthDots = 1;
        m_x = 0;
        m_y = 0;
        m_fontName = QStringLiteral("Arial");
        m_fontSize = kDefaultFontSize;
        m_bold = m_italic = m_strikethrough = m_underline = false;
    }
    return *m_page;
}

QPen QtPrinterPage::pen() const {
    QPen pen(Qt::black);
    pen.setWidthF(m_lineWidthDots * kTwipsPerDot);
    pen.setStyle(penStyleOf(m_lineStyle));
    pen.setCapStyle(Qt::SquareCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

QFont QtPrinterPage::font() const {
    QFont font(m_fontName);
    // Pixel sizes are in the page's unit, the twip: 20 twips to a point.
    font.setPixelSize(
        std::max(1, static_cast<int>(std::lround(common::pointsToTwips(m_fontSize)))));
    font.setBold(m_bold);
    font.setItalic(m_italic);
    font.setStrikeOut(m_strikethrough);
    font.setUnderline(m_underline);
    return font;
}

void QtPrinterPage::setPageWidth(std::int32_t twips) {
    page().widthTwips = twips;
}
void QtPrinterPage::setPageHeight(std::int32_t twips) {
    page().heightTwips = twips;
}
void QtPrinterPage::setCopies(std::int16_t copies) {
    if (copies < 1)
        throw RunError(common::InvalidArgument, QStringLiteral("列印張數不正確: %1").arg(copies));
    page();
    m_copies = copies;
}
void QtPrinterPage::setLineStyle(std::int16_t style) {
    page();
    m_lineStyle = style;
}
void QtPrinterPage::setLineWidth(std::int16_t dots) {
    if (dots < 1)
        throw RunError(common::InvalidArgument, QStringLiteral("線寬不正確: %1").arg(dots));
    page();
    m_lineWidthDots = dots;
}
void QtPrinterPage::drawLine(float x1, float y1, float x2, float y2, int) {
    page().addLine(pen(), x1, y1, x2, y2);
}
void QtPrinterPage::drawBox(float x1, float y1, float x2, float y2, int) {
    page().addBox(pen(), x1, y1, x2, y2);
}
Picture QtPrinterPage::loadPicture(const QString& path) {
    const QString found = common::resolveFileName(path);
    if (found.isEmpty() || QFileInfo(found).isDir())
        throw RunError(
            common::FileNotFound,
            QStringLiteral("%1: %2").arg(common::errorDescription(common::FileNotFound), path));
    auto cached = m_pictures.constFind(found);
    if (cached == m_pictures.constEnd())
        cached = m_pictures.insert(found, decodePicture(found));
    page();
    return Picture{found, *cached};
}
void QtPrinterPage::drawPicture(const Picture& picture, float x, float y, std::int32_t width,
                                std::int32_t height) {
    if (picture.image.isNull())
        throw RunError(common::InvalidPicture,
                       QStringLiteral("%1: %2").arg(
                           common::errorDescription(common::InvalidPicture), picture.fileName));
    page().addPicture(picture.image, x, y, width, height);
}
void QtPrinterPage::setCurrentX(float twips) {
    page();
    m_x = twips;
}
void QtPrinterPage::setCurrentY(float twips) {
    page();
    m_y = twips;
}
void QtPrinterPage::setFontName(const QString& face) {
    page();
    m_fontName = face;
}
void QtPrinterPage::setFontSize(float points) {
    if (!(points > 0))
        throw RunError(common::InvalidArgument,
                       QStringLiteral("字型大小不正確: %1").arg(static_cast<double>(points)));
    page();
    m_fontSize = points;
}
void QtPrinterPage::setBold(bool on) {
    page();
    m_bold = on;
}
void QtPrinterPage::setItalic(bool on) {
    page();
    m_italic = on;
}
void QtPrinterPage::setStrikethrough(bool on) {
    page();
    m_strikethrough = on;
}
void QtPrinterPage::setUnderline(bool on) {
    page();
    m_underline = on;
}
void QtPrinterPage::printText(const QString& text) {
    PageContent& content = page();
    if (!text.isEmpty())
        content.addText(font(), m_x, m_y, text);
}
void QtPrinterPage::printBarcode(const QString& fontParameter, const QString& data) {
    PageContent& content = page();
    // A barcode font prints nothing for an empty text; the font must still exist.
    if (data.isEmpty() && isKnownBarcodeFont(fontParameter))
        return;
    const BarcodeModules modules = encodeBarcode(fontParameter, data);
    content.addBars(
        layOutBars(modules, m_x, m_y, common::pointsToTwips(m_fontSize), printerDotsPerInch()));
}
void QtPrinterPage::endDocument() {
    if (!m_page)
        return;
    // The page is gone whatever the sink does with it.
    const PageContent content = std::move(*m_page);
    const int copies = m_copies;
    m_page.reset();
    m_sink->sendJob(content, copies);
}
void QtPrinterPage::abortDocument() {
    m_page.reset();
}
void QtPrinterPage::finishDocument() {
    m_page.reset();
    m_sink->finish();
}

} // namespace pelmar::print_driver
