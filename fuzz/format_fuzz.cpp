// libFuzzer target for both format loaders: any format file must load, or end in one message,
// with at most 20 rows in every element table.
#include "format/driver_format_loader.h"
#include "format/format_loader.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <initializer_list>

using namespace pelmar;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startApplication(argc, argv);
    return 0;
}

namespace {

constexpr int kCapacity = 20;

void checkCounts(std::initializer_list<int> counts) {
    for (const int count : counts)
        if (count < 0 || count > kCapacity)
            abort();
}

void checkTables(const state::LoadedFormat& format) {
    const state::CommandFormat& c = format.command;
    checkCounts({c.lineElements.count, c.boxElements.count, c.fTextElements.count,
                 c.vTextElements.count, c.fBarcodeElements.count, c.vBarcodeElements.count,
                 c.pdf417Elements.count, c.dMatrixElements.count, c.graphicElements.count});
    const state::DriverFormat& d = format.driver;
    checkCounts({d.lineElements.count, d.boxElements.count, d.fTextElements.count,
                 d.vTextElements.count, d.fBarcodeElements.count, d.vBarcodeElements.count,
                 d.graphicElements.count});
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
