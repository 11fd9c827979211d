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

using test::addRow;

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
    state::LoadedFormat& f = state.format;
    addRow(f.boxElements, {"10", "10", "470", "310", "3"});
    addRow(f.lineElements, {"10", "150", "460", "2"});
    addRow(f.fBarcodeElements, {"20", "20", "39", "40", "0", "0", "2", "4", "PELMAR"});
    addRow(f.vBarcodeElements, {"20", "70", "128M", "50", "1", "0", "2", "4", "2"});
    addRow(f.vBarcodeElements, {"250", "70", "128", "50", "1", "0", "2", "4", "1"});
    addRow(f.pdf417Elements, {"300,160,150,100,0", "1+VBTAB+3+"});
    addRow(f.dMatrixElements, {"400,20,60,60", "1"});
    addRow(f.fTextElements, {"20", "160", "32", "0", "0", "0", "Arial", "Price"});
    addRow(f.fTextElements, {"20", "200", "24", "0", "0", "0", "Arial", "Date=yyyy/mm/dd"});
    addRow(f.vTextElements, {"120", "160", "32", "0", "2", "1", "Arial", "\"$\"+3"});
    addRow(f.vTextElements, {"20", "240", "48", "0", "0", "0", "新細明體", "2"});
    addRow(f.vTextElements, {"460", "300", "24", "90", "1", "0", "Arial", "1"});
    addRow(f.graphicElements, {"400", "230", "logo.pcx"});
    addRow(f.graphicElements, {"400", "260", "sign.gif"});
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
