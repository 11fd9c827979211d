#pragma once

#include "shell/app/app_context.h"
#include "shell/app/installed_printers.h"

#include <QString>
#include <optional>

namespace pelmar::cli {

// The device name under which the virtual printer of --preview is listed at start-up.
inline const QString kPreviewPrinterName = QStringLiteral("TSC Preview (pelmar-print --preview)");

// The printers of a --preview run: the virtual printer alone, so that start-up finds a printer
// on a machine without any and the system's print queues are not asked.
class PreviewPrinterDirectory : public app::PrinterDirectory {
public:
    explicit PreviewPrinterDirectory(QString address) : m_address(std::move(address)) {}
    QList<app::InstalledPrinter> queues() override { return {{m_address, kPreviewPrinterName}}; }

private:
    QString m_address;
};

// Creates the folder (and the folders above it) when missing and proves that a file can be
// written in it. Returns why it cannot, in Traditional Chinese with the folder, or nothing.
// Throws nothing.
std::optional<QString> preparePreviewFolder(const QString& folder);

// How many pictures label-*.png the folder holds (0 for no folder).
int previewPictureCount(const QString& folder);

// Makes the run write its labels into folder (absolute) instead of printing them: in command
// mode through the virtual printer's port (printerOverride "preview:folder"), in driver mode
// through pictures of the pages at dotsPerInch (0: the resolution of the chosen queue when
// there is one, asked of context.printSystem, else 203). The run settings are not written back.
void usePreviewFolder(app::AppContext& context, const QString& folder, int dotsPerInch);

} // namespace pelmar::cli
