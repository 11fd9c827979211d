// Driver-mode jobs through a label printer's driver: a private cupsd whose queue rasterises each
// PDF job at 203 dpi for a Zebra EPL2 printer (the PPD compiled with ppdc from CUPS's sample
// driver, pdftopdf and gstoraster before rastertolabel), its output written to a file that the
// test decodes into a picture. Jobs that CUPS fails, and a stopped queue, fail the run. Skipped
// where cupsd cannot run, unless CI=true.
#include "support/barcode_reader.h"
#include "support/epl_labels.h"
#include "support/pdf_scan.h"
#include "support/pelmar_print_run.h"
#include "support/private_cups.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QImage>
#include <QRect>
#include <gtest/gtest.h>

namespace {

using pelmar::test::decodeEpl;
using pelmar::test::EplLabel;
using pelmar::test::readCode128;
using pelmar::test::readEan13;
using pelmar::test::scanRuns;
using pelmar::test::ToolRun;

constexpr int kPrinterError = 5;

QRect inkBounds(const QImage& image) {
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 128)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

double inkShare(const QImage& image, const QRect& area) {
    int ink = 0;
    int all = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x, ++all)
            if (image.valid(x, y) && qGray(image.pixel(x, y)) < 128)
                ++ink;
    return all ? double(ink) / all : 0;
}

int dots(double millimetres) {
    return int(std::lround(millimetres / 25.4 * 203));
}

class LabelDriverIntegration : public ::testing::Test {
protected:
    void SetUp() override {
        QString problem = cups.start();
        if (problem.isEmpty())
            ppd = cups.samplePpd(QStringLiteral("zebraep2.ppd"), &problem);
        if (!problem.isEmpty()) {
            if (pelmar::test::inCi())
                FAIL() << problem.toStdString();
            GTEST_SKIP() << problem.toStdString();
        }
        home.write("items.txt", "APPLE,4006381333931,2\r\n");
        // A frame 10 dots inside the edge, a bar at the top left, 20 dots thick, and below the
        // name a Code 128 of it and an EAN-13 of field 2, each 68 dots (24 points) tall.
        const QByteArray elements = "Line=213,213,1063,213,20\r\nV_Text=100,100,12,0,0,Arial,1\r\n"
                                    "V_Barcode=40,150,128,1\r\nV_Barcode=40,230,EAN13,2\r\n";
        home.write("WIDE.FMT",
                   "LabelWidth=60\r\nLabelHeight=40\r\nBox=71,71,3331,2197,4\r\n" + elements);
        home.write("TALL.FMT",
                   "LabelWidth=40\r\nLabelHeight=60\r\nBox=71,71,2197,3331,4\r\n" + elements);
        home.write("PRICE.FMT",
                   "LabelWidth=60\r\nLabelHeight=40\r\nLabelGap=2\r\n"
                   "PrintSpeed=4\r\nPrintDarken=8\r\nV_Text=120,20,48,0,0,0,Arial,1\r\n");
    }

    void writeSettings(const QString& format, int printMode) {
        home.write("Pelmar.INI",
                   pelmar::test::cupsSettings(home.file("items.txt"), format, printMode));
    }

    ToolRun run(const QString& format, int printMode, const QString& queue) {
        writeSettings(format, printMode);
        return pelmar::test::runPelmarPrintWithCups(cups.server(), home.path(),
                                                    {QStringLiteral("--printer"), queue});
    }

    QString device(const QString& name) const {
        return QStringLiteral("file://") + cups.outputFolder() + u'/' + name;
    }

