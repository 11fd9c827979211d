#include "gui/screenshot_fixture.h"
#include "shell/app/installed_printers.h"
#include "shell/gui/format_editor_window.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/journal_panel.h"
#include "shell/gui/journal_screen.h"
#include "shell/gui/line_numbered_editor.h"
#include "shell/gui/operator_screens.h"
#include "shell/gui/password_panel.h"
#include "shell/gui/setup_panel.h"
#include "shell/gui/test_print_panel.h"
#include "shell/gui/window_controller.h"
#include "support/recording_message_box.h"
#include "support/run_state.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPixmap>
#include <QProcess>
#include <QTableWidget>
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
    QListWidget* formats = screen->ListLabel();
    QTest::mouseClick(formats->viewport(), Qt::LeftButton, {},
                      formats->visualItemRect(formats->item(0)).center());
    QTest::keyClicks(screen->txtTestPrintQty(), QStringLiteral("2"));
    // The screen draws the chosen format's label a moment later.
    QTest::qWait(600);
    save(QStringLiteral("screen-test-print.png"), screen);
}

TEST_F(ScreensScreenshots, SetupScreen) {
    unlock(m_window->mnuSetup());
    m_controller->screens()->frameSetup()->Frame1()->fldList()->setCurrentRow(2);
    // The first size shows the whole screen, which is taller than the designed client area.
    save(QStringLiteral("screen-setup.png"), m_controller->screens()->frameSetup());
}

// The journal screen over a run of ten records, the third in doubt, and a reprint of it.
TEST_F(ScreensScreenshots, JournalScreen) {
    {
        journal::RunStart start;
        start.dataFileName = QStringLiteral("ITEMS.TXT");
        start.formatName = QStringLiteral("PRICE.FMT");
        start.printer = QStringLiteral("TSC TEST");
        start.reprintOf = test::writeRunWithRecordThreeInDoubt(m_folder, start, 10,
                                                               [](int r) { return r % 3 + 1; });
        start.source = journal::RunSource::Reprint;
        auto journal = journal::Journal::open(m_folder.file(QStringLiteral("Pelmar.journal")));
        const qint64 reprint = journal->startRun(start);
        journal->setRecord(reprint, 3, 1, journal::RecordState::Sending);
        journal->setRecord(reprint, 3, 1, journal::RecordState::Sent);
        journal->finishRun(reprint, QStringLiteral("printed"), 0);
    }
    unlock(m_window->mnuJournal());
    JournalPanel* screen = m_controller->screens()->journalScreen()->frameJournal();
    QTest::keyClick(screen->gridRuns(), Qt::Key_Down);
    save(QStringLiteral("screen-journal.png"), screen);
}

// The format editor on the example shop's price tag, its third record drawn by the real preview.
TEST(EditorScreenshot, ExampleShopsPriceTag) {
    const QString target = qEnvironmentVariable("PELMAR_SCREENSHOT_DIR");
    if (target.isEmpty())
        GTEST_SKIP() << "PELMAR_SCREENSHOT_DIR not set";
    test::TempFolder folder;
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("cp"),
                          {QStringLiteral("-r"),
                           QStringLiteral(PELMAR_SOURCE_DIR "/examples/shop/."), folder.path()}),
        0);
    state::WorkingState state;
    ASSERT_NO_FATAL_FAILURE(test::loadRunState(folder.path(), state));

    test::RecordingMessageBox messages;
    FormatEditorOpening opening;
    opening.state = &state;
    opening.session = std::make_unique<app::FormatEditorSession>(
        folder.path() + QStringLiteral("/PRICE.FMT"), state.codePage);
    opening.previewer = [](const state::WorkingState& s, const QByteArray& text, int record,
                           const QDate& today) {
        return app::previewLabel(s, text, record, today, nullptr);
    };
    opening.record = 3;
    opening.messages = &messages;
    FormatEditorWindow editor(std::move(opening));
    editor.resize(1100, 560);
    editor.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !editor.shownPreview().picture.isNull(); }));
    editor.text()->selectLine(9);
    QTest::qWait(300);
    ASSERT_TRUE(editor.grab().save(target + QStringLiteral("/screen-format-editor.png")));
}

} // namespace
} // namespace pelmar::gui
