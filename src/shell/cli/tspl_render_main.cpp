// tspl-render FILE|- -o DIR [--dpi 203|300] [--code-page NAME]: renders a TSPL stream into PNG
// pictures of its labels with the virtual printer. With --listen it is a printer on the
// network instead and renders every connection's stream the same way.
#include "common/code_page.h"
#include "common/run_error.h"
#include "preview/png_label_writer.h"
#include "preview/tspl_interpreter.h"
#include "shell/cli/tspl_render_listen.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>

namespace {

constexpr const char* kUsage =
    "usage: tspl-render FILE|- -o DIR [--dpi 203|300] [--code-page NAME]\n"
    "Renders the labels of a TSPL stream as 1-bit PNG files DIR/label-00001.png, ...\n"
    "(numbering continues after the label files already in DIR).\n"
    "       tspl-render --listen [HOST:]PORT -o DIR [--dpi 203|300] [--code-page NAME]\n"
    "           [--mechanics [--time-scale F] [--buffer-labels N]] [--fault KIND@N ...]\n"
    "           [--fault-clear-after SECONDS] [--idle-timeout SECONDS]\n"
    "A virtual printer on TCP (HOST 127.0.0.1 by default, PORT 0 picks a free one): serves\n"
    "connections one after another, answers status queries and renders the labels as above.\n"
    "KIND is paper-out, head-open or pause: the printer stops after N printed labels until\n"
    "SIGUSR1 or the clearing time. SIGTERM or SIGINT end it.\n";

struct Options {
    QString input;
    QString output;
    int dpi = 203;
    QByteArray codePage = pelmar::common::CodePage::defaultName();
    bool listen = false;
    pelmar::cli::ListenSettings listener;
};

// A number from the command line that must be above zero (or at least zero).
bool positiveNumber(const QString& option, const QString& text, double& out, bool zeroAllowed) {
    bool ok = false;
    out = text.toDouble(&ok);
    if (ok && (out > 0 || (zeroAllowed && out == 0)))
        return true;
    std::fprintf(stderr, "tspl-render: %s takes a number%s\n", qPrintable(option),
                 zeroAllowed ? " of 0 or more" : " above 0");
    return false;
}

// The options of the listener; returns false (after printing why) when the value is not
// usable, and leaves consumed false when a is not one of them.
bool parseListenOption(const QString& a, const QString& value, Options& options, bool& consumed) {
    pelmar::cli::ListenSettings& l = options.listener;
    consumed = true;
    double number = 0;
    if (a == QLatin1String("--listen")) {
        options.listen = true;
        if (pelmar::cli::parseListenAddress(value, l.printer))
            return true;
        std::fprintf(stderr, "tspl-render: --listen takes [HOST:]PORT\n");
        return false;
    }
    if (a == QLatin1String("--time-scale")) {
        if (!positiveNumber(a, value, number, false))
            return false;
        l.mechanics.timeScale = number;
    } else if (a == QLatin1String("--buffer-labels")) {
        if (!positiveNumber(a, value, number, false) || number > 100000)
            return false;
        l.mechanics.bufferLabels = static_cast<int>(number);
    } else if (a == QLatin1String("--fault")) {
        const std::optional<pelmar::preview::PlannedFault> fault =
            pelmar::preview::parsePlannedFault(value);
        if (!fault) {
            std::fprintf(stderr, "tspl-render: --fault takes paper-out@N, head-open@N or "
                                 "pause@N\n");
            return false;
        }
        l.mechanics.faults.push_back(*fault);
    } else if (a == QLatin1String("--fault-clear-after")) {
        if (!positiveNumber(a, value, number, true))
            return false;
        l.mechanics.faultClearAfter = std::chrono::duration<double>(number);
    } else if (a == QLatin1String("--idle-timeout")) {
        if (!positiveNumber(a, value, number, true))
            return false;
        l.printer.idleTimeout = std::chrono::milliseconds(static_cast<long long>(number * 1000));
    } else {
        consumed = false;
    }
    return true;
}

// Reads the command line; returns false (after printing why) when it is not usable.
bool parse(const QStringList& args, Options& options) {
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& a = args[i];
        const bool hasValue = i + 1 < args.size();
        bool consumed = false;
        if (hasValue && !parseListenOption(a, args[i + 1], options, consumed))
            return false;
        if (consumed) {
            ++i;
            continue;
        }
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
        } else if (a == QLatin1String("--mechanics")) {
            options.listener.mechanics.timed = true;
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
    if (options.listen != options.input.isEmpty() || options.output.isEmpty()) {
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
    if (options.listen) {
        options.listener.output = options.output;
        options.listener.printer.dpi = options.dpi;
        options.listener.printer.codePage = options.codePage;
        return pelmar::cli::runListener(options.listener);
    }
    try {
        return run(options);
    } catch (const pelmar::common::RunError& e) {
        std::fprintf(stderr, "tspl-render: %s\n", e.what());
        return 1;
    }
}
