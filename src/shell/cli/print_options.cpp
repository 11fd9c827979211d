#include "shell/cli/print_options.h"

#include <limits>

namespace pelmar::cli {

namespace {

// Reads digits only into value when it lies in [low, high].
bool wholeNumber(const QString& text, int low, int high, int& value) {
    for (const QChar c : text) {
        if (c < u'0' || c > u'9')
            return false;
    }
    bool ok = false;
    const qlonglong number = text.toLongLong(&ok);
    if (!ok || number < low || number > high)
        return false;
    value = static_cast<int>(number);
    return true;
}

} // namespace

QString printUsage() {
    return QStringLiteral(
        "usage: pelmar-print [--home DIR] [--data FILE] [--format NAME] [--printer NAME]\n"
        "                    [--price N] [--output FILE.pdf [--resolution DPI]] [--from N]\n"
        "                    [--fault-wait S] [--dry-run] [--help]\n"
        "Prints the data file with the settings of the program folder (Pelmar.INI), as the\n"
        "program does when it is started without /T, without a window.\n"
        "  --home DIR       program folder (default: $PELMAR_HOME, else the program's folder)\n"
        "  --data FILE      data file in place of TextFileName (written back after printing)\n"
        "  --format NAME    the format to print, one of LabelName01...; needed when several\n"
        "                   formats are chosen\n"
        "  --printer NAME   printer in place of PrinterName: a name of section [Ports], a CUPS\n"
        "                   queue, or an address (trace:PATH, file:PATH, socket://HOST:PORT,\n"
        "                   preview:DIR); in driver mode the CUPS queue to print on\n"
        "  --price N        price adjustment (digits only; only when EditPrice is on)\n"
        "  --output FILE    driver mode: write the labels into this PDF file\n"
        "  --resolution DPI with --output: the resolution of the printer the PDF is for (50\n"
        "                   to 4800, default 203); barcodes are drawn on its dot grid\n"
        "  --from N         print records N to the end (after a printer fault, the record\n"
        "                   its message names)\n"
        "  --fault-wait S   a printer that reports a fault (paper out, head open, pause...)\n"
        "                   while it prints: wait up to S seconds for it to be cleared\n"
        "                   (default 0: fail at once, exit status 5)\n"
        "  --dry-run        run the real printer library into nothing: tell what would be\n"
        "                   printed, or refuse what the real run refuses, without opening\n"
        "                   a port or writing the settings\n"
        "Exit status: 0 printed or nothing to print, 2 bad settings or options, 3 data error\n"
        "(also a quantity over 32,767), 4 format error, 5 printer error, 6 cancelled (SIGINT,\n"
        "SIGTERM), 7 printed with records left out, 8 printed with warnings of the printer\n"
        "output, 9 printed but the settings not saved (do not print again). 2 to 6 win over\n"
        "7 to 9; 7 wins over 9, 9 over 8.\n");
}

std::optional<QString> parsePrintOptions(const QStringList& arguments, PrintOptions& options) {
    struct Valued {
        const char* name;
        QString* target;
    };
    QString price;
    QString resolution;
    QString from;
    QString faultWait;
    bool havePrice = false;
    const Valued valued[] = {{"--home", &options.home},     {"--data", &options.data},
                             {"--format", &options.format}, {"--printer", &options.printer},
                             {"--output", &options.output}, {"--price", &price},
                             {"--resolution", &resolution}, {"--from", &from},
                             {"--fault-wait", &faultWait}};
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            options.help = true;
            continue;
        }
        if (argument == QLatin1String("--dry-run")) {
            options.dryRun = true;
            continue;
        }
        bool matched = false;
        for (const Valued& v : valued) {
            const QString name = QLatin1String(v.name);
            if (argument == name) {
                if (i + 1 >= arguments.size())
                    return name + QStringLiteral(" needs a value");
                *v.target = arguments[++i];
            } else if (argument.startsWith(name + u'=')) {
                *v.target = argument.mid(name.size() + 1);
            } else {
                continue;
            }
            if (v.target->isEmpty())
                return name + QStringLiteral(" needs a value");
            havePrice = havePrice || v.target == &price;
            matched = true;
            break;
        }
        if (!matched)
            return QStringLiteral("unknown argument: ") + argument;
    }
    if (!resolution.isEmpty()) {
        bool ok = false;
        options.resolution = resolution.toInt(&ok);
        if (!ok || options.resolution < 50 || options.resolution > 4800)
            return QStringLiteral("--resolution takes dots per inch from 50 to 4800: ") +
                   resolution;
        if (options.output.isEmpty())
            return QStringLiteral("--resolution is for the PDF file of --output");
    }
    if (!from.isEmpty() && !wholeNumber(from, 1, 32767, options.from))
        return QStringLiteral("--from takes a record number from 1 to 32767: ") + from;
    if (!faultWait.isEmpty() && !wholeNumber(faultWait, 0, 86400, options.faultWaitSeconds))
        return QStringLiteral("--fault-wait takes seconds from 0 to 86400: ") + faultWait;
    if (havePrice) {
        // The price box takes digits only.
        for (const QChar c : price) {
            if (c < u'0' || c > u'9')
                return QStringLiteral("--price takes digits only: ") + price;
        }
        bool ok = false;
        const qlonglong value = price.toLongLong(&ok);
        if (!ok || value > std::numeric_limits<std::int32_t>::max())
            return QStringLiteral("--price is beyond the range of the price adjustment: ") + price;
        options.price = static_cast<std::int32_t>(value);
    }
    return std::nullopt;
}

} // namespace pelmar::cli
