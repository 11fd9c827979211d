// The options of pelmar-print and tspl-render: argument lists read into the typed options or
// refused with the option at fault and the program's words.
#include "shell/options/option_usage.h"
#include "shell/options/print_options.h"
#include "shell/options/render_options.h"

#include <QRegularExpression>
#include <functional>
#include <gtest/gtest.h>
#include <tuple>

namespace pelmar::options {
namespace {

template <typename T> struct Row {
    QStringList arguments;
    QString refusedOption; // with refusal: the option the error names
    QString refusal;       // empty: the arguments are read, and check holds on the result
    std::function<void(const T&)> check = {};
};

template <typename T>
void expectRows(const std::vector<Row<T>>& rows,
                const std::function<Parsed<T>(const QStringList&)>& read) {
    for (const Row<T>& row : rows) {
        SCOPED_TRACE(row.arguments.join(u' ').toStdString());
        const Parsed<T> parsed = read(row.arguments);
        if (row.refusal.isEmpty()) {
            ASSERT_TRUE(std::holds_alternative<T>(parsed))
                << std::get<OptionError>(parsed).message.toStdString();
            if (row.check)
                row.check(std::get<T>(parsed));
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<OptionError>(parsed));
        EXPECT_EQ(std::get<OptionError>(parsed).option, row.refusedOption);
        EXPECT_EQ(std::get<OptionError>(parsed).message, row.refusal);
    }
}

TEST(OptionsTest, PelmarPrintArguments) {
    using R = Row<PrintOptions>;
    const QString kBadRange =
        QStringLiteral("--records 的值必須是 A-B、A- 或 A (1 到 32767 的資料筆數, A 不大於 B): ");
    const std::vector<R> rows = {
        {{},
         {},
         {},
         [](const PrintOptions& o) {
             EXPECT_EQ(o.from, 1);
             EXPECT_EQ(o.to, 0);
             EXPECT_EQ(o.faultWaitSeconds, 0);
             EXPECT_EQ(o.waitLockSeconds, 0);
             EXPECT_EQ(o.resolution, 0);
             EXPECT_FALSE(o.price || o.dryRun || o.help || o.version);
         }},
        {{"--output", "a.pdf", "--resolution=4800", "--from", "32767", "--fault-wait=86400",
          "--wait-lock", "86400", "--price", "2147483647", "--printer", "a", "--printer=b", "-h",
          "--dry-run"},
         {},
         {},
         [](const PrintOptions& o) {
             EXPECT_EQ(o.output, "a.pdf");
             EXPECT_EQ(o.resolution, 4800);
             EXPECT_EQ(o.from, 32767);
             EXPECT_EQ(o.faultWaitSeconds, 86400);
             EXPECT_EQ(o.waitLockSeconds, 86400);
             EXPECT_EQ(o.price, 2147483647);
             EXPECT_EQ(o.printer, "b"); // the last one counts
             EXPECT_TRUE(o.help && o.dryRun && !o.version);
         }},
        // A value is the next argument, whatever it looks like.
        {{"--data", "-h"}, {}, {}, [](const PrintOptions& o) { EXPECT_EQ(o.data, "-h"); }},
        {{"--from", "0"}, "--from", "--from 的值必須是 1 到 32767 的資料筆數: 0"},
        {{"--from=x"}, "--from", "--from 的值必須是 1 到 32767 的資料筆數: x"},
        {{"--from", "+5"}, "--from", "--from 的值必須是 1 到 32767 的資料筆數: +5"},
        {{"--preview", "p", "--records", "2-7", "--resolution", "300"},
         {},
         {},
         [](const PrintOptions& o) {
             EXPECT_EQ(std::tuple(o.preview, o.from, o.to, o.resolution),
                       std::tuple("p", 2, 7, 300));
         }},
        {{"--records=5-"},
         {},
         {},
         [](const PrintOptions& o) { EXPECT_EQ(std::pair(o.from, o.to), std::pair(5, 0)); }},
        {{"--records", "32767"}, {}, {}, [](const PrintOptions& o) { EXPECT_EQ(o.to, 32767); }},
        {{"--records", "3-2"}, "--records", kBadRange + "3-2"},
        {{"--records", "0-4"}, "--records", kBadRange + "0-4"},
        {{"--records", "1-32768"}, "--records", kBadRange + "1-32768"},
        {{"--records", "-4"}, "--records", kBadRange + "-4"},
        {{"--records", "2", "--from", "2"},
         "--records",
         "--records 不能與 --from 同時使用 (--from N 就是 --records N-)"},
        {{"--preview", "p", "--dry-run"}, "--preview", "--preview 不能與 --dry-run 同時使用"},
        {{"--output", "a.pdf", "--preview", "p"},
         "--preview",
         "--preview 不能與 --output 同時使用"},
        {{"--fault-wait", "-1"}, "--fault-wait", "--fault-wait 的值必須是 0 到 86400 秒: -1"},
        {{"--wait-lock=86401"}, "--wait-lock", "--wait-lock 的值必須是 0 到 86400 秒: 86401"},
        {{"--price", "-4"}, "--price", "--price 只能是數字: -4"},
        {{"--price", "99999999999"}, "--price", "--price 超出售價調整的範圍: 99999999999"},
        {{"--price", QString(400, u'9')},
         "--price",
         "--price 超出售價調整的範圍: " + QString(400, u'9')},
        {{"--output", "a.pdf", "--resolution", "49"},
         "--resolution",
         "--resolution 的值必須是 50 到 4800 (每英寸點數): 49"},
        {{"--resolution", "300"},
         "--resolution",
         "--resolution 只用於 --output 的 PDF 檔或 --preview 的圖片"},
        {{"--price"}, "--price", "選項 --price 需要一個值"},
        {{"--home="}, "--home", "選項 --home 需要一個值"},
        {{"--dry-run=1"}, "--dry-run=1", "不明的引數「--dry-run=1」"},
        {{"items.txt"}, "items.txt", "不明的引數「items.txt」"},
        {{"--watch", "-", "--settle", "0.3", "--poll=3600"},
         {},
         {},
         [](const PrintOptions& o) {
             EXPECT_EQ(std::tuple(o.watch, o.settleSeconds, o.pollSeconds),
                       std::tuple("-", 0.3, 3600.0));
         }},
        {{"--watch", "in"},
         {},
         {},
         [](const PrintOptions& o) {
             EXPECT_EQ(std::pair(o.settleSeconds, o.pollSeconds), std::pair(2.0, 2.0));
         }},
        {{"--watch", "in", "--settle", "0"},
         "--settle",
         "--settle 的值必須是大於 0、至多 3600 的秒數: 0"},
        {{"--poll", "1"}, "--poll", "--poll 只用於 --watch"},
        {{"--watch", "in", "--data", "a.txt"}, "--watch", "--watch 不能與 --data 同時使用"},
    };
    expectRows<PrintOptions>(rows, readPrintOptions);
}

TEST(OptionsTest, TsplRenderArguments) {
    using R = Row<RenderOptions>;
    const QString tooScattered = QStringLiteral("give FILE or --listen [HOST:]PORT, and -o DIR");
    const std::vector<R> rows = {
        {{"in.tspl", "-o", "out"},
         {},
         {},
         [](const RenderOptions& o) {
             EXPECT_EQ(o.input, "in.tspl");
             EXPECT_EQ(o.output, "out");
             EXPECT_EQ(o.dpi, 203);
             EXPECT_EQ(o.codePage, "CP950");
             EXPECT_FALSE(o.listen || o.mechanics.timed);
         }},
        {{"--output=out", "-", "--dpi", "300", "--code-page", "UTF-8"},
         {},
         {},
         [](const RenderOptions& o) {
             EXPECT_EQ(o.input, "-");
             EXPECT_EQ(o.dpi, 300);
             EXPECT_EQ(o.codePage, "UTF-8");
         }},
        {{"--listen", "127.0.0.1:9100", "-o", "d", "--mechanics", "--time-scale", "0.5",
          "--buffer-labels", "2", "--fault", "pause@1", "--fault", "paper-out@3",
          "--fault-clear-after", "2.5", "--idle-timeout", "0.25"},
         {},
         {},
         [](const RenderOptions& o) {
             EXPECT_TRUE(o.listen && o.mechanics.timed);
             EXPECT_EQ(o.printer.port, 9100);
             EXPECT_EQ(o.mechanics.timeScale, 0.5);
             EXPECT_EQ(o.mechanics.bufferLabels, 2);
             ASSERT_EQ(o.mechanics.faults.size(), 2u);
             EXPECT_EQ(o.mechanics.faults[1].afterLabels, 3);
             EXPECT_EQ(o.mechanics.faultClearAfter->count(), 2.5);
             EXPECT_EQ(o.printer.idleTimeout.count(), 250);
         }},
        // Help is answered before the arguments are found incomplete.
        {{"-h"}, {}, {}, [](const RenderOptions& o) { EXPECT_TRUE(o.help); }},
        {{"in", "-o", "d", "--dpi", "250"}, "--dpi", "--dpi takes 203 or 300"},
        {{"--listen", "70000", "-o", "d"}, "--listen", "--listen takes [HOST:]PORT"},
        {{"in", "-o", "d", "--code-page", "NOPE"},
         "--code-page",
         "--code-page: no encoding is called NOPE"},
        {{"--listen", "0", "-o", "d", "--fault", "jam@1"},
         "--fault",
         "--fault takes paper-out@N, head-open@N or pause@N"},
        {{"--listen", "0", "-o", "d", "--time-scale", "2"},
         "--time-scale",
         "--time-scale goes with --mechanics"},
        {{"--listen", "0", "-o", "d", "--mechanics", "--time-scale", "0"},
         "--time-scale",
         "--time-scale takes a number above 0 (at most 1000)"},
        {{"--listen", "0", "-o", "d", "--mechanics", "--time-scale", "1e400"},
         "--time-scale",
         "--time-scale takes a number above 0 (at most 1000)"},
        {{"--listen", "0", "-o", "d", "--mechanics", "--buffer-labels", "2.5"},
         "--buffer-labels",
         "--buffer-labels takes a whole number from 1 to 100000"},
        {{"--listen", "0", "-o", "d", "--idle-timeout", "1e300"},
         "--idle-timeout",
         "--idle-timeout takes a number of 0 or more (at most 1000000)"},
        {{"--listen", "0", "-o", "d", "--fault-clear-after", "-1"},
         "--fault-clear-after",
         "--fault-clear-after takes a number of 0 or more (at most 1000000)"},
        {{"--dpi"}, "--dpi", "--dpi takes a value"},
        {{"a", "b", "-o", "d"}, "b", "unexpected argument b"},
        {{"in"}, {}, tooScattered},
        {{"in", "--listen", "0", "-o", "d"}, {}, tooScattered},
    };
    expectRows<RenderOptions>(rows, readRenderOptions);
}

// The usage written from a table names every option, nests what goes with another option and
// keeps its lines short.
TEST(OptionsTest, UsageNamesEveryOptionOfItsTable) {
    for (const OptionTable* table : {&printOptionTable(), &renderOptionTable()}) {
        const QString usage = usageText(*table);
        for (const OptionSpec& option : table->options)
            EXPECT_TRUE(usage.contains(QRegularExpression(
                "(?<![\\w-])" + QRegularExpression::escape(option.name) + "(?![\\w-])")))
                << option.name.toStdString();
        for (const QString& line : usage.split(u'\n'))
            EXPECT_LE(line.size(), 88) << line.toStdString();
    }
    EXPECT_TRUE(printUsage().contains("[--output FILE.pdf [--resolution DPI]]"));
    EXPECT_TRUE(renderUsage().contains("[--mechanics [--time-scale F] [--buffer-labels N]]"));
}

} // namespace
} // namespace pelmar::options
