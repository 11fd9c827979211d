#include "print_driver/label_drawing.h"

#include "print_driver/driver_fixture.h"
#include "print_driver/recording_printer_page.h"
#include "support/run_error_of.h"
#include "support/temp_folder.h"

#include <gtest/gtest.h>
#include <optional>

namespace pelmar::print_driver {
namespace {

// A format is written for one print mode: the drawing takes driver-mode elements only.
template <class Format>
constexpr bool draws = requires(PrinterPage& page, const Format& format,
                                const LabelDrawing& drawing) {
    drawLabelElements(page, format, drawing);
};
static_assert(draws<state::DriverFormat>);
static_assert(!draws<state::CommandFormat>);

TEST(UnitConversion, TextAndBarcodePositionsAreWholeTwipsOfWholeDots) {
    struct Case {
        const char* dots;
        float twips;
    } cases[] = {
        {"80", 567},                   // one centimetre
        {"1", 7},                      // 7.0875 rounded
        {"0", 0},          {"abc", 0}, // no leading number
        {"2.5", 14},                   // 2.5 dots round to 2 first: 1134 / 80 = 14.175
        {"3.5", 28},                   // ...and 3.5 to 4: 2268 / 80 = 28.35
        {"-8", -57},                   // -56.7
        {"12mm", 85},                  // the leading number 12: 85.05
        {"32767", 232236},             // the largest position: the product needs 32 bits
    };
    for (const Case& c : cases)
        EXPECT_EQ(textPositionTwips(QString::fromUtf8(c.dots)), c.twips) << c.dots;
    EXPECT_EQ(test::runErrorNumberOf([] { textPositionTwips(u"32768"); }), common::Overflow);
}

TEST(UnitConversion, PageSizeIsMillimetresTimes567OverTen) {
    EXPECT_EQ(pageTwips(u"60"), 3402);
    EXPECT_EQ(pageTwips(u"12.5"), 709); // 708.75
    EXPECT_EQ(pageTwips(u"0.1"), 6);    // 5.67
    EXPECT_EQ(pageTwips(u" 40 "), 2268);
    EXPECT_EQ(test::runErrorNumberOf([] { pageTwips(u"60mm"); }), common::TypeMismatch);
    EXPECT_EQ(test::runErrorNumberOf([] { pageTwips(u""); }), common::TypeMismatch);
}

TEST(LabelCopies, QuantityZeroIsOneAndAcrossCountsRows) {
    struct Case {
        const char* quantity;
        int across;
        int copies;
    } cases[] = {
        {"0", 1, 1},   {"", 1, 1},    {"abc", 2, 1},     {"7", 2, 4}, {"6", 3, 2},
        {"8", 2, 4},   {"1", 3, 1},   {"5", 0, 5},       {"5", 1, 5}, {"5", -2, 5},
        {"2.5", 1, 2}, {"3.5", 1, 4}, {"12 pcs", 1, 12},
    };
    for (const Case& c : cases)
        EXPECT_EQ(labelCopies(QString::fromUtf8(c.quantity), static_cast<std::int16_t>(c.across)),
                  c.copies)
            << c.quantity << " across " << c.across;
}

TEST(LabelCopies, BadQuantitiesAreErrors) {
    EXPECT_EQ(test::runErrorNumberOf([] { labelCopies(u"32767", 2); }),
              common::Overflow); // the sum
    EXPECT_EQ(test::runErrorNumberOf([] { labelCopies(u"40000", 1); }), common::Overflow);
    EXPECT_EQ(test::runErrorNumberOf([] { labelCopies(u"-3", 1); }), common::InvalidArgument);
    EXPECT_EQ(test::runErrorNumberOf([] { labelCopies(u"-3", 2); }), common::InvalidArgument);
}

TEST(DevicePrefix, TextBeforeTheFirstBlankOrTheWholeName) {
    EXPECT_EQ(devicePrefix(QStringLiteral("ABC 300")), QStringLiteral("ABC"));
    EXPECT_EQ(devicePrefix(QStringLiteral("TSC TTP-244 Pro")), QStringLiteral("TSC"));
    EXPECT_EQ(devicePrefix(QStringLiteral("TSC_TTP_244")), QStringLiteral("TSC_TTP_244"));
    EXPECT_EQ(devicePrefix(QString()), QString());
}

class PlainRule : public ::testing::Test {
protected:
    PlainRule() {
        test::setRecords(state, 3, {{"A", "B", "C"}});
        state.records.set(1, 0, QString()); // column 0 exists and is empty
    }
    QString value(const char* expression) {
        return plainFieldValue(state, QString::fromUtf8(expression), 1);
    }
    state::WorkingState state;
};

TEST_F(PlainRule, FieldsAndLiterals) {
    struct Case {
        const char* expression;
        const char* value;
    } cases[] = {
        {"1", "A"},
        {"5", "C"}, // capped at FieldCount
        {"'X'", ""},
        {"", ""}, // no leading number: column 0
        {"2abc", "B"},
        {"1.5", "B"},
        {"2.5", "B"}, // halves to even
        {"1+'-'+2", "A-B"},
        {" 2 + 3 ", "BC"},
        {"1+", "A"}, // nothing after the last +
        {"2+'x'+", "Bx"},
        {"1+''", "A"},            // a two-character literal is empty
        {"1+VBCRLF+2", "ABCRLB"}, // no control tokens here
        {"3+\"Lot\"", "CLot"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(value(c.expression), QString::fromUtf8(c.value)) << c.expression;
}

TEST_F(PlainRule, ShortLiteralsAndNegativeFieldsAreErrors) {
    // A "+" inside quotes still splits: 'a and b' are parts of one and two characters.
    const char* invalid[] = {"1+x", "+1", "1++2", "1+'a+b", "x+1"};
    for (const char* expression : invalid)
        EXPECT_EQ(test::runErrorNumberOf([&] { value(expression); }), common::InvalidArgument)
            << expression;
    const char* negative[] = {"-1", "1+-1"};
    for (const char* expression : negative)
        EXPECT_EQ(test::runErrorNumberOf([&] { value(expression); }), common::SubscriptOutOfRange)
            << expression;
}

class Drawing : public ::testing::Test {
protected:
    Drawing() {
        state = test::labelState();
        test::setRecords(state, 2, {{"4710001", "3"}});
        drawing.devicePrefix = QStringLiteral("TSC");
        drawing.programFolder = folder.path();
        drawing.today = test::kToday;
        drawing.fieldValue = [this](const QString& expression) {
            return plainFieldValue(state, expression, 1);
        };
    }
    QStringList draw() {
        drawPageSize(page, state.format.labelSettings);
        drawLabelElements(page, state.format.driver, drawing);
        return page.page;
    }
    int drawError() {
        return test::runErrorNumberOf([this] { draw(); });
    }
    QStringList operationsNamed(const QString& name) const {
        QStringList found;
        for (const QString& op : page.page)
            if (op.section(u' ', 0, 0) == name)
                found << op;
        return found;
    }

    test::TempFolder folder;
    state::WorkingState state;
    LabelDrawing drawing;
    RecordingPrinterPage page;
};

TEST_F(Drawing, OneBoxIsExactlyOneRectangleInTwipsAsWritten) {
    state.format.driver.boxElements.append(
        {.x1 = "100", .y1 = "100", .x2 = "1000", .y2 = "500", .thickness = "3"});
    EXPECT_EQ(draw(), (QStringList{"pageWidth 3402", "pageHeight 2268", "lineStyle 0",
                                   "lineWidth 3", "drawBox 100 100 1000 500 0"}));
}

TEST_F(Drawing, NonNumericBoxAndLineValuesAreTypeMismatches) {
    using Stroke = state::DriverFormat::Stroke;
    const Stroke rows[] = {{.x1 = "10a", .y1 = "0", .x2 = "100", .y2 = "100", .thickness = "1"},
                           {.x1 = "0", .y1 = "0", .x2 = "100", .y2 = "", .thickness = "1"},
                           {.x1 = "0", .y1 = "0", .x2 = "100", .y2 = "100", .thickness = "x"},
                           {.x1 = "0", .y1 = "0", .x2 = "100", .y2 = "100", .thickness = "1.5x"}};
    state::DriverFormat& format = state.format.driver;
    for (const Stroke& row : rows) {
        format.boxElements.count = 0;
        format.boxElements.append(row);
        EXPECT_EQ(drawError(), common::TypeMismatch);
        format.boxElements.count = 0;
        format.lineElements.count = 0;
        format.lineElements.append(row);
        EXPECT_EQ(drawError(), common::TypeMismatch);
        format.lineElements.count = 0;
    }
}

TEST_F(Drawing, BoxesAndLinesTakeDecimalTwipsAndTheirOwnThickness) {
    state.format.driver.boxElements.append(
        {.x1 = "10.5", .y1 = "20", .x2 = "300", .y2 = "400", .thickness = "2"});
    state.format.driver.lineElements.append(
        {.x1 = "0", .y1 = "50", .x2 = "1e3", .y2 = "50", .thickness = "4"});
    draw();
    EXPECT_EQ(page.page.mid(2),
              (QStringList{"lineStyle 0", "lineWidth 2", "drawBox 10.5 20 300 400 0", "lineWidth 4",
                           "drawLine 0 50 1000 50 0"}));
}

TEST_F(Drawing, PicturesArePlacedInDotsAndSizedInMillimetres) {
    folder.write(QStringLiteral("logo.bmp"), "BM");
    state.format.driver.graphicElements.append(
        {.x = "8", .y = "16", .width = "12.5", .height = "0.1", .fileName = "LOGO.BMP"});
    draw();
    const QString loaded = folder.path() + QStringLiteral("/logo.bmp");
    EXPECT_EQ(operationsNamed(QStringLiteral("drawPicture")),
              QStringList{QStringLiteral("drawPicture %1 57 113 709 6").arg(loaded)});
}

TEST_F(Drawing, MissingPictureIsFileNotFound) {
    state.format.driver.graphicElements.append(
        {.x = "0", .y = "0", .width = "10", .height = "10", .fileName = "none.pcx"});
    EXPECT_EQ(drawError(), common::FileNotFound);
}

TEST_F(Drawing, TextStepSetsPositionFontStylesInOrder) {
    state.format.driver.fTextElements.append({.x = "80",
                                              .y = "1",
                                              .size = "12",
                                              .style = "3",
                                              .lineStyle = "2",
                                              .face = "Arial",
                                              .content = "Hello"});
    draw();
    EXPECT_EQ(
        page.page.mid(3),
        (QStringList{"currentX 567", "currentY 7", "fontName Arial", "fontSize 12", "bold true",
                     "italic true", "strikethrough true", "underline false", "print Hello"}));
}

TEST_F(Drawing, StyleAndLineStyleCodes) {
    struct Case {
        const char* style;
        const char* lineStyle;
        const char* flags; // bold italic strikethrough underline
    } cases[] = {
        {"0", "0", "false false false false"}, {"1", "1", "false true false true"},
        {"2", "2", "true false true false"},   {"3", "0", "true true false false"},
        {"", "", "false false false false"},   {"4", "3", "false false false false"},
    };
    for (const Case& c : cases) {
        page.page.clear();
        state.format.driver.fTextElements.count = 0;
        state.format.driver.fTextElements.append({.x = "0",
                                                  .y = "0",
                                                  .size = "10",
                                                  .style = c.style,
                                                  .lineStyle = c.lineStyle,
                                                  .face = "A",
                                                  .content = "t"});
        draw();
        const QStringList flags{page.page.mid(7, 4)};
        QStringList values;
        for (const QString& flag : flags)
            values << flag.section(u' ', 1);
        EXPECT_EQ(values.join(u' '), QString::fromUtf8(c.flags)) << c.style << "/" << c.lineStyle;
    }
}

TEST_F(Drawing, FixedTextDateRuleIsCaseSensitive) {
    state.format.driver.fTextElements.append(test::cornerText("A", "Made Date=yyyy/mm/dd"));
    state.format.driver.fTextElements.append(test::cornerText("A", "date=yyyy"));
    draw();
    EXPECT_EQ(operationsNamed(QStringLiteral("print")),
              (QStringList{"print 2026/12/07", "print date=yyyy"}));
}

TEST_F(Drawing, BarcodeStepUsesDevicePrefixAndClearsStylesWithoutSize) {
    state.format.driver.fBarcodeElements.append(
        {.x = "80", .y = "8", .font = "128", .content = "ABC"});
    state.format.driver.vBarcodeElements.append(
        {.x = "0", .y = "0", .font = "EAN13", .content = "1+'00001'"});
    draw();
    EXPECT_EQ(
        page.page.mid(3),
        (QStringList{"currentX 567", "currentY 57", "fontName TSC 128", "bold false",
                     "italic false", "strikethrough false", "underline false", "barcode 128 ABC",
                     "currentX 0", "currentY 0", "fontName TSC EAN13", "bold false", "italic false",
                     "strikethrough false", "underline false", "barcode EAN13 471000100001"}));
    EXPECT_TRUE(operationsNamed(QStringLiteral("fontSize")).isEmpty());
}

TEST_F(Drawing, BadBarcodesAreErrors) {
    state.format.driver.fBarcodeElements.append(
        {.x = "0", .y = "0", .font = "QR", .content = "ABC"});
    EXPECT_EQ(drawError(), common::InvalidArgument);
    state.format.driver.fBarcodeElements.count = 0;
    state.format.driver.fBarcodeElements.append(
        {.x = "0", .y = "0", .font = "EAN-13", .content = "47100A1000010"});
    EXPECT_EQ(drawError(), common::InvalidArgument);
}

TEST_F(Drawing, ElementKindsInFixedOrderWithCancelTestsBetween) {
    folder.write(QStringLiteral("a.bmp"), "BM");
    state.format.driver.vTextElements.append(test::cornerText("A", "1"));
    state.format.driver.fTextElements.append(test::cornerText("A", "fixed"));
    state.format.driver.vBarcodeElements.append(
        {.x = "0", .y = "0", .font = "128", .content = "1"});
    state.format.driver.fBarcodeElements.append({.x = "0", .y = "0", .font = "39", .content = "F"});
    state.format.driver.graphicElements.append(
        {.x = "0", .y = "0", .width = "1", .height = "1", .fileName = "a.bmp"});
    state.format.driver.lineElements.append(
        {.x1 = "0", .y1 = "0", .x2 = "1", .y2 = "1", .thickness = "1"});
    state.format.driver.boxElements.append(
        {.x1 = "0", .y1 = "0", .x2 = "1", .y2 = "1", .thickness = "1"});
    QStringList kinds;
    int tests = 0;
    drawing.cancelled = [&] {
        ++tests;
        kinds << QStringLiteral("|");
        return false;
    };
    page.onOperation = [&](const QString& name) {
        if (name == u"drawBox" || name == u"drawLine" || name == u"drawPicture" ||
            name == u"barcode" || name == u"print")
            kinds << name;
    };
    draw();
    EXPECT_EQ(kinds.join(u' '), QStringLiteral("drawBox | drawLine | drawPicture | barcode "
                                               "barcode | print | print |"));
    EXPECT_EQ(tests, 6);
}

TEST_F(Drawing, TestPrintSkipsEmptyElementsUntouched) {
    drawing.drawEmpty = false;
    state.records.set(1, 1, QString());
    state.format.driver.fTextElements.append(test::cornerText("A", ""));
    state.format.driver.vTextElements.append(test::cornerText("A", "1"));
    state.format.driver.vBarcodeElements.append(
        {.x = "0", .y = "0", .font = "128", .content = "1"});
    state.format.driver.fBarcodeElements.append({.x = "0", .y = "0", .font = "128", .content = ""});
    EXPECT_EQ(draw(), (QStringList{"pageWidth 3402", "pageHeight 2268", "lineStyle 0"}));
}

} // namespace
} // namespace pelmar::print_driver
