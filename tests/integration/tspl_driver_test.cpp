// Pelmar's TSPL driver for CUPS through a private cupsd: queues made with its PPD on socket:// to
// the virtual network printer (tspl-render --listen), beside the Zebra EPL2 queue of CUPS's
// sample driver on a file device. What comes out is measured dot by dot: each label's size,
// every bar's width against the widths command mode gives the same barcode, and what the
// barcodes read. One cupsd and two virtual printers serve the whole suite, so that it takes
// seconds, not minutes. Skipped where cupsd cannot run, unless CI=true.
#include "support/barcode_reader.h"
#include "support/epl_labels.h"
#include "support/pdf_scan.h"
#include "support/pelmar_print_run.h"
#include "support/private_cups.h"
#include "support/temp_folder.h"
#include "support/virtual_printer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

using pelmar::test::PrivateCups;
using pelmar::test::scanRuns;
using pelmar::test::TempFolder;
using pelmar::test::ToolRun;
using pelmar::test::VirtualPrinter;

constexpr int kPrinterError = 5;

// The EPL2 driver behind a PPD that takes PDF: the same Ghostscript and rastertolabel that CUPS
// runs for a PDF job, so that the job's PDF (and its PageSize) goes the way it does on such a
// queue while the queue does not tell Pelmar that it takes raster.
const char kPdfToLabel[] =
    "#!/bin/sh\n"
    "/usr/lib/cups/filter/gstoraster \"$@\" |\n"
    "/usr/lib/cups/filter/rastertolabel \"$1\" \"$2\" \"$3\" \"$4\" \"$5\"\n";

int dots(double millimetres) {
    return int(std::lround(millimetres / 25.4 * 203));
}

// True when every run is one to four modules of moduleDots: bars and spaces on the dot grid.
bool onModuleGrid(const std::vector<int>& runs, int moduleDots) {
    return !runs.empty() && std::all_of(runs.begin(), runs.end(), [&](int run) {
        return run % moduleDots == 0 && run / moduleDots >= 1 && run / moduleDots <= 4;
    });
}

// The first dark column of a row, -1 when there is none.
int firstInk(const QImage& image, int row) {
    for (int x = 0; x < image.width(); ++x)
        if (qGray(image.pixel(x, row)) < 128)
            return x;
    return -1;
}

// The suite's print system: queues TSC_TSPL (Pelmar's PPD, the virtual printer) and TSC_OUT (the
// same on a printer whose paper runs out after three labels); EPL2 queues on file devices
// are added as needed, with the sample PPD (raster in) or behind a PDF-only one.
struct PrintSystem {
    PrivateCups cups;
    TempFolder labels, outLabels;
    std::unique_ptr<VirtualPrinter> printer, paperOut;
    QString eplPpd, pdfOnlyPpd;

    QString start() {
        QString problem = cups.start();
        if (problem.isEmpty())
            eplPpd = cups.samplePpd(QStringLiteral("zebraep2.ppd"), &problem);
        if (!problem.isEmpty())
            return problem;
        printer = std::make_unique<VirtualPrinter>(labels.path(), QStringList());
        paperOut = std::make_unique<VirtualPrinter>(
            outLabels.path(),
            QStringList{QStringLiteral("--fault"), QStringLiteral("paper-out@3")});
        if (!printer->started() || !paperOut->started())
            return QStringLiteral("the virtual printer did not start");
        cups.addFilter(QStringLiteral("pdftolabel"), kPdfToLabel);
        QFile epl(eplPpd);
        epl.open(QIODevice::ReadOnly);
        pdfOnlyPpd = labels.write(
            "pdf-only.ppd", epl.readAll().replace("\"application/vnd.cups-raster 50 "
                                                  "rastertolabel\"",
                                                  "\"application/vnd.cups-pdf 50 pdftolabel\""));
        return cups.addQueue("TSC_TSPL", printer->address(), pelmar::test::tsplPpd()) +
               cups.addQueue("TSC_OUT", paperOut->address(), pelmar::test::tsplPpd());
    }