    QByteArray output(const QString& name) const {
        QFile file(cups.outputFolder() + u'/' + name);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    pelmar::test::PrivateCups cups;
    pelmar::test::TempFolder home;
    QString ppd;
};

TEST_F(LabelDriverIntegration, LabelsOfTwoSizesComeOutAtTheirSizeTheRightWayUp) {
    ASSERT_EQ(cups.addQueue("TSC_EPL", device("epl.out"), ppd), "");
    const struct {
        const char* format;
        double widthMm, heightMm;
    } sizes[] = {{"WIDE.FMT", 60, 40}, {"TALL.FMT", 40, 60}, {"WIDE.FMT", 60, 40}};
    for (const auto& size : sizes) {
        SCOPED_TRACE(size.format);
        const ToolRun r = run(QString::fromLatin1(size.format), 1, "TSC_EPL");
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << cups.errorLog().toStdString();
        // The run has followed the job until CUPS completed it: the output is all there.
        const std::vector<EplLabel> labels = decodeEpl(output("epl.out"));
        ASSERT_EQ(labels.size(), 2u) << "the record's quantity is 2";
        const int width = dots(size.widthMm);
        const int height = dots(size.heightMm);
        for (const EplLabel& label : labels) {
            EXPECT_NEAR(label.widthDots, width, 1);
            // The frame: 10 dots inside each edge, its 4-dot pen centred on the outline.
            const QRect frame = inkBounds(label.image);
            EXPECT_NEAR(frame.left(), 8, 2);
            EXPECT_NEAR(frame.top(), 8, 2);
            EXPECT_NEAR(frame.right(), width - 9, 2);
            EXPECT_NEAR(frame.bottom(), height - 9, 2);
            // The bar is at the top left, not turned or mirrored to another corner.
            EXPECT_GT(inkShare(label.image, QRect(40, 24, 100, 12)), 0.9);
            EXPECT_LT(inkShare(label.image, QRect(width - 140, height - 36, 100, 12)), 0.05);
            EXPECT_LT(inkShare(label.image, QRect(width - 140, 24, 100, 12)), 0.05);
            // The barcodes scan after rasterisation (rows through their middles, inside the frame).
            EXPECT_EQ(readCode128(scanRuns(label.image, 184, 20, width - 20)), QByteArray("APPLE"));
            EXPECT_EQ(readEan13(scanRuns(label.image, 264, 20, width - 20)),
                      QByteArray("4006381333931"));
        }
    }
}

// The example shop's driver-mode formats through the label driver: every barcode kind they use
// scans (zbarimg) on both labels of the first record.
TEST_F(LabelDriverIntegration, TheExampleShopsBarcodesScanAfterTheLabelDriver) {
    ASSERT_EQ(cups.addQueue("TSC_EPL", device("shop.out"), ppd), "");
    pelmar::test::TempFolder shop;
    // Only the first record (quantity 2): each job of the file device replaces the one before.
    const QString code = pelmar::test::copyExampleShop(shop, {0});

    const struct {
        const char* format;
        QStringList scanned;
    } formats[] = {
        {"PRICE.FMT", {QStringLiteral("EAN-13:") + code}},
        {"SHELF.FMT", {QStringLiteral("CODE-128:") + code, QStringLiteral("CODE-39:A-07")}}};
    for (const auto& f : formats) {
        SCOPED_TRACE(f.format);
        const ToolRun r = pelmar::test::runPelmarPrintWithCups(
            cups.server(), shop.file(QStringLiteral("driver")),
            {QStringLiteral("--format"), QString::fromLatin1(f.format), QStringLiteral("--printer"),
             QStringLiteral("TSC_EPL")});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString() << cups.errorLog().toStdString();
        const std::vector<EplLabel> labels = decodeEpl(output("shop.out"));
        ASSERT_EQ(labels.size(), 2u);
        for (const EplLabel& label : labels) {
            const QString picture = shop.file(QStringLiteral("label.png"));
            ASSERT_TRUE(label.image.save(picture));
            EXPECT_EQ(pelmar::test::scan(picture), f.scanned);
        }
    }
}

TEST_F(LabelDriverIntegration, JobsThatCupsFailsFailTheRunInBothModes) {
    // Driver mode: the queue's filter fails on the PDF job.
    QFile original(ppd);
    ASSERT_TRUE(original.open(QIODevice::ReadOnly));
    QByteArray failing = original.readAll();
    const qsizetype filter = failing.indexOf("*cupsFilter:");
    ASSERT_GE(filter, 0);
    failing.replace(filter, failing.indexOf('\n', filter) - filter,
                    "*cupsFilter: \"application/vnd.cups-raster 50 /bin/false\"");
    const QString failingPpd = home.write("failing.ppd", failing);
    ASSERT_EQ(cups.addQueue("TSC_BADFILTER", device("bad.out"), failingPpd), "");
    // Command mode: the device refuses the raw job; CUPS aborts it, or (its default error policy)
    // stops the queue and holds it.
    ASSERT_EQ(cups.addRawQueue("TSC_ABORT", "fail:/"), "");
    ASSERT_EQ(cups.runTool("lpadmin", {"-p", "TSC_ABORT", "-o", "printer-error-policy=abort-job"}),
              "");
    ASSERT_EQ(cups.addRawQueue("TSC_STOPS", "fail:/"), "");
    const struct {
        const char* queue;
        int printMode;
        const char* caption;
        const char* reason;
    } cases[] = {
        {"TSC_BADFILTER", 1, "PrintLabels_Driver -> 發生錯誤", "Filter failed"},
        {"TSC_ABORT", 0, "PrintLabels -> 發生錯誤", "已中止"},
        {"TSC_STOPS", 0, "PrintLabels -> 發生錯誤", "被保留"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.queue);
        const ToolRun r =
            run(c.printMode ? "WIDE.FMT" : "PRICE.FMT", c.printMode, QString::fromLatin1(c.queue));
        EXPECT_EQ(r.exitCode, kPrinterError) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.caption))) << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("印表機 %1 的列印工作 ").arg(c.queue)))
            << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.reason))) << r.err.toStdString();
        EXPECT_FALSE(r.err.contains(QStringLiteral("record(s) printed"))) << r.err.toStdString();
    }
}

TEST_F(LabelDriverIntegration, AStoppedQueueFailsADriverRunBeforeItsJob) {
    ASSERT_EQ(cups.addQueue("TSC_EPL", device("stopped.out"), ppd), "");
    ASSERT_EQ(cups.runTool("cupsdisable", {"TSC_EPL"}), "");
    const ToolRun r = run("WIDE.FMT", 1, "TSC_EPL");
    EXPECT_EQ(r.exitCode, kPrinterError) << r.err.toStdString();
    EXPECT_TRUE(r.err.contains(QStringLiteral("無法連接印表機 TSC_EPL: 印表機佇列已停止")))
        << r.err.toStdString();
}

} // namespace
