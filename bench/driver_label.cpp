// Drawing one label (1 box, 2 lines, 4 texts, 2 barcodes, 1 picture) through the Qt printer page
// into a PDF file, one page per iteration. Target: under 1 ms per label.
#include "print_driver/label_drawing.h"
#include "print_driver/qt_printer_page.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace pelmar;

void addRow(state::ElementTable& table, const QStringList& columns) {
    for (int c = 0; c < columns.size(); ++c)
        table.rows[static_cast<size_t>(table.count)][static_cast<size_t>(c)] = columns[c];
    ++table.count;
}

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
    format.labelSettings[0] = QStringLiteral("60");
    format.labelSettings[1] = QStringLiteral("40");
    addRow(format.boxElements, {"85", "85", "3317", "2183", "4"});
    addRow(format.lineElements, {"85", "700", "3317", "700", "2"});
    addRow(format.lineElements, {"85", "1300", "3317", "1300", "2"});
    addRow(format.graphicElements, {"360", "16", "10", "5", "logo.bmp"});
    addRow(format.fBarcodeElements, {"260", "220", "EAN13", "471234567890"});
    addRow(format.vBarcodeElements, {"48", "160", "128", "1"});
    addRow(format.fTextElements, {"24", "8", "9", "0", "0", "Arial", "Pelmar Shop"});
    addRow(format.fTextElements, {"300", "8", "9", "0", "0", "Arial", "Date=yyyy/mm/dd"});
    addRow(format.vTextElements, {"24", "24", "12", "2", "0", "新細明體", "2"});
    addRow(format.vTextElements, {"24", "88", "14", "2", "0", "Arial", "'NT$ '+3"});

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
        print_driver::drawPageSize(page, format);
        page.setCopies(1);
        print_driver::drawLabelElements(page, format, drawing);
        page.endDocument();
    }
    page.finishDocument();
    run.SetItemsProcessed(run.iterations());
}
BENCHMARK(BM_DrawLabelIntoPdf)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
