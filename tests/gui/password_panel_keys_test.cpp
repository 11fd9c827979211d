#include "gui/screens_fixture.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>
#include <ostream>

namespace pelmar::gui {
namespace {

using namespace screens_test;

class PasswordGateKeys : public ScreensFixture {
protected:
    void SetUp() override {
        start();
        activate();
    }
};

TEST_F(PasswordGateKeys, MenuAccessKeysOpenTheGateWhileNoScreenShows) {
    pressAlt(Qt::Key_S);
    ASSERT_TRUE(gate()->isVisible());
    EXPECT_EQ(gate()->title(), QStringLiteral("[ 設定 ]"));
    EXPECT_TRUE(gate()->txtPassword()->hasFocus());
    pressAlt(Qt::Key_T);
    EXPECT_EQ(gate()->title(), QStringLiteral("[ 試印 ]"));
    EXPECT_EQ(m_state.passwordTarget, 1);
}

// Enter and Escape act on the gate wherever the focus is while it shows; a focused button of
// the gate takes Enter itself, and the gate's access keys press its buttons.
struct GateKeyCase {
    const char* name;
    const char* typed;
    std::function<void(ScreensFixture&)> moveFocus;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    bool gateStays;
    bool setupOpens;
};

void PrintTo(const GateKeyCase& c, std::ostream* out) {
    *out << c.name;
}

void focusGrid(ScreensFixture& f) {
    f.m_window->MSFlexGrid1()->setFocus();
}
void focusCancel(ScreensFixture& f) {
    f.gate()->txtPassword()->setFocus();
    f.press(Qt::Key_Tab);
    f.press(Qt::Key_Tab);
}
void keepFocus(ScreensFixture&) {}

class PasswordGateKeyTable : public PasswordGateKeys,
                             public ::testing::WithParamInterface<GateKeyCase> {};

TEST_P(PasswordGateKeyTable, ActsOnTheGate) {
    const GateKeyCase& c = GetParam();
    m_window->mnuSetup()->trigger();
    QTest::keyClicks(gate()->txtPassword(), QString::fromUtf8(c.typed));
    c.moveFocus(*this);
    press(c.key, c.modifiers);
    EXPECT_EQ(gate()->isVisible(), c.gateStays);
    EXPECT_EQ(setup()->isVisible(), c.setupOpens);
    EXPECT_EQ(gate()->hasButtonRoles(), c.gateStays);
    if (!c.setupOpens) {
        EXPECT_TRUE(menus(true, true, true));
    }
    EXPECT_TRUE(m_messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PasswordGateKeyTable,
    ::testing::Values(
        GateKeyCase{"EnterInTheEntry", "qjx", keepFocus, Qt::Key_Return, {}, false, true},
        GateKeyCase{"KeypadEnterInTheEntry", "qjx", keepFocus, Qt::Key_Enter, Qt::KeypadModifier,
                    false, true},
        GateKeyCase{
            "EnterWithTheFocusOnTheGrid", "QJX", focusGrid, Qt::Key_Return, {}, false, true},
        GateKeyCase{"EnterWithAWrongPassword", "QJ", focusGrid, Qt::Key_Return, {}, true, false},
        GateKeyCase{
            "EscapeWithTheFocusOnTheGrid", "QJX", focusGrid, Qt::Key_Escape, {}, false, false},
        GateKeyCase{
            "EnterOnTheFocusedCancelButton", "QJX", focusCancel, Qt::Key_Return, {}, false, false},
        GateKeyCase{"AltO", "qjx", keepFocus, Qt::Key_O, Qt::AltModifier, false, true},
        GateKeyCase{"AltC", "qjx", keepFocus, Qt::Key_C, Qt::AltModifier, false, false}),
    [](const ::testing::TestParamInfo<GateKeyCase>& info) { return info.param.name; });

TEST_F(PasswordGateKeys, EscapeClosesTheGateOverTheSetupScreenWithTheFocusOnTheScreen) {
    openSetup();
    m_window->mnuSetup()->trigger();
    fields()->fldList()->setFocus();
    press(Qt::Key_Escape);
    EXPECT_FALSE(gate()->isVisible());
    EXPECT_TRUE(setup()->isVisible());
    EXPECT_TRUE(menus(true, true, true));
    // Without the gate, Escape means nothing to the window.
    press(Qt::Key_Escape);
    EXPECT_TRUE(setup()->isVisible());
}

} // namespace
} // namespace pelmar::gui
