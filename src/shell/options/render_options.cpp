#include "shell/options/render_options.h"

#include "common/run_error.h"
#include "shell/options/option_usage.h"

namespace pelmar::options {

namespace {

// Seconds a printer may be told to wait at most; further out the clock's durations overflow.
constexpr double kLongestWait = 1e6;

OptionSpec option(const char* name, ValueKind kind, const char* valueName, unsigned forms,
                  const char* refusal, const char* help) {
    OptionSpec row;
    row.name = QLatin1String(name);
    row.kind = kind;
    row.valueName = QLatin1String(valueName);
    row.forms = forms;
    row.refusal = QLatin1String(refusal);
    row.help = QLatin1String(help);
    return row;
}

OptionSpec number(const char* name, ValueKind kind, const char* valueName, double low, double high,
                  const char* refusal, const char* help) {
    OptionSpec row = option(name, kind, valueName, 2, refusal, help);
    row.low = low;
    row.high = high;
    return row;
}

bool knownCodePage(const QString& name) {
    try {
        common::CodePage page(name.toLatin1());
        return true;
    } catch (const common::RunError&) {
        return false;
    }
}

OptionTable makeTable() {
    OptionTable table;
    table.program = QStringLiteral("tspl-render");
    table.operands = 1;
    table.unknownArgument = QStringLiteral("unexpected argument %1");
    table.needsValue = QStringLiteral("%1 takes a value");
    table.forms = {
        {QStringLiteral("FILE|-"),
         QStringLiteral("Renders the labels of a TSPL stream as 1-bit PNG files "
                        "DIR/label-00001.png, ...\n(numbering continues after the label files "
                        "already in DIR).\n")},
        {{},
         QStringLiteral(
             "A virtual printer on TCP (HOST 127.0.0.1 by default, PORT 0 picks a free one): "
             "serves\nconnections one after another, answers status queries and renders the "
             "labels as above.\nKIND is paper-out, head-open or pause: the printer stops after N "
             "printed labels until\nSIGUSR1 or the clearing time. SIGTERM or SIGINT end it.\n")},
    };
    OptionSpec listen = option("--listen", ValueKind::Text, "[HOST:]PORT", 2,
                               "--listen takes [HOST:]PORT", "be the virtual printer on TCP");
    listen.required = true;
    listen.accepts = [](const QString& text) {
        preview::NetworkPrinterOptions unused;
        return parseListenAddress(text, unused);
    };
    OptionSpec output = option("--output", ValueKind::Text, "DIR", 3, "",
                               "the folder of the pictures; created when missing");
    output.shortName = QStringLiteral("-o");
    output.required = true;
    OptionSpec dpi = option("--dpi", ValueKind::Choice, "203|300", 3, "--dpi takes 203 or 300",
                            "the printer's resolution (default 203)");
    dpi.choices = QStringList{QStringLiteral("203"), QStringLiteral("300")};
    OptionSpec codePage =
        option("--code-page", ValueKind::Text, "NAME", 3, "--code-page: no encoding is called %1",
               "the encoding of the stream's texts (default CP950)");
    codePage.accepts = knownCodePage;
    OptionSpec scale = number("--time-scale", ValueKind::Decimal, "F", 0, 1000,
                              "--time-scale takes a number above 0 (at most 1000)",
                              "multiplies every printing time by F");
    scale.lowIncluded = false;
    OptionSpec buffer = number("--buffer-labels", ValueKind::WholeNumber, "N", 1, 100000,
                               "--buffer-labels takes a whole number from 1 to 100000",
                               "the labels the printer holds before it stops reading (default "
                               "4)");
    for (OptionSpec* inner : {&scale, &buffer}) {
        inner->within = QStringLiteral("--mechanics");
        inner->withoutRefusal = inner->name + QStringLiteral(" goes with --mechanics");
    }
    OptionSpec fault = option("--fault", ValueKind::Text, "KIND@N", 2,
                              "--fault takes paper-out@N, head-open@N or pause@N",
                              "after N printed labels the printer stops with the status of KIND");
    fault.repeatable = true;
    fault.accepts = [](const QString& text) {
        return preview::parsePlannedFault(text).has_value();
    };
    OptionSpec help = option("--help", ValueKind::None, "", 0, "", "this text");
    help.shortName = QStringLiteral("-h");
    table.options = {
        listen,
        output,
        dpi,
        codePage,
        option("--mechanics", ValueKind::None, "", 2, "",
               "each label takes its printing time at the stream's SPEED"),
        scale,
        buffer,
        fault,
        number("--fault-clear-after", ValueKind::Decimal, "SECONDS", 0, kLongestWait,
               "--fault-clear-after takes a number of 0 or more (at most 1000000)",
               "clears a fault by itself after SECONDS (scaled by --time-scale)"),
        number("--idle-timeout", ValueKind::Decimal, "SECONDS", 0, kLongestWait,
               "--idle-timeout takes a number of 0 or more (at most 1000000)",
               "closes a client that sends nothing for SECONDS (default 300; 0 never)"),
        help,
    };
    return table;
}

} // namespace

const OptionTable& renderOptionTable() {
    static const OptionTable table = makeTable();
    return table;
}

QString renderUsage() {
    return usageText(renderOptionTable());
}

Parsed<RenderOptions> readRenderOptions(const QStringList& arguments) {
    Parsed<ParsedArguments> parsed = parseArguments(renderOptionTable(), arguments);
    if (const auto* error = std::get_if<OptionError>(&parsed))
        return *error;
    const ParsedArguments& given = std::get<ParsedArguments>(parsed);
    RenderOptions options;
    options.help = given.has(QStringLiteral("--help"));
    options.input = given.operands.value(0);
    options.output = given.last(QStringLiteral("--output")).value_or(OptionValue{}).text;
    if (const auto dpi = given.last(QStringLiteral("--dpi")))
        options.dpi = dpi->text.toInt();
    if (const auto codePage = given.last(QStringLiteral("--code-page")))
        options.codePage = codePage->text.toLatin1();
    if (const auto listen = given.last(QStringLiteral("--listen"))) {
        options.listen = true;
        parseListenAddress(listen->text, options.printer);
    }
    preview::MechanicsOptions& mechanics = options.mechanics;
    mechanics.timed = given.has(QStringLiteral("--mechanics"));
    if (const auto scale = given.last(QStringLiteral("--time-scale")))
        mechanics.timeScale = scale->number;
    if (const auto buffer = given.last(QStringLiteral("--buffer-labels")))
        mechanics.bufferLabels = static_cast<int>(buffer->number);
    for (const QString& fault : given.texts(QStringLiteral("--fault")))
        mechanics.faults.push_back(*preview::parsePlannedFault(fault));
    if (const auto clear = given.last(QStringLiteral("--fault-clear-after")))
        mechanics.faultClearAfter = std::chrono::duration<double>(clear->number);
    if (const auto idle = given.last(QStringLiteral("--idle-timeout")))
        options.printer.idleTimeout =
            std::chrono::milliseconds(static_cast<long long>(idle->number * 1000));
    if (!options.help && (options.listen == !options.input.isEmpty() || options.output.isEmpty()))
        return OptionError{{}, QStringLiteral("give FILE or --listen [HOST:]PORT, and -o DIR")};
    return options;
}

bool parseListenAddress(const QString& text, preview::NetworkPrinterOptions& options) {
    const qsizetype colon = text.lastIndexOf(u':');
    const QString host = colon < 0 ? QString() : text.left(colon);
    bool ok = false;
    const uint port = text.mid(colon + 1).toUInt(&ok);
    if (!ok || port > 65535)
        return false;
    QHostAddress address(QHostAddress::LocalHost);
    if (!host.isEmpty() && host != QLatin1String("localhost") && !address.setAddress(host))
        return false;
    options.host = address;
    options.port = static_cast<quint16>(port);
    return true;
}

} // namespace pelmar::options
