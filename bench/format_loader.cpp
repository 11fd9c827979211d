// Loading a format with 20 elements of every kind, in both modes; the target is well under 1 ms.
#include "format/format_loader.h"
#include "common/message_box.h"
#include "format/driver_format_loader.h"
#include "state/working_state.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

using namespace pelmar;

class SilentMessageBox : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message&) override {
        ++shown;
        return common::MessageAnswer::Ok;
    }
    int shown = 0;
};

QByteArray fullFormat() {
    QByteArray bytes = "' 20 elements of every kind\r\nLabelWidth=60\r\nLabelHeight=40\r\n"
                       "LabelGap=2\r\nPrintSpeed=4\r\nPrintDarken=8\r\nDirection=0\r\n"
                       "SetStripe=OFF\r\nSetCutter=OFF\r\n";
    for (int i = 0; i < 20; ++i) {
        const QByteArray n = QByteArray::number(i * 10);
        bytes += "Line=" + n + ",10,200,10,3\r\n";
        bytes += "Box=" + n + ",10,790,390,3\r\n";
        bytes += "F_Text=" + n + ",20,24,0,0,0,\xbc\xd0\xb7\xa8\xc5\xe9,\xab\x7e\xa6\x57\r\n";
        bytes += "V_Text=" + n + ",60,48,0,0,0,Arial,2\r\n";
        bytes += "F_Barcode=" + n + ",100,39,60,1,0,2,4,A123456\r\n";
        bytes += "V_Barcode=" + n + ",200,128M,60,1,0,2,4,3\r\n";
        bytes += "PDF417=" + n + ",100,200,200,0,E4,W3,H3,R0,C5,1\r\n";
        bytes += "DMATRIX=" + n + ",200,100,100,x6,3+\"-\"+4\r\n";
        bytes += "Graphic=" + n + ",0,30,20,LOGO.BMP\r\n";
    }
    return bytes;
}

struct Setup {
    QTemporaryDir folder;
    state::WorkingState state;
    SilentMessageBox messages;
    Setup() {
        QFile file(folder.filePath(QStringLiteral("FULL.FMT")));
        if (file.open(QIODevice::WriteOnly))
            file.write(fullFormat());
        state.programFolder = folder.path();
        state.formatFileName = QStringLiteral("FULL.FMT");
        state.commandLine = QStringLiteral("/T");
    }
};

void BM_LoadFormat(benchmark::State& run) {
    Setup setup;
    for (auto _ : run) {
        const format::FormatLoadResult result = format::LoadFormat(setup.state, setup.messages);
        benchmark::DoNotOptimize(result);
    }
    if (setup.messages.shown > 0 || setup.state.format.command.graphicElements.count != 20)
        run.SkipWithError("the format did not load");
}
BENCHMARK(BM_LoadFormat)->Unit(benchmark::kMicrosecond);

void BM_LoadFormat_Driver(benchmark::State& run) {
    Setup setup;
    for (auto _ : run) {
        const format::FormatLoadResult result =
            format::LoadFormat_Driver(setup.state, setup.messages);
        benchmark::DoNotOptimize(result);
    }
    if (setup.messages.shown > 0 || setup.state.format.command.graphicElements.count != 20)
        run.SkipWithError("the format did not load");
}
BENCHMARK(BM_LoadFormat_Driver)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
