#include "shell/gui/password_panel.h"

#include "gui/screens_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using namespace screens_test;

TEST_F(ScreensFixture, ControlsOfTheGateAsDesigned) {
    start();
    expectPlaced(*gate(), {{"Label15", "請輸入密碼.", {630, 525, 1380, 330}},
                           {"txtPassword", "", {630, 840, 3270, 435}},
                           {"cmdPwOk", "確定(&O)", {630, 1575, 1275, 855}},
                           {"cmdPwCancel", "取消(&C)", {2625, 1575, 1275, 855}}});
    EXPECT_EQ(gate()->txtPassword()->echoMode(), QLineEdit::Password);
}

TEST_F(ScreensFixture, TabOrderOfTheGate) {
    start();
    expectTabChain({gate()->txtPassword(), gate()->cmdPwOk(), gate()->cmdPwCancel()});
}

TEST_F(ScreensFixture, WrongPasswordsAreSilentAndKeepTheGateOpen) {
    start();
    for (const char* typed : {"", " QJX", "QJX ", "QJ", "abc"}) {
        m_window->mnuTestPrint()->trigger();
        enterPassword(QString::fromUtf8(typed));
        EXPECT_TRUE(gate()->isVisible()) << typed;
        EXPECT_EQ(gate()->txtPassword()->text(), QString::fromUtf8(typed));
        EXPECT_EQ(gate()->txtPassword()->displayText(),
                  QString(gate()->txtPassword()->text().size(), u'*'));
        EXPECT_FALSE(testPrint()->isVisible());
        EXPECT_TRUE(menus(true, true, true));
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ScreensFixture, RightPasswordInAnyLetterCaseOpensTheChosenScreen) {
    start();
    for (const char* typed : {"QJX", "qjx", "QjX"}) {
        m_window->mnuTestPrint()->trigger();
        EXPECT_EQ(gate()->title(), QStringLiteral("[ 試印 ]"));
        EXPECT_EQ(m_state.passwordTarget, 1);
        enterPassword(QString::fromUtf8(typed));
        EXPECT_FALSE(gate()->isVisible()) << typed;
        EXPECT_TRUE(testPrint()->isVisible()) << typed;
        EXPECT_FALSE(gate()->hasButtonRoles());
        EXPECT_TRUE(menus(true, false, false));
        EXPECT_EQ(
            m_window->lblMsg()->text(),
            QStringLiteral("[選擇資料鈕-選擇來源文字檔] [試印鈕-測試列印] [離開鈕-離開試印]"));
        testPrint()->cmdTestPrintCancel()->click();
        EXPECT_FALSE(testPrint()->isVisible());
        EXPECT_TRUE(menus(true, true, true));
        EXPECT_EQ(m_window->lblMsg()->text(),
                  QStringLiteral("[試印-測試列印] [設定-設定來源檔案] [離開-結束執行]"));
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

TEST_F(ScreensFixture, GateFollowsTheMenuChosenLastAndIsEmptiedAgain) {
    start();
    m_window->mnuTestPrint()->trigger();
    QTest::keyClicks(gate()->txtPassword(), QStringLiteral("QJ"));
    m_window->mnuSetup()->trigger();
    EXPECT_EQ(gate()->title(), QStringLiteral("[ 設定 ]"));
    EXPECT_TRUE(gate()->txtPassword()->text().isEmpty());
    enterPassword(QStringLiteral("QJX"));
    EXPECT_TRUE(setup()->isVisible());
    EXPECT_FALSE(testPrint()->isVisible());
    EXPECT_TRUE(menus(false, true, false));
}

TEST_F(ScreensFixture, EscapeClosesTheGateOverAnOpenScreenAndEnablesEveryMenu) {
    start();
    openSetup();
    m_window->mnuSetup()->trigger();
    EXPECT_TRUE(gate()->isVisible());
    QTest::keyClick(gate()->txtPassword(), Qt::Key_Escape);
    EXPECT_FALSE(gate()->isVisible());
    EXPECT_FALSE(gate()->hasButtonRoles());
    EXPECT_TRUE(setup()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
}
} // namespace
} // namespace pelmar::gui
