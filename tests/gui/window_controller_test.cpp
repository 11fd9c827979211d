#include "shell/gui/window_controller.h"

#include "common/run_error.h"
#include "gui/program_folder.h"
#include "print_command/recording_library.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/print_panel.h"
#include "support/recording_message_box.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

namespace pelmar::gui {
namespace {

using test::ProgramFolderOptions;

class FakePrinters : public app::PrinterDirectory {
public:
    QList<app::InstalledPrinter> queues() override { return {}; }
};

class CancelledPrinterDialog : public app::PrinterDialog {
public:
    app::PrintDestination choosePrinter(const QString& title) override {
        titles << title;
        throw common::RunError(common::DialogCancelled);
    }
    QStringList titles;
};

// The window and its controller over a test program folder, with a recording printer that
// reaches a "physical" printer (so the run waits after each label) and recorded messages.
class WindowFixture : public ::testing::Test {
protected:
    // Writes the program folder, lets `spoil` damage it, and runs start-up.
    void start(const ProgramFolderOptions& options, QStringList arguments = {},
               void (*spoil)(const test::TempFolder&) = nullptr) {
        test::writeProgramFolder(m_folder, options);
        if (spoil != nullptr)
            spoil(m_folder);
        m_state.programFolder = m_folder.path();
        m_window = std::make_unique<FrmPelmarChi>(m_state);
        WindowServices services;
        services.messageBox = &m_messages;
        services.printers = &m_printers;
        services.printerDialog = &m_dialog;
        services.libraryFactory = [this](const QString&) {
            return std::make_unique<test::ForwardingLibrary>(m_library);
        };
        m_controller = std::make_unique<WindowController>(m_state, *m_window, arguments, services);
        m_ends = std::make_unique<QSignalSpy>(m_controller.get(), &WindowController::programEnds);
        m_endedAtStart = m_controller->start(m_startStatus);
    }

    PrintPanel* panel() const { return m_window->FramePrint(); }
    QByteArray settings() const { return m_folder.read(QStringLiteral("Pelmar.INI")); }

