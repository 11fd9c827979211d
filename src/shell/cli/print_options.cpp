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
        "                    [--fault-wait S] [--dry-run] [--help | -h] [--version]\n"
        "Prints the data file with the settings of the program folder (Pelmar.INI), as the\n"
        "program does when it is started without /T, without a window.\n"
        "  --home DIR       program folder (default: $PELMAR_HOME, else the program's folder)\n"
        "  --data FILE      data file in place of TextFileName (written back after printing);\n"
        "                   a relative name is taken from the current folder, else from the\n"
        "                   program folder, as TextFileName is\n"
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
        "                   a port or writing the settings; each record is told with its\n"
        "                   first field and its name fields beside its quantity\n"
        "  --help, -h       this text;  --version  the version\n"
        "Exit status: 0 printed or nothing to print, 2 bad settings or options, 3 data error\n"
        "(also a quantity over 32,767), 4 format error, 5 printer error, 6 cancelled (SIGINT,\n"
        "SIGTERM), 7 printed with records left out, 8 printed with warnings of the format or\n"
        "the printer output, 9 printed but the settings not saved (do not print again). 2 to\n"
        "6 win over 7 to 9; 7 wins over 9, 9 over 8.\n");
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
        if (argument == QLatin1String("--version")) {
            options.version = true;
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
                    return QStringLiteral("選項 %1 需要一個值").arg(name);
                *v.target = arguments[++i];
            } else if (argument.startsWith(name + u'=')) {
                *v.target = argument.mid(name.size() + 1);
            } else {
                continue;
            }
            if (v.target->isEmpty())
                return QStringLiteral("選項 %1 需要一個值").arg(name);
            havePrice = havePrice || v.target == &price;
            matched = true;
            break;
        }
        if (!matched)
            return QStringLiteral("不明的引數「%1」").arg(argument);
    }
    if (!resolution.isEmpty()) {
        bool ok = false;
        options.resolution = resolution.toInt(&ok);
        if (!ok || options.resolution < 50 || options.resolution > 4800)
            return QStringLiteral("--resolution 的值必須是 50 到 4800 (每英寸點數): ") + resolution;
        if (options.output.isEmpty())
            return QStringLiteral("--resolution 只用於 --output 的 PDF 檔");
    }
    if (!from.isEmpty() && !wholeNumber(from, 1, 32767, options.from))
        return QStringLiteral("--from 的值必須是 1 到 32767 的資料筆數: ") + from;
    if (!faultWait.isEmpty() && !wholeNumber(faultWait, 0, 86400, options.faultWaitSeconds))
        return QStringLiteral("--fault-wait 的值必須是 0 到 86400 秒: ") + faultWait;
    if (havePrice) {
        // The price box takes digits only.
        for (const QChar c : price) {
            if (c < u'0' || c > u'9')
                return QStringLiteral("--price 只能是數字: ") + price;
        }
        bool ok = false;
        const qlonglong value = price.toLongLong(&ok);
        if (!ok || value > std::numeric_limits<std::int32_t>::max())
            return QStringLiteral("--price 超出售價調整的範圍: ") + price;
        options.price = static_cast<std::int32_t>(value);
    }
    return std::nullopt;
}

} // namespace pelmar::cli
