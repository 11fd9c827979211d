#pragma once

#include "print_driver/page_sink.h"
#include "print_driver/printer_page.h"

#include <QFont>
#include <QHash>
#include <memory>
#include <optional>

namespace pelmar::print_driver {

// The printer page painted with QPainter: operations build the current page in twips (line
// widths in printer dots, font sizes in points) and end document hands it to the sink. Each new
// page starts with solid 1-dot lines, the font "Arial" at 24 points without styles, the text
// position at 0, 0 and 1 copy. Pictures are decoded once per file and kept.
class QtPrinterPage : public PrinterPage {
public:
    explicit QtPrinterPage(std::unique_ptr<PageSink> sink);

    QString deviceName() override;
    void setPageWidth(std::int32_t twips) override;
    void setPageHeight(std::int32_t twips) override;
    void setCopies(std::int16_t copies) override;
    void setLineStyle(std::int16_t style) override;
    void setLineWidth(std::int16_t dots) override;
    void drawLine(float x1, float y1, float x2, float y2, int colour) override;
    void drawBox(float x1, float y1, float x2, float y2, int colour) override;
    Picture loadPicture(const QString& path) override;
    void drawPicture(const Picture& picture, float x, float y, std::int32_t width,
                     std::int32_t height) override;
    void setCurrentX(float twips) override;
    void setCurrentY(float twips) override;
    void setFontName(const QString& face) override;
    void setFontSize(float points) override;
    void setBold(bool on) override;
    void setItalic(bool on) override;
    void setStrikethrough(bool on) override;
    void setUnderline(bool on) override;
    void printText(const QString& text) override;
    void printBarcode(const QString& fontParameter, const QString& data) override;
    void endDocument() override;
    void abortDocument() override;
    // The sink's answer.
    bool holdsJobsUntilPrinted() override { return m_sink->holdsJobsUntilPrinted(); }
    void overlapJobs() override { m_sink->overlapJobs(); }
    bool lastJobWithdrawn() const override { return m_sink->lastJobWithdrawn(); }
    // Completes the sink's output (a PDF file).
    void finishDocument() override;

    // Where the page's drawing since the last call lies, in twips (see
    // PageContent::takeDrawnArea); empty before the page has begun.
    QRectF takeDrawnArea() { return m_page ? m_page->takeDrawnArea() : QRectF(); }

    static constexpr float kDefaultFontSize = 24.0f;

private:
    PageContent& page();
    int printerDotsPerInch();
    QPen pen() const;
    QFont font() const;

    std::unique_ptr<PageSink> m_sink;
    std::optional<PageContent> m_page;
    int m_copies = 1;
    int m_lineStyle = 0;
    int m_lineWidthDots = 1;
    double m_x = 0;
    double m_y = 0;
    QString m_fontName;
    float m_fontSize = kDefaultFontSize;
    bool m_bold = false;
    bool m_italic = false;
    bool m_strikethrough = false;
    bool m_underline = false;
    QHash<QString, QImage> m_pictures;
    QString m_deviceName;
    bool m_haveDeviceName = false;
    int m_dotsPerInch = 0; // asked of the sink at the first barcode
};

} // namespace pelmar::print_driver
