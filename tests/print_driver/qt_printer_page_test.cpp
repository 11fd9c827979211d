#include "print_driver/qt_printer_page.h"
#include "support/barcode_reader.h"

#include "common/run_error.h"
#include "print_driver/cups_queue_sink.h"
#include "print_driver/driver_fixture.h"
#include "print_driver/image_page_sink.h"
#include "print_driver/pdf_file_sink.h"
#include "print_driver/print_labels_driver.h"
#include "support/fake_clock.h"
#include "support/fake_print_system.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <cups/raster.h>
#include <gtest/gtest.h>
#include <map>
#include <set>

namespace pelmar::print_driver {
namespace {

// The pages of a raster document as CUPS reads them back: headers and dots (black 0).
std::vector<std::pair<cups_page_header2_t, QImage>> readRaster(QByteArray bytes) {
    const auto take = [](void* rest, unsigned char* to, size_t length) -> ssize_t {
        auto& from = *static_cast<QByteArray*>(rest);
        const size_t n = std::min(length, size_t(from.size()));
        std::memcpy(to, std::exchange(from, from.mid(qsizetype(n))).constData(), n);
        return ssize_t(n);
    };
    std::vector<std::pair<cups_page_header2_t, QImage>> pages;
    cups_raster_t* raster = cupsRasterOpenIO(take, &bytes, CUPS_RASTER_READ);
    for (cups_page_header2_t h; cupsRasterReadHeader2(raster, &h);) {
        QImage image(int(h.cupsWidth), int(h.cupsHeight), QImage::Format_Mono);
        image.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
        for (int y = 0; y < image.height(); ++y)
            cupsRasterReadPixels(raster, image.scanLine(y), h.cupsBytesPerLine);
        pages.emplace_back(h, image);
    }
    cupsRasterClose(raster);
    return pages;
}

// Bar and space widths in dots of a barcode's modules (first and last a bar).
std::vector<int> moduleRuns(const BarcodeModules& modules, int moduleDots) {
    std::vector<int> runs;
    for (size_t i = 0; i < modules.dark.size(); ++i)
        if (i > 0 && modules.dark[i] == modules.dark[i - 1])
            runs.back() += moduleDots;
        else
            runs.push_back(moduleDots);
    return runs;
}

class QtPage : public ::testing::Test {
protected:
    QtPage() {
        state = test::labelState();
        state.programFolder = folder.path();
    }
    print_command::RunResult run(PrinterPage& page) {
        DriverRunContext context{state, messages, view, clock, clock, page, test::kToday};
        return PrintLabels_Driver(context);
    }

    test::TempFolder folder;
    state::WorkingState state;
    test::RecordingMessageBox messages;
    test::RecordingRunView view;
    test::FakeClock clock;
};

TEST_F(QtPage, ThreeRecordsIntoOnePdfWithEveryCopy) {
    test::setRecords(state, 2, {{"A0001", "1"}, {"A0002", "2"}, {"A0003", "1"}});
    state.format.driver.boxElements.append(
        {.x1 = "100", .y1 = "100", .x2 = "3300", .y2 = "2100", .thickness = "3"});
    state.format.driver.vBarcodeElements.append(
        {.x = "40", .y = "40", .font = "128", .content = "1"});
    state.format.driver.vTextElements.append({.x = "40",
                                              .y = "200",
                                              .size = "12",
                                              .style = "2",
                                              .lineStyle = "0",
                                              .face = "新細明體",
                                              .content = "1+' 品名'"});
    const QString pdf = folder.file(QStringLiteral("labels.pdf"));
    QtPrinterPage page(makePdfFileSink(pdf));
    EXPECT_EQ(page.deviceName(), QStringLiteral("PDF"));
    EXPECT_EQ(run(page).outcome, print_command::RunOutcome::Completed);
    // The run itself completes the file, while the page still exists.
    EXPECT_TRUE(messages.shown.empty());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("%PDF-")));
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 4);
    // 60 x 40 mm = 3402 x 2268 twips = 170.1 x 113.4 points, not Qt's whole points.
    const QRegularExpression mediaBox(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    auto boxes = mediaBox.globalMatch(text);
    int count = 0;
    while (boxes.hasNext()) {
        const auto match = boxes.next();
        EXPECT_DOUBLE_EQ(match.captured(1).toDouble(), 170.1);
        EXPECT_DOUBLE_EQ(match.captured(2).toDouble(), 113.4);
        ++count;
    }
    EXPECT_EQ(count, 4);
}

