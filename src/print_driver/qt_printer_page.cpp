#include "print_driver/qt_printer_page.h"
#include "common/units.h"

#include "common/file_names.h"
#include "common/pcx_decoder.h"
#include "common/run_error.h"
#include "print_driver/barcode_symbol.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <cups/cups.h>

namespace pelmar::print_driver {

namespace {

using common::RunError;

// PDF pages are drawn at this resolution; bars are whole pixels of it.
constexpr int kPdfDotsPerInch = 1200;

QPageSize pageSizeOf(const PageContent& page) {
    if (page.widthTwips <= 0 || page.heightTwips <= 0)
        throw RunError(common::InvalidArgument, QStringLiteral("標籤尺寸不正確: %1 x %2 twips")
                                                    .arg(page.widthTwips)
                                                    .arg(page.heightTwips));
    // A twip is 1/20 point; exact sizes, never snapped to a standard paper.
    return QPageSize(
        QSizeF(common::twipsToPoints(page.widthTwips), common::twipsToPoints(page.heightTwips)),
        QPageSize::Point, QString(), QPageSize::ExactMatch);
}

void preparePdfWriter(QPdfWriter& writer) {
    writer.setResolution(kPdfDotsPerInch);
    writer.setCreator(QStringLiteral("Pelmar"));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageOrientation(QPageLayout::Portrait);
}

class PdfFileSink : public PageSink {
public:
    explicit PdfFileSink(QString fileName) : m_fileName(std::move(fileName)) {}
    ~PdfFileSink() override {
        if (m_painter && m_painter->isActive())
            m_painter->end();
    }

    QString deviceName() override { return QStringLiteral("PDF"); }

    void sendJob(const PageContent& page, int copies) override {
        if (m_finished)
            throw RunError(common::PathFileAccessError,
                           QStringLiteral("PDF 檔已關閉: %1").arg(m_fileName));
        const QPageSize size = pageSizeOf(page);
        for (int copy = 0; copy < copies; ++copy) {
            if (!m_writer) {
                m_writer = std::make_unique<QPdfWriter>(m_fileName);
                preparePdfWriter(*m_writer);
                m_writer->setPageSize(size);
                m_painter = std::make_unique<QPainter>();
                if (!m_painter->begin(m_writer.get()))
                    throw RunError(common::PathFileAccessError,
                                   QStringLiteral("無法寫入 PDF 檔: %1").arg(m_fileName));
            } else {
                m_writer->setPageSize(size);
                m_writer->newPage();
            }
            page.render(*m_painter, kPdfDotsPerInch);
        }
    }

    void finish() override {
        if (m_finished)
            return;
        m_finished = true;
        if (m_painter && m_painter->isActive() && !m_painter->end())
            throw RunError(common::PathFileAccessError,
                           QStringLiteral("無法寫入 PDF 檔: %1").arg(m_fileName));
    }

private:
    QString m_fileName;
    std::unique_ptr<QPdfWriter> m_writer;
    std::unique_ptr<QPainter> m_painter;
    bool m_finished = false;
};

class CupsQueueSink : public PageSink {
public:
    explicit CupsQueueSink(QString queueName) : m_queueName(std::move(queueName)) {}

    QString deviceName() override {
        const QByteArray queue = m_queueName.toUtf8();
        cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.constData(), nullptr);
        if (!dest)
            throw RunError(common::PrinterError,
                           QStringLiteral("找不到印表機: %1").arg(m_queueName));
        const char* info = cupsGetOption("printer-info", dest->num_options, dest->options);
        const QString name = info && *info ? QString::fromUtf8(info) : m_queueName;
        cupsFreeDests(1, dest);
        return name;
    }

    void sendJob(const PageContent& page, int copies) override {
        const QPageSize size = pageSizeOf(page);
        QByteArray pdf;
        {
            QBuffer buffer(&pdf);
            buffer.open(QIODevice::WriteOnly);
            QPdfWriter writer(&buffer);
            preparePdfWriter(writer);
            writer.setPageSize(size);
            QPainter painter;
            if (!painter.begin(&writer))
                throw RunError(common::PrinterError, QStringLiteral("無法產生列印工作"));
            page.render(painter, kPdfDotsPerInch);
            painter.end();
        }
        send(pdf, copies);
    }

private:
    [[noreturn]] void fail(int job) {
        const QString reason = QString::fromUtf8(cupsLastErrorString());
        if (job > 0)
            cupsCancelJob2(CUPS_HTTP_DEFAULT, m_queueName.toUtf8().constData(), job, 0);
        throw RunError(common::PrinterError,
                       QStringLiteral("列印工作無法送到 %1: %2").arg(m_queueName, reason));
    }

    void send(const QByteArray& pdf, int copies) {
        const QByteArray queue = m_queueName.toUtf8();
        const QByteArray copiesText = QByteArray::number(copies);
        cups_option_t* options = nullptr;
        int optionCount = cupsAddOption("copies", copiesText.constData(), 0, &options);
        const int job =
            cupsCreateJob(CUPS_HTTP_DEFAULT, queue.constData(), "Pelmar", optionCount, options);
        cupsFreeOptions(optionCount, options);
        if (job <= 0)
            fail(0);
        if (cupsStartDocument(CUPS_HTTP_DEFAULT, queue.constData(), job, "label", CUPS_FORMAT_PDF,
                              1) != HTTP_STATUS_CONTINUE)
            fail(job);
        if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, pdf.constData(),
                                 static_cast<size_t>(pdf.size())) != HTTP_STATUS_CONTINUE)
            fail(job);
        if (cupsFinishDocument(CUPS_HTTP_DEFAULT, queue.constData()) != IPP_STATUS_OK)
            fail(job);
    }

    QString m_queueName;
};

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

std::unique_ptr<PageSink> makeCupsQueueSink(const QString& queueName) {
    return std::make_unique<CupsQueueSink>(queueName);
}

std::unique_ptr<PageSink> makePdfFileSink(const QString& fileName) {
    return std::make_unique<PdfFileSink>(fileName);
}

void ImagePageSink::sendJob(const PageContent& page, int copies) {
    pageSizeOf(page);
    jobs.push_back(Job{renderPageImage(page, m_dotsPerInch), copies});
}

QtPrinterPage::QtPrinterPage(std::unique_ptr<PageSink> sink) : m_sink(std::move(sink)) {}

QString QtPrinterPage::deviceName() {
    if (!m_haveDeviceName) {
        m_deviceName = m_sink->deviceName();
        m_haveDeviceName = true;
    }
    return m_deviceName;
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
    BarcodeModules modules = encodeBarcode(fontParameter, data);
    content.addBars(std::move(modules.dark), kBarcodeModuleDots, m_x, m_y,
                    common::pointsToTwips(m_fontSize));
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
