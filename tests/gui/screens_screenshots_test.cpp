#include "gui/program_folder.h"
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

// Pictures of the gate, the test-print screen and the setup screen for the documentation,
// written only when PELMAR_SCREENSHOT_DIR names a folder (run under Xvfb with
// QT_QPA_PLATFORM=xcb for the look of a real display).
class ScreensScreenshots : public ::testing::Test {
protected:
    void SetUp() override {
        m_target = qEnvironmentVariable("PELMAR_SCREENSHOT_DIR");
        if (m_target.isEmpty())
            GTEST_SKIP() << "PELMAR_SCREENSHOT_DIR not set";
        test::ProgramFolderOptions options;
        options.records = 40;
        options.labelCount = 2;
        options.editPrice = 1;
        options.adPrice = 5;
        test::writeProgramFolder(m_folder, options);
        m_state.programFolder = m_folder.path();
        m_window = std::make_unique<FrmPelmarChi>(m_state);
        WindowServices services;
        services.messageBox = &m_messages;
        services.printers = &m_printers;
        m_controller = std::make_unique<WindowController>(
            m_state, *m_window, QStringList{QStringLiteral("/T")}, services);
        int status = 0;
        m_controller->start(status);
    }

    // Shows the window with a client area of width x height twips and writes its picture.
    void save(const QString& name, double width = 7680, double height = 7470) {
        m_window->showNormal();
        m_window->resizeClientTwips(width, height);
        QApplication::processEvents();
        QTest::qWait(200);
        const QPixmap picture = m_window->grab();
        ASSERT_TRUE(picture.save(m_target + u'/' + name)) << name.toStdString();
    }

    void unlock(QAction* menu) {
        menu->trigger();
        QTest::keyClicks(m_controller->screens()->FramePassword()->txtPassword(),
                         QStringLiteral("qjx"));
        m_controller->screens()->cmdPwOk_Click();
    }

    class NoQueues : public app::PrinterDirectory {
    public:
        QList<app::InstalledPrinter> queues() override { return {}; }
    };

    QString m_target;
    test::TempFolder m_folder;
    state::WorkingState m_state;
    test::RecordingMessageBox m_messages;
    NoQueues m_printers;
    std::unique_ptr<FrmPelmarChi> m_window;
    std::unique_ptr<WindowController> m_controller;
};

TEST_F(ScreensScreenshots, PasswordGate) {
    m_window->mnuSetup()->trigger();
    QTest::keyClicks(m_controller->screens()->FramePassword()->txtPassword(),
                     QStringLiteral("abc"));
    save(QStringLiteral("screen-password.png"));
}

TEST_F(ScreensScreenshots, TestPrintScreen) {
    unlock(m_window->mnuTestPrint());
    TestPrintPanel* screen = m_controller->screens()->frameTestPrint();
    screen->ListLabel()->setCurrentRow(0);
    QTest::keyClicks(screen->txtTestPrintQty(), QStringLiteral("2"));
    save(QStringLiteral("screen-test-print.png"));
}

TEST_F(ScreensScreenshots, SetupScreen) {
    unlock(m_window->mnuSetup());
    m_controller->screens()->frameSetup()->Frame1()->fldList()->setCurrentRow(2);
    // Tall enough for the whole screen, which is taller than the designed client area.
    save(QStringLiteral("screen-setup.png"), 7680, 9000);
}

} // namespace
} // namespace pelmar::gui
