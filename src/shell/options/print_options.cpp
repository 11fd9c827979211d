#include "shell/options/print_options.h"

#include "shell/options/option_usage.h"

#include <QRegularExpression>
#include <limits>
#include <optional>
#include <utility>

namespace pelmar::options {

namespace {

constexpr int kMostRecords = 32767;

// The first and last record of a range "A-B", "A-" (to the end: last 0) or "A", each 1 to
// 32767 and A not above B; nothing when the text is not one.
std::optional<std::pair<int, int>> recordRange(const QString& text) {
    static const QRegularExpression pattern(QStringLiteral("^([0-9]{1,5})(-([0-9]{1,5})?)?$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int first = match.captured(1).toInt();
    const bool toTheEnd = match.hasCaptured(2) && !match.hasCaptured(3);
    const int last = toTheEnd ? 0 : match.hasCaptured(3) ? match.captured(3).toInt() : first;
    if (first < 1 || first > kMostRecords || last > kMostRecords || (last != 0 && last < first))
        return std::nullopt;
    return std::pair{first, last};
}

OptionSpec text(const char* name, const char* valueName, const char* help) {
    OptionSpec option;
    option.name = QLatin1String(name);
    option.kind = ValueKind::Text;
    option.valueName = QLatin1String(valueName);
    option.help = QLatin1String(help);
    return option;
}

OptionSpec whole(const char* name, const char* valueName, double low, double high,
                 const QString& refusal, const char* help) {
    OptionSpec option = text(name, valueName, help);
    option.kind = ValueKind::WholeNumber;
    option.low = low;
    option.high = high;
    option.refusal = refusal;
    return option;
}

// A number of seconds above 0 and at most an hour.
OptionSpec decimal(const char* name, const char* valueName, const QString& refusal,
                   const char* help) {
    OptionSpec option = text(name, valueName, help);
    option.kind = ValueKind::Decimal;
    option.low = 0;
    option.lowIncluded = false;
    option.high = 3600;
    option.refusal = refusal;
    return option;
}

OptionSpec flag(const char* name, const char* shortName, const char* help) {
    OptionSpec option;
    option.name = QLatin1String(name);
    option.shortName = QLatin1String(shortName);
    option.help = QLatin1String(help);
    return option;
}

// An option of the journal's forms: shown in the synopsis of forms (bits), refused with the
// print options that make no sense with it.
OptionSpec journalOption(OptionSpec option, unsigned forms) {
    option.forms = forms;
    if (option.name == QLatin1String("--json")) {
        option.within = QStringLiteral("--journal");
        option.withoutRefusal = QStringLiteral("--json 只用於 --journal");
        return option;
    }
    option.notWith = {QStringLiteral("--data"),    QStringLiteral("--format"),
                      QStringLiteral("--price"),   QStringLiteral("--output"),
                      QStringLiteral("--preview"), QStringLiteral("--from"),
                      QStringLiteral("--dry-run"), QStringLiteral("--journal"),
                      QStringLiteral("--reprint"), QStringLiteral("--journal-prune")};
    option.notWith.removeAll(option.name);
    if (option.name == QLatin1String("--reprint"))
        option.notWith.removeAll(QStringLiteral("--from"));
    option.notWithRefusal = option.name + QStringLiteral(" 不能與 %1 同時使用");
    return option;
}

OptionTable makeTable() {
    OptionTable table;
    table.program = QStringLiteral("pelmar-print");
    table.unknownArgument = QStringLiteral("不明的引數「%1」");
    table.needsValue = QStringLiteral("選項 %1 需要一個值");
    table.forms = {
        {{},
         QStringLiteral("Prints the data file with the settings of the program folder "
                        "(Pelmar.INI), as the\nprogram does when it is started without /T, "
                        "without a window.\n")},
        {QStringLiteral("--journal [RUN]"),
         QStringLiteral("Lists the runs of the journal, newest first, or the records of run RUN\n"
                        "with their states.\n")},
        {{},
         QStringLiteral(
             "Prints the records of run RUN again from the journal's copies of its data\n"
             "file and format.\n")},
        {{}, QStringLiteral("Removes the runs older than DAYS days from the journal.\n")}};
    // The journal and reprint options; each form lists the program folder.
    table.operands = 1;
    OptionSpec price = whole("--price", "N", 0, std::numeric_limits<std::int32_t>::max(),
                             QStringLiteral("--price 只能是數字: %1"),
                             "price adjustment (digits only; only when EditPrice is on)");
    price.tooLarge = QStringLiteral("--price 超出售價調整的範圍: %1");
    OptionSpec resolution =
        whole("--resolution", "DPI", 50, 4800,
              QStringLiteral("--resolution 的值必須是 50 到 4800 (每英寸點數): %1"),
              "with --output or --preview in driver mode: the resolution of the printer the pages "
              "are for (50 to 4800, default 203, or the --printer queue's); barcodes are drawn on "
              "its dot grid");
    resolution.within = QStringLiteral("--output");
    resolution.alsoWithin = QStringLiteral("--preview");
    resolution.withoutRefusal =
        QStringLiteral("--resolution 只用於 --output 的 PDF 檔或 --preview 的圖片");
    OptionSpec preview =
        text("--preview", "DIR",
             "write each label as a picture DIR/label-00001.png, ... (created when missing) "
             "instead of printing: in \"Send Command\" mode the virtual printer takes the place "
             "of the printer, in driver mode each page is drawn at the printer's resolution; no "
             "printer is opened");
    preview.notWith = QStringList{QStringLiteral("--output"), QStringLiteral("--dry-run")};
    preview.notWithRefusal = QStringLiteral("--preview 不能與 %1 同時使用");
    OptionSpec records =
        text("--records", "A-B",
             "print only records A to B (A- to the end, A alone one record), with or without "
             "--preview");
    records.accepts = [](const QString& value) { return recordRange(value).has_value(); };
    records.refusal =
        QStringLiteral("--records 的值必須是 A-B、A- 或 A (1 到 32767 的資料筆數, A 不大於 B): %1");
    records.notWith = QStringList{QStringLiteral("--from")};
    records.notWithRefusal =
        QStringLiteral("--records 不能與 %1 同時使用 (--from N 就是 --records N-)");
    const auto inForms = [](OptionSpec option, unsigned forms) {
        option.forms = forms;
        return option;
    };
    OptionSpec watch =
        text("--watch", "DIR",
             "serve until SIGTERM: print each file that arrives in DIR (\"-\": [Watch] Folder of "
             "the settings) as --data would, one at a time, moving it to DIR/work while it "
             "prints and then to DIR/done or DIR/error (with NAME.reason.txt); names starting "
             "with \".\" or ending in .tmp, .part or ~ wait for their rename");
    watch.notWith = QStringList{QStringLiteral("--data"), QStringLiteral("--dry-run"),
                                QStringLiteral("--records"), QStringLiteral("--from")};
    watch.notWithRefusal = QStringLiteral("--watch 不能與 %1 同時使用");
    OptionSpec settle = decimal(
        "--settle", "SECONDS", QStringLiteral("--settle 的值必須是大於 0、至多 3600 的秒數: %1"),
        "--watch: a file that did not arrive by rename is complete when its size and "
        "time stay the same for SECONDS (default 2)");
    OptionSpec poll = decimal("--poll", "SECONDS",
                              QStringLiteral("--poll 的值必須是大於 0、至多 3600 的秒數: %1"),
                              "--watch: scan the folder every SECONDS (default 2); changes the "
                              "system reports make it scan sooner");
    for (OptionSpec* inner : {&settle, &poll}) {
        inner->within = QStringLiteral("--watch");
        inner->withoutRefusal = inner->name + QStringLiteral(" 只用於 --watch");
    }
    table.options = {
        inForms(text("--home", "DIR",
                     "program folder (default: $PELMAR_HOME, else the program's folder)"),
                0b1111),
        text("--data", "FILE",
             "data file in place of TextFileName (written back after printing); a relative name "
             "is taken from the current folder, else from the program folder, as TextFileName "
             "is"),
        text("--format", "NAME",
             "the format to print, one of LabelName01...; needed when several formats are "
             "chosen"),
        inForms(text("--printer", "NAME",
                     "printer in place of PrinterName: a name of section [Ports], a CUPS queue, "
                     "or an address (trace:PATH, file:PATH, socket://HOST:PORT, preview:DIR); in "
                     "driver mode the CUPS queue to print on"),
                0b101),
        price,
        text("--output", "FILE.pdf", "driver mode: write the labels into this PDF file"),
        resolution,
        preview,
        inForms(records, 0b101),
        whole("--from", "N", 1, kMostRecords,
              QStringLiteral("--from 的值必須是 1 到 32767 的資料筆數: %1"),
              "print records N to the end, as --records N- does (after a printer fault, the "
              "record its message names)"),
        whole("--fault-wait", "S", 0, 86400,
              QStringLiteral("--fault-wait 的值必須是 0 到 86400 秒: %1"),
              "a printer that reports a fault (paper out, head open, pause...) while it prints: "
              "wait up to S seconds for it to be cleared (default 0: fail at once, exit status "
              "5)"),
        whole("--wait-lock", "S", 0, 86400,
              QStringLiteral("--wait-lock 的值必須是 0 到 86400 秒: %1"),
              "another run printing from the same program folder or to the same printer: wait "
              "up to S seconds for it to end (default 0: refuse at once, naming that run, exit "
              "status 5)"),
        journalOption(flag("--journal", "",
                           "list the journal's runs (number, time, source, file, format, "
                           "printer, labels, records, outcome), newest first; with RUN, that "
                           "run's records and their states (pending, sent, printed, left-out, "
                           "in-doubt)"),
                      0),
        journalOption(flag("--json", "",
                           "with --journal: one JSON object a line (runs: run, time, source, "
                           "file, format, printer, labels, records, state, outcome, status; "
                           "records: run, record, quantity, state, reason, time)"),
                      2),
        journalOption(whole("--reprint", "RUN", 1, 999999999,
                            QStringLiteral("--reprint 的值必須是列印記錄簿的列印編號: %1"),
                            "print the records of run RUN again (or those of --records) from "
                            "the journal's copies of its data file and format, with their "
                            "quantities, as a new run; --printer may send it elsewhere"),
                      4),
        journalOption(whole("--journal-prune", "DAYS", 0, 36500,
                            QStringLiteral("--journal-prune 的值必須是 0 到 36500 天: %1"),
                            "remove the runs started more than DAYS days ago from the journal "
                            "and give their space back"),
                      8),
        watch,
        settle,
        poll,
        flag("--dry-run", "",
             "run the real printer library into nothing: tell what would be printed, or refuse "
             "what the real run refuses, without opening a port or writing the settings; each "
             "record is told with its first field and its name fields beside its quantity"),
        flag("--help", "-h", "this text"),
        flag("--version", "", "the version"),
    };
    table.epilogue = QStringLiteral(
        "Exit status: 0 printed or nothing to print, 2 bad settings or options, 3 data error\n"
        "(also a quantity over 32,767), 4 format error, 5 printer error, 6 cancelled (SIGINT,\n"
        "SIGTERM), 7 printed with records left out, 8 printed with warnings of the format or\n"
        "the printer output, 9 printed but the settings not saved (do not print\n"
        "again), 10 printed with records in doubt: they were being sent when a run broke off,\n"
        "may or may not have printed, are listed and never sent again by themselves (look at\n"
        "the printer, then --reprint RUN --records N). 2 to 6 win over 7 to 10; 10 over 7, 7\n"
        "over 9, 9 over 8. --watch ends with 0 on SIGTERM or SIGINT; each file's status goes\n"
        "into its reason file and the log line.\n");
    return table;
}

} // namespace

const OptionTable& printOptionTable() {
    static const OptionTable table = makeTable();
    return table;
}

QString printUsage() {
    return usageText(printOptionTable());
}

Parsed<PrintOptions> readPrintOptions(const QStringList& arguments) {
    Parsed<ParsedArguments> parsed = parseArguments(printOptionTable(), arguments);
    if (const auto* error = std::get_if<OptionError>(&parsed))
        return *error;
    const ParsedArguments& given = std::get<ParsedArguments>(parsed);
    const auto textOf = [&given](const char* name) {
        return given.last(QLatin1String(name)).value_or(OptionValue{}).text;
    };
    const auto numberOf = [&given](const char* name, int otherwise) {
        const std::optional<OptionValue> value = given.last(QLatin1String(name));
        return value ? static_cast<int>(value->number) : otherwise;
    };
    PrintOptions options;
    options.home = textOf("--home");
    options.data = textOf("--data");
    options.format = textOf("--format");
    options.printer = textOf("--printer");
    options.output = textOf("--output");
    options.preview = textOf("--preview");
    if (given.has(QStringLiteral("--price")))
        options.price = numberOf("--price", 0);
    options.resolution = numberOf("--resolution", 0);
    options.from = numberOf("--from", 1);
    if (const auto range = recordRange(textOf("--records"))) {
        options.from = range->first;
        options.to = range->second;
    }
    options.faultWaitSeconds = numberOf("--fault-wait", 0);
    options.waitLockSeconds = numberOf("--wait-lock", 0);
    options.journal = given.has(QStringLiteral("--journal"));
    options.json = given.has(QStringLiteral("--json"));
    options.pruneDays = numberOf("--journal-prune", -1);
    if (const auto run = given.last(QStringLiteral("--reprint")))
        options.reprint = static_cast<qint64>(run->number);
    if (!given.operands.isEmpty()) {
        const QString operand = given.operands.first();
        bool number = false;
        options.journalRun = operand.toLongLong(&number);
        if (!options.journal || !number || options.journalRun < 1)
            return OptionError{operand,
                               options.journal
                                   ? QStringLiteral("--journal 之後只能是列印編號: %1").arg(operand)
                                   : printOptionTable().unknownArgument.arg(operand)};
    }
    options.watch = textOf("--watch");
    if (const auto settle = given.last(QStringLiteral("--settle")))
        options.settleSeconds = settle->number;
    if (const auto poll = given.last(QStringLiteral("--poll")))
        options.pollSeconds = poll->number;
    options.dryRun = given.has(QStringLiteral("--dry-run"));
    options.help = given.has(QStringLiteral("--help"));
    options.version = given.has(QStringLiteral("--version"));
    return options;
}

} // namespace pelmar::options
