#include "print_command/label_composer.h"

#include "print_command/label_refused.h"
#include "print_command/recording_library.h"
#include "print_command/sample_format.h"
#include "support/run_error_of.h"

#include <gtest/gtest.h>

namespace pelmar::print_command {
namespace {

using test::RecordingLibrary;

// A format is written for one print mode: the composer takes command-mode elements only.
template <class Format>
constexpr bool composes = requires(const state::WorkingState& state,
                                   const state::LabelSettings& label, const Format& format,
                                   PrinterLibrary& library, const QDate& today) {
    ComposeLabel(state, label, format, library, 1, true, today);
};
static_assert(composes<state::CommandFormat>);
static_assert(!composes<state::DriverFormat>);

const QDate kToday(2026, 12, 7);

class ComposeLabelTest : public ::testing::Test {
protected:
    ComposeLabelTest() {
        test::setLabel(state);
        test::setRecords(state, {{QStringLiteral("A001"), QStringLiteral("Bolt"),
                                  QStringLiteral("12.50"), QStringLiteral("3")}});
        state.programFolder = QStringLiteral("/opt/pelmar");
    }
    // The drawing calls after the five set-up calls.
    QStringList drawing(int record = 1, bool forRun = true) {
        library.calls.clear();
        EXPECT_FALSE(ComposeLabel(state, library, record, forRun, kToday));
        return library.calls.mid(5);
    }
    int errorOf(int record = 1) {
        return test::runErrorNumberOf([&] { ComposeLabel(state, library, record, true, kToday); });
    }

