#include "shell/cli/headless.h"
#include "common/units.h"

#include "common/numbers.h"
#include "common/run_error.h"
#include "print_command/tspl_library.h"
#include "print_driver/image_page_sink.h"
#include "print_driver/qt_printer_page.h"
#include "shell/app/exit_status.h"
#include "shell/app/print_flow.h"

#include <cstdio>
#include <thread>
#include <unistd.h>

namespace pelmar::cli {

volatile std::sig_atomic_t g_cancelSignal = 0;
volatile std::sig_atomic_t g_outputOpened = 0;

namespace {

extern "C" void onCancelSignal(int) {
    if (!g_outputOpened) {
        // Only async-signal-safe calls here: the text is written as it is, in UTF-8.
        static const char kText[] = "pelmar-print: 已取消 (收到結束信號), 沒有送出任何標籤\n";
        [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kText, sizeof kText - 1);
        ::_exit(app::kExitCancelled);
    }
    g_cancelSignal = 1;
}

QString lines(QString text) {
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// Whether a field's name in the settings suggests the product's name.
bool nameLike(const QString& fieldName) {
    static const char* const words[] = {"名", "品", "NAME", "DESC"};
    for (const char* word : words) {
        if (fieldName.contains(QString::fromUtf8(word), Qt::CaseInsensitive))
            return true;
    }
    return false;
}

// What tells a record apart for the operator: its first field and the fields whose name
// suggests a name (not the quantity), each cut to a readable length, then " | ".
QString recordFields(const state::WorkingState& state, int row) {
    constexpr int kLongest = 24;
    QStringList shown;
    for (int i = 1; i < state.fieldCount; ++i) {
        if (i > 1 && !nameLike(state.field.at(i, 0)))
            continue;
        const QString value = state.records.at(row, i);
        shown << (value.size() > kLongest ? value.left(kLongest - 1) + u'…' : value);
    }
    return shown.isEmpty() ? QString() : shown.join(QStringLiteral(" | ")) + QStringLiteral(" | ");
}

// Hands every call on to the real library, looking for a cancel signal first.
class CancelPollingLibrary : public print_command::PrinterLibrary {
public:
    CancelPollingLibrary(std::unique_ptr<PrinterLibrary> inner, state::WorkingState& state)
        : m_inner(std::move(inner)), m_state(state) {}
    void openport(const QString& n) override { poll(), m_inner->openport(n); }
    void downloadpcx(const QString& p, const QString& n) override {
        poll(), m_inner->downloadpcx(p, n);
    }
    void setup(const QString& a, const QString& b, const QString& c, const QString& d,
               const QString& e, const QString& f, const QString& g) override {
        poll(), m_inner->setup(a, b, c, d, e, f, g);
    }
    void sendcommand(const QString& c) override { poll(), m_inner->sendcommand(c); }
    void clearbuffer() override { poll(), m_inner->clearbuffer(); }
    void barcode(const QString& a, const QString& b, const QString& c, const QString& d,
                 const QString& e, const QString& f, const QString& g, const QString& h,
                 const QString& i) override {
        poll(), m_inner->barcode(a, b, c, d, e, f, g, h, i);
    }
    void windowsfont(std::int16_t x, std::int16_t y, std::int16_t h, std::int16_t r, std::int16_t s,
                     std::int16_t u, const QString& f, const QString& c) override {
        poll(), m_inner->windowsfont(x, y, h, r, s, u, f, c);
    }
    void printlabel(const QString& s, const QString& c) override {
        poll(), m_inner->printlabel(s, c);
    }
    // The port is closed whatever was asked meanwhile.
    void closeport() override { m_inner->closeport(); }
    bool isPhysical() const override { return m_inner->isPhysical(); }
    bool answersStatus() const override { return m_inner->answersStatus(); }
    std::optional<std::uint8_t> printerStatus(std::chrono::milliseconds wait) override {
        return m_inner->printerStatus(wait);
    }
    QStringList warnings() const override { return m_inner->warnings(); }

private:
    void poll() { pollCancelSignal(m_state); }

    std::unique_ptr<PrinterLibrary> m_inner;
    state::WorkingState& m_state;
};

// The dry run's port: takes every byte and sends nothing.
class DiscardingPort : public common::BytePort {
public:
    void write(const QByteArray&) override {}
    void close() override {}
    bool isPhysical() const override { return false; }
};

// The real printer library, so that the dry run meets every check of the real run, on a port
// that sends nothing; tells each label.
class DryRunLibrary : public print_command::TsplLibrary {
public:
    explicit DryRunLibrary(DryRunReport& report)
        : TsplLibrary(report.state.codePage,
                      [](const QString&) { return std::make_unique<DiscardingPort>(); }),
          m_report(report) {}
    void printlabel(const QString& sets, const QString& copies) override {
        TsplLibrary::printlabel(sets, copies);
        m_report.record(QStringLiteral("set(s)"), sets.toLongLong());
    }

private:
    DryRunReport& m_report;
};

// Pages drawn as the real page draws them (its checks of sizes, fonts and pictures included),
// rendered coarsely and dropped; tells the copies of each page.
class DryRunSink : public print_driver::ImagePageSink {
public:
    // One dot a millimetre is enough to draw the page and cheap to drop.
    explicit DryRunSink(DryRunReport& report)
        : ImagePageSink(common::kMillimetresPerInch, QStringLiteral("dry run")), m_report(report) {}
    void sendJob(const print_driver::PageContent& page, int copies) override {
        ImagePageSink::sendJob(page, copies);
        jobs.clear();
        m_report.record(QStringLiteral("cop(ies)"), copies);
    }

private:
    DryRunReport& m_report;
};

} // namespace

void installCancelSignals() {
    struct sigaction action {};
    action.sa_handler = onCancelSignal;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

void markOutputOpening(app::AppContext& context) {
    if (context.libraryFactory)
        context.libraryFactory = [make = std::move(context.libraryFactory)](const QString& name) {
            g_outputOpened = 1;
            return make(name);
        };
    app::PageFactory make = std::move(context.pageFactory);
    if (!make)
        make = [&context](const app::PrintDestination& destination) {
            return app::makeDestinationPage(
                destination,
                {context.clock, context.events,
                 [&state = context.state] { return state.cancelRequested; }},
                context.printSystem);
        };
    context.pageFactory = [make = std::move(make)](const app::PrintDestination& destination) {
        g_outputOpened = 1;
        return make(destination);
    };
}

void pollCancelSignal(state::WorkingState& state) {
    if (g_cancelSignal)
        state.cancelRequested = true;
}

SaidLines* SaidLines::s_current = nullptr;

SaidLines::SaidLines() : m_outer(s_current) {
    s_current = this;
}

SaidLines::~SaidLines() {
    s_current = m_outer;
}

void say(const QString& text) {
    if (SaidLines::s_current != nullptr) {
        SaidLines::s_current->lines << text;
        return;
    }
    const QByteArray bytes = (QStringLiteral("pelmar-print: ") + text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
}

common::MessageAnswer StderrMessageBox::show(const common::Message& message) {
    const QString caption = message.caption.isEmpty() ? common::programTitle() : message.caption;
    const QString text = caption + QStringLiteral(": ") + lines(message.text);
    if (SaidLines::s_current != nullptr) {
        SaidLines::s_current->lines << text;
        return message.defaultAnswer;
    }
    const QByteArray bytes = (text + u'\n').toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
    return message.defaultAnswer;
}

void HeadlessWindow::setStatusMessage(const QString& text) {
    if (text == m_status)
        return;
    m_status = text;
    if (!quiet)
        say(QStringLiteral("status: ") + text);
}

void HeadlessWindow::setPrintItem(const QString& text) {
    // The runs show "r OF N".
    if (quiet)
        return;
    QString progress = text;
    progress.replace(QStringLiteral(" OF "), QStringLiteral(" of "));
    say(QStringLiteral("record ") + progress);
}

std::chrono::steady_clock::time_point HeadlessClock::now() {
    return std::chrono::steady_clock::now() + m_offset;
}

void HeadlessClock::processEvents() {
    pollCancelSignal(m_state);
    if (virtualTime)
        m_offset += std::chrono::seconds(1);
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

app::PrintDestination OptionPrinterDialog::choosePrinter(const QString&) {
    if (m_dryRun) {
        m_clock.virtualTime = true;
        return {QString(), QStringLiteral("dry-run.pdf")};
    }
    if (!m_pdfFile.isEmpty()) {
        m_clock.virtualTime = true;
        return {QString(), m_pdfFile, pdfDotsPerInch};
    }
    if (preview) {
        m_clock.virtualTime = true;
        return {m_queue, QString()};
    }
    if (!m_queue.isEmpty())
        return {m_queue, QString()};
    throw common::RunError(
        common::DialogCancelled,
        QStringLiteral("Driver 模式需要 --output FILE.pdf 或 --printer 佇列名稱"));
}

std::unique_ptr<print_command::PrinterLibrary>
cancelPolling(std::unique_ptr<print_command::PrinterLibrary> library, state::WorkingState& state) {
    return std::make_unique<CancelPollingLibrary>(std::move(library), state);
}

void DryRunReport::record(const QString& what, long long count) {
    const int row = window.currentRow;
    say(QStringLiteral("record %1 of %2: %3quantity \"%4\", %5 %6")
            .arg(row)
            .arg(state.recordCount)
            .arg(recordFields(state, row))
            .arg(state.records.at(row, state.fieldCount))
            .arg(count)
            .arg(what));
}

std::unique_ptr<print_command::PrinterLibrary> dryRunLibrary(DryRunReport& report) {
    return std::make_unique<DryRunLibrary>(report);
}

std::unique_ptr<print_driver::PrinterPage> dryRunPage(DryRunReport& report) {
    return std::make_unique<print_driver::QtPrinterPage>(std::make_unique<DryRunSink>(report));
}

} // namespace pelmar::cli