TEST_F(QtPage, DrawnBarcodesReadBack) {
    struct Case {
        const char* font;
        const char* data;
        const char* decoded;
    } cases[] = {
        {"128", "A0001", "A0001"},
        {"Code 128", "Pelmar-2026", "Pelmar-2026"},
        {"128M", "12!10534", "12!10534"},             // field data cannot choose subsets
        {"EAN13", "471234567890", "4712345678900"},   // check digit added
        {"EAN-13", "4710088412379", "4710088412379"}, // check digit given
    };
    for (const Case& c : cases) {
        test::setRecords(state, 2, {{QString::fromUtf8(c.data), QStringLiteral("1")}});
        state.format.driver.vBarcodeElements.count = 0;
        state.format.driver.vBarcodeElements.append(
            {.x = "41", .y = "30", .font = c.font, .content = "1"});
        auto sink = std::make_unique<ImagePageSink>(203.0);
        ImagePageSink& images = *sink;
        QtPrinterPage page(std::move(sink));
        run(page);
        ASSERT_TRUE(messages.shown.empty()) << messages.shown[0].text.toStdString();
        ASSERT_EQ(images.jobs.size(), 1u);
        const QImage& image = images.jobs[0].image;
        EXPECT_EQ(image.width(), 480); // 3402 twips at 203 dpi: 479.6
        // Bars start at the text position (41 dots = 291 twips = 41 pixels, 30 dots = 213 twips
        // = 30 pixels) and are 24 points tall; read them 10 pixels below the top.
        const int top = 30;
        const std::vector<int> runs = test::scanRuns(image, top + 10);
        int firstBar = 0;
        while (qGray(image.pixel(firstBar, top + 10)) >= 128)
            ++firstBar;
        EXPECT_EQ(firstBar, 41) << c.font;
        const bool ean = QByteArray(c.font).contains("EAN");
        EXPECT_EQ(ean ? test::readEan13(runs) : test::readCode128(runs), QByteArray(c.decoded))
            << c.font;
        EXPECT_EQ(qGray(image.pixel(firstBar, top - 2)), 255) << "nothing above the bars";
    }
}

// Every bar and space of every barcode font is a whole number of modules of the printer's dots,
// and the symbologies of narrow and wide elements have wide ones three times the narrow.
TEST_F(QtPage, BarsAndSpacesAreWholeModulesOfThePrintersDots) {
    struct Case {
        const char* font;
        const char* data;
        bool twoWidths;
    } cases[] = {
        {"39", "PELMAR-39", true},
        {"39C", "A-07", true},
        {"39S", "A-07", true},
        {"93", "PELMAR", false},
        {"128", "Pelmar", false},
        {"128M", "!105123456", false},
        {"EAN128", "(01)04710088410016", false},
        {"EAN13", "471008841001", false},
        {"EAN8", "4710088", false},
        {"UPCA", "01234567890", false},
        {"UPCE", "0123456", false},
        {"25", "12345678", true},
        {"25C", "1234567", true},
        {"CODA", "A123456B", true},
    };
    for (const int dotsPerInch : {203, 300}) {
        const int module = barcodeModuleDots(dotsPerInch);
        for (const Case& c : cases) {
            state.format.driver.fBarcodeElements.count = 0;
            state.format.driver.fBarcodeElements.append(
                {.x = "41", .y = "30", .font = c.font, .content = c.data});
            test::setRecords(state, 1, {{"1"}});
            auto sink = std::make_unique<ImagePageSink>(dotsPerInch);
            ImagePageSink& images = *sink;
            QtPrinterPage page(std::move(sink));
            run(page);
            ASSERT_EQ(images.jobs.size(), 1u) << c.font;
            const std::vector<int> runs = test::scanRuns(images.jobs[0].image, dotsPerInch / 4);
            ASSERT_GT(runs.size(), 10u) << c.font;
            std::set<int> widths;
            for (const int width : runs) {
                EXPECT_EQ(width % module, 0) << c.font << " at " << dotsPerInch << ": " << width;
                widths.insert(width / module);
            }
            if (c.twoWidths)
                EXPECT_EQ(widths, (std::set<int>{1, 3})) << c.font << " at " << dotsPerInch;
            else
                EXPECT_EQ(*widths.begin(), 1) << c.font << " at " << dotsPerInch;
        }
    }
}

