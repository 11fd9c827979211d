#include "shell/app/driver_preview.h"

#include "common/run_error.h"
#include "common/units.h"
#include "print_driver/image_page_sink.h"
#include "print_driver/label_drawing.h"
#include "print_driver/qt_printer_page.h"

#include <memory>

namespace pelmar::app {

void drawDriverPreview(const state::WorkingState& state, int record, const QDate& today,
                       int dotsPerInch, LabelPreview& preview) {
    auto sink = std::make_unique<print_driver::ImagePageSink>(dotsPerInch, state.printerName);
    print_driver::ImagePageSink& pages = *sink;
    print_driver::QtPrinterPage page(std::move(sink));

    std::vector<PreviewElement> elements;
    int line = 0;
    const double pixelsPerTwip = dotsPerInch / common::kTwipsPerInch;
    const auto endElement = [&] {
        const QRectF area = page.takeDrawnArea();
        if (line > 0 && !area.isEmpty())
            elements.push_back(
                {line, QRectF(area.topLeft() * pixelsPerTwip, area.size() * pixelsPerTwip)
                           .toAlignedRect()});
        line = 0;
    };

    bool barcodeRefused = false;
    print_driver::LabelDrawing drawing;
    drawing.devicePrefix = print_driver::devicePrefix(page.deviceName());
    drawing.programFolder = state.programFolder;
    drawing.today = today;
    drawing.drawEmpty = true;
    drawing.record = record;
    drawing.formatFileName = state.formatFileName;
    drawing.barcodeRefused = &barcodeRefused;
    drawing.fieldValue = [&state, record](const QString& expression) {
        return print_driver::plainFieldValue(state, expression, record);
    };
    drawing.startElement = [&](int next) {
        endElement();
        line = next;
    };
    try {
        print_driver::drawPageSize(page, state.format.labelSettings);
        page.setCopies(1);
        print_driver::drawLabelElements(page, state.format.driver, drawing);
        endElement();
        page.endDocument();
    } catch (const common::RunError& error) {
        if (!barcodeRefused)
            throw;
        preview.cannotDraw = error.description();
        return;
    }
    if (pages.jobs.empty())
        return;
    preview.picture = pages.jobs.front().image;
    preview.dotsPerMillimetre = dotsPerInch / common::kMillimetresPerInch;
    preview.elements = std::move(elements);
}

} // namespace pelmar::app
