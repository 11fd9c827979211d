// libFuzzer target for both format loaders: any format file must load, or end in one message,
// with at most 20 rows in every element table.
#include "format/driver_format_loader.h"
#include "format/format_loader.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace pelmar;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startApplication(argc, argv);
    return 0;
}

namespace {

void checkTables(const state::LoadedFormat& format) {
    for (const state::ElementTable* table :
         {&format.lineElements, &format.boxElements, &format.fTextElements, &format.vTextElements,
          &format.fBarcodeElements, &format.vBarcodeElements, &format.pdf417Elements,
          &format.dMatrixElements, &format.graphicElements})
        if (table->count < 0 || table->count > state::ElementTable::kCapacity)
            abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const bool utf8 = size > 0 && (data[0] & 1);
    fuzz::writeScratch(QStringLiteral("FUZZ.FMT"), reinterpret_cast<const char*>(data),
                       static_cast<qsizetype>(size));
    state::WorkingState state;
    state.programFolder = fuzz::scratchFolder();
    state.formatFileName = QStringLiteral("FUZZ.FMT");
    if (utf8)
        state.codePage = common::CodePage(QByteArrayLiteral("UTF-8"));
    fuzz::SilentMessageBox messages;
    const format::FormatLoadResult command = format::LoadFormat(state, messages);
    if (command.failed != (messages.count() == 1))
        abort();
    checkTables(state.format);
    fuzz::SilentMessageBox driverMessages;
    const format::FormatLoadResult driver = format::LoadFormat_Driver(state, driverMessages);
    if (driver.failed != (driverMessages.count() == 1))
        abort();
    checkTables(state.format);
    return 0;
}
