// The preview of the example shop's price tag after each keystroke of an edit: the format text
// changes by one character (the shop's name grows and shrinks), and the label is drawn again.
// Median and worst over 200 edits, in milliseconds.
#include "shell/app/label_preview.h"
#include "common/message_box.h"
#include "data/data_file_reader.h"
#include "state/settings.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

using namespace pelmar;

const QString kShop = QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop");
constexpr int kEdits = 200;

class NoMessages : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message&) override {
        return common::MessageAnswer::Ok;
    }
};

state::WorkingState shopState() {
    state::WorkingState state;
    const QString saved = QDir::currentPath();
    QDir::setCurrent(kShop);
    state.programFolder = kShop;
    state::LoadSettings(state);
    NoMessages messages;
    data::LoadDataFile(state, messages);
    state.formatFileName = QStringLiteral("PRICE.FMT");
    QDir::setCurrent(saved);
    return state;
}

QByteArray priceTag() {
    QFile file(kShop + QStringLiteral("/PRICE.FMT"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The text after edit k: the heading line gets k % 8 more characters typed after the name.
QByteArray edited(const QByteArray& text, const QByteArray& heading, int k) {
    QByteArray line = heading;
    line.append(QByteArray(k % 8, 'A' + static_cast<char>(k % 26)));
    QByteArray out = text;
    return out.replace(heading, line);
}

void BM_PreviewAfterKeystroke(benchmark::State& run) {
    const state::WorkingState state = shopState();
    const QByteArray text = priceTag();
    const qsizetype start = text.indexOf("F_Text=92,18");
    const QByteArray heading = text.mid(start, text.indexOf('\n', start) - start);
    const QDate today(2026, 12, 7);
    std::vector<double> times;
    int drawn = 0;
    for (auto _ : run) {
        times.clear();
        for (int k = 0; k < kEdits; ++k) {
            const QByteArray version = edited(text, heading, k);
            QElapsedTimer timer;
            timer.start();
            const app::LabelPreview preview =
                app::previewLabel(state, version, 1 + k % state.recordCount, today);
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
            drawn += preview.picture.isNull() ? 0 : 1;
        }
    }
    std::sort(times.begin(), times.end());
    run.counters["median_ms"] = times[times.size() / 2];
    run.counters["worst_ms"] = times.back();
    run.counters["drawn"] = drawn;
}
BENCHMARK(BM_PreviewAfterKeystroke)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