    // A queue of a route: TSPL on the virtual printer, EPL or EPL_PDF writing name.out; "" or why
    // it could not be made.
    QString addRouteQueue(const QString& name, const QString& route) {
        if (route == QLatin1String("TSPL"))
            return cups.addQueue(name, printer->address(), pelmar::test::tsplPpd());
        return cups.addQueue(name, QStringLiteral("file://") + outputOf(name),
                             route == QLatin1String("EPL_PDF") ? pdfOnlyPpd : eplPpd);
    }
    QString outputOf(const QString& name) const {
        return cups.outputFolder() + u'/' + name + ".out";
    }

    // The EPL2 labels the queue wrote.
    std::vector<QImage> eplLabels(const QString& name) const {
        QFile out(outputOf(name));
        out.open(QIODevice::ReadOnly);
        std::vector<QImage> images;
        for (const pelmar::test::EplLabel& label : pelmar::test::decodeEpl(out.readAll()))
            images.push_back(label.image);
        return images;
    }

    // The pictures the virtual printer drew after the first `before`, once `count` came.
    std::vector<QImage> printed(int before, int count) const {
        std::vector<QImage> images;
        for (int n = before + 1; n <= printer->waitForLabels(before + count); ++n)
            images.emplace_back(
                labels.file(QStringLiteral("label-%1.png").arg(n, 5, 10, QLatin1Char('0'))));
        return images;
    }
};

class TsplDriverIntegration : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        system = new PrintSystem;
        problem = system->start();
    }
    static void TearDownTestSuite() {
        delete system;
        system = nullptr;
    }
    void SetUp() override {
        if (problem.isEmpty())
            return;
        if (pelmar::test::inCi())
            FAIL() << problem.toStdString();
        GTEST_SKIP() << problem.toStdString();
    }

    ToolRun print(const QString& home, const QStringList& arguments) {
        return pelmar::test::runPelmarPrintWithCups(system->cups.server(), home, arguments);
    }

    static inline PrintSystem* system = nullptr;
    static inline QString problem;
    TempFolder shop;
};

