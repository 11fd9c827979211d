#pragma once

#include "print_driver/printer_page.h"

#include <QStringList>
#include <functional>
#include <vector>

namespace pelmar::print_driver {

// A printer page that draws nothing and records every operation with its values, one text per
// operation ("drawBox 100 100 1000 500 0"). Ended pages become jobs; an abort discards the page.
// Pictures must exist (error 53 otherwise) and barcodes must encode, as on a real page.
class RecordingPrinterPage : public PrinterPage {
public:
    explicit RecordingPrinterPage(QString deviceName = QStringLiteral("TSC TTP-244 Pro"));

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
    // Counts the call; throws RunError(finishError) when that is set.
    void finishDocument() override;
    bool holdsJobsUntilPrinted() override { return holdsJobs; }

    struct Job {
        QStringList operations;
        int copies = 1;
    };

    // Jobs sent by end document, in order.
    std::vector<Job> jobs;
    // Operations of the page being drawn.
    QStringList page;
    // Every operation, ended and aborted pages alike, with "endDocument" and "abortDocument".
    QStringList log;
    // Called after each operation is recorded, with the operation's name (a test's stand-in for
    // a click while a page is drawn).
    std::function<void(const QString& name)> onOperation;
    // How many times finishDocument was called (it is not an operation of the log).
    int finishCount = 0;
    // When not 0, finishDocument fails with this error number (an output that cannot be
    // completed, such as a PDF file that cannot be written).
    int finishError = 0;
    // What holdsJobsUntilPrinted answers: a driver that holds each job until it is printed.
    bool holdsJobs = false;

private:
    void record(const QString& name, const QStringList& values = {});

    QString m_deviceName;
    int m_copies = 1;
};

} // namespace pelmar::print_driver
