#include "print_driver/qt_printer_page.h"

#include "common/run_error.h"
#include "print_driver/driver_fixture.h"
#include "print_driver/print_labels_driver.h"
#include "support/temp_folder.h"

#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>
#include <map>

namespace pelmar::print_driver {
namespace {

using test::addElement;

// Widths of the bars and spaces along one pixel row, from the first bar to the last, in modules
// of `module` pixels.
std::vector<int> moduleRuns(const QImage& image, int y, int module) {
    std::vector<int> runs;
    int x = 0;
    while (x < image.width() && qGray(image.pixel(x, y)) >= 128)
        ++x;
    size_t lastBarRuns = 0;
    while (x < image.width()) {
        const bool dark = qGray(image.pixel(x, y)) < 128;
        int end = x;
        while (end < image.width() && (qGray(image.pixel(end, y)) < 128) == dark)
            ++end;
        runs.push_back((end - x + module / 2) / module);
        if (dark)
            lastBarRuns = runs.size();
        x = end;
    }
    runs.resize(lastBarRuns);
    return runs;
}

// Code 128 symbol patterns (bar, space, bar, space, bar, space), values 0 to 106.
const char* const kCode128[] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212",
    "221213", "221312", "231212", "112232", "122132", "122231", "113222", "123122", "123221",
    "223211", "221132", "221231", "213212", "223112", "312131", "311222", "321122", "321221",
    "312212", "322112", "322211", "212123", "212321", "232121", "111323", "131123", "131321",
    "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331", "132131",
    "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131",
    "311123", "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111",
    "111224", "111422", "121124", "121421", "141122", "141221", "112214", "112412", "122114",
    "122411", "142112", "142211", "241211", "221114", "413111", "241112", "134111", "111242",
    "121142", "121241", "114212", "124112", "124211", "411212", "421112", "421211", "212141",
    "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232", "233111"};

// Decodes code sets A, B and C; checks the check symbol. Empty when anything is wrong.
QString decodeCode128(const std::vector<int>& runs) {
    std::map<std::string, int> values;
    for (int v = 0; v < 107; ++v)
        values[kCode128[v]] = v;
    std::vector<int> symbols;
    for (size_t i = 0; i + 6 <= runs.size(); i += 6) {
        std::string pattern;
        for (size_t k = i; k < i + 6; ++k)
            pattern += static_cast<char>('0' + runs[k]);
        const auto found = values.find(pattern);
        if (found == values.end())
            return {};
        symbols.push_back(found->second);
        if (found->second == 106)
            break;
    }
    if (symbols.size() < 3 || symbols.back() != 106 || symbols[0] < 103)
        return {};
    long sum = symbols[0];
    for (size_t i = 1; i + 2 < symbols.size(); ++i)
        sum += symbols[i] * static_cast<long>(i);
    if (sum % 103 != symbols[symbols.size() - 2])
        return {};
    QString text;
    int set = symbols[0] - 103; // 0 A, 1 B, 2 C
    for (size_t i = 1; i + 2 < symbols.size(); ++i) {
        const int v = symbols[i];
        if (v == 99 || v == 100 || v == 101) {
            set = v == 99 ? 2 : v == 100 ? 1 : 0;
        } else if (set == 2) {
            text += QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
        } else if (v < 96) {
            text += QChar(set == 1 || v < 64 ? 32 + v : v - 64);
        }
    }
    return text;
}

// EAN-13 digit patterns (space, bar, space, bar) of the L set; G is L reversed, R is L read as
// bar, space, bar, space.
const char* const kEanL[] = {"3211", "2221", "2122", "1411", "1132",
                             "1231", "1114", "1312", "1213", "3112"};
const char* const kEanParity[] = {"LLLLLL", "LLGLGG", "LLGGLG", "LLGGGL", "LGLLGG",
                                  "LGGLLG", "LGGGLL", "LGLGLG", "LGLGGL", "LGGLGL"};

QString decodeEan13(const std::vector<int>& runs) {
    if (runs.size() != 59)
        return {};
    auto digitOf = [&](size_t start, bool reversed) -> int {
        std::string pattern;
        for (size_t k = 0; k < 4; ++k)
            pattern += static_cast<char>('0' + runs[start + k]);
        for (int d = 0; d < 10; ++d) {
            std::string l = kEanL[d];
            if (reversed)
                std::reverse(l.begin(), l.end());
            if (pattern == l)
                return d;
        }
        return -1;
    };
    QString left, parity;
    for (int i = 0; i < 6; ++i) {
        const size_t start = 3 + 4 * static_cast<size_t>(i);
        int d = digitOf(start, false);
        parity += d >= 0 ? u'L' : u'G';
        if (d < 0)
            d = digitOf(start, true);
        if (d < 0)
            return {};
        left += QChar(u'0' + d);
    }
    QString right;
    for (int i = 0; i < 6; ++i) {
        const int d = digitOf(32 + 4 * static_cast<size_t>(i), false);
        if (d < 0)
            return {};
        right += QChar(u'0' + d);
    }
    for (int first = 0; first < 10; ++first)
        if (parity == QLatin1String(kEanParity[first]))
            return QChar(u'0' + first) + left + right;
    return {};
}

class QtPage : public ::testing::Test {
protected:
    QtPage() {
        state = test::labelState();
        state.programFolder = folder.path();
    }
    DriverRunResult run(PrinterPage& page) {
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
    addElement(state.format.boxElements, {"100", "100", "3300", "2100", "3"});
    addElement(state.format.vBarcodeElements, {"40", "40", "128", "1"});
    addElement(state.format.vTextElements, {"40", "200", "12", "2", "0", "新細明體", "1+' 品名'"});
    const QString pdf = folder.file(QStringLiteral("labels.pdf"));
    {
        QtPrinterPage page(makePdfFileSink(pdf));
        EXPECT_EQ(page.deviceName(), QStringLiteral("PDF"));
        EXPECT_EQ(run(page).outcome, DriverRunResult::Outcome::Completed);
        page.finish();
    }
    EXPECT_TRUE(messages.shown.empty());
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromLatin1(file.readAll());
    EXPECT_TRUE(text.startsWith(QStringLiteral("%PDF-")));
    EXPECT_EQ(text.count(QRegularExpression(QStringLiteral("/Type\\s*/Page\\b"))), 4);
    // 60 x 40 mm = 3402 x 2268 twips = 170.1 x 113.4 points; a PDF page of Qt has whole points.
    const QRegularExpression mediaBox(
        QStringLiteral("/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"));
    auto boxes = mediaBox.globalMatch(text);
    int count = 0;
    while (boxes.hasNext()) {
        const auto match = boxes.next();
        EXPECT_EQ(match.captured(1).toDouble(), 170);
        EXPECT_EQ(match.captured(2).toDouble(), 113);
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
        {"EAN13", "471234567890", "4712345678900"},   // check digit added
        {"EAN-13", "4710088412379", "4710088412379"}, // check digit given
    };
    for (const Case& c : cases) {
        test::setRecords(state, 2, {{QString::fromUtf8(c.data), QStringLiteral("1")}});
        state.format.vBarcodeElements.count = 0;
        addElement(state.format.vBarcodeElements, {"41", "30", c.font, "1"});
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
        const std::vector<int> runs = moduleRuns(image, top + 10, 2);
        int firstBar = 0;
        while (qGray(image.pixel(firstBar, top + 10)) >= 128)
            ++firstBar;
        EXPECT_EQ(firstBar, 41) << c.font;
        const bool ean = QByteArray(c.font).contains("EAN");
        EXPECT_EQ(ean ? decodeEan13(runs) : decodeCode128(runs), QString::fromUtf8(c.decoded))
            << c.font;
        EXPECT_EQ(qGray(image.pixel(firstBar, top - 2)), 255) << "nothing above the bars";
    }
}

TEST_F(QtPage, BoxAndStretchedPictureLandOnThePage) {
    QImage black(2, 2, QImage::Format_RGB32);
    black.fill(Qt::black);
    ASSERT_TRUE(black.save(folder.file(QStringLiteral("dot.bmp")), "BMP"));
    test::setRecords(state, 1, {{"1"}});
    addElement(state.format.graphicElements, {"80", "0", "10", "5", "DOT.BMP"});
    addElement(state.format.boxElements, {"1440", "1440", "2880", "2160", "1"});
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
        state.format.graphicElements.count = 0;
        state.format.fBarcodeElements.count = 0;
        if (c.graphic)
            addElement(state.format.graphicElements, {"0", "0", "10", "10", c.graphic});
        if (c.barcodeFont)
            addElement(state.format.fBarcodeElements, {"0", "0", c.barcodeFont, c.barcodeData});
        auto sink = std::make_unique<ImagePageSink>(203.0);
        ImagePageSink& images = *sink;
        QtPrinterPage page(std::move(sink));
        const DriverRunResult result = run(page);
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
    state.format.labelSettings[0] = QStringLiteral("0");
    EXPECT_EQ(run(page).errorNumber, common::InvalidArgument);
}

} // namespace
} // namespace pelmar::print_driver
