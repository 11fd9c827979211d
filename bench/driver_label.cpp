// Drawing one label (1 box, 2 lines, 4 texts, 2 barcodes, 1 picture) through the Qt printer page
// into a PDF file, one page per iteration. Target: under 1 ms per label.
#include "print_driver/label_drawing.h"
#include "print_driver/pdf_file_sink.h"
#include "print_driver/qt_printer_page.h"

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace pelmar;

void BM_DrawLabelIntoPdf(benchmark::State& run) {
    QTemporaryDir folder;
    QImage logo(120, 60, QImage::Format_RGB32);
    logo.fill(Qt::white);
    for (int y = 10; y < 50; ++y)
        for (int x = 10; x < 110; ++x)
            if ((x / 10 + y / 10) % 2 == 0)
                logo.setPixel(x, y, qRgb(0, 0, 0));
    logo.save(folder.filePath(QStringLiteral("logo.bmp")), "BMP");

    state::WorkingState state;
    state.fieldCount = 4;
    state.recordCount = 1;
    state.records.recreate(2, 5);
    const QStringList record{QString(), QStringLiteral("A0001"),
                             QStringLiteral("Organic Green Tea"), QStringLiteral("123.50"),
                             QStringLiteral("1")};
    for (int f = 1; f <= 4; ++f)
        state.records.set(1, f, record[f]);
    state::LoadedFormat& format = state.format;
    format.labelSettings.width = QStringLiteral("60");
    format.labelSettings.height = QStringLiteral("40");
    format.driver.boxElements.append(
        {.x1 = "85", .y1 = "85", .x2 = "3317", .y2 = "2183", .thickness = "4"});
    format.driver.lineElements.append(
        {.x1 = "85", .y1 = "700", .x2 = "3317", .y2 = "700", .thickness = "2"});
    format.driver.lineElements.append(
        {.x1 = "85", .y1 = "1300", .x2 = "3317", .y2 = "1300", .thickness = "2"});
    format.driver.graphicElements.append(
        {.x = "360", .y = "16", .width = "10", .height = "5", .fileName = "logo.bmp"});
    format.driver.fBarcodeElements.append(
        {.x = "260", .y = "220", .font = "EAN13", .content = "471234567890"});
    format.driver.vBarcodeElements.append({.x = "48", .y = "160", .font = "128", .content = "1"});
    format.driver.fTextElements.append({.x = "24",
                                        .y = "8",
                                        .size = "9",
                                        .style = "0",
                                        .lineStyle = "0",
                                        .face = "Arial",
                                        .content = "Pelmar Shop"});
    format.driver.fTextElements.append({.x = "300",
                                        .y = "8",
                                        .size = "9",
                                        .style = "0",
                                        .lineStyle = "0",
                                        .face = "Arial",
                                        .content = "Date=yyyy/mm/dd"});
    format.driver.vTextElements.append({.x = "24",
                                        .y = "24",
                                        .size = "12",
                                        .style = "2",
                                        .lineStyle = "0",
                                        .face = "新細明體",
                                        .content = "2"});
    format.driver.vTextElements.append({.x = "24",
                                        .y = "88",
                                        .size = "14",
                                        .style = "2",
                                        .lineStyle = "0",
                                        .face = "Arial",
                                        .content = "'NT$ '+3"});

    print_driver::QtPrinterPage page(
        print_driver::makePdfFileSink(folder.filePath(QStringLiteral("bench.pdf"))));
    print_driver::LabelDrawing drawing;
    drawing.devicePrefix = QStringLiteral("PDF");
    drawing.programFolder = folder.path();
    drawing.today = QDate(2026, 12, 7);
    drawing.fieldValue = [&state](const QString& expression) {
        return print_driver::plainFieldValue(state, expression, 1);
    };
    for (auto _ : run) {
        print_driver::drawPageSize(page, format.labelSettings);
        page.setCopies(1);
        print_driver::drawLabelElements(page, format.driver, drawing);
        page.endDocument();
    }
    page.finishDocument();
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(BM_DrawLabelIntoPdf)->Unit(benchmark::kMicrosecond);

} // namespace