    test::TempFolder m_folder;
    state::WorkingState m_state;
    test::RecordingMessageBox m_messages;
    FakePrinters m_printers;
    CancelledPrinterDialog m_dialog;
    test::RecordingLibrary m_library;
    std::unique_ptr<FrmPelmarChi> m_window;
    std::unique_ptr<WindowController> m_controller;
    std::unique_ptr<QSignalSpy> m_ends;
    bool m_endedAtStart = false;
    int m_startStatus = -1;
};

ProgramFolderOptions printPanelOptions() {
    ProgramFolderOptions options;
    options.labelCount = 2;
    options.editPrice = 1;
    options.adPrice = 7;
    return options;
}

TEST_F(WindowFixture, PrintPanelWaitsForTheOperator) {
    start(printPanelOptions());
    EXPECT_FALSE(m_endedAtStart);
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(panel()->isVisible());
    EXPECT_EQ(panel()->title(), QStringLiteral("[ 列印_Send Command ]"));
    EXPECT_EQ(panel()->listSelectLabel()->count(), 2);
    EXPECT_TRUE(panel()->txtADPrice2()->isEnabled());
    EXPECT_EQ(panel()->txtADPrice2()->text(), QStringLiteral("7"));
    EXPECT_FALSE(panel()->cmdDelete()->isEnabled());
    EXPECT_FALSE(m_window->mnuTestPrint()->isVisible());
    EXPECT_FALSE(m_window->mnuSetup()->isVisible());
    EXPECT_TRUE(m_window->mnuExit()->isVisible());
    EXPECT_TRUE(m_window->isMaximized());
    EXPECT_EQ(m_window->gridModel()->rowCount(), 5);
}

TEST_F(WindowFixture, PrintButtonWithNothingSelectedRefuses) {
    start(printPanelOptions());
    const QByteArray before = settings();
    QTest::mouseClick(panel()->cmdPrint(), Qt::LeftButton);
    ASSERT_TRUE(test::shownOnce(m_messages, QStringLiteral("標籤格式尚未選取, 無法列印."),
                                QStringLiteral("開始列印"), common::MessageIcon::Exclamation));
    EXPECT_EQ(QApplication::focusWidget(), panel()->listSelectLabel());
    EXPECT_TRUE(panel()->cmdPrint()->isEnabled());
    EXPECT_FALSE(panel()->cmdDelete()->isEnabled());
    EXPECT_TRUE(m_library.calls.isEmpty());
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(m_ends->count(), 0);
}

// The first label is printed, the run waits for the printer, and the cancel button pressed
// during that wait stops it: the rest is not printed, the settings are written, the program ends
// with the status of a cancelled run.
TEST_F(WindowFixture, CancelButtonStopsTheRunDuringItsWait) {
    start(printPanelOptions());
    panel()->listSelectLabel()->setCurrentRow(1);
    panel()->txtADPrice2()->setText(QStringLiteral("25"));
    bool cancelEnabledDuringRun = false;
    QTimer::singleShot(300, panel(), [this, &cancelEnabledDuringRun] {
        cancelEnabledDuringRun = panel()->cmdDelete()->isEnabled();
        QTest::mouseClick(panel()->cmdDelete(), Qt::LeftButton);
    });
    QElapsedTimer elapsed;
    elapsed.start();
    QTest::mouseClick(panel()->cmdPrint(), Qt::LeftButton);

    EXPECT_TRUE(cancelEnabledDuringRun);
    EXPECT_TRUE(m_state.cancelRequested);
    // The first wait is at least 4 s; the click ended it long before.
    EXPECT_LT(elapsed.elapsed(), 3000);
    EXPECT_EQ(m_library.named(QStringLiteral("printlabel")).size(), 1);
    EXPECT_EQ(m_library.calls.last(), QStringLiteral("closeport"));
    EXPECT_EQ(m_state.formatFileName, QStringLiteral("SHELF.FMT"));
    EXPECT_TRUE(settings().contains("ADPrice=25"));
    ASSERT_EQ(m_ends->count(), 1);
    EXPECT_EQ(m_ends->at(0).at(0).toInt(), 6); // cancelled, as pelmar-print says it
}

TEST_F(WindowFixture, CloseBoxDuringARunCancelsItAndEnds) {
    start(printPanelOptions());
    panel()->listSelectLabel()->setCurrentRow(0);
    QTimer::singleShot(300, m_window.get(), [this] { m_window->close(); });
    QTest::mouseClick(panel()->cmdPrint(), Qt::LeftButton);
    EXPECT_EQ(m_library.named(QStringLiteral("printlabel")).size(), 1);
    EXPECT_EQ(m_ends->count(), 1);
}

TEST_F(WindowFixture, DriverModeDialogCancelledGoesBackToThePanel) {
    ProgramFolderOptions options = printPanelOptions();
    options.printMode = 1;
    start(options);
    const QByteArray before = settings();
    panel()->listSelectLabel()->setCurrentRow(0);
    QTest::mouseClick(panel()->cmdPrint(), Qt::LeftButton);
    EXPECT_EQ(m_dialog.titles, QStringList{QStringLiteral("選擇條碼機Driver")});
    EXPECT_TRUE(m_messages.shown.empty());
    EXPECT_TRUE(m_window->isMaximized());
    EXPECT_TRUE(panel()->cmdPrint()->isEnabled());
    EXPECT_FALSE(panel()->cmdDelete()->isEnabled());
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(m_ends->count(), 0);
}

TEST_F(WindowFixture, ExitMenuWritesTheRunSettingsAndEnds) {
    start(printPanelOptions());
    panel()->txtADPrice2()->setText(QStringLiteral("31"));
    m_window->mnuExit()->trigger();
    EXPECT_TRUE(settings().contains("ADPrice=31"));
    ASSERT_EQ(m_ends->count(), 1);
    EXPECT_EQ(m_ends->at(0).at(0).toInt(), 0);
}

TEST_F(WindowFixture, ExitMenuThatCannotWriteSaysSoAndStays) {
    start(printPanelOptions());
    // A folder in place of the settings file: writing it fails.
    QFile::remove(m_folder.file(QStringLiteral("Pelmar.INI")));
    QDir(m_folder.path()).mkdir(QStringLiteral("Pelmar.INI"));
    m_window->mnuExit()->trigger();
    ASSERT_EQ(m_messages.shown.size(), 1u);
    EXPECT_EQ(m_messages.shown[0].icon, common::MessageIcon::Critical);
    EXPECT_EQ(m_ends->count(), 0);
}

TEST_F(WindowFixture, CloseBoxEndsWithoutWriting) {
    start(printPanelOptions());
    const QByteArray before = settings();
    panel()->txtADPrice2()->setText(QStringLiteral("31"));
    m_window->close();
    EXPECT_EQ(settings(), before);
    EXPECT_EQ(m_ends->count(), 1);
}

TEST_F(WindowFixture, SingleFormatPrintsAtStartAndEnds) {
    m_library.physical = false; // no waits between labels
    start(ProgramFolderOptions{});
    EXPECT_TRUE(m_endedAtStart);
    EXPECT_EQ(m_startStatus, 0);
    EXPECT_TRUE(m_window->isMinimized());
    EXPECT_EQ(m_library.named(QStringLiteral("printlabel")).size(), 5);
}

TEST_F(WindowFixture, InteractiveModeFillsTheGridAndStays) {
    start(ProgramFolderOptions{}, {QStringLiteral("/t")});
    EXPECT_FALSE(m_endedAtStart);
    EXPECT_TRUE(m_library.calls.isEmpty());
    EXPECT_EQ(m_window->gridModel()->rowCount(), 5);
    EXPECT_EQ(m_window->lblMsg()->text(),
              QStringLiteral("[試印-測試列印] [設定-設定來源檔案及機型] [離開-結束執行]"));
    EXPECT_FALSE(panel()->isVisible());
}

// Bad files at start-up: each is reported once, and automatic printing ends (or, for settings
// that cannot be read, the window stays), without printing anything.
struct StartupFailure {
    const char* name;
    void (*spoil)(const test::TempFolder& folder);
    const char* caption;
    bool ends;
    int status; // when the program ends
};

class StartupFailureTest : public WindowFixture,
                           public ::testing::WithParamInterface<StartupFailure> {};

TEST_P(StartupFailureTest, IsReportedAndEndsAsSpecified) {
    const StartupFailure& failure = GetParam();
    start(ProgramFolderOptions{}, {}, failure.spoil);
    const bool ended = m_endedAtStart;
    const int status = m_startStatus;

    ASSERT_EQ(m_messages.shown.size(), 1u) << failure.name;
    EXPECT_TRUE(m_messages.shown[0].caption.startsWith(QString::fromUtf8(failure.caption)))
        << failure.name << ": " << m_messages.shown[0].caption.toStdString();
    EXPECT_EQ(m_messages.shown[0].icon, common::MessageIcon::Critical) << failure.name;
    EXPECT_EQ(ended, failure.ends) << failure.name;
    if (ended) {
        EXPECT_EQ(status, failure.status) << failure.name;
    }
    EXPECT_TRUE(m_library.named(QStringLiteral("printlabel")).isEmpty()) << failure.name;
}

INSTANTIATE_TEST_SUITE_P(Window, StartupFailureTest,
                         ::testing::Values(
                             // No settings file: a settings problem, not a missing printer.
                             StartupFailure{"missing settings",
                                            [](const test::TempFolder& f) {
                                                QFile::remove(f.file(QStringLiteral("Pelmar.INI")));
                                            },
                                            "發生錯誤", false, 2},
                             StartupFailure{"unreadable settings",
                                            [](const test::TempFolder& f) {
                                                QFile::remove(f.file(QStringLiteral("Pelmar.INI")));
                                                QDir(f.path()).mkdir(QStringLiteral("Pelmar.INI"));
                                            },
                                            "發生錯誤", false, 2},
                             StartupFailure{"missing data file",
                                            [](const test::TempFolder& f) {
                                                QFile::remove(f.file(QStringLiteral("ITEMS.TXT")));
                                            },
                                            "發生非預期錯誤", true, 3},
                             StartupFailure{"missing format file",
                                            [](const test::TempFolder& f) {
                                                QFile::remove(f.file(QStringLiteral("PRICE.FMT")));
                                            },
                                            "發生非預期錯誤", true, 4}),
                         [](const ::testing::TestParamInfo<StartupFailure>& info) {
                             QString name = QString::fromLatin1(info.param.name);
                             return name.replace(u' ', u'_').toStdString();
                         });

} // namespace
} // namespace pelmar::gui
