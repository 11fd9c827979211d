#include "print_command/label_composer.h"

#include "common/run_error.h"
#include "print_command/label_refused.h"
#include "print_command/recording_library.h"
#include "print_command/sample_format.h"

#include <gtest/gtest.h>

namespace pelmar::print_command {
namespace {

using test::addRow;
using test::RecordingLibrary;

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
        try {
            ComposeLabel(state, library, record, true, kToday);
        } catch (const common::RunError& e) {
            return e.number();
        }
        return 0;
    }

    state::WorkingState state;
    RecordingLibrary library;
};

TEST_F(ComposeLabelTest, SetUpCommandsComeFirstInOrder) {
    state.format.sensorType = QStringLiteral("1");
    state.format.labelOffset = QStringLiteral("1.5");
    state.format.direction = QStringLiteral("0");
    state.format.stripeCommand = QStringLiteral("SET STRIPE OFF");
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
        state.format.vTextElements = {};
        addRow(state.format.vTextElements,
               {"40", "60", "48", "0", "0", "0", "Arial", QString::fromUtf8(c.expression)});
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
    addRow(state.format.vTextElements, {"0", "0", "24", "0", "0", "0", "Arial", "3"});
    addRow(state.format.vTextElements, {"0", "30", "24", "0", "0", "0", "Arial", "3+"});
    EXPECT_EQ(drawing(), (QStringList{"windowsfont|0|0|24|0|0|0|Arial|12.50",
                                      "windowsfont|0|30|24|0|0|0|Arial|22.5"}));
}

TEST_F(ComposeLabelTest, Code128MGetsItsStartCodeOnlyInTheRun) {
    state.records.set(1, 2, QString());
    addRow(state.format.vBarcodeElements, {"10", "20", "128M", "80", "1", "0", "2", "4", "2"});
    addRow(state.format.vBarcodeElements, {"10", "120", "128", "80", "1", "0", "2", "4", "2"});
    addRow(state.format.vBarcodeElements, {"10", "220", "128M", "80", "1", "0", "2", "4", "1"});
    EXPECT_EQ(drawing(1, true), (QStringList{"barcode|10|20|128M|80|1|0|2|4|!104",
                                             "barcode|10|220|128M|80|1|0|2|4|!104A001"}));
    EXPECT_EQ(drawing(1, false), (QStringList{"barcode|10|220|128M|80|1|0|2|4|A001"}));
}

TEST_F(ComposeLabelTest, ElementsInTheirOrder) {
    addRow(state.format.graphicElements, {"20", "30", "logo.pcx"});
    addRow(state.format.graphicElements, {"5", "6", "Sign.Bmp"});
    addRow(state.format.graphicElements, {"7", "8", "sign.gif"});
    addRow(state.format.vTextElements, {"1", "2", "24", "90", "1", "1", "新細明體", "2"});
    addRow(state.format.fTextElements, {"3", "4", "24", "0", "2", "0", "Arial", "Made in"});
    addRow(state.format.fTextElements, {"3", "4", "24", "0", "2", "0", "Arial", ""});
    addRow(state.format.fTextElements, {"5", "6", "24", "0", "0", "0", "Arial", "Date=yyyy/mm/dd"});
    addRow(state.format.dMatrixElements, {"10,10,100,100", "1"});
    addRow(state.format.pdf417Elements, {"10,10,400,200,0, E4", "1+\"-\"+2"});
    addRow(state.format.pdf417Elements, {"10,10,400,200,0", "0"});
    addRow(state.format.vBarcodeElements, {"1", "1", "EAN13", "50", "1", "0", "2", "2", "0"});
    addRow(state.format.fBarcodeElements, {"1", "2", "39", "50", "0", "0", "2", "6", ""});
    addRow(state.format.lineElements, {"0", "100", "600", "4"});
    addRow(state.format.boxElements, {"10", "10", "790", "390", "3"});
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
    addRow(state.format.graphicElements, {"20", "30", "logo.pcx"});
    addRow(state.format.graphicElements, {"7", "8", "sign.gif"});
    DownloadGraphics(state, library);
    EXPECT_EQ(library.calls, (QStringList{"downloadpcx|/opt/pelmar/LOGO.PCX|LOGO.PCX",
                                          "downloadpcx|/opt/pelmar/SIGN.GIF|SIGN.GIF"}));
}

TEST_F(ComposeLabelTest, DoubleQuoteInSymbolContentIsEscaped) {
    state.records.set(1, 2, QStringLiteral("12\" pipe"));
    addRow(state.format.pdf417Elements, {"0,0,400,200,0", "2"});
    EXPECT_EQ(drawing(), QStringList{"sendcommand|PDF417 0,0,400,200,0,\"12\\[\"] pipe\""});
}

