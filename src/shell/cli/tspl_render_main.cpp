// tspl-render FILE|- -o DIR [--dpi 203|300] [--code-page NAME]: renders a TSPL stream into PNG
// pictures of its labels with the virtual printer.
#include "common/code_page.h"
#include "common/run_error.h"
#include "preview/png_label_writer.h"
#include "preview/tspl_interpreter.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr const char* kUsage =
    "usage: tspl-render FILE|- -o DIR [--dpi 203|300] [--code-page NAME]\n"
    "Renders the labels of a TSPL stream as 1-bit PNG files DIR/label-00001.png, ...\n"
    "(numbering continues after the label files already in DIR).\n";

struct Options {
    QString input;
    QString output;
    int dpi = 203;
    QByteArray codePage = pelmar::common::CodePage::defaultName();
};

// Reads the command line; returns false (after printing why) when it is not usable.
bool parse(const QStringList& args, Options& options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == QLatin1String("-o") || a == QLatin1String("--output")) && hasValue) {
            options.output = args[++i];
        } else if (a == QLatin1String("--dpi") && hasValue) {
            const QString v = args[++i];
            if (v != QLatin1String("203") && v != QLatin1String("300")) {
                std::fprintf(stderr, "tspl-render: --dpi takes 203 or 300\n");
                return false;
            }
            options.dpi = v.toInt();
        } else if (a == QLatin1String("--code-page") && hasValue) {
            options.codePage = args[++i].toLatin1();
        } else if (a == QLatin1String("-h") || a == QLatin1String("--help")) {
            std::fputs(kUsage, stdout);
            std::exit(0);
        } else if ((a == QLatin1String("-") || !a.startsWith(u'-')) && options.input.isEmpty()) {
            options.input = a;
        } else {
            std::fprintf(stderr, "tspl-render: unexpected argument %s\n", qPrintable(a));
            return false;
        }
    }
    if (options.input.isEmpty() || options.output.isEmpty()) {
        std::fputs(kUsage, stderr);
        return false;
    }
    return true;
}

int run(const Options& options) {
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
    Options options;
    if (!parse(QCoreApplication::arguments(), options))
        return 2;
    try {
        return run(options);
    } catch (const pelmar::common::RunError& e) {
        std::fprintf(stderr, "tspl-render: %s\n", e.what());
        return 1;
    }
}
