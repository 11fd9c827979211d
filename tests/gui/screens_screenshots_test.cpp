#include "gui/screenshot_fixture.h"
#include "shell/app/installed_printers.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/operator_screens.h"
#include "shell/gui/password_panel.h"
#include "shell/gui/setup_panel.h"
#include "shell/gui/test_print_panel.h"
#include "shell/gui/window_controller.h"
#include "support/recording_message_box.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

// The gate, the test-print screen and the setup screen, over a folder with two formats and the
// price adjustment on.
class ScreensScreenshots : public ScreenshotFixture {
protected:
    void SetUp() override {
        ScreenshotFixture::SetUp();
        if (IsSkipped())
            return;
        test::ProgramFolderOptions options;
        options.records = 40;
        options.labelCount = 2;
        options.editPrice = 1;
        options.adPrice = 5;
        start(options, {QStringLiteral("/T")});
    }

    void unlock(QAction* menu) {
        menu->trigger();
        QTest::keyClicks(m_controller->screens()->FramePassword()->txtPassword(),
                         QStringLiteral("qjx"));
        m_controller->screens()->cmdPwOk_Click();
    }
};

TEST_F(ScreensScreenshots, PasswordGate) {
    m_window->mnuSetup()->trigger();
    QTest::keyClicks(m_controller->screens()->FramePassword()->txtPassword(),
                     QStringLiteral("abc"));
    save(QStringLiteral("screen-password.png"), m_controller->screens()->FramePassword());
}

TEST_F(ScreensScreenshots, TestPrintScreen) {
    unlock(m_window->mnuTestPrint());
    TestPrintPanel* screen = m_controller->screens()->frameTestPrint();
    screen->ListLabel()->setCurrentRow(0);
    QTest::keyClicks(screen->txtTestPrintQty(), QStringLiteral("2"));
    save(QStringLiteral("screen-test-print.png"), screen);
}

TEST_F(ScreensScreenshots, SetupScreen) {
    unlock(m_window->mnuSetup());
    m_controller->screens()->frameSetup()->Frame1()->fldList()->setCurrentRow(2);
    // The first size shows the whole screen, which is taller than the designed client area.
    save(QStringLiteral("screen-setup.png"), m_controller->screens()->frameSetup());
}

} // namespace
} // namespace pelmar::gui