TEST_F(QtPage, RasterJobsAreTheLabelAtTheQueuesDotsOnePageACopy) {
    for (const auto& [y, font] : {std::pair{"16", "39"}, {"100", "128"}})
        state.format.driver.fBarcodeElements.append(
            {.x = "16", .y = y, .font = font, .content = "A1"});
    test::setRecords(state, 1, {{"2"}});
    test::FakePrintSystem cups;
    const QString queue = QStringLiteral("Q");
    cups.installed = {{queue, {}}};
    const QByteArray ppd = "*PPD-Adobe: \"4\"\n*cupsFilter: \"application/vnd.cups-raster 0 x\"\n"
                           "*OpenUI *D: PickOne\n*DefaultD: 8\n"
                           "*D 8: \"<</cupsCompression 8>>setpagedevice\"";
    for (const int dotsPerInch : {203, 300}) {
        const bool pwg = dotsPerInch == 300; // a driverless queue; a label driver at 203 dpi
        cups.resolutions[queue] = dotsPerInch;
        cups.ppds[queue] = pwg ? "" : ppd;
        cups.documentFormats[queue] = pwg ? QStringList{"image/pwg-raster"} : QStringList{};
        const int module = barcodeModuleDots(dotsPerInch);
        for (const auto& [width, height] :
             {std::pair{25, 100}, {100, 25}, {50, 75}, {75, 50}, {60, 80}, {80, 60}}) {
            SCOPED_TRACE(testing::Message() << width << " x " << height << " @" << dotsPerInch);
            state.format.labelSettings.width = QString::number(width);
            state.format.labelSettings.height = QString::number(height);
            QtPrinterPage page(makeCupsQueueSink(cups, queue, {clock, clock}));
            run(page);
            ASSERT_FALSE(cups.submitted.empty());
            EXPECT_EQ(cups.submitted.back().format, pwg ? print_queue::DocumentFormat::PwgRaster
                                                        : print_queue::DocumentFormat::CupsRaster);
            const auto pages = readRaster(cups.submitted.back().document);
            ASSERT_EQ(pages.size(), 2u);
            for (const auto& [header, image] : pages) {
                EXPECT_EQ(header.HWResolution[1], unsigned(dotsPerInch));
                EXPECT_EQ(header.PageSize[0], std::lround(width * 56.7 / 20));
                EXPECT_EQ(header.cupsHeight, std::lround(height * dotsPerInch * 0.039375));
                EXPECT_EQ(header.cupsColorSpace, CUPS_CSPACE_K);
                EXPECT_EQ(header.cupsCompression, pwg ? 0u : 8u); // the PPD's default darkness
                for (const auto& [font, middle] : {std::pair{"39", 50}, {"128", 134}})
                    EXPECT_EQ(test::scanRuns(image, middle * dotsPerInch / 203),
                              moduleRuns(encodeBarcode(font, "A1"), module))
                        << font;
            }
        }
    }
}

