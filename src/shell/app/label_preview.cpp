#include "shell/app/label_preview.h"

#include "common/run_error.h"
#include "format/driver_format_loader.h"
#include "format/format_loader.h"
#include "print_driver/bar_layout.h"
#include "print_driver/queue_resolution.h"
#include "print_queue/cups_print_system.h"
#include "shell/app/command_preview.h"
#include "shell/app/driver_preview.h"

namespace pelmar::app {

namespace {

// Keeps the messages a load would show: the preview tells them instead.
class KeptMessages : public common::MessageBox {
public:
    common::MessageAnswer show(const common::Message& message) override {
        texts << message.text;
        return common::MessageAnswer::Ok;
    }
    QStringList texts;
};

void keepProblems(const format::FormatProblems& problems, LabelPreview& preview) {
    for (const format::FormatProblem& problem : problems)
        preview.problems.push_back({problem.line, problem.isError(), format::problemText(problem)});
}

// The first error that leaves the label without a size, which nothing can be drawn without.
QString sizeError(const format::FormatProblems& problems) {
    for (const format::FormatProblem& problem : problems)
        if (problem.isError() && (problem.key == u"LabelWidth" || problem.key == u"LabelHeight"))
            return format::problemText(problem);
    return QString();
}

} // namespace

LabelPreview previewLabel(const state::WorkingState& state, const QByteArray& formatText,
                          int record, const QDate& today) {
    print_queue::CupsPrintSystem system;
    return previewLabel(state, formatText, record, today, &system);
}

LabelPreview previewLabel(const state::WorkingState& state, const QByteArray& formatText,
                          int record, const QDate& today, print_queue::PrintSystem* system) {
    LabelPreview preview;
    try {
        // The loaders write into the state they are given: they get a copy.
        state::WorkingState working = state;
        working.cancelRequested = false;
        const bool driver = working.printMode != 0;
        KeptMessages messages;
        const format::FormatLoadResult load =
            driver ? format::LoadFormatText_Driver(working, formatText, messages)
                   : format::LoadFormatText(working, formatText, messages);
        keepProblems(load.problems, preview);
        if (load.failed && load.problems.empty()) {
            // The text could not be read at all (a byte the code page lacks, a line too long).
            const QString reason = messages.texts.value(0);
            preview.problems.push_back({0, true, reason});
            preview.cannotDraw = reason;
            return preview;
        }
        if (const QString missingSize = sizeError(load.problems); !missingSize.isEmpty()) {
            preview.cannotDraw = missingSize;
            return preview;
        }
        if (record < 1 || record > working.recordCount) {
            preview.cannotDraw = working.recordCount > 0
                                     ? QStringLiteral("沒有第 %1 筆資料: 資料檔只有 %2 筆")
                                           .arg(record)
                                           .arg(working.recordCount)
                                     : QStringLiteral("資料檔沒有任何資料, 無法預覽標籤");
            return preview;
        }
        if (driver)
            drawDriverPreview(working, record, today,
                              system ? print_driver::queueDotsPerInch(*system, working.printerName)
                                     : print_driver::kDefaultPrinterDotsPerInch,
                              preview);
        else
            drawCommandPreview(working, record, today, preview);
    } catch (...) {
        preview.picture = QImage();
        preview.elements.clear();
        preview.cannotDraw = common::caughtError().description;
    }
    return preview;
}

} // namespace pelmar::app
