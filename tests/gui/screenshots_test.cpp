#include "gui/screenshot_fixture.h"
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

using Screenshots = ScreenshotFixture;

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
    save(QStringLiteral("window-print-panel.png"), m_window->FramePrint());
}

} // namespace
} // namespace pelmar::gui
