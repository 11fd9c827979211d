#pragma once

#include "common/run_error.h"
#include "gui/program_folder.h"
#include "print_command/recording_library.h"
#include "print_driver/recording_printer_page.h"
#include "shell/gui/frm_pelmar_chi.h"
#include "shell/gui/operator_screens.h"
#include "shell/gui/password_panel.h"
#include "shell/gui/setup_panel.h"
#include "shell/gui/test_print_panel.h"
#include "shell/gui/twips.h"
#include "shell/gui/window_controller.h"
#include "support/fake_clock.h"
#include "support/recording_message_box.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMutex>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace pelmar::gui {

// Seams and the fixture shared by the tests of the operator screens.
namespace screens_test {

using common::MessageAnswer;
using test::ProgramFolderOptions;

class NoQueues : public app::PrinterDirectory {
public:
    QList<app::InstalledPrinter> queues() override { return {}; }
};

class ChoosingPrinterDialog : public app::PrinterDialog {
public:
    app::PrintDestination choosePrinter(const QString& title) override {
        titles << title;
        return {QStringLiteral("TSC_TTP"), {}};
    }
    QStringList titles;
};

class ScriptedFileDialog : public app::FileOpenDialog {
public:
    QString chooseFile(const QString& title, const QString&, const QString&,
                       const QString&) override {
        titles << title;
        if (answer.isEmpty())
            throw common::RunError(common::DialogCancelled);
        return answer;
    }
    QStringList titles;
    QString answer;
};

class RecordingStarter : public app::ProgramStarter {
public:
    bool startDetached(const QString& program, const QStringList& arguments) override {
        started << program + u' ' + arguments.join(u' ');
        return true;
    }
    QStringList started;
};

// Draws a plain label in place of the real preview (on the preview's worker thread): each line
// "Box=..." is an element 10 pixels high, one under the other, and a line "BAD" an error. Keeps
// the last text and record asked for.
class FakePreview {
public:
    app::LabelPreview operator()(const state::WorkingState&, const QByteArray& formatText,
                                 int record, const QDate&) {
        app::LabelPreview preview;
        preview.picture = QImage(480, 320, QImage::Format_RGB32);
        preview.picture.fill(Qt::white);
        const QList<QByteArray> lines = formatText.split('\n');
        for (int i = 0; i < lines.size(); ++i) {
            if (lines[i].startsWith("Box="))
                preview.elements.push_back({i + 1, QRect(10, 10 + 10 * i, 200, 10)});
            if (lines[i].trimmed() == "BAD")
                preview.problems.push_back({i + 1, true, QStringLiteral("不明的行")});
        }
        const QMutexLocker lock(&m_mutex);
        m_text = formatText;
        m_record = record;
        return preview;
    }
    QByteArray text() {
        const QMutexLocker lock(&m_mutex);
        return m_text;
    }
    int record() {
        const QMutexLocker lock(&m_mutex);
        return m_record;
    }

private:
    QMutex m_mutex;
    QByteArray m_text;
    int m_record = 0;
};

// A control as designed: its object name, its caption and its place in twips.
struct Placed {
    const char* name;
    const char* caption;
    QRectF twips;
};

// Every control of the panel stands where it was designed and shows its caption.
inline void expectPlaced(const QWidget& panel, const std::vector<Placed>& controls) {
    for (const Placed& control : controls) {
        const auto* widget = panel.findChild<QWidget*>(QString::fromLatin1(control.name));
        ASSERT_NE(widget, nullptr) << control.name;
        EXPECT_EQ(widget->geometry(), toPixels(control.twips, widget)) << control.name;
        QString caption;
        if (const auto* label = qobject_cast<const QLabel*>(widget))
            caption = label->text();
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
            caption = QString(button->text()).remove(u'\n');
        if (const auto* group = qobject_cast<const QGroupBox*>(widget))
            caption = group->title();
        EXPECT_EQ(caption, QString::fromUtf8(control.caption)) << control.name;
    }
}

// Tab moves the focus through the controls in this order.
inline void expectTabChain(const QList<QWidget*>& order) {
    for (qsizetype i = 1; i < order.size(); ++i) {
        // Tab skips the parts of a control (the line edit of a drop-down list, the viewport
        // of a list) and whatever takes no focus (labels, groups).
        QWidget* next = order[i - 1]->nextInFocusChain();
        while (order[i - 1]->isAncestorOf(next) || !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        EXPECT_EQ(next, order[i]) << order[i - 1]->objectName().toStdString() << " -> "
                                  << next->objectName().toStdString() << " "
                                  << next->metaObject()->className();
    }
}

// The window under "/T" over a test program folder, with every seam recorded: messages, the
// printer library (no waits), the driver pages, the dialogs and the editor start.
class ScreensFixture : public ::testing::Test {
public:
    void start(const ProgramFolderOptions& options = {}) {
        test::writeProgramFolder(m_folder, options);
        startWritten();
    }

    // Starts over a folder whose files the test wrote itself.
    void startWritten() {
        m_state.programFolder = m_folder.path();
        m_window = std::make_unique<FrmPelmarChi>(m_state);
        m_library.physical = false;
        WindowServices services;
        services.messageBox = &m_messages;
        services.clock = &m_clock;
        services.events = &m_clock;
        services.printers = &m_printers;
        services.printerDialog = &m_printerDialog;
        services.libraryFactory = [this](const QString&) {
            return std::make_unique<test::ForwardingLibrary>(m_library);
        };
        services.pageFactory = [this](const app::PrintDestination&) {
            return std::make_unique<KeptPage>(m_pages);
        };
        services.screens.fileDialog = &m_fileDialog;
        services.screens.programStarter = &m_starter;
        services.screens.previewer = [preview = m_preview](auto&&... arguments) {
            return (*preview)(arguments...);
        };
        services.screens.editorMessages = &m_messages;
        services.screens.reprinter = m_reprinter;
        services.screens.editorEnvironment =
            app::EditorEnvironment{QString(), [](const QString& program) {
                                       return program == QStringLiteral("gedit")
                                                  ? QStringLiteral("/usr/bin/gedit")
                                                  : QString();
                                   }};
        m_controller = std::make_unique<WindowController>(
            m_state, *m_window, QStringList{QStringLiteral("/T")}, services);
        int status = 0;
        ASSERT_FALSE(m_controller->start(status));
        m_messages.shown.clear();
    }

    OperatorScreens& screens() const { return *m_controller->screens(); }
    PasswordPanel* gate() const { return screens().FramePassword(); }
    TestPrintPanel* testPrint() const { return screens().frameTestPrint(); }
    SetupPanel* setup() const { return screens().frameSetup(); }
    SetupFieldsFrame* fields() const { return setup()->Frame1(); }
    SetupFormatsFrame* formats() const { return setup()->Frame2(); }
    QByteArray settings() const { return m_folder.read(QStringLiteral("Pelmar.INI")); }

    // The operator types the password into the gate and presses Enter.
    void enterPassword(const QString& typed) {
        QTest::keyClicks(gate()->txtPassword(), typed);
        QTest::keyClick(gate()->txtPassword(), Qt::Key_Return);
    }
    void openTestPrint() {
        m_window->mnuTestPrint()->trigger();
        enterPassword(QStringLiteral("qjx"));
        ASSERT_TRUE(testPrint()->isVisible());
    }
    void openSetup() {
        m_window->mnuSetup()->trigger();
        enterPassword(QStringLiteral("QJX"));
        ASSERT_TRUE(setup()->isVisible());
    }
    // Makes the window the active one, as the operator's window is: the menus' access keys
    // then compete with the screens' ones as they do on a desktop.
    void activate() {
        m_window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_window.get()));
    }
    // The operator presses a key: it goes to the control that has the focus.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* target = m_window->focusWidget();
        QTest::keyClick(target != nullptr ? target : m_window.get(), key, modifiers);
    }
    void pressAlt(Qt::Key key) { press(key, Qt::AltModifier); }
    void clickEntry(QListWidget* list, int row) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
    }
    // Types into a box the way the operator does: select all, then keys.
    void retype(QLineEdit* box, const QString& text) {
        box->selectAll();
        QTest::keyClick(box, Qt::Key_Backspace);
        QTest::keyClicks(box, text);
    }
    QStringList texts(QListWidget* list) const {
        QStringList out;
        for (int row = 0; row < list->count(); ++row)
            out << list->item(row)->text();
        return out;
    }
    bool menus(bool testPrintMenu, bool setupMenu, bool exitMenu) const {
        return m_window->mnuTestPrint()->isEnabled() == testPrintMenu &&
               m_window->mnuSetup()->isEnabled() == setupMenu &&
               m_window->mnuExit()->isEnabled() == exitMenu;
    }

    class KeptPage : public print_driver::RecordingPrinterPage {
    public:
        explicit KeptPage(std::vector<Job>& kept) : m_kept(kept) {}
        ~KeptPage() override { m_kept.insert(m_kept.end(), jobs.begin(), jobs.end()); }

    private:
        std::vector<Job>& m_kept;
    };

    test::TempFolder m_folder;
    state::WorkingState m_state;
    test::RecordingMessageBox m_messages;
    test::FakeClock m_clock;
    NoQueues m_printers;
    ChoosingPrinterDialog m_printerDialog;
    ScriptedFileDialog m_fileDialog;
    RecordingStarter m_starter;
    std::shared_ptr<FakePreview> m_preview = std::make_shared<FakePreview>();
    test::RecordingLibrary m_library;
    std::vector<print_driver::RecordingPrinterPage::Job> m_pages;
    app::Reprinter* m_reprinter = nullptr; // null: the window's own
    std::unique_ptr<FrmPelmarChi> m_window;
    std::unique_ptr<WindowController> m_controller;
};

} // namespace screens_test
} // namespace pelmar::gui
