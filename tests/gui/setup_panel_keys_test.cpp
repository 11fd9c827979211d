#include "gui/screens_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

class SetupKeys : public ScreensFixture {
protected:
    void SetUp() override {
        start({.records = 3, .labelCount = 2});
        activate();
        openSetup();
    }

    // Presses a button the way the keyboard does: Tab brings the focus, Enter presses.
    void pressWithEnter(QPushButton* button) {
        button->setFocus();
        press(Qt::Key_Return);
    }
};

TEST_F(SetupKeys, ArrowKeysInTheFieldListLoadTheEditorAndChooseWhatIsRemoved) {
    // The focus alone highlights nothing; the first Down highlights the entry with the focus
    // frame, the next Down the one after it.
    fields()->fldList()->setFocus();
    press(Qt::Key_Down);
    press(Qt::Key_Down);
    EXPECT_EQ(fields()->txtFldName()->text(), QStringLiteral("品名"));
    EXPECT_EQ(m_state.selectedFieldIndex, 2);
    pressWithEnter(fields()->cmdFldRemove());
    EXPECT_EQ(texts(fields()->fldList()),
              (QStringList{QStringLiteral("條碼,1,13,1,0"), QStringLiteral("售價,1,8,1,1"),
                           QStringLiteral("數量,1,4,1,0")}));
    EXPECT_EQ(m_state.selectedFieldIndex, 0);
    // Nothing is highlighted now, so a second removal asks for a choice.
    pressWithEnter(fields()->cmdFldRemove());
    ASSERT_TRUE(test::shownOnce(m_messages, QStringLiteral("欲移除之欄位設定尚未點選, 無法移除.")));
    EXPECT_EQ(fields()->fldList()->count(), 3);
}

TEST_F(SetupKeys, UpdateReplacesTheFieldHighlightedByTheKeyboard) {
    clickEntry(fields()->fldList(), 0);
    press(Qt::Key_End);
    EXPECT_EQ(fields()->txtFldName()->text(), QStringLiteral("數量"));
    retype(fields()->txtFldWidth(), QStringLiteral("6"));
    pressWithEnter(fields()->cmdFldUpdate());
    EXPECT_EQ(texts(fields()->fldList()),
              (QStringList{QStringLiteral("條碼,1,13,1,0"), QStringLiteral("品名,1,20,1,0"),
                           QStringLiteral("售價,1,8,1,1"), QStringLiteral("數量,1,6,1,0")}));
}

TEST_F(SetupKeys, ArrowKeysInTheFormatListsChooseWhatIsRemovedAndAdded) {
    formats()->fmtList()->setFocus();
    press(Qt::Key_Down);
    EXPECT_EQ(m_state.selectedFormatIndex, 1);
    press(Qt::Key_Down);
    EXPECT_EQ(m_state.selectedFormatIndex, 2);
    pressWithEnter(formats()->cmdRemove());
    EXPECT_EQ(texts(formats()->fmtList()), QStringList{QStringLiteral("PRICE.FMT")});
    EXPECT_EQ(m_state.selectedFormatIndex, 0);

    formats()->FileList()->setFocus();
    press(Qt::Key_End);
    ASSERT_EQ(formats()->FileList()->currentItem()->text(), QStringLiteral("SHELF.FMT"));
    pressWithEnter(formats()->cmdNew());
    EXPECT_EQ(texts(formats()->fmtList()),
              (QStringList{QStringLiteral("PRICE.FMT"), QStringLiteral("SHELF.FMT")}));
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(SetupKeys, AltSSavesAndAltELeavesThoughTheMenusHaveTheseLetters) {
    retype(setup()->txtLabelAcross(), QStringLiteral("3"));
    m_messages.fallback = MessageAnswer::No;
    pressAlt(Qt::Key_S);
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_FALSE(gate()->isVisible());
    EXPECT_EQ(m_state.across, 1);
    m_messages.fallback = MessageAnswer::Yes;
    pressAlt(Qt::Key_S);
    EXPECT_EQ(m_state.across, 3);
    EXPECT_FALSE(setup()->isVisible());

    openSetup();
    pressAlt(Qt::Key_E);
    EXPECT_FALSE(setup()->isVisible());
    EXPECT_FALSE(gate()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
}

TEST_F(SetupKeys, EnterOnTheFocusAsOpenedLeavesTheScreen) {
    // The screen opens with the focus on 離開(&E).
    press(Qt::Key_Return);
    EXPECT_FALSE(setup()->isVisible());
    EXPECT_TRUE(m_messages.shown.empty());
}

} // namespace
} // namespace pelmar::gui
