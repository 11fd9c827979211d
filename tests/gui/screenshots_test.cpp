#include "gui/program_folder.h"
#include "shell/app/installed_printers.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/print_panel.h"
#include "shell/gui/window_controller.h"
#include "support/recording_message_box.h"

#include <QApplication>
#include <QListWidget>
#include <QPixmap>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

// Pictures of the window for the documentation, written only when PELMAR_SCREENSHOT_DIR names a
// folder (run under Xvfb with QT_QPA_PLATFORM=xcb for the look of a real display).
class Screenshots : public ::testing::Test {
protected:
    void SetUp() override {
        m_target = qEnvironmentVariable("PELMAR_SCREENSHOT_DIR");
        if (m_target.isEmpty())
            GTEST_SKIP() << "PELMAR_SCREENSHOT_DIR not set";
    }

    void start(const test::ProgramFolderOptions& options, const QStringList& arguments) {
        test::writeProgramFolder(m_folder, options);
        m_state.programFolder = m_folder.path();
        m_window = std::make_unique<FrmPelmarChi>(m_state);
        WindowServices services;
        services.messageBox = &m_messages;
        services.printers = &m_printers;
        m_controller = std::make_unique<WindowController>(m_state, *m_window, arguments, services);
        int status = 0;
        m_controller->start(status);
    }

    // Shows the window at its designed size and writes its picture, frame excluded.
    void save(const QString& name) {
        m_window->showNormal();
        m_window->resizeClientTwips(7680, 7470);
        QApplication::processEvents();
        QTest::qWait(200);
        const QPixmap picture = m_window->grab();
        ASSERT_TRUE(picture.save(m_target + u'/' + name)) << name.toStdString();
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

TEST_F(Screenshots, MainWindowWithData) {
    test::ProgramFolderOptions options;
    options.records = 40;
    start(options, {QStringLiteral("/T")});
    QTableView* grid = m_window->MSFlexGrid1();
    grid->selectRow(3);
    save(QStringLiteral("window-main.png"));
}

TEST_F(Screenshots, PrintPanel) {
    test::ProgramFolderOptions options;
    options.records = 40;
    options.labelCount = 2;
    options.editPrice = 1;
    options.adPrice = 5;
    start(options, {});
    m_window->FramePrint()->listSelectLabel()->setCurrentRow(0);
    save(QStringLiteral("window-print-panel.png"));
}

} // namespace
} // namespace pelmar::gui