TEST_F(QtPage, BarcodesAreDrawnForTheSinksResolution) {
    EXPECT_EQ(makePdfFileSink(folder.file(QStringLiteral("a.pdf")))->dotsPerInch(), 203);
    EXPECT_EQ(makePdfFileSink(folder.file(QStringLiteral("a.pdf")), 300)->dotsPerInch(), 300);
    // A queue says its own resolution, or nothing.
    test::FakePrintSystem cups;
    cups.resolutions[QStringLiteral("TSC")] = 300;
    const common::WaitServices wait{clock, clock};
    EXPECT_EQ(makeCupsQueueSink(cups, QStringLiteral("TSC"), wait)->dotsPerInch(), 300);
    EXPECT_EQ(makeCupsQueueSink(cups, QStringLiteral("Other"), wait)->dotsPerInch(), 203);
}

TEST_F(QtPage, AQueueTakesOnePdfJobARecordWithItsMediaOrAStoppedQueueFailsBeforeIt) {
    test::setRecords(state, 1, {{"2"}});
    test::FakePrintSystem cups;
    cups.installed = {{QStringLiteral("TSC_Q"), QStringLiteral("TSC TTP-244")}};
    const auto runOnQueue = [&] {
        QtPrinterPage page(makeCupsQueueSink(cups, QStringLiteral("TSC_Q"), {clock, clock}));
        return run(page);
    };
    runOnQueue();
    ASSERT_EQ(cups.submitted.size(), 1u);
    const print_queue::PrintJob& job = cups.submitted[0];
    EXPECT_EQ(job.format, print_queue::DocumentFormat::Pdf);
    EXPECT_EQ(QString::fromLatin1(job.document)
                  .count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))),
              2); // a page a copy
    EXPECT_EQ(job.options, (QList<QPair<QString, QString>>{{"copies", "1"},
                                                           {"media", "Custom.170.1x113.4"},
                                                           {"PageSize", "Custom.170x113"},
                                                           {"orientation-requested", "3"}}));
    EXPECT_EQ(cups.asked, std::vector<int>{1});

    cups.installed[0].stopped = true;
    EXPECT_EQ(runOnQueue().errorNumber, common::PrinterError);
    EXPECT_EQ(cups.submitted.size(), 1u);
    EXPECT_EQ(messages.shown.back().text, QStringLiteral("無法連接印表機 TSC_Q: 印表機佇列已停止"));
}

TEST_F(QtPage, HeldJobsOverlapAndAFailedJobNamesItsRecord) {
    using print_queue::JobState;
    test::setRecords(state, 1, {{"1"}, {"1"}, {"1"}});
    const QString queue = QStringLiteral("TSC_Q");
    const struct Case {
        bool pacing;
        int failing; // the job that is aborted; 0: none
        size_t submitted;
        std::vector<int> cancelled;
        const char* named; // the record to go on from; empty: the run completes
    } cases[] = {
        {true, 0, 3, {}, ""},
        {true, 2, 3, {3}, "第 2 筆沒有印完"}, // job 3 waited behind job 2: withdrawn
        {true, 3, 3, {}, "第 3 筆沒有印完"},  // the last job fails after the records
        {false, 2, 2, {}, "第 2 筆沒有印完"}, // the 2-second pause: one job at a time
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.failing);
        test::FakePrintSystem cups;
        cups.installed = {{queue, QStringLiteral("TSC TTP-244")}};
        cups.ppds[queue] = "*PPD-Adobe: \"4\"\n*cupsFilter: \"application/vnd.cups-raster 0 "
                           "rastertotspl\"\n";
        if (c.failing)
            cups.endings[c.failing] = JobState::Aborted;
        state.driverPacing = c.pacing;
        messages.shown.clear();
        QtPrinterPage page(makeCupsQueueSink(cups, queue, {clock, clock}));
        const print_command::RunResult result = run(page);
        EXPECT_EQ(cups.submitted.size(), c.submitted);
        EXPECT_EQ(cups.cancelled, c.cancelled);
        EXPECT_EQ(result.outcome, *c.named ? print_command::RunOutcome::Failed
                                           : print_command::RunOutcome::Completed);
        if (*c.named) {
            ASSERT_EQ(messages.shown.size(), 1u);
            EXPECT_TRUE(messages.shown[0].text.contains(QString::fromUtf8(c.named)))
                << messages.shown[0].text.toStdString();
        }
    }
}

