#pragma once

#include "gui/program_folder.h"
#include "shell/app/installed_printers.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/window_controller.h"
#include "shell/gui/window_layout.h"
#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <QApplication>
#include <QPixmap>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

namespace pelmar::gui {

// Pictures of the window for the documentation, written only when PELMAR_SCREENSHOT_DIR names a
// folder (run under Xvfb with QT_QPA_PLATFORM=xcb for the look of a real display).
class ScreenshotFixture : public ::testing::Test {
protected:
    void SetUp() override {
        m_target = qEnvironmentVariable("PELMAR_SCREENSHOT_DIR");
        if (m_target.isEmpty())
            GTEST_SKIP() << "PELMAR_SCREENSHOT_DIR not set";
    }

    // Writes the program folder and starts the window over it with the arguments.
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

    // Shows the window with a client area of width x height twips (the first size unless told)
    // and writes its picture, which must be the whole window with `screen` (when given) whole
    // inside the client area.
    void save(const QString& name, const QWidget* screen = nullptr, double width = firstClientWidth,
              double height = firstClientHeight) {
        m_window->showNormal();
        m_window->resizeClientTwips(width, height);
        QApplication::processEvents();
        QTest::qWait(200);
        const QPixmap picture = m_window->grab();
        EXPECT_EQ(picture.deviceIndependentSize().toSize(), m_window->size()) << name.toStdString();
        EXPECT_GE(picture.height(), m_window->clientArea()->height());
        if (screen != nullptr) {
            EXPECT_TRUE(screen->isVisible()) << name.toStdString();
            EXPECT_TRUE(m_window->clientArea()->rect().contains(screen->geometry()))
                << name.toStdString() << " is cut off";
        }
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

} // namespace pelmar::gui
