#pragma once

#include "print_command/recording_library.h"
#include "print_driver/recording_printer_page.h"
#include "shell/app/app_context.h"
#include "state/working_state.h"
#include "support/fake_clock.h"
#include "support/recording_message_box.h"
#include "support/temp_folder.h"

#include <QDate>
#include <QStringList>
#include <memory>
#include <optional>
#include <vector>

namespace pelmar::test {

// Records what start-up and the print commands do to the window, one text per call, in order.
class RecordingMainWindow : public app::MainWindow {
public:
    void setStatusMessage(const QString& text) override { add("msg:" + text); }
    void setPrintItem(const QString& text) override { add("item:" + text); }
    void setPrintData(const QString& text) override { add("data:" + text); }
    void showGridRow(int row) override { add(QStringLiteral("row:%1").arg(row)); }
    void setPrintItemToolTip(const QString& text) override { add("tooltip:" + text); }
    void pointFileList(const QString& folder, const QString& pattern) override {
        add("fileList:" + folder + "|" + pattern);
    }
    void showNow() override { add(QStringLiteral("show")); }
    void setPrinterList(const QStringList& names) override { add("printers:" + names.join(u',')); }
    void setPrinterText(const QString& text) override { add("printerText:" + text); }
    void setWindowState(app::WindowState state) override {
        static const char* names[] = {"normal", "minimized", "maximized"};
        windowState = state;
        add(QStringLiteral("window:") + QLatin1String(names[int(state)]));
    }
    void activate() override { add(QStringLiteral("activate")); }
    void addPrintFormat(const QString& name) override {
        printFormats << name;
        add("addFormat:" + name);
    }
    QString selectedPrintFormat() const override { return selected; }
    void setSetupMenusVisible(bool visible) override {
        add(QStringLiteral("menus:%1").arg(visible));
    }
    void showPrintPanel(const QString& caption) override { add("panel:" + caption); }
    void setPrintButtonEnabled(bool enabled) override {
        add(QStringLiteral("print:%1").arg(enabled));
    }
    void setCancelButtonEnabled(bool enabled) override {
        add(QStringLiteral("cancel:%1").arg(enabled));
    }
    void setPriceBox(bool enabled, const QString& text) override {
        add(QStringLiteral("price:%1|").arg(enabled) + text);
    }
    void setFocus(app::FocusTarget target) override {
        static const char* names[] = {"listSelectLabel", "cmdDelete", "cmdPrint"};
        add(QStringLiteral("focus:") + QLatin1String(names[int(target)]));
    }
    void fillDataGrid(const state::WorkingState& state) override {
        add(QStringLiteral("grid:%1").arg(state.recordCount));
    }
    int gridCurrentRow() const override { return 1; }

    // The calls whose text starts with prefix.
    QStringList starting(const QString& prefix) const {
        QStringList out;
        for (const QString& e : events)
            if (e.startsWith(prefix))
                out << e;
        return out;
    }

    QStringList events;
    QStringList printFormats;
    QString selected;
    std::optional<app::WindowState> windowState;

private:
    void add(const QString& e) { events << e; }
};

// Installed queues of the system, as a test sets them.
class FakePrinterDirectory : public app::PrinterDirectory {
public:
    QList<app::InstalledPrinter> queues() override { return installed; }
    QList<app::InstalledPrinter> installed;
};

// The printer dialog: answers with `destination`, or cancels (error 32755) when `cancel` is set.
class FakePrinterDialog : public app::PrinterDialog {
public:
    app::PrintDestination choosePrinter(const QString& title) override;
    QStringList titles;
    bool cancel = false;
    app::PrintDestination destination{QStringLiteral("TSC_TTP"), {}};
};

// A recording page whose jobs outlive it: they are copied into `kept` when the run drops it.
class KeptRecordingPage : public print_driver::RecordingPrinterPage {
public:
    explicit KeptRecordingPage(std::vector<Job>& kept) : m_kept(kept) {}
    ~KeptRecordingPage() override { m_kept = jobs; }

private:
    std::vector<Job>& m_kept;
};

// A program folder with Pelmar.INI, a data file and a format, and every seam of the shell
// recorded: the window, messages, clock, installed queues, printer dialog, library and pages.
class ShellFixture {
public:
    ShellFixture();

    // Pelmar.INI of the program folder (ASCII lines joined by CR LF).
    void writeSettings(const QStringList& lines);
    // Settings of a ready program: the data file items.txt (3 fields, 2 records), the given
    // formats and modes, and printer TSC A.
    void writeStandardSettings(int labelCount = 1, int editPrice = 0, int printMode = 0,
                               int fieldCount = 3);
    QString settingsText() const { return QString::fromLatin1(home.read("Pelmar.INI")); }

    app::AppContext context(QStringList arguments = {});

    TempFolder home;
    QString dataFile;
    state::WorkingState state;
    RecordingMainWindow window;
    RecordingMessageBox messages;
    FakeClock clock;
    FakePrinterDirectory printers;
    FakePrinterDialog dialog;
    RecordingLibrary library;
    std::vector<QString> libraryNames;
    std::vector<app::PrintDestination> pageDestinations;
    std::vector<print_driver::RecordingPrinterPage::Job> jobs;
};

} // namespace pelmar::test