TEST_F(QtPage, BoxAndStretchedPictureLandOnThePage) {
    QImage black(2, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    ASSERT_TRUE(black.save(folder.file(QStringLiteral("dot.bmp")), "BMP"));
    test::setRecords(state, 1, {{"1"}});
    state.format.driver.graphicElements.append(
        {.x = "80", .y = "0", .width = "10", .height = "5", .fileName = "DOT.BMP"});
    state.format.driver.boxElements.append(
        {.x1 = "1440", .y1 = "1440", .x2 = "2880", .y2 = "2160", .thickness = "1"});
    auto sink = std::make_unique<ImagePageSink>(203.0);
    ImagePageSink& images = *sink;
    QtPrinterPage page(std::move(sink));
    run(page);
    ASSERT_EQ(images.jobs.size(), 1u);
    const QImage& image = images.jobs[0].image;
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    // The picture: x 80 dots = 1 cm, 10 x 5 mm, so pixels 80..159 by 0..39.
    EXPECT_TRUE(dark(81, 1));
    EXPECT_TRUE(dark(158, 38));
    EXPECT_FALSE(dark(162, 20));
    EXPECT_FALSE(dark(120, 42));
    // The box: one inch from the corner, outline only.
    EXPECT_TRUE(dark(203, 250));
    EXPECT_TRUE(dark(300, 203));
    EXPECT_FALSE(dark(300, 250));
}

TEST_F(QtPage, BadPicturesAndBarcodesAreErrorsNamingTheCulprit) {
    folder.write(QStringLiteral("broken.bmp"), "not a picture");
    struct Case {
        const char* graphic;
        const char* barcodeFont;
        const char* barcodeData;
        int error;
        const char* named;
    } cases[] = {
        {"missing.pcx", nullptr, nullptr, common::FileNotFound, "missing.pcx"},
        {"broken.bmp", nullptr, nullptr, common::InvalidPicture, "broken.bmp"},
        {nullptr, "QRCODE", "123", common::InvalidArgument, "QRCODE"},
        {nullptr, "EAN13", "ABCDEFGHIJKL", common::InvalidArgument, "EAN13"},
        {nullptr, "UPCA", "123", common::InvalidArgument, "UPCA"},
    };
    for (const Case& c : cases) {
        messages.shown.clear();
        test::setRecords(state, 1, {{"1"}});
        state.format.driver.graphicElements.count = 0;
        state.format.driver.fBarcodeElements.count = 0;
        if (c.graphic)
            state.format.driver.graphicElements.append(
                {.x = "0", .y = "0", .width = "10", .height = "10", .fileName = c.graphic});
        if (c.barcodeFont)
            state.format.driver.fBarcodeElements.append(
                {.x = "0", .y = "0", .font = c.barcodeFont, .content = c.barcodeData});
        auto sink = std::make_unique<ImagePageSink>(203.0);
        ImagePageSink& images = *sink;
        QtPrinterPage page(std::move(sink));
        const print_command::RunResult result = run(page);
        EXPECT_EQ(result.errorNumber, c.error) << c.named;
        ASSERT_EQ(messages.shown.size(), 1u);
        EXPECT_TRUE(messages.shown[0].text.contains(QString::fromUtf8(c.named)))
            << messages.shown[0].text.toStdString();
        EXPECT_TRUE(images.jobs.empty());
    }
}

TEST_F(QtPage, DeviceLimitsAreErrors) {
    test::setRecords(state, 1, {{"1"}});
    QtPrinterPage page(std::make_unique<ImagePageSink>(203.0));
    EXPECT_THROW(page.setCopies(0), common::RunError);
    EXPECT_THROW(page.setLineWidth(0), common::RunError);
    EXPECT_THROW(page.setFontSize(0), common::RunError);
    state.format.labelSettings.width = QStringLiteral("0");
    EXPECT_EQ(run(page).errorNumber, common::InvalidArgument);
}

} // namespace
} // namespace pelmar::print_driver
