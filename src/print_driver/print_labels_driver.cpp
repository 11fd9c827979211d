#include "print_driver/print_labels_driver.h"

#include "common/run_error.h"
#include "common/timing.h"
#include "common/wait.h"
#include "print_command/label_output.h"
#include "print_command/record_loop.h"
#include "print_driver/label_drawing.h"

#include <chrono>

namespace pelmar::print_driver {

namespace {

using print_command::LabelQuantity;

// "Driver" mode: each label is one page drawn for the system printer, one job per record with
// the record's label rows as copies.
class DriverOutput : public print_command::LabelOutput {
public:
    explicit DriverOutput(DriverRunContext& context)
        : m_context(context), m_state(context.state), m_page(context.page) {}

    print_command::OutputWording wording() const override {
        return {QStringLiteral("[自動列印_Driver]  標籤格式資料傳輸中, 請稍待 .........."),
                QStringLiteral("PrintLabels_Driver -> 發生錯誤"), m_state.delimiter};
    }

    // The device name picks the barcode fonts.
    void prepare() override {
        m_drawing.devicePrefix = devicePrefix(m_page.deviceName());
        m_drawing.programFolder = m_state.programFolder;
        m_drawing.today = m_context.today;
        m_drawing.drawEmpty = true;
        m_drawing.cancelled = [this] { return m_state.cancelRequested; };
        m_drawing.formatFileName = m_state.formatFileName;
        m_drawing.barcodeRefused = &m_barcodeRefused;
        // Paced by the printer, the next record's job waits in the queue while one prints.
        if (m_state.driverPacing && m_page.holdsJobsUntilPrinted())
            m_page.overlapJobs();
    }

    // The first drawing opens the page.
    void open() override {}

    LabelQuantity quantity(int record) override {
        const std::int16_t copies =
            labelCopies(m_state.records.at(record, m_state.fieldCount), m_state.across);
        return {copies, copies};
    }

    bool sendLabel(int record, int sets) override {
        drawPageSize(m_page, m_state.format.labelSettings);
        m_page.setCopies(static_cast<std::int16_t>(sets));
        m_drawing.record = record;
        m_drawing.fieldValue = [this, record](const QString& expression) {
            return plainFieldValue(m_state, expression, record);
        };
        if (!drawLabelElements(m_page, m_state.format.driver, m_drawing))
            return false;
        try {
            m_page.endDocument();
        } catch (const EarlierJobFailed& error) {
            failedAt(error, m_lastEnded);
        } catch (const common::RunError& error) {
            if (!resumable(error, record))
                throw;
            failedAt(error, record);
        }
        if (m_page.lastJobWithdrawn())
            return false;
        m_lastEnded = record;
        return true;
    }

    // Two seconds while the window works; a cancel clicked meanwhile is seen after the pause,
    // which ends once the clock is past the two seconds (one tick more). A job held until it was
    // printed has paced the run already.
    bool waitAfterRecord(int, int) override {
        if (m_state.driverPacing && m_page.holdsJobsUntilPrinted())
            return false;
        common::waitUntil({m_context.clock, m_context.events},
                          m_context.clock.now() + common::timing::kDriverPause +
                              std::chrono::steady_clock::duration(1));
        return false;
    }

    // A cancel asked for at any time discards the page being drawn.
    bool finish(bool) override {
        const bool cancelled = m_state.cancelRequested;
        if (cancelled)
            m_page.abortDocument();
        try {
            m_page.finishDocument();
        } catch (const EarlierJobFailed& error) {
            failedAt(error, m_lastEnded);
        }
        return cancelled;
    }

    // An overlapped job ended before the failure prints first, so that the failure is reported
    // once the records before it are printed; when that job fails too, its record is named.
    void abandon(const common::CaughtError& error,
                 const std::function<void(const QString&)>& report) override {
        m_page.abortDocument();
        QString text = error.description;
        try {
            m_page.finishDocument();
        } catch (const EarlierJobFailed& earlier) {
            text = resumeNote(earlier, m_lastEnded).description() + u'\n' + text;
        } catch (const std::exception&) {
            // The run's own failure is the one reported.
        }
        report(text);
    }

    bool failedOnData() const override { return m_barcodeRefused; }

private:
    // A record's job did not print: a run that printed records before goes on from it.
    bool resumable(const common::RunError& error, int record) const {
        return error.number() == common::PrinterError && record > m_context.firstRecord;
    }
    common::RunError resumeNote(const common::RunError& error, int record) const {
        if (!resumable(error, record))
            return error;
        return common::RunError(error.number(),
                                error.description() +
                                    QStringLiteral("\n第 %1 筆沒有印完; 接續列印: 從第 %1 筆開始 "
                                                   "(pelmar-print --from %1)")
                                        .arg(record));
    }
    [[noreturn]] void failedAt(const common::RunError& error, int record) const {
        throw resumeNote(error, record);
    }

    DriverRunContext& m_context;
    state::WorkingState& m_state;
    PrinterPage& m_page;
    LabelDrawing m_drawing;
    bool m_barcodeRefused = false;
    int m_lastEnded = 0; // the record whose job was ended last
};

} // namespace

print_command::RunResult PrintLabels_Driver(DriverRunContext& context) {
    DriverOutput output(context);
    return print_command::printRecords({context.state, context.messageBox, context.view,
                                        context.firstRecord, context.lastRecord, context.journal},
                                       output);
}

} // namespace pelmar::print_driver
