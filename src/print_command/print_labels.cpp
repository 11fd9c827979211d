#include "print_command/print_labels.h"
#include "common/units.h"

#include "common/numbers.h"
#include "common/run_error.h"
#include "common/timing.h"
#include "common/wait.h"
#include "print_command/label_composer.h"
#include "print_command/label_output.h"
#include "print_command/record_loop.h"
#include "print_command/record_quantity.h"
#include "print_command/status_pacing.h"

#include <algorithm>
#include <chrono>
#include <cstdint>

namespace pelmar::print_command {

namespace {

// A printer that fails mid-run has printed some labels: the operator must know where to resume.
QString withLastRecordSent(const common::CaughtError& error, int lastRecordSent) {
    if (error.number != common::PrinterError || lastRecordSent <= 0)
        return error.description;
    return error.description +
           QStringLiteral("\n最後送達印表機的資料: 第 %1 筆").arg(lastRecordSent);
}

void closeQuietly(PrinterLibrary* library) {
    if (!library)
        return;
    try {
        library->closeport();
    } catch (const std::exception&) {
        // The run's own failure is the one reported.
    }
}

// "Send Command" mode: each label is composed in printer commands through the printer library.
class CommandOutput : public LabelOutput {
public:
    explicit CommandOutput(RunContext& context) : m_context(context), m_state(context.state) {}

    OutputWording wording() const override {
        return {QStringLiteral("[自動列印]  標籤格式資料傳輸中, 請稍待 .........."),
                kFailureCaption, QStringLiteral("\\")};
    }

    void open() override {
        m_library = makeLibrary(m_context);
        m_library->openport(m_state.printerName);
        DownloadGraphics(m_state, *m_library);
    }

    LabelQuantity quantity(int record) override {
        const int sets = labelSets(m_state, record);
        return {sets, static_cast<long long>(sets) * std::max<int>(1, m_state.across)};
    }

    bool sendLabel(int record, int sets) override {
        if (ComposeLabel(m_state, *m_library, record, true, m_context.today))
            return false;
        m_library->printlabel(common::decimalText(sets), QStringLiteral("1"));
        m_lastRecordSent = record;
        return true;
    }

    // Until the printer has printed the record where it answers status and pacing by status is
    // on, else the estimated time on a physical printer; nothing once the operator cancelled.
    bool waitAfterRecord(int record, int sets) override {
        if (m_state.cancelRequested)
            return true;
        const auto printingTime = std::chrono::ceil<std::chrono::milliseconds>(
            std::chrono::duration<double>(waitSeconds(m_state, sets)));
        m_confirmedPrinted = false;
        if (m_state.statusPacing && m_library->answersStatus()) {
            const PaceEnd end =
                waitForPrinter(m_context, *m_library, record, printingTime, kFailureCaption);
            m_confirmedPrinted = end == PaceEnd::Printed;
            return end == PaceEnd::Cancelled || m_state.cancelRequested;
        }
        if (m_library->isPhysical()) {
            m_unconfirmed = true;
            common::waitFor({m_context.clock, m_context.events,
                             [&state = m_state] { return state.cancelRequested; }},
                            printingTime);
        }
        return m_state.cancelRequested;
    }

    bool finish(bool stoppedOnCancel) override {
        m_library->closeport();
        return stoppedOnCancel;
    }

    bool unconfirmed() const override { return m_unconfirmed; }

    bool confirmedPrinted() const override { return m_confirmedPrinted; }

    void abandon(const common::CaughtError& error,
                 const std::function<void(const QString&)>& report) override {
        closeQuietly(m_library.get());
        report(withLastRecordSent(error, m_lastRecordSent));
    }

    // The port is closed by now, so the virtual printer has told all it could not draw.
    QStringList warnings() const override {
        return m_library ? m_library->warnings() : QStringList();
    }

private:
    static inline const QString kFailureCaption = QStringLiteral("PrintLabels -> 發生錯誤");

    RunContext& m_context;
    state::WorkingState& m_state;
    std::unique_ptr<PrinterLibrary> m_library;
    int m_lastRecordSent = 0;
    // A label went to a printer that could not say it printed it.
    bool m_unconfirmed = false;
    // The printer reported the record last waited for printed.
    bool m_confirmedPrinted = false;
};

} // namespace

int labelSets(const state::WorkingState& state, int record) {
    int quantity = recordQuantity(state, record);
    if (quantity == 0)
        quantity = 1;
    if (state.across <= 1)
        return quantity;
    // Formed in 32 bits: quantity + Across - 1 may pass 32,767. Whole part, rounded down.
    const std::int32_t sum = quantity + state.across - 1;
    return sum >= 0 ? sum / state.across : -((-sum + state.across - 1) / state.across);
}

double waitSeconds(const state::WorkingState& state, int sets) {
    const std::int16_t height = common::leadingInt16(state.format.labelSettings.height);
    const std::int16_t gap = common::leadingInt16(state.format.labelSettings.gap);
    const std::int16_t speed = common::leadingInt16(state.format.labelSettings.speed);
    if (speed == 0)
        throw common::RunError(common::DivisionByZero);
    // Formed in 64 bits so that long labels in large quantities still get their whole wait.
    const std::int64_t feed = (std::int64_t(height) + gap) * sets;
    float seconds =
        static_cast<float>(static_cast<double>(feed) / (speed * common::kMillimetresPerInch));
    if (seconds < 1.0f)
        seconds = 1.0f;
    return static_cast<double>(seconds) +
           std::chrono::duration<double>(common::timing::kPrintMargin).count();
}

RunResult PrintLabels(RunContext& context) {
    CommandOutput output(context);
    return printRecords({context.state, context.messageBox, context.view, context.firstRecord,
                         context.lastRecord, context.journal},
                        output);
}

} // namespace pelmar::print_command
