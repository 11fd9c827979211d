#pragma once

#include "print_driver/earlier_job_failed.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <exception>

namespace pelmar::print_driver {

// A picture loaded by the printer page, ready to be drawn (any number of times).
struct Picture {
    QString fileName;
    QImage image; // null on a page that does not decode pictures (the recording page)
};

// The system printer as driver-mode drawing sees it: page set-up, lines, boxes, pictures, fonts
// and text on the current page, in twips (1/1440 inch) unless a unit is named. The first drawing
// operation after an end or abort opens a new page and job. Every failure throws RunError.
class PrinterPage {
public:
    virtual ~PrinterPage() = default;

    // The current printer's device name (a queue's description, else its name).
    virtual QString deviceName() = 0;

    // Page size in twips.
    virtual void setPageWidth(std::int32_t twips) = 0;
    virtual void setPageHeight(std::int32_t twips) = 0;
    // Number of copies of the page that end document sends.
    virtual void setCopies(std::int16_t copies) = 0;
    // 0 = solid.
    virtual void setLineStyle(std::int16_t style) = 0;
    // Line width in printer dots (1 dot = 567/80 twips).
    virtual void setLineWidth(std::int16_t dots) = 0;
    // A line from (x1, y1) to (x2, y2) in the current line width; colour 0 is black.
    virtual void drawLine(float x1, float y1, float x2, float y2, int colour) = 0;
    // A rectangle outline with corners (x1, y1) and (x2, y2) in the current line width.
    virtual void drawBox(float x1, float y1, float x2, float y2, int colour) = 0;
    // Loads a picture file (BMP or PCX; the name is resolved ignoring letter case). Throws
    // RunError(53) naming the file when it is missing, another RunError when it is unreadable.
    virtual Picture loadPicture(const QString& path) = 0;
    // Draws a picture with its top-left corner at (x, y), stretched to width x height twips.
    virtual void drawPicture(const Picture& picture, float x, float y, std::int32_t width,
                             std::int32_t height) = 0;
    // Text position in twips.
    virtual void setCurrentX(float twips) = 0;
    virtual void setCurrentY(float twips) = 0;
    virtual void setFontName(const QString& face) = 0;
    // Font size in points.
    virtual void setFontSize(float points) = 0;
    virtual void setBold(bool on) = 0;
    virtual void setItalic(bool on) = 0;
    virtual void setStrikethrough(bool on) = 0;
    virtual void setUnderline(bool on) = 0;
    // Prints text with its top-left corner at the text position in the current font.
    virtual void printText(const QString& text) = 0;
    // Prints data as the barcode that the font parameter names (39, 128, EAN13, ...) at the text
    // position, bars as tall as the current font size. Throws RunError(5) naming the font when it
    // is unknown and RunError(5) with the reason when the data cannot be encoded.
    virtual void printBarcode(const QString& fontParameter, const QString& data) = 0;
    // The page drawn so far goes to the printer as one job with the set number of copies. Throws
    // EarlierJobFailed when the job before it, overlapped, did not print.
    virtual void endDocument() = 0;
    // The page being drawn, if any, is discarded.
    virtual void abortDocument() = 0;
    // Whether the job that end document sent has been printed when end document returns (the
    // printer's driver holds each job until then). Throws RunError.
    virtual bool holdsJobsUntilPrinted() { return false; }
    // End document then leaves its job waiting behind the one before, returning once that one is
    // printed (see PageSink::overlapJobs).
    virtual void overlapJobs() {}
    // Whether the job of the last end document was withdrawn on a cancel, nothing of it printed.
    virtual bool lastJobWithdrawn() const { return false; }
    // Completes the output of the run: the jobs ended so far are kept (a PDF file is written
    // out) and later jobs are refused. Throws RunError when the output cannot be completed.
    virtual void finishDocument() = 0;
};

// After a run's failure has been reported: the page being drawn is discarded and the output is
// completed with the jobs ended before it. A failure to complete it is not reported again.
inline void abandonDocument(PrinterPage& page) noexcept {
    try {
        page.abortDocument();
        page.finishDocument();
    } catch (const std::exception&) {
        // The run's own failure is the one reported.
    }
}

} // namespace pelmar::print_driver