TEST_F(ComposeLabelTest, BadInputFailsTheRun) {
    struct Case {
        QStringList row;
        bool fixed;
        int error;
    };
    const Case cases[] = {
        {{"x", "0", "24", "0", "0", "0", "Arial", "Text"}, true, common::TypeMismatch},
        {{"0", "0", "", "0", "0", "0", "Arial", "Text"}, true, common::TypeMismatch},
        {{"0", "0", "24", "0", "0", "40000", "Arial", "Text"}, true, common::Overflow},
        {{"0", "0", "24abc", "0", "0", "0", "Arial", "1"}, false, common::TypeMismatch},
        {{"0", "0", "24", "0", "0", "0", "Arial", "-1"}, false, common::InvalidArgument},
        {{"0", "0", "24", "0", "0", "0", "Arial", "1+-1"}, false, common::InvalidArgument},
        // Parameters of a text that is not drawn are never read.
        {{"x", "y", "z", "0", "0", "0", "Arial", ""}, true, 0},
        {{"x", "y", "z", "0", "0", "0", "Arial", "0"}, false, 0},
        // Rounded halves to even, blanks allowed.
        {{" 2.5 ", "0", "24", "0", "0", "0", "Arial", "Text"}, true, 0},
    };
    for (const Case& c : cases) {
        state.format.fTextElements = {};
        state.format.vTextElements = {};
        addRow(c.fixed ? state.format.fTextElements : state.format.vTextElements, c.row);
        EXPECT_EQ(errorOf(), c.error) << c.row.join(u',').toStdString();
    }
}

TEST_F(ComposeLabelTest, StopsAtCancelPointsOnlyInTheRun) {
    addRow(state.format.boxElements, {"10", "10", "790", "390", "3"});
    addRow(state.format.boxElements, {"20", "20", "780", "380", "3"});
    addRow(state.format.lineElements, {"0", "100", "600", "4"});
    addRow(state.format.fTextElements, {"3", "4", "24", "0", "2", "0", "Arial", "Made in"});
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
    addRow(state.format.vTextElements, {"0", "0", "24", "0", "0", "0", "Arial", "1"});
    addRow(state.format.fTextElements, {"0", "0", "24", "0", "0", "0", "Arial", "Fixed"});
    EXPECT_EQ(drawing(0, false), QStringList{"windowsfont|0|0|24|0|0|0|Arial|Fixed"});
}

TEST_F(ComposeLabelTest, DataThatNoCommandCanCarrySendsNothingOfTheLabel) {
    struct Case {
        const char* table;
        QStringList row;
        const char* field2;
        const char* element;
    };
    const Case cases[] = {
        {"V_Barcode",
         {"0", "0", "128", "50", "1", "0", "2", "4", "2"},
         "x\nPRINT 5\nREM",
         "V_Barcode 2"},
        {"V_Barcode",
         {"0", "0", "128", "50", "1", "0", "2", "4", "1+VBCRLF+2"},
         "x",
         "V_Barcode 2"},
        {"V_Barcode", {"0", "0", "39", "50", "1", "0", "2", "4", "2"}, "C:\\[", "V_Barcode 2"},
        {"PDF417", {"0,0,400,200,0", "2"}, nullptr, "PDF417 1"}, // 2,049 bytes
        {"DMATRIX", {"0,0,60,60,c34", "1+VBLF+2"}, "x", "DMATRIX 1"},
    };
    for (const Case& c : cases) {
        state.format = {};
        test::setLabel(state);
        addRow(state.format.boxElements, {"10", "10", "790", "390", "3"});
        // A first barcode that could be carried: it must not go out either.
        addRow(state.format.vBarcodeElements, {"0", "0", "128", "50", "1", "0", "2", "4", "1"});
        const QString table = QString::fromUtf8(c.table);
        addRow(table == u"PDF417"    ? state.format.pdf417Elements
               : table == u"DMATRIX" ? state.format.dMatrixElements
                                     : state.format.vBarcodeElements,
               c.row);
        state.records.set(1, 2, c.field2 ? QString::fromUtf8(c.field2) : QString(2049, u'\n'));
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
    addRow(state.format.pdf417Elements, {"0,0,400,200,0", "2"});
    addRow(state.format.dMatrixElements, {"0,0,60,60", "2"});
    addRow(state.format.vTextElements, {"0", "0", "24", "0", "0", "0", "Arial", "2"});
    EXPECT_EQ(drawing(), (QStringList{"sendcommand|PDF417 0,0,400,200,0,L8,Bolt\r\nM3",
                                      "sendcommand|DMATRIX 0,0,60,60,c126,\"Bolt~M~JM3\"",
                                      "windowsfont|0|0|24|0|0|0|Arial|Bolt\r\nM3"}));
}

} // namespace
} // namespace pelmar::print_command
