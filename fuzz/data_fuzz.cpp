// libFuzzer target for the data file reader in both modes: random field definitions, delimiter,
// code page and file bytes must end in records or one message, never in a crash.
#include "data/data_file_reader.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using namespace pelmar;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startApplication(argc, argv);
    return 0;
}

namespace {

// A number as a shop would type it most of the time, any text otherwise.
QString numberText(FuzzedDataProvider& input) {
    if (input.ConsumeBool())
        return QString::number(input.ConsumeIntegralInRange(-3, 300));
    return QString::fromStdString(input.ConsumeRandomLengthString(6));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    state::WorkingState state;
    state.programFolder = fuzz::scratchFolder();
    state.codePage = common::CodePage(input.ConsumeBool() ? QByteArrayLiteral("UTF-8")
                                                          : QByteArrayLiteral("CP950"));
    state.fieldCutIndex = input.ConsumeBool() ? 1 : 0;
    state.delimiter = QString::fromStdString(input.ConsumeRandomLengthString(3));
    state.commandLine = input.ConsumeBool() ? QStringLiteral("/T") : QString();
    const int fields = input.ConsumeIntegralInRange(0, 12);
    state.fieldCount = static_cast<std::int16_t>(fields);
    state.field.recreate(fields + 1, 5);
    for (int row = 1; row <= fields; ++row) {
        state.field.set(row, 0, QStringLiteral("F%1").arg(row));
        state.field.set(row, 1, numberText(input));
        state.field.set(row, 2, numberText(input));
        state.field.set(row, 3, input.ConsumeBool() ? QStringLiteral("1") : QStringLiteral("0"));
        state.field.set(row, 4, input.ConsumeBool() ? QStringLiteral("1") : QStringLiteral("0"));
    }
    const std::string file = input.ConsumeRemainingBytesAsString();
    state.textFileName = fuzz::writeScratch(QStringLiteral("DATA.TXT"), file.data(),
                                            static_cast<qsizetype>(file.size()));
    fuzz::SilentMessageBox messages;
    const data::DataReadResult result = data::LoadDataFile(state, messages);
    if (result.failed != (messages.count() == 1))
        abort();
    if (!result.failed && (state.recordCount < 0 || state.recordCount > data::kMaxDataLines))
        abort();
    return 0;
}
