#include "print_command/print_labels.h"
#include "print_command/test_print.h"
#include "print_command/tspl_library.h"

#include "print_command/memory_port.h"
#include "print_command/sample_format.h"
#include "print_command/tspl_bytes.h"
#include "support/fake_clock.h"
#include "support/recording_message_box.h"
#include "support/recording_run_view.h"

#include <QFile>
#include <gtest/gtest.h>

namespace pelmar::print_command {
namespace {

// A format with every element kind, two records.
state::WorkingState everyElement() {
    state::WorkingState state;
    test::setLabel(state);
    state.programFolder = QStringLiteral(PELMAR_TEST_DATA_DIR "/print_command");
    state.printerName = QStringLiteral("TSC TTP-244 Pro");
    state.across = 2;
    state.editPrice = 1;
    state.editPriceField = 3;
    state.adPrice = 5;
    test::setRecords(state, {{QStringLiteral("A001"), QStringLiteral("螺絲 M3"),
                              QStringLiteral("12.50"), QStringLiteral("3")},
                             {QStringLiteral("B\"02"), QStringLiteral(""), QStringLiteral("7"),
                              QStringLiteral("1")}});
    state::CommandFormat& f = state.format.command;
    f.boxElements.append(
        {.xStart = "10", .yStart = "10", .xEnd = "470", .yEnd = "310", .thickness = "3"});
    f.lineElements.append({.x = "10", .y = "150", .width = "460", .height = "2"});
    f.fBarcodeElements.append({.x = "20",
                               .y = "20",
                               .symbology = "39",
                               .height = "40",
                               .readable = "0",
                               .rotation = "0",
                               .narrow = "2",
                               .wide = "4",
                               .content = "PELMAR"});
    f.vBarcodeElements.append({.x = "20",
                               .y = "70",
                               .symbology = "128M",
                               .height = "50",
                               .readable = "1",
                               .rotation = "0",
                               .narrow = "2",
                               .wide = "4",
                               .content = "1"});
    f.vBarcodeElements.append({.x = "250",
                               .y = "70",
                               .symbology = "128",
                               .height = "50",
                               .readable = "1",
                               .rotation = "0",
                               .narrow = "2",
                               .wide = "4",
                               .content = "1"});
    f.pdf417Elements.append({.parameters = "300,160,150,100,0", .content = "1+VBTAB+3+"});
    f.dMatrixElements.append({.parameters = "400,20,60,60", .content = "1"});
    f.fTextElements.append({.x = "20",
                            .y = "160",
                            .height = "32",
                            .rotation = "0",
                            .style = "0",
                            .underline = "0",
                            .face = "Arial",
                            .content = "Price"});
    f.fTextElements.append({.x = "20",
                            .y = "200",
                            .height = "24",
                            .rotation = "0",
                            .style = "0",
                            .underline = "0",
                            .face = "Arial",
                            .content = "Date=yyyy/mm/dd"});
    f.vTextElements.append({.x = "120",
                            .y = "160",
                            .height = "32",
                            .rotation = "0",
                            .style = "2",
                            .underline = "1",
                            .face = "Arial",
                            .content = "\"$\"+3"});
    f.vTextElements.append({.x = "20",
                            .y = "240",
                            .height = "48",
                            .rotation = "0",
                            .style = "0",
                            .underline = "0",
                            .face = "新細明體",
                            .content = "2"});
    f.vTextElements.append({.x = "460",
                            .y = "300",
                            .height = "24",
                            .rotation = "90",
                            .style = "1",
                            .underline = "0",
                            .face = "Arial",
                            .content = "1"});
    f.graphicElements.append({.x = "400", .y = "230", .fileName = "logo.pcx"});
    f.graphicElements.append({.x = "400", .y = "260", .fileName = "sign.gif"});
    return state;
}

// Compares with tests/golden/print_command/<name>.tspl and writes the readable <name>.txt
// beside it; PELMAR_UPDATE_GOLDEN=1 rewrites both.
void expectGolden(const QString& name, const QByteArray& bytes) {
    const QString base = QStringLiteral(PELMAR_GOLDEN_DIR "/print_command/") + name;
    const QByteArray readable = test::readableTspl(bytes).join(u'\n').toUtf8() + '\n';
    if (qEnvironmentVariable("PELMAR_UPDATE_GOLDEN") == u"1") {
        QFile binary(base + QStringLiteral(".tspl"));
        ASSERT_TRUE(binary.open(QIODevice::WriteOnly));
        binary.write(bytes);
        QFile text(base + QStringLiteral(".txt"));
        ASSERT_TRUE(text.open(QIODevice::WriteOnly));
        text.write(readable);
        return;
    }
    QFile binary(base + QStringLiteral(".tspl"));
    ASSERT_TRUE(binary.open(QIODevice::ReadOnly)) << "missing golden file " << name.toStdString();
    const QByteArray expected = binary.readAll();
    if (bytes != expected) {
        // Show the difference readably.
        EXPECT_EQ(test::readableTspl(bytes).join(u'\n').toStdString(),
                  test::readableTspl(expected).join(u'\n').toStdString());
        FAIL() << name.toStdString() << " differs from its golden file";
    }
}

class GoldenTest : public ::testing::Test {
protected:
    state::WorkingState state = everyElement();
    test::MemoryPort::Record port;
    test::RecordingMessageBox messages;
    test::RecordingRunView view;
    test::FakeClock clock;
    RunContext context{state,
                       messages,
                       view,
                       clock,
                       clock,
                       [this](const QString&) {
                           return std::make_unique<TsplLibrary>(
                               state.codePage, [this](const QString&) {
                                   return std::make_unique<test::MemoryPort>(port);
                               });
                       },
                       QDate(2026, 12, 7)};
};

TEST_F(GoldenTest, PrintRunOfEveryElementKind) {
    EXPECT_EQ(PrintLabels(context).outcome, RunOutcome::Completed);
    EXPECT_TRUE(messages.shown.empty());
    expectGolden(QStringLiteral("print_run"), port.bytes);
    // One job per label; the pictures travel in the first.
    ASSERT_EQ(port.jobs.size(), 2);
    EXPECT_TRUE(port.jobs[0].startsWith("DOWNLOAD \"LOGO.PCX\","));
    EXPECT_TRUE(port.jobs[1].startsWith("SIZE "));
    EXPECT_TRUE(port.closed);
}

TEST_F(GoldenTest, TestPrintOfEveryElementKind) {
    state.currentRecord = 2;
    TestPrint(context, QStringLiteral("5"));
    expectGolden(QStringLiteral("test_print"), port.bytes);
}

} // namespace
} // namespace pelmar::print_command
