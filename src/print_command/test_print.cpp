#include "print_command/test_print.h"

#include "print_command/label_composer.h"

namespace pelmar::print_command {

void TestPrint(RunContext& context, const QString& quantityText) {
    state::WorkingState& state = context.state;
    context.view.setStatusMessage(QStringLiteral("[試印] 標籤格式資料傳輸中, 請稍待 .........."));
    std::unique_ptr<PrinterLibrary> library = makeLibrary(context);
    try {
        library->openport(state.printerName);
        DownloadGraphics(state, *library);
        ComposeLabel(state, *library, state.currentRecord, false, context.today);
        library->printlabel(quantityText, QStringLiteral("1"));
        library->closeport();
    } catch (...) {
        try {
            library->closeport();
        } catch (const std::exception&) {
            // The first failure is the one the caller reports.
        }
        throw;
    }
    context.view.setStatusMessage(
        QStringLiteral("[試印-測試列印] [設定-設定來源檔案] [離開-結束執行]"));
}

} // namespace pelmar::print_command
