#include "shell/app/test_print_preview.h"

#include "common/file_names.h"
#include "common/run_error.h"

#include <QFile>

namespace pelmar::app {

namespace {

// The format the test print would use: the chosen one, or the only one listed.
QString chosenFormat(const state::WorkingState& state, const QString& firstListedFormat) {
    if (!state.formatFileName.isEmpty())
        return state.formatFileName;
    return state.labelCount == 1 ? firstListedFormat : QString();
}

// The bytes of the format file, or why they cannot be read.
void readFormat(const state::WorkingState& state, const QString& name, QByteArray& text,
                QString& unreadable) {
    try {
        const QString path =
            common::resolveExistingFile(common::joinPath(state.programFolder, name));
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            throw common::RunError(common::PathFileAccessError);
        text = file.readAll();
    } catch (const common::RunError& error) {
        unreadable = error.description() + QStringLiteral(": ") + name;
    }
}

} // namespace

TestPrintPreview::TestPrintPreview(LabelPreviewer previewer) : m_previewer(std::move(previewer)) {}

std::optional<LabelPreview> TestPrintPreview::refresh(const state::WorkingState& state,
                                                      const QString& firstListedFormat,
                                                      const QDate& today) {
    Shown shown;
    shown.formatFileName = chosenFormat(state, firstListedFormat);
    if (!shown.formatFileName.isEmpty())
        readFormat(state, shown.formatFileName, shown.formatText, shown.unreadable);
    shown.record = state.currentRecord;
    shown.recordCount = state.recordCount;
    shown.textFileName = state.textFileName;
    shown.printMode = state.printMode;
    shown.printerName = state.printerName;
    shown.editPrice = state.editPrice;
    shown.adPrice = state.adPrice;
    shown.today = today;
    if (m_shown == shown)
        return std::nullopt;
    m_shown = shown;

    LabelPreview preview;
    if (shown.formatFileName.isEmpty())
        preview.cannotDraw = QStringLiteral("尚未選擇標籤格式");
    else if (!shown.unreadable.isEmpty())
        preview.cannotDraw = shown.unreadable;
    else if (state.textFileName.isEmpty() || state.recordCount <= 0)
        preview.cannotDraw = QStringLiteral("尚未選擇來源資料");
    else {
        try {
            // The format's name is the one its messages and pictures go by.
            state::WorkingState named = state;
            named.formatFileName = shown.formatFileName;
            preview = m_previewer(named, shown.formatText, shown.record, today);
        } catch (...) {
            preview.cannotDraw = common::caughtError().description;
        }
    }
    return preview;
}

} // namespace pelmar::app
