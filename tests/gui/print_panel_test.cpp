#include "shell/gui/print_panel.h"

#include "gui/screens_fixture.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

TEST(PrintPanel, ControlsAsDesigned) {
    state::WorkingState state;
    QWidget parent;
    PrintPanel panel(state, &parent);
    EXPECT_EQ(panel.objectName(), QStringLiteral("FramePrint"));
    EXPECT_EQ(panel.title(), QStringLiteral("[ 列印 ]"));
    EXPECT_TRUE(panel.isHidden());
    screens_test::expectPlaced(panel, {{"Label12", "請點選擇欲列印格式檔 :", {210, 420, 2640, 225}},
                                       {"listSelectLabel", "", {210, 735, 3795, 2760}},
                                       {"Label18", "標準成加減值 :", {210, 3675, 1695, 330}},
                                       {"txtADPrice2", "", {1995, 3675, 1275, 330}},
                                       {"cmdPrint", "開始列印(&P)", {210, 4200, 1800, 855}},
                                       {"cmdDelete", "取消列印(&C)", {2205, 4200, 1800, 855}}});
    for (const QPushButton* button : {panel.cmdPrint(), panel.cmdDelete()})
        EXPECT_FALSE(button->icon().isNull()) << button->objectName().toStdString();
    EXPECT_DOUBLE_EQ(panel.txtADPrice2()->font().pointSizeF(), 12);
}

TEST(PrintPanel, TabOrder) {
    state::WorkingState state;
    QWidget parent;
    PrintPanel panel(state, &parent);
    screens_test::expectTabChain(
        {panel.listSelectLabel(), panel.cmdPrint(), panel.cmdDelete(), panel.txtADPrice2()});
}

TEST(PrintPanel, SelectedFormatIsEmptyUntilAnEntryIsChosen) {
    state::WorkingState state;
    QWidget parent;
    PrintPanel panel(state, &parent);
    panel.listSelectLabel()->addItems({QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT")});
    EXPECT_TRUE(panel.selectedFormat().isEmpty());
    panel.listSelectLabel()->setCurrentRow(1);
    EXPECT_EQ(panel.selectedFormat(), QStringLiteral("SHELF.FMT"));
}

// The key filter lets digits and Backspace through and nothing else that types a character;
// each surviving change sets ADPrice.
TEST(PriceBox, TypingKeepsDigitsAndSetsADPrice) {
    state::WorkingState state;
    QWidget parent;
    PrintPanel panel(state, &parent);
    parent.show();
    QLineEdit* box = panel.txtADPrice2();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("1a-2.3 "));
    // A digit of another script is no digit of the box.
    QKeyEvent fullWidth(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("４"));
    QApplication::sendEvent(box, &fullWidth);
    EXPECT_EQ(box->text(), QStringLiteral("123"));
    EXPECT_EQ(state.adPrice, 123);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(box->text(), QStringLiteral("12"));
    EXPECT_EQ(state.adPrice, 12);
    QTest::keyClick(box, Qt::Key_Backspace);
    QTest::keyClick(box, Qt::Key_Backspace);
    EXPECT_EQ(state.adPrice, 0) << "an empty box is 0";
}

TEST(PriceBox, TextSetByStartUpIsTakenAsItIs) {
    state::WorkingState state;
    QWidget parent;
    PrintPanel panel(state, &parent);
    panel.txtADPrice2()->setText(QStringLiteral("-5"));
    EXPECT_EQ(state.adPrice, -5);
}

TEST(PriceBox, TwentyDigitsNeverLeaveTheBoxAndADPriceStaysInRange) {
    state::WorkingState state;
    QWidget parent;
    PrintPanel panel(state, &parent);
    parent.show();
    QLineEdit* box = panel.txtADPrice2();
    box->setFocus();
    QTest::keyClicks(box, QStringLiteral("99999999999999999999"));
    EXPECT_EQ(box->text(), QStringLiteral("999999999"));
    EXPECT_EQ(state.adPrice, 999999999);
    box->setText(QStringLiteral("12345678901234567890"));
    EXPECT_EQ(box->text(), QStringLiteral("999999999"));
    EXPECT_EQ(state.adPrice, 999999999);
    box->setText(QStringLiteral("2147483647"));
    EXPECT_EQ(state.adPrice, 2147483647);
}

} // namespace
} // namespace pelmar::gui
