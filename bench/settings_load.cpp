#include "state/settings.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A settings file at its largest: 99 chosen formats and 99 field definitions.
QByteArray largestSettings() {
    QByteArray file = "[Files]\r\nTextFileName=/data/items.txt\r\nLabelCount=99\r\n";
    for (int i = 1; i <= 99; ++i)
        file += "LabelName" + QByteArray::number(i).rightJustified(2, '0') + "=LABEL" +
                QByteArray::number(i) + ".FMT\r\n";
    file += "[Printer]\r\nPrintMode=0\r\nPrinterName=TSC\r\n[Label]\r\nAcross=1\r\n[Fields]\r\n"
            "FieldCutIndex=0\r\nDelimiter=,\r\nEditPrice=0\r\nEditPriceField=0\r\nADPrice=0\r\n"
            "FieldCount=99\r\n";
    for (int i = 1; i <= 99; ++i)
        file += "Field" + QByteArray::number(i).rightJustified(2, '0') + "=NAME" +
                QByteArray::number(i) + ",1,10,1,0\r\n";
    return file;
}

void BM_LoadSettingsLargest(benchmark::State& run) {
    QTemporaryDir dir;
    QFile file(dir.path() + QStringLiteral("/Pelmar.INI"));
    if (!file.open(QIODevice::WriteOnly) || file.write(largestSettings()) < 0)
        run.SkipWithError("cannot write the settings file");
    file.close();
    pelmar::state::WorkingState state;
    state.programFolder = dir.path();
    for (auto _ : run) {
        pelmar::state::LoadSettings(state);
        benchmark::DoNotOptimize(state.fieldCount);
    }
}
BENCHMARK(BM_LoadSettingsLargest)->Unit(benchmark::kMillisecond);

void BM_SaveRunSettingsLargest(benchmark::State& run) {
    QTemporaryDir dir;
    QFile file(dir.path() + QStringLiteral("/Pelmar.INI"));
    if (!file.open(QIODevice::WriteOnly) || file.write(largestSettings()) < 0)
        run.SkipWithError("cannot write the settings file");
    file.close();
    pelmar::state::WorkingState state;
    state.programFolder = dir.path();
    pelmar::state::LoadSettings(state);
    for (auto _ : run) {
        ++state.adPrice;
        pelmar::state::SaveRunSettings(state);
    }
}
BENCHMARK(BM_SaveRunSettingsLargest)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
