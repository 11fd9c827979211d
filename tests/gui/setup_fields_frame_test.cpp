#include "shell/gui/setup_fields_frame.h"

#include "gui/screens_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

TEST_F(ScreensFixture, ControlsOfTheFieldsFrameAsDesigned) {
    start();
    expectPlaced(*fields(), {{"Label13", "分割方式 :", {105, 315, 1170, 225}},
                             {"optFieldCut0", "以符號", {1365, 315, 1065, 330}},
                             {"txtDelimiter", "", {2520, 315, 330, 330}},
                             {"optFieldCut1", "以欄位長度", {2940, 315, 1590, 330}},
                             {"Label8", "欄位數 :", {4935, 375, 960, 225}},
                             {"Label9", "欄位名稱 :", {105, 735, 1170, 330}},
                             {"txtFldName", "", {1365, 735, 1485, 330}},
                             {"Label6", "起始位置 :", {105, 1155, 1170, 330}},
                             {"txtStartPos", "", {1365, 1155, 750, 330}},
                             {"Label7", "欄位寬度 :", {105, 1575, 1170, 330}},
                             {"txtFldWidth", "", {1365, 1575, 750, 330}},
                             {"chkEraseSpace", "去字串右邊空白", {105, 1995, 2010, 225}},
                             {"chkEraseDecimal", "價格欄位去小數", {105, 2310, 2010, 225}},
                             {"chkEditPrice", "標準成本加減值", {105, 2625, 2010, 225}},
                             {"Label16", "標準成本所在欄位 :", {105, 2940, 2115, 330}},
                             {"txtEditPriceField", "", {2310, 2940, 540, 330}},
                             {"cmdFldNew", "新增>>>", {2940, 735, 540, 540}},
                             {"cmdFldUpdate", "更新---", {2940, 1365, 540, 540}},
                             {"cmdFldRemove", "移除<<<", {2940, 1995, 540, 540}},
                             {"fldList", "", {3570, 675, 2745, 2535}}});
    EXPECT_EQ(fields()->txtFldName()->maxLength(), 8);
    EXPECT_EQ(fields()->txtStartPos()->maxLength(), 3);
    EXPECT_EQ(fields()->txtFldWidth()->maxLength(), 2);
    EXPECT_EQ(fields()->txtEditPriceField()->maxLength(), 2);
}

TEST_F(ScreensFixture, FieldEditorAddsUpdatesAndRemoves) {
    start();
    openSetup();
    // Saved method: by delimiter; no name is the only refusal.
    fields()->cmdFldNew()->click();
    ASSERT_TRUE(test::shownOnce(m_messages, QStringLiteral("欄位名稱尚未輸入, 無法新增."),
                                QStringLiteral("新增欄位設定")));
    EXPECT_TRUE(fields()->txtFldName()->hasFocus());

    QTest::keyClicks(fields()->txtFldName(), QStringLiteral("CODE"));
    QTest::mouseClick(fields()->optFieldCut(1), Qt::LeftButton);
    QTest::keyClicks(fields()->txtStartPos(), QStringLiteral("7a"));
    QTest::keyClicks(fields()->txtFldWidth(), QStringLiteral("ab"));
    fields()->cmdFldNew()->click();
    EXPECT_EQ(fields()->fldList()->item(4)->text(), QStringLiteral("CODE,7,0,1,0"));
    EXPECT_EQ(fields()->lblFldCount()->text(), QStringLiteral("5"));
    EXPECT_EQ(fields()->txtFldName()->text(), QStringLiteral("CODE")); // the editor keeps it

    // Clicking an entry loads it; changing the width and updating replaces it in place.
    clickEntry(fields()->fldList(), 2);
    EXPECT_EQ(m_state.selectedFieldIndex, 3);
    EXPECT_EQ(fields()->txtFldName()->text(), QStringLiteral("售價"));
    EXPECT_EQ(fields()->txtStartPos()->text(), QStringLiteral("1"));
    EXPECT_EQ(fields()->txtFldWidth()->text(), QStringLiteral("8"));
    EXPECT_TRUE(fields()->chkEraseDecimal()->isChecked());
    retype(fields()->txtFldWidth(), QStringLiteral("12"));
    fields()->cmdFldUpdate()->click();
    EXPECT_EQ(fields()->fldList()->item(2)->text(), QStringLiteral("售價,1,12,1,1"));
    EXPECT_EQ(fields()->fldList()->count(), 5);

    fields()->txtFldName()->clear();
    fields()->cmdFldUpdate()->click();
    EXPECT_EQ(m_messages.shown.back().text, QStringLiteral("欄位名稱尚未輸入, 無法更新."));
    EXPECT_EQ(m_messages.shown.back().caption, QStringLiteral("更新欄位設定"));

    // Remove twice after one click.
    fields()->cmdFldRemove()->click();
    EXPECT_EQ(fields()->fldList()->count(), 4);
    EXPECT_EQ(fields()->lblFldCount()->text(), QStringLiteral("4"));
    EXPECT_EQ(m_state.selectedFieldIndex, 0);
    fields()->cmdFldRemove()->click();
    EXPECT_EQ(m_messages.shown.back().text, QStringLiteral("欲移除之欄位設定尚未點選, 無法移除."));
    EXPECT_EQ(m_messages.shown.back().caption, QStringLiteral("移除欄位設定"));
    EXPECT_TRUE(fields()->fldList()->hasFocus());
    EXPECT_EQ(fields()->fldList()->count(), 4);
}

TEST_F(ScreensFixture, BadInputNeverReachesTheSettingsFile) {
    start({.labelCount = 1});
    const QByteArray before = settings();
    openSetup();
    // A comma inside a field name would shift every later part of the definition.
    QTest::keyClicks(fields()->txtFldName(), QStringLiteral("A,B"));
    fields()->cmdFldNew()->click();
    ASSERT_TRUE(test::shownOnce(m_messages, QStringLiteral("欄位名稱不可含有逗號, 無法新增.")));
    EXPECT_EQ(fields()->fldList()->count(), 4);
    // A double-byte delimiter does not fit the one byte the file keeps for it.
    fields()->txtDelimiter()->clear();
    QKeyEvent typed(QEvent::KeyPress, 0, Qt::NoModifier, QStringLiteral("，"));
    QApplication::sendEvent(fields()->txtDelimiter(), &typed);
    EXPECT_TRUE(fields()->txtDelimiter()->text().isEmpty());
    fields()->txtDelimiter()->insert(QStringLiteral("，")); // pasted
    EXPECT_TRUE(fields()->txtDelimiter()->text().isEmpty());
    QTest::keyClicks(fields()->txtDelimiter(), QStringLiteral(";"));
    EXPECT_EQ(fields()->txtDelimiter()->text(), QStringLiteral(";"));
    EXPECT_EQ(settings(), before);
}
} // namespace
} // namespace pelmar::gui
