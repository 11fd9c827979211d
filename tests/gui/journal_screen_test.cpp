#include "gui/screens_fixture.h"
#include "shell/app/journal_run.h"
#include "shell/gui/journal_panel.h"
#include "shell/gui/journal_screen.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>

namespace pelmar::gui {
namespace {

using namespace screens_test;
using journal::RecordState;

class JournalScreenKeys : public ScreensFixture {
protected:
    void SetUp() override {
        start();
        // Run 1: three records of a data file that is gone since, record 3 in doubt; run 2 (the
        // newest): one record, unfinished.
        journal::RunStart first;
        first.dataFileName = QStringLiteral("MONDAY.TXT");
        first.dataBytes = test::big5(QStringLiteral("4719000000011,甲,10,2\r\n"
                                                    "4719000000022,乙,20,4\r\n"
                                                    "4719000000033,丙,30,6\r\n"));
        first.formatName = QStringLiteral("PRICE.FMT");
        first.formatBytes = m_folder.read(QStringLiteral("PRICE.FMT"));
        first.printer = QStringLiteral("TSC TEST");
        test::writeRunWithRecordThreeInDoubt(m_folder, first, 3, [](int r) { return r * 2; });
        journal::RunStart second = first;
        second.dataFileName = QStringLiteral("TUESDAY.TXT");
        auto journal = journal::Journal::open(m_folder.file(QStringLiteral("Pelmar.journal")));
        journal->setRecord(journal->startRun(second), 1, 1, RecordState::Pending);
        activate();
    }

    JournalPanel* panel() const { return screens().journalScreen()->frameJournal(); }
    QString cell(QTableWidget* list, int row, int column) const {
        return list->item(row, column)->text();
    }
};

TEST_F(JournalScreenKeys, OpensThroughTheGateAndReprintsARangeFromTheKeyboard) {
    pressAlt(Qt::Key_J);
    ASSERT_TRUE(gate()->isVisible());
    EXPECT_EQ(gate()->title(), QStringLiteral("[ 列印記錄 ]"));
    enterPassword(QStringLiteral("qjx"));
    ASSERT_TRUE(panel()->isVisible());
    EXPECT_TRUE(menus(false, false, false));
    EXPECT_TRUE(m_window->mnuJournal()->isEnabled());
    QTableWidget* runs = panel()->gridRuns();
    ASSERT_EQ(runs->rowCount(), 2);
    EXPECT_EQ(cell(runs, 0, 3), QStringLiteral("TUESDAY.TXT"));
    EXPECT_EQ(cell(runs, 0, 8), QStringLiteral("未完成"));
    EXPECT_TRUE(runs->hasFocus());

    expectTabChain(QList<QWidget*>{runs, panel()->gridRecords(), panel()->txtFromRecord(),
                                   panel()->txtToRecord(), panel()->cboReprintPrinter(),
                                   panel()->cmdReprint(), panel()->cmdJournalCancel()});
    press(Qt::Key_Down); // the older run
    QTableWidget* records = panel()->gridRecords();
    ASSERT_EQ(records->rowCount(), 3);
    EXPECT_EQ(cell(records, 2, 2), QStringLiteral("不確定"));
    EXPECT_EQ(panel()->txtFromRecord()->text(), QStringLiteral("1"));
    EXPECT_EQ(panel()->txtToRecord()->text(), QStringLiteral("3"));
    EXPECT_EQ(panel()->cboReprintPrinter()->currentText(), QStringLiteral("TSC TEST"));

    // A range the wrong way round is refused, naming it, and the from box takes the focus.
    press(Qt::Key_Tab);
    press(Qt::Key_Tab);
    retype(panel()->txtFromRecord(), QStringLiteral("3"));
    press(Qt::Key_Tab);
    retype(panel()->txtToRecord(), QStringLiteral("2"));
    press(Qt::Key_Return);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_TRUE(m_messages.shown[0].text.contains(QStringLiteral("起始筆 3 大於結束筆 2")));
    EXPECT_TRUE(panel()->txtFromRecord()->hasFocus());
    EXPECT_TRUE(m_library.calls.isEmpty());

    // Records 2 to 3, asked and answered: printed again from the journal's copy as a new run,
    // listed on top; the window's own records stay.
    retype(panel()->txtFromRecord(), QStringLiteral("2"));
    press(Qt::Key_Tab);
    retype(panel()->txtToRecord(), QStringLiteral("3"));
    m_messages.answers = {MessageAnswer::Yes};
    press(Qt::Key_Return);
    EXPECT_TRUE(m_messages.shown[1].text.contains(QStringLiteral("(2 筆, 10 張標籤) 到 TSC TEST")));
    const QStringList barcodes = m_library.named(QStringLiteral("barcode"));
    ASSERT_EQ(barcodes.size(), 2) << m_library.calls.join(u'\n').toStdString();
    EXPECT_TRUE(barcodes[0].endsWith(QStringLiteral("4719000000022")));
    EXPECT_TRUE(barcodes[1].endsWith(QStringLiteral("4719000000033")));
    EXPECT_EQ(m_library.named(QStringLiteral("printlabel")),
              (QStringList{QStringLiteral("printlabel|4|1"), QStringLiteral("printlabel|6|1")}));
    ASSERT_EQ(runs->rowCount(), 3);
    EXPECT_EQ(cell(runs, 0, 2), QStringLiteral("重印第 1 次"));
    EXPECT_EQ(cell(runs, 0, 6), QStringLiteral("10"));
    EXPECT_EQ(cell(runs, 0, 8), QStringLiteral("已印完"));
    EXPECT_EQ(runs->currentRow(), 2); // the reprinted run stays chosen
    EXPECT_EQ(m_state.textFileName, m_folder.file(QStringLiteral("ITEMS.TXT")));
    EXPECT_EQ(m_state.recordCount, 5);

    press(Qt::Key_Escape);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
    EXPECT_EQ(m_window->lblMsg()->text(), app::kScreenLeftStatus);
}

} // namespace
} // namespace pelmar::gui
