// Virtual printer speed: one 100 x 60 mm label of 10 elements rendered to a picture, and a
// stream of 1,000 labels rendered to PNG files.
#include "preview/png_label_writer.h"
#include "preview/tspl_interpreter.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

class NullSink : public pelmar::preview::LabelSink {
public:
    void label(const QImage& picture) override { benchmark::DoNotOptimize(picture.constBits()); }
};

// A windowsfont text as the printer library sends it: a BITMAP of 240 x 40 dots.
QByteArray textBitmap(int x, int y, int seed) {
    QByteArray data(30 * 40, '\xFF');
    for (int i = 0; i < data.size(); i += 3)
        data[i] = static_cast<char>((i * 31 + seed) & 0x7E);
    return "BITMAP " + QByteArray::number(x) + "," + QByteArray::number(y) + ",30,40,1," + data +
           "\r\n";
}

// The commands of one 100 x 60 mm label with 10 elements; n varies the data.
QByteArray label(int n) {
    const QByteArray number = QByteArray::number(100000 + n);
    QByteArray s = "CLS\r\n";
    s += "BOX 8,8,792,472,3\r\n";
    s += "BAR 16,120,760,4\r\n";
    s += "BAR 16,300,760,4\r\n";
    s += "BARCODE 40,140,\"128\",80,2,0,2,4,\"PM-" + number + "\"\r\n";
    s += "BARCODE 420,140,\"EAN13\",80,2,0,2,4,\"4006381" + number.right(5) + "\"\r\n";
    s += "TEXT 40,320,\"3\",0,1,1,\"Lot " + number + "\"\r\n";
    s += "TEXT 40,360,\"4\",0,1,1,\"NT$ 129\"\r\n";
    s += "DMATRIX 640,320,140,140,x6,\"" + number + "\"\r\n";
    s += textBitmap(40, 30, n);
    s += textBitmap(400, 30, n + 1);
    s += "PRINT 1,1\r\n";
    return s;
}

const QByteArray kSetup = "SIZE 100 mm,60 mm\r\nGAP 3 mm,0 mm\r\nSPEED 4\r\nDENSITY 8\r\n"
                          "DIRECTION 1\r\nSET TEAR ON\r\n";

void BM_RenderLabel100x60(benchmark::State& state) {
    NullSink sink;
    pelmar::preview::TsplInterpreter interpreter(sink);
    interpreter.feed(kSetup);
    int n = 0;
    for (auto _ : state)
        interpreter.feed(label(n++ % 1000));
    state.counters["labels/s"] = benchmark::Counter(n, benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderLabel100x60)->Unit(benchmark::kMillisecond);

void BM_ThousandLabelsToPng(benchmark::State& state) {
    QByteArray stream = kSetup;
    for (int n = 0; n < 1000; ++n)
        stream += label(n);
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir folder;
        pelmar::preview::PngLabelWriter writer(folder.path());
        pelmar::preview::TsplInterpreter interpreter(writer);
        state.ResumeTiming();
        // Fed in 4 KB chunks, as a port receives the stream.
        for (qsizetype at = 0; at < stream.size(); at += 4096)
            interpreter.feed(stream.constData() + at,
                             std::min<qsizetype>(4096, stream.size() - at));
        interpreter.finish();
        if (writer.written() != 1000)
            state.SkipWithError("not every label was written");
    }
    state.counters["labels/s"] =
        benchmark::Counter(1000.0 * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ThousandLabelsToPng)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