    state::WorkingState state;
    RecordingLibrary library;
};

TEST_F(ComposeLabelTest, SetUpCommandsComeFirstInOrder) {
    state.format.command.sensorType = QStringLiteral("1");
    state.format.command.labelOffset = QStringLiteral("1.5");
    state.format.command.direction = QStringLiteral("0");
    state.format.command.stripeCommand = QStringLiteral("SET STRIPE OFF");
    ComposeLabel(state, library, 1, true, kToday);
    EXPECT_EQ(library.calls, (QStringList{"setup|60|40|4|8|1|3|1.5", "sendcommand|DIRECTION 0",
                                          "sendcommand|SET STRIPE OFF",
                                          "sendcommand|SET CUTTER OFF", "clearbuffer"}));
}

TEST_F(ComposeLabelTest, VariableTextContents) {
    struct Case {
        const char* expression;
        const char* expected; // nullptr: nothing sent
    };
    const Case cases[] = {
        {"9", "windowsfont|40|60|48|0|0|0|Arial|3"}, // capped at field 4
        {"0", nullptr},
        {"abc", nullptr},
        {"1+VBCRLF+2", "windowsfont|40|60|48|0|0|0|Arial|A001\r\nBolt"},
        {"\"Lot: \"+3", "windowsfont|40|60|48|0|0|0|Arial|Lot: 12.50"},
        {"ABC+1", "windowsfont|40|60|48|0|0|0|Arial|BA001"},
    };
    for (const Case& c : cases) {
        state.format.command.vTextElements = {};
        state.format.command.vTextElements.append({.x = "40",
                                                   .y = "60",
                                                   .height = "48",
                                                   .rotation = "0",
                                                   .style = "0",
                                                   .underline = "0",
                                                   .face = "Arial",
                                                   .content = QString::fromUtf8(c.expression)});
        const QStringList sent = drawing();
        if (c.expected)
            EXPECT_EQ(sent, QStringList{QString::fromUtf8(c.expected)}) << c.expression;
        else
            EXPECT_TRUE(sent.isEmpty()) << c.expression;
    }
}

TEST_F(ComposeLabelTest, PriceRuleOnlyWithPlus) {
    state.editPrice = 1;
    state.editPriceField = 3;
    state.adPrice = 10;
    state.format.command.vTextElements.append(test::plainText("3"));
    state.format.command.vTextElements.append(test::plainText("3+", "30"));
    EXPECT_EQ(drawing(), (QStringList{"windowsfont|0|0|24|0|0|0|Arial|12.50",
                                      "windowsfont|0|30|24|0|0|0|Arial|22.5"}));
}

TEST_F(ComposeLabelTest, Code128MGetsItsStartCodeOnlyInTheRun) {
    state.records.set(1, 1, QStringLiteral("12!10534")); // its "!" encodes itself, not subset C
    state.records.set(1, 2, QString());
    state.format.command.vBarcodeElements.append({.x = "10",
                                                  .y = "20",
                                                  .symbology = "128M",
                                                  .height = "80",
                                                  .readable = "1",
                                                  .rotation = "0",
                                                  .narrow = "2",
                                                  .wide = "4",
                                                  .content = "2"});
    state.format.command.vBarcodeElements.append({.x = "10",
                                                  .y = "120",
                                                  .symbology = "128",
                                                  .height = "80",
                                                  .readable = "1",
                                                  .rotation = "0",
                                                  .narrow = "2",
                                                  .wide = "4",
                                                  .content = "2"});
    state.format.command.vBarcodeElements.append({.x = "10",
                                                  .y = "220",
                                                  .symbology = "128M",
                                                  .height = "80",
                                                  .readable = "1",
                                                  .rotation = "0",
                                                  .narrow = "2",
                                                  .wide = "4",
                                                  .content = "1"});
    EXPECT_EQ(drawing(1, true), (QStringList{"barcode|10|20|128M|80|1|0|2|4|!104",
                                             "barcode|10|220|128M|80|1|0|2|4|!10412!00110534"}));
    EXPECT_EQ(drawing(1, false), (QStringList{"barcode|10|220|128M|80|1|0|2|4|12!00110534"}));
}

TEST_F(ComposeLabelTest, ElementsInTheirOrder) {
    state.format.command.graphicElements.append({.x = "20", .y = "30", .fileName = "logo.pcx"});
    state.format.command.graphicElements.append({.x = "5", .y = "6", .fileName = "Sign.Bmp"});
    state.format.command.graphicElements.append({.x = "7", .y = "8", .fileName = "sign.gif"});
    state.format.command.vTextElements.append({.x = "1",
                                               .y = "2",
                                               .height = "24",
                                               .rotation = "90",
                                               .style = "1",
                                               .underline = "1",
                                               .face = "新細明體",
                                               .content = "2"});
    state.format.command.fTextElements.append({.x = "3",
                                               .y = "4",
                                               .height = "24",
                                               .rotation = "0",
                                               .style = "2",
                                               .underline = "0",
                                               .face = "Arial",
                                               .content = "Made in"});
    state.format.command.fTextElements.append({.x = "3",
                                               .y = "4",
                                               .height = "24",
                                               .rotation = "0",
                                               .style = "2",
                                               .underline = "0",
                                               .face = "Arial",
                                               .content = ""});
    state.format.command.fTextElements.append({.x = "5",
                                               .y = "6",
                                               .height = "24",
                                               .rotation = "0",
                                               .style = "0",
                                               .underline = "0",
                                               .face = "Arial",
                                               .content = "Date=yyyy/mm/dd"});
    state.format.command.dMatrixElements.append({.parameters = "10,10,100,100", .content = "1"});
    state.format.command.pdf417Elements.append(
        {.parameters = "10,10,400,200,0, E4", .content = "1+\"-\"+2"});
    state.format.command.pdf417Elements.append({.parameters = "10,10,400,200,0", .content = "0"});
    state.format.command.vBarcodeElements.append({.x = "1",
                                                  .y = "1",
                                                  .symbology = "EAN13",
                                                  .height = "50",
                                                  .readable = "1",
                                                  .rotation = "0",
                                                  .narrow = "2",
                                                  .wide = "2",
                                                  .content = "0"});
    state.format.command.fBarcodeElements.append({.x = "1",
                                                  .y = "2",
                                                  .symbology = "39",
                                                  .height = "50",
                                                  .readable = "0",
                                                  .rotation = "0",
                                                  .narrow = "2",
                                                  .wide = "6",
                                                  .content = ""});
    state.format.command.lineElements.append({.x = "0", .y = "100", .width = "600", .height = "4"});
    state.format.command.boxElements.append(
        {.xStart = "10", .yStart = "10", .xEnd = "790", .yEnd = "390", .thickness = "3"});
    EXPECT_EQ(drawing(), (QStringList{
                             "sendcommand|BOX 10,10,790,390,3",
                             "sendcommand|BAR 0,100,600,4",
                             "barcode|1|2|39|50|0|0|2|6|", // fixed data sent even when empty
                             "sendcommand|PDF417 10,10,400,200,0, E4,\"A001-Bolt\"",
                             "sendcommand|DMATRIX 10,10,100,100,\"A001\"",
                             "windowsfont|3|4|24|0|2|0|Arial|Made in",
                             "windowsfont|5|6|24|0|0|0|Arial|2026/12/07",
                             "windowsfont|1|2|24|90|1|1|新細明體|Bolt",
                             "sendcommand|PUTPCX 20,30,\"LOGO.PCX\"",
                             "sendcommand|PUTBMP 5,6,\"SIGN.BMP\"",
                         }));
}

TEST_F(ComposeLabelTest, PicturesAreDownloadedWhateverTheirEnding) {
    state.format.command.graphicElements.append({.x = "20", .y = "30", .fileName = "logo.pcx"});
    state.format.command.graphicElements.append({.x = "7", .y = "8", .fileName = "sign.gif"});
    DownloadGraphics(state, library);
    EXPECT_EQ(library.calls, (QStringList{"downloadpcx|/opt/pelmar/LOGO.PCX|LOGO.PCX",
                                          "downloadpcx|/opt/pelmar/SIGN.GIF|SIGN.GIF"}));
}

TEST_F(ComposeLabelTest, DoubleQuoteInSymbolContentIsEscaped) {
    state.records.set(1, 2, QStringLiteral("12\" pipe"));
    state.format.command.pdf417Elements.append({.parameters = "0,0,400,200,0", .content = "2"});
    EXPECT_EQ(drawing(), QStringList{"sendcommand|PDF417 0,0,400,200,0,\"12\\[\"] pipe\""});
}

TEST_F(ComposeLabelTest, BadInputFailsTheRun) {
    using Text = state::CommandFormat::Text;
    const auto text = [](const char* x, const char* y, const char* height, const char* underline,
                         const char* content) {
        return Text{.x = x,
                    .y = y,
                    .height = height,
                    .rotation = "0",
                    .style = "0",
                    .underline = underline,
                    .face = "Arial",
                    .content = content};
    };
    struct Case {
        Text row;
        bool fixed;
        int error;
    };
    const Case cases[] = {
        {text("x", "0", "24", "0", "Text"), true, common::TypeMismatch},
        {text("0", "0", "", "0", "Text"), true, common::TypeMismatch},
        {text("0", "0", "24", "40000", "Text"), true, common::Overflow},
        {text("0", "0", "24abc", "0", "1"), false, common::TypeMismatch},
        {text("0", "0", "24", "0", "-1"), false, common::InvalidArgument},
        {text("0", "0", "24", "0", "1+-1"), false, common::InvalidArgument},
        // Parameters of a text that is not drawn are never read.
        {text("x", "y", "z", "0", ""), true, 0},
        {text("x", "y", "z", "0", "0"), false, 0},
        // Rounded halves to even, blanks allowed.
        {text(" 2.5 ", "0", "24", "0", "Text"), true, 0},
    };
    for (const Case& c : cases) {
        state.format.command.fTextElements = {};
        state.format.command.vTextElements = {};
        (c.fixed ? state.format.command.fTextElements : state.format.command.vTextElements)
            .append(c.row);
        EXPECT_EQ(errorOf(), c.error) << c.row.x.toStdString() << ',' << c.row.height.toStdString()
                                      << ',' << c.row.content.toStdString();
    }
}

TEST_F(ComposeLabelTest, StopsAtCancelPointsOnlyInTheRun) {
    state.format.command.boxElements.append(
        {.xStart = "10", .yStart = "10", .xEnd = "790", .yEnd = "390", .thickness = "3"});
    state.format.command.boxElements.append(
        {.xStart = "20", .yStart = "20", .xEnd = "780", .yEnd = "380", .thickness = "3"});
    state.format.command.lineElements.append({.x = "0", .y = "100", .width = "600", .height = "4"});
    state.format.command.fTextElements.append({.x = "3",
                                               .y = "4",
                                               .height = "24",
                                               .rotation = "0",
                                               .style = "2",
                                               .underline = "0",
                                               .face = "Arial",
                                               .content = "Made in"});
    // The operator cancels while the first box is sent.
    library.onCall = [this](const QString& call) {
        if (call.startsWith(u"sendcommand|BOX"))
            state.cancelRequested = true;
    };
    EXPECT_TRUE(ComposeLabel(state, library, 1, true, kToday));
    EXPECT_EQ(library.calls.mid(5),
              (QStringList{"sendcommand|BOX 10,10,790,390,3", "sendcommand|BOX 20,20,780,380,3"}));

    library.calls.clear();
    EXPECT_FALSE(ComposeLabel(state, library, 1, false, kToday));
    EXPECT_EQ(library.calls.size(), 5 + 4);
}

TEST_F(ComposeLabelTest, RecordZeroSkipsVariableElements) {
    state.format.command.vTextElements.append(test::plainText("1"));
    state.format.command.fTextElements.append(test::plainText("Fixed"));
    EXPECT_EQ(drawing(0, false), QStringList{"windowsfont|0|0|24|0|0|0|Arial|Fixed"});
}

TEST_F(ComposeLabelTest, DataThatNoCommandCanCarrySendsNothingOfTheLabel) {
    using Barcode = state::CommandFormat::Barcode;
    using Symbol = state::CommandFormat::Symbol;
    struct Case {
        const char* table;
        Barcode barcode;
        Symbol symbol;
        const char* field2;
        const char* element;
        bool adjustsField2 = false; // the price rule on field 2
    };
    const Case cases[] = {
        {"V_Barcode", test::cornerBarcode("128", "2"), {}, "x\nPRINT 5\nREM", "V_Barcode 2"},
        {"V_Barcode", test::cornerBarcode("128", "1+VBCRLF+2"), {}, "x", "V_Barcode 2"},
        {"V_Barcode", test::cornerBarcode("39", "2"), {}, "C:\\[", "V_Barcode 2"},
        {"PDF417",
         {},
         {.parameters = "0,0,400,200,0", .content = "2"},
         nullptr,
         "PDF417 1"}, // 2,049 bytes
        {"DMATRIX", {}, {.parameters = "0,0,60,60,c34", .content = "1+VBLF+2"}, "x", "DMATRIX 1"},
        // The symbology's refusals (the reasons are the barcode check's) and the price's.
        {"DMATRIX", {}, {.parameters = "0,0,60,60,10,10", .content = "2"}, "A001-B", "DMATRIX 1"},
        {"V_Barcode", test::cornerBarcode("EAN13", "2"), {}, "47100884100A", "V_Barcode 2"},
        {"PDF417", {}, {.parameters = "0,0,400,200,0", .content = "2+"}, "N/A", "PDF417 1", true},
    };
    for (const Case& c : cases) {
        state.format = {};
        test::setLabel(state);
        state::CommandFormat& format = state.format.command;
        format.boxElements.append(
            {.xStart = "10", .yStart = "10", .xEnd = "790", .yEnd = "390", .thickness = "3"});
        // A first barcode that could be carried: it must not go out either.
        format.vBarcodeElements.append(test::cornerBarcode("128", "1"));
        const QString table = QString::fromUtf8(c.table);
        if (table == u"PDF417")
            format.pdf417Elements.append(c.symbol);
        else if (table == u"DMATRIX")
            format.dMatrixElements.append(c.symbol);
        else
            format.vBarcodeElements.append(c.barcode);
        state.records.set(1, 2, c.field2 ? QString::fromUtf8(c.field2) : QString(2049, u'\n'));
        state.editPrice = c.adjustsField2 ? 1 : 0;
        state.editPriceField = 2;
        library.calls.clear();
        try {
            ComposeLabel(state, library, 1, true, kToday);
            ADD_FAILURE() << c.element << ": not refused";
        } catch (const LabelRefused& refused) {
            EXPECT_EQ(refused.element(), QString::fromUtf8(c.element));
            EXPECT_EQ(refused.number(), common::InvalidArgument);
            EXPECT_FALSE(refused.reason().isEmpty());
        }
        EXPECT_TRUE(library.calls.isEmpty())
            << c.element << ": " << library.calls.join(u' ').toStdString();
    }
}

TEST_F(ComposeLabelTest, SymbolsCarryLineEndsAndTextsDrawThem) {
    state.records.set(1, 2, QStringLiteral("Bolt\r\nM3"));
    state.format.command.pdf417Elements.append({.parameters = "0,0,400,200,0", .content = "2"});
    state.format.command.dMatrixElements.append({.parameters = "0,0,60,60", .content = "2"});
    state.format.command.vTextElements.append(test::plainText("2"));
    EXPECT_EQ(drawing(), (QStringList{"sendcommand|PDF417 0,0,400,200,0,L8,Bolt\r\nM3",
                                      "sendcommand|DMATRIX 0,0,60,60,c126,\"Bolt~M~JM3\"",
                                      "windowsfont|0|0|24|0|0|0|Arial|Bolt\r\nM3"}));
}

} // namespace
} // namespace pelmar::print_command