// The shop's driver formats printed by pelmar-print (CUPS raster) and its price tag as a PDF
// printed with lp: every label at its size, every bar a whole number of 2-dot modules, and each
// barcode reads.
TEST_F(TsplDriverIntegration, TheShopsLabelsComeOutOnTheDotGridAndRead) {
    const QString code = pelmar::test::copyExampleShop(shop, {0}); // quantity 2
    const QString driver = shop.file(QStringLiteral("driver"));
    const QString pdf = shop.file(QStringLiteral("price.pdf"));
    struct Symbol {
        int row, from, to; // the row through its middle, the columns it lies in
        QString scanned;
    };
    const struct {
        const char* what; // the format pelmar-print prints, or its PDF printed by lp
        QSize size;
        std::vector<Symbol> symbols;
    } cases[] = {
        {"PRICE.FMT", {480, 320}, {{240, 20, 460, "EAN-13:" + code}}},
        {"SHELF.FMT",
         {640, 240},
         {{200, 20, 320, "CODE-39:A-07"}, {150, 320, 620, "CODE-128:" + code}}},
        {"price.pdf by lp", {480, 320}, {{240, 20, 460, "EAN-13:" + code}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const int before = system->printer->labels();
        if (QByteArray(c.what).endsWith("by lp")) {
            ASSERT_EQ(print(driver, {"--format", "PRICE.FMT", "--output", pdf}).exitCode, 0);
            ASSERT_EQ(
                system->cups.runTool("lp", {"-d", "TSC_TSPL", "-o", "media=Custom.60x40mm", pdf}),
                "");
        } else {
            const ToolRun r = print(driver, {"--format", c.what, "--printer", "TSC_TSPL"});
            EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
        }
        const std::vector<QImage> labels = system->printed(before, 2);
        ASSERT_EQ(labels.size(), 2u) << system->cups.errorLog().toStdString();
        for (const QImage& label : labels) {
            EXPECT_EQ(label.size(), c.size);
            const QString picture = shop.file(QStringLiteral("label.png"));
            ASSERT_TRUE(label.save(picture));
            QStringList scanned;
            for (const Symbol& symbol : c.symbols) {
                const std::vector<int> runs = scanRuns(label, symbol.row, symbol.from, symbol.to);
                EXPECT_TRUE(onModuleGrid(runs, 2))
                    << symbol.scanned.toStdString() << ::testing::PrintToString(runs);
                scanned << symbol.scanned;
            }
            scanned.sort();
            EXPECT_EQ(pelmar::test::scan(picture), scanned);
        }
    }
}

// Paper runs out on the second record, after its first label: Pelmar's run ends with a printer
// error naming that record to go on from. The printer stays out of paper; a job sent meanwhile
// with lp is held by the driver, which tells CUPS, and lpstat shows it.
TEST_F(TsplDriverIntegration, PaperOutShowsInLpstatAndStopsTheRunAtItsRecord) {
    pelmar::test::copyExampleShop(shop, {0, 2}); // quantities 2 and 3
    const ToolRun run = print(shop.file(QStringLiteral("driver")),
                              {"--format", "PRICE.FMT", "--printer", "TSC_OUT"});
    EXPECT_EQ(run.exitCode, kPrinterError) << run.err.toStdString();
    for (const char* said : {"標籤紙用完", "第 2 筆沒有印完", "--from 2"})
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(said))) << run.err.toStdString();

    EXPECT_EQ(system->cups.runTool("lp", {"-d", "TSC_OUT", "-o", "media=Custom.60x40mm",
                                          shop.write("note.txt", "A\n")}),
              "");
    QString state;
    for (const QDeadlineTimer deadline(20000);
         !state.contains(QLatin1String("media-empty-error")) && !deadline.hasExpired();
         QThread::msleep(50))
        system->cups.runTool("lpstat", {"-l", "-p", "TSC_OUT"}, &state);
    system->cups.runTool("cancel", {"-a", "TSC_OUT"});
    system->paperOut->clearFault();
    EXPECT_TRUE(state.contains(QLatin1String("media-empty-error"))) << state.toStdString();
}

