// tspl-render FILE|- -o DIR [--dpi 203|300] [--code-page NAME]: renders a TSPL stream into PNG
// pictures of its labels with the virtual printer. With --listen it is a printer on the
// network instead and renders every connection's stream the same way.
#include "common/code_page.h"
#include "common/run_error.h"
#include "preview/png_label_writer.h"
#include "preview/tspl_interpreter.h"
#include "shell/cli/tspl_render_listen.h"
#include "shell/options/render_options.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

using pelmar::options::RenderOptions;

int run(const RenderOptions& options) {
    QFile input;
    const bool fromStdin = options.input == QLatin1String("-");
    const bool opened = fromStdin
                            ? input.open(stdin, QIODevice::ReadOnly)
                            : (input.setFileName(options.input), input.open(QIODevice::ReadOnly));
    if (!opened) {
        std::fprintf(stderr, "tspl-render: cannot read %s: %s\n", qPrintable(options.input),
                     qPrintable(input.errorString()));
        return 1;
    }
    if (!QDir().mkpath(options.output)) {
        std::fprintf(stderr, "tspl-render: cannot create folder %s\n", qPrintable(options.output));
        return 1;
    }
    pelmar::preview::PngLabelWriter writer(options.output);
    pelmar::preview::TsplInterpreter interpreter(writer, options.dpi,
                                                 pelmar::common::CodePage(options.codePage));
    // The stream is read in chunks, as a port receives it.
    while (true) {
        const QByteArray chunk = input.read(64 * 1024);
        if (chunk.isEmpty())
            break;
        interpreter.feed(chunk);
    }
    interpreter.finish();
    for (const QString& warning : interpreter.warnings())
        std::fprintf(stderr, "tspl-render: warning: %s\n", qPrintable(warning));
    std::fprintf(stderr, "tspl-render: %lld label(s) written to %s\n", interpreter.labelCount(),
                 qPrintable(options.output));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    auto parsed = pelmar::options::readRenderOptions(QCoreApplication::arguments().mid(1));
    if (const auto* error = std::get_if<pelmar::options::OptionError>(&parsed)) {
        std::fprintf(stderr, "tspl-render: %s\n", qPrintable(error->message));
        // Arguments that lack the stream or the folder are answered with the whole usage.
        if (error->option.isEmpty())
            std::fputs(qPrintable(pelmar::options::renderUsage()), stderr);
        return 2;
    }
    const RenderOptions& options = std::get<RenderOptions>(parsed);
    if (options.help) {
        std::fputs(qPrintable(pelmar::options::renderUsage()), stdout);
        return 0;
    }
    if (options.listen) {
        pelmar::cli::ListenSettings listener{options.output, options.printer, options.mechanics};
        listener.printer.dpi = options.dpi;
        listener.printer.codePage = options.codePage;
        return pelmar::cli::runListener(listener);
    }
    try {
        return run(options);
    } catch (const pelmar::common::RunError& e) {
        std::fprintf(stderr, "tspl-render: %s\n", e.what());
        return 1;
    }
}
