// Composing one label into TSPL bytes: time per label, bytes on the wire, and what the same
// texts would cost as uncropped whole-cell bitmaps.
#include "common/byte_port.h"
#include "print_command/label_composer.h"
#include "print_command/null_printer_library.h"
#include "print_command/text_bitmap.h"
#include "print_command/tspl_library.h"
#include "state/working_state.h"

#include <QGuiApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <unordered_map>
#include <vector>

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

state::WorkingState benchState() {
    state::WorkingState state;
    state.format.labelSettings = {"100", "60", "3", "4", "8"};
    state.format.command.labelOffset = "0";
    state.format.command.sensorType = "0";
    state.format.command.direction = "1";
    state.format.command.stripeCommand = "SET STRIPE ON";
    state.format.command.cutterCommand = "SET CUTTER OFF";
    state.fieldCount = 4;
    state.recordCount = 1;
    state.records.recreate(2, 5);
    state.records.set(1, 1, "4712345678901");
    state.records.set(1, 2, QStringLiteral("不鏽鋼螺絲 M3x10"));
    state.records.set(1, 3, "12.50");
    state.records.set(1, 4, "1");
    state::CommandFormat& f = state.format.command;
    f.boxElements.append(
        {.xStart = "10", .yStart = "10", .xEnd = "790", .yEnd = "470", .thickness = "3"});
    f.boxElements.append(
        {.xStart = "20", .yStart = "20", .xEnd = "780", .yEnd = "120", .thickness = "2"});
    f.lineElements.append({.x = "10", .y = "240", .width = "780", .height = "3"});
    f.lineElements.append({.x = "400", .y = "240", .width = "3", .height = "230"});
    f.fBarcodeElements.append({.x = "30",
                               .y = "380",
                               .symbology = "39",
                               .height = "60",
                               .readable = "1",
                               .rotation = "0",
                               .narrow = "2",
                               .wide = "4",
                               .content = "PELMAR"});
    f.vBarcodeElements.append({.x = "420",
                               .y = "380",
                               .symbology = "EAN13",
                               .height = "60",
                               .readable = "1",
                               .rotation = "0",
                               .narrow = "2",
                               .wide = "4",
                               .content = "1"});
    f.pdf417Elements.append({.parameters = "600,260,180,100,0", .content = "1+VBTAB+2"});
    f.fTextElements.append({.x = "30",
                            .y = "30",
                            .height = "48",
                            .rotation = "0",
                            .style = "2",
                            .underline = "0",
                            .face = "Arial",
                            .content = "Product"});
    f.fTextElements.append({.x = "30",
                            .y = "140",
                            .height = "48",
                            .rotation = "0",
                            .style = "0",
                            .underline = "0",
                            .face = QStringLiteral("新細明體"),
                            .content = QStringLiteral("品名")});
    f.fTextElements.append({.x = "30",
                            .y = "260",
                            .height = "48",
                            .rotation = "0",
                            .style = "0",
                            .underline = "0",
                            .face = "Arial",
                            .content = "Date=yyyy/mm/dd"});
    f.vTextElements.append({.x = "250",
                            .y = "30",
                            .height = "48",
                            .rotation = "0",
                            .style = "0",
                            .underline = "0",
                            .face = "Arial",
                            .content = "1"});
    f.vTextElements.append({.x = "150",
                            .y = "140",
                            .height = "48",
                            .rotation = "0",
                            .style = "0",
                            .underline = "0",
                            .face = QStringLiteral("新細明體"),
                            .content = "2"});
    f.vTextElements.append({.x = "420",
                            .y = "260",
                            .height = "48",
                            .rotation = "0",
                            .style = "2",
                            .underline = "0",
                            .face = "Arial",
                            .content = "\"$\"+3"});
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

// The fewest bytes of any cover of the picture's ink by BITMAP commands that is found by cutting
// it, again and again, straight across at a row or a byte column, each part cropped to its ink:
// the floor the strips are measured against. Exhaustive, so only for a report.
class BestCover {
public:
    BestCover(const print_command::TextBitmap& bitmap, long long commandBytes)
        : m_columns(bitmap.widthBytes), m_commandBytes(commandBytes),
          m_sums(static_cast<size_t>((bitmap.height + 1) * (m_columns + 1)), 0) {
        const auto* bytes = reinterpret_cast<const unsigned char*>(bitmap.data.constData());
        for (int row = 0; row < bitmap.height; ++row)
            for (int column = 0; column < m_columns; ++column)
                sum(row + 1, column + 1) = sum(row, column + 1) + sum(row + 1, column) -
                                           sum(row, column) +
                                           (bytes[row * m_columns + column] != 0xFF);
        m_bytes = best(crop({0, bitmap.height, 0, m_columns}));
    }
    long long bytes() const { return m_bytes; }

private:
    struct Part {
        int top, bottom, left, right; // rows [top, bottom), byte columns [left, right)
    };
    int& sum(int row, int column) {
        return m_sums[static_cast<size_t>(row * (m_columns + 1) + column)];
    }
    int ink(int top, int bottom, int left, int right) {
        return sum(bottom, right) - sum(top, right) - sum(bottom, left) + sum(top, left);
    }
    Part crop(Part p) {
        while (p.top < p.bottom && ink(p.top, p.top + 1, p.left, p.right) == 0)
            ++p.top;
        while (p.bottom > p.top && ink(p.bottom - 1, p.bottom, p.left, p.right) == 0)
            --p.bottom;
        while (p.left < p.right && ink(p.top, p.bottom, p.left, p.left + 1) == 0)
            ++p.left;
        while (p.right > p.left && ink(p.top, p.bottom, p.right - 1, p.right) == 0)
            --p.right;
        return p;
    }
    long long best(Part p) {
        if (p.top >= p.bottom || p.left >= p.right)
            return 0;
        const unsigned long long key = (static_cast<unsigned long long>(p.top) << 48) |
                                       (static_cast<unsigned long long>(p.bottom) << 32) |
                                       (static_cast<unsigned long long>(p.left) << 16) |
                                       static_cast<unsigned long long>(p.right);
        if (const auto found = m_known.find(key); found != m_known.end())
            return found->second;
        long long cost =
            m_commandBytes + static_cast<long long>(p.bottom - p.top) * (p.right - p.left);
        for (int column = p.left + 1; column < p.right; ++column)
            cost = std::min(cost, best(crop({p.top, p.bottom, p.left, column})) +
                                      best(crop({p.top, p.bottom, column, p.right})));
        for (int row = p.top + 1; row < p.bottom; ++row)
            cost = std::min(cost, best(crop({p.top, row, p.left, p.right})) +
                                      best(crop({row, p.bottom, p.left, p.right})));
        m_known.emplace(key, cost);
        return cost;
    }

    int m_columns;
    long long m_commandBytes;
    std::vector<int> m_sums; // ink bytes above and left of each corner
    std::unordered_map<unsigned long long, long long> m_known;
    long long m_bytes = 0;
};

// Receives the composer's calls and adds up what each text costs as cropped strips, as one
// whole-cell bitmap and as the best cover found by cutting, and the bytes of its picture that
// hold ink at all (no cover by BITMAP commands can send fewer data bytes than those).
class BitmapSizes : public print_command::NullPrinterLibrary {
public:
    // The text of a BITMAP command around its data, about.
    static constexpr long long kCommandBytes = 24;
    long long cropped = 0, whole = 0, inkBytes = 0, bestCover = 0;

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
        bestCover += BestCover(bitmap, kCommandBytes).bytes();
    }

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
                "bytes (%.0f%%); best cover by cutting %lld bytes (%.0f%%); bytes holding ink "
                "alone %lld (%.0f%%)\n",
                sizes.cropped, sizes.whole, percent(sizes.cropped), sizes.bestCover,
                percent(sizes.bestCover), sizes.inkBytes, percent(sizes.inkBytes));
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
