// libFuzzer target for the PCX decoder: any bytes give a picture within the pixel limit or
// RunError 481.
#include "common/pcx_decoder.h"
#include "common/run_error.h"
#include "fuzz_support.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

using namespace pelmar;

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    try {
        const QImage picture = common::decodePcx(bytes);
        if (static_cast<qint64>(picture.width()) * picture.height() > common::kMaxPcxPixels)
            abort();
    } catch (const common::RunError& error) {
        if (error.number() != common::InvalidPicture)
            abort();
    }
    return 0;
}
