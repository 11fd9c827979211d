#include "preview/barcode_renderer.h"
#include "print_command/label_composer.h"
#include "print_command/text_bitmap.h"
#include "print_command/tspl_library.h"

#include "render_helpers.h"
#include "state/working_state.h"
#include "support/barcode_reader.h"

#include <gtest/gtest.h>

namespace pelmar::preview {
namespace {

// Keeps what the printer library sends.
class CapturePort : public common::BytePort {
public:
    explicit CapturePort(QByteArray& bytes) : m_bytes(bytes) {}
    void write(const QByteArray& bytes) override { m_bytes += bytes; }
    void close() override {}
    bool isPhysical() const override { return false; }

private:
    QByteArray& m_bytes;
};

// A 60 x 40 mm label of no elements, and one record of three fields.
state::WorkingState oneRecord(const QString& first, const QString& second) {
    state::WorkingState state;
    state.format.labelSettings = {QStringLiteral("60"), QStringLiteral("40"), QStringLiteral("3"),
                                  QStringLiteral("4"), QStringLiteral("8")};
    state.format.command.labelOffset = QStringLiteral("0");
    state.format.command.sensorType = QStringLiteral("0");
    state.format.command.direction = QStringLiteral("1");
    state.format.command.stripeCommand = QStringLiteral("SET TEAR ON");
    state.format.command.cutterCommand = QStringLiteral("SET CUTTER OFF");
    state.fieldCount = 3;
    state.recordCount = 1;
    state.records.recreate(2, 4);
    state.records.set(1, 1, first);
    state.records.set(1, 2, second);
    state.records.set(1, 3, QStringLiteral("1"));
    return state;
}

// What the printer library sends for record 1's label, printed once.
QByteArray composed(const state::WorkingState& state, bool forRun) {
    QByteArray bytes;
    print_command::TsplLibrary library(
        state.codePage, [&bytes](const QString&) { return std::make_unique<CapturePort>(bytes); });
    library.openport(QStringLiteral("preview"));
    print_command::ComposeLabel(state, library, 1, forRun, QDate(2026, 12, 8));
    library.printlabel(QStringLiteral("1"), QStringLiteral("1"));
    library.closeport();
    return bytes;
}

// A 60 x 40 mm format with a box, a variable Code 128, a fixed and a variable text, and one
// record: rendered by the virtual printer, the texts' pictures are where the format puts them.
TEST(RoundTripTest, ComposedLabelShowsItsElementsWhereTheFormatSays) {
    state::WorkingState state =
        oneRecord(QStringLiteral("蘋果 \"Fuji\""), QStringLiteral("A-1029"));
    state.format.command.boxElements.append(
        {.xStart = "8", .yStart = "8", .xEnd = "472", .yEnd = "312", .thickness = "3"});
    state.format.command.vBarcodeElements.append({.x = "40",
                                                  .y = "200",
                                                  .symbology = "128",
                                                  .height = "60",
                                                  .readable = "0",
                                                  .rotation = "0",
                                                  .narrow = "2",
                                                  .wide = "4",
                                                  .content = "2"});
    state.format.command.fTextElements.append({.x = "40",
                                               .y = "30",
                                               .height = "40",
                                               .rotation = "0",
                                               .style = "0",
                                               .underline = "0",
                                               .face = "Arial",
                                               .content = "Pelmar"});
    state.format.command.vTextElements.append({.x = "40",
                                               .y = "100",
                                               .height = "48",
                                               .rotation = "0",
                                               .style = "2",
                                               .underline = "0",
                                               .face = QStringLiteral("新細明體"),
                                               .content = "1"});

    const QByteArray bytes = composed(state, false);
    const test::Rendered out = test::render(bytes);
    EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
    ASSERT_EQ(out.labels.size(), 1u);
    const QImage& label = out.labels[0];
    EXPECT_EQ(label.size(), QSize(480, 320));

    // Each text's own picture, dot for dot, at its place and nowhere else around it.
    print_command::TextBitmapRenderer renderer;
    const print_command::TextBitmap texts[] = {
        renderer.render(40, 30, 40, 0, 0, 0, QStringLiteral("Arial"), QStringLiteral("Pelmar")),
        renderer.render(40, 100, 48, 0, 2, 0, QStringLiteral("新細明體"),
                        QStringLiteral("蘋果 \"Fuji\"")),
    };
    for (const print_command::TextBitmap& text : texts) {
        ASSERT_FALSE(text.isEmpty());
        int inked = 0;
        for (int row = 0; row < text.height; ++row) {
            for (int col = 0; col < text.widthBytes * 8; ++col) {
                const unsigned char byte =
                    static_cast<unsigned char>(text.data[row * text.widthBytes + col / 8]);
                const bool ink = ((byte >> (7 - col % 8)) & 1) == 0;
                inked += ink ? 1 : 0;
                ASSERT_EQ(test::black(label, text.x + col, text.y + row), ink)
                    << "dot " << text.x + col << "," << text.y + row;
            }
        }
        EXPECT_GT(inked, 50);
    }
    EXPECT_TRUE(test::black(label, 8, 8) && test::black(label, 471, 311));
    EXPECT_EQ(test::readCode128(test::scanRuns(label, 230, 20, 460)).value_or("?"), "A-1029");
}

// Data with line ends, quotes and a trailing \[ reaches PDF417 and Data Matrix whole, and starts
// no command of its own: one label, both symbols as the data says.
TEST(RoundTripTest, SymbolsCarryDataThatQuotesCannot) {
    state::WorkingState state = oneRecord(QStringLiteral("x\r\nPRINT 5\r\n\"CLS\" 許["),
                                          QStringLiteral("A~\nPRINT 5\n\\["));
    state.format.command.pdf417Elements.append(
        {.parameters = "10,10,460,150,0,W2", .content = "1"});
    state.format.command.dMatrixElements.append(
        {.parameters = "10,170,140,140,x4", .content = "2"});

    const QByteArray bytes = composed(state, true);
    const test::Rendered out = test::render(bytes);
    EXPECT_TRUE(out.warnings.isEmpty()) << out.warnings.join('\n').toStdString();
    ASSERT_EQ(out.labels.size(), 1u);
    Pdf417Request pdf417;
    pdf417.content = state.codePage.encode(state.records.at(1, 1));
    pdf417.moduleWidth = 2;
    DataMatrixRequest dataMatrix;
    dataMatrix.content = state.codePage.encode(state.records.at(1, 2));
    dataMatrix.moduleSize = 4;
    dataMatrix.area = 140;
    EXPECT_TRUE(test::showsSymbol(out.labels[0], renderPdf417(pdf417), 10, 10));
    EXPECT_TRUE(test::showsSymbol(out.labels[0], renderDataMatrix(dataMatrix), 10, 170));
}

} // namespace
} // namespace pelmar::preview
