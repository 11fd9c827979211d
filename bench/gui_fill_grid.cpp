// Filling the data grid with the largest data file (32,767 records of four fields) and drawing
// it once: FillDataGrid, MSFlexGrid1_Click and the first paint of the grid.
#include "shell/gui/frm_pelmar_chi.h"

#include <QApplication>
#include <QTableView>
#include <benchmark/benchmark.h>

namespace {

pelmar::state::WorkingState largestState() {
    pelmar::state::WorkingState state;
    state.fieldCount = 4;
    state.field.recreate(5, 5);
    const char* names[] = {"條碼", "品名", "售價", "數量"};
    const int widths[] = {13, 20, 8, 4};
    for (int j = 1; j <= 4; ++j) {
        state.field.set(j, 0, QString::fromUtf8(names[j - 1]));
        state.field.set(j, 2, QString::number(widths[j - 1]));
    }
    state.recordCount = 32767;
    state.records.recreate(32768, 5);
    for (int r = 1; r <= 32767; ++r) {
        state.records.set(r, 1, QString::number(4710000000000LL + r));
        state.records.set(r, 2, QStringLiteral("烏龍茶%1").arg(r));
        state.records.set(r, 3, QString::number(r % 300 + 10));
        state.records.set(r, 4, QString::number(r % 3 + 1));
    }
    state.delimiter = QStringLiteral(",");
    return state;
}

void BM_FillDataGrid32767(benchmark::State& bench) {
    pelmar::state::WorkingState state = largestState();
    pelmar::gui::FrmPelmarChi window(state);
    window.show();
    for (auto _ : bench) {
        window.fillDataGrid(state);
        window.MSFlexGrid1_Click();
        // Draws the grid as the screen would show it.
        benchmark::DoNotOptimize(window.MSFlexGrid1()->grab());
    }
}
BENCHMARK(BM_FillDataGrid32767)->Unit(benchmark::kMillisecond);

// Showing the row of a record during a run (once per printed label).
void BM_ShowGridRow(benchmark::State& bench) {
    pelmar::state::WorkingState state = largestState();
    pelmar::gui::FrmPelmarChi window(state);
    window.show();
    window.fillDataGrid(state);
    int row = 1;
    for (auto _ : bench) {
        window.showGridRow(row);
        row = row % 32767 + 1;
    }
}
BENCHMARK(BM_ShowGridRow)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
