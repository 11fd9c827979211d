// Composing one label into TSPL bytes: time per label, bytes on the wire, and what the same
// texts would cost as uncropped whole-cell bitmaps.
#include "common/byte_port.h"
#include "print_command/label_composer.h"
#include "print_command/text_bitmap.h"
#include "print_command/tspl_library.h"
#include "state/working_state.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

using namespace pelmar;

class CountingPort : public common::BytePort {
public:
    explicit CountingPort(qsizetype& bytes) : m_bytes(bytes) {}
    void write(const QByteArray& bytes) override { m_bytes += bytes.size(); }
    void close() override {}
    bool isPhysical() const override { return false; }

private:
    qsizetype& m_bytes;
};

void addRow(state::ElementTable& table, const QStringList& columns) {
    auto& row = table.rows[static_cast<size_t>(table.count++)];
    for (int i = 0; i < columns.size(); ++i)
        row[static_cast<size_t>(i)] = columns[i];
}

state::WorkingState benchState() {
    state::WorkingState state;
    state.format.labelSettings = {"100", "60", "3", "4", "8"};
    state.format.labelOffset = "0";
    state.format.sensorType = "0";
    state.format.direction = "1";
    state.format.stripeCommand = "SET STRIPE ON";
    state.format.cutterCommand = "SET CUTTER OFF";
    state.fieldCount = 4;
    state.recordCount = 1;
    state.records.recreate(2, 5);
    state.records.set(1, 1, "4712345678901");
    state.records.set(1, 2, QStringLiteral("不鏽鋼螺絲 M3x10"));
    state.records.set(1, 3, "12.50");
    state.records.set(1, 4, "1");
    state::LoadedFormat& f = state.format;
    addRow(f.boxElements, {"10", "10", "790", "470", "3"});
    addRow(f.boxElements, {"20", "20", "780", "120", "2"});
    addRow(f.lineElements, {"10", "240", "780", "3"});
    addRow(f.lineElements, {"400", "240", "3", "230"});
    addRow(f.fBarcodeElements, {"30", "380", "39", "60", "1", "0", "2", "4", "PELMAR"});
    addRow(f.vBarcodeElements, {"420", "380", "EAN13", "60", "1", "0", "2", "4", "1"});
    addRow(f.pdf417Elements, {"600,260,180,100,0", "1+VBTAB+2"});
    addRow(f.fTextElements, {"30", "30", "48", "0", "2", "0", "Arial", "Product"});
    addRow(f.fTextElements,
           {"30", "140", "48", "0", "0", "0", QStringLiteral("新細明體"), QStringLiteral("品名")});
    addRow(f.fTextElements, {"30", "260", "48", "0", "0", "0", "Arial", "Date=yyyy/mm/dd"});
    addRow(f.vTextElements, {"250", "30", "48", "0", "0", "0", "Arial", "1"});
    addRow(f.vTextElements, {"150", "140", "48", "0", "0", "0", QStringLiteral("新細明體"), "2"});
    addRow(f.vTextElements, {"420", "260", "48", "0", "2", "0", "Arial", "\"$\"+3"});
    return state;
}

const QDate kToday(2026, 12, 7);

void BM_ComposeLabel(benchmark::State& run) {
    const state::WorkingState state = benchState();
    qsizetype bytes = 0;
    print_command::TsplLibrary library(
        state.codePage, [&bytes](const QString&) { return std::make_unique<CountingPort>(bytes); });
    library.openport("bench");
    for (auto _ : run) {
        bytes = 0;
        print_command::ComposeLabel(state, library, 1, true, kToday);
        library.printlabel("1", "1");
    }
    run.counters["wire_bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ComposeLabel)->Unit(benchmark::kMicrosecond);

// Receives the composer's calls and adds up what each text costs as cropped strips, as one
// whole-cell bitmap, and the bytes of its picture that hold ink at all (no cover by BITMAP
// commands can send fewer data bytes than those).
class BitmapSizes : public print_command::PrinterLibrary {
public:
    // The text of a BITMAP command around its data, about.
    static constexpr long long kCommandBytes = 24;
    long long cropped = 0, whole = 0, inkBytes = 0;

    void windowsfont(std::int16_t x, std::int16_t y, std::int16_t fontheight, std::int16_t rotation,
                     std::int16_t fontstyle, std::int16_t underline, const QString& face,
                     const QString& content) override {
        const auto bitmap =
            m_renderer.render(x, y, fontheight, rotation, fontstyle, underline, face, content);
        for (const auto& strip : print_command::splitIntoStrips(bitmap))
            cropped += strip.widthBytes * strip.height + kCommandBytes;
        whole += ((bitmap.cellWidth + 7) / 8) * bitmap.cellHeight + kCommandBytes;
        for (const char byte : bitmap.data)
            inkBytes += static_cast<unsigned char>(byte) != 0xFF;
    }
    void openport(const QString&) override {}
    void downloadpcx(const QString&, const QString&) override {}
    void setup(const QString&, const QString&, const QString&, const QString&, const QString&,
               const QString&, const QString&) override {}
    void sendcommand(const QString&) override {}
    void clearbuffer() override {}
    void barcode(const QString&, const QString&, const QString&, const QString&, const QString&,
                 const QString&, const QString&, const QString&, const QString&) override {}
    void printlabel(const QString&, const QString&) override {}
    void closeport() override {}
    void printerfont(const QString&, const QString&, const QString&, const QString&, const QString&,
                     const QString&, const QString&) override {}
    void formfeed() override {}
    void nobackfeed() override {}
    bool isPhysical() const override { return false; }

private:
    print_command::TextBitmapRenderer m_renderer;
};

void reportBitmapSizes() {
    const state::WorkingState state = benchState();
    BitmapSizes sizes;
    print_command::ComposeLabel(state, sizes, 1, true, kToday);
    const auto percent = [&](long long bytes) {
        return sizes.whole ? 100.0 * static_cast<double>(bytes) / static_cast<double>(sizes.whole)
                           : 0.0;
    };
    std::printf("text bitmaps with their commands: cropped strips %lld bytes, whole cells %lld "
                "bytes (%.0f%%); bytes holding ink alone %lld (%.0f%%)\n",
                sizes.cropped, sizes.whole, percent(sizes.cropped), sizes.inkBytes,
                percent(sizes.inkBytes));
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    reportBitmapSizes();
    benchmark::Shutdown();
    return 0;
}
