// libFuzzer target for the settings file: any bytes as Pelmar.INI must load with defaults or
// end in a RunError; a value set and saved must read back.
#include "common/run_error.h"
#include "fuzz_support.h"
#include "state/ini_file.h"
#include "state/settings.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fuzzer/FuzzedDataProvider.h>

using namespace pelmar;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const bool utf8 = input.ConsumeBool();
    const std::string section = input.ConsumeRandomLengthString(12);
    const std::string key = input.ConsumeRandomLengthString(12);
    const std::string value = input.ConsumeRandomLengthString(40);
    const int bufferSize = input.ConsumeIntegralInRange(0, 300);
    const std::string file = input.ConsumeRemainingBytesAsString();
    const QString path = fuzz::writeScratch(QStringLiteral("Pelmar.INI"), file.data(),
                                            static_cast<qsizetype>(file.size()));

    state::WorkingState state;
    state.programFolder = fuzz::scratchFolder();
    try {
        LoadSettings(state);
    } catch (const common::RunError&) {
    }

    const common::CodePage codePage(utf8 ? QByteArrayLiteral("UTF-8") : QByteArrayLiteral("CP950"));
    const QByteArray s = QByteArray::fromStdString(section);
    const QByteArray k = QByteArray::fromStdString(key);
    const QByteArray v = QByteArray::fromStdString(value);
    state::IniFile ini(path, codePage);
    const state::ProfileValue read = ini.readString(s, k, v, bufferSize);
    if (read.count < 0 || (bufferSize > 0 && read.count > bufferSize - 1))
        abort();
    ini.readSection(s);
    try {
        ini.writeString(s, k, v);
    } catch (const common::RunError& error) {
        if (error.number() != common::InvalidArgument)
            abort();
        return 0;
    }
    // A value stored must be found again by the same names, in a fresh read of the file.
    const state::IniFile again(path, codePage);
    // The default tells "not found" only when it is not the value written.
    const QByteArray missing =
        v == "\x01missing" ? QByteArrayLiteral("\x02missing") : QByteArrayLiteral("\x01missing");
    const QByteArray back = again.readString(s, k, missing, 4096).text();
    if (back == missing)
        abort();
    return 0;
}
