#include "shell/cli/tspl_render_listen.h"

#include "preview/png_label_writer.h"

#include <QCoreApplication>
#include <QDir>
#include <QSocketNotifier>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace pelmar::cli {

namespace {

// The signals arrive through a socket pair, so that they are handled in the event loop.
int g_signalPipe[2] = {-1, -1};

void onSignal(int number) {
    const char byte = static_cast<char>(number);
    [[maybe_unused]] const ssize_t ignored = ::write(g_signalPipe[1], &byte, 1);
}

bool catchSignals() {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return false;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int number : {SIGTERM, SIGINT, SIGUSR1})
        if (sigaction(number, &action, nullptr) != 0)
            return false;
    return true;
}

} // namespace

int runListener(const ListenSettings& settings) {
    if (!QDir().mkpath(settings.output)) {
        std::fprintf(stderr, "tspl-render: cannot create folder %s\n", qPrintable(settings.output));
        return 1;
    }
    if (!catchSignals()) {
        std::perror("tspl-render: signals");
        return 1;
    }
    preview::PngLabelWriter writer(settings.output);
    common::SteadyClock clock;
    preview::PrintMechanics mechanics(writer, clock, settings.mechanics);
    preview::NetworkPrinter printer(mechanics, clock, settings.printer);
    int exitCode = 0;
    printer.onWarning = [](const QString& text) {
        std::fprintf(stderr, "tspl-render: warning: %s\n", qPrintable(text));
    };
    printer.onFailure = [&exitCode](const QString& text) {
        std::fprintf(stderr, "tspl-render: %s\n", qPrintable(text));
        exitCode = 1;
        QCoreApplication::exit(1);
    };
    QString error;
    if (!printer.listen(error)) {
        std::fprintf(stderr, "tspl-render: cannot listen on %s:%u: %s\n",
                     qPrintable(settings.printer.host.toString()), settings.printer.port,
                     qPrintable(error));
        return 1;
    }
    QSocketNotifier signalNotifier(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&signalNotifier, &QSocketNotifier::activated, &signalNotifier, [&printer] {
        char number = 0;
        if (::read(g_signalPipe[0], &number, 1) != 1)
            return;
        if (number == SIGUSR1)
            printer.clearFault();
        else
            QCoreApplication::exit(0);
    });
    std::printf("listening on %s\n", qPrintable(printer.address()));
    std::fflush(stdout);
    QCoreApplication::exec();
    std::fprintf(stderr,
                 "tspl-render: %lld label(s) written to %s over %lld connection(s); %d not "
                 "printed\n",
                 mechanics.printed(), qPrintable(settings.output), printer.connectionsServed(),
                 mechanics.pending());
    return exitCode;
}

} // namespace pelmar::cli
