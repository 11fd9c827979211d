// libFuzzer target for the virtual printer: any byte stream, fed in two chunks, must end in
// pictures and warnings, never in a crash, a leak or undefined behaviour.
#include "preview/tspl_interpreter.h"

#include <QGuiApplication>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

namespace {

class NullSink : public pelmar::preview::LabelSink {
public:
    void label(const QImage& picture) override { m_bits += picture.sizeInBytes(); }

private:
    qsizetype m_bits = 0;
};

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    // Fonts need a GUI application; the offscreen platform needs no display.
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    NullSink sink;
    // Smaller labels than a printer takes keep each run fast; the code paths are the same.
    pelmar::preview::TsplLimits limits;
    limits.maxLabelWidth = 800;
    limits.maxLabelHeight = 800;
    limits.maxLabelsPerPrint = 4;
    limits.maxDownloadBytes = 1 << 20;
    pelmar::preview::TsplInterpreter interpreter(sink, size % 2 ? 300 : 203,
                                                 pelmar::common::CodePage(), limits);
    const char* bytes = reinterpret_cast<const char*>(data);
    const qsizetype split = size == 0 ? 0 : static_cast<qsizetype>(data[0] % (size + 1));
    interpreter.feed(bytes, split);
    interpreter.feed(bytes + split, static_cast<qsizetype>(size) - split);
    interpreter.finish();
    return 0;
}