// Bars of a Code 39 and a Code 128 on labels of every size in both orientations, through the
// EPL2 driver (the job as PDF with its page size, and as raster) and through Pelmar's driver:
// every bar and space as wide, in dots, as command mode prints the same barcode at narrow 2 and
// wide 6, and the symbol where the format puts it. The 18 runs go at once, each on a queue and
// in a program folder of its own; the virtual printer's labels are told apart by their sizes.
// The suite's one slow test (5 to 10 s): 18 CUPS jobs, 6 of them through Ghostscript.
TEST_F(TsplDriverIntegration, BarsAreAsWideAsInCommandModeOnEverySizeAndRoute) {
    const QByteArray bars = "A1,0,1\r\n"; // one label
    shop.write("bars.txt", bars);
    // Command mode's bars, drawn by the virtual printer: narrow 2 dots, wide 6, 68 dots tall.
    shop.write("COMMAND.FMT", "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\nPrintSpeed=4\r\n"
                              "PrintDarken=8\r\nF_Barcode=40,20,39,68,0,0,2,6,A1\r\n"
                              "F_Barcode=40,120,128,68,0,0,2,6,A1\r\n");
    shop.write("Pelmar.INI", pelmar::test::cupsSettings("bars.txt", "COMMAND.FMT", 0)
                                     .replace("PrinterName=", "PrinterName=TSC Ref") +
                                 "[Ports]\r\nTSC Ref=preview:ref\r\n");
    const ToolRun reference = pelmar::test::runPelmarPrint(shop);
    ASSERT_EQ(reference.exitCode, 0) << reference.err.toStdString();
    const QImage command(shop.file(QStringLiteral("ref/label-00001.png")));
    const std::vector<int> code39 = scanRuns(command, 54);
    const std::vector<int> code128 = scanRuns(command, 154);
    ASSERT_TRUE(onModuleGrid(code39, 2) && onModuleGrid(code128, 2));

    struct Run {
        QSize mm;
        QString queue;
        TempFolder home;
        QProcess process;
    };
    std::vector<std::unique_ptr<Run>> runs;
    const int before = system->printer->labels();
    for (const QSize mm : {QSize(25, 50), QSize(50, 25), QSize(60, 75), QSize(75, 60),
                           QSize(80, 100), QSize(100, 80)}) {
        for (const char* route : {"EPL_PDF", "EPL", "TSPL"}) {
            auto run = std::make_unique<Run>();
            run->mm = mm;
            run->queue = QStringLiteral("TSC_%1_%2x%3").arg(route).arg(mm.width()).arg(mm.height());
            ASSERT_EQ(system->addRouteQueue(run->queue, QString::fromLatin1(route)), "");
            // Barcodes are as tall as the font, 24 points (68 dots) on a new page.
            run->home.write("BARS.FMT", QStringLiteral("LabelWidth=%1\r\nLabelHeight=%2\r\n"
                                                       "F_Barcode=40,20,39,A1\r\nF_Barcode=40,"
                                                       "120,128,A1\r\n")
                                            .arg(mm.width())
                                            .arg(mm.height())
                                            .toLatin1());
            run->home.write("bars.txt", bars);
            run->home.write("Pelmar.INI", pelmar::test::cupsSettings("bars.txt", "BARS.FMT", 1));
            pelmar::test::startPelmarPrint(run->process, run->home.path(), system->cups.server(),
                                           {"--printer", run->queue});
            runs.push_back(std::move(run));
        }
    }
    for (const auto& run : runs) {
        EXPECT_TRUE(run->process.waitForFinished(60000));
        EXPECT_EQ(run->process.exitCode(), 0) << run->process.readAllStandardError().toStdString();
    }
    const std::vector<QImage> tspl = system->printed(before, 6);
    for (const auto& run : runs) {
        SCOPED_TRACE(QStringLiteral("%1 x %2 mm on %3")
                         .arg(run->mm.width())
                         .arg(run->mm.height())
                         .arg(run->queue)
                         .toStdString());
        const QSize dotsSize(dots(run->mm.width()), dots(run->mm.height()));
        const bool tsplRoute = run->queue.startsWith(QLatin1String("TSC_TSPL_"));
        const std::vector<QImage> labels = tsplRoute ? tspl : system->eplLabels(run->queue);
        // Pelmar's driver prints the label's size (the virtual printer takes 8 dots a millimetre:
        // one dot more on 75, 80 and 100 mm); rastertolabel rounds its width up to whole bytes of a
        // page that Ghostscript may make a dot wider.
        const auto label = std::find_if(labels.begin(), labels.end(), [&](const QImage& image) {
            const QSize off = image.size() - dotsSize;
            return tsplRoute ? std::abs(off.width()) <= 1 && std::abs(off.height()) <= 1
                             : off.width() >= 0 && off.width() <= 9;
        });
        ASSERT_NE(label, labels.end()) << [&] {
            std::string sizes;
            for (const QImage& image : labels)
                sizes += std::to_string(image.width()) + "x" + std::to_string(image.height()) + " ";
            return sizes;
        }();
        EXPECT_EQ(firstInk(*label, 54), 40);
        EXPECT_EQ(scanRuns(*label, 54), code39);
        EXPECT_EQ(scanRuns(*label, 154), code128);
    }
}

} // namespace
