// Reading a full data file (32,767 Big5 lines of 10 fields, about 2.5 MB): cutting it in
// delimiter and fixed mode against reading and decoding it without cutting, once as one plain
// pass (BM_ReadAndDecode) and once as the reader's own two passes with no fields to cut
// (BM_LoadWithoutFields). The cutting runs should take at most twice the time of the plain read;
// peak_rss_mb is the process's peak resident memory with the records held.
//
// The allocator keeps the memory a load frees, so every load works on memory it has touched
// before and the figures do not depend on which benchmark ran first. The *FreshMemory runs give
// the memory back to the system before each load, as a newly started program has it: their extra
// time is the first touch of the pages that hold the records (page faults, dear in a virtual
// machine), not the cutting.

#include "common/code_page.h"
#include "common/line_reader.h"
#include "common/message_box.h"
#include "data/data_file_reader.h"
#include "state/working_state.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <malloc.h>
#include <memory>
#include <sys/resource.h>

namespace {

using namespace pelmar;

class SilentMessageBox : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message&) override {
        return common::MessageAnswer::Ok;
    }
};

// Every line has the same byte layout, so the same file serves both modes: 78 bytes + line end.
// Name 1-16 (Chinese), size 18-25, price 27-34, unit 36-39, barcode 41-53, date 55-64,
// shelf 66-69 (Chinese), weight 71-73, note 75-76 (Chinese), quantity 78.
QByteArray lineOf(int i, const common::CodePage& big5) {
    const QStringList fields = {
        QStringLiteral("鮮奶咖啡豆") + QStringLiteral("%1").arg(i, 6, 10, QChar(u'0')),
        QStringLiteral("500ML   "),
        (QString::number(100 + i % 9000) + QStringLiteral(".50")).leftJustified(8),
        QStringLiteral("PCS "),
        QString::number(4710000000000LL + i),
        QStringLiteral("2024/01/31"),
        QStringLiteral("A區 "),
        QString::number(i % 900 + 100),
        QStringLiteral("備"),
        QString::number(i % 9 + 1),
    };
    return big5.encode(fields.join(u','));
}

struct DataFile {
    QTemporaryDir dir;
    QString path;
    qint64 bytes = 0;

    explicit DataFile(const QByteArray& lineEnd) {
        const common::CodePage big5;
        path = dir.filePath(QStringLiteral("items.txt"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            return;
        for (int i = 1; i <= data::kMaxDataLines; ++i)
            file.write(lineOf(i, big5) + lineEnd);
        bytes = file.size();
    }
};

// CR LF line ends; with lineFeeds, the same lines ended by LF alone (as Linux programs write).
DataFile& dataFile(bool lineFeeds = false) {
    static DataFile carriageReturns("\r\n");
    static DataFile lineFeedsOnly("\n");
    return lineFeeds ? lineFeedsOnly : carriageReturns;
}

void setFields(state::WorkingState& state, bool fixed) {
    // name, start, width, erase blanks, erase decimals
    const char* definitions[] = {
        "NAME,1,16,1,0",  "SIZE,18,8,1,0",  "PRICE,27,8,1,1",  "UNIT,36,4,1,0", "BARCODE,41,13,0,0",
        "DATE,55,10,0,0", "SHELF,66,4,1,0", "WEIGHT,71,3,0,0", "NOTE,75,2,0,0", "QTY,78,1,0,0",
    };
    state.fieldCount = 10;
    state.fieldCutIndex = fixed ? 1 : 0;
    state.delimiter = QStringLiteral(",");
    state.field.recreate(11, 5);
    for (int i = 0; i < 10; ++i) {
        const QStringList parts = QString::fromLatin1(definitions[i]).split(u',');
        for (int p = 0; p < 5; ++p)
            state.field.set(i + 1, p, parts[p]);
    }
    // Delimiter mode uses the widths as upper limits; wide enough to keep every value whole.
    if (!fixed)
        state.field.set(1, 2, QStringLiteral("20"));
}

long peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void BM_ReadAndDecode(benchmark::State& run) {
    DataFile& file = dataFile();
    const common::CodePage big5;
    for (auto _ : run) {
        common::LineReader reader(file.path);
        QByteArray line;
        qsizetype characters = 0;
        while (reader.next(line))
            characters += big5.decode(line).size();
        benchmark::DoNotOptimize(characters);
    }
    run.SetBytesProcessed(run.iterations() * file.bytes);
}
BENCHMARK(BM_ReadAndDecode)->Unit(benchmark::kMillisecond);

bool holdsFirstLine(const state::WorkingState& state) {
    const QStringList expected = {QStringLiteral("鮮奶咖啡豆000001"),
                                  "500ML",
                                  "101",
                                  "PCS",
                                  "4710000000001",
                                  "2024/01/31",
                                  QStringLiteral("A區"),
                                  "101",
                                  QStringLiteral("備"),
                                  "2"};
    for (int j = 1; j <= 10; ++j)
        if (state.records.at(1, j) != expected[j - 1])
            return false;
    return true;
}

enum class Memory { Kept, Fresh };

// Without cut, the field count is 0: only the two passes of reading and decoding remain.
void loadData(benchmark::State& run, bool fixed, bool cut = true, Memory memory = Memory::Kept,
              bool lineFeeds = false) {
    DataFile& file = dataFile(lineFeeds);
    SilentMessageBox messages;
    for (auto _ : run) {
        // Start-up reads into an empty table; freeing an earlier table is not part of the cut.
        run.PauseTiming();
        auto state = std::make_unique<state::WorkingState>();
        setFields(*state, fixed);
        if (!cut)
            state->fieldCount = 0;
        state->textFileName = file.path;
        run.ResumeTiming();
        const data::DataReadResult result = data::LoadDataFile(*state, messages);
        if (result.failed || state->recordCount != data::kMaxDataLines) {
            run.SkipWithError("the data file was not read whole");
            break;
        }
        run.PauseTiming();
        if (cut && !holdsFirstLine(*state)) {
            run.SkipWithError("the first record was cut wrongly");
            break;
        }
        state.reset();
        if (memory == Memory::Fresh)
            malloc_trim(0);
        run.ResumeTiming();
    }
    run.SetBytesProcessed(run.iterations() * file.bytes);
    run.counters["peak_rss_mb"] = static_cast<double>(peakRssMb());
}

void BM_LoadWithoutFields(benchmark::State& run) {
    loadData(run, false, false);
}
BENCHMARK(BM_LoadWithoutFields)->Unit(benchmark::kMillisecond);

void BM_LoadDelimited(benchmark::State& run) {
    loadData(run, false);
}
BENCHMARK(BM_LoadDelimited)->Unit(benchmark::kMillisecond);

void BM_LoadDelimitedLineFeeds(benchmark::State& run) {
    loadData(run, false, true, Memory::Kept, true);
}
BENCHMARK(BM_LoadDelimitedLineFeeds)->Unit(benchmark::kMillisecond);

void BM_LoadFixed(benchmark::State& run) {
    loadData(run, true);
}
BENCHMARK(BM_LoadFixed)->Unit(benchmark::kMillisecond);

void BM_LoadDelimitedFreshMemory(benchmark::State& run) {
    loadData(run, false, true, Memory::Fresh);
}
BENCHMARK(BM_LoadDelimitedFreshMemory)->Unit(benchmark::kMillisecond);

void BM_LoadFixedFreshMemory(benchmark::State& run) {
    loadData(run, true, true, Memory::Fresh);
}
BENCHMARK(BM_LoadFixedFreshMemory)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    // Freed memory stays with the allocator (mmap only above 32 MB, no trimming at the top).
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
